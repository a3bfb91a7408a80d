// The feed planner on its own, rule by rule: each row a small program, the
// frames the planner holds when it has read the program, with their feeds.
// The program states plain mm/min; the planner writes the codes of the feeds
// it decides (F0660 for 600), and each row keeps the feed as computed.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "format/numbers.h"
#include "format/words.h"
#include "planning/feedplanner.h"

namespace h33 {
namespace {

int ReadPlainFeed(const Frame& frame) { return ParseInt(frame.FeedText()); }
void WritePlainFeed(Frame& frame, int feed) { frame.SetWord('F', std::to_string(feed)); }
void StripFeeds(Frame& frame) { frame.Rewrite(StripFeedWords); }

// SpeedLimit 100 mm/min, FeedMax 1200 mm/min, acceleration 50 mm/s².
PlannerPolicy Policy() {
  return {.speedLimit_mm_min = 100,
          .feedMax_mm_min = 1200,
          .braking = {.acceleration = 50,
                      .floorFeed = 5,
                      .arcChordLimit = kShortArcChord_mm,
                      .stopAtMOrS = false,
                      .zeroFeedsAfterShortArc = false},
          .feedWords = {ReadPlainFeed, WritePlainFeed, StripFeeds},
          .tangent = TangentRule::kRadius,
          .roundTo3Decimals = false,
          .afterArcLimit = AfterArcLimit::kCarry,
          .keepFeedWordsAfterStill = false,
          .initialArcSense = 0};
}

struct PlannerCase {
  const char* rule;
  std::vector<std::string> program;  // lines without their line ends
  std::vector<std::string> rows;     // "text | feed in mm/min"
};

std::vector<std::string> Plan(const std::vector<std::string>& program) {
  std::deque<std::string> lines;
  for (const std::string& line : program) lines.push_back(line + "\n");
  const auto read = [&lines]() -> std::optional<Frame> {
    if (lines.empty()) return std::nullopt;
    Frame frame(lines.front());
    lines.pop_front();
    return frame;
  };
  FeedPlanner planner(Policy());
  std::optional<Frame> current = read();
  std::optional<Frame> next = read();
  while (current) {
    const BrakingOutcome outcome = planner.Plan(std::move(*current), next, read);
    if (outcome.result != BrakingOutcome::kBraked) return {"braking failed"};
    current = std::move(next);
    next = read();
  }
  std::vector<std::string> rows;
  for (const WindowRow& row : planner.Window()) {
    std::string text = row.frame.Text();
    while (!text.empty() && text.back() == '\n') text.pop_back();
    rows.push_back(text + " | " + std::to_string(row.feed));
  }
  return rows;
}

const PlannerCase kCases[] = {
    {"a straight run keeps its feed and stops after the last move",
     {"X+001000F600", "X+001000"},
     {"X+001000F0660 | 600", "X+001000 | 600", "N000F0000 | 0"}},
    {"the first frame is held to FeedMax", {"X+001000F2000"},
     {"X+001000F0712 | 1200", "N000F0000 | 0"}},
    {"a right angle gets a junction frame of 2·SpeedLimit, the feed restated after it",
     {"X+001000F600", "Y+001000"},
     {"X+001000F0660 | 600", "N000F0620 | 200", "Y+001000F0660 | 600", "N000F0000 | 0"}},
    {"a frame of at most 0.21 mm runs at twice the speed limit, the next gets its feed back",
     {"X+001000F600", "X+000021", "X+001000"},
     {"X+001000F0660 | 600", "X+000021F0620 | 200", "X+001000F0660 | 600", "N000F0000 | 0"}},
    {"a stop comes before a frame without motion, whose F word goes to the next move",
     {"X+001000F600", "M05F300", "X+001000"},
     {"X+001000F0660 | 600", "N000F0000 | 0", "M05 | 0", "X+001000F0630 | 300", "N000F0000 | 0"}},
    {"a feed-only frame is dropped and its feed carried to the next move",
     {"X+001000F600", "N000F300", "X+001000"},
     {"X+001000F0660 | 600", "X+001000F0630 | 300", "N000F0000 | 0"}},
    {"braking back: v² = v_next² + 2·a·s lowers the frame before a slow one",
     // 1 mm to brake to 60 mm/min: sqrt(1² + 2·50·1) mm/s = 602 mm/min, coded 600.
     {"%", "X+000100F1200", "X+000100F60"},
     {"% | 0", "X+000100F0660 | 602", "X+000100F0560 | 60", "N000F0000 | 0"}},
    {"an arc is held to 60·sqrt(5·r²) and the feed carried past it",
     // r = 1 mm: 60·sqrt(5) = 134 mm/min, coded 130.
     {"X+001000F600", "G02X+000200I+000100", "G01X+001000"},
     {"X+001000F0660 | 600", "G02X+000200I+000100F0613 | 134", "G01X+001000F0660 | 600",
      "N000F0000 | 0"}},
    {"an arc meets the frames around it along its true tangents, whatever the policy's rule",
     // A clockwise quarter from the left of its circle starts upwards: a
     // right angle after a move along X, which it leaves along X again.
     {"X+002000F600", "G02X+001000Y+001000I-001000J+000000", "G01X+002000"},
     {"X+002000F0660 | 600", "N000F0620 | 200", "G02X+001000Y+001000I-001000J+000000F0660 | 600",
      "G01X+002000 | 600", "N000F0000 | 0"}},
};

TEST(FeedPlanner, AppliesEachRule) {
  for (const PlannerCase& rule : kCases) {
    EXPECT_EQ(Plan(rule.program), rule.rows) << rule.rule;
  }
}

}  // namespace
}  // namespace h33
