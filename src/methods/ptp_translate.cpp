#include "methods/ptp_translate.h"

#include <cmath>

#include "format/feedcode.h"
#include "format/modalcodes.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {
namespace {

// What the current frame leaves for the next one.
constexpr int kNoDecision = 0;
constexpr int kCornerSlowdown = 1;  // a slower feed was put before the corner: restate after it
constexpr int kStop = 2;            // stop before a frame without motion (within one frame only)
constexpr int kRestateFeed = 3;  // a frame without motion: the next motion frame restates its feed

constexpr float kSmallMoveLength = 0.21f;  // mm
constexpr int kArcCoefficient = 5;         // mm/s², independent of the machine's acceleration

// Feeds go into PTP lines as plain mm/min; the code is written when the
// frame is translated itself.
std::string Decimal(int feed) { return Sprintf("%d", feed); }

// Removes every F word with its whole value: a PTP feed is plain mm/min of
// any length, and cutting a fixed four characters would eat the next word.
void RemoveFeedWords(std::string& line) {
  for (std::size_t at = line.find('F'); at != std::string::npos; at = line.find('F', at)) {
    const std::size_t valueLength = ReadWord(std::string_view(line).substr(at), 'F').size();
    if (valueLength == 0) {
      ++at;
    } else {
      line.erase(at, valueLength + 1);
    }
  }
}

}  // namespace

int SignOf(float x) {
  if (x < 0) return -1;
  return x > 1e-8 ? 1 : 0;
}

void ChordTangent(float& u1, float& u2, int mode, float c1, float c2, int arcSense) {
  c1 = std::fabs(c1);
  c2 = std::fabs(c2);
  if (mode == 2) {
    // The quadrant of the chord places the centre; a later rule wins on an axis.
    const float a1 = c1;
    const float a2 = c2;
    if (u1 <= 0 && u2 >= 0) c1 = -a1, c2 = -a2;
    if (u1 >= 0 && u2 >= 0) c1 = -a1, c2 = a2;
    if (u1 >= 0 && u2 <= 0) c1 = a1, c2 = a2;
    if (u1 <= 0 && u2 <= 0) c1 = a1, c2 = -a2;
    if (arcSense == 3) c1 = -c1, c2 = -c2;
    c1 += u1;
    c2 += u2;
  }
  // The tangent is perpendicular to the radius, with the chord's signs.
  const float t1 = std::fabs(c2) * static_cast<float>(SignOf(u1));
  const float t2 = std::fabs(c1) * static_cast<float>(SignOf(u2));
  u1 = t1;
  u2 = t2;
}

float RoundTo3Decimals(float value) { return ParseFloat(Sprintf("%.3f", double{value})); }

FrameTranslator::FrameTranslator(const RunParameters& parameters, PtpReader& input,
                                 Dialogs& dialogs)
    : parameters_(parameters),
      rules_(ConversionBrakingRules(parameters)),
      input_(input),
      dialogs_(dialogs) {}

FrameTranslator::Geometry FrameTranslator::ReadGeometry(const std::string& text) {
  Geometry geometry;
  geometry.move = ReadCoordinates(text);
  if (geometry.move.present) geometry.centre = ReadArcOffsets(text);
  return geometry;
}

void FrameTranslator::ReadModalCodes(const std::string& line) {
  arcSense_ = ModalArcSense(line, arcSense_);
  activePlane_ = ModalPlane(line, activePlane_);
}

bool FrameTranslator::TranslateFrame(std::string& currentLine,
                                     std::optional<std::string>& nextLine) {
  const bool firstFrame = window_.empty();
  ReadModalCodes(currentLine);
  const Geometry current = ReadGeometry(currentLine);
  sums_.Add(currentLine);
  const float length = current.move.Chord();
  const bool feedWritten = DecideFeed(currentLine, current, length, firstFrame);

  window_.push_back({currentLine, RowFeed(feedWritten, current.Motion(), firstFrame),
                     current.Motion() ? length : 0.0f});
  const std::size_t row = window_.size() - 1;
  if (!Brake(row)) return false;
  junctionState_ = kNoDecision;

  NextFrame next = LookAhead(current.Motion(), nextLine);
  if (nextLine) LimitArcFeed(next, *nextLine);
  // A short circle cannot slow down within itself: it runs wholly at the lower feed.
  if (current.Circular() && currentFeed_ > next.feed && length < parameters_.ArcChordLimit) {
    currentFeed_ = next.feed;
    SetRowFeed(window_[row], next.feed);
    if (!Brake(row)) return false;
  }
  const float junctionFeed = DecideJunction(current, next, nextLine);
  if (feedWritten) ReplaceWord(window_[row].text, 'F', EncodeFeed(currentFeed_));
  return CarryOutJunction(current.Circular() && length < parameters_.ArcChordLimit, row,
                          junctionFeed);
}

