#pragma once

#include <utility>

namespace h33 {

// What both methods' look-ahead does with a next frame that has an F word
// and no motion: a feed-only frame (Frame::IsFeedOnly) is dropped whole,
// whatever other words (N, S, T ...) it has; a frame with an M, L or G word
// stays and loses only its F word, so that the stop before it is not hidden.

// The feed of an F word on a line without motion goes on to the next motion
// frame that has no F word of its own, and is written there. This is our
// deliberate choice: the look-ahead takes such F words out of the program (a
// frame with an M, L or G word loses its F, a feed-only frame is dropped),
// and without it the feed change would be lost and the next cut would run at
// the older, possibly much higher feed. A feed of 0 (the stop frame of an
// earlier run) is never carried, since a motion frame must never get F0000;
// a motion frame with an F word of its own discards what is carried.
class CarriedFeed {
 public:
  // The feed (mm/min) of an F word on a line without motion; 0 is ignored.
  void Carry(int feed) {
    if (feed > 0) feed_ = feed;
  }
  // A motion frame states its own feed.
  void Discard() { feed_ = 0; }
  // For a motion frame without an F word: the feed to write into it, once;
  // 0 when nothing is carried.
  int Take() { return std::exchange(feed_, 0); }

 private:
  int feed_ = 0;
};

}  // namespace h33
