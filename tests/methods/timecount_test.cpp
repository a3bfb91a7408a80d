#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "format/refusal.h"
#include "format/textformat.h"
#include "methods/timecount.h"
#include "tempdir.h"

namespace h33 {
namespace {

float TimeOf(std::string_view program, int acceleration = 5) {
  MemorySource source(program);
  return TimeCounter("memory", acceleration).CountTime(source);
}

// 100 mm along X.
constexpr const char* kLong600 = "N002X+010000F0660\n";

TEST(TimeCounter, WorkedExampleSpeedUpThenBrake) {
  // previous feed 0, next feed 0: 2 s up, 8 s cruise, 2 s down
  EXPECT_FLOAT_EQ(TimeOf(std::string("N001F0000\n") + kLong600 + "N003F0000\n"), 12.0f);
}

TEST(TimeCounter, WorkedExampleBrakeOnly) {
  // previous feed 600, next feed 0: 9 s cruise, 2 s braking
  EXPECT_FLOAT_EQ(TimeOf(std::string("N001F0660\n") + kLong600 + "N003F0000\n"), 11.0f);
}

TEST(TimeCounter, SteadyFrameRunsAtItsFeed) {
  EXPECT_FLOAT_EQ(TimeOf(std::string("N001F0660\n") + kLong600 + "N003F0660\n"), 10.0f);
}

// A million short frames: the total does not drift as it grows.
TEST(TimeCounter, ManyShortFramesAddUpExactly) {
  std::string program = "N001F0660\n";
  for (int frame = 0; frame < 1000000; ++frame) program += "X+000060\n";
  program += "N003F0660\n";
  // 0.6 mm at 600 mm/min: 0.06 s each, the first and last lines untimed.
  EXPECT_NEAR(TimeOf(program), 60000.0f, 0.5f);
}

TEST(TimeCounter, FirstAndLastFramesAreNeverTimed) {
  EXPECT_EQ(TimeOf(std::string(kLong600) + "N003F0000\n"), 0.0f);  // second line is no motion
  // Only the middle frames are timed, each 10 s at a steady 600 mm/min.
  EXPECT_FLOAT_EQ(TimeOf(std::string(kLong600) + kLong600 + kLong600), 10.0f);
  EXPECT_FLOAT_EQ(TimeOf(std::string(kLong600) + kLong600 + kLong600 + kLong600), 20.0f);
  EXPECT_EQ(TimeOf(kLong600), 0.0f);
  EXPECT_EQ(TimeOf(""), 0.0f);
}

TEST(TimeCounter, SecondOfTwoLinesIsTimedAgainstAFrameWithoutWords) {
  // next slot repeats the parsed feed (600), so the frame only speeds up: 2 s + 9 s
  EXPECT_FLOAT_EQ(TimeOf(std::string("N001F0000\n") + kLong600), 11.0f);
}

TEST(TimeCounter, CodeAbove4000IsFollowedByA240Frame) {
  // The flagged frame brakes to 240 mm/min; the frame after it starts from 240.
  const std::string flagged = "N001F0660\nN002X+010000F4660\nN003X+010000\nN004F0660\n";
  const std::string explicitFrame =
      "N001F0660\nN002X+010000F0660\nN000F0624\nN003X+010000\nN004F0660\n";
  EXPECT_FLOAT_EQ(TimeOf(flagged), TimeOf(explicitFrame));
  // N003 has no F word, so it runs at the inserted 240 mm/min: 25 s.
  EXPECT_FLOAT_EQ(TimeOf("N001F0624\nN003X+010000\nN004F0624\n"), 25.0f);
}

TEST(TimeCounter, FeedOnlyFrameShapesItsNeighboursButTakesNoTime) {
  const float withStop = TimeOf(std::string("N001F0660\n") + kLong600 + "N003F0000\n" +
                                "N004X+010000F0660\nN005F0660\n");
  // N002: 11 s braking to the stop; N004: from 0 up to 600 then steady: 2 + 9 s.
  EXPECT_FLOAT_EQ(withStop, 22.0f);
}

TEST(TimeCounter, FeedCodes400To409RunAt1) {
  // 0.05 mm at 1 mm/min between frames at 1 mm/min: L / v = 0.05 / (1/60) = 3 s
  EXPECT_NEAR(TimeOf("N001F0405\nN002X+000005\nN003F0400\n"), 3.0f, 1e-4);
}

TEST(TimeCounter, FrameThatCannotReachItsFeedPassesItsEndSpeedOn) {
  // 1 mm from standstill at 600 mm/min: v_end = sqrt(2·5·1) ≈ 3.16 mm/s < 10.
  // The next frame then starts from 189 mm/min, not from 600.
  const std::string program = "N001F0000\nN002X+000100F0660\nN003X+010000\nN004F0660\n";
  const float vEnd = std::sqrt(10.0f);
  const float first = vEnd / 5;
  const float startFeed = static_cast<float>(static_cast<int>(vEnd * 60)) / 60;
  const float second = (10 - startFeed) / 5 + (100 - (100 - startFeed * startFeed) / 10) / 10;
  EXPECT_FLOAT_EQ(TimeOf(program), first + second);
}

TEST(TimeCounter, PathLengthIsTheChord) {
  // 3-4-5 triangle: 5 mm at 60 mm/min between equal feeds is 5 s
  EXPECT_FLOAT_EQ(TimeOf("N001F0560\nN002X+000300Y+000400\nN003F0560\n"), 5.0f);
}

TEST(TimeCounter, MotionBeforeAnyFeedAddsNothing) {
  EXPECT_EQ(TimeOf("%\nN001X+010000\nN002X+010000\nN003X+010000\n"), 0.0f);
}

TEST(TimeCounter, CarriageReturnLineFeedAndLongLinesReadTheSame) {
  const std::string lf = std::string("N001F0000\n") + kLong600 + "N003F0000\n";
  const std::string crlf = "N001F0000\r\nN002X+010000F0660\r\nN003F0000\r\n";
  EXPECT_EQ(TimeOf(lf), TimeOf(crlf));
  // A 250-character comment line is two frames without words: same feeds, no time.
  const std::string withLongLine =
      std::string("N001F0000\n") + kLong600 + std::string(250, '*') + "\nN003F0000\n";
  EXPECT_FLOAT_EQ(TimeOf(withLongLine), 11.0f);
}

// A file saved with old Macintosh line ends has the frames of its lines,
// not one long line read in pieces that take no time.
TEST(TimeCounter, LoneCarriageReturnsEndLinesAsCarriageReturnLineFeedDoes) {
  const std::string cr = "N001F0000\rN002X+010000F0660\rN003F0000\r";
  EXPECT_EQ(TimeOf(cr), 12.0f);
  EXPECT_EQ(TimeOf(cr), TimeOf("N001F0000\r\nN002X+010000F0660\r\nN003F0000\r\n"));
}

TEST(TimeCounter, GarbageNeverCrashes) {
  std::string garbage;
  for (int i = 1; i <= 5000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 255 + 1));
  EXPECT_GE(TimeOf(garbage), 0.0f);
  EXPECT_GE(TimeOf("N1F0799X+9\nN2F0999X-99999999999999Y+.\nN3F0711X1\nN4X1F4999\n"), 0.0f);
  // With NUL bytes it is no text at all.
  garbage[100] = '\0';
  EXPECT_THROW(TimeOf(garbage), ProgramRefusal);
}

// A move at a code that is no feed would count as taking no time at all.
TEST(TimeCounter, AMoveAtACodeBelowOneIsRefusedWithItsLine) {
  const auto refusal = [](std::string_view program) {
    try {
      TimeOf(program);
    } catch (const ProgramRefusal& error) {
      return std::string(error.what());
    }
    return std::string("counted");
  };
  EXPECT_EQ(refusal("%\nN001X+001000F0660\nN002Y+001000F0350\nN003M30\n"),
            "Строка 3: перемещение идёт с кодом подачи F0350, который задаёт подачу меньше 1 "
            "мм/мин.");
  // Left in force by a frame without motion, and counted past a long line read in pieces.
  EXPECT_EQ(refusal("%\nN001F0002M05\n" + std::string(250, '*') + "\nN003X+001000\n"),
            "Строка 4: перемещение идёт с кодом подачи F0002, который задаёт подачу меньше 1 "
            "мм/мин.");
  // A code no move runs at is left alone, and so is the stop code. A code
  // above 4000 is followed by the controller's own 240 mm/min frame.
  EXPECT_EQ(refusal("%\nN001F0001\nN002X+001000F0660\nN003M30\n"), "counted");
  EXPECT_EQ(refusal("%\nN001F4001\nN002X+001000\nN003M30\n"), "counted");
  EXPECT_EQ(refusal("%\nN001X+001000F0000\nN002X+001000\nN003M30\n"), "counted");
}

// Words that are no codes would otherwise run as the stop (F000, F0 of the
// typo F0O60) or at a feed of millions (F1660 for F0660).
TEST(TimeCounter, AMoveAtAWordThatIsNoCodeIsRefusedWithItsLine) {
  const auto refusal = [](const std::string& feed) {
    try {
      TimeOf("%\nN001X+001000F0660\nN002Y+001000F" + feed + "\nN003X+001000\nN004M30\n");
    } catch (const ProgramRefusal& error) {
      return std::string(error.what());
    }
    return std::string("counted");
  };
  const auto refused = [](const char* word) {
    return Sprintf("Строка 3: перемещение идёт со словом F%s, которое не является кодом подачи "
                   "H33 (четыре цифры, первая 0 или 4, вторая от 4 до 9, например F0660).",
                   word);
  };
  EXPECT_EQ(refusal("0"), refused("0"));
  EXPECT_EQ(refusal("000"), refused("000"));
  EXPECT_EQ(refusal("0O60"), refused("0"));
  EXPECT_EQ(refusal("1660"), refused("1660"));
  EXPECT_EQ(refusal("5660"), refused("5660"));
  EXPECT_EQ(refusal("0660"), "counted");
  EXPECT_EQ(refusal("0000"), "counted");
}

// Notepad's "Unicode": read as text it would be a program of no time at all.
TEST(TimeCounter, AFileInUnicodeIsRefused) {
  EXPECT_THROW(TimeOf(std::string("\xFF\xFEN\x00\x30\x00\r\x00\n\x00", 10)), ProgramRefusal);
  EXPECT_THROW(TimeOf("\xEF\xBB\xBFN001X+001000F0660\r\n"), ProgramRefusal);
}

TEST(TimeCounter, AFileThatCannotBeTimedSaysWhyInsteadOfZeroSeconds) {
  TempDir dir;
  const TimeCount missing = TimeCounter(dir / "missing.up", 5).CountTime();
  EXPECT_EQ(missing.status, TimeCountStatus::kCannotOpen);
  EXPECT_FALSE(missing.reason.empty());
  EXPECT_EQ(TimeCounter(dir.Path(), 5).CountTime().status, TimeCountStatus::kCannotOpen);

  dir.Write("stop.up", "N001X+001000F06\r\n");
  const TimeCount refused = TimeCounter(dir / "stop.up", 5).CountTime();
  EXPECT_EQ(refused.status, TimeCountStatus::kFailed);
  EXPECT_NE(refused.reason.find("Строка 1"), std::string::npos) << refused.reason;

  dir.Write("p.up", std::string("N001F0000\r\n") + "N002X+010000F0660\r\nN003F0000\r\n");
  const TimeCount counted = TimeCounter(dir / "p.up", 5).CountTime();
  EXPECT_EQ(counted.status, TimeCountStatus::kCounted);
  EXPECT_EQ(counted.seconds, 12.0f);
}

}  // namespace
}  // namespace h33
