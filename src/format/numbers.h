#pragma once

#include <string_view>

namespace h33 {

// Value texts of program words read the way scanf's %f, %lf, %d and %ld read
// them, but independent of the locale: leading blanks, an optional sign, then
// the longest number that follows. A text that holds no number reads as 0.
// Integers out of range saturate at the type's limits.
float ParseFloat(std::string_view text);
double ParseDouble(std::string_view text);
int ParseInt(std::string_view text);
long ParseLong(std::string_view text);

// (int)value for feeds computed in floating point, but saturating instead of
// overflowing; NaN gives 0.
int TruncateToInt(double value);

}  // namespace h33
