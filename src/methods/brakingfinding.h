#pragma once

#include <string>
#include <string_view>

namespace h33 {

// What the machine cannot do at a place of a program.
enum class BrakingFault {
  kCannotBrake,    // the frame runs too fast to brake within its length to the feed after it
  kCornerTooFast,  // the corner where the frame starts is taken above the junction feed
  kArcTooFast,     // an arc runs above its circle limit
  kShortTooFast,   // a move of at most 0.21 mm runs above twice the speed limit
  kNoFeedYet,      // a move before the program states any feed: the machine stands still
  kZeroFeed,       // a move at F0000
  kAboveFeedMax,   // a move above the machine's highest feed
  kNoStopAtEnd,    // the last move is not followed by a stop
  kNoMoves,        // the file has no move at all (line 0): nothing was checked, so
                   // it must not pass for a program the machine can run
};

// One place where the machine cannot do what the program asks. Feeds are
// what the machine runs, codes decoded, in mm/min.
struct BrakingFinding {
  long line = 0;  // the file's line, counting from 1
  BrakingFault kind = BrakingFault::kCannotBrake;
  std::string frame;       // the frame as written, without its line end
  int feed_mm_min = 0;     // the frame's feed; through a corner, the corner's
  int allowed_mm_min = 0;  // the highest feed a code can state there
  int next_mm_min = 0;     // kCannotBrake: the feed the frame must brake to
};

// The finding in the user's words: "строка 3 (N003Y+001000): ...".
std::string DescribeFinding(const BrakingFinding& finding);

// The kind as a name for machine-read output: "braking", "corner", ...
std::string_view FaultName(BrakingFault kind);

}  // namespace h33
