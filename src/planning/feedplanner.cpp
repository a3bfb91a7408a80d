#include "planning/feedplanner.h"

#include <utility>

#include "format/feedcode.h"
#include "format/modalstate.h"
#include "format/numbers.h"
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

BrakingOutcome FeedPlanner::Plan(Frame current, std::optional<Frame>& next,
                                 const ReadFrame& readFrame) {
  ApplyModalCodes(current);
  const Geometry geometry = GeometryOf(current);
  sums_.Add(current);
  const float length_mm = geometry.move.Chord();

  const bool feedWritten = TakeCurrentFeed(current, geometry, length_mm);
  const int rowFeed = RowFeed(feedWritten, geometry.Motion());
  window_.push_back({std::move(current), rowFeed, geometry.Motion() ? length_mm : 0.0f});
  const std::size_t row = window_.size() - 1;
  if (const BrakingOutcome outcome = Brake(row); Failed(outcome)) return outcome;
  junction_ = Junction::kNone;

  NextFrame after = LookAhead(geometry.Motion(), next, readFrame);
  if (next) LimitArcFeed(after, *next);
  const bool shortArc = geometry.Arc() && IsShortArcChord(length_mm, policy_.braking);
  // A short arc is not braked inside itself: it runs at the lower feed whole.
  if (shortArc && currentFeed_ > after.feed) {
    currentFeed_ = after.feed;
    SetRowFeed(window_[row], currentFeed_);
    if (const BrakingOutcome outcome = Brake(row); Failed(outcome)) return outcome;
  }
  const float junctionFeed = DecideJunction(geometry, after, next);
  if (feedWritten) WriteFeed(window_[row].frame, currentFeed_);
  return AppendJunctionOrStop(row, shortArc, junctionFeed);
}

FeedPlanner::Geometry FeedPlanner::GeometryOf(const Frame& frame) {
  Geometry geometry;
  geometry.move = frame.Move();
  if (geometry.Motion()) geometry.centre = frame.ArcOffsets();
  return geometry;
}

void FeedPlanner::ApplyModalCodes(const Frame& frame) {
  arcSense_ = ModalState::ArcSenseAfter(frame.Codes(), arcSense_);
  activePlane_ = ModalState::PlaneAfter(frame.Codes(), activePlane_);
}

