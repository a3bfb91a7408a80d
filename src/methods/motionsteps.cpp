#include "methods/motionsteps.h"

#include <algorithm>
#include <utility>

#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/refusal.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {
namespace {

// The frames between two moves are held to be matched with the other
// program's: a bound keeps a file of nothing but comments from filling the
// memory. No program the shop runs has a run half this long.
constexpr std::size_t kMostFramesBetweenMoves = 100000;
constexpr const char* kTooManyFramesBetweenMoves =
    "Строка %ld: более %zu кадров без перемещения подряд - такой участок программы не сравнивается.";

bool SameVector(const FrameVector& a, const FrameVector& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// The text without its N and F words.
std::string Body(const Frame& frame) {
  std::vector<std::pair<std::size_t, std::size_t>> words;  // letter's place, size with the letter
  for (const char letter : {'N', 'F'}) {
    const std::string_view value = frame.Word(letter);
    if (value.empty()) continue;
    words.emplace_back(static_cast<std::size_t>(value.data() - frame.Text().data()) - 1, value.size() + 1);
  }
  // The later word first, so that the earlier one's place holds.
  std::sort(words.rbegin(), words.rend());
  std::string text = frame.Text();
  for (const auto& [at, size] : words) text.erase(at, size);
  return WithoutLineEnd(std::move(text));
}

}  // namespace

bool MoveShape::operator==(const MoveShape& other) const {
  return SameVector(move, other.move) && SameVector(offsets, other.offsets) &&
         offsets.present == other.offsets.present && sense == other.sense &&
         (sense == 0 || plane == other.plane);
}

StepFrame MotionStepReader::Read(const Frame& frame) const {
  StepFrame read;
  read.line = reader_.LineNumber();
  read.text = WithoutLineEnd(frame.Text());
  if (frame.Has('F')) read.feed_mm_min = DecodeFeed(ParseInt(frame.FeedText()));
  read.feedOnly = frame.IsFeedOnly();
  if (!read.feedOnly) read.body = Body(frame);
  return read;
}

// The controller's own frame after a code above 4000, as a feed frame of
// the line that asks for it: a correction that drops the lead digit drops
// the frame, and the moves after it run at another feed.
StepFrame MotionStepReader::SlowFrame() const {
  StepFrame slow;
  slow.line = reader_.LineNumber();
  slow.text = kControllerSlowFrame;
  slow.feed_mm_min = DecodeFeed(ParseInt(Frame(kControllerSlowFrame).FeedText()));
  slow.feedOnly = true;
  return slow;
}

bool MotionStepReader::Next(MotionStep& step) {
  if (done_) return false;
  step.before.clear();
  step.move.reset();
  if (slowFrameNext_) step.before.push_back(SlowFrame());
  slowFrameNext_ = false;
  while (reader_.ReadLine(line_)) {
    // Refused as the correction and the braking check refuse it: a code
    // that is no feed has no feed to compare.
    frame_.Assign(line_);
    RefuseNonFeedCode(frame_, reader_.LineNumber());
    modal_.Take(frame_.Codes());
    const bool slowFrameNext = frame_.Has('F') && InsertsSlowFrame(ParseInt(frame_.FeedText()));
    if (!frame_.IsMotion()) {
      if (step.before.size() >= kMostFramesBetweenMoves) {
        throw ProgramRefusal(Sprintf(kTooManyFramesBetweenMoves, reader_.LineNumber(), kMostFramesBetweenMoves));
      }
      step.before.push_back(Read(frame_));
      if (slowFrameNext) step.before.push_back(SlowFrame());
      continue;
    }
    slowFrameNext_ = slowFrameNext;
    step.move = Read(frame_);
    step.shape = {frame_.WrittenMove(), {}, 0, modal_.ActivePlane()};
    if (frame_.IsArc()) {
      step.shape.offsets = frame_.WrittenArc();
      step.shape.sense = modal_.ArcSense();
    }
    return true;
  }
  done_ = true;
  return true;
}

}  // namespace h33
