#include "planning/feedlimits.h"

#include <algorithm>
#include <cmath>

#include "format/numbers.h"
#include "format/textformat.h"

namespace h33 {
namespace {

float Sign(float value) { return value > 0 ? 1.0f : -1.0f; }

// Unit tangents for a radius on an axis, by the chord's quadrant.
void AxisTangent(float& px, float& py, int arcSense) {
  if (px == 0 || py == 0 || (arcSense != 2 && arcSense != 3)) return;
  const bool clockwise = arcSense == 2;
  if (px > 0 && py < 0) {
    px = clockwise ? 0.0f : 1.0f;
    py = clockwise ? -1.0f : 0.0f;
  } else if (px < 0 && py > 0) {
    px = clockwise ? 0.0f : -1.0f;
    py = clockwise ? 1.0f : 0.0f;
  } else if (px > 0 && py > 0) {
    px = clockwise ? 1.0f : 0.0f;
    py = clockwise ? 0.0f : 1.0f;
  } else {
    px = clockwise ? -1.0f : 0.0f;
    py = clockwise ? 0.0f : -1.0f;
  }
}

void Tangent(FrameVector& chord, float rx, float ry, Plane plane, int arcSense) {
  const PlaneAxes axes = AxesOf(plane);
  ArcTangent(chord.*axes.first, chord.*axes.second, rx, ry, arcSense);
}

}  // namespace

void ArcTangent(float& px, float& py, float rx, float ry, int arcSense) {
  if (rx == 0 || ry == 0) {
    AxisTangent(px, py, arcSense);
    return;
  }
  if (px == 0 || py == 0 || (arcSense != 2 && arcSense != 3)) return;
  const float tx = Sign(px) * std::fabs(ry);
  const float ty = Sign(py) * std::fabs(rx);
  px = tx;
  py = ty;
}

void TangentAtEnd(FrameVector& chord, const FrameVector& offsets, Plane plane, int arcSense) {
  const PlaneAxes axes = AxesOf(plane);
  Tangent(chord, offsets.*axes.first + chord.*axes.first, offsets.*axes.second + chord.*axes.second,
          plane, arcSense);
}

void TangentAtStart(FrameVector& chord, const FrameVector& offsets, Plane plane, int arcSense) {
  const PlaneAxes axes = AxesOf(plane);
  Tangent(chord, offsets.*axes.first, offsets.*axes.second, plane, arcSense);
}

float RoundTo3Decimals(float value) { return ParseFloat(FixedDecimals(double{value}, 3)); }

std::optional<float> CornerCosine(const FrameVector& current, const FrameVector& next) {
  const float dot = current.x * next.x + current.y * next.y + current.z * next.z;
  const float currentSquare = current.x * current.x + current.y * current.y + current.z * current.z;
  const float nextSquare = next.x * next.x + next.y * next.y + next.z * next.z;
  if (currentSquare == 0 || nextSquare == 0) return std::nullopt;
  // Rounding can carry the cosine of (anti)parallel vectors past ±1; beyond 1
  // it would turn a straight continuation into a negative feed.
  return std::clamp(
      static_cast<float>(dot / std::sqrt(double{currentSquare}) / std::sqrt(double{nextSquare})),
      -1.0f, 1.0f);
}

float RoundedCornerCosine(const FrameVector& current, const FrameVector& next) {
  const float a = current.Chord();
  const float b = next.Chord();
  float cosine = 0;
  if (a != 0 && b != 0) cosine = (current.x * next.x + current.y * next.y + current.z * next.z) / (a * b);
  return RoundTo3Decimals(cosine);
}

std::optional<float> JunctionFeedAt(float cosine, int speedLimit) {
  if (cosine == 1.0f) return std::nullopt;
  const float oneMinusCosine = 1.0f - cosine;
  if (speedLimit == 0) return cosine == -1.0f ? 0.0f : 2.0f / oneMinusCosine;
  return static_cast<float>(2 * speedLimit) / oneMinusCosine;
}

std::optional<float> JunctionFeed(const FrameVector& current, const FrameVector& next,
                                  int speedLimit) {
  const std::optional<float> cosine = CornerCosine(current, next);
  if (!cosine) return std::nullopt;
  return JunctionFeedAt(*cosine, speedLimit);
}

double ArcFeedLimit(const FrameVector& offsets, int coefficient) {
  const float radiusSquare = offsets.x * offsets.x + offsets.y * offsets.y + offsets.z * offsets.z;
  return 60 * std::sqrt(double{static_cast<float>(coefficient) * radiusSquare});
}

float RoundedArcFeedLimit(const FrameVector& offsets, int coefficient) {
  const float radiusSquare = offsets.x * offsets.x + offsets.y * offsets.y + offsets.z * offsets.z;
  return RoundTo3Decimals(60 * std::sqrt(radiusSquare * static_cast<float>(coefficient)));
}

}  // namespace h33