bool FrameTranslator::DecideFeed(std::string& currentLine, const Geometry& current, float length,
                                 bool firstFrame) {
  bool feedWritten = false;
  if (HasWord(currentLine, 'F')) {
    currentFeed_ = ReadPtpFeed(currentLine);
    if (firstFrame && currentFeed_ > parameters_.FeedMax) {
      currentFeed_ = parameters_.FeedMax;
      ReplaceWord(currentLine, 'F', Decimal(currentFeed_));
    }
    feedWritten = true;
  }
  // A very short move runs slowly; the next motion frame gets the old feed back.
  if (current.Motion() && length <= kSmallMoveLength && 2 * parameters_.SpeedLimit < currentFeed_) {
    savedFeed_ = currentFeed_;
    currentFeed_ = 2 * parameters_.SpeedLimit;
    ReplaceWord(currentLine, 'F', Decimal(currentFeed_));
    restorePending_ = true;
    feedWritten = true;
  }
  // After a corner slow-down or a frame without motion the feed is restated.
  if (current.Motion() && junctionState_ > kNoDecision && !feedWritten) {
    if (restorePending_) {
      ReplaceWord(currentLine, 'F', Decimal(savedFeed_));
      currentFeed_ = savedFeed_;
      restorePending_ = false;
    }
    feedWritten = true;
  }
  return feedWritten;
}

float FrameTranslator::DecideJunction(const Geometry& current, const NextFrame& next,
                                      const std::optional<std::string>& nextLine) {
  float junctionFeed = 0;
  if (current.Motion()) {
    if (!next.geometry.Motion()) {
      if (!next.hasFeed) junctionState_ = kStop;
    } else if (next.feed > parameters_.SpeedLimit) {
      if (const auto feed = JunctionFeed(current, next, *nextLine)) {
        junctionFeed = *feed;
        if (static_cast<float>(next.feed) > junctionFeed &&
            static_cast<float>(currentFeed_) > junctionFeed) {
          junctionState_ = kCornerSlowdown;
        }
      }
    }
  }
  if (!current.Motion() && next.geometry.Motion() && !next.hasFeed) junctionState_ = kRestateFeed;
  return junctionFeed;
}

bool FrameTranslator::CarryOutJunction(bool shortCircle, std::size_t row, float junctionFeed) {
  if (junctionState_ == kCornerSlowdown) {
    const int feed = TruncateToInt(junctionFeed);
    // A short circle takes the corner feed itself; anything else gets a feed frame after it.
    if (!shortCircle) return AppendGenerated("N000F" + EncodeFeed(feed) + "\n", feed);
    SetRowFeed(window_[row], feed);
    return Brake(row);
  }
  if (junctionState_ == kStop) {
    junctionState_ = kNoDecision;
    return AppendGenerated("N000F0000\n", 0);
  }
  return true;
}

int FrameTranslator::RowFeed(bool feedWritten, bool motion, bool firstFrame) const {
  if (feedWritten) return currentFeed_;
  if (firstFrame) return 0;
  if (motion) return currentFeed_;
  // A frame without motion keeps running at whatever the row before it runs at.
  return window_.back().feed;
}

FrameTranslator::NextFrame FrameTranslator::ReadNextFrame(std::string& line) {
  NextFrame next;
  next.geometry = ReadGeometry(line);
  next.feed = currentFeed_;
  const bool motion = next.geometry.Motion();
  if (HasWord(line, 'F')) {
    if (motion) carriedFeed_.Discard();
    next.hasFeed = true;
    next.feed = ReadPtpFeed(line);
    if (next.feed > parameters_.FeedMax) {
      next.feed = parameters_.FeedMax;
      ReplaceWord(line, 'F', Decimal(next.feed));
    }
  } else if (motion) {
    if (const int carried = carriedFeed_.Take(); carried > 0) {
      ReplaceWord(line, 'F', Decimal(carried));
      next.feed = carried;
      next.hasFeed = true;
    }
  }
  return next;
}

