#include "methods/brakingcheck.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "format/feedcode.h"
#include "format/lineio.h"
#include "format/modalstate.h"
#include "format/numbers.h"
#include "format/refusal.h"
#include "methods/correctionpolicy.h"
#include "planning/braking.h"
#include "planning/policylimits.h"

namespace h33 {
namespace {

std::string WithoutLineEnd(const std::string& line) {
  return line.ends_with('\n') ? line.substr(0, line.size() - 1) : line;
}

}  // namespace

BrakingCheck::BrakingCheck(const MachineLimits& machine)
    : BrakingCheck(CorrectionPolicy(machine)) {}

BrakingCheck::BrakingCheck(const PlannerPolicy& policy)
    : policy_(policy), methodTangent_(policy.tangent) {
  policy_.tangent = TangentRule::kTrue;
}

BrakingCheckResult BrakingCheck::Check(const std::filesystem::path& file) {
  std::vector<BrakingFinding> findings;
  BrakingCheckResult result =
      Check(file, [&findings](const BrakingFinding& finding) { findings.push_back(finding); });
  if (result.status == BrakingCheckStatus::kChecked) result.findings = std::move(findings);
  return result;
}

BrakingCheckResult BrakingCheck::Check(const std::filesystem::path& file,
                                       const BrakingFindingHandler& onFinding) {
  BrakingCheckResult result;
  const auto source = FileSource::Open(file, &result.reason);
  if (!source) {
    result.status = BrakingCheckStatus::kCannotOpen;
    return result;
  }
  try {
    Check(*source, onFinding);
  } catch (const RunError& error) {
    result.status = BrakingCheckStatus::kFailed;
    result.reason = error.what();
  }
  return result;
}

std::vector<BrakingFinding> BrakingCheck::Check(ByteSource& source) {
  std::vector<BrakingFinding> findings;
  Check(source, [&findings](const BrakingFinding& finding) { findings.push_back(finding); });
  return findings;
}

void BrakingCheck::Check(ByteSource& source, const BrakingFindingHandler& onFinding) {
  Start();
  onFinding_ = &onFinding;
  ProgramLineReader reader(source);
  for (std::string line; reader.ReadLine(line);) {
    frame_.Assign(line);
    RefuseNonFeedCode(frame_, reader.LineNumber());
    // The correction refuses such a frame: the check gives the same answer.
    RefuseHiddenFeedWord(frame_, reader.LineNumber());
    TakeFrame(reader.LineNumber());
    // The machine runs the controller's own frame after a code above 4000:
    // the move before it brakes to 240 mm/min, the moves after run at it.
    if (slowFrameNext_) {
      frame_.Assign(kControllerSlowFrame);
      TakeFrame(reader.LineNumber());
    }
  }
  CheckEnd();
}

void BrakingCheck::Start() {
  last_.reset();
  feed_ = 0;
  feedStated_ = false;
  slowFrameNext_ = false;
  lowestSinceMove_ = kNothingBetween;
  arcSense_ = policy_.initialArcSense;
  plane_ = Plane::XY;
}

// Frames without motion take no length: the machine passes them at the end
// of the move before, so the lowest feed among them is what that move must
// brake to.
void BrakingCheck::TakeFrame(long number) {
  arcSense_ = ModalState::ArcSenseAfter(frame_.Codes(), arcSense_);
  plane_ = ModalState::PlaneAfter(frame_.Codes(), plane_);
  slowFrameNext_ = false;
  if (frame_.Has('F')) {
    const int code = ParseInt(frame_.FeedText());
    feed_ = DecodeFeed(code);
    feedStated_ = true;
    slowFrameNext_ = InsertsSlowFrame(code);
  }
  if (!frame_.IsMotion()) {
    lowestSinceMove_ = std::min(lowestSinceMove_, feed_);
    return;
  }
  Move current = ReadMove(number);
  if (last_) {
    const int reached = std::min(lowestSinceMove_, current.feed);
    CheckBraking(*last_, reached);
    CheckCorner(*last_, current, std::min(last_->feed, reached));
  }
  CheckOwnFeed(current);
  last_ = std::move(current);
  lowestSinceMove_ = kNothingBetween;
}

BrakingCheck::Move BrakingCheck::ReadMove(long number) const {
  Move move;
  move.line = number;
  move.text = WithoutLineEnd(frame_.Text());
  move.move = frame_.Move();
  if (frame_.IsArc()) move.centre = frame_.ArcOffsets();
  move.chord = move.move.Chord();
  move.feed = feed_;
  move.arcSense = arcSense_;
  move.plane = plane_;
  return move;
}

void BrakingCheck::CheckOwnFeed(const Move& move) {
  if (move.feed == 0) {
    Add(feedStated_ ? BrakingFault::kZeroFeed : BrakingFault::kNoFeedYet, move, 0, 0);
    return;
  }
  const int feedMax = CodedFeed(policy_.feedMax_mm_min);
  if (move.feed > feedMax) Add(BrakingFault::kAboveFeedMax, move, move.feed, feedMax);
  if (move.chord <= kShortFrameLength_mm) {
    const int shortFeed = CodedFeed(2 * policy_.speedLimit_mm_min);
    if (move.feed > shortFeed) Add(BrakingFault::kShortTooFast, move, move.feed, shortFeed);
  }
  if (!move.centre.present) return;
  const int arcLimit = CodedFeed(TruncateToInt(PolicyArcLimit(move.centre, policy_)));
  if (move.feed > arcLimit) Add(BrakingFault::kArcTooFast, move, move.feed, arcLimit);
}

void BrakingCheck::CheckBraking(const Move& move, int nextFeed) {
  const BrakingRules& rules = policy_.braking;
  const bool shortArc = move.centre.present && IsShortArcChord(move.chord, rules);
  const int allowed =
      CodedFeed(FeedAllowedBefore(HighestFeedCodedAs(nextFeed), move.chord, shortArc, rules));
  if (move.feed > allowed) Add(BrakingFault::kCannotBrake, move, move.feed, allowed, nextFeed);
}

// The Ptp->up conversion states a corner's cosine to three decimals, the
// correction exactly. Either is the junction rule within half a thousandth
// of the cosine, under 0.5 % of the feed, yet the two limits may fall on
// either side of a code's step: a corner is held to the higher of them.
std::optional<float> BrakingCheck::JunctionFeed(const Move& from, const Move& to) const {
  const CornerSide out{from.move, from.centre, from.arcSense};
  const CornerSide in{to.move, to.centre, to.arcSense};
  PlannerPolicy rounded = policy_;
  rounded.roundTo3Decimals = !policy_.roundTo3Decimals;
  const std::optional<float> byOwn = PolicyCornerFeed(out, in, from.plane, policy_);
  const std::optional<float> byRounded = PolicyCornerFeed(out, in, from.plane, rounded);
  if (!byOwn || !byRounded) return std::nullopt;
  // An arc whose offsets overflow has no true tangent: the methods then
  // hold the corner by their own rule, and so is it judged.
  if (std::isnan(*byOwn) || std::isnan(*byRounded)) {
    PlannerPolicy method = policy_;
    method.tangent = methodTangent_;
    return PolicyCornerFeed(out, in, from.plane, method);
  }
  return std::max(*byOwn, *byRounded);
}

void BrakingCheck::CheckCorner(const Move& from, const Move& to, int cornerFeed) {
  if (!CanExceedJunctionFeed(cornerFeed, policy_)) return;
  const std::optional<float> junction = JunctionFeed(from, to);
  if (!junction) return;
  const int allowed = CodedFeed(TruncateToInt(*junction));
  if (cornerFeed > allowed) Add(BrakingFault::kCornerTooFast, to, cornerFeed, allowed);
}

// A move standing at 0 needs no stop after it. A file without a move (an
// empty one, prose, a file in another encoding) has nothing the machine
// cannot do, but it is no program to pass either.
void BrakingCheck::CheckEnd() {
  if (!last_) {
    (*onFinding_)({0, BrakingFault::kNoMoves, {}, 0, 0, 0});
    return;
  }
  if (last_->feed == 0) return;
  if (lowestSinceMove_ != 0) {
    Add(BrakingFault::kNoStopAtEnd, *last_, last_->feed, 0);
    return;
  }
  CheckBraking(*last_, 0);
}

void BrakingCheck::Add(BrakingFault kind, const Move& at, int feed, int allowed, int next) {
  (*onFinding_)({at.line, kind, at.text, feed, allowed, next});
}

}  // namespace h33
