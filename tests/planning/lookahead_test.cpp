#include <gtest/gtest.h>

#include <string_view>

#include "format/frame.h"
#include "planning/lookahead.h"

namespace h33 {
namespace {

TEST(FeedOnlyFrame, FrameAndLookAheadAgree) {
  constexpr std::string_view kLines[] = {
      "N000F0624\n",        "N000F0000\n",          "N005F0624S100T01\n", "N005F0624M05\n",
      "N005F0624L001\n",    "N005G40F0624\n",       "N005X+000100F0624\n", "N005Z+000100F0624\n",
      "N005M05\n",          "N005F\n",              "N005FXF0624\n",      "N005F0624X\n",
      "N005F0624G\n",       "N005F0624I+000100\n",  "F0624",              "",
  };
  for (const std::string_view line : kLines) {
    EXPECT_EQ(Frame(line).IsFeedOnly(), IsFeedOnlyFrame(line)) << line;
  }
  EXPECT_TRUE(Frame("N000F0624\n").IsFeedOnly());
  EXPECT_TRUE(Frame("N005F0624X\n").IsFeedOnly());  // a bare X is no motion
  EXPECT_FALSE(Frame("N005F0624M05\n").IsFeedOnly());
}

}  // namespace
}  // namespace h33
