// Whole-program properties of the conversion on a long generated PTP program.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "app/machines.h"
#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "methods/ptp_braking.h"
#include "planning/braking.h"
#include "ptp_testing.h"

namespace h33 {
namespace {

struct Generated {
  std::string text;
  long sum[3] = {0, 0, 0};  // 0.01 mm
};

class ProgramGenerator {
 public:
  explicit ProgramGenerator(unsigned seed) : random_(seed) {}

  Generated Make(int frames) {
    program_.text = "%\nN1G17S500M03\n";
    for (int i = 0; i < frames; ++i) {
      const int kind = Between(0, 19);
      if (kind == 0) {
        Add("N1M08\n");
      } else if (kind == 1) {
        Add(Sprintf("N1F%d\n", Between(50, 3000)));
      } else if (kind == 2) {
        Move(Between(0, 1) ? 20 : -20, 0, 0);
      } else if (kind == 3) {
        QuarterCircle();
      } else {
        Move(Between(-5000, 5000), Between(-5000, 5000), Between(0, 3) ? 0 : Between(-500, 500));
      }
    }
    Add("N1M05\nN1M30\n");
    return program_;
  }

 private:
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  void Add(const std::string& line) { program_.text += line; }

  std::string Feed() { return Between(0, 3) ? "" : Sprintf("F%d", Between(50, 3000)); }

  void Move(int x, int y, int z) {
    if (std::abs(x) + std::abs(y) + std::abs(z) < 100) x = 100;  // at least 1 mm
    Add(Sprintf("N1G01X%+07dY%+07dZ%+07d%s\n", x, y, z, Feed().c_str()));
    program_.sum[0] += x;
    program_.sum[1] += y;
    program_.sum[2] += z;
  }

  // A quarter circle from a point on an axis; a straight frame follows, as a
  // short circle cannot be braked to a stop.
  void QuarterCircle() {
    const int r = Between(500, 5000);
    const int quadrant = Between(0, 3);
    const int i = quadrant == 0 ? r : quadrant == 2 ? -r : 0;
    const int j = quadrant == 1 ? r : quadrant == 3 ? -r : 0;
    const bool clockwise = Between(0, 1) == 1;
    const int x = clockwise ? j - i : -j - i;
    const int y = clockwise ? -i - j : i - j;
    Add(Sprintf("N1%sX%+07dY%+07dI%+07dJ%+07d%s\n", clockwise ? "G02" : "G03", x, y, i, j,
                Feed().c_str()));
    program_.sum[0] += x;
    program_.sum[1] += y;
    Move(Between(-5000, 5000), Between(-5000, 5000), 0);
  }

  std::mt19937 random_;
  Generated program_;
};

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
    const Generated program = ProgramGenerator(seed).Make(3000);
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
