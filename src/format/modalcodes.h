#pragma once

#include <string_view>

#include "format/geometry.h"
#include "format/words.h"

namespace h33 {

// Modal G codes are found as substrings anywhere in a line, and within a
// group the lower code wins.

// "G02" sets the sense of rotation to 2, else "G03" to 3; otherwise it holds.
inline int ModalArcSense(std::string_view line, int modal) {
  if (Contains(line, "G02")) return 2;
  if (Contains(line, "G03")) return 3;
  return modal;
}

// "G17" selects XY, else "G18" XZ, else "G19" YZ; otherwise it holds.
inline Plane ModalPlane(std::string_view line, Plane modal) {
  if (Contains(line, "G17")) return Plane::XY;
  if (Contains(line, "G18")) return Plane::XZ;
  if (Contains(line, "G19")) return Plane::YZ;
  return modal;
}

}  // namespace h33
