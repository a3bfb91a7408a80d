#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "format/textformat.h"
#include "methods/uptoup.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

constexpr MachineLimits kMachine{50, 1200, 5};

struct Corrected {
  CorrectionStatus result = CorrectionStatus::kCorrected;
  std::string output;  // line ends shown as LF
  std::vector<std::string> shown;
  std::string report;
};

std::string WithoutCarriageReturns(const std::string& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text.push_back(bytes[i]);
  }
  return text;
}

Corrected Correct(std::string_view program, const MachineLimits& machine = kMachine) {
  ScriptedDialogs dialogs;
  MemorySource source(program);
  MemorySink sink;
  UpToUpCorrection correction("p.up", "q.up", machine, dialogs);
  Corrected corrected;
  corrected.result = correction.Run(source, sink);
  corrected.output = WithoutCarriageReturns(sink.Bytes());
  corrected.shown = dialogs.shown;
  corrected.report = correction.BrakingReport();
  return corrected;
}

std::string Output(std::string_view program, const MachineLimits& machine = kMachine) {
  const Corrected corrected = Correct(program, machine);
  EXPECT_EQ(corrected.result, CorrectionStatus::kCorrected)
      << (corrected.shown.empty() ? "" : corrected.shown.back());
  return corrected.output;
}

// --- braking towards a slower frame --------------------------------------

TEST(UpToUpBraking, LowersOnlyTheFramesThatCannotBrakeInTime) {
  // 10 mm before 240 mm/min: 646 is not below 600, the frame keeps its feed.
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002X+001000F0624\n"),
            "%\nN001X+001000F0660\nN002X+001000F0624\nN003F0000\n");
  // 1 mm before it: 305, written F0630; 10 mm before that: 673, kept.
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002X+000100\nN003X+001000F0624\n"),
            "%\nN001X+001000F0660\nN002X+000100F0630\nN003X+001000F0624\nN004F0000\n");
}

TEST(UpToUpBraking, ZeroLengthFrameBeforeAStopRunsAtTheFloorFeed) {
  EXPECT_EQ(Output("%\nN001X+001000F0610\nN002X+000000\n"),
            "%\nN001X+001000F0610\nN002X+000000F0450\nN003F0000\n");
}

TEST(UpToUpBraking, ShortArcBeforeAStopFailsAndNamesTheArc) {
  const Corrected corrected =
      Correct("%\nN001X+001000F0660\nN002G02X+000500Y-000500I+000000J-000500\nN003M05\n");
  EXPECT_EQ(corrected.result, CorrectionStatus::kBrakingFailed);
  ASSERT_EQ(corrected.shown.size(), 1u);
  EXPECT_EQ(corrected.shown[0],
            "warning [Yes]: В кадре c круговой интерполяцией "
            "N002G02X+000500Y-000500I+000000J-000500F0660\n \t\t\tнедопустимое торможение до 0. "
            "Скорректируйте исходную программу.");
  EXPECT_EQ(corrected.report,
            "\nВ кадре c круговой интерполяцией N002G02X+000500Y-000500I+000000J-000500F0660\n"
            "\t\t\tнедопустимое торможение до 0. Скорректируйте исходную программу.\n\t\t\t\n");
}

TEST(UpToUpBraking, LoweringTheFirstLineFailsUnlessATapeMarkStandsBeforeIt) {
  const MachineLimits machine{50, 900, 5};
  const Corrected corrected = Correct("N001X+001000F0712\nN002X+001000F0624\n", machine);
  EXPECT_EQ(corrected.result, CorrectionStatus::kBrakingFailed);
  ASSERT_EQ(corrected.shown.size(), 1u);
  EXPECT_EQ(corrected.shown[0],
            "warning [Yes]: Слишком маленькая подача в кадре:\n N001X+001000F0664\n "
            "N002X+001000F0624\n \n                        \n"
            "Станок не успевает затормозиться в предыдущих 18-и кадрах.\n"
            "                      Скорректируйте исходную программу.");
  EXPECT_EQ(corrected.report,
            "\nСлишком маленькая подача в кадре:\nN001X+001000F0664\nN002X+001000F0624\n\n"
            "\nСтанок не успевает затормозиться в предыдущих 18-и кадрах.\n"
            "Скорректируйте исходную программу.\n\n");

  EXPECT_EQ(Output("%\nN001X+001000F0712\nN002X+001000F0624\n", machine),
            "%\nN001X+001000F0664\nN002X+001000F0624\nN003F0000\n");
}

