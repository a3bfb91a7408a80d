#include "methods/frametimer.h"

#include <cmath>

#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/refusal.h"
#include "format/words.h"

namespace h33 {

FrameTimer::FrameTimer(int acceleration_mm_s2, TimeCountObserver* observer)
    : acceleration_mm_s2_(acceleration_mm_s2), observer_(observer) {}

void FrameTimer::Take(const Frame& frame) {
  if (lineEnded_) ++lineNumber_;
  lineEnded_ = frame.Text().ends_with('\n');
  TakeOne(frame);
  if (frame.Has('F') && InsertsSlowFrame(ParseInt(frame.FeedText()))) {
    static const Frame slowFrame(kControllerSlowFrame);
    TakeOne(slowFrame);
  }
}

// The first three frames fill the slots; from then on each frame taken is the
// next one of the frame timed.
void FrameTimer::TakeOne(const Frame& frame) {
  if (observer_) observer_->FrameTaken(frame, lineNumber_);
  const int position = taken_ < 2 ? static_cast<int>(taken_) : 2;
  FrameSlot slot = ParseFrame(frame, position);
  switch (taken_++) {
    case 0: previous_ = slot; return;
    case 1: current_ = slot; return;
    default:
      next_ = slot;
      TimeCurrent();
  }
}

float FrameTimer::Finish() {
  // A program of one or two frames is timed against frames without words.
  if (taken_ == 1 || taken_ == 2) {
    const Frame none;
    if (taken_ == 1) current_ = ParseFrame(none, 1);
    next_ = ParseFrame(none, 2);
    TimeCurrent();
  }
  return static_cast<float>(total_);
}

void FrameTimer::TimeCurrent() {
  // FrameTime may replace the feed by the speed the frame ends with.
  const int feed = current_.feed;
  const float seconds = FrameTime(previous_, current_, next_);
  total_ += seconds;
  if (observer_) observer_->FrameTimed({current_.line, seconds, current_.length, feed});
  previous_ = current_;
  current_ = next_;
}

FrameTimer::FrameSlot FrameTimer::ParseFrame(const Frame& frame, int position) {
  const bool motion = frame.IsMotion();

  FrameSlot slot;
  slot.line = lineNumber_;
  const std::string_view feedWord = frame.FeedText();
  if (!feedWord.empty()) {
    modalFeed_ = DecodeFeed(ParseInt(feedWord));
    modalNonFeedCode_ = IsNonFeedCode(feedWord) ? std::string(TrimBlanks(feedWord)) : std::string();
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

float FrameTimer::FrameTime(const FrameSlot& previous, FrameSlot& current,
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

}  // namespace h33
