#include "planning/feedplanner.h"

#include <utility>

#include "format/feedcode.h"
#include "format/modalstate.h"
#include "format/numbers.h"
#include "format/words.h"
#include "planning/policylimits.h"

namespace h33 {
namespace {

constexpr const char* kStopFrame = "N000F0000\n";

bool Failed(const BrakingOutcome& outcome) {
  return outcome.result != BrakingOutcome::kBraked;
}

}  // namespace

FeedPlanner::FeedPlanner(const PlannerPolicy& policy)
    : policy_(policy), arcSense_(policy.initialArcSense) {}

BrakingOutcome FeedPlanner::Plan(std::string current, std::optional<std::string>& next,
                                 const ReadLine& readLine) {
  ApplyModalCodes(current);
  const Geometry frame = ReadGeometry(current);
  sums_.Add(current);
  const float length_mm = frame.move.Chord();

  const bool feedWritten = TakeCurrentFeed(current, frame, length_mm);
  const int rowFeed = RowFeed(feedWritten, frame.Motion());
  window_.push_back({std::move(current), rowFeed, frame.Motion() ? length_mm : 0.0f});
  const std::size_t row = window_.size() - 1;
  if (const BrakingOutcome outcome = Brake(row); Failed(outcome)) return outcome;
  junction_ = Junction::kNone;

  NextFrame after = LookAhead(frame.Motion(), next, readLine);
  if (next) LimitArcFeed(after, *next);
  const bool shortArc = frame.Arc() && IsShortArcChord(length_mm, policy_.braking);
  // A short arc is not braked inside itself: it runs at the lower feed whole.
  if (shortArc && currentFeed_ > after.feed) {
    currentFeed_ = after.feed;
    SetRowFeed(window_[row], currentFeed_);
    if (const BrakingOutcome outcome = Brake(row); Failed(outcome)) return outcome;
  }
  const float junctionFeed = DecideJunction(frame, after, next);
  if (feedWritten) ReplaceWord(window_[row].text, 'F', EncodeFeed(currentFeed_));
  return AppendJunctionOrStop(row, shortArc, junctionFeed);
}

FeedPlanner::Geometry FeedPlanner::ReadGeometry(const std::string& text) {
  Geometry geometry;
  geometry.move = ReadCoordinates(text);
  if (geometry.Motion()) geometry.centre = ReadArcOffsets(text);
  return geometry;
}

void FeedPlanner::ApplyModalCodes(const std::string& line) {
  arcSense_ = ModalState::ArcSenseAfter(line, arcSense_);
  activePlane_ = ModalState::PlaneAfter(line, activePlane_);
}

// Whether the frame's feed is to be written into it. Every frame after the
// first is held to FeedMax while it is the next frame.
bool FeedPlanner::TakeCurrentFeed(std::string& current, const Geometry& frame, float length_mm) {
  const FeedWords& words = policy_.feedWords;
  bool written = false;
  if (HasWord(current, 'F')) {
    currentFeed_ = words.read(current);
    if (window_.empty() && currentFeed_ > policy_.feedMax_mm_min) {
      currentFeed_ = policy_.feedMax_mm_min;
      words.write(current, currentFeed_);
    }
    written = true;
  }
  written = ReduceShortFrame(current, frame, length_mm) || written;
  // After a corner slow-down or a frame without motion the feed is restated.
  if (frame.Motion() && !written && junction_ != Junction::kNone) {
    if (restorePending_) {
      currentFeed_ = savedFeed_;
      words.write(current, currentFeed_);
      restorePending_ = false;
    }
    written = true;
  }
  return written;
}

// A very short move runs slowly; the next motion frame gets the old feed back.
bool FeedPlanner::ReduceShortFrame(std::string& current, const Geometry& frame, float length_mm) {
  const int shortFeed = 2 * policy_.speedLimit_mm_min;
  if (!frame.Motion() || length_mm > kShortFrameLength_mm || currentFeed_ <= shortFeed) {
    return false;
  }
  savedFeed_ = currentFeed_;
  currentFeed_ = shortFeed;
  policy_.feedWords.write(current, currentFeed_);
  restorePending_ = true;
  return true;
}

int FeedPlanner::RowFeed(bool feedWritten, bool motion) const {
  if (feedWritten) return currentFeed_;
  if (window_.empty()) return 0;
  if (motion) return currentFeed_;
  // A frame without motion keeps running at whatever the row before it runs at.
  return window_.back().feed;
}

// Feed-only frames are dropped on the way: they are never written and their
// feed is not applied here, but it is carried to the next motion frame that
// has none of its own.
FeedPlanner::NextFrame FeedPlanner::LookAhead(bool currentMotion, std::optional<std::string>& next,
                                              const ReadLine& readLine) {
  for (;;) {
    if (!next) {
      // The end of the input: a frame without motion and without a feed.
      NextFrame end;
      end.feed = currentFeed_;
      return end;
    }
    std::string& line = *next;
    NextFrame frame = ReadNextFrame(line);
    // A pending restore waits over frames without motion.
    if (restorePending_ && frame.geometry.Motion()) {
      if (!frame.hasFeed) {
        frame.feed = savedFeed_;
        policy_.feedWords.write(line, frame.feed);
        frame.hasFeed = true;
      }
      restorePending_ = false;
    }
    if (frame.geometry.Motion() || !frame.hasFeed) return frame;
    // Carried whether or not the word stays: where it stays it is in force
    // anyway, and a 0 there must not reach a cut.
    carriedFeed_.Carry(frame.feed);
    if (!currentMotion && policy_.keepFeedWordsAfterStill) return frame;
    if (!IsFeedOnlyFrame(line)) {
      // A stop comes before a frame without motion; its feed must not hide that.
      policy_.feedWords.strip(line);
      frame.hasFeed = false;
      return frame;
    }
    EndNewestLine(window_);
    next = readLine();
  }
}

FeedPlanner::NextFrame FeedPlanner::ReadNextFrame(std::string& line) {
  const FeedWords& words = policy_.feedWords;
  NextFrame frame;
  frame.geometry = ReadGeometry(line);
  frame.feed = currentFeed_;
  const bool motion = frame.geometry.Motion();
  if (HasWord(line, 'F')) {
    if (motion) carriedFeed_.Discard();
    frame.hasFeed = true;
    frame.feed = words.read(line);
    if (frame.feed > policy_.feedMax_mm_min) {
      frame.feed = policy_.feedMax_mm_min;
      words.write(line, frame.feed);
    }
  } else if (motion) {
    if (const int carried = carriedFeed_.Take(); carried > 0) {
      frame.feed = carried;
      words.write(line, frame.feed);
      frame.hasFeed = true;
    }
  }
  return frame;
}

void FeedPlanner::LimitArcFeed(NextFrame& frame, std::string& next) {
  if (!frame.geometry.Arc()) return;
  const double limit_mm_min = PolicyArcLimit(frame.geometry.centre, policy_);
  if (!(static_cast<double>(frame.feed) > limit_mm_min)) return;
  switch (policy_.afterArcLimit) {
    case AfterArcLimit::kCarry:
      carriedFeed_.Carry(frame.feed);
      break;
    case AfterArcLimit::kRestore:
      savedFeed_ = frame.feed;
      restorePending_ = true;
      break;
    case AfterArcLimit::kKeep:
      break;
  }
  frame.feed = TruncateToInt(limit_mm_min);
  policy_.feedWords.write(next, frame.feed);
  frame.hasFeed = true;
}

// Sets the junction for the next frame; with Junction::kSlowed, returns the
// feed allowed through the corner.
float FeedPlanner::DecideJunction(const Geometry& frame, const NextFrame& after,
                                  const std::optional<std::string>& next) {
  if (!frame.Motion()) {
    if (after.geometry.Motion() && !after.hasFeed) junction_ = Junction::kRestate;
    return 0;
  }
  if (!after.geometry.Motion()) {
    if (!after.hasFeed) junction_ = Junction::kStop;
    return 0;
  }
  if (!CanExceedJunctionFeed(after.feed, policy_)) return 0;
  const std::optional<float> corner = CornerFeed(frame, after.geometry, *next);
  if (!corner || static_cast<float>(after.feed) <= *corner ||
      static_cast<float>(currentFeed_) <= *corner) {
    return 0;
  }
  junction_ = Junction::kSlowed;
  return *corner;
}

// Both frames meet along their tangents where they are arcs; the next
// frame's sense of rotation is read from its own line.
std::optional<float> FeedPlanner::CornerFeed(const Geometry& current, const Geometry& next,
                                             const std::string& nextText) {
  const CornerSide from{current.move, current.centre, arcSense_};
  if (next.Arc()) arcSense_ = ModalState::ArcSenseAfter(nextText, arcSense_);
  const CornerSide to{next.move, next.centre, arcSense_};
  return PolicyCornerFeed(from, to, activePlane_, policy_);
}

BrakingOutcome FeedPlanner::AppendJunctionOrStop(std::size_t row, bool shortArc,
                                                 float junctionFeed) {
  if (junction_ == Junction::kSlowed) {
    const int feed = TruncateToInt(junctionFeed);
    // A short arc takes the corner feed itself; anything else gets a feed frame after it.
    if (!shortArc) return AppendInserted("N000F" + EncodeFeed(feed) + "\n", feed);
    SetRowFeed(window_[row], feed);
    return Brake(row);
  }
  if (junction_ == Junction::kStop) {
    junction_ = Junction::kNone;
    return AppendInserted(kStopFrame, 0);
  }
  return {};
}

BrakingOutcome FeedPlanner::AppendInserted(std::string text, int feed) {
  EndNewestLine(window_);
  window_.push_back({std::move(text), feed, 0.0f});
  return Brake(window_.size() - 1);
}

BrakingOutcome FeedPlanner::Brake(std::size_t row) {
  return BrakeBackward(window_, row, policy_.braking);
}

}  // namespace h33
