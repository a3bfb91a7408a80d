#include "format/geometry.h"

#include <cmath>

#include "format/numbers.h"
#include "format/words.h"

namespace h33 {
namespace {

FrameVector ReadVector(const std::string& text, char a, char b, char c) {
  return InMillimetres(WrittenVector(ReadWord(text, a), ReadWord(text, b), ReadWord(text, c)));
}

// A program's coordinate: a sign and at most six digits, which a float holds
// exactly; anything else is read as ParseFloat reads it. Gives what
// ParseFloat gives, -0 for "-000000" included.
float ReadCoordinateValue(std::string_view value) {
  constexpr std::size_t kExactDigits = 6;
  std::size_t at = 0;
  const bool negative = !value.empty() && value[0] == '-';
  if (!value.empty() && (value[0] == '+' || value[0] == '-')) at = 1;
  const std::size_t first = at;
  long whole = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    if (at - first == kExactDigits) return ParseFloat(value);
    whole = whole * 10 + (value[at] - '0');
  }
  if (at == first || (at < value.size() && value[at] == '.')) return ParseFloat(value);
  const auto magnitude = static_cast<float>(whole);
  return negative ? -magnitude : magnitude;
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
    value = ReadCoordinateValue(word);
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