// --- junctions --------------------------------------------------------------

TEST(UpToUpJunction, RightAngleInsertsTheJunctionFeedAndRestatesAfterIt) {
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002Y+001000\n"),
            "%\nN001X+001000F0660\nN002F0610\nN003Y+001000F0660\nN004F0000\n");
  // 5 mm before the corner cannot brake from 600 to 100: 435.
  EXPECT_EQ(Output("%\nN001X+000500F0660\nN002Y+001000\n"),
            "%\nN001X+000500F0643\nN002F0610\nN003Y+001000F0660\nN004F0000\n");
}

TEST(UpToUpJunction, StraightOnOrSlowNextFrameNeedsNoJunctionFrame) {
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002X+002000\nN003X+001000Y+000000\n"),
            "%\nN001X+001000F0660\nN002X+002000\nN003X+001000Y+000000\nN004F0000\n");
  // Rounding would put this pair's cosine just past 1.
  EXPECT_EQ(Output("%\nN001X+000500Y+000312F0660\nN002X+001500Y+000936\n"),
            "%\nN001X+000500Y+000312F0660\nN002X+001500Y+000936\nN003F0000\n");
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002Y+001000F0550\n"),
            "%\nN001X+001000F0660\nN002Y+001000F0550\nN003F0000\n");
}

TEST(UpToUpJunction, FullReversalSlowsToTheSpeedLimit) {
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002X-001000\n"),
            "%\nN001X+001000F0660\nN002F0550\nN003X-001000F0660\nN004F0000\n");
}

TEST(UpToUpJunction, ShortArcTakesTheJunctionFeedItself) {
  // The arc ends heading along +X (radius on an axis); the next frame goes +Y.
  EXPECT_EQ(Output("%\nN001G03X+000500Y-000500I-000500J+000000F0660\nN002G01Y+001000\n"),
            "%\nN001G03X+000500Y-000500I-000500J+000000F0610\nN002G01Y+001000F0660\n"
            "N003F0000\n");
}

// --- stops ---------------------------------------------------------------------

TEST(UpToUpStop, StopFrameBeforeAFrameWithoutMotionAndAtTheEnd) {
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002M05\nN003X+001000\n"),
            "%\nN001X+001000F0660\nN002F0000\nN003M05\nN004X+001000F0660\nN005F0000\n");
}

TEST(UpToUpStop, FeedWordLeavesAFrameWithMAndGoesOnToTheNextMotion) {
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN020M05F0624\n"),
            "%\nN001X+001000F0660\nN002F0000\nN003M05\n");
  // The machine would run the next frame at 240: it must not get 600 back.
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002M03F0624\nN003X+001000\n"),
            "%\nN001X+001000F0660\nN002F0000\nN003M03\nN004X+001000F0624\nN005F0000\n");
}

// --- feed words ------------------------------------------------------------------

TEST(UpToUpFeed, CarriedFeedIsNeverZeroAndEndsAtAMotionFrameWithItsOwnFeed) {
  // The stop frame of an earlier run is dropped and its 0 goes nowhere.
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002F0000\nN003X+001000\n"),
            "%\nN001X+001000F0660\nN002X+001000\nN003F0000\n");
  // Nor does it wipe out the feed carried before it.
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002M03F0624\nN003F0000\nN004X+001000\n"),
            "%\nN001X+001000F0660\nN002F0000\nN003M03\nN004X+001000F0624\nN005F0000\n");
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002M03F0624\nN003X+001000F0650\nN004X+001000\n"),
            "%\nN001X+001000F0660\nN002F0000\nN003M03\nN004X+001000F0650\nN005X+001000\n"
            "N006F0000\n");
}

// A code that decodes below 1 mm/min would come out as F0000 on a move,
// also from a feed-only frame whose code goes on to the next move.
TEST(UpToUpFeed, CodesBelowOneAreRefusedWithTheirLine) {
  const Corrected carried = Correct("%\nN001X+001000F0660\nN002F0001\nN003X+001000\n");
  EXPECT_EQ(carried.result, CorrectionStatus::kInputUnreadable);
  EXPECT_EQ(carried.shown, std::vector<std::string>{
                               "captioned <Ошибка в программе UpToUp>: Строка 3: код подачи F0001 "
                               "задаёт подачу меньше 1 мм/мин.\nОбработка прервана."});
  EXPECT_EQ(Correct("%\nN001X+001000F 4350 \n").shown.back(),
            "captioned <Ошибка в программе UpToUp>: Строка 2: код подачи F4350 задаёт подачу "
            "меньше 1 мм/мин.\nОбработка прервана.");
}

