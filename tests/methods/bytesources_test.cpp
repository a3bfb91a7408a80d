// Every method gives the same result whether it reads a file, the bytes in
// memory, or bytes that arrive a few at a time (a serial line, a slow share):
// the edges of the reader's buffer may fall anywhere, between CR and LF too.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/machines.h"
#include "format/bytesource.h"
#include "format/fileinfo.h"
#include "format/formatcheck.h"
#include "format/lineio.h"
#include "format/textformat.h"
#include "methods/ptp_to_up.h"
#include "methods/tapesplitter.h"
#include "methods/runparameters.h"
#include "methods/tapecopy.h"
#include "methods/timecount.h"
#include "methods/uptoup.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

// Hands out 1 to 7 bytes at a time.
class TricklingSource : public ByteSource {
 public:
  explicit TricklingSource(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = std::min({size, bytes_.size(), std::size_t{1} + turn_++ % 7});
    std::memcpy(buffer, bytes_.data(), count);
    bytes_.remove_prefix(count);
    return count;
  }

 private:
  std::string_view bytes_;
  std::size_t turn_ = 0;
};

// Several reads of the buffer long, with CR LF and LF line ends, a line the
// format check reads in pieces (the methods take it whole) and an
// unterminated last line.
std::string Program(const char* move, const char* feed) {
  std::string program = "%\r\nN001G17S500M03\nN002M08\r\n";
  for (int i = 0; i < 4000; ++i) {
    program += Sprintf(move, i % 3 ? '+' : '-', i % 2 ? "\r\n" : "\n");
  }
  program += "N003M08" + std::string(180, 'c') + Sprintf("%s\n", feed);
  return program +
         "N004G02X+000500Y-000500I+000000J-000500\r\nN005G01X+001000\r\nN006M05\r\nN007M30";
}

const std::string kH33 = Program("N001G01X%c001000Y+000200F0660%s", "F0712");
const std::string kPtp = Program("N1G01X%c1000Y200F650%s", "F1200");

class OnEverySource : public testing::Test {
 protected:
  TempDir dir;
  ScriptedDialogs dialogs;
};

TEST_F(OnEverySource, TimeCounter) {
  const fs::path file = dir.Write("p.up", kH33);
  const TimeCount fromFile = TimeCounter(file, 50).CountTime();
  ASSERT_EQ(fromFile.status, TimeCountStatus::kCounted);
  MemorySource memory(kH33);
  TricklingSource trickling(kH33);
  EXPECT_EQ(TimeCounter(file, 50).CountTime(memory), fromFile.seconds);
  EXPECT_EQ(TimeCounter(file, 50).CountTime(trickling), fromFile.seconds);
}

TEST_F(OnEverySource, FormatCheckAndFileInformation) {
  const fs::path file = dir.Write("p.up", kH33);
  const std::optional<ProgramStatistics> read = GetFileInformation(file, 1200);
  ASSERT_TRUE(read);
  const ProgramStatistics& fromFile = *read;
  const int violations = CheckH33Format(file).value();
  EXPECT_EQ(fromFile.formatViolations, violations);
  for (const bool trickle : {false, true}) {
    MemorySource memory(kH33);
    TricklingSource trickling(kH33);
    ByteSource& source = trickle ? static_cast<ByteSource&>(trickling) : memory;
    const ProgramStatistics statistics = CollectStatistics(source, 1200, violations);
    EXPECT_EQ(statistics.lineCount, fromFile.lineCount);
    EXPECT_EQ(statistics.linearMoves, fromFile.linearMoves);
    EXPECT_EQ(statistics.arcMoves, fromFile.arcMoves);
    EXPECT_EQ(statistics.axisSums_mm, fromFile.axisSums_mm);
    EXPECT_EQ(statistics.pathLength_mm, fromFile.pathLength_mm);
    EXPECT_EQ(statistics.maxFeed_mm_min, fromFile.maxFeed_mm_min);
    TricklingSource again(kH33);
    EXPECT_EQ(CheckH33Format(again), violations);
  }
}

TEST_F(OnEverySource, UpToUp) {
  dir.Write("p.up", kH33);
  ASSERT_EQ(UpToUpCorrection(dir / "p.up", dir / "q.up", {100, 1200, 50}, dialogs).Run(),
            CorrectionStatus::kCorrected);
  for (const bool trickle : {false, true}) {
    MemorySource memory(kH33);
    TricklingSource trickling(kH33);
    MemorySink sink;
    ScriptedDialogs inMemory;
    ByteSource& source = trickle ? static_cast<ByteSource&>(trickling) : memory;
    EXPECT_EQ(UpToUpCorrection("p.up", "q.up", {100, 1200, 50}, inMemory).Run(source, sink),
              CorrectionStatus::kCorrected);
    EXPECT_EQ(sink.Bytes(), ReadBytes(dir / "q.up"));
    EXPECT_EQ(inMemory.shown, dialogs.shown);
  }
}

TEST_F(OnEverySource, PtpToUp) {
  dir.Write("p.ptp", kPtp);
  for (const int machine : {0, 1, 2}) {
    const RunParameters parameters = PresetParameters(machine);
    dialogs.buttons = {Button::No};  // no tape limit
    ASSERT_EQ(PtpToUp(parameters, dir / "p.ptp", dir / "q.up", dialogs),
              ConversionStatus::kConverted);
    for (const bool trickle : {false, true}) {
      MemorySource memory(kPtp);
      TricklingSource trickling(kPtp);
      MemorySink sink;
      ByteSource& source = trickle ? static_cast<ByteSource&>(trickling) : memory;
      EXPECT_EQ(ConvertPtp(parameters, source, sink, dialogs).status, ConversionStatus::kConverted);
      EXPECT_EQ(sink.Bytes(), ReadBytes(dir / "q.up")) << machine;
    }
  }
}

// The split on files is the copy onto two tapes and the correction of each,
// which both run on memory as well. The moves run straight on, so that the
// correction adds no frames and the first tape fits where the lines were cut.
TEST_F(OnEverySource, TapeSplit) {
  std::string straight = "%\r\nN001S500M03\r\n";
  for (int frame = 2; frame < 4000; ++frame) {
    straight += Sprintf("N%03dG01X+000100Y+000020F0660\r\n", frame % 1000);
  }
  straight += "N999M05\r\nN999M30\r\n";
  dir.Write("p.up", straight);
  dialogs.buttons = {Button::Yes, Button::Yes, Button::No};
  dialogs.lengthLimits = {60000};
  dialogs.secondPartNames = {(dir / "b.up").string()};
  ASSERT_EQ(TapeSplitter(dir / "p.up", {100, 1200, 50}, dialogs).Run(), SplitOutcome::kFinished);

  TricklingSource trickling(straight);
  MemorySink tapes[2];
  {
    LineWriter first(tapes[0]);
    LineWriter second(tapes[1]);
    TapeCopy copy(first, second, 60000, "");
    ASSERT_TRUE(copy.Copy(trickling));
    first.Flush();
    second.Flush();
  }
  const fs::path parts[2] = {dir / "p.up", dir / "b.up"};
  for (int part = 0; part < 2; ++part) {
    MemorySource tape(tapes[part].Bytes());
    MemorySink corrected;
    ScriptedDialogs inMemory;
    ASSERT_EQ(UpToUpCorrection("tmp", "part", {100, 1200, 50}, inMemory).Run(tape, corrected),
              CorrectionStatus::kCorrected);
    EXPECT_EQ(corrected.Bytes(), ReadBytes(parts[part])) << part;
  }
}

}  // namespace
}  // namespace h33
