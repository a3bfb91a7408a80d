// The copy onto two tapes on its own, before the correction renumbers and
// re-brakes the parts.

#include "format/refusal.h"
#include "methods/tapecopy.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "format/bytesource.h"
#include "format/lineio.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "programgen.h"

namespace h33 {
namespace {

struct Tapes {
  std::string first;
  std::string second;
  bool cut;
  std::string lastFeed;
};

std::string WithoutCarriageReturns(const std::string& text) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
  }
  return lines;
}

Tapes CopyTapes(std::string_view program, long limit, std::string lastFeed = "") {
  MemorySource source(program);
  MemorySink first;
  MemorySink second;
  LineWriter firstWriter(first);
  LineWriter secondWriter(second);
  TapeCopy copy(firstWriter, secondWriter, limit, std::move(lastFeed));
  const bool cut = copy.Copy(source);
  firstWriter.Flush();
  secondWriter.Flush();
  return {WithoutCarriageReturns(first.Bytes()), WithoutCarriageReturns(second.Bytes()), cut,
          copy.LastFeedText()};
}

// What the lines count towards the limit: each as read, plus one.
long Count(std::string_view lines) {
  long count = 0;
  for (const char c : lines) count += c == '\n' ? 2 : 1;
  return count;
}

constexpr const char* kBeforeCut =
    "%\n"
    "N001S1000M03\n"
    "N002M08\n"
    "N003G01X+001000Y-000100Z-005000F0660L05\n"
    "N004X+000500Y-000100\n";
constexpr const char* kAfterCut = "N005X+000100\nN006M05\n";

TEST(TapeCopy, ClosesTheFirstTapeAndOpensTheSecondAtTheCut) {
  const std::string program = std::string(kBeforeCut) + kAfterCut;
  const Tapes tapes = CopyTapes(program, Count(kBeforeCut));
  EXPECT_TRUE(tapes.cut);
  EXPECT_EQ(tapes.first, std::string(kBeforeCut) +
                             "N000M05\n"
                             "N000M09\n"
                             "N000G01G40Z+005000F0630L05\n"
                             "N000G01X-001500Y+000200F0712\n"
                             "N000M30\n"
                             "$\n");
  EXPECT_EQ(tapes.second,
            "%\n"
            "N000S1000M03\n"
            "N000M03\n"
            "N000M08\n"
            "N000G01X+001500Y-000200F0712\n"
            "N000G01Z-005000F0630L05\n"
            "N005X+000100F0660\n"
            "N006M05\n");
  EXPECT_EQ(tapes.lastFeed, "0660");
}

TEST(TapeCopy, TheLineThatPassesTheLimitStartsTheSecondTape) {
  const std::string before = "%\nN001X+000100F0660\n";
  const std::string crossing = "N002X+000200\n";
  const std::string program = before + crossing + "N003X+000300\n";
  // Up to the limit a line stays on the first tape; one byte over, it moves.
  EXPECT_EQ(CopyTapes(program, Count(before + crossing)).second,
            "%\nN000G01X+000300Y+000000F0712\nN003X+000300F0660\n");
  EXPECT_EQ(CopyTapes(program, Count(before + crossing) - 1).second,
            "%\nN000G01X+000100Y+000000F0712\nN002X+000200F0660\nN003X+000300\n");
  // A carriage return before the line feed counts no more than the line feed alone.
  std::string crlf = program;
  for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2)) {
    crlf.insert(at, "\r");
  }
  EXPECT_EQ(CopyTapes(crlf, Count(before + crossing) - 1).first,
            CopyTapes(program, Count(before + crossing) - 1).first);
}

TEST(TapeCopy, ALastLineWithoutLineEndCountsLikeAnyOther) {
  const std::string before = "%\nN001X+000100F0660\n";
  const std::string program = before + "N002M05";
  EXPECT_FALSE(CopyTapes(program, Count(before) + 8).cut);
  const Tapes tapes = CopyTapes(program, Count(before) + 7);
  EXPECT_TRUE(tapes.cut);
  EXPECT_EQ(tapes.second, "%\nN000G01X+000100Y+000000F0712\nN002M05");
}

TEST(TapeCopy, WithoutACutTheFirstTapeHoldsTheWholeProgram) {
  const std::string program = "%\nN001S500M03\nN002X+000100F0660\n";
  const Tapes tapes = CopyTapes(program, Count(program));
  EXPECT_FALSE(tapes.cut);
  EXPECT_EQ(tapes.first, program);
}

