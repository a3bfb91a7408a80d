#include "methods/correctionpolicy.h"

#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/words.h"
#include "planning/framewindow.h"

namespace h33 {
namespace {

// The correction brakes down to 5 mm/min; where braking would give less,
// the machine stops from there.
constexpr int kFloorFeed_mm_min = 5;

int ReadCodedFeed(const Frame& frame) { return DecodeFeed(ParseInt(frame.FeedText())); }

void StripCodedFeeds(Frame& frame) { frame.Rewrite(StripFeedWords); }

}  // namespace

PlannerPolicy CorrectionPolicy(const MachineLimits& machine) {
  return {
      .speedLimit_mm_min = machine.speedLimit_mm_min,
      .feedMax_mm_min = machine.feedMax_mm_min,
      .braking = {.acceleration = machine.acceleration_mm_s2,
                  .floorFeed = kFloorFeed_mm_min,
                  .arcChordLimit = kShortArcChord_mm,
                  .stopAtMOrS = false,
                  .zeroFeedsAfterShortArc = false},
      .feedWords = {ReadCodedFeed, WriteFeed, StripCodedFeeds},
      .tangent = TangentRule::kRadius,
      .roundTo3Decimals = false,
      .afterArcLimit = AfterArcLimit::kCarry,
      .keepFeedWordsAfterStill = false,
      .initialArcSense = 0,
  };
}

}  // namespace h33
