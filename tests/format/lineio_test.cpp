#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/lineio.h"
#include "format/refusal.h"

namespace h33 {
namespace {

struct Read {
  std::vector<std::string> lines;
  std::vector<bool> eofAfter;
};

Read ReadAll(std::string_view bytes, std::size_t limit) {
  MemorySource source(bytes);
  LineReader reader(source);
  Read result;
  std::string line;
  while (reader.ReadLine(line, limit)) {
    result.lines.push_back(line);
    result.eofAfter.push_back(reader.AtEof());
  }
  return result;
}

// Hands out its bytes a few at a time, so lines straddle buffer refills.
class TrickleSource : public ByteSource {
 public:
  explicit TrickleSource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, std::size_t{3}, bytes_.size() - at_});
    bytes_.copy(buffer, count, at_);
    at_ += count;
    return count;
  }

 private:
  std::string bytes_;
  std::size_t at_ = 0;
};

TEST(LineReader, CarriageReturnLineFeedIsOneLineEnd) {
  const Read read = ReadAll("N001\r\nN002\nN003\r\n", kProgramLineLimit);
  EXPECT_EQ(read.lines, (std::vector<std::string>{"N001\n", "N002\n", "N003\n"}));
}

TEST(LineReader, ControlBytesAreCharacters) {
  const Read read = ReadAll(std::string("AB\n\x1a\0C\n", 7), kProgramLineLimit);
  EXPECT_EQ(read.lines, (std::vector<std::string>{"AB\n", std::string("\x1a\0C\n", 4)}));
}

// A file saved with old Macintosh line ends reads as the same lines as with
// CR LF: every pass takes one frame a line, none a single long line.
TEST(LineReader, LoneCarriageReturnEndsALine) {
  const Read read = ReadAll("N001\rN002\r\rN003\r\nN004\n\rN005\r", kProgramLineLimit);
  EXPECT_EQ(read.lines,
            (std::vector<std::string>{"N001\n", "N002\n", "\n", "N003\n", "N004\n", "\n",
                                      "N005\n"}));
  // The last CR ends its line: the line is complete, as one ended by LF.
  EXPECT_EQ(read.eofAfter.back(), false);
  EXPECT_EQ(ReadAll("N001\r", kCheckLineLimit).eofAfter, (std::vector<bool>{false}));
  // A CR counts as one character towards the limit, as CR LF does.
  EXPECT_EQ(ReadAll(std::string(197, 'X') + "\rN2\r", kProgramLineLimit).lines,
            (std::vector<std::string>{std::string(197, 'X') + "\n", "N2\n"}));
  EXPECT_EQ(ReadAll(std::string(198, 'X') + "\r", kProgramLineLimit).lines,
            (std::vector<std::string>{std::string(198, 'X'), "\n"}));
}

TEST(LineReader, LastLineWithoutLineEndIsReturnedAndSetsEof) {
  const Read read = ReadAll("N001\nN002", kProgramLineLimit);
  EXPECT_EQ(read.lines, (std::vector<std::string>{"N001\n", "N002"}));
  EXPECT_EQ(read.eofAfter, (std::vector<bool>{false, true}));
}

TEST(LineReader, TerminatedLastLineLeavesEofClearUntilTheNextRead) {
  const Read read = ReadAll("N001\n", kProgramLineLimit);
  EXPECT_EQ(read.eofAfter, (std::vector<bool>{false}));
  EXPECT_TRUE(ReadAll("", kProgramLineLimit).lines.empty());
}

TEST(LineReader, LongLinesArriveInPiecesOfTheLimit) {
  const std::string longLine = std::string(200, 'X') + "\n";
  const Read read = ReadAll(longLine, kProgramLineLimit);
  ASSERT_EQ(read.lines.size(), 2u);
  EXPECT_EQ(read.lines[0], std::string(198, 'X'));
  EXPECT_EQ(read.lines[1], "XX\n");
}

TEST(LineReader, LineEndCountsAsOneCharacterTowardsTheLimit) {
  // 197 characters and CR LF fill the 198 exactly.
  const Read read = ReadAll(std::string(197, 'X') + "\r\nN2\n", kProgramLineLimit);
  ASSERT_EQ(read.lines.size(), 2u);
  EXPECT_EQ(read.lines[0], std::string(197, 'X') + "\n");
  // 198 characters then CR LF: the line end comes as a piece of its own.
  const Read longer = ReadAll(std::string(198, 'X') + "\r\n", kProgramLineLimit);
  EXPECT_EQ(longer.lines, (std::vector<std::string>{std::string(198, 'X'), "\n"}));
}

TEST(LineReader, PieceThatExactlyFillsTheLimitAtTheEndDoesNotSetEof) {
  const Read read = ReadAll(std::string(127, 'A'), kCheckLineLimit);
  EXPECT_EQ(read.eofAfter, (std::vector<bool>{false}));
  const Read shorter = ReadAll(std::string(126, 'A'), kCheckLineLimit);
  EXPECT_EQ(shorter.eofAfter, (std::vector<bool>{true}));
}

TEST(LineReader, HugeLineWithoutLineEnds) {
  const Read read = ReadAll(std::string(1 << 20, 'Z'), kProgramLineLimit);
  EXPECT_EQ(read.lines.size(), (std::size_t{1} << 20) / 198 + 1);
}