TEST(TapeCopy, NoSwitchOnsGiveNoClosingOrRestatedFrames) {
  const std::string before = "%\nN001G01X+001000Y+001000F0660\n";
  const Tapes tapes = CopyTapes(before + "N002X+000100\n", Count(before));
  EXPECT_EQ(tapes.first, before + "N000G01X-001000Y-001000F0712\nN000M30\n$\n");
  EXPECT_EQ(tapes.second, "%\nN000G01X+001000Y+001000F0712\nN002X+000100F0660\n");
}

// Started on its own, the second tape must find the tool where the first
// left it: a move along X alone is undone and made again like any other.
TEST(TapeCopy, AMoveAlongOneAxisIsReturnedAndApproached) {
  const std::string before = "%\nN001G01X+004000F0660\nN002Z-000500\n";
  const Tapes alongX = CopyTapes(before + "N003Y+000100\n", Count(before));
  EXPECT_EQ(alongX.first, before + "N000G01Z+000500F0630\nN000G01X-004000Y+000000F0712\n"
                                   "N000M30\n$\n");
  EXPECT_EQ(alongX.second, "%\nN000G01X+004000Y+000000F0712\nN000G01Z-000500F0630\n"
                           "N003Y+000100F0660\n");
  const std::string backAtStart = "%\nN001G01X+004000F0660\nN002X-004000\n";
  const Tapes home = CopyTapes(backAtStart + "N003Y+000100\n", Count(backAtStart));
  EXPECT_EQ(home.first, backAtStart + "N000M30\n$\n");
}

TEST(TapeCopy, RestatesSpindleToolCoolantAndPlane) {
  const std::string before =
      "%\nN001S800\nN002T05M06\nN003M04\nN004G18\nN005M08\nN006G02X+000100Z+000100I+000100F0650\n";
  const Tapes tapes = CopyTapes(before + "N007X+000100Z-000100\n", Count(before));
  // A speed without an M word is restated alone.
  EXPECT_EQ(tapes.second,
            "%\nN000S800\nN000M06T05\nN000M04\nN000M08\n"
            "N000G01X+000100Y+000000F0712\nN000G01Z+000100F0630\nN000G18\nN000G02\n"
            "N007X+000100Z-000100F0650\n");
  EXPECT_EQ(tapes.first, before + "N000M05\nN000M09\nN000G01Z-000100F0630\n"
                                  "N000G01X-000100Y+000000F0712\nN000M30\n$\n");
}

TEST(TapeCopy, FirstMotionAfterTheCut) {
  const std::string before = "%\nN001G03X+000100Y+000100J+000100F0650\n";
  const std::string still = "N002M09\n";
  // Stating its own feed and mode, it is copied unchanged.
  const std::string complete = "N003G02X+000100Y+000100I+000100F0640\n";
  EXPECT_EQ(CopyTapes(before + still + complete, Count(before)).second,
            "%\nN000G01X+000100Y+000100F0712\nN002M09\n" + complete);
  // Otherwise it gets the mode ahead and the feed before its L word.
  EXPECT_EQ(CopyTapes(before + "N003X+000100Y+000100J+000100L07\n", Count(before)).second,
            "%\nN000G01X+000100Y+000100F0712\nN000G03\nN003X+000100Y+000100J+000100F0650L07\n");
}

TEST(TapeCopy, FeedMetBeforeAnEarlierCutStandsUntilAnotherIsMet) {
  const std::string before = "%\nN001X+000100\n";
  const Tapes carried = CopyTapes(before + "N002X+000100\n", Count(before), "0640");
  EXPECT_EQ(carried.second, "%\nN000G01X+000100Y+000000F0712\nN002X+000100F0640\n");
  EXPECT_EQ(carried.lastFeed, "0640");
  // With no feed met at all, none is invented.
  EXPECT_EQ(CopyTapes(before + "N002X+000100\n", Count(before)).second,
            "%\nN000G01X+000100Y+000000F0712\nN002X+000100\n");
  EXPECT_EQ(CopyTapes("%\nN001F0712\nN002X+000100\n", 14, "0640").lastFeed, "0712");
}

TEST(TapeCopy, ALineLongerThanTheLimitIsRefusedWithItsNumber) {
  const std::string longLine = "N001M05" + std::string(250, '+') + "\n";
  try {
    CopyTapes("%\n" + longLine, 3 + 199);
    ADD_FAILURE() << "not refused";
  } catch (const ProgramRefusal& refusal) {
    EXPECT_EQ(std::string(refusal.what()),
              "Строка 2 длиннее 198 символов (с концом строки): кадр не читается целиком.");
  }
}