// F000 and the typo F0O60 (read as F0) would come out as F0000 on the move,
// F1660 for F0660 as the machine's highest feed.
TEST(UpToUpFeed, WordsThatAreNoCodesAreRefusedWithTheirLine) {
  const auto shown = [](const std::string& feed) {
    const Corrected corrected = Correct("%\nN001X+001000F0660\nN002Y+001000F" + feed + "\n");
    EXPECT_EQ(corrected.result, CorrectionStatus::kInputUnreadable) << feed;
    EXPECT_EQ(corrected.output, "") << feed;
    return corrected.shown.empty() ? std::string() : corrected.shown.back();
  };
  const auto refusal = [](const char* word) {
    return Sprintf(
        "captioned <Ошибка в программе UpToUp>: Строка 3: слово F%s не является кодом подачи H33 "
        "(четыре цифры, первая 0 или 4, вторая от 4 до 9, например F0660).\nОбработка прервана.",
        word);
  };
  for (const char* feed : {"0", "00", "000", "1660", "3999", "4000", "5660"}) {
    EXPECT_EQ(shown(feed), refusal(feed));
  }
  EXPECT_EQ(shown("0O60"), refusal("0"));
}

// The correction writes every code with the lead digit 0: F4712 would lose
// the controller's 240 mm/min frame after it, and the moves after it would
// run at 1200 instead of 240.
TEST(UpToUpFeed, CodesAbove4000AreRefusedWithTheirLine) {
  const Corrected leadFour =
      Correct("%\nN001X+001000F0660\nN002Y+001000F4712\nN003X+001000\nN004M30\n");
  EXPECT_EQ(leadFour.result, CorrectionStatus::kInputUnreadable);
  EXPECT_EQ(leadFour.output, "");
  EXPECT_EQ(leadFour.shown.back(),
            "captioned <Ошибка в программе UpToUp>: Строка 3: код подачи F4712 с первой цифрой 4: "
            "после этого кадра станок сам выполняет кадр N000F0624 (240 мм/мин), а коррекция "
            "пишет коды с первой цифрой 0. Запишите код с первой цифрой 0, а подачу 240 мм/мин "
            "(F0624) - в следующем кадре с перемещением.\nОбработка прервана.");
  EXPECT_EQ(Correct("%\nN001X+001000F 4660\n").result, CorrectionStatus::kInputUnreadable);
}

TEST(UpToUpFeed, FeedOnlyFramesAreDroppedAndTheJunctionComputedAgain) {
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002F0610\nN003Y+001000F0660\n"),
            "%\nN001X+001000F0660\nN002F0610\nN003Y+001000F0660\nN004F0000\n");
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002F0610\nN003F0000\n"),
            "%\nN001X+001000F0660\nN002F0000\n");
}

TEST(UpToUpFeed, FeedOnlyFramesGoWithTheirOtherWordsUnlessTheyHaveAnMLOrGWord) {
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002S1200T05F0630\nN003X+001000\n"),
            "%\nN001X+001000F0660\nN002X+001000F0630\nN003F0000\n");
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002G17F0630\nN003L001F0630\n"),
            "%\nN001X+001000F0660\nN002F0000\nN003G17\nN004L001\n");
  // "GG03" holds no G word (its first G has no value), yet it turns the arcs
  // after it round: the frame stays, as any frame with a G word does.
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002GG03F0630\nN003X+001000\n"),
            "%\nN001X+001000F0660\nN002F0000\nN003GG03\nN004X+001000F0630\nN005F0000\n");
}

TEST(UpToUpFeed, ShortFrameRunsAtTwiceTheSpeedLimitAndTheNextGetsItsFeedBack) {
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002X+000020\nN003X+001000\n"),
            "%\nN001X+001000F0660\nN002X+000020F0610\nN003X+001000F0660\nN004F0000\n");
  // At most 0.21 mm: exactly 0.21 mm is short, 0.22 mm is not.
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002X+000021\nN003X+001000\n"),
            "%\nN001X+001000F0660\nN002X+000021F0610\nN003X+001000F0660\nN004F0000\n");
  EXPECT_EQ(Output("%\nN001X+001000F0660\nN002X+000022\nN003X+001000\n"),
            "%\nN001X+001000F0660\nN002X+000022\nN003X+001000\nN004F0000\n");
}

