#include "app/timebreakdownview.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "app/statisticsview.h"
#include "app/texttable.h"

namespace h33 {
namespace {

constexpr std::string_view kCaption = "Время по инструментам и видам движения:";
constexpr std::string_view kNoTool = "—";
// Thirty million years: past any program's time, and still a whole number of
// seconds that a long long and a double hold exactly. A program of absurd
// numbers, which the view draws without a format check, may count more.
constexpr double kMostSeconds = 1e15;

double Bounded(double seconds) {
  if (std::isnan(seconds)) return 0;
  return std::clamp(seconds, 0.0, kMostSeconds);
}

ShownTimeParts ShowParts(const TimeParts& parts, long long total_s) {
  const auto shares = WholeSecondsOf(
      static_cast<double>(total_s), {parts.cutting.seconds, parts.rapid.seconds, parts.braking_s});
  return {shares[0], shares[1], shares[2], total_s, parts.cutting.length_mm, parts.rapid.length_mm};
}

std::vector<std::string> Row(std::string tool, std::string line, const ShownTimeParts& parts,
                             std::string_view decimalSeparator) {
  return {std::move(tool),
          std::move(line),
          std::to_string(parts.cutting_s),
          Fixed2(parts.cutting_mm, decimalSeparator),
          std::to_string(parts.rapid_s),
          Fixed2(parts.rapid_mm, decimalSeparator),
          std::to_string(parts.braking_s),
          std::to_string(parts.total_s)};
}

}  // namespace

std::vector<long long> WholeSecondsOf(double total_s, const std::vector<double>& parts_s) {
  std::vector<long long> shares(parts_s.size(), 0);
  const long long whole = std::llround(Bounded(total_s));
  std::vector<double> weights(parts_s.size());
  std::transform(parts_s.begin(), parts_s.end(), weights.begin(), Bounded);
  const double sum = std::accumulate(weights.begin(), weights.end(), 0.0);
  if (shares.empty()) return shares;
  if (!(sum > 0)) {
    shares.back() = whole;
    return shares;
  }
  std::vector<double> remainders(weights.size());
  long long given = 0;
  for (std::size_t i = 0; i < weights.size(); ++i) {
    const double exact = weights[i] * static_cast<double>(whole) / sum;
    shares[i] = static_cast<long long>(std::floor(exact));
    remainders[i] = exact - static_cast<double>(shares[i]);
    given += shares[i];
  }
  std::vector<std::size_t> order(weights.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return remainders[a] > remainders[b]; });
  for (std::size_t i = 0; given < whole; i = (i + 1) % order.size(), ++given) ++shares[order[i]];
  return shares;
}

ShownTimeBreakdown ShowTimeBreakdown(const TimeBreakdown& breakdown) {
  ShownTimeBreakdown shown;
  shown.total = ShowParts(breakdown.parts, std::llround(Bounded(breakdown.total_s)));
  shown.untimed_mm = breakdown.parts.untimedLength_mm;
  std::vector<double> toolSeconds;
  for (const ToolTime& tool : breakdown.tools) toolSeconds.push_back(tool.parts.Seconds());
  const auto toolTotals = WholeSecondsOf(double{breakdown.total_s}, toolSeconds);
  for (std::size_t i = 0; i < breakdown.tools.size(); ++i) {
    const ToolTime& tool = breakdown.tools[i];
    shown.tools.push_back({tool.tool.empty() ? std::string() : "T" + tool.tool, tool.firstLine,
                           ShowParts(tool.parts, toolTotals[i])});
  }
  return shown;
}

std::vector<std::vector<std::string>> TimeBreakdownTable(const ShownTimeBreakdown& shown,
                                                         std::string_view decimalSeparator) {
  std::vector<std::vector<std::string>> rows{{"Инструмент", "Строка", "Резание, с", "Резание, мм",
                                              "Холостые, с", "Холостые, мм", "Торможение, с",
                                              "Всего, с"}};
  for (const ShownToolTime& tool : shown.tools) {
    rows.push_back(Row(tool.tool.empty() ? std::string(kNoTool) : tool.tool,
                       std::to_string(tool.firstLine), tool.parts, decimalSeparator));
  }
  rows.push_back(Row("Итого", "", shown.total, decimalSeparator));
  return rows;
}

std::string UntimedMovesText(const ShownTimeBreakdown& shown, std::string_view decimalSeparator) {
  if (shown.untimed_mm <= 0) return {};
  return "Перемещения без подачи (время не считается): " + Fixed2(shown.untimed_mm, decimalSeparator) +
         " мм";
}

std::string TimeBreakdownText(const ShownTimeBreakdown& shown) {
  std::string text = "\n" + std::string(kCaption) + "\n" + TextTable(TimeBreakdownTable(shown));
  const std::string untimed = UntimedMovesText(shown);
  if (!untimed.empty()) text += untimed + "\n";
  return text;
}

}  // namespace h33
