#pragma once

#include "format/frame.h"

namespace h33 {

// One frame as the time counter timed it.
struct FrameTiming {
  long line = 0;          // the file line the frame came from
  float seconds = 0;      // what the counter added to its total for it
  float length_mm = 0;    // its chord; 0 for a frame without motion
  int feed_mm_min = 0;    // the feed it was timed at, as programmed (before a
                          // frame too short for it ends at the speed reached)
};

// Told by the time counter what it reads and what each frame took, for a
// caller that wants more than the total. The counter reads one frame ahead
// of the one it times: every frame is taken before the frame before it is
// timed.
class TimeCountObserver {
 public:
  virtual ~TimeCountObserver() = default;

  // Every frame taken, in order. The frame the counter inserts after a code
  // above 4000 comes with the line of the frame that asked for it.
  virtual void FrameTaken(const Frame& frame, long line) = 0;

  // Every frame timed, in order, including those that took no time.
  virtual void FrameTimed(const FrameTiming& timing) = 0;
};

}  // namespace h33
