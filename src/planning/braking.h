#pragma once

#include "planning/framewindow.h"

namespace h33 {

// How a method's backward braking pass differs from the other's.
struct BrakingRules {
  int acceleration;     // mm/s²
  int floorFeed;        // mm/min used when the braking feed truncates to 0
  float arcChordLimit;  // mm: a shorter arc cannot brake within itself
  bool stopAtMOrS;      // a frame with an M or S word shields the frames before it
  // A stop right after a short arc that already stands still fails at once.
  bool zeroFeedsAfterShortArc;
};

struct BrakingOutcome {
  enum Result { kBraked, kArcToZero, kWindowExhausted };
  Result result = kBraked;
  std::size_t arcRow = 0;  // with kArcToZero: the short arc that would have to stop
  std::size_t start = 0;   // the row the pass started from
};

// The highest feed (mm/min) at the start of a frame of `length` mm from which
// the machine still brakes to `nextFeed` within it: v² = v_next² + 2·a·s.
int BrakingFeed(int nextFeed, float length, const BrakingRules& rules);

// The highest feed (mm/min) at which a frame may run before a frame at
// `nextFeed`: a short arc cannot brake within itself and takes the slower
// feed whole, any other frame brakes within its length (BrakingFeed).
int FeedAllowedBefore(int nextFeed, float length, bool shortArc, const BrakingRules& rules);

// Whether an arc with this chord (mm) is short: one that runs at one feed.
bool IsShortArcChord(float chord, const BrakingRules& rules);

// A short arc: the row's frame has an I, J or K word and a chord below the limit.
bool IsShortArc(const WindowRow& row, const BrakingRules& rules);

// Lowers the feeds of the rows before `start`, newest first, until a row is
// already slow enough. A short arc takes the slower feed whole. Lowering row 0
// fails: the window does not reach back far enough. The pass and why it
// suffices are explained in planning/feedplanner.h.
BrakingOutcome BrakeBackward(FrameWindow& window, std::size_t start, const BrakingRules& rules);

}  // namespace h33
