#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "format/pathtext.h"
#include "format/refusal.h"
#include "methods/correctiondiff.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

struct Compared {
  CorrectionDiff diff;
  std::vector<std::string> changes;  // "kind in→out old→new"
};

std::string Feed(const std::optional<int>& feed) { return feed ? std::to_string(*feed) : "-"; }

Compared Compare(std::string_view input, std::string_view output) {
  MemorySource inputSource(input), outputSource(output);
  Compared compared;
  compared.diff = CompareCorrection(inputSource, outputSource, [&](const FrameChange& change) {
    compared.changes.push_back(std::to_string(static_cast<int>(change.kind)) + " " +
                               std::to_string(change.inputLine) + ">" +
                               std::to_string(change.outputLine) + " " +
                               Feed(change.oldFeed_mm_min) + ">" + Feed(change.newFeed_mm_min));
  });
  return compared;
}

// Kinds as numbers, in the order of FrameChangeKind.
constexpr int kChanged = 0, kRestated = 1, kJunction = 2, kStop = 3, kInserted = 4, kDropped = 5,
              kFeedWord = 6, kMoveWords = 7;

std::string Change(int kind, long in, long out, const char* oldFeed, const char* newFeed) {
  return std::to_string(kind) + " " + std::to_string(in) + ">" + std::to_string(out) + " " +
         oldFeed + ">" + newFeed;
}

TEST(CorrectionDiff, ListsWhatTheCorrectionDidAtCorners) {
  // As a correction writes it: renumbered, the first move braked, the
  // junction frame of an earlier run dropped and a new one inserted, the
  // feed restated after a junction, a stop before M05, whose feed word goes.
  const Compared compared = Compare(
      "%\nN001X+000100F0660\nN002F0610\nN003Y+010000F0660\nN004X+010000\nN005M05F0624\n",
      "%\nN001X+000100F0630\nN002F0620\nN003Y+010000F0660\nN004F0620\nN005X+010000F0660\n"
      "N006F0000\nN007M05\n");
  EXPECT_EQ(compared.diff.status, DiffStatus::kCorresponds);
  EXPECT_EQ(compared.diff.moves, 3);
  EXPECT_EQ(compared.changes,
            (std::vector<std::string>{Change(kChanged, 2, 2, "600", "300"),
                                      Change(kDropped, 3, 2, "100", "-"),
                                      Change(kJunction, 3, 3, "-", "200"),
                                      Change(kJunction, 4, 5, "-", "200"),
                                      Change(kRestated, 5, 6, "600", "600"),
                                      Change(kStop, 5, 7, "-", "0"),
                                      Change(kFeedWord, 6, 8, "240", "-")}));
  EXPECT_EQ(compared.diff.Count(FrameChangeKind::kJunctionInserted), 2);
}

TEST(CorrectionDiff, AMoveAfterADroppedFeedFrameRunsAtAnotherFeed) {
  // The input's move ran at the 100 mm/min its feed frame set.
  const Compared compared = Compare("N001X+000100F0660\nN002F0610\nN003Y+000100\n",
                                    "N001X+000100F0660\nN002Y+000100\n");
  EXPECT_EQ(compared.changes, (std::vector<std::string>{Change(kDropped, 2, 1, "100", "-"),
                                                       Change(kChanged, 3, 2, "100", "600")}));
}

TEST(CorrectionDiff, FramesKeptAsTheyWereAreNoChange) {
  // The same feed frames at the same places, other numbers, a feed word
  // written where the same feed was in force anyway.
  const Compared compared = Compare("N001X+000100F0660\nN002F0620\nN003Y+000100F0660\nN004M30\n",
                                    "N010X+000100F0660\nN011F0620\nN012Y+000100F0660\nN013M30\n");
  EXPECT_EQ(compared.diff.status, DiffStatus::kCorresponds);
  EXPECT_TRUE(compared.changes.empty());
}

TEST(CorrectionDiff, OtherFramesDroppedOrInsertedKeepTheMotionCorresponding) {
  const Compared compared =
      Compare("N001X+000100F0660\nN002M05\nN003Y+000100\nEND", "N001X+000100F0660\nN002M08\nN003Y+000100\n");
  EXPECT_EQ(compared.diff.status, DiffStatus::kCorresponds);
  EXPECT_EQ(compared.changes, (std::vector<std::string>{Change(kDropped, 2, 1, "-", "-"),
                                                       Change(kInserted, 2, 2, "-", "-"),
                                                       Change(kDropped, 4, 3, "-", "-")}));
}

