#include "planning/policylimits.h"

#include "planning/chordtangent.h"
#include "planning/feedlimits.h"

namespace h33 {
namespace {

enum class Meets { kAtItsEnd, kAtItsStart };

// The direction in which a frame meets the corner: an arc's tangent by the
// policy's rule, a straight frame's move.
FrameVector Direction(const CornerSide& side, Meets where, Plane plane, TangentRule rule) {
  FrameVector direction = side.move;
  if (!side.centre.present) return direction;
  using Turn = void (*)(FrameVector&, const FrameVector&, Plane, int);
  const bool atEnd = where == Meets::kAtItsEnd;
  const Turn byRadius = atEnd ? TangentAtEnd : TangentAtStart;
  const Turn byChord = atEnd ? ChordTangentAtEnd : ChordTangentAtStart;
  (rule == TangentRule::kRadius ? byRadius : byChord)(direction, side.centre, plane, side.arcSense);
  return direction;
}

}  // namespace

bool CanExceedJunctionFeed(int feed_mm_min, const PlannerPolicy& policy) {
  return feed_mm_min > policy.speedLimit_mm_min;
}

std::optional<float> PolicyCornerFeed(const CornerSide& from, const CornerSide& to, Plane plane,
                                      const PlannerPolicy& policy) {
  const FrameVector out = Direction(from, Meets::kAtItsEnd, plane, policy.tangent);
  const FrameVector in = Direction(to, Meets::kAtItsStart, plane, policy.tangent);
  const int speedLimit = policy.speedLimit_mm_min;
  if (policy.roundTo3Decimals) return JunctionFeedAt(RoundedCornerCosine(out, in), speedLimit);
  return JunctionFeed(out, in, speedLimit);
}

double PolicyArcLimit(const FrameVector& centre, const PlannerPolicy& policy) {
  if (policy.roundTo3Decimals) return RoundedArcFeedLimit(centre, kArcCoefficient_mm_s2);
  return ArcFeedLimit(centre, kArcCoefficient_mm_s2);
}

}  // namespace h33
