#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "methods/timebreakdown.h"

namespace h33 {

// Time parts in whole seconds that add up to their row's total.
struct ShownTimeParts {
  long long cutting_s = 0, rapid_s = 0, braking_s = 0, total_s = 0;
  double cutting_mm = 0, rapid_mm = 0;
};

struct ShownToolTime {
  std::string tool;  // "T01"; empty before the first tool change
  long firstLine = 0;
  ShownTimeParts parts;
};

// A breakdown as it is shown: the counter's total rounded to the second,
// shared out over the tools, and each row's total over the kinds of move.
struct ShownTimeBreakdown {
  ShownTimeParts total;
  std::vector<ShownToolTime> tools;
  double untimed_mm = 0;
};

ShownTimeBreakdown ShowTimeBreakdown(const TimeBreakdown& breakdown);

// `total_s` rounded to the second, shared out in proportion to the parts by
// the largest remainders, so that the shares add up to it exactly. Parts
// below 0 (the rounding of a frame's braking) count as 0; times past any
// program's, infinite ones among them, as thirty million years.
std::vector<long long> WholeSecondsOf(double total_s, const std::vector<double>& parts_s);

// A header row, a row per tool and the total row; lengths with
// `decimalSeparator`.
std::vector<std::vector<std::string>> TimeBreakdownTable(const ShownTimeBreakdown& shown,
                                                         std::string_view decimalSeparator = ".");

// The line on moves the counter gives no time; empty when there are none.
std::string UntimedMovesText(const ShownTimeBreakdown& shown, std::string_view decimalSeparator = ".");

// A caption, the table and the untimed moves' line.
std::string TimeBreakdownText(const ShownTimeBreakdown& shown);

}  // namespace h33
