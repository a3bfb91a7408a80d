#pragma once

#include <optional>

#include "format/geometry.h"

namespace h33 {

// Feed limits the correction derives from a program's geometry: through the
// corner between two motion frames, and on an arc.

// Turns an arc's in-plane chord (px, py) into an approximate tangent at the
// point whose radius vector is (rx, ry): the tangent's magnitudes with the
// chord's signs, or a unit vector when the radius lies on an axis. The sense
// of rotation is 2 (G02) or 3 (G03); with no sense the chord stays.
void ArcTangent(float& px, float& py, float rx, float ry, int arcSense);

// An arc frame's chord turned into its tangent at the arc's end point; the
// offsets are the start point relative to the centre.
void TangentAtEnd(FrameVector& chord, const FrameVector& offsets, Plane plane, int arcSense);
// ... and at its start point.
void TangentAtStart(FrameVector& chord, const FrameVector& offsets, Plane plane, int arcSense);

// Printed with three decimals and read back, the way the conversion compares
// cosines and circle limits.
float RoundTo3Decimals(float value);

// The cosine of the angle between two motion vectors, computed in double and
// held in a float; nothing for a vector of zero length.
std::optional<float> CornerCosine(const FrameVector& current, const FrameVector& next);
// The conversion's: in single precision, rounded to three decimals, and 0
// for a vector of zero length.
float RoundedCornerCosine(const FrameVector& current, const FrameVector& next);

// The feed (mm/min) the machine may keep through a corner of that cosine:
// speedLimit at a full reversal, twice that at a right angle. Nothing for a
// straight continuation.
std::optional<float> JunctionFeedAt(float cosine, int speedLimit);

// The same from the two vectors, with the exact cosine.
std::optional<float> JunctionFeed(const FrameVector& current, const FrameVector& next,
                                  int speedLimit);

// The highest feed (mm/min) on an arc whose start point lies at `offsets`
// from its centre: v²/r stays at `coefficient` mm/s².
double ArcFeedLimit(const FrameVector& offsets, int coefficient);
// The conversion's: in single precision, rounded to three decimals.
float RoundedArcFeedLimit(const FrameVector& offsets, int coefficient);

}  // namespace h33
