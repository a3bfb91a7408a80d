#pragma once

#include <QString>

#include <vector>

namespace h33 {

// A round step near `raw`: 1, 2 or 5 times a power of ten.
double NiceStep(double raw);

// The multiples of `step` within [from, to], in order, at most `most` of
// them. None where the step is lost in rounding at these magnitudes: the
// ticks would not advance.
std::vector<double> Ticks(double from, double to, double step, int most = 100);

// A tick's value with as many decimals as the step between ticks needs.
QString AxisLabel(double value, double step);

}  // namespace h33
