#include "planning/policylimits.h"

#include <algorithm>

#include "planning/chordtangent.h"
#include "planning/feedlimits.h"
#include "planning/truetangent.h"

namespace h33 {
namespace {

enum class Meets { kAtItsEnd, kAtItsStart };

using Turn = void (*)(FrameVector&, const FrameVector&, Plane, int);

Turn TurnBy(TangentRule rule, Meets where) {
  const bool atEnd = where == Meets::kAtItsEnd;
  switch (rule) {
    case TangentRule::kRadius: return atEnd ? TangentAtEnd : TangentAtStart;
    case TangentRule::kChord: return atEnd ? ChordTangentAtEnd : ChordTangentAtStart;
    case TangentRule::kTrue: break;
  }
  return atEnd ? TrueTangentAtEnd : TrueTangentAtStart;
}

// The direction in which a frame meets the corner: an arc's tangent by the
// policy's rule, a straight frame's move.
FrameVector Direction(const CornerSide& side, Meets where, Plane plane, TangentRule rule) {
  FrameVector direction = side.move;
  if (!side.centre.present) return direction;
  TurnBy(rule, where)(direction, side.centre, plane, side.arcSense);
  return direction;
}

std::optional<float> CornerFeedBy(TangentRule rule, const CornerSide& from, const CornerSide& to,
                                  Plane plane, const PlannerPolicy& policy) {
  const FrameVector out = Direction(from, Meets::kAtItsEnd, plane, rule);
  const FrameVector in = Direction(to, Meets::kAtItsStart, plane, rule);
  const int speedLimit = policy.speedLimit_mm_min;
  if (policy.roundTo3Decimals) return JunctionFeedAt(RoundedCornerCosine(out, in), speedLimit);
  return JunctionFeed(out, in, speedLimit);
}

}  // namespace

bool CanExceedJunctionFeed(int feed_mm_min, const PlannerPolicy& policy) {
  return feed_mm_min > policy.speedLimit_mm_min;
}

std::optional<float> PolicyCornerFeed(const CornerSide& from, const CornerSide& to, Plane plane,
                                      const PlannerPolicy& policy) {
  const std::optional<float> byRule = CornerFeedBy(policy.tangent, from, to, plane, policy);
  if (policy.tangent == TangentRule::kTrue) return byRule;
  // A rule's tangent strays from the true one on an arc that crosses an
  // axis; there the machine's corner may be the sharper one.
  const std::optional<float> byTrue = CornerFeedBy(TangentRule::kTrue, from, to, plane, policy);
  if (!byRule) return byTrue;
  if (!byTrue) return byRule;
  return std::min(*byRule, *byTrue);
}

double PolicyArcLimit(const FrameVector& centre, const PlannerPolicy& policy) {
  if (policy.roundTo3Decimals) return RoundedArcFeedLimit(centre, kArcCoefficient_mm_s2);
  return ArcFeedLimit(centre, kArcCoefficient_mm_s2);
}

}  // namespace h33
