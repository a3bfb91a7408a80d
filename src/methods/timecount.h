#pragma once

#include <filesystem>
#include <string>

#include "format/bytesource.h"
#include "format/frame.h"
#include "methods/timecountobserver.h"

namespace h33 {

enum class TimeCountStatus {
  kCounted,
  kCannotOpen,  // the file cannot be opened; `reason` says why
  kFailed,      // a read failed part way, or a move the counter refuses; `reason` is the message
};

struct TimeCount {
  TimeCountStatus status = TimeCountStatus::kCounted;
  float seconds = 0;
  std::string reason;
};

// Execution time of an H33 program under constant acceleration: each frame
// starts at the speed the frame before it ended with, speeds up towards its
// own feed and brakes towards the next frame's feed.
class TimeCounter {
 public:
  TimeCounter(std::filesystem::path fileName, int acceleration_mm_s2);

  // The file's time. A move at a code that is no feed (IsNonFeedCode), which
  // would otherwise count as taking no time, fails like a read, and so does
  // a file that is no plain text (ProgramLineReader). An observer, when
  // given, is told every frame taken and timed.
  TimeCount CountTime(TimeCountObserver* observer = nullptr);

  // The same walk over any byte source, in seconds. Throws IoError when the
  // source fails, ProgramRefusal for a move at a code that is no feed or for
  // bytes no program text holds.
  float CountTime(ByteSource& source, TimeCountObserver* observer = nullptr);

 private:
  struct FrameSlot {
    int feed = 0;
    float length = 0;
    long line = 0;
  };

  // The walk, made once with a report that does nothing, so that counting
  // without an observer pays nothing for it.
  template <typename Report>
  float Walk(ByteSource& source, Report report);
  template <typename Report>
  bool TakeFrame(class ProgramLineReader& reader, Frame& frame, Report& report);
  FrameSlot ParseFrame(const Frame& frame, int position);
  float FrameTime(const FrameSlot& previous, FrameSlot& current, const FrameSlot& next) const;

  std::filesystem::path fileName_;
  int acceleration_mm_s2_;
  int modalFeed_ = 0;
  // The F value behind modalFeed_ when that code is no feed, else empty.
  std::string modalNonFeedCode_;
  // The file's line the frame taken last belongs to; a line longer than a
  // read is taken in pieces.
  long lineNumber_ = 0;
  int lastParsedFeed_ = 0;
  bool insertPending_ = false;
  std::string line_;  // the storage of every line read
};

}  // namespace h33