TEST(LineReader, LinesStraddlingRefillsReadTheSame) {
  const std::string bytes = "N001X+000100\r\nN002\r\rN\r\n\r\nEND";
  TrickleSource source(bytes);
  LineReader reader(source);
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line, 5)) lines.push_back(line);
  EXPECT_EQ(lines, ReadAll(bytes, 5).lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"N001X", "+0001", "00\n", "N002\n", "\n", "N\n",
                                             "\n", "END"}));
}

TEST(LineReader, ConsumedCountsTheBytesOfTheLinesReturned) {
  // CR LF across a refill, a piece of a long line and a last line without end.
  TrickleSource source("ab\r\ncdefg\nh");
  LineReader reader(source);
  std::string line;
  std::vector<std::uint64_t> consumed{reader.Consumed()};
  while (reader.ReadLine(line, 3)) consumed.push_back(reader.Consumed());
  EXPECT_EQ(consumed, (std::vector<std::uint64_t>{0, 4, 7, 10, 11}));
  // A lone CR, and CR LF split by a refill right after the CR.
  TrickleSource lone("a\rbc\r\nd");
  LineReader loneReader(lone);
  consumed = {loneReader.Consumed()};
  while (loneReader.ReadLine(line, 10)) consumed.push_back(loneReader.Consumed());
  EXPECT_EQ(consumed, (std::vector<std::uint64_t>{0, 2, 6, 7}));
}

std::vector<std::string> ProgramLines(std::string_view bytes,
                                      ProgramLineReader::LongLines longLines =
                                          ProgramLineReader::LongLines::kRefused,
                                      std::vector<long>* numbers = nullptr) {
  MemorySource source(bytes);
  ProgramLineReader reader(source, longLines);
  std::vector<std::string> lines;
  for (std::string line; reader.ReadLine(line);) {
    lines.push_back(line);
    if (numbers) numbers->push_back(reader.LineNumber());
  }
  return lines;
}

std::string Refusal(std::string_view bytes, ProgramLineReader::LongLines longLines =
                                               ProgramLineReader::LongLines::kRefused) {
  try {
    ProgramLines(bytes, longLines);
  } catch (const ProgramRefusal& refusal) {
    return refusal.what();
  }
  return "read";
}

// Notepad's "Unicode" is UTF-16: a byte-order mark and a NUL after every
// ASCII character. Read as frames it would be a program without a word.
TEST(ProgramLineReader, RefusesWhatIsNoPlainTextAndSaysHowToSaveIt) {
  const std::string saveAs =
      " Сохраните файл в кодировке ANSI (ASCII): в Блокноте - Сохранить как, кодировка ANSI.";
  const std::string utf16("\xFF\xFEN\x00\x30\x00\r\x00\n\x00", 10);
  EXPECT_EQ(Refusal(utf16),
            "Строка 1 начинается с метки порядка байтов UTF-16: файл сохранён в Юникоде, а не "
            "простым текстом." + saveAs);
  EXPECT_EQ(Refusal(std::string("\xFE\xFF\x00N", 4)), Refusal(utf16));  // big-endian
  EXPECT_EQ(Refusal("\xEF\xBB\xBFN001X+000100\r\n"),
            "Строка 1 начинается с метки порядка байтов UTF-8: файл сохранён в Юникоде, а не "
            "простым текстом." + saveAs);
  // Without the mark, the NUL bytes give it away, on the line they are in.
  EXPECT_EQ(Refusal(std::string("N001\r\nN002\r\nN\x00", 14)),
            "Строка 3 содержит нулевой байт: файл не является простым текстом (возможно, он "
            "сохранён в Юникоде, UTF-16)." + saveAs);
  EXPECT_EQ(Refusal(utf16.substr(2), ProgramLineReader::LongLines::kInPieces),
            "Строка 1 содержит нулевой байт: файл не является простым текстом (возможно, он "
            "сохранён в Юникоде, UTF-16)." + saveAs);
  // The mark's bytes further on are characters of the code page.
  EXPECT_EQ(Refusal("N001\r\n\xFF\xFE\xEF\xBB\xBF\r\n"), "read");
}

TEST(ProgramLineReader, NumbersTheLinesAndTakesLongOnesInPiecesWhenAsked) {
  const std::string program = "N001\r" + std::string(250, 'X') + "\r\nN003\n";
  EXPECT_EQ(Refusal(program),
            "Строка 2 длиннее 198 символов (с концом строки): кадр не читается целиком.");
  std::vector<long> numbers;
  const auto lines = ProgramLines(program, ProgramLineReader::LongLines::kInPieces, &numbers);
  EXPECT_EQ(lines, (std::vector<std::string>{"N001\n", std::string(198, 'X'),
                                             std::string(52, 'X') + "\n", "N003\n"}));
  EXPECT_EQ(numbers, (std::vector<long>{1, 2, 2, 3}));
}

TEST(LineWriter, WritesLineFeedsAsCarriageReturnLineFeed) {
  MemorySink sink;
  {
    LineWriter writer(sink);
    writer.Write("N001\n");
    writer.Write("%\nN002");
    writer.Write("\r\n");
    writer.Flush();
  }
  EXPECT_EQ(sink.Bytes(), "N001\r\n%\r\nN002\r\r\n");
}

TEST(LineWriter, LargeOutputsPassThroughTheBufferWhole) {
  MemorySink sink;
  LineWriter writer(sink);
  for (int i = 0; i < 100000; ++i) writer.Write("N001X+000100\n");
  writer.Flush();
  EXPECT_EQ(sink.Bytes().size(), 100000u * 14);
}

}  // namespace
}  // namespace h33
