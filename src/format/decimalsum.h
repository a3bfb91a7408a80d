#pragma once

#include <string_view>

namespace h33 {

// A sum of number texts kept exact: each value is read as a whole count of
// millionths of its unit, so adding 0.01 mm a hundred thousand times gives
// 1000.00 and a program that returns to its start sums to exactly 0. The
// text is read the way ParseDouble reads it (leading blanks, one sign, the
// longest decimal number; no number reads as 0); digits past the sixth
// decimal are dropped, and values and sums beyond ±4·10^12 saturate.
class DecimalSum {
 public:
  void Add(std::string_view text);
  // The sum in the unit of the texts.
  double Value() const;

 private:
  long long millionths_ = 0;
};

}  // namespace h33
