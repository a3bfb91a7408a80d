#pragma once

#include <array>
#include <string>
#include <string_view>

#include "format/fileinfo.h"

namespace h33 {

// The statistics window's captions.
inline constexpr std::string_view kTimeCaption = "Время выполнения УП (мин) =";
inline constexpr std::string_view kDistanceCaption = "Пройденный путь (мм) =";
inline constexpr std::string_view kFramesCaption = "Число кадров =";
inline constexpr std::string_view kFeedGroupCaption = "Скорость движения инструмента";
inline constexpr std::string_view kMinFeedCaption = "Min подача   =";
inline constexpr std::string_view kMaxFeedCaption = "Max подача =";
inline constexpr std::string_view kMovesGroupCaption = "Число перемещений";
inline constexpr std::string_view kLinearCaption = "линейных : ";
inline constexpr std::string_view kCircularCaption = "по дуге :";
inline constexpr std::string_view kTypeCaption = "Формат (Тип  УП) : ";
inline constexpr std::string_view kH33Type = "H33 (VELTA)";

// The texts of the statistics window's controls, numbers already formatted:
// "0.00" (two decimals, no grouping) and "0" (whole numbers).
struct StatisticsView {
  std::string fileInfo;
  std::string time;
  std::string distance;
  std::string frames;
  std::string minFeed;
  std::string maxFeed;
  std::string linearMoves;
  std::string circularMoves;
  std::string type;
  // [row][column]: axis headers in row 0, " min ", " max ", " Сумма " in column 0.
  std::array<std::array<std::string, 4>, 4> extents;
};

// A number as the statistics show it: two decimals, no grouping, no sign on
// a value that rounds to nothing, `decimalSeparator` for the point.
std::string Fixed2(double value, std::string_view decimalSeparator = ".");

// `minutes` is the execution time to show; `decimalSeparator` replaces the
// point of the "0.00" numbers (a window passes its locale's).
StatisticsView MakeStatisticsView(const ProgramStatistics& statistics, double minutes,
                                  std::string_view decimalSeparator = ".");

// The view as plain text, one caption and value a line, the extents as a
// table; an empty fileInfo is left out.
std::string StatisticsText(const StatisticsView& view);

}  // namespace h33
