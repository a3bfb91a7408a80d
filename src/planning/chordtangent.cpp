#include "planning/chordtangent.h"

#include <cmath>

namespace h33 {
namespace {

constexpr int kAtEnd = 2;
constexpr int kAtStart = 1;

void OnPlane(FrameVector& chord, const FrameVector& offsets, Plane plane, int mode, int arcSense) {
  const PlaneAxes axes = AxesOf(plane);
  ChordTangent(chord.*axes.first, chord.*axes.second, mode, offsets.*axes.first,
               offsets.*axes.second, arcSense);
}

}  // namespace

int SignOf(float x) {
  if (x < 0) return -1;
  return x > 1e-8 ? 1 : 0;
}

void ChordTangent(float& u1, float& u2, int mode, float c1, float c2, int arcSense) {
  c1 = std::fabs(c1);
  c2 = std::fabs(c2);
  if (mode == kAtEnd) {
    // The quadrant of the chord places the centre; a later rule wins on an axis.
    const float a1 = c1;
    const float a2 = c2;
    if (u1 <= 0 && u2 >= 0) c1 = -a1, c2 = -a2;
    if (u1 >= 0 && u2 >= 0) c1 = -a1, c2 = a2;
    if (u1 >= 0 && u2 <= 0) c1 = a1, c2 = a2;
    if (u1 <= 0 && u2 <= 0) c1 = a1, c2 = -a2;
    if (arcSense == 3) c1 = -c1, c2 = -c2;
    c1 += u1;
    c2 += u2;
  }
  // The tangent is perpendicular to the radius, with the chord's signs.
  const float t1 = std::fabs(c2) * static_cast<float>(SignOf(u1));
  const float t2 = std::fabs(c1) * static_cast<float>(SignOf(u2));
  u1 = t1;
  u2 = t2;
}

void ChordTangentAtEnd(FrameVector& chord, const FrameVector& offsets, Plane plane, int arcSense) {
  OnPlane(chord, offsets, plane, kAtEnd, arcSense);
}

void ChordTangentAtStart(FrameVector& chord, const FrameVector& offsets, Plane plane,
                         int arcSense) {
  OnPlane(chord, offsets, plane, kAtStart, arcSense);
}

}  // namespace h33
