// The time a method reports is that of the program it wrote, counted while
// writing: it must be the time count of the written file, to the bit, or the
// window and the command would say one thing and "h33 time" another.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "format/bytesource.h"
#include "methods/ptp_to_up.h"
#include "methods/timecount.h"
#include "methods/uptoup.h"
#include "programgen.h"
#include "ptp_testing.h"
#include "scripteddialogs.h"

namespace h33 {
namespace {

constexpr int kAcceleration = 50;

void ExpectTimeOfFile(const TimeCount& written, const std::string& bytes) {
  MemorySource back(bytes);
  const float read = TimeCounter("written", kAcceleration).CountTime(back);
  ASSERT_EQ(written.status, TimeCountStatus::kCounted) << written.reason;
  EXPECT_EQ(std::memcmp(&written.seconds, &read, sizeof read), 0)
      << written.seconds << " s written, " << read << " s read back";
}

struct Corrected {
  std::string bytes;
  TimeCount time;
};

Corrected Correct(const std::string& program) {
  ScriptedDialogs dialogs;
  MemorySource source(program);
  MemorySink sink;
  UpToUpCorrection correction("p.up", "q.up", {50, 1200, kAcceleration}, dialogs);
  EXPECT_EQ(correction.Run(source, sink), CorrectionStatus::kCorrected) << dialogs.shown.back();
  return {sink.Bytes(), correction.WrittenTime()};
}

std::string Generated(bench::ProgramFormat format, unsigned seed) {
  MemorySink sink;
  bench::GenerateProgram(format, 60000, seed, sink);
  return sink.Bytes();
}

TEST(WrittenTime, IsTheTimeOfTheCorrectedFile) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    const Corrected corrected = Correct(Generated(bench::ProgramFormat::kUp, seed));
    ExpectTimeOfFile(corrected.time, corrected.bytes);
  }
}

TEST(WrittenTime, IsTheTimeOfTheConvertedFile) {
  RunParameters parameters = TestMachine();
  parameters.machine.acceleration_mm_s2 = kAcceleration;
  const std::string program = Generated(bench::ProgramFormat::kPtp, 4);
  for (const bool brakes : {true, false}) {
    parameters.brakes = brakes;
    MemorySource source(program);
    MemorySink sink;
    ScriptedDialogs dialogs;
    const ConversionResult result = ConvertPtp(parameters, source, sink, dialogs);
    ASSERT_EQ(result.status, ConversionStatus::kConverted) << dialogs.shown.back();
    ExpectTimeOfFile(result.writtenTime, sink.Bytes());
  }
}

// A line the method lengthens (the correction restates a feed in it) is
// written whole up to a read and timed as read back; one step longer it would
// come back in pieces, each a frame of its own, and is refused unwritten.
TEST(WrittenTime, ALineLengthenedUpToAReadIsTimedWholeAndNoFurther) {
  const auto program = [](std::size_t blanks) {
    return "%\nN001G01X+010000F0660\nN002X+000100\nN003Y+010000" + std::string(blanks, ' ') +
           "Z+000010\nN004X+010000\nN005M02\n";
  };
  const Corrected corrected = Correct(program(172));  // 198 characters once F0660 is in
  ASSERT_NE(corrected.bytes.find("Y+010000" + std::string(172, ' ') + "Z+000010F0660"),
            std::string::npos)
      << corrected.bytes;
  ExpectTimeOfFile(corrected.time, corrected.bytes);

  ScriptedDialogs dialogs;
  const std::string tooLong = program(173);
  MemorySource source(tooLong);
  MemorySink sink;
  UpToUpCorrection correction("p.up", "q.up", {50, 1200, kAcceleration}, dialogs);
  EXPECT_EQ(correction.Run(source, sink), CorrectionStatus::kInputUnreadable);
  EXPECT_NE(dialogs.shown.back().find("длиннее 198 символов"), std::string::npos)
      << dialogs.shown.back();
  EXPECT_EQ(sink.Bytes().find("Z+000010F"), std::string::npos) << sink.Bytes();
}

}  // namespace
}  // namespace h33
