#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "format/bytesource.h"
#include "format/refusal.h"
#include "format/textformat.h"
#include "methods/brakingcheck.h"
#include "methods/brakingreport.h"
#include "tempdir.h"

namespace h33 {
namespace {

// A slow machine: 50 mm/min at a reversal, 1200 at most, 5 mm/s².
constexpr MachineLimits kMachine{50, 1200, 5};

// "line kind feed/allowed" for each finding, and "<next" where a frame must brake.
std::vector<std::string> Findings(const std::string& program,
                                  const MachineLimits& machine = kMachine) {
  MemorySource source(program);
  std::vector<std::string> shown;
  for (const BrakingFinding& finding : BrakingCheck(machine).Check(source)) {
    const std::string kind(FaultName(finding.kind));
    std::string text = Sprintf("%ld %s %d/%d", finding.line, kind.c_str(), finding.feed_mm_min,
                               finding.allowed_mm_min);
    if (finding.kind == BrakingFault::kCannotBrake) text += Sprintf(" <%d", finding.next_mm_min);
    shown.push_back(text);
  }
  return shown;
}

using Shown = std::vector<std::string>;

// 1 mm before 240 mm/min at 5 mm/s²: the correction computes 305 and writes
// F0630; 240 may have been any feed up to 249 before coding, from which 313
// still brakes in time, so the code of 310 passes too, one of 320 does not.
TEST(BrakingCheck, JudgesBrakingByTheCodesAFeedMayHaveBeenWrittenAs) {
  const auto program = [](const char* code) {
    return Sprintf("%%\nN001G01X+000100F%s\nN002X+001000F0624\nN003F0000\n", code);
  };
  EXPECT_EQ(Findings(program("0630")), Shown{});
  EXPECT_EQ(Findings(program("0631")), Shown{});
  EXPECT_EQ(Findings(program("0632")), Shown{"2 braking 320/310 <240"});
  EXPECT_EQ(Findings(program("0660")), Shown{"2 braking 600/310 <240"});
}

// The frames without motion between two moves stand at the end of the first:
// it must brake to the lowest feed among them, and to a stop at the end.
TEST(BrakingCheck, BrakesToTheLowestFeedBeforeTheNextMoveAndToAStopAtTheEnd) {
  EXPECT_EQ(Findings("N001X+000100F0660\nN002F0624\nN003M08\nN004X+001000F0660\nN005F0000\n"),
            Shown{"1 braking 600/310 <240"});
  EXPECT_EQ(Findings("N001X+000100F0660\nN002F0000\nN003M05\nN004M30\n"),
            Shown{"1 braking 600/180 <0"});  // 60·sqrt(2·5·1) = 189
  EXPECT_EQ(Findings("N001X+001000F0660\nN002F0000\n"), Shown{});  // 60·sqrt(2·5·10) = 600
}

TEST(BrakingCheck, FindsCornersTakenAboveTheJunctionFeed) {
  // A right angle allows 2·50 mm/min.
  EXPECT_EQ(Findings("N001G01X+001000F0660\nN002Y+001000\nN003F0000\n"),
            Shown{"2 corner 600/100"});
  // The correction's feed frame slows the corner; a stop between the moves does too.
  EXPECT_EQ(Findings("N001G01X+001000F0660\nN000F0610\nN002Y+001000F0660\nN003F0000\n"),
            Shown{});
  EXPECT_EQ(Findings("N001G01X+001000F0660\nN000F0000\nN002M08\nN003Y+001000F0660\nN004F0000\n"),
            Shown{});
  // Straight on, or slow enough anyway: no corner.
  EXPECT_EQ(Findings("N001G01X+001000F0610\nN002Y+001000\nN003X+001000\nN004F0000\n"),
            Shown{});
}

// An arc meets the frames around it along its true tangents: at its start
// perpendicular to the radius there, at its end to the radius at the end.
TEST(BrakingCheck, JudgesAnArcsCornersByItsTrueTangents) {
  // A line runs on into a clockwise quarter from the top of its circle, and
  // that arc on into a line down from the circle's right: no corner.
  EXPECT_EQ(Findings("N001G01X+002000F0660\nN002G02X+000500Y-000500I+000000J+000500\n"
                     "N003G01Y-001000\nN004F0000\n"),
            Shown{});
  // A clockwise quarter from the left of its circle starts upwards, at a
  // right angle to the line before; it ends along the line after.
  EXPECT_EQ(Findings("N001G01X+002000F0660\nN002G02X+001000Y+001000I-001000J+000000\n"
                     "N003G01X+002000\nN004F0000\n"),
            Shown{"2 corner 600/100"});
  // A clockwise half circle from the right over the bottom ends upwards,
  // though its chord runs to the left.
  EXPECT_EQ(Findings("N001G01Y-001000F0660\nN002G02X-002000Y+000000I+001000J+000000\n"
                     "N003G01X-002000\nN004F0000\n"),
            Shown{"3 corner 600/100"});
}

// The conversion rounds a corner's cosine to three decimals: 0.37457 here,
// a junction feed of 159.9 mm/min exactly (coded 150) and of 160 rounded.
TEST(BrakingCheck, HoldsACornerToTheHigherOfTheExactAndTheRoundedJunctionFeed) {
  const auto program = [](const char* code) {
    return Sprintf("N001G01X+000395Y+000657F0650\nN002F%s\nN003X+001046Y-000166F0650\n"
                   "N004F0000\n",
                   code);
  };
  EXPECT_EQ(Findings(program("0616")), Shown{});
  EXPECT_EQ(Findings(program("0617")), Shown{"3 corner 170/160"});
}

TEST(BrakingCheck, HoldsArcsToTheirCircleLimitAndShortArcsToTheNextFeed) {
  // A quarter circle of 1 mm radius, left into a straight on its tangent:
  // 60·sqrt(5·1²) = 134 mm/min, coded 130.
  EXPECT_EQ(Findings("N001G03X-000100Y+000100I+000100J+000000F0660\nN002G01X-001000\nN003F0000\n"),
            Shown{"1 arc 600/130"});
  // Of 50 mm radius: its 70 mm chord cannot brake within itself.
  EXPECT_EQ(Findings("N001G03X-005000Y+005000I+005000J+000000F0660\nN002G01X-001000F0624\n"
                     "N003F0000\n"),
            Shown{"1 braking 600/240 <240"});
}

// A move of at most 0.21 mm runs at no more than twice the speed limit,
// as the correction writes it.
TEST(BrakingCheck, HoldsShortMovesToTwiceTheSpeedLimit) {
  const auto program = [](const char* move, const char* code) {
    return Sprintf("%%\nN001G01X+001000F%s\nN002%s\nN003X+001000\nN004F0000\n", code, move);
  };
  EXPECT_EQ(Findings(program("X+000021", "0620")), Shown{"3 short 200/100"});
  EXPECT_EQ(Findings(program("X+000021", "0610")), Shown{});
  EXPECT_EQ(Findings(program("X+000022", "0620")), Shown{});
}

TEST(BrakingCheck, FindsMovesTheMachineCannotRunAtTheirFeed) {
  EXPECT_EQ(Findings("N001X+001000\nN002X+001000F0000\nN003X+001000F0799\n"),
            (Shown{"1 no-feed 0/0", "2 zero-feed 0/0", "3 above-feed-max 9900/1200",
                   "3 no-stop 9900/0"}));
}

TEST(BrakingCheck, RefusesWhatTheMethodsRefuse) {
  const std::string tooLong = std::string(250, 'X') + "\n";  // the source only views it
  MemorySource longLine(tooLong);
  EXPECT_THROW(BrakingCheck(kMachine).Check(longLine), ProgramRefusal);
  TempDir dir;
  const BrakingCheckResult refused =
      BrakingCheck(kMachine).Check(dir.Write("a.up", "N001X+001000F0660\r\nN002X+001000F0300\r\n"));
  EXPECT_EQ(refused.status, BrakingCheckStatus::kFailed);
  EXPECT_EQ(refused.reason, "Строка 2: код подачи F0300 задаёт подачу меньше 1 мм/мин.");
  EXPECT_EQ(BrakingCheck(kMachine).Check(dir / "none.up").status, BrakingCheckStatus::kCannotOpen);
}

// F1660 for F0660 would be judged at 2147483647 mm/min, F000 as a stop.
TEST(BrakingCheck, RefusesWordsThatAreNoFeedCodes) {
  const auto reason = [](const std::string& feed) {
    TempDir dir;
    return BrakingCheck(kMachine)
        .Check(dir.Write("a.up", "N001X+001000F0660\r\nN002X+001000F" + feed + "\r\n"))
        .reason;
  };
  EXPECT_EQ(reason("1660"),
            "Строка 2: слово F1660 не является кодом подачи H33 (четыре цифры, первая 0 или 4, "
            "вторая от 4 до 9, например F0660).");
  EXPECT_EQ(reason("0O60"),
            "Строка 2: слово F0 не является кодом подачи H33 (четыре цифры, первая 0 или 4, "
            "вторая от 4 до 9, например F0660).");
  EXPECT_EQ(reason("000"),
            "Строка 2: слово F000 не является кодом подачи H33 (четыре цифры, первая 0 или 4, "
            "вторая от 4 до 9, например F0660).");
  EXPECT_EQ(reason("0000"), "");
}

// After a code above 4000 the machine runs the controller's N000F0624: the
// same program with that frame written out gets the same findings.
TEST(BrakingCheck, TakesTheControllersFrameAfterACodeAbove4000IntoAccount) {
  const Shown leadFour = Findings("N001X+000100F4660\nN002X+001000\nN003F0000\n");
  EXPECT_EQ(leadFour, Shown{"1 braking 600/310 <240"});
  EXPECT_EQ(Findings("N001X+000100F0660\nN000F0624\nN002X+001000\nN003F0000\n"), leadFour);
  // The move after it runs at 240: its corner is taken at 240, not at 600.
  EXPECT_EQ(Findings("N001X+001000F4660\nN002Y+001000\nN003F0000\n"),
            Shown{"2 corner 240/100"});
  // A move that states its own feed after it starts from the 240.
  EXPECT_EQ(Findings("N001X+001000F4624\nN002X+001000F0660\nN003F0000\n"), Shown{});
}

// Nothing to brake is no verdict that the machine brakes everywhere.
TEST(BrakingCheck, AFileWithoutMovesIsNoPass) {
  EXPECT_EQ(Findings(""), Shown{"0 no-moves 0/0"});
  EXPECT_EQ(Findings("Это не программа\r\nа просто текст\r\n"), Shown{"0 no-moves 0/0"});
  EXPECT_EQ(Findings("%\r\nN001F0660M03\r\nN002M30\r\n$\r\n"), Shown{"0 no-moves 0/0"});
  EXPECT_EQ(Findings("N001X+001000F0660\r\nN002F0000\r\n"), Shown{});
}

// Old Macintosh line ends: the same frames, the same findings.
TEST(BrakingCheck, LoneCarriageReturnsEndLines) {
  const std::string crlf = "N001X+001000F0660\r\nN002Y+001000\r\nN003M05\r\n";
  std::string cr = crlf;
  std::erase(cr, '\n');
  EXPECT_EQ(Findings(cr), Findings(crlf));
  EXPECT_EQ(Findings(cr).size(), 2u);
}

// A bare F, or an F behind another: the correction refuses such a frame,
// and the check gives the same answer.
TEST(BrakingCheck, RefusesAFrameWhoseFeedNoReaderSees) {
  for (const char* program : {"N001G01X+001000F0660\nN002Y+001000F\nN003F0000\n",
                              "N001G01X+001000F0660F0690\nN002F0000\n"}) {
    MemorySource source(program);
    try {
      BrakingCheck(kMachine).Check(source);
      ADD_FAILURE() << program;
    } catch (const ProgramRefusal& refusal) {
      EXPECT_TRUE(std::string(refusal.what()).starts_with("Строка ")) << refusal.what();
    }
  }
}

TEST(BrakingCheck, RefusesAFileInUnicode) {
  MemorySource utf16(std::string_view("\xFF\xFEN\x00\x30\x00\r\x00\n\x00", 10));
  EXPECT_THROW(BrakingCheck(kMachine).Check(utf16), ProgramRefusal);
}

std::string Report(const std::vector<BrakingFinding>& findings, std::size_t listed) {
  std::ostringstream report;
  BrakingReportWriter writer(report, "p.up", {100, 1200, 50}, listed);
  for (const BrakingFinding& finding : findings) writer.Take(finding);
  writer.Finish();
  return report.str();
}

TEST(BrakingReport, NamesTheMachineAndListsWhatItWasAskedTo) {
  const std::vector<BrakingFinding> findings{
      {3, BrakingFault::kCornerTooFast, "N003Y+001000", 600, 200, 0},
      {6, BrakingFault::kNoStopAtEnd, "N006X+001000", 600, 0, 0}};
  const std::string head =
      "Проверка торможения: p.up\nСтанок: подача на полном развороте 100 мм/мин, наибольшая "
      "подача 1200 мм/мин, ускорение 50 мм/с²\n";
  EXPECT_EQ(Report({}, 1),
            head + "Нарушений нет: станок везде успевает затормозиться.\n");
  EXPECT_EQ(Report({{0, BrakingFault::kNoMoves, "", 0, 0, 0}}, 1),
            head +
                "Проверять нечего: нет перемещений (в файле нет ни одного кадра с X, Y или Z).\n");
  EXPECT_EQ(Report(findings, 1),
            head +
                "  строка 3 (N003Y+001000): угол в начале кадра проходится на 600 "
                "мм/мин, допустимо 200 мм/мин\n  ... и ещё 1\nНарушений: 2\n");
}

// The heading waits for the first finding: a check refused before it, or a
// file that cannot be opened, leaves nothing half written.
TEST(BrakingReport, WritesNothingBeforeTheFirstFinding) {
  std::ostringstream report;
  BrakingReportWriter writer(report, "p.up", {100, 1200, 50});
  EXPECT_EQ(report.str(), "");
  writer.Take({3, BrakingFault::kCornerTooFast, "N003Y+001000", 600, 200, 0});
  EXPECT_TRUE(report.str().starts_with("Проверка торможения: p.up\n"));
  EXPECT_EQ(writer.Count(), 1u);
}

}  // namespace
}  // namespace h33
