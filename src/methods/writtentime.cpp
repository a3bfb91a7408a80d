#include "methods/writtentime.h"

#include <string_view>

#include "format/lineio.h"

namespace h33 {

void WrittenProgramTime::Take(const Frame& line) {
  if (!failure_.empty()) return;
  try {
    const std::string_view text = line.Text();
    if (text.size() <= kProgramLineLimit) return timer_.Take(line);
    for (std::size_t at = 0; at < text.size(); at += kProgramLineLimit) {
      timer_.Take(Frame(text.substr(at, kProgramLineLimit)));
    }
  } catch (const RunError& error) {
    failure_ = error.what();
  }
}

TimeCount WrittenProgramTime::Finish() {
  if (!failure_.empty()) return {TimeCountStatus::kFailed, 0, failure_};
  return {TimeCountStatus::kCounted, timer_.Finish(), {}};
}

}  // namespace h33
