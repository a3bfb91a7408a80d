#include <gtest/gtest.h>

#include "ptp_testing.h"

namespace h33 {
namespace {

std::string ConvertedText(std::string_view ptp, const RunParameters& parameters = TestMachine()) {
  const Converted converted = Convert(ptp, parameters);
  EXPECT_EQ(converted.status, ConversionStatus::kConverted);
  EXPECT_TRUE(converted.shown.empty());
  return converted.output;
}

TEST(StopFrames, FollowTheLastMotionFrameAndPrecedeFramesWithoutMotion) {
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\n"), "%\nN001X1000F0650\nN002F0000\n");
  // The motion frame after the M frame restates the feed in force.
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2M08\nN3X1000\n"),
            "%\nN001X1000F0650\nN002F0000\nN003M08\nN004X1000F0650\nN005F0000\n");
}

TEST(FeedOnlyFrames, AreDroppedAfterAMotionFrameWithTheirOtherWords) {
  // The last feed dropped goes on to the next motion frame.
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2F300S20T5\nN3F400\nN4X1000\n"),
            "%\nN001X1000F0650\nN002X1000F0640\nN003F0000\n");
}

TEST(FeedOnlyFrames, WithAnMLOrGWordStayButLoseTheirFeed) {
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2M08F300\n"),
            "%\nN001X1000F0650\nN002F0000\nN003M08\n");
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2G17F300\n"),
            "%\nN001X1000F0650\nN002F0000\nN003G17\n");
  // The whole feed goes, however many digits it has, and nothing after it.
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2F30L001\n"),
            "%\nN001X1000F0650\nN002F0000\nN003L001\n");
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2F300M08\n"),
            "%\nN001X1000F0650\nN002F0000\nN003M08\n");
}

TEST(CarriedFeed, ReachesTheNextMotionFrameWithoutAFeedOfItsOwn) {
  // The M frame's feed: without it the next cut would run at 500.
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2M08F300\nN3X1000\n"),
            "%\nN001X1000F0650\nN002F0000\nN003M08\nN004X1000F0630\nN005F0000\n");
  // A motion frame with its own feed ends it.
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2M08F300\nN3X1000F400\nN4X1000\n"),
            "%\nN001X1000F0650\nN002F0000\nN003M08\nN004X1000F0640\nN005X1000\nN006F0000\n");
  // It comes before the feed a small move put aside: it was programmed later.
  EXPECT_EQ(ConvertedText("%\nN1X20F1000\nN2F300\nN3X10000\n"),
            "%\nN001X20F0610\nN002X10000F0630\nN003F0000\n");
}

TEST(CarriedFeed, ZeroIsNeverCarriedToAMotionFrame) {
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2F0\nN3X1000\n"),
            "%\nN001X1000F0650\nN002X1000\nN003F0000\n");
  // A 0 after a frame without motion stays there, but the cut after it runs
  // at the feed carried before.
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2M08F300\nN3F0\nN4X1000\n"),
            "%\nN001X1000F0650\nN002F0000\nN003M08\nN004F0000\nN005X1000F0630\n"
            "N006F0000\n");
}

TEST(SmallMoves, RunAtTwiceTheReversalFeedAndTheNextFrameGetsTheOldFeedBack) {
  EXPECT_EQ(ConvertedText("%\nN1X20F1000\nN2X10000\n"),
            "%\nN001X20F0610\nN002X10000F0710\nN003F0000\n");
}

TEST(Corners, SlowDownByTheAngleBetweenTheFrames) {
  // Right angle: twice the reversal feed; the frame after the corner restates its feed.
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2Y1000\n"),
            "%\nN001X1000F0650\nN002F0610\nN003Y1000F0650\nN004F0000\n");
  // 170°: cos -0.985, 100 / 1.985 = 50.4 mm/min.
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2X-985Y174\n"),
            "%\nN001X1000F0650\nN002F0550\nN003X-985Y174F0650\nN004F0000\n");
}

TEST(Corners, CollinearFramesAreNeverSlowed) {
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2X2000\nN3X1000Y30\n"),
            "%\nN001X1000F0650\nN002X2000\nN003X1000Y30\nN004F0000\n");
}

TEST(Corners, JunctionFeedIsComputedInSinglePrecision) {
  // cos 0.6 with reversal 50: 100 / (1 - 0.6f) is just above 250.
  EXPECT_EQ(ConvertedText("%\nN1X1000F500\nN2X600Y800\n"),
            "%\nN001X1000F0650\nN002F0625\nN003X600Y800F0650\nN004F0000\n");
}

TEST(Circles, AreLimitedByTheirRadius) {
  // Radius 10 mm: 60·sqrt(5·100) = 1341.6 mm/min; the arc is entered and left tangentially.
  const std::string program = "%\nN1X1000F2000\nN2G02X1000Y-1000I0J1000\nN3Y-100000\n";
  EXPECT_EQ(ConvertedText(program),
            "%\nN001X1000F0714\nN002G02X1000Y-1000I0J1000F0713\nN003Y-100000\nN004F0000\n");
  RunParameters restore = TestMachine();
  restore.restoreAfterArc = true;
  EXPECT_EQ(ConvertedText(program, restore),
            "%\nN001X1000F0714\nN002G02X1000Y-1000I0J1000F0713\nN003Y-100000F0720\nN004F0000\n");
}

TEST(Circles, LimitIsTheExactFeedInTheLookAhead) {
  MemorySource rest("");
  PtpReader reader(rest);
  ScriptedDialogs dialogs;
  const RunParameters parameters = TestMachine();
  FrameTranslator translator(parameters, reader, dialogs);
  std::optional<Frame> next = Frame("N1X1000F2000\n");
  ASSERT_TRUE(translator.TranslateFrame(Frame("%\n"), next));
  Frame current = *next;
  next = Frame("N2G02X1000Y-1000I0J1000\n");
  ASSERT_TRUE(translator.TranslateFrame(current, next));
  EXPECT_EQ(next->Text(), "N2G02X1000Y-1000I0J1000F1341\n");
}

TEST(Circles, ShortCircleTakesTheLowerFeedOfTheNextFrame) {
  EXPECT_EQ(ConvertedText("%\nN1X10000F600\nN2G02X1000Y-1000I0J1000\nN3Y-100000F300\n"),
            "%\nN001X10000F0660\nN002G02X1000Y-1000I0J1000F0630\nN003Y-100000F0630\n"
            "N004F0000\n");
}

TEST(FeedMax, LowersTheFirstFrameAndEveryLaterFeed) {
  RunParameters parameters = TestMachine();
  parameters.machine.feedMax_mm_min = 1200;
  EXPECT_EQ(ConvertedText("N1X100000F1500\nN2X100000F2000\n", parameters),
            "N001X100000F0712\nN002X100000F0712\nN003F0000\n");
  EXPECT_EQ(ConvertedText("%\nN1X100000F1500\n", parameters), "%\nN001X100000F0712\nN002F0000\n");
}

}  // namespace
}  // namespace h33
