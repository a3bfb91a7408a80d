#include "planning/braking.h"

#include <cmath>

#include "format/numbers.h"

namespace h33 {

int BrakingFeed(int nextFeed, float length, const BrakingRules& rules) {
  // Computed in double, held in mm/s as a float, truncated in mm/min.
  const double next = nextFeed;
  const auto speed = static_cast<float>(
      std::sqrt(next * next * (1.0 / 60) * (1.0 / 60) + 2.0 * rules.acceleration * length));
  const int feed = TruncateToInt(speed * 60);
  return feed == 0 ? rules.floorFeed : feed;
}

int FeedAllowedBefore(int nextFeed, float length, bool shortArc, const BrakingRules& rules) {
  return shortArc ? nextFeed : BrakingFeed(nextFeed, length, rules);
}

bool IsShortArcChord(float chord, const BrakingRules& rules) { return chord < rules.arcChordLimit; }

bool IsShortArc(const WindowRow& row, const BrakingRules& rules) {
  return row.frame.HasArcWords() && IsShortArcChord(row.frame.Move().Chord(), rules);
}

BrakingOutcome BrakeBackward(FrameWindow& window, std::size_t start, const BrakingRules& rules) {
  std::size_t k = start;
  if (k == 0) return {};
  if (rules.zeroFeedsAfterShortArc && window[k].feed == 0 && window[k - 1].feed == 0 &&
      IsShortArc(window[k - 1], rules)) {
    return {BrakingOutcome::kArcToZero, k - 1, start};
  }
  while (k > 0 && window[k].feed < window[k - 1].feed) {
    WindowRow& before = window[k - 1];
    const bool shortArc = IsShortArc(before, rules);
    if (shortArc && window[k].feed == 0) return {BrakingOutcome::kArcToZero, k - 1, start};
    const int feed = FeedAllowedBefore(window[k].feed, before.length, shortArc, rules);
    if (feed >= before.feed) break;
    if (!shortArc && rules.stopAtMOrS && (before.frame.Has('M') || before.frame.Has('S'))) {
      break;
    }
    SetRowFeed(before, feed);
    --k;
  }
  if (k == 0) return {BrakingOutcome::kWindowExhausted, 0, start};
  return {BrakingOutcome::kBraked, 0, start};
}

}  // namespace h33
