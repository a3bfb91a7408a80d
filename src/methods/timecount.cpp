#include "methods/timecount.h"

#include "format/frame.h"
#include "format/lineio.h"
#include "methods/frametimer.h"

namespace h33 {

TimeCounter::TimeCounter(std::filesystem::path fileName, int acceleration_mm_s2)
    : fileName_(std::move(fileName)), acceleration_mm_s2_(acceleration_mm_s2) {}

TimeCount TimeCounter::CountTime(TimeCountObserver* observer) {
  std::string reason;
  const auto source = FileSource::Open(fileName_, &reason);
  if (!source) return {TimeCountStatus::kCannotOpen, 0, reason};
  try {
    return {TimeCountStatus::kCounted, CountTime(*source, observer), {}};
  } catch (const RunError& error) {
    return {TimeCountStatus::kFailed, 0, error.what()};
  }
}

float TimeCounter::CountTime(ByteSource& source, TimeCountObserver* observer,
                             FormatCheck* check) {
  // A line longer than a read is timed as the frames its pieces make.
  ProgramLineReader reader(source, ProgramLineReader::LongLines::kInPieces);
  FrameTimer timer(acceleration_mm_s2_, observer);
  Frame frame;
  for (std::string line; reader.ReadLine(line);) {
    frame.Assign(line);
    if (check) check->Take(frame);
    timer.Take(frame);
  }
  return timer.Finish();
}

}  // namespace h33
