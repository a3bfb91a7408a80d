#pragma once

#include <string>

#include "format/geometry.h"
#include "picture/toolpath.h"

namespace h33 {

// One G-code arc exactly as its block states it, in mm: from `start` about
// `centre` (its normal coordinate unused) to `end`, `turns` times round when
// the end meets the start, the normal axis moving evenly with the angle.
struct ExactArc {
  Point3 start, end, centre;
  Plane plane = Plane::XY;
  bool clockwise = false;  // G02: clockwise seen from the positive end of the plane's normal
  int turns = 1;           // whole turns added to the arc's own sweep, less one
};

// What a tape written for that arc alone must keep: every arc frame sweeps,
// in the arc's own sense, what the G-code arc sweeps between the frame's two
// points, within the rounding; the frames together sweep the arc's whole
// angle (no piece goes round backwards or twice); and the tape's cut length
// equals the arc's within what the 0.01 mm grid explains. `tape` is the PTP
// tape of a program that goes rapid to the arc's start, then cuts the arc.
// Empty when all of that holds, otherwise what does not.
std::string ArcUnfaithfulness(const ExactArc& arc, const std::string& tape);

// A program of one arc and the arc it states exactly, for property tests:
// made from numbers in [0, 1) that a random generator or a fuzzer supplies,
// one at a time.
struct ArcProgram {
  ExactArc arc;
  std::string gcode;
};

class ArcChoices {
 public:
  virtual ~ArcChoices() = default;
  virtual double Next() = 0;  // in [0, 1)
};

// Any plane and sense, a centre off the grid, a radius from 0.5 to 2000 mm,
// ends anywhere or a hair beside an axis through the centre (where a
// quadrant cut falls within one rounding step), now and then a whole
// circle, a helix, turns P, a radius R; numbers written with four decimals.
ArcProgram MakeArcProgram(ArcChoices& choose);

}  // namespace h33
