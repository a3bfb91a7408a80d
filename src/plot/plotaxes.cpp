#include "plotaxes.h"

#include <algorithm>
#include <cmath>

namespace h33 {

double NiceStep(double raw) {
  if (!(raw > 0) || !std::isfinite(raw)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  const double mantissa = raw / power;
  if (mantissa < 1.5) return power;
  if (mantissa < 3.5) return 2 * power;
  if (mantissa < 7.5) return 5 * power;
  return 10 * power;
}

QString AxisLabel(double value, double step) {
  const int decimals = step > 0 ? std::clamp(static_cast<int>(-std::floor(std::log10(step))), 0, 6) : 0;
  // Rounding may leave −0.
  const double shown = std::fabs(value) < step * 1e-6 ? 0.0 : value;
  return QString::number(shown, 'f', decimals);
}

}  // namespace h33
