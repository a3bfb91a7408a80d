#pragma once

#include <optional>

#include "format/geometry.h"
#include "planning/plannerpolicy.h"

namespace h33 {

// The feed limits of a program's geometry as a method's policy computes
// them: the planner writes them into the program, the braking check judges a
// program by them, so both take them from here.

// One of the two motion frames that meet at a corner.
struct CornerSide {
  FrameVector move;    // X, Y, Z in mm
  FrameVector centre;  // I, J, K in mm; not present for a straight frame
  int arcSense;        // in force for this frame: 2 (G02), 3 (G03) or 0 for none
};

// Whether a corner passed at `feed_mm_min` can be too fast for it: the
// junction feed is never below the speed limit, so a feed at or below it
// passes every corner, whatever the directions.
bool CanExceedJunctionFeed(int feed_mm_min, const PlannerPolicy& policy);

// The feed (mm/min) the machine may keep through the corner where `from`
// ends and `to` starts, arcs meeting along their tangents in `plane`;
// nothing where no corner limits the feed.
std::optional<float> PolicyCornerFeed(const CornerSide& from, const CornerSide& to, Plane plane,
                                      const PlannerPolicy& policy);

// The highest feed (mm/min) on an arc whose start point lies at `centre`
// from its centre.
double PolicyArcLimit(const FrameVector& centre, const PlannerPolicy& policy);

}  // namespace h33
