// Whole-program properties of the correction on generated programs.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "format/feedcode.h"
#include "format/frame.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "methods/uptoup.h"
#include "planning/braking.h"
#include "programgen.h"
#include "scripteddialogs.h"

namespace h33 {
namespace {

constexpr int kSpeedLimit = 100;
constexpr int kAcceleration = 50;
constexpr int kFeedMax = 1200;

// Programs of the benchmarks' shape, with what a program corrected before
// holds (the frames the last run inserted) and feeds above FeedMax.
std::string GeneratedProgram(unsigned seed) {
  std::string program = bench::GenerateProgramText(
      bench::ProgramFormat::kUp, 90000, seed, {.earlierRunPercent = 4, .highFeedPercent = 15});
  std::erase(program, '\r');
  return program;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t end = text.find('\n', from);
    lines.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return lines;
}

bool IsInsertedOrFeedOnly(const std::string& line) {
  return line.size() == 9 && line.rfind("N", 0) == 0 && line[4] == 'F';
}

// What of a line the correction must keep: all but its number and feed.
std::string Kept(std::string line) {
  StripFeedWords(line);
  if (HasWord(line, 'N')) line.erase(1, 3);
  return line;
}

bool IsValidFeedCode(std::string_view code) {
  if (code.size() != 4 || code.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  return code == "0000" || (code[0] == '0' && code[1] >= '4' && code[1] <= '7' && code[2] != '0');
}

// Braking is computed from the feeds before coding; a code stands for every
// feed up to one step of its last digit above what it decodes to.
int HighestFeedOfCode(std::string_view code) {
  const int feed = DecodeFeed(ParseInt(code));
  const int decade = code[1] - '0';
  int step = 1;
  for (int i = 5; i < decade; ++i) step *= 10;
  return feed == 0 ? 0 : feed + step - 1;
}

// Every F word a valid code within the machine's limit and, once the program
// has a feed, never 0 in a motion frame; every straight frame slow enough to
// brake to the next frame's feed within its length.
void ExpectSafeFeeds(const std::vector<std::string>& lines) {
  const BrakingRules rules{kAcceleration, 5, 100.0f, false, false};
  int feed = 0;
  bool fed = false;  // a feed above 0 has been written
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view code = ReadWord(lines[i], 'F');
    if (!code.empty()) {
      ASSERT_TRUE(IsValidFeedCode(code)) << lines[i];
      feed = DecodeFeed(ParseInt(code));
      ASSERT_LE(feed, kFeedMax) << lines[i];
    }
    const FrameVector move = ReadCoordinates(lines[i]);
    if (move.present && fed) {
      ASSERT_NE(code, "0000") << lines[i];
    }
    fed = fed || feed > 0;
    if (!move.present || ReadArcOffsets(lines[i]).present || i + 1 == lines.size()) continue;
    const std::string_view nextCode = ReadWord(lines[i + 1], 'F');
    const int nextFeed = nextCode.empty() ? feed : HighestFeedOfCode(nextCode);
    ASSERT_LE(feed, BrakingFeed(nextFeed, move.Chord(), rules))
        << lines[i] << " before " << lines[i + 1];
  }
}

std::vector<std::string> KeptLines(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (!IsInsertedOrFeedOnly(line)) kept.push_back(Kept(line));
  }
  return kept;
}

std::vector<long> Increments(const std::vector<std::string>& lines) {
  std::vector<long> sums(3);
  for (const std::string& line : lines) {
    for (int axis = 0; axis < 3; ++axis) sums[axis] += ParseLong(ReadWord(line, "XYZ"[axis]));
  }
  return sums;
}

// The control sums as the machine's single-precision millimetres add up.
std::string ControlSumsMessage(const std::vector<std::string>& lines) {
  float sums[3] = {0, 0, 0};
  for (const std::string& line : lines) {
    const FrameVector move = ReadCoordinates(line);
    sums[0] += move.x;
    sums[1] += move.y;
    sums[2] += move.z;
  }
  return "message: " + Sprintf("Контрольные суммы:\nSUMX =%10.2f mm\nSUMY =%10.2f mm\n"
                               "SUMZ =%10.2f mm",
                               double{sums[0]}, double{sums[1]}, double{sums[2]});
}

TEST(UpToUpInvariants, GeneratedProgramsComeOutSafe) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    SCOPED_TRACE(seed);
    const std::string program = GeneratedProgram(seed);
    ScriptedDialogs dialogs;
    MemorySource source(program);
    MemorySink sink;
    UpToUpCorrection correction("p.up", "q.up", {kSpeedLimit, kFeedMax, kAcceleration}, dialogs);
    ASSERT_EQ(correction.Run(source, sink), CorrectionStatus::kCorrected) << dialogs.shown.back();
    std::string output = sink.Bytes();
    std::erase(output, '\r');
    const std::vector<std::string> in = Lines(program);
    const std::vector<std::string> out = Lines(output);

