// The feed rules the correction applies to each frame in reading order.

#include <utility>

#include "format/feedcode.h"
#include "format/modalcodes.h"
#include "format/numbers.h"
#include "methods/uptoup.h"

namespace h33 {
namespace {

// Frames shorter than this run at no more than twice the speed limit.
constexpr double kShortFrame = 0.21;  // mm
// An arc shorter than this runs at one feed from end to end.
constexpr float kShortArc = 100.0f;  // mm

constexpr const char* kStopFrame = "N000F0000\n";


}  // namespace

bool TUpToUp::ProcessFrame(std::string current, std::optional<std::string>& next,
                           ProgramLineReader& reader) {
  ApplyModalCodes(current);
  FrameGeometry frame;
  frame.move = ReadCoordinates(current);
  if (frame.Motion()) frame.arc = ReadArcOffsets(current);
  controlSums_.Add(current);
  const float length = frame.move.Chord();

  const bool feedWritten = TakeCurrentFeed(current, frame, length);
  AppendCurrent(std::move(current), frame, length, feedWritten);
  const std::size_t at = window_.size() - 1;
  if (!BrakeBack(at)) return false;
  junctionState_ = kNoJunction;

  NextFrame after = LookAhead(next, reader);
  LimitArcFeed(next, after);
  const bool shortArc = frame.Arc() && length < kShortArc;
  // A short arc is not braked inside itself: it runs at the lower feed whole.
  if (shortArc && currentFeed_ > after.feed) {
    currentFeed_ = after.feed;
    SetRowFeed(window_[at], currentFeed_);
    if (!BrakeBack(at)) return false;
  }
  const float junctionFeed = DecideJunction(frame, after, next);
  if (feedWritten) ReplaceWord(window_[at].text, 'F', EncodeFeed(currentFeed_));
  return AppendJunctionOrStop(at, shortArc, junctionFeed);
}

void TUpToUp::ApplyModalCodes(const std::string& line) {
  arcSense_ = ModalArcSense(line, arcSense_);
  activePlane_ = ModalPlane(line, activePlane_);
}

// Whether the frame's feed is to be written into it. Every frame after the
// first is held to FeedMax while it is the next frame.
bool TUpToUp::TakeCurrentFeed(std::string& current, const FrameGeometry& frame, float length) {
  bool written = false;
  if (const std::string_view word = ReadWord(current, 'F'); !word.empty()) {
    currentFeed_ = DecodeFeed(ParseInt(word));
    if (window_.empty() && currentFeed_ > feedMax_) currentFeed_ = WriteFeed(current, feedMax_);
    written = true;
  }
  written = ReduceShortFrame(current, frame, length) || written;
  if (frame.Motion() && !written && junctionState_ != kNoJunction) {
    if (shortFrameReduced_) {
      currentFeed_ = WriteFeed(current, savedFeed_);
      shortFrameReduced_ = false;
    }
    written = true;
  }
  return written;
}

bool TUpToUp::ReduceShortFrame(std::string& current, const FrameGeometry& frame, float length) {
  if (!frame.Motion() || double{length} > kShortFrame || currentFeed_ <= 2 * speedLimit_) {
    return false;
  }
  savedFeed_ = currentFeed_;
  currentFeed_ = WriteFeed(current, 2 * speedLimit_);
  shortFrameReduced_ = true;
  return true;
}

void TUpToUp::AppendCurrent(std::string current, const FrameGeometry& frame, float length,
                            bool feedWritten) {
  int feed = currentFeed_;
  if (!feedWritten) {
    if (window_.empty()) {
      feed = 0;
    } else if (!frame.Motion()) {
      feed = window_.back().feed;
    }
  }
  window_.push_back({std::move(current), feed, frame.Motion() ? length : 0.0f});
}

// Feed-only frames are dropped on the way: they are never written and their
// feed is not applied here, but it is carried to the next motion frame that
// has none of its own.
TUpToUp::NextFrame TUpToUp::LookAhead(std::optional<std::string>& next, ProgramLineReader& reader) {
  for (;;) {
    NextFrame frame;
    frame.feed = currentFeed_;
    if (!next) return frame;
    frame.geometry.move = ReadCoordinates(*next);
    if (frame.geometry.Motion()) frame.geometry.arc = ReadArcOffsets(*next);
    TakeNextFeed(*next, frame);
    if (frame.geometry.Motion() || !frame.hasFeed) return frame;
    feedAfterArc_.Carry(frame.feed);
    if (!IsFeedOnlyFrame(*next)) {
      // A stop comes before a frame without motion; its feed must not hide that.
      StripFeedWords(*next);
      frame.hasFeed = false;
      return frame;
    }
    EndNewestLine(window_);
    next = ReadNextLine(reader);
  }
}

void TUpToUp::TakeNextFeed(std::string& next, NextFrame& frame) {
  const bool motion = frame.geometry.Motion();
  if (const std::string_view word = ReadWord(next, 'F'); !word.empty()) {
    if (motion) feedAfterArc_.Discard();
    frame.feed = DecodeFeed(ParseInt(word));
    if (frame.feed > feedMax_) frame.feed = WriteFeed(next, feedMax_);
    frame.hasFeed = true;
  } else if (motion) {
    if (const int carried = feedAfterArc_.Take(); carried > 0) {
      frame.feed = WriteFeed(next, carried);
      frame.hasFeed = true;
    }
  }
  if (shortFrameReduced_ && motion) {
    if (!frame.hasFeed) {
      frame.feed = WriteFeed(next, savedFeed_);
      frame.hasFeed = true;
    }
    shortFrameReduced_ = false;
  }
}

void TUpToUp::LimitArcFeed(std::optional<std::string>& next, NextFrame& frame) {
  if (!frame.geometry.Arc()) return;
  const double limit = ArcFeedLimit(frame.geometry.arc, kArcCoefficient);
  if (static_cast<double>(frame.feed) <= limit) return;
  feedAfterArc_.Carry(frame.feed);
  frame.feed = WriteFeed(*next, TruncateToInt(limit));
  frame.hasFeed = true;
}

// Sets the junction state for the next frame; with kJunctionSlowed, the
// feed allowed through the corner.
float TUpToUp::DecideJunction(const FrameGeometry& frame, const NextFrame& after,
                              const std::optional<std::string>& next) {
  if (!frame.Motion()) {
    if (after.geometry.Motion() && !after.hasFeed) junctionState_ = kAfterStill;
    return 0;
  }
  if (!after.geometry.Motion()) {
    if (!after.hasFeed) junctionState_ = kStopNeeded;
    return 0;
  }
  if (after.feed <= speedLimit_) return 0;
  const std::optional<float> corner = CornerFeed(frame, after.geometry, *next);
  if (!corner || static_cast<float>(after.feed) <= *corner ||
      static_cast<float>(currentFeed_) <= *corner) {
    return 0;
  }
  junctionState_ = kJunctionSlowed;
  return *corner;
}

// Both frames meet along their tangents where they are arcs.
std::optional<float> TUpToUp::CornerFeed(const FrameGeometry& current, const FrameGeometry& next,
                                         const std::string& nextText) {
  FrameVector from = current.move;
  if (current.Arc()) TangentAtEnd(from, current.arc, activePlane_, arcSense_);
  FrameVector to = next.move;
  if (next.Arc()) {
    arcSense_ = ModalArcSense(nextText, arcSense_);
    TangentAtStart(to, next.arc, activePlane_, arcSense_);
  }
  return JunctionFeed(from, to, speedLimit_);
}

bool TUpToUp::AppendJunctionOrStop(std::size_t at, bool shortArc, float junctionFeed) {
  if (junctionState_ == kJunctionSlowed) {
    const int feed = TruncateToInt(junctionFeed);
    if (shortArc) {
      SetRowFeed(window_[at], feed);
      return BrakeBack(at);
    }
    return AppendInserted("N000F" + EncodeFeed(feed) + "\n", feed);
  }
  if (junctionState_ == kStopNeeded) {
    junctionState_ = kNoJunction;
    return AppendInserted(kStopFrame, 0);
  }
  return true;
}

bool TUpToUp::AppendInserted(std::string text, int feed) {
  EndNewestLine(window_);
  window_.push_back({std::move(text), feed, 0.0f});
  return BrakeBack(window_.size() - 1);
}

}  // namespace h33
