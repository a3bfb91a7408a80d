#include "format/controlsums.h"

#include "format/words.h"

namespace h33 {
namespace {
constexpr double kMillimetresPerUnit = 0.01;
}

void ControlSums::Add(std::string_view frame) {
  x_.Add(ReadWord(frame, 'X'));
  y_.Add(ReadWord(frame, 'Y'));
  z_.Add(ReadWord(frame, 'Z'));
}

double ControlSums::X() const { return x_.Value() * kMillimetresPerUnit; }
double ControlSums::Y() const { return y_.Value() * kMillimetresPerUnit; }
double ControlSums::Z() const { return z_.Value() * kMillimetresPerUnit; }

}  // namespace h33
