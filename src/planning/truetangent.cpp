#include "planning/truetangent.h"

#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace h33 {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// How far off its circle an end point may lie: the program's 0.01 mm grid
// on both points, and a little more on a large radius.
constexpr double kRadiusSlack_mm = 0.02;

struct InPlane {
  double first = 0, second = 0;
};

InPlane Plus(const InPlane& a, const InPlane& b) { return {a.first + b.first, a.second + b.second}; }

double Length(const InPlane& v) { return std::hypot(v.first, v.second); }

InPlane OnPlane(const FrameVector& vector, const PlaneAxes& axes) {
  return {vector.*axes.first, vector.*axes.second};
}

bool EndsOnCircle(const InPlane& start, const InPlane& chord) {
  const double radius = Length(start);
  return std::fabs(Length(Plus(start, chord)) - radius) <= kRadiusSlack_mm + radius * 1e-3;
}

InPlane StartRadius(const InPlane& offsets, const InPlane& chord) {
  if (EndsOnCircle(offsets, chord)) return offsets;
  constexpr std::array<std::pair<double, double>, 3> kSigns{{{-1, 1}, {1, -1}, {-1, -1}}};
  for (const auto& [first, second] : kSigns) {
    const InPlane signed_{first * offsets.first, second * offsets.second};
    if (EndsOnCircle(signed_, chord)) return signed_;
  }
  return offsets;
}

bool TurnsPositive(int arcSense, Plane plane) { return (arcSense == 3) != (plane == Plane::XZ); }

// The angle the arc sweeps from `start` to `end` in its sense: in (0, 2π],
// a whole turn where the two points coincide.
double Sweep(const InPlane& start, const InPlane& end, bool positive) {
  const double turn = std::remainder(
      std::atan2(end.second, end.first) - std::atan2(start.second, start.first), kTwoPi);
  const double sweep = positive ? turn : -turn;
  return sweep <= 0 ? sweep + kTwoPi : sweep;
}

void Turn(FrameVector& chord, const FrameVector& offsets, Plane plane, int arcSense, bool atEnd) {
  if (arcSense != 2 && arcSense != 3) return;
  const PlaneAxes axes = AxesOf(plane);
  const InPlane move = OnPlane(chord, axes);
  const InPlane start = StartRadius(OnPlane(offsets, axes), move);
  const InPlane end = Plus(start, move);
  const InPlane& radius = atEnd ? end : start;
  const double radiusLength = Length(radius);
  if (radiusLength == 0) return;
  const bool positive = TurnsPositive(arcSense, plane);
  // Scaled to the arc's length in the plane, so that a helix's third axis
  // keeps its true slope.
  const double scale = Length(start) * Sweep(start, end, positive) / radiusLength;
  const double sign = positive ? 1 : -1;
  chord.*axes.first = static_cast<float>(-sign * radius.second * scale);
  chord.*axes.second = static_cast<float>(sign * radius.first * scale);
}

}  // namespace

void TrueTangentAtStart(FrameVector& chord, const FrameVector& offsets, Plane plane,
                        int arcSense) {
  Turn(chord, offsets, plane, arcSense, false);
}

void TrueTangentAtEnd(FrameVector& chord, const FrameVector& offsets, Plane plane, int arcSense) {
  Turn(chord, offsets, plane, arcSense, true);
}

}  // namespace h33
