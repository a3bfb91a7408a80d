#pragma once

#include "format/geometry.h"

namespace h33 {

// The conversion's direction of an arc where it meets the next frame, taken
// from the chord's quadrant rather than from the radius at the meeting point.

// -1, +1, or 0 within the dead zone just above zero.
int SignOf(float x);

// Turns an arc's chord (u1, u2) in its plane into the direction of the arc:
// mode 2 at the end of the current arc, mode 1 at the start of the next one.
// c1, c2 are the arc's centre offsets; their signs are ignored.
void ChordTangent(float& u1, float& u2, int mode, float c1, float c2, int arcSense);

// The same on the plane's two axes of a frame's chord and centre offsets.
void ChordTangentAtEnd(FrameVector& chord, const FrameVector& offsets, Plane plane, int arcSense);
void ChordTangentAtStart(FrameVector& chord, const FrameVector& offsets, Plane plane,
                         int arcSense);

}  // namespace h33
