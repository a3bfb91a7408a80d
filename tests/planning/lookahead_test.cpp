#include <gtest/gtest.h>

#include <string_view>

#include "planning/lookahead.h"

namespace h33 {
namespace {

// What the look-ahead drops whole: an F word, no X, Y, Z, M, L or G word,
// and no modal G code read as a substring.
TEST(FeedOnlyFrame, AnFWordAndNothingTheControllerActsOnBesides) {
  constexpr std::string_view kFeedOnly[] = {"N000F0624\n", "N000F0000\n", "N005F0624S100T01\n",
                                            "N005F0624X\n",  // a bare X is no motion
                                            "N005F0624G\n", "N005F0624I+000100\n", "F0624"};
  constexpr std::string_view kOthers[] = {"N005F0624M05\n", "N005F0624L001\n", "N005G40F0624\n",
                                          "N005X+000100F0624\n", "N005Z+000100F0624\n", "N005M05\n",
                                          "N005F\n", "N005FXF0624\n", "",
                                          "N005GG03F0630\n",  // no G word, yet it states G03
                                          "N005GG17F0630\n"};
  for (const std::string_view line : kFeedOnly) EXPECT_TRUE(IsFeedOnlyFrame(line)) << line;
  for (const std::string_view line : kOthers) EXPECT_FALSE(IsFeedOnlyFrame(line)) << line;
}

}  // namespace
}  // namespace h33
