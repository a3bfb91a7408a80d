#pragma once

#include "format/frame.h"
#include "planning/braking.h"

namespace h33 {

// The machine-independent constants of the feed rules, each used by both
// methods.

// A motion frame this short or shorter runs at no more than twice the speed
// limit: the controller cannot reach a higher feed within it and back.
inline constexpr float kShortFrameLength_mm = 0.21f;
// The centripetal acceleration an arc's feed is held to, independent of the
// machine's braking acceleration: v²/r ≤ 5 mm/s².
inline constexpr int kArcCoefficient_mm_s2 = 5;
// An arc with a shorter chord cannot brake within itself: it runs at one feed.
inline constexpr float kShortArcChord_mm = 100.0f;

// How a method's frames carry feeds while they are read and looked ahead at:
// coded in the H33 program, plain mm/min in a PTP file. Once a frame is in
// the window its feed is the planner's, and every feed the planner decides
// there is written as a code (WriteFeed), whatever the method.
struct FeedWords {
  // The feed (mm/min) of the frame's F word; the frame has one.
  int (*read)(const Frame& frame);
  // Writes `feed_mm_min` into the frame's F word (inserted if there is
  // none). Only the text carries a code: the rules go on with the feed they
  // assigned, not with what its code decodes to.
  void (*write)(Frame& frame, int feed_mm_min);
  // Removes the frame's F word.
  void (*strip)(Frame& frame);
};

// How the direction of an arc where it meets a straight frame is taken.
enum class TangentRule {
  kRadius,  // the radius's perpendicular under the chord's signs
  kChord,   // from the chord's quadrant and the sense of rotation
  kTrue,    // the direction the machine runs: see planning/truetangent.h
};

// What becomes of the feed an arc limit held back.
enum class AfterArcLimit {
  kCarry,    // the next motion frame without an F word of its own gets it back
  kRestore,  // the same through the restore of a short frame's feed
  kKeep,     // the limit stays in force
};

// Everything in which the two methods' feed rules differ; the rules
// themselves are the planner's.
struct PlannerPolicy {
  int speedLimit_mm_min;   // allowed at a full reversal
  int feedMax_mm_min;      // no frame runs faster
  BrakingRules braking;    // acceleration, floor feed, M/S shield, zero-feeds check
  FeedWords feedWords;     // coded or plain feeds in the frame texts
  TangentRule tangent;
  // Cosines and arc limits computed in single precision and rounded to three
  // decimals, the way the conversion compares them.
  bool roundTo3Decimals;
  AfterArcLimit afterArcLimit;
  // After a frame without motion the next frame's F word stays where it is
  // instead of being dropped or stripped.
  bool keepFeedWordsAfterStill;
  int initialArcSense;  // 2 (G02) or 3 (G03) before any is seen; 0 for none
};

}  // namespace h33
