#pragma once

#include <QString>

namespace h33 {

// A round step near `raw`: 1, 2 or 5 times a power of ten.
double NiceStep(double raw);

// A tick's value with as many decimals as the step between ticks needs.
QString AxisLabel(double value, double step);

}  // namespace h33
