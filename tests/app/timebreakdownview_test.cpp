#include "app/timebreakdownview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>

namespace h33 {
namespace {

long long Sum(const std::vector<long long>& shares) {
  return std::accumulate(shares.begin(), shares.end(), 0LL);
}

TEST(WholeSecondsOf, SharesAddUpToTheRoundedTotal) {
  // Each part alone rounds to 1: rounded one by one they would make 3, not 2.
  EXPECT_EQ(WholeSecondsOf(2.4, {0.8, 0.8, 0.8}), (std::vector<long long>{1, 1, 0}));
  EXPECT_EQ(WholeSecondsOf(10, {7.6, 2.4}), (std::vector<long long>{8, 2}));
  // The counter's float total and the parts' double sum part a little.
  EXPECT_EQ(Sum(WholeSecondsOf(3600.4, {1000.2, 2600.21, 0.003})), 3600);
  // A frame's braking rounded below 0 takes no share.
  EXPECT_EQ(WholeSecondsOf(5, {5.0, -1e-6}), (std::vector<long long>{5, 0}));
  EXPECT_EQ(WholeSecondsOf(0, {0, 0, 0}), (std::vector<long long>{0, 0, 0}));
  // Absurd coordinates can count forever: still whole numbers that add up.
  const double forever = std::numeric_limits<double>::infinity();
  const auto shares = WholeSecondsOf(forever, {std::nan(""), forever, 1});
  EXPECT_EQ(Sum(shares), 1'000'000'000'000'000);
  EXPECT_EQ(shares[0], 0);
}

TEST(ShowTimeBreakdown, ToolsAndKindsAddUpToTheCounter) {
  TimeBreakdown breakdown;
  breakdown.total_s = 100.5f;
  const auto tool = [](const char* name, long line, double cutting, double rapid, double braking) {
    ToolTime time{name, line, {}};
    time.parts.cutting = {cutting, 10};
    time.parts.rapid = {rapid, 5};
    time.parts.braking_s = braking;
    return time;
  };
  breakdown.tools = {tool("", 1, 0.5, 0.4, 0.4), tool("01", 4, 40.3, 10.3, 9.3),
                     tool("02", 9, 30.3, 0.3, 8.5)};
  for (const ToolTime& time : breakdown.tools) breakdown.parts.Add(time.parts);

  const ShownTimeBreakdown shown = ShowTimeBreakdown(breakdown);
  EXPECT_EQ(shown.total.total_s, 101);
  EXPECT_EQ(shown.total.cutting_s + shown.total.rapid_s + shown.total.braking_s, 101);
  long long byTools = 0;
  for (const ShownToolTime& time : shown.tools) {
    EXPECT_EQ(time.parts.cutting_s + time.parts.rapid_s + time.parts.braking_s, time.parts.total_s);
    byTools += time.parts.total_s;
  }
  EXPECT_EQ(byTools, 101);
  EXPECT_EQ(shown.tools[0].tool, "");
  EXPECT_EQ(shown.tools[1].tool, "T01");
}

}  // namespace
}  // namespace h33