TEST(UpToUpFeed, FeedsAboveTheMachineLimitAreCut) {
  EXPECT_EQ(Output("N001X+001000F0799\nN002X+001000F0799\nN003X+100000\n",
                   {50, 1200, 50}),
            "N001X+001000F0712\nN002X+001000F0712\nN003X+100000\nN004F0000\n");
  // Without an F word the first frame is left alone.
  EXPECT_EQ(Output("N001M03\nN002X+100000F0799\n", {50, 1200, 50}),
            "N001M03\nN002X+100000F0712\nN003F0000\n");
}

TEST(UpToUpFeed, ArcLimitIsWrittenAsACodeAndTheFeedRestoredAfterTheArc) {
  // Radius 10 mm: 60·sqrt(5·100) = 1341, written F0713, run at 1300.
  // The next frame goes on along the arc's end tangent.
  EXPECT_EQ(Output("%\nN001G03X+001000Y+001000I+000000J-001000F0714\nN002Y+001000\n",
                   {50, 1500, 50}),
            "%\nN001G03X+001000Y+001000I+000000J-001000F0713\nN002Y+001000F0714\nN003F0000\n");
}

TEST(UpToUpFeed, ShortArcMeetingALowerFeedRunsAtItWhole) {
  // A clockwise quarter from the left of its circle starts upwards, at a
  // right angle to the move before (a junction feed frame comes first), and
  // leaves along +X into the slower move.
  EXPECT_EQ(Output("%\nN001X+010000F0660\nN002G02X+000500Y+000500I-000500J+000000\n"
                   "N003X+010000F0624\n"),
            "%\nN001X+010000F0660\nN002F0610\nN003G02X+000500Y+000500I-000500J+000000F0624\n"
            "N004X+010000F0624\nN005F0000\n");
}

// --- the run -----------------------------------------------------------------------

TEST(UpToUpRun, EmptyProgramGivesAnEmptyOutputAndZeroSums) {
  const Corrected corrected = Correct("");
  EXPECT_EQ(corrected.result, CorrectionStatus::kCorrected);
  EXPECT_EQ(corrected.output, "");
  EXPECT_EQ(corrected.shown,
            std::vector<std::string>{"message: Контрольные суммы:\nSUMX =      0.00 mm\n"
                                     "SUMY =      0.00 mm\nSUMZ =      0.00 mm"});
}

TEST(UpToUpRun, ControlSumsAreTheNetIncrementsOfTheInput) {
  const Corrected corrected =
      Correct("%\nN001X+001234Y-000500F0660\nN002F0610\nN003Z-010000\nN004X+000001\n");
  EXPECT_EQ(corrected.shown.back(),
            "message: Контрольные суммы:\nSUMX =     12.35 mm\nSUMY =     -5.00 mm\n"
            "SUMZ =   -100.00 mm");
}

TEST(UpToUpRun, NumbersWrapFrom999To1AndMarksTakeNoNumber) {
  std::string program = "%\n";
  for (int i = 0; i < 1000; ++i) program += "N001M08\n";
  program += "$\n";
  const std::string output = Output(program);
  EXPECT_EQ(output.substr(0, 17), "%\nN001M08\nN002M08");
  EXPECT_NE(output.find("N998M08\nN999M08\nN001M08\n$\n"), std::string::npos);
}

TEST(UpToUpRun, FiveDigitNumbersKeepTheirLastTwoDigits) {
  EXPECT_EQ(Output("N00012M08\nN00013M09\n"), "N00112M08\nN00213M09\n");
}

TEST(UpToUpRun, LineEndsAndTheEndMark) {
  const Corrected crlf = Correct("%\r\nN001M08\r\nN002M09\r\n");
  EXPECT_EQ(crlf.output, "%\nN001M08\nN002M09\n");
  EXPECT_EQ(Output("N001M08\r\nN002M09"), "N001M08\nN002M09");
  // A last motion line without a line end gets one before the stop frame.
  EXPECT_EQ(Output("%\nN001X+001000F0660"), "%\nN001X+001000F0660\nN002F0000\n");
  EXPECT_EQ(Output("N001M08\nEND"), "N001M08\n");
  EXPECT_EQ(Output("N001M08\nEND\n"), "N001M08\nEND\n");
}