TEST(CorrectionDiff, DifferentMotionIsNamedWhereItParts) {
  const Compared moved = Compare("N001X+000100F0660\nN002Y+000100\nN003X+000100\n",
                                 "N001X+000100F0660\nN002F0620\nN003Y+000200\nN004X+000100\n");
  EXPECT_EQ(moved.diff.status, DiffStatus::kDifferentMotion);
  EXPECT_EQ(moved.diff.moves, 1);
  EXPECT_EQ(moved.diff.mismatch.inputLine, 2);
  EXPECT_EQ(moved.diff.mismatch.inputText, "N002Y+000100");
  EXPECT_EQ(moved.diff.mismatch.outputLine, 3);

  // An arc the other way round is another move, though its end is the same.
  EXPECT_EQ(Compare("G02X+000100Y+000100I+000100F0660\n", "G03X+000100Y+000100I+000100F0660\n")
                .diff.status,
            DiffStatus::kDifferentMotion);

  const Compared shorter = Compare("N001X+000100F0660\nN002Y+000100\n", "N001X+000100F0660\nN002F0000\n");
  EXPECT_EQ(shorter.diff.status, DiffStatus::kDifferentMotion);
  EXPECT_EQ(shorter.diff.mismatch.inputLine, 2);
  EXPECT_EQ(shorter.diff.mismatch.outputLine, 0);
}

// No correction touches a move's words but N and F: an M function lost or
// gained on a move, a rapid for a feed move, are changes, whatever the
// numbering and the feeds.
TEST(CorrectionDiff, OtherWordsOfAMoveAreChanges) {
  const Compared compared = Compare(
      "N001G01X+000100F0660M08\nN002G01Y+000100\nN003G02X+000100Y+000100I+000100M03\n",
      "N010G01X+000100F0630\nN011G00Y+000100F0660\nN012G02X+000100Y+000100I+000100M03M05\n");
  EXPECT_EQ(compared.diff.status, DiffStatus::kCorresponds);
  EXPECT_EQ(compared.diff.moves, 3);
  EXPECT_EQ(compared.changes, (std::vector<std::string>{Change(kChanged, 1, 1, "600", "300"),
                                                       Change(kMoveWords, 1, 1, "600", "300"),
                                                       Change(kRestated, 2, 2, "600", "600"),
                                                       Change(kMoveWords, 2, 2, "600", "600"),
                                                       Change(kMoveWords, 3, 3, "600", "600")}));
}

TEST(CorrectionDiff, LongRunsOfFramesWithoutMotionAreMatched) {
  std::string comments;
  for (int i = 0; i < 5000; ++i) comments += "(comment " + std::to_string(i) + ")\n";
  const Compared compared = Compare("X+000100F0660\n" + comments + "Y+000100F0660\n",
                                    "X+000100F0660\n" + comments + "F0620\nY+000100F0660\n");
  EXPECT_EQ(compared.diff.status, DiffStatus::kCorresponds);
  EXPECT_EQ(compared.changes, (std::vector<std::string>{Change(kJunction, 5001, 5002, "-", "200")}));
}

// The frames between two moves are held to be matched: a run longer than
// any program has is refused with its line, not read into the memory.
TEST(CorrectionDiff, ARunOfFramesWithoutMotionTooLongToHoldIsRefused) {
  std::string program = "X+000100F0660\n";
  for (int i = 0; i < 100001; ++i) program += "M09\n";
  program += "Y+000100\n";
  try {
    Compare(program, program);
    FAIL() << "not refused";
  } catch (const ProgramRefusal& refusal) {
    EXPECT_STREQ(refusal.what(), "Строка 100002: более 100000 кадров без перемещения подряд - такой "
                                 "участок программы не сравнивается.");
  }
}

TEST(CorrectionDiff, UnreadableFilesAreSaidSo) {
  const CorrectionDiff missing =
      CompareCorrection(fs::path("no such input.up"), fs::path("no such output.up"),
                        [](const FrameChange&) {});
  EXPECT_EQ(missing.status, DiffStatus::kCannotOpen);
  EXPECT_NE(missing.reason.find("no such input.up"), std::string::npos);

  const std::string tooLong = std::string(300, 'X') + "\n";  // the source only views it
  MemorySource longLine(tooLong), fine("X+000100\n");
  EXPECT_THROW(CompareCorrection(longLine, fine, [](const FrameChange&) {}), ProgramRefusal);
}

