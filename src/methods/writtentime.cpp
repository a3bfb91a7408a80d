#include "methods/writtentime.h"

namespace h33 {

void WrittenProgramTime::Take(const Frame& line) {
  if (!failure_.empty()) return;
  try {
    timer_.Take(line);
  } catch (const RunError& error) {
    failure_ = error.what();
  }
}

TimeCount WrittenProgramTime::Finish() {
  if (!failure_.empty()) return {TimeCountStatus::kFailed, 0, failure_};
  return {TimeCountStatus::kCounted, timer_.Finish(), {}};
}

}  // namespace h33