// A file saved with old Macintosh line ends is corrected as the same file
// with CR LF: its frames braked, its control sums those of its moves.
TEST(UpToUpRun, LoneCarriageReturnsEndLines) {
  const std::string crlf =
      "%\r\nN001G01X+001000F0660\r\nN002Y+001000\r\nN003X-001000\r\nN004M05\r\n";
  std::string cr = crlf;
  std::erase(cr, '\n');
  const Corrected fromCr = Correct(cr);
  const Corrected fromCrlf = Correct(crlf);
  EXPECT_EQ(fromCr.result, CorrectionStatus::kCorrected);
  EXPECT_EQ(fromCr.output, fromCrlf.output);
  EXPECT_EQ(fromCr.shown, fromCrlf.shown);
  EXPECT_EQ(fromCr.shown.back(),
            "message: Контрольные суммы:\nSUMX =      0.00 mm\nSUMY =     10.00 mm\n"
            "SUMZ =      0.00 mm");
  EXPECT_NE(fromCr.output.find("F0000"), std::string::npos);
  EXPECT_EQ(Output("N001M08\rN002\n"), "N001M08\nN002\n");
}

// Notepad's "Unicode": copied through as it was, it would be written back
// neither as UTF-16 nor as text.
TEST(UpToUpRun, AFileInUnicodeIsRefused) {
  const Corrected utf16 = Correct(std::string_view("\xFF\xFEN\x00\x30\x00\r\x00\n\x00", 10));
  EXPECT_EQ(utf16.result, CorrectionStatus::kInputUnreadable);
  EXPECT_EQ(utf16.output, "");
  ASSERT_FALSE(utf16.shown.empty());
  EXPECT_NE(utf16.shown.back().find("UTF-16"), std::string::npos) << utf16.shown.back();
  EXPECT_NE(utf16.shown.back().find("кодировке ANSI"), std::string::npos) << utf16.shown.back();
  EXPECT_EQ(Correct(std::string_view("N001M08\r\nN\x00\r\n", 12)).result,
            CorrectionStatus::kInputUnreadable);
}

TEST(UpToUpRun, CorrectingItsOwnOutputInsertsTheSameFramesAgain) {
  const std::string program =
      "%\nN001G17S500M03\nN002G01Z-000500F0630\nN003X+004000F0660\nN004Y+002000\n"
      "N005X-004000F0712\nN006Y-002000\nN007Z+000500\nN008M05\n$\n";
  const std::string once = Output(program);
  EXPECT_EQ(once,
            "%\nN001G17S500M03\nN002G01Z-000500F0630\nN003F0610\nN004X+004000F0660\n"
            "N005F0610\nN006Y+002000F0660\nN007F0610\nN008X-004000F0712\nN009F0610\n"
            "N010Y-002000F0685\nN011F0610\nN012Z+000500F0642\nN013F0000\nN014M05\n$\n");
  EXPECT_EQ(Output(once), once);
}

// --- lines longer than a read: refused, never cut into frames ---------------

TEST(UpToUpLongLines, ALineLongerThanTheLimitIsRefusedWithItsNumber) {
  const std::string tooLong = "N002X+001000" + std::string(186, 'c') + "\n";  // 199 characters
  for (const std::string& program :
       {"%\nN001X+001000F0660\n" + tooLong + "N003X+001000\n",
        "%\nN001X+001000F0660\n" + tooLong.substr(0, 198) + "\r\n"}) {
    const Corrected corrected = Correct(program);
    EXPECT_EQ(corrected.result, CorrectionStatus::kInputUnreadable);
    ASSERT_FALSE(corrected.shown.empty());
    EXPECT_EQ(corrected.shown.back(),
              "captioned <Ошибка в программе UpToUp>: Строка 3 длиннее 198 символов (с концом строки): "
              "кадр не читается целиком.\nОбработка прервана.");
  }
}

TEST(UpToUpLongLines, ALineOfExactlyTheLimitIsCorrectedWhole) {
  const std::string line = "N002M08" + std::string(190, 'c') + "\n";  // 198 characters
  EXPECT_EQ(Output("%\n" + line + "N003M09\n"), "%\nN001M08" + std::string(190, 'c') +
                                                   "\nN002M09\n");
  // A last line of 198 characters without a line end is whole too.
  EXPECT_EQ(Output("%\n" + line.substr(0, 197) + "c"), "%\nN001M08" + std::string(191, 'c'));
}
}  // namespace
}  // namespace h33
