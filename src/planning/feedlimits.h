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

// The feed (mm/min) the machine may keep through the corner between two
// motion vectors: speedLimit at a full reversal, twice that at a right angle.
// Nothing for a straight continuation or a vector of zero length.
std::optional<float> JunctionFeed(const FrameVector& current, const FrameVector& next,
                                  int speedLimit);

// The highest feed (mm/min) on an arc whose start point lies at `offsets`
// from its centre: v²/r stays at `coefficient` mm/s².
double ArcFeedLimit(const FrameVector& offsets, int coefficient);

}  // namespace h33
