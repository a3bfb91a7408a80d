#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/formatcheck.h"
#include "format/frame.h"
#include "format/lineio.h"
#include "format/refusal.h"
#include "tempdir.h"

namespace h33 {
namespace {

int Count(std::string_view program, FeedWordCheck feedWords = FeedWordCheck::kChecked) {
  MemorySource source(program);
  return CheckH33Format(source, feedWords);
}

std::vector<std::string> Listing(std::string_view program,
                                 FeedWordCheck feedWords = FeedWordCheck::kChecked) {
  MemorySource source(program);
  std::vector<std::string> lines;
  ForEachH33Violation(source, feedWords, [&lines](const FormatViolation& violation) {
    lines.push_back(DescribeViolation(violation));
  });
  return lines;
}

// The reason the check refuses the bytes as no program text, or "" when it
// takes them.
std::string NonTextRefusal(std::string_view bytes) {
  MemorySource source(bytes);
  try {
    ForEachH33Violation(source, FeedWordCheck::kChecked, [](const FormatViolation&) {},
                        NonText::kRefused);
    return "";
  } catch (const ProgramRefusal& refusal) {
    return refusal.what();
  }
}

// The same bytes the methods' reader refuses, with the same words: a file
// saved in Unicode has no word the check could find wrong.
TEST(CheckH33Format, NoTextIsRefusedAsTheMethodsRefuseIt) {
  using namespace std::string_literals;
  const std::string utf16 = "\xFF\xFE%\0\r\0\n\0N\0\x30\0\x30\0\x31\0X\0\r\0\n\0"s;
  EXPECT_EQ(Count(utf16), 0);
  const std::string bigEndian = "\xFE\xFF\0%\0\r\0\n"s;
  const std::string binary = "%\r\nN001X+001000\r\nN\0\x01\x02\r\nN003M30\r\n"s;
  for (const std::string& bytes : {utf16, bigEndian, "\xEF\xBB\xBF%\r\n"s, binary,
                                   "%\r\nN001\0"s}) {
    MemorySource source(bytes);
    std::string expected;
    try {
      std::string line;
      ProgramLineReader reader(source);
      while (reader.ReadLine(line)) {
      }
    } catch (const ProgramRefusal& refusal) {
      expected = refusal.what();
    }
    ASSERT_NE(expected, "");
    EXPECT_EQ(NonTextRefusal(bytes), expected);
  }
  EXPECT_NE(NonTextRefusal(binary).find("Строка 3 "), std::string::npos);
  // Plain text passes, a byte-order mark only counts at the very start.
  EXPECT_EQ(NonTextRefusal("%\r\nN001X+001000\r\n$\r\n"), "");
  EXPECT_EQ(NonTextRefusal("%\r\nN001\xEF\xBB\xBF\r\n"), "");
}

TEST(CheckH33Format, ConvertedProgramPasses) {
  const char* program =
      "%\r\nN001G17S500M03\r\nN002G01Z-000500F0630\r\nN003X+004000F0660\r\n"
      "N004G03X+000500Y+000500I+000000J-000500\r\nN005G01G40X+000100F0660L001\r\n"
      "N006M06T2\r\nN007M30\r\n$\r\n";
  EXPECT_EQ(Count(program), 0);
  EXPECT_EQ(Count(""), 0);
}

TEST(CheckH33Format, ValueLengthsCountOnceEach) {
  EXPECT_EQ(Count("N001X+00123\n"), 1);           // six characters
  EXPECT_EQ(Count("N001X+001230 Y+000100\n"), 1);  // the blank belongs to X's value
  EXPECT_EQ(Count("N001I+1J+2K+3Y+4Z+5\n"), 5);
  EXPECT_EQ(Count("N001L01\n"), 1);
  EXPECT_EQ(Count("N001G1G17\n"), 0);
  EXPECT_EQ(Count("N001G123\n"), 1);
  EXPECT_EQ(Count("N001D01H02\n"), 2);
  EXPECT_EQ(Count("N001X+000100D\n"), 0);  // a bare letter is no word
  EXPECT_EQ(Count("N12345X+000100\n"), 0);  // the frame number is not examined
}

TEST(CheckH33Format, SkipFeedCheckLeavesOnlyTheFeedWordUnchecked) {
  EXPECT_EQ(Count("N001F660L1\n"), 2);
  EXPECT_EQ(Count("N001F660L1\n", FeedWordCheck::kSkipped), 1);
}

TEST(CheckH33Format, EachAddressAndCharacterKindCountsOncePerLine) {
  // Only the first X and the first G are examined.
  EXPECT_EQ(Count("N001X+000100X+1X+22\n"), 0);
  EXPECT_EQ(Count("N001G01X+000100G123\n"), 0);
  EXPECT_EQ(Count("N001X+1X+000100\n"), 1);
  EXPECT_EQ(Count("N001(A.B.C);(X)\n"), 4);  // ( ) . ; and a bare X
  EXPECT_EQ(Count("N001\"'\"'\n"), 2);
  EXPECT_EQ(Count("N001;\nN002;;\n"), 2);
}

TEST(CheckH33Format, DecimalPointsFailEveryLineTheyAppearIn) {
  const auto listing = Listing("N1G01X10.5Y2.25F300\nN2Y.5\nN3M05\nN4Z-1.\n");
  int points = 0;
  for (const auto& line : listing) points += line.find("символ .") != std::string::npos;
  EXPECT_EQ(points, 3);
  EXPECT_EQ(listing.front(), "строка 1: слово X со значением из 4 символов (нужно 7)");
  EXPECT_EQ(listing.back(), "строка 4: недопустимый символ .");
}

TEST(CheckH33Format, UnterminatedLastLineIsNotExamined) {
  EXPECT_EQ(Count("N001X+1\nN002X+1"), 1);
  EXPECT_EQ(Count("N001X+1"), 0);
  EXPECT_EQ(Count("N001X+1\r\n"), 1);
  // A last piece that fills the read exactly is examined; the rest after it is not.
  const std::string full = "N001X+1" + std::string(120, 'A');
  EXPECT_EQ(Count(full), 1);
  EXPECT_EQ(Count(full + "X"), 1);
  EXPECT_EQ(Count(full + ".\n"), 2);
}

TEST(CheckH33Format, LongLinesAreReadInPiecesThatShareTheLineNumber) {
  // 1000 points and a line feed: eight pieces of at most 127 characters.
  const auto listing = Listing(std::string(1000, '.') + "\nN2;\n");
  ASSERT_EQ(listing.size(), 9u);
  EXPECT_EQ(listing[7], "строка 1: недопустимый символ .");
  EXPECT_EQ(listing[8], "строка 2: недопустимый символ ;");
  EXPECT_EQ(Count(std::string(1000, '.') + "\n"), 8);
}

// A method's pass feeds the check its own pieces, of other lengths: the
// check cuts them anew and finds what it finds in the file.
TEST(CheckH33Format, FedAMethodsPiecesItFindsWhatItFindsInTheFile) {
  const std::string full = "N001X+1" + std::string(120, 'A');
  const std::vector<std::string> programs = {
      std::string(1000, '.') + "\nN2;\n", "N001X+1\nN002X+1", full, full + "X", full + ".\n",
      "N1" + std::string(195, 'A') + "D1\n" + std::string(250, ';') + "H2\nN3X+1",
      "N1X+1.0\nN2F(1)\nN3D1H2\"\nN4G123\n"};
  for (const std::string& program : programs) {
    std::vector<std::string> fed;
    FormatCheck check(FeedWordCheck::kChecked, [&fed](const FormatViolation& violation) {
      fed.push_back(DescribeViolation(violation));
    });
    // Lines in pieces of at most 198 characters, as the methods read and
    // parse them, and bytes one by one.
    MemorySource source(program);
    LineReader reader(source);
    for (std::string piece; reader.ReadLine(piece, kProgramLineLimit);) check.Take(Frame(piece));
    EXPECT_EQ(fed, Listing(program)) << program;
    fed.clear();
    FormatCheck byCharacter(FeedWordCheck::kChecked, [&fed](const FormatViolation& violation) {
      fed.push_back(DescribeViolation(violation));
    });
    for (const char c : program) byCharacter.Take(std::string_view(&c, 1));
    EXPECT_EQ(fed, Listing(program)) << program;
  }
}

TEST(CheckH33Format, GarbageBytesAreCountedWithoutHarm) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
  EXPECT_GT(Count(garbage), 0);
  EXPECT_EQ(Count(std::string("N001\x1a\0\r\xff\n", 9)), 0);
}

class FailingSource : public ByteSource {
 public:
  std::size_t Read(char*, std::size_t) override { throw IoError("read failed"); }
};

TEST(CheckH33Format, FilesAndFailures) {
  TempDir dir;
  EXPECT_EQ(CheckH33Format(dir.Write("p.up", "N001X+1\n")), 1);
  EXPECT_EQ(CheckH33Format(dir / "missing.up"), std::nullopt);
  EXPECT_EQ(CheckH33Format(dir.Path()), std::nullopt);
  FailingSource failing;
  EXPECT_THROW(CheckH33Format(failing), IoError);
}

TEST(CheckH33Format, UserTexts) {
  EXPECT_EQ(CannotOpenForReadingText("c:\\p.up"),
            "Невозможно открыть файл:\n c:\\p.up \n на 'чтение' \n");
  EXPECT_EQ(FormatVerdictText("p.up", true), "Файл УП ->\n p.up \n\n имеет формат УЧПУ H33 (Velta)");
  EXPECT_EQ(FormatVerdictText("p.up", false),
            "Файл УП ->\n p.up \n\n НЕ имеет формат УЧПУ H33 (Velta)");
  EXPECT_EQ(Listing("G123D1\n"),
            (std::vector<std::string>{
                "строка 1: слово G со значением из 3 символов (допустимо не более 2)",
                "строка 1: недопустимое слово D"}));
}

}  // namespace
}  // namespace h33