// A PTP tape's feeds are mm/min: read as codes, its F4500 would run at 500
// (its F300 is refused as a code like any slip).
TEST(CorrectionDiff, PtpTapesAreRefusedByTheirName) {
  TempDir dir;
  const fs::path program = dir.Write("p.up", "N001X+001000F0660\r\n");
  const fs::path tape = dir.Write("p.PTP", "N001X+001000F4500\r\n");
  for (const auto& [input, output] : {std::pair{tape, program}, std::pair{program, tape}}) {
    const CorrectionDiff refused = CompareCorrection(input, output, [](const FrameChange&) {});
    EXPECT_EQ(refused.status, DiffStatus::kFailed);
    EXPECT_EQ(refused.reason, "Файл " + PathText(tape) +
                                  " - PTP-лента (подачи в мм/мин): сравниваются только программы H33 с "
                                  "кодами подач");
  }
}

// A code that is no feed has no feed to compare: the comparison refuses it
// as the correction does, saying in which of the two programs it stands,
// and never shows a feed of millions for F1660.
TEST(CorrectionDiff, CodesThatAreNoFeedAreRefusedWithTheirProgramAndLine) {
  const std::string good = "N001X+001000F0660\r\nN002F0000\r\n";
  MemorySource slip("N001X+001000F1660\r\nN002F0000\r\n"), output(good);
  EXPECT_THROW(CompareCorrection(slip, output, [](const FrameChange&) {}), ProgramRefusal);

  TempDir dir;
  const CorrectionDiff refused =
      CompareCorrection(dir.Write("in.up", good),
                        dir.Write("out.up", "N001X+001000F0660\r\nN002F000\r\n"),
                        [](const FrameChange&) {});
  EXPECT_EQ(refused.status, DiffStatus::kFailed);
  EXPECT_EQ(refused.reason, PathText(dir / "out.up") +
                                ": Строка 2: слово F000 не является кодом подачи H33 (четыре "
                                "цифры, первая 0 или 4, вторая от 4 до 9, например F0660).");
}

// A code above 4000 brings the controller's N000F0624 after its frame: a
// program that writes the code with the lead digit 0 has lost that frame,
// and the move after it runs at 1200 instead of 240.
TEST(CorrectionDiff, TheControllersFrameAfterACodeAbove4000IsCompared) {
  const Compared leadDigitLost = Compare("N001X+001000F4712\nN002Y+001000\nN003F0000\n",
                                         "N001X+001000F0712\nN002Y+001000\nN003F0000\n");
  EXPECT_EQ(leadDigitLost.diff.status, DiffStatus::kCorresponds);
  EXPECT_EQ(leadDigitLost.changes, (std::vector<std::string>{Change(kDropped, 1, 1, "240", "-"),
                                                             Change(kChanged, 2, 2, "240", "1200")}));
  // Written out, the frame is the same as the controller's.
  EXPECT_EQ(Compare("N001X+001000F4712\nN002Y+001000\nN003F0000\n",
                    "N001X+001000F0712\nN002F0624\nN003Y+001000\nN004F0000\n")
                .changes,
            std::vector<std::string>{});
}

// Every Up->up golden case that wrote its output: the input and the expected
// output correspond, and no move has words changed but N and F.
TEST(CorrectionDiff, EveryGoldenCorrectionCorrespondsToItsInput) {
  int pairs = 0;
  for (const auto& folder : fs::directory_iterator(H33_GOLDEN_DIR)) {
    const std::string name = folder.path().filename().string();
    if (!name.starts_with("correct-") || fs::exists(folder.path() / "exit")) continue;
    std::ifstream cmd(folder.path() / "cmd");
    std::vector<std::string> args;
    for (std::string arg; std::getline(cmd, arg);) args.push_back(arg);
    const auto command = std::find(args.begin(), args.end(), "correct");
    const auto output = std::find(args.begin(), args.end(), "-o");
    if (command + 1 >= output || output + 1 >= args.end() || output[1] == "-") continue;
    const fs::path input = folder.path() / command[1];
    const fs::path expected = folder.path() / "expected" / output[1];
    ASSERT_TRUE(fs::exists(input) && fs::exists(expected)) << name;
    ++pairs;
    const CorrectionDiff diff = CompareCorrection(input, expected, [](const FrameChange&) {});
    EXPECT_EQ(diff.status, DiffStatus::kCorresponds) << name << ": " << diff.mismatch.inputLine << " "
                                                     << diff.mismatch.outputLine;
    EXPECT_EQ(diff.Count(FrameChangeKind::kMoveWordsChanged), 0) << name;
  }
  EXPECT_GE(pairs, 8);
}

}  // namespace
}  // namespace h33
