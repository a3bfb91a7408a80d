#include "format/controlsums.h"

namespace h33 {
namespace {
constexpr double kMillimetresPerUnit = 0.01;
}

void ControlSums::Add(const Frame& frame) {
  x_.Add(frame.Word('X'));
  y_.Add(frame.Word('Y'));
  z_.Add(frame.Word('Z'));
}

double ControlSums::X() const { return x_.Value() * kMillimetresPerUnit; }
double ControlSums::Y() const { return y_.Value() * kMillimetresPerUnit; }
double ControlSums::Z() const { return z_.Value() * kMillimetresPerUnit; }

}  // namespace h33
