#include <gtest/gtest.h>

#include "planning/braking.h"

namespace h33 {
namespace {

const BrakingRules kCorrection{.acceleration = 5, .floorFeed = 5, .arcChordLimit = 100.0f,
                               .stopAtMOrS = false, .zeroFeedsAfterShortArc = false};
const BrakingRules kConversion{.acceleration = 5, .floorFeed = 30, .arcChordLimit = 100.0f,
                               .stopAtMOrS = true, .zeroFeedsAfterShortArc = true};

WindowRow Row(std::string_view text, int feed, float length) { return {Frame(text), feed, length}; }

TEST(BrakingFeed, SolvesForTheStartSpeedThatStillBrakesInTime) {
  EXPECT_EQ(BrakingFeed(240, 10.0f, kCorrection), 646);  // 60·sqrt(4² + 2·5·10)
  EXPECT_EQ(BrakingFeed(240, 1.0f, kCorrection), 305);
  EXPECT_EQ(BrakingFeed(305, 10.0f, kCorrection), 673);
  EXPECT_EQ(BrakingFeed(600, 10.0f, kConversion), 848);
  EXPECT_EQ(BrakingFeed(0, 0.5f, kConversion), 134);
}

TEST(BrakingFeed, ZeroBecomesTheMethodsFloor) {
  EXPECT_EQ(BrakingFeed(0, 0.0f, kCorrection), 5);
  EXPECT_EQ(BrakingFeed(0, 0.0f, kConversion), 30);
}

TEST(BrakeBackward, LowersOnlyWhatCannotBrakeInTime) {
  FrameWindow window{Row("%\n", 0, 0), Row("N001X+001000F0660\n", 600, 10),
                     Row("N002X+001000F0660\n", 600, 10), Row("N003X+000100F0660\n", 600, 1),
                     Row("N004X+001000F0624\n", 240, 10)};
  EXPECT_EQ(BrakeBackward(window, 4, kCorrection).result, BrakingOutcome::kBraked);
  EXPECT_EQ(window[3].feed, 305);
  EXPECT_EQ(window[3].frame.Text(), "N003X+000100F0630\n");
  EXPECT_EQ(window[2].feed, 600);  // 673 is not lower
  EXPECT_EQ(window[2].frame.Text(), "N002X+001000F0660\n");
}

TEST(BrakeBackward, ShortArcTakesTheSlowerFeedWhole) {
  FrameWindow window{Row("%\n", 0, 0), Row("N001X+001000F0660\n", 600, 10),
                     Row("N002G02X+001000I+000500F0660\n", 600, 10),
                     Row("N003X+001000F0624\n", 240, 10)};
  EXPECT_EQ(BrakeBackward(window, 3, kCorrection).result, BrakingOutcome::kBraked);
  EXPECT_EQ(window[2].feed, 240);
  EXPECT_EQ(window[2].frame.Text(), "N002G02X+001000I+000500F0624\n");
  EXPECT_EQ(window[1].feed, 600);  // 646 from 240 over 10 mm
}

TEST(BrakeBackward, ShortArcBeforeAStopFails) {
  FrameWindow window{Row("%\n", 0, 0), Row("N001G02X+001000I+000500F0660\n", 600, 10),
                     Row("N000F0000\n", 0, 0)};
  const BrakingOutcome outcome = BrakeBackward(window, 2, kCorrection);
  EXPECT_EQ(outcome.result, BrakingOutcome::kArcToZero);
  EXPECT_EQ(outcome.arcRow, 1u);
}

TEST(BrakeBackward, LoweringTheOldestRowFails) {
  FrameWindow window{Row("N001X+001000F0712\n", 900, 10), Row("N002X+001000F0624\n", 240, 10)};
  EXPECT_EQ(BrakeBackward(window, 1, kCorrection).result, BrakingOutcome::kWindowExhausted);
  FrameWindow started{Row("%\n", 0, 0), Row("N001X+001000F0712\n", 900, 10),
                      Row("N002X+001000F0624\n", 240, 10)};
  EXPECT_EQ(BrakeBackward(started, 2, kCorrection).result, BrakingOutcome::kBraked);
  EXPECT_EQ(BrakeBackward(started, 0, kCorrection).result, BrakingOutcome::kBraked);
}

TEST(BrakeBackward, MOrSFrameShieldsTheConversionOnly) {
  const FrameWindow original{Row("%\n", 0, 0), Row("N001X+001000F1000\n", 1000, 10),
                             Row("N002M08X+000050F1000\n", 1000, 0.5f), Row("N000F0000\n", 0, 0)};
  FrameWindow converted = original;
  EXPECT_EQ(BrakeBackward(converted, 3, kConversion).result, BrakingOutcome::kBraked);
  EXPECT_EQ(converted[2].feed, 1000);
  FrameWindow corrected = original;
  EXPECT_EQ(BrakeBackward(corrected, 3, kCorrection).result, BrakingOutcome::kBraked);
  EXPECT_EQ(corrected[2].feed, 134);
}

}  // namespace
}  // namespace h33
