#pragma once

#include <string>
#include <string_view>

namespace h33 {

// The plane of circular interpolation: G17, G18, G19.
enum class Plane { XY, XZ, YZ };

// A frame's increments in mm: value × 0.01 computed in double and held as a
// float, 0 for a missing word.
struct FrameVector {
  float x = 0, y = 0, z = 0;
  bool present = false;  // any of the three words is there
  float Chord() const;
};

FrameVector ReadCoordinates(const std::string& text);  // X, Y, Z
FrameVector ReadArcOffsets(const std::string& text);   // I, J, K

// Three words' value texts (empty for a missing word) as numbers, unscaled:
// in the program's 0.01 mm.
FrameVector WrittenVector(std::string_view a, std::string_view b, std::string_view c);
// A written vector in mm: value × 0.01 in double, held as a float.
FrameVector InMillimetres(const FrameVector& written);

// The two axes of a plane, as members of a frame vector.
struct PlaneAxes {
  float FrameVector::*first;
  float FrameVector::*second;
};

PlaneAxes AxesOf(Plane plane);

}  // namespace h33
