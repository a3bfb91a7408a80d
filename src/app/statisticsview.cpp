#include "app/statisticsview.h"

#include <cstddef>
#include <vector>

#include "app/texttable.h"
#include "format/textformat.h"

namespace h33 {
namespace {

constexpr std::string_view kNotH33Type = "не H33";

std::string Labelled(std::string_view caption, std::string_view value) {
  std::string line(caption);
  if (line.back() != ' ') line += ' ';
  return line.append(value).append("\n");
}

std::string ExtentsTable(const std::array<std::array<std::string, 4>, 4>& cells) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& row : cells) rows.emplace_back(row.begin(), row.end());
  return TextTable(rows);
}

}  // namespace

std::string Fixed2(double value, std::string_view decimalSeparator) {
  std::string text = Sprintf("%.2f", value);
  // A value that rounds to nothing shows as 0.00, without a sign.
  if (text == "-0.00") text.erase(0, 1);
  // A feed decoded from an absurd code can be infinite and print without a point.
  if (const std::size_t point = text.find('.'); point != std::string::npos) {
    text.replace(point, 1, decimalSeparator);
  }
  return text;
}

StatisticsView MakeStatisticsView(const ProgramStatistics& statistics, double minutes,
                                  std::string_view decimalSeparator) {
  const auto fixed = [decimalSeparator](double value) { return Fixed2(value, decimalSeparator); };
  StatisticsView view;
  view.fileInfo = statistics.informationText;
  view.time = fixed(minutes);
  view.distance = fixed(statistics.pathLength_mm);
  view.frames = Sprintf("%d", statistics.lineCount);
  view.minFeed = fixed(statistics.minFeed_mm_min);
  view.maxFeed = fixed(statistics.maxFeed_mm_min);
  view.linearMoves = Sprintf("%d", statistics.linearMoves);
  view.circularMoves = Sprintf("%d", statistics.arcMoves);
  view.type = statistics.isH33 ? kH33Type : kNotH33Type;
  view.extents[0] = {" Габариты ", " X ", " Y ", " Z "};
  view.extents[1][0] = " min ";
  view.extents[2][0] = " max ";
  view.extents[3][0] = " Сумма ";
  for (std::size_t axis = 0; axis < 3; ++axis) {
    view.extents[1][axis + 1] = fixed(statistics.minPosition[axis]);
    view.extents[2][axis + 1] = fixed(statistics.maxPosition[axis]);
    view.extents[3][axis + 1] = fixed(statistics.axisSums_mm[axis]);
  }
  return view;
}

std::string StatisticsText(const StatisticsView& view) {
  std::string text;
  if (!view.fileInfo.empty()) text += view.fileInfo + "\n";
  text += Labelled(kTimeCaption, view.time);
  text += Labelled(kDistanceCaption, view.distance);
  text += Labelled(kFramesCaption, view.frames);
  text += std::string(kFeedGroupCaption) + "\n";
  text += "  " + Labelled(kMinFeedCaption, view.minFeed);
  text += "  " + Labelled(kMaxFeedCaption, view.maxFeed);
  text += std::string(kMovesGroupCaption) + "\n";
  text += "  " + Labelled(kLinearCaption, view.linearMoves);
  text += "  " + Labelled(kCircularCaption, view.circularMoves);
  text += ExtentsTable(view.extents);
  text += Labelled(kTypeCaption, view.type);
  return text;
}

}  // namespace h33
