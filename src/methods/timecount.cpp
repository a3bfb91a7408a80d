#include "methods/timecount.h"

#include <cmath>

#include "format/feedcode.h"
#include "format/lineio.h"
#include "format/numbers.h"
#include "format/refusal.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {
namespace {

struct Unobserved {
  void Taken(const Frame&, long) {}
  void Timed(const FrameTiming&) {}
};

struct Observed {
  TimeCountObserver& observer;
  void Taken(const Frame& frame, long line) { observer.FrameTaken(frame, line); }
  void Timed(const FrameTiming& timing) { observer.FrameTimed(timing); }
};

}  // namespace

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

// A take at the end of the file gives a frame without words.
template <typename Report>
bool TimeCounter::TakeFrame(ProgramLineReader& reader, Frame& frame, Report& report) {
  if (insertPending_) {
    insertPending_ = false;
    frame.Assign(kControllerSlowFrame);
  } else if (reader.ReadLine(line_)) {
    lineNumber_ = reader.LineNumber();
    frame.Assign(line_);
  } else {
    frame.Assign({});
    return false;
  }
  report.Taken(frame, lineNumber_);
  return true;
}

TimeCounter::FrameSlot TimeCounter::ParseFrame(const Frame& frame, int position) {
  const bool motion = frame.IsMotion();

  FrameSlot slot;
  slot.line = lineNumber_;
  const std::string_view feedWord = frame.FeedText();
  if (!feedWord.empty()) {
    const int code = ParseInt(feedWord);
    modalFeed_ = DecodeFeed(code);
    modalNonFeedCode_ = IsNonFeedCode(feedWord) ? std::string(TrimBlanks(feedWord)) : std::string();
    if (InsertsSlowFrame(code)) insertPending_ = true;
    slot.feed = modalFeed_;
  } else if (position == 0) {
    slot.feed = 0;
  } else if (motion) {
    slot.feed = modalFeed_;
  } else {
    slot.feed = lastParsedFeed_;
  }
  lastParsedFeed_ = slot.feed;
  // Its own code or one left in force: the move would take no time at all.
  if (motion && !modalNonFeedCode_.empty()) {
    throw MoveAtNonFeedCode(modalNonFeedCode_, lineNumber_);
  }

  if (motion) {
    // The chord of the written numbers, scaled after the root.
    const FrameVector& move = frame.WrittenMove();
    slot.length =
        static_cast<float>(std::sqrt(move.x * move.x + move.y * move.y + move.z * move.z) * 0.01);
  }
  return slot;
}

float TimeCounter::FrameTime(const FrameSlot& previous, FrameSlot& current,
                             const FrameSlot& next) const {
  const float length = current.length;
  if (length == 0 || current.feed == 0) return 0;
  const float vPrev = static_cast<float>(previous.feed) / 60.0f;
  const float v = static_cast<float>(current.feed) / 60.0f;
  const float vNext = static_cast<float>(next.feed) / 60.0f;
  const float a = static_cast<float>(acceleration_mm_s2_);

  if (v > vPrev && v > vNext) {  // speed up, then brake
    const float vTop = std::sqrt((vPrev * vPrev + vNext * vNext) / 2 + a * length);
    if (vTop > v) {
      return (v - vPrev) / a +
             (length - (v * v - vPrev * vPrev) / (2 * a) - (v * v - vNext * vNext) / (2 * a)) / v +
             (v - vNext) / a;
    }
    return (vTop - vPrev) / a + (vTop - vNext) / a;
  }
  if (v > vPrev) {  // speed up only
    const float vEnd = std::sqrt(vPrev * vPrev + 2 * a * length);
    if (vEnd > v) return (v - vPrev) / a + (length - (v * v - vPrev * vPrev) / (2 * a)) / v;
    current.feed = TruncateToInt(vEnd * 60);
    return (vEnd - vPrev) / a;
  }
  if (v <= vNext) return length / v;  // steady

  // brake only
  const float left = v * v - 2 * a * length;
  const float vEnd = left > 0 ? std::sqrt(left) : 0.0f;
  if (vEnd <= vNext) {
    const float brakeLength = (v * v - vNext * vNext) / (2 * a);
    const float stopLength = vNext * vNext / (2 * a);
    const float cruiseLength = length - brakeLength - stopLength;
    return (cruiseLength > 0 ? cruiseLength / v : 0.0f) + (v - vNext) / a +
           (vNext != 0 ? stopLength / vNext : 0.0f);
  }
  current.feed = TruncateToInt(vEnd * 60);
  return (v - vEnd) / a;
}

float TimeCounter::CountTime(ByteSource& source, TimeCountObserver* observer) {
  return observer ? Walk(source, Observed{*observer}) : Walk(source, Unobserved{});
}

template <typename Report>
float TimeCounter::Walk(ByteSource& source, Report report) {
  // A line longer than a read is timed as the frames its pieces make.
  ProgramLineReader reader(source, ProgramLineReader::LongLines::kInPieces);
  Frame frame;
  const bool any = TakeFrame(reader, frame, report);
  FrameSlot previous = ParseFrame(frame, 0);
  TakeFrame(reader, frame, report);
  FrameSlot current = ParseFrame(frame, 1);
  TakeFrame(reader, frame, report);
  FrameSlot next = ParseFrame(frame, 2);
  // Each frame's time is the 32-bit result the controller's rules give; their
  // sum is kept in double: a float total loses the small frames' time once it
  // is large (a million 0.06 s frames would add up to 59455 s, not 60000).
  double total = 0;
  if (!any) return 0;
  for (;;) {
    // FrameTime may replace the feed by the speed the frame ends with.
    const int feed = current.feed;
    const float seconds = FrameTime(previous, current, next);
    total += seconds;
    report.Timed({current.line, seconds, current.length, feed});
    previous = current;
    current = next;
    if (!TakeFrame(reader, frame, report)) break;
    next = ParseFrame(frame, 2);
  }
  return static_cast<float>(total);
}

}  // namespace h33
