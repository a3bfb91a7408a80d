#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "methods/timebreakdown.h"
#include "tempdir.h"

namespace h33 {
namespace {

constexpr int kFeedMax = 1200;

struct Counted {
  float plain_s;
  TimeBreakdown breakdown;
};

Counted Count(std::string_view program, int acceleration = 5) {
  MemorySource plainSource(program);
  const float plain = TimeCounter("memory", acceleration).CountTime(plainSource);
  MemorySource source(program);
  TimeBreakdownBuilder builder(kFeedMax);
  const float total = TimeCounter("memory", acceleration).CountTime(source, &builder);
  return {plain, builder.Result(total)};
}

TEST(TimeBreakdown, SplitsCuttingRapidAndBraking) {
  // N002 at 600 speeds up from a stop (2 s) and cruises: 11 s against 10 s
  // at its feed. N003 at the highest feed speeds up from 600 and brakes to
  // a stop: 7.5 s against 5 s.
  const Counted counted =
      Count("N001F0000\nN002X+010000F0660\nN003X+010000F0712\nN004F0000\n");
  const TimeBreakdown& breakdown = counted.breakdown;
  EXPECT_EQ(breakdown.total_s, counted.plain_s);
  EXPECT_FLOAT_EQ(breakdown.total_s, 18.5f);
  EXPECT_NEAR(breakdown.parts.cutting.seconds, 10, 1e-4);
  EXPECT_NEAR(breakdown.parts.cutting.length_mm, 100, 1e-4);
  EXPECT_NEAR(breakdown.parts.rapid.seconds, 5, 1e-4);
  EXPECT_NEAR(breakdown.parts.rapid.length_mm, 100, 1e-4);
  EXPECT_NEAR(breakdown.parts.braking_s, 3.5, 1e-4);
  ASSERT_EQ(breakdown.tools.size(), 1u);
  EXPECT_EQ(breakdown.tools[0].tool, "");
}

// After a code above 4000 the controller's own frame slows the next move to
// 240 mm/min: its 100 mm are cutting at 240 (25 s), as when the frame is
// written out, not at the 1200 of the code.
TEST(TimeBreakdown, TheMoveAfterACodeAbove4000RunsAt240) {
  const Counted leadFour = Count("N001F0000\nN002X+010000F4712\nN003X+010000\nN004F0000\n");
  const Counted written =
      Count("N001F0000\nN002X+010000F0712\nN000F0624\nN003X+010000\nN004F0000\n");
  EXPECT_EQ(leadFour.breakdown.total_s, written.breakdown.total_s);
  EXPECT_NEAR(leadFour.breakdown.parts.cutting.seconds, 25, 1e-4);
  EXPECT_NEAR(leadFour.breakdown.parts.cutting.length_mm, 100, 1e-4);
  EXPECT_NEAR(leadFour.breakdown.parts.rapid.length_mm, 100, 1e-4);
  EXPECT_EQ(leadFour.breakdown.parts.cutting.seconds, written.breakdown.parts.cutting.seconds);
  EXPECT_EQ(leadFour.breakdown.parts.braking_s, written.breakdown.parts.braking_s);
}

TEST(TimeBreakdown, MoveWithoutFeedHasPathButNoTime) {
  const Counted counted = Count("N001G01\nN002X+010000\nN003X+010000F0660\nN004F0660\n");
  EXPECT_NEAR(counted.breakdown.parts.untimedLength_mm, 100, 1e-4);
  EXPECT_NEAR(counted.breakdown.parts.cutting.length_mm, 100, 1e-4);
  EXPECT_NEAR(counted.breakdown.parts.Seconds(), counted.plain_s, 1e-4);
}

TEST(TimeBreakdown, EveryToolWordChangesToolsWithoutM06) {
  const Counted counted =
      Count("N001F0660\nN002T01\nN003X+010000\nN004T02\nN005X+010000\nN006X+010000\nN007F0660\n");
  const auto& tools = counted.breakdown.tools;
  ASSERT_EQ(tools.size(), 2u);  // nothing moved before T01
  EXPECT_EQ(tools[0].tool, "01");
  EXPECT_EQ(tools[0].firstLine, 2);
  EXPECT_NEAR(tools[0].parts.Seconds(), 10, 1e-4);
  EXPECT_EQ(tools[1].tool, "02");
  EXPECT_EQ(tools[1].firstLine, 4);
  EXPECT_NEAR(tools[1].parts.Seconds(), 20, 1e-4);
}

TEST(TimeBreakdown, M06ChangesToTheToolNamedBefore) {
  // T02 is made ready while T01 still cuts N004; the change is at N005.
  const Counted counted = Count(
      "N001F0660\nN002T01M06\nN003X+010000\nN004T02X+010000\nN005M06\nN006X+010000\n"
      "N007F0660\n");
  const auto& tools = counted.breakdown.tools;
  ASSERT_EQ(tools.size(), 2u);
  EXPECT_EQ(tools[0].tool, "01");
  EXPECT_NEAR(tools[0].parts.Seconds(), 20, 1e-4);
  EXPECT_EQ(tools[1].tool, "02");
  EXPECT_EQ(tools[1].firstLine, 5);
  EXPECT_NEAR(tools[1].parts.Seconds(), 10, 1e-4);
}

TEST(TimeBreakdown, ToolWordOfTheFirstLineCounts) {
  // The first line is never timed, but the tool it names is the one that moves.
  const auto& tools = Count("N001T05M06F0660\nN002X+010000\nN003F0660\n").breakdown.tools;
  ASSERT_EQ(tools.size(), 1u);
  EXPECT_EQ(tools[0].tool, "05");
}

// Every program of the golden cases, inputs and expected outputs alike: the
// observer leaves the counter's figure as it was, and the parts add up to it.
TEST(TimeBreakdown, AddsUpToTheCounterOnEveryGoldenProgram) {
  int programs = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(H33_GOLDEN_DIR)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".up") continue;
    const TimeCount plain = TimeCounter(entry.path(), 50).CountTime();
    const TimeBreakdownCount counted = CountTimeBreakdown(entry.path(), 50, kFeedMax);
    ASSERT_EQ(counted.time.status, plain.status) << entry.path();
    if (plain.status != TimeCountStatus::kCounted) continue;
    ++programs;
    const TimeBreakdown& breakdown = counted.breakdown;
    EXPECT_EQ(breakdown.total_s, plain.seconds) << entry.path();
    EXPECT_NEAR(breakdown.parts.Seconds(), breakdown.total_s, 0.5) << entry.path();
    double byTools = 0;
    for (const ToolTime& tool : breakdown.tools) byTools += tool.parts.Seconds();
    EXPECT_NEAR(byTools, breakdown.parts.Seconds(), 1e-6) << entry.path();
    EXPECT_GE(breakdown.parts.braking_s, -1e-3) << entry.path();
  }
  EXPECT_GT(programs, 20);
}

}  // namespace
}  // namespace h33
