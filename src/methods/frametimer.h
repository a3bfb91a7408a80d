#pragma once

#include <string>

#include "format/frame.h"
#include "methods/timecountobserver.h"

namespace h33 {

// Execution time of an H33 program under constant acceleration, taken one
// frame at a time: each frame starts at the speed the frame before it ended
// with, speeds up towards its own feed and brakes towards the next frame's
// feed. So a frame is timed once the frame after it is taken.
//
// The frames are a program's lines as a reader gives them: a line longer
// than a read comes in pieces, each a frame, sharing the line's number. The
// first frame only sets the speed for the second; the last one is never
// timed (but of a program of two frames, the second is timed against a frame
// without words). After a code above 4000 the controller runs a frame of its
// own, N000F0624, which is taken here with the line that asked for it.
class FrameTimer {
 public:
  explicit FrameTimer(int acceleration_mm_s2, TimeCountObserver* observer = nullptr);

  // Throws ProgramRefusal for a move at a code that is no feed
  // (IsNonFeedCode), which would otherwise count as taking no time.
  void Take(const Frame& frame);

  // The program's time in seconds, once every frame is taken.
  float Finish();

 private:
  struct FrameSlot {
    int feed = 0;
    float length = 0;
    long line = 0;
  };

  void TakeOne(const Frame& frame);
  FrameSlot ParseFrame(const Frame& frame, int position);
  void TimeCurrent();
  float FrameTime(const FrameSlot& previous, FrameSlot& current, const FrameSlot& next) const;

  int acceleration_mm_s2_;
  TimeCountObserver* observer_;
  // The last three frames: previous, current (the one timed next) and next.
  FrameSlot previous_, current_, next_;
  long taken_ = 0;
  // Each frame's time is the 32-bit result the controller's rules give; their
  // sum is kept in double: a float total loses the small frames' time once it
  // is large (a million 0.06 s frames would add up to 59455 s, not 60000).
  double total_ = 0;
  int modalFeed_ = 0;
  // The F value behind modalFeed_ when that code is no feed, else empty.
  std::string modalNonFeedCode_;
  int lastParsedFeed_ = 0;
  long lineNumber_ = 0;
  bool lineEnded_ = true;
};

}  // namespace h33