FrameTranslator::NextFrame FrameTranslator::LookAhead(bool currentMotion,
                                                      std::optional<std::string>& nextLine) {
  for (;;) {
    if (!nextLine) {
      // The end of the input: a frame without motion and without a feed.
      NextFrame end;
      end.feed = currentFeed_;
      return end;
    }
    std::string& line = *nextLine;
    NextFrame next = ReadNextFrame(line);
    // A pending restore waits over frames without motion.
    if (restorePending_ && next.geometry.Motion()) {
      if (!next.hasFeed) {
        ReplaceWord(line, 'F', Decimal(savedFeed_));
        next.feed = savedFeed_;
        next.hasFeed = true;
      }
      restorePending_ = false;
    }
    if (next.geometry.Motion() || !next.hasFeed) return next;
    // Carried whether or not the word stays: after a frame without motion it
    // stays and is in force anyway, and a 0 there must not reach a cut.
    carriedFeed_.Carry(next.feed);
    if (!currentMotion) return next;
    if (!IsFeedOnlyFrame(line)) {
      RemoveFeedWords(line);
      next.hasFeed = false;
      return next;
    }
    // A feed-only frame after a motion frame is dropped with all its words.
    EndNewestLine(window_);
    nextLine = input_.Next();
  }
}

void FrameTranslator::LimitArcFeed(NextFrame& next, std::string& nextLine) {
  if (!next.geometry.Circular()) return;
  const FrameVector& c = next.geometry.centre;
  const float limit =
      RoundTo3Decimals(60 * std::sqrt((c.x * c.x + c.y * c.y + c.z * c.z) * kArcCoefficient));
  if (!(static_cast<float>(next.feed) > limit)) return;
  if (parameters_.RestoreAfterArc) {
    // The frame after the circle gets back the feed the circle would have run at.
    savedFeed_ = next.feed;
    restorePending_ = true;
  }
  next.feed = TruncateToInt(limit);
  ReplaceWord(nextLine, 'F', Decimal(next.feed));
  next.hasFeed = true;
}

void FrameTranslator::InPlaneTangent(FrameVector& move, const FrameVector& centre, int mode) const {
  switch (activePlane_) {
    case Plane::XY:
      ChordTangent(move.x, move.y, mode, centre.x, centre.y, arcSense_);
      break;
    case Plane::XZ:
      ChordTangent(move.x, move.z, mode, centre.x, centre.z, arcSense_);
      break;
    case Plane::YZ:
      ChordTangent(move.y, move.z, mode, centre.y, centre.z, arcSense_);
      break;
  }
}

std::optional<float> FrameTranslator::JunctionFeed(const Geometry& current, const NextFrame& next,
                                                   const std::string& nextLine) {
  // Directions where the two frames meet: an arc's tangent, not its chord.
  FrameVector leaving = current.move;
  if (current.Circular()) InPlaneTangent(leaving, current.centre, 2);
  FrameVector entering = next.geometry.move;
  if (next.geometry.Circular()) {
    arcSense_ = ModalArcSense(nextLine, arcSense_);
    InPlaneTangent(entering, next.geometry.centre, 1);
  }
  const float a = leaving.Chord();
  const float b = entering.Chord();
  float cosine = 0;
  if (a != 0 && b != 0) {
    cosine = (leaving.x * entering.x + leaving.y * entering.y + leaving.z * entering.z) / (a * b);
  }
  cosine = RoundTo3Decimals(cosine);
  if (cosine == 1) return std::nullopt;
  // SpeedLimit at a full reversal, twice that at a right angle.
  if (parameters_.SpeedLimit == 0) return cosine == -1 ? 0.0f : 2 / (1 - cosine);
  return static_cast<float>(2 * parameters_.SpeedLimit) / (1 - cosine);
}

bool FrameTranslator::AppendGenerated(std::string text, int feed) {
  EndNewestLine(window_);
  window_.push_back({std::move(text), feed, 0.0f});
  return Brake(window_.size() - 1);
}

bool FrameTranslator::Brake(std::size_t row) { return BrakeWindow(window_, row, rules_, dialogs_); }

}  // namespace h33