// Whether the frame's feed is to be written into it. Every frame after the
// first is held to FeedMax while it is the next frame.
bool FeedPlanner::TakeCurrentFeed(Frame& current, const Geometry& geometry, float length_mm) {
  const FeedWords& words = policy_.feedWords;
  bool written = false;
  if (current.Has('F')) {
    currentFeed_ = words.read(current);
    if (window_.empty() && currentFeed_ > policy_.feedMax_mm_min) {
      currentFeed_ = policy_.feedMax_mm_min;
      words.write(current, currentFeed_);
    }
    written = true;
  }
  written = ReduceShortFrame(current, geometry, length_mm) || written;
  // After a corner slow-down or a frame without motion the feed is restated.
  if (geometry.Motion() && !written && junction_ != Junction::kNone) {
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
bool FeedPlanner::ReduceShortFrame(Frame& current, const Geometry& geometry, float length_mm) {
  const int shortFeed = 2 * policy_.speedLimit_mm_min;
  if (!geometry.Motion() || length_mm > kShortFrameLength_mm || currentFeed_ <= shortFeed) {
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
FeedPlanner::NextFrame FeedPlanner::LookAhead(bool currentMotion, std::optional<Frame>& next,
                                              const ReadFrame& readFrame) {
  for (;;) {
    if (!next) {
      // The end of the input: a frame without motion and without a feed.
      NextFrame end;
      end.feed = currentFeed_;
      return end;
    }
    Frame& frame = *next;
    NextFrame after = ReadNextFrame(frame);
    // A pending restore waits over frames without motion.
    if (restorePending_ && after.geometry.Motion()) {
      if (!after.hasFeed) {
        after.feed = savedFeed_;
        policy_.feedWords.write(frame, after.feed);
        after.hasFeed = true;
      }
      restorePending_ = false;
    }
    if (after.geometry.Motion() || !after.hasFeed) return after;
    // Carried whether or not the word stays: where it stays it is in force
    // anyway, and a 0 there must not reach a cut.
    carriedFeed_.Carry(after.feed);
    if (!currentMotion && policy_.keepFeedWordsAfterStill) return after;
    if (!frame.IsFeedOnly()) {
      // A stop comes before a frame without motion; its feed must not hide that.
      policy_.feedWords.strip(frame);
      after.hasFeed = false;
      return after;
    }
    EndNewestLine(window_);
    next = readFrame();
  }
}

FeedPlanner::NextFrame FeedPlanner::ReadNextFrame(Frame& frame) {
  const FeedWords& words = policy_.feedWords;
  NextFrame after;
  after.geometry = GeometryOf(frame);
  after.feed = currentFeed_;
  const bool motion = after.geometry.Motion();
  if (frame.Has('F')) {
    if (motion) carriedFeed_.Discard();
    after.hasFeed = true;
    after.feed = words.read(frame);
    if (after.feed > policy_.feedMax_mm_min) {
      after.feed = policy_.feedMax_mm_min;
      words.write(frame, after.feed);
    }
  } else if (motion) {
    if (const int carried = carriedFeed_.Take(); carried > 0) {
      after.feed = carried;
      words.write(frame, after.feed);
      after.hasFeed = true;
    }
  }
  return after;
}

void FeedPlanner::LimitArcFeed(NextFrame& after, Frame& next) {
  if (!after.geometry.Arc()) return;
  const double limit_mm_min = PolicyArcLimit(after.geometry.centre, policy_);
  if (!(static_cast<double>(after.feed) > limit_mm_min)) return;
  switch (policy_.afterArcLimit) {
    case AfterArcLimit::kCarry:
      carriedFeed_.Carry(after.feed);
      break;
    case AfterArcLimit::kRestore:
      savedFeed_ = after.feed;
      restorePending_ = true;
      break;
    case AfterArcLimit::kKeep:
      break;
  }
  after.feed = TruncateToInt(limit_mm_min);
  policy_.feedWords.write(next, after.feed);
  after.hasFeed = true;
}

// Sets the junction for the next frame; with Junction::kSlowed, returns the
// feed allowed through the corner.
float FeedPlanner::DecideJunction(const Geometry& geometry, const NextFrame& after,
                                  const std::optional<Frame>& next) {
  if (!geometry.Motion()) {
    if (after.geometry.Motion() && !after.hasFeed) junction_ = Junction::kRestate;
    return 0;
  }
  if (!after.geometry.Motion()) {
    if (!after.hasFeed) junction_ = Junction::kStop;
    return 0;
  }
  if (!CanExceedJunctionFeed(after.feed, policy_)) return 0;
  const std::optional<float> corner = CornerFeed(geometry, after.geometry, *next);
  if (!corner || static_cast<float>(after.feed) <= *corner ||
      static_cast<float>(currentFeed_) <= *corner) {
    return 0;
  }
  junction_ = Junction::kSlowed;
  return *corner;
}

// Both frames meet along their tangents where they are arcs; the next
// frame's sense of rotation is read from its own codes.
std::optional<float> FeedPlanner::CornerFeed(const Geometry& current, const Geometry& next,
                                             const Frame& nextFrame) {
  const CornerSide from{current.move, current.centre, arcSense_};
  if (next.Arc()) arcSense_ = ModalState::ArcSenseAfter(nextFrame.Codes(), arcSense_);
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

BrakingOutcome FeedPlanner::AppendInserted(std::string_view text, int feed) {
  EndNewestLine(window_);
  window_.push_back({Frame(text), feed, 0.0f});
  return Brake(window_.size() - 1);
}

BrakingOutcome FeedPlanner::Brake(std::size_t row) {
  return BrakeBackward(window_, row, policy_.braking);
}

}  // namespace h33
