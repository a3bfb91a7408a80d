#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "format/feedcode.h"

namespace h33 {
namespace {

TEST(EncodeFeed, CodesTheDecadeAndTwoSignificantDigits) {
  const std::pair<int, const char*> cases[] = {
      {600, "0660"}, {1200, "0712"}, {240, "0624"}, {300, "0630"}, {5, "0450"},
      {1, "0410"},   {10, "0510"},   {99, "0599"},  {100, "0610"}, {999, "0699"},
      {1234, "0712"}, {9999, "0799"}, {1000, "0710"}, {0, "0000"}, {-7, "0000"},
  };
  for (const auto& [feed, code] : cases) EXPECT_EQ(EncodeFeed(feed), code) << feed;
}

TEST(EncodeFeed, FeedsAbove9999HaveNoFourDigitCode) {
  EXPECT_EQ(EncodeFeed(12345), "0812345");
  EXPECT_EQ(EncodeFeed(600, 4), "4660");
}

TEST(DecodeFeed, TableOfCodes) {
  const std::pair<int, int> cases[] = {
      {660, 600}, {712, 1200}, {450, 5},      {405, 1},   {400, 1},   {399, 0},
      {999, 990000}, {4660, 600}, {4000, 0},  {0, 0},     {624, 240}, {409, 1},
      {410, 1},   {510, 10},    {-1, 0},      {-4660, 0},
  };
  for (const auto& [code, feed] : cases) EXPECT_EQ(DecodeFeed(code), feed) << code;
}

TEST(DecodeFeed, DecadeDigitsOfTenAndMoreSaturateInsteadOfOverflowing) {
  EXPECT_EQ(DecodeFeed(1099), 99 * 100000);  // 10^5 × 99 still fits
  EXPECT_EQ(DecodeFeed(1550), std::numeric_limits<int>::max());
  EXPECT_EQ(DecodeFeed(3999), std::numeric_limits<int>::max());
  EXPECT_EQ(DecodeFeed(std::numeric_limits<int>::max()), std::numeric_limits<int>::max());
  EXPECT_EQ(DecodeFeed(std::numeric_limits<int>::min()), 0);
}

// Codes that decode below 1 mm/min give no feed; 0000 is the stop and stays.
TEST(IsNonFeedCode, EveryCodeBelowOneButTheStop) {
  for (const char* value : {"0001", "0399", "0500", "0900", "4001", "4399", "4500"}) {
    EXPECT_TRUE(IsNonFeedCode(value)) << value;
    EXPECT_EQ(ClassifyFeedCode(value), FeedCodeKind::kBelowOne) << value;
  }
  for (const char* value : {"0000", "0400", "0405", "0410", "0660", "0799", "0999", "4400",
                            "4660"}) {
    EXPECT_FALSE(IsNonFeedCode(value)) << value;
  }
  EXPECT_EQ(ClassifyFeedCode("0000"), FeedCodeKind::kStop);
  EXPECT_EQ(ClassifyFeedCode("0660"), FeedCodeKind::kFeed);
  EXPECT_EQ(ClassifyFeedCode(" 0660 "), FeedCodeKind::kFeed);  // ReadWord keeps the blanks
}

// Only the four digits 0000 stop the machine: a shorter word that reads as 0
// is a slip, and so is a decade digit of 10 or more, which would decode to a
// feed of millions.
TEST(IsNonFeedCode, WordsThatAreNoCodes) {
  for (const char* value : {"0", "00", "000", "00000", "660", "06600", "06 60", "+0660", "0660.",
                            "-001", "-660", "1000", "1660", "3999", "4000", "5660", "9999"}) {
    EXPECT_EQ(ClassifyFeedCode(value), FeedCodeKind::kNoCode) << value;
    EXPECT_TRUE(IsNonFeedCode(value)) << value;
  }
}

// The lead digit 4 does not change the feed; the controller runs its own
// 240 mm/min frame after the frame.
TEST(InsertsSlowFrame, CodesAbove4000) {
  EXPECT_TRUE(InsertsSlowFrame(4660));
  EXPECT_TRUE(InsertsSlowFrame(4001));
  EXPECT_FALSE(InsertsSlowFrame(4000));
  EXPECT_FALSE(InsertsSlowFrame(660));
  EXPECT_EQ(DecodeFeed(4712), DecodeFeed(712));
  EXPECT_STREQ(kControllerSlowFrame, "N000F0624");
}

TEST(DecodeFeed, RoundTripCutsToTwoSignificantDigits) {
  for (int feed = 1; feed <= 9999; ++feed) {
    int scale = 1;
    while (feed / scale >= 100) scale *= 10;
    const int expected = feed / scale * scale;
    ASSERT_EQ(DecodeFeed(std::stoi(EncodeFeed(feed))), expected) << feed;
  }
}

TEST(DecodeFeedReal, KeepsTheFraction) {
  EXPECT_NEAR(DecodeFeedReal(660), 600, 1e-9);
  EXPECT_NEAR(DecodeFeedReal(405), 0.5, 1e-9);
  EXPECT_NEAR(DecodeFeedReal(4712), 1200, 1e-9);
  EXPECT_EQ(DecodeFeedReal(-660), 0);
  EXPECT_EQ(DecodeFeedReal(0), 0);
}

TEST(DecodeFeedReal, HugeCodesNeverGiveNaN) {
  EXPECT_FALSE(std::isnan(DecodeFeedReal(1e300)));
  EXPECT_FALSE(std::isnan(DecodeFeedReal(std::numeric_limits<double>::max())));
}

// Every feed lies between what its code runs at and the top of that code's step.
TEST(CodedFeed, BoundsEveryFeedByTheStepOfItsCode) {
  EXPECT_EQ(CodedFeed(305), 300);
  EXPECT_EQ(HighestFeedCodedAs(300), 309);
  EXPECT_EQ(HighestFeedCodedAs(1200), 1299);
  EXPECT_EQ(HighestFeedCodedAs(99), 99);
  EXPECT_EQ(CodedFeed(12345), 9900);  // no code goes higher
  EXPECT_EQ(CodedFeed(0), 0);
  for (int feed = 1; feed <= kLargestCodedFeed; ++feed) {
    const int coded = CodedFeed(feed);
    ASSERT_LE(coded, feed);
    ASSERT_GE(HighestFeedCodedAs(coded), feed) << feed;
    if (HighestFeedCodedAs(coded) < kLargestCodedFeed) {
      ASSERT_GT(CodedFeed(HighestFeedCodedAs(coded) + 1), coded) << feed;
    }
  }
}

}  // namespace
}  // namespace h33
