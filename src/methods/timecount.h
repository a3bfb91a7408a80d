#pragma once

#include <filesystem>
#include <string>

#include "format/bytesource.h"
#include "format/formatcheck.h"
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

// Execution time of an H33 program file, its frames timed by FrameTimer.
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
  // bytes no program text holds. A format check, when given, is fed every
  // line read: the check and the count in one pass.
  float CountTime(ByteSource& source, TimeCountObserver* observer = nullptr,
                  FormatCheck* check = nullptr);

 private:
  std::filesystem::path fileName_;
  int acceleration_mm_s2_;
};

}  // namespace h33
