#include "format/geometry.h"

#include <cmath>

#include "format/numbers.h"
#include "format/words.h"

namespace h33 {
namespace {

FrameVector ReadVector(const std::string& text, char a, char b, char c) {
  return InMillimetres(WrittenVector(ReadWord(text, a), ReadWord(text, b), ReadWord(text, c)));
}

}  // namespace

float FrameVector::Chord() const { return std::sqrt(x * x + y * y + z * z); }

FrameVector ReadCoordinates(const std::string& text) { return ReadVector(text, 'X', 'Y', 'Z'); }

FrameVector ReadArcOffsets(const std::string& text) { return ReadVector(text, 'I', 'J', 'K'); }

FrameVector WrittenVector(std::string_view a, std::string_view b, std::string_view c) {
  FrameVector vector;
  const auto read = [&](std::string_view word, float& value) {
    if (word.empty()) return;
    vector.present = true;
    value = ParseFloat(word);
  };
  read(a, vector.x);
  read(b, vector.y);
  read(c, vector.z);
  return vector;
}

FrameVector InMillimetres(const FrameVector& written) {
  const auto scale = [](float value) { return static_cast<float>(value * 0.01); };
  return {scale(written.x), scale(written.y), scale(written.z), written.present};
}

PlaneAxes AxesOf(Plane plane) {
  switch (plane) {
    case Plane::XZ: return {&FrameVector::x, &FrameVector::z};
    case Plane::YZ: return {&FrameVector::y, &FrameVector::z};
    case Plane::XY: break;
  }
  return {&FrameVector::x, &FrameVector::y};
}

}  // namespace h33
