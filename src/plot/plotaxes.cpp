#include "plot/plotaxes.h"

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

std::vector<double> Ticks(double from, double to, double step, int most) {
  std::vector<double> ticks;
  if (!(step > 0) || !std::isfinite(from) || !std::isfinite(to) || !std::isfinite(step)) return ticks;
  const double first = std::ceil(from / step);
  const double last = std::floor(to / step);
  if (!(last >= first) || first + 1 == first || (first + 1) * step == first * step) return ticks;
  const double count = std::min(last - first + 1, static_cast<double>(most));
  for (double k = 0; k < count; ++k) ticks.push_back((first + k) * step);
  return ticks;
}

QString AxisLabel(double value, double step) {
  const int decimals = step > 0 ? std::clamp(static_cast<int>(-std::floor(std::log10(step))), 0, 6) : 0;
  // Rounding may leave −0.
  const double shown = std::fabs(value) < step * 1e-6 ? 0.0 : value;
  return QString::number(shown, 'f', decimals);
}

}  // namespace h33
