// Whole-program properties of the conversion on a long generated PTP program.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>

#include "app/machines.h"
#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "methods/ptp_braking.h"
#include "planning/braking.h"
#include "programgen.h"
#include "ptp_testing.h"

namespace h33 {
namespace {

// A PTP program of the benchmarks' shape, with feeds above FeedMax, and its
// net displacement in 0.01 mm, summed here from its words.
struct Generated {
  std::string text;
  long sum[3] = {0, 0, 0};
};

Generated GeneratedProgram(unsigned seed) {
  Generated program;
  program.text = bench::GenerateProgramText(bench::ProgramFormat::kPtp, 100000, seed,
                                            {.highFeedPercent = 10});
  std::erase(program.text, '\r');
  for (std::size_t from = 0; from < program.text.size();) {
    const std::size_t end = program.text.find('\n', from) + 1;
    const std::string_view line = std::string_view(program.text).substr(from, end - from);
    for (std::size_t axis = 0; axis < 3; ++axis) {
      program.sum[axis] += ParseLong(ReadWord(line, "XYZ"[axis]));
    }
    from = end;
  }
  return program;
}

// The highest feed that codes like this one.
int HighestFeedOfCode(const std::string& code) {
  int feed = DecodeFeed(ParseInt(code));
  while (EncodeFeed(feed + 1) == code) ++feed;
  return feed;
}

TEST(ConversionInvariants, HoldOverALongGeneratedProgram) {
  RunParameters parameters = PresetParameters(2);
  parameters.restoreAfterArc = true;
  const BrakingRules rules = ConversionBrakingRules(parameters);
  for (const unsigned seed : {1u, 2u, 3u}) {
    const Generated program = GeneratedProgram(seed);
    const Converted converted = Convert(program.text, parameters);
    ASSERT_EQ(converted.status, ConversionStatus::kConverted) << converted.shown.front();

    EXPECT_EQ(converted.sums.X(), static_cast<double>(program.sum[0]) * 0.01);
    EXPECT_EQ(converted.sums.Y(), static_cast<double>(program.sum[1]) * 0.01);
    EXPECT_EQ(converted.sums.Z(), static_cast<double>(program.sum[2]) * 0.01);

    std::string previous;
    std::string previousCode = "0000";
    std::string code = "0000";
    std::size_t frames = 0;
    for (std::size_t from = 0; from < converted.output.size(); ++frames) {
      const std::size_t end = converted.output.find('\n', from) + 1;
      const std::string frame = converted.output.substr(from, end - from);
      from = end;
      if (HasWord(frame, 'F')) code = std::string(ReadWord(frame, 'F'));
      ASSERT_EQ(code.size(), 4u) << frame;
      ASSERT_EQ(EncodeFeed(DecodeFeed(ParseInt(code))), code) << frame;
      ASSERT_LE(DecodeFeed(ParseInt(code)), parameters.machine.feedMax_mm_min) << frame;
      // The machine brakes from each frame to the next, unless an M or S word
      // stands in the way.
      const bool shielded = HasWord(previous, 'M') || HasWord(previous, 'S');
      if (!previous.empty() && !shielded) {
        const int next = HighestFeedOfCode(code);
        const int allowed = IsShortArc({Frame(previous), 0, 0}, rules)
                                ? next
                                : BrakingFeed(next, ReadCoordinates(previous).Chord(), rules);
        EXPECT_LE(DecodeFeed(ParseInt(previousCode)), std::max(allowed, next)) << previous << frame;
      }
      previous = frame;
      previousCode = code;
    }
    EXPECT_GT(frames, 3000u);
  }
}

}  // namespace
}  // namespace h33