// The parts are corrected, which refuses a code above 4000: refused here
// with the line of the program, not of a part.
TEST(TapeCopy, ACodeAbove4000IsRefusedWithItsLine) {
  try {
    CopyTapes("%\nN001G01X+001000F0660\nN002X+001000F4624\nN003M05\n", 1000);
    ADD_FAILURE() << "not refused";
  } catch (const ProgramRefusal& refusal) {
    EXPECT_TRUE(std::string(refusal.what()).starts_with("Строка 3: код подачи F4624 с первой цифрой 4"))
        << refusal.what();
  }
}

// A coordinate word reaches 9999.99 mm: a cut further from the start would
// need a return frame the controller cannot read. Garbage coordinates
// saturate on the way instead of overflowing, and are refused the same.
TEST(TapeCopy, ACutBeyondTheWordsReachIsRefused) {
  const auto cutAfter = [](const std::string& moves) {
    const std::string before = "%\n" + moves;
    return CopyTapes(before + "N009M05\n", Count(before));
  };
  const Tapes reach = cutAfter("N001X+999999\nN002Y-500000\nN003Y-499999\n");
  EXPECT_NE(reach.first.find("N000G01X-999999Y+999999F0712\n"), std::string::npos);
  for (const char* moves : {"N001X+999999\nN002X+000001\n", "N001Z-999999\nN002Z-000001\n",
                            "N001X+99999999999999999999Y-99999999999999999999\nN002X+1\n"}) {
    try {
      cutAfter(moves);
      ADD_FAILURE() << moves;
    } catch (const ProgramRefusal& refusal) {
      EXPECT_NE(std::string(refusal.what()).find("9999.99 мм"), std::string::npos) << refusal.what();
    }
  }
}

// Generated programs: whatever the limit, the two tapes hold the program's
// lines in order, the first tape only whole lines up to the limit, and the
// inserted moves cancel, so that the tapes' increments add up to the program's.
std::string GeneratedProgram(std::uint64_t bytes, unsigned seed) {
  std::string program =
      bench::GenerateProgramText(bench::ProgramFormat::kUp, bytes, seed, {.lWordPercent = 15});
  std::erase(program, '\r');
  return program;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t end = text.find('\n', from);
    lines.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return lines;
}

std::array<long, 3> Sums(const std::vector<std::string>& lines) {
  std::array<long, 3> sums{};
  for (const std::string& line : lines) {
    for (std::size_t axis = 0; axis < 3; ++axis)
      sums[axis] += ParseLong(ReadWord(line, "XYZ"[axis]));
  }
  return sums;
}

TEST(TapeCopyInvariants, LinesKeepTheirOrderAndIncrementsAddUp) {
  std::mt19937 random(20240611);
  for (unsigned run = 0; run < 200; ++run) {
    const std::string program =
        GeneratedProgram(std::uniform_int_distribution<std::uint64_t>(100, 2000)(random), run);
    const long limit = std::uniform_int_distribution<long>(0, Count(program) - 1)(random);
    const Tapes tapes = CopyTapes(program, limit);
    ASSERT_TRUE(tapes.cut);
    const std::vector<std::string> first = Lines(tapes.first);
    const std::vector<std::string> second = Lines(tapes.second);

    std::vector<std::string> copied;
    long firstBytes = 0;
    for (std::size_t i = 0; i + 1 < first.size(); ++i) {  // the last line is the tape end "$"
      if (first[i].rfind("N000", 0) == 0) continue;
      copied.push_back(first[i]);
      firstBytes += static_cast<long>(first[i].size()) + 2;
    }
    EXPECT_LE(firstBytes, limit);
    const std::size_t onFirst = copied.size();
    for (std::size_t i = 1; i < second.size(); ++i) {  // the first line is the tape start "%"
      if (second[i].rfind("N000", 0) != 0) copied.push_back(second[i]);
    }
    const std::vector<std::string> source = Lines(program);
    ASSERT_EQ(copied.size(), source.size());
    ASSERT_LT(onFirst, source.size());
    EXPECT_GT(firstBytes + static_cast<long>(source[onFirst].size()) + 2, limit);
    for (std::size_t i = 0; i < source.size(); ++i) {
      std::string expected = source[i];
      std::string got = copied[i];
      StripFeedWords(expected);
      StripFeedWords(got);
      EXPECT_EQ(got, expected) << program;
    }
    const std::array<long, 3> parts = Sums(first), rest = Sums(second), whole = Sums(source);
    for (std::size_t axis = 0; axis < 3; ++axis) {
      EXPECT_EQ(parts[axis] + rest[axis], whole[axis]) << program;
    }
  }
}

}  // namespace
}  // namespace h33