    ExpectSafeFeeds(out);
    EXPECT_EQ(KeptLines(out), KeptLines(in));
    EXPECT_EQ(Increments(out), Increments(in));
    EXPECT_EQ(dialogs.shown.back(), ControlSumsMessage(in));
  }
}

// Whatever the bytes, the run ends with a result and no memory fault.
// Every F the correction writes is the F word its readers see: a feed
// written behind a bare F would show one feed and run another.
void ExpectEveryFeedWordSeen(const std::string& written) {
  std::istringstream lines(written);
  for (std::string line; std::getline(lines, line);) {
    const Frame frame(line);
    EXPECT_FALSE(frame.HasHiddenWord('F')) << line;
    EXPECT_TRUE(frame.Has('F') || line.find('F') == std::string::npos) << line;
  }
}

TEST(UpToUpInvariants, ArbitraryBytes) {
  static constexpr std::string_view kPieces[] = {
      "N001", "X+001000", "Y-000020", "Z", "I+000500", "J-", "F0660", "F", "F06", "G02",
      "G03", "G18", "M05", "L001", "%", "\n", "\r", "\r\n", "END", std::string_view("\0", 1)};
  std::mt19937 random(7);
  int outcomes[2] = {0, 0};
  for (int round = 0; round < 500; ++round) {
    std::string bytes;
    const int pieces = std::uniform_int_distribution<int>(0, 200)(random);
    for (int i = 0; i < pieces; ++i) {
      if (std::uniform_int_distribution<int>(0, 9)(random) == 0) {
        bytes.push_back(static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random)));
      } else {
        bytes += kPieces[std::uniform_int_distribution<std::size_t>(0, 19)(random)];
      }
    }
    ScriptedDialogs dialogs;
    MemorySource source(bytes);
    MemorySink sink;
    const CorrectionStatus result =
        UpToUpCorrection("p.up", "q.up", {50, 1200, 5}, dialogs).Run(source, sink);
    // A line too long to be read whole is refused, and so is a code that is
    // no feed ("F06"), a bare F, which would hide the feed written after it,
    // and a NUL byte.
    const auto says = [&dialogs](const char* text) {
      return dialogs.shown.back().find(text) != std::string::npos;
    };
    const bool refused = result == CorrectionStatus::kInputUnreadable && !dialogs.shown.empty() &&
                         (says("длиннее 198") || says("меньше 1 мм/мин") ||
                          says("не является кодом подачи") || says("не записана кодом H33") ||
                          says("нулевой байт") ||
                          says("метки порядка байтов"));
    EXPECT_TRUE(result == CorrectionStatus::kCorrected ||
                result == CorrectionStatus::kBrakingFailed || refused)
        << static_cast<int>(result);
    outcomes[result == CorrectionStatus::kCorrected] += 1;
    if (result == CorrectionStatus::kCorrected) ExpectEveryFeedWordSeen(sink.Bytes());
  }
  // Both ways through the run were taken.
  EXPECT_GT(outcomes[0], 10);
  EXPECT_GT(outcomes[1], 10);
}

}  // namespace
}  // namespace h33
