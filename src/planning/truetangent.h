#pragma once

#include "format/geometry.h"

namespace h33 {

// The direction in which the machine runs an arc where it meets the frame
// before or after it: perpendicular to the radius at that point, in the
// arc's sense of rotation. G02 turns clockwise seen from the positive end of
// the plane's normal; in the XZ plane, taken as X, Z, that is the other way
// round. The third axis of a helical arc keeps its rise over the arc's
// length in the plane. With no sense of rotation (2 or 3) in force, or a
// radius of no length, the chord stays.
//
// The offsets are the start point relative to the centre. Some programs
// write them without their signs: where the written signs put the end point
// off the start circle and other signs put it on, those signs are meant.

// An arc frame's chord turned into its true tangent at the arc's start point.
void TrueTangentAtStart(FrameVector& chord, const FrameVector& offsets, Plane plane,
                        int arcSense);
// ... and at its end point.
void TrueTangentAtEnd(FrameVector& chord, const FrameVector& offsets, Plane plane, int arcSense);

}  // namespace h33
