// The generated programs must be valid and must keep the braking passes
// able to succeed, or the whole-file measurements of correct and convert
// would measure a failure instead of a run.

#include "programgen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "format/bytesource.h"
#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33::bench {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
// 5 mm, less what rounding the components to 0.01 mm can take off.
constexpr double kLead = 499;

std::string Generate(ProgramFormat format, std::uint64_t bytes, std::uint64_t seed) {
  MemorySink sink;
  const std::uint64_t written = GenerateProgram(format, bytes, seed, sink);
  EXPECT_EQ(written, sink.Bytes().size());
  return sink.Bytes();
}

// The lines without their CR LF; fails the test on any other line end.
std::vector<std::string> Lines(const std::string& program) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < program.size()) {
    const std::size_t end = program.find("\r\n", from);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos) break;
    lines.push_back(program.substr(from, end - from));
    EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
    from = end + 2;
  }
  return lines;
}

long Value(std::string_view line, char letter) { return ParseLong(ReadWord(line, letter)); }

bool IsMotion(std::string_view line) {
  return HasWord(line, 'X') || HasWord(line, 'Y') || HasWord(line, 'Z');
}

bool IsArc(std::string_view line) {
  return IsMotion(line) && (HasWord(line, 'I') || HasWord(line, 'J'));
}

// Length of a straight move in 0.01 mm; 0 for an arc or a frame without motion.
double StraightLength(std::string_view line) {
  if (!IsMotion(line) || IsArc(line)) return 0;
  return std::hypot(std::hypot(Value(line, 'X'), Value(line, 'Y')), Value(line, 'Z'));
}

int Feed(std::string_view line, ProgramFormat format) {
  const int value = ParseInt(ReadWord(line, 'F'));
  return format == ProgramFormat::kUp ? DecodeFeed(value) : value;
}

TEST(ProgramGenerator, SameSeedSameBytesAndSizeAsAsked) {
  const std::string first = Generate(ProgramFormat::kUp, kMiB, 7);
  EXPECT_EQ(first, Generate(ProgramFormat::kUp, kMiB, 7));
  EXPECT_NE(first, Generate(ProgramFormat::kUp, kMiB, 8));
  EXPECT_GE(first.size(), kMiB);
  EXPECT_LT(first.size(), kMiB + 2048);
}

TEST(ProgramGenerator, TapeMarksNumbersAndWordFormat) {
  for (const ProgramFormat format : {ProgramFormat::kUp, ProgramFormat::kPtp}) {
    const std::vector<std::string> lines = Lines(Generate(format, kMiB, 3));
    ASSERT_GT(lines.size(), 2000u);
    EXPECT_EQ(lines.front(), "%");
    const bool up = format == ProgramFormat::kUp;
    if (up) {
      EXPECT_EQ(lines.back(), "$");
    }
    EXPECT_TRUE(lines[lines.size() - (up ? 2 : 1)].ends_with("M30"));
    FrameCounter numbers(kH33NumberWrap);
    for (const std::string& line : lines) {
      if (line == "%" || line == "$") continue;
      ASSERT_EQ(line.substr(0, 4), Sprintf("N%3.3ld", numbers.Take()));
      EXPECT_LE(line.size() + 1, 71u) << line;
      for (const char axis : {'X', 'Y', 'Z', 'I', 'J'}) {
        const std::string_view value = ReadWord(line, axis);
        if (!value.empty()) {
          EXPECT_EQ(value, Sprintf("%+6.6ld", Value(line, axis))) << line;
        }
      }
    }
  }
}

TEST(ProgramGenerator, ArcsLieOnOneCircleAndAreFollowedByMotion) {
  const std::vector<std::string> lines = Lines(Generate(ProgramFormat::kUp, kMiB, 5));
  int arcs = 0;
  for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
    const std::string& line = lines[k];
    if (!IsArc(line)) continue;
    ++arcs;
    EXPECT_TRUE(Contains(line, "G02") || Contains(line, "G03")) << line;
    const long i = Value(line, 'I');
    const long j = Value(line, 'J');
    const double start = std::hypot(i, j);
    const double end = std::hypot(i + Value(line, 'X'), j + Value(line, 'Y'));
    EXPECT_NEAR(start, end, 1.5) << line;
    // 10 mm and more: the arc feed limit 60·sqrt(5·r²) stays above 1200 mm/min
    EXPECT_GE(start, 999.0) << line;
    EXPECT_TRUE(IsMotion(lines[k + 1])) << line << " is followed by " << lines[k + 1];
  }
  EXPECT_GT(arcs, 1000);
}

// Every slow-down (a frame without motion after a move, a lower feed, the
// first of a run of short segments) has a straight lead of 5 mm before it.
TEST(ProgramGenerator, SlowDownsHaveAStraightLead) {
  for (const ProgramFormat format : {ProgramFormat::kUp, ProgramFormat::kPtp}) {
    const std::vector<std::string> lines = Lines(Generate(format, kMiB, 11));
    int feed = 0;
    int shortRuns = 0;
    int feedOnly = 0;
    for (std::size_t k = 2; k < lines.size(); ++k) {
      const std::string& line = lines[k];
      const std::string& before = lines[k - 1];
      const bool hasFeed = HasWord(line, 'F');
      if (hasFeed) {
        const int next = Feed(line, format);
        EXPECT_GT(next, 0) << line;
        EXPECT_LE(next, 1200) << line;
        if (format == ProgramFormat::kUp) {
          EXPECT_EQ("F" + EncodeFeed(next), line.substr(line.find('F'))) << line;
        }
        if (next < feed && IsMotion(line)) {
          EXPECT_GE(StraightLength(before), kLead) << line;
        }
        feed = next;
      }
      const double length = StraightLength(line);
      const bool startsShortRun = length > 0 && length <= 20 && StraightLength(before) > 20;
      const bool stops = !IsMotion(line) && IsMotion(before);
      if (startsShortRun) ++shortRuns;
      if (stops && hasFeed) ++feedOnly;
      if (startsShortRun || stops) {
        EXPECT_GE(StraightLength(before), kLead) << before << " before " << line;
      }
    }
    EXPECT_GT(shortRuns, 100);
    EXPECT_GT(feedOnly, 100);
  }
}

}  // namespace
}  // namespace h33::bench
