#include "format/geometry.h"

#include <cmath>
#include <string_view>

#include "format/numbers.h"
#include "format/words.h"

namespace h33 {
namespace {

FrameVector ReadVector(const std::string& text, char a, char b, char c) {
  FrameVector vector;
  const auto read = [&](char letter, float& value) {
    const std::string_view word = ReadWord(text, letter);
    if (word.empty()) return;
    vector.present = true;
    value = static_cast<float>(ParseFloat(word) * 0.01);
  };
  read(a, vector.x);
  read(b, vector.y);
  read(c, vector.z);
  return vector;
}

}  // namespace

float FrameVector::Chord() const { return std::sqrt(x * x + y * y + z * z); }

FrameVector ReadCoordinates(const std::string& text) { return ReadVector(text, 'X', 'Y', 'Z'); }

FrameVector ReadArcOffsets(const std::string& text) { return ReadVector(text, 'I', 'J', 'K'); }

PlaneAxes AxesOf(Plane plane) {
  switch (plane) {
    case Plane::XZ: return {&FrameVector::x, &FrameVector::z};
    case Plane::YZ: return {&FrameVector::y, &FrameVector::z};
    case Plane::XY: break;
  }
  return {&FrameVector::x, &FrameVector::y};
}

}  // namespace h33
