#include "keptfaults.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "format/feedcode.h"
#include "format/frame.h"
#include "format/words.h"

namespace h33 {
namespace {

// A move without a feed stated yet and one at F0000 stand alike; a method
// may write the F0000 where the input stated nothing.
bool Stands(const BrakingFinding& finding) {
  return finding.kind == BrakingFault::kNoFeedYet || finding.kind == BrakingFault::kZeroFeed;
}

// A move the rules give no feed to run at: none stated yet, F0000, an arc
// whose circle limit is below 1 mm/min, a short arc before a stop (it
// cannot brake within itself), a corner whose junction feed is below
// 1 mm/min (directions that are no numbers).
bool HasNoFeedToRunAt(const BrakingFinding& finding) {
  return finding.kind != BrakingFault::kNoStopAtEnd && finding.kind != BrakingFault::kNoMoves &&
         finding.allowed_mm_min == 0;
}

// A move that brakes to a stop no faster than it would to the floor feed:
// a frame of no length between it and a move at 0 is braked to the floor
// feed, never to 0, and the move before takes that feed as its target. Only
// for an input that has a move at 0; the excuse is the floor's few mm/min.
bool BrakesToTheFloor(const BrakingFinding& finding, const BrakingRules& rules) {
  if (finding.kind != BrakingFault::kCannotBrake || finding.next_mm_min != 0) return false;
  const float chord = Frame(finding.frame).Move().Chord();
  return finding.feed_mm_min <= CodedFeed(BrakingFeed(rules.floorFeed, chord, rules));
}

// What of a frame a method keeps when it writes the frame anew: all but its
// number and its feed word.
std::string KeptOfFrame(std::string_view frame) {
  std::string kept(frame);
  if (HasWord(kept, 'N')) kept.erase(1, 3);
  for (std::size_t at = kept.find('F'); at != std::string::npos; at = kept.find('F', at)) {
    const std::size_t value = WordValueAt(kept, at).size();
    if (value == 0) {
      ++at;
    } else {
      kept.erase(at, value + 1);
    }
  }
  return kept;
}

}  // namespace

std::vector<BrakingFinding> FindingsNotKept(const std::vector<BrakingFinding>& output,
                                            const std::vector<BrakingFinding>& input,
                                            const BrakingRules& rules) {
  const bool inputStands = std::any_of(input.begin(), input.end(), HasNoFeedToRunAt);
  std::vector<BrakingFinding> notKept;
  for (const BrakingFinding& finding : output) {
    if (inputStands && (Stands(finding) || BrakesToTheFloor(finding, rules))) continue;
    // A program without a move (an empty conversion, the last tape of a
    // split that holds only the closing frames) has nothing to brake: what
    // became of the moves is for the tests of the method.
    if (finding.kind == BrakingFault::kNoMoves) continue;
    const std::string frame = KeptOfFrame(finding.frame);
    const bool firstArc =
        finding.kind == BrakingFault::kArcTooFast && finding.line == 1 &&
        std::any_of(input.begin(), input.end(), [&](const BrakingFinding& had) {
          return had.kind == finding.kind && KeptOfFrame(had.frame) == frame;
        });
    if (!firstArc) notKept.push_back(finding);
  }
  return notKept;
}

std::string ListFindings(const std::vector<BrakingFinding>& findings) {
  std::string text;
  for (const BrakingFinding& finding : findings) text += DescribeFinding(finding) + '\n';
  return text;
}

}  // namespace h33
