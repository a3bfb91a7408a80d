#pragma once

#include <string>

#include "format/frame.h"
#include "methods/frametimer.h"
#include "methods/timecount.h"

namespace h33 {

// The time of a program counted from its lines as a method writes them,
// without reading the file back: the lines go to the frame timer as a reader
// of the written file would give them, so the time is the one the time count
// of that file gives.
class WrittenProgramTime {
 public:
  explicit WrittenProgramTime(int acceleration_mm_s2) : timer_(acceleration_mm_s2) {}

  // One line as written (its line end LF, as the writer takes it). The
  // methods write no line longer than a read.
  void Take(const Frame& line);

  // The time, or why there is none: a move at a code that is no feed.
  TimeCount Finish();

 private:
  FrameTimer timer_;
  std::string failure_;
};

}  // namespace h33
