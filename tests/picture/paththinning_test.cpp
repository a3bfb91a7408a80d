#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "picture/feedprofile.h"
#include "picture/pathpolyline.h"
#include "picture/programpicture.h"

namespace h33 {
namespace {

ProgramPicture Picture(const std::string& program, PathPolyline::Options path = {},
                       std::size_t profileCap = 1 << 20) {
  MemorySource source(program);
  PictureOptions options;
  options.path = path;
  options.profileCap = profileCap;
  return ReadProgramPicture(source, options);
}

PathPolyline::Options Tolerance(double tolerance, std::size_t cap = 1 << 21) {
  PathPolyline::Options options;
  options.tolerance = tolerance;
  options.pointCap = cap;
  return options;
}

TEST(PathThinning, StepsShorterThanTheToleranceMergeAndTheEndsStay) {
  // 1000 steps of 0.01 mm along X, then one back along Y.
  std::string program = "N000G01F0660\n";
  for (int i = 0; i < 1000; ++i) program += "N001X+000001\n";
  program += "N002Y+000500\n";
  const ProgramPicture picture = Picture(program, Tolerance(0.1));
  const auto& points = picture.path.Points();
  // A point is kept every 10 or 11 steps, as rounding puts the 10th.
  EXPECT_LE(points.size(), 10 / 0.1 + 3);
  EXPECT_GE(points.size(), 10 / 0.11);
  EXPECT_EQ(points.front().x, 0);
  EXPECT_FLOAT_EQ(points.back().x, 10);
  EXPECT_FLOAT_EQ(points.back().y, 5);
  EXPECT_EQ(points.back().line, 1002u);
  for (std::size_t i = 1; i + 1 < points.size(); ++i) {
    EXPECT_LT(std::fabs(points[i].x - points[i - 1].x), 0.1 + 0.011f);
  }
}

TEST(PathThinning, AFeedChangeKeepsItsCorner) {
  // Fine steps at 600 up to x = 5.03, then at 300: the colour changes there.
  std::string program = "N000G01F0660\n";
  for (int i = 0; i < 503; ++i) program += "N001X+000001\n";
  program += "N002X+000001F0630\n";
  for (int i = 0; i < 100; ++i) program += "N003X+000001\n";
  const ProgramPicture picture = Picture(program, Tolerance(1));
  const auto& points = picture.path.Points();
  bool corner = false;
  for (std::size_t i = 1; i < points.size(); ++i) {
    if (points[i].Feed() == 300 && points[i - 1].Feed() == 600) {
      EXPECT_FLOAT_EQ(points[i - 1].x, 5.03f);
      corner = true;
    }
  }
  EXPECT_TRUE(corner);
}

TEST(PathThinning, ThePointCapBoundsEvenAlternatingFeeds) {
  std::string program;
  for (int i = 0; i < 20000; ++i) {
    program += i % 2 ? "N001X+000100Y+000003F0660\n" : "N001X-000100Y+000003F0712\n";
  }
  const ProgramPicture picture = Picture(program, Tolerance(0.005, 512));
  const auto& points = picture.path.Points();
  EXPECT_LE(points.size(), 512u);
  EXPECT_GT(picture.path.Tolerance(), 0.005);
  EXPECT_EQ(points.front().y, 0);
  EXPECT_FLOAT_EQ(points.back().y, 20000 * 0.03f);
  EXPECT_NEAR(picture.path.Bounds().high.y, 600, 1e-3);
}

TEST(PathThinning, ArcsAreFlattenedWithinTheTolerance) {
  const ProgramPicture fine = Picture("N001G02X+000000Y+000000I+001000J+000000\n", Tolerance(0.001));
  const ProgramPicture coarse = Picture("N001G02X+000000Y+000000I+001000J+000000\n", Tolerance(0.5));
  EXPECT_GT(fine.path.Points().size(), 100u);
  EXPECT_LT(coarse.path.Points().size(), 16u);
  EXPECT_GE(coarse.path.Points().size(), 4u);
  EXPECT_NEAR(fine.path.Bounds().low.x, -20, 1e-3);
}

// The motion frames of examples/pocket.up: down, a 40 × 20 mm rectangle with
// corners of 5 mm radius, and up again.
constexpr const char* kPocketPass =
    "N003G01Z-000500F0630\nN004X+004000F0660\nN005G03X+000500Y+000500I+000000J-000500\n"
    "N006G01Y+002000\nN007G03X-000500Y+000500I+000500J+000000\nN008G01X-004000\n"
    "N009G03X-000500Y-000500I+000000J+000500\nN010G01Y-002000\n"
    "N011G03X+000500Y-000500I-000500J+000000\nN012G01Z+000500F0712\n";

std::string Repeated(const std::string& pass, int times) {
  std::string program;
  for (int i = 0; i < times; ++i) program += pass;
  return program;
}

// Drawn segments: points that do not start a stretch of their own.
std::size_t Segments(const PathPolyline& path) {
  const auto& points = path.Points();
  return points.empty() ? 0 : static_cast<std::size_t>(std::count_if(
                                  points.begin() + 1, points.end(), [](const PathPoint& p) { return !p.Gap(); }));
}

// Once thinned coarser with each pass, until the corners were polygons and
// at last the rectangle a line.
TEST(PathThinning, AContourRunAgainAndAgainIsKeptOnceAsFineAsOnce) {
  const ProgramPicture once = Picture(kPocketPass, Tolerance(0.005, 4096));
  const ProgramPicture often = Picture(Repeated(kPocketPass, 5000), Tolerance(0.005, 4096));
  EXPECT_EQ(often.path.Tolerance(), 0.005);
  ASSERT_EQ(often.path.Points().size(), once.path.Points().size());
  for (std::size_t i = 0; i < once.path.Points().size(); ++i) {
    EXPECT_EQ(often.path.Points()[i].x, once.path.Points()[i].x);
    EXPECT_EQ(often.path.Points()[i].y, once.path.Points()[i].y);
  }
  EXPECT_NEAR(often.path.Bounds().high.x, 45, 1e-4);
}

TEST(PathThinning, ACircleTracedManyTimesStaysRound) {
  const ProgramPicture picture =
      Picture(Repeated("N001G02X+000000Y+000000I+001000J+000000F0660\n", 25000), Tolerance(0.005, 1 << 20));
  const auto& points = picture.path.Points();
  ASSERT_GT(points.size(), 60u);
  EXPECT_LT(points.size(), 200u);
  // On the circle about (−10, 0), in steps no longer than the tolerance allows.
  const double longest = 2 * 10 * std::sin(std::acos(1 - 0.005 / 10)) + 1e-4;
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_NEAR(std::hypot(points[i].x + 10, points[i].y), 10, 1e-4);
    if (i > 0) {
      EXPECT_LE(std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y), longest);
    }
  }
}

TEST(PathThinning, OnlyWhatIsDrawnAlikeIsLeftOut) {
  constexpr const char* kSquare = "N1X+001000\nN2Y+001000\nN3X-001000\nN4Y-001000\n";
  constexpr const char* kBackwards = "N5Y+001000\nN6X+001000\nN7Y-001000\nN8X-001000\n";
  const ProgramPicture picture = Picture(
      std::string("N0G01F0660\n") + kSquare + kSquare + kBackwards +
          "N9Z-000100\n" + kSquare + "N10Z+000100\nN11F0630\n" + kSquare,
      Tolerance(0.005));
  // The square, the plunge, the square 1 mm lower and the square at the
  // other feed; the same square again, backwards or not, and the way back
  // up the plunge add nothing.
  EXPECT_EQ(Segments(picture.path), 13u);
  const auto& points = picture.path.Points();
  EXPECT_EQ(std::count_if(points.begin(), points.end(), [](const PathPoint& p) { return p.Gap(); }), 1);
  EXPECT_EQ(points.back().Feed(), 300);
}

// 2 m of a wave of 2 mm in steps of 0.1 mm, into 512 points: once the
// tolerance doubled until the wave was gone.
TEST(PathThinning, ASmoothPathThinnedToFitItsPointsKeepsItsShape) {
  std::string program = "N0G01F0660\n";
  long y = 0;
  for (int step = 1; step <= 20000; ++step) {
    const long next = std::lround(200 * std::sin(step * 0.01));
    program += "N1X+000010Y" + std::string(next >= y ? "+" : "-") + std::to_string(100000 + std::labs(next - y)).substr(1) + "\n";
    y = next;
  }
  const ProgramPicture picture = Picture(program, Tolerance(0.005, 512));
  const auto& points = picture.path.Points();
  EXPECT_LE(points.size(), 512u);
  EXPECT_LE(picture.path.Tolerance(), 0.32);
  const auto wave = [](double x) { return 2 * std::sin(x / 10); };
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double middle = (double{points[i - 1].x} + points[i].x) / 2;
    const double chord = (double{points[i - 1].y} + points[i].y) / 2;
    EXPECT_NEAR(chord, wave(middle), 2 * picture.path.Tolerance()) << middle;
  }
  EXPECT_NEAR(points.back().x, 2000, 1e-3);
}

TEST(PathThinning, AWindowKeepsTheSegmentsSeenInIt) {
  std::string program = "N0G01F0660\n";
  for (int i = 0; i < 100; ++i) program += "N1X+000100\n";
  // A circle far to the right, not to be flattened.
  program += "N2X+100000\nN3G02X+000000Y+000000I+010000J+000000\n";
  PathPolyline::Options options = Tolerance(0.005);
  options.window = PlaneWindow{Plane::XY, 40.5, -1, 50.5, 1};
  const ProgramPicture picture = Picture(program, options);
  EXPECT_EQ(Segments(picture.path), 11u);  // 40 to 41 up to 50 to 51
  const auto& points = picture.path.Points();
  EXPECT_EQ(points.size(), 13u);           // and the start and where the window begins
  for (std::size_t i = 1; i < points.size(); ++i) {
    if (points[i].Gap()) continue;
    EXPECT_GE(points[i].x, 40.5);
    EXPECT_LE(points[i - 1].x, 50.5);
  }
}

TEST(FeedProfileSteps, OneStepPerFeedChangeAndStopsAsDrops) {
  const ProgramPicture picture = Picture(
      "N001G01X+001000F0660\nN002X+001000\nN003X+000500F0624\nN004F0000\n"
      "N005X+001000F0660\n");
  const auto& samples = picture.profile.Samples();
  ASSERT_EQ(samples.size(), 4u);
  EXPECT_EQ(samples[0].low, 600);
  EXPECT_EQ(samples[1].path, 20);
  EXPECT_EQ(samples[1].low, 240);
  EXPECT_EQ(samples[2].path, 25);  // the stop: no length of its own
  EXPECT_EQ(samples[2].high, 0);
  EXPECT_EQ(samples[2].line, 4u);
  EXPECT_EQ(samples[3].path, 25);
  EXPECT_EQ(picture.profile.Length(), 35);
  EXPECT_EQ(picture.profile.SampleAt(5), 0);
  EXPECT_EQ(picture.profile.SampleAt(22), 1);
  EXPECT_EQ(picture.profile.SampleAt(30), 3);
  EXPECT_EQ(picture.profile.SampleAt(-1), 0);
  EXPECT_EQ(picture.profile.LowestSampleIn(24, 26), 2);  // the stop, right under a click near it
  EXPECT_EQ(picture.profile.LowestSampleIn(1, 19), 0);
}

TEST(FeedProfileSteps, MergedStepsKeepTheirLowestFeedAndItsFrame) {
  std::string program;
  for (int i = 0; i < 5000; ++i) {
    program += i == 3210 ? "N000F0000\n" : (i % 2 ? "N001X+000100F0660\n" : "N001X+000100F0670\n");
  }
  const ProgramPicture picture = Picture(program, {}, 64);
  const auto& samples = picture.profile.Samples();
  EXPECT_LE(samples.size(), 64u);
  int stops = 0;
  for (const ProfileSample& sample : samples) {
    if (sample.low == 0) {
      ++stops;
      EXPECT_EQ(sample.line, 3211u);
    }
    EXPECT_LE(sample.high, 700);
    if (sample.low != 0) {
      EXPECT_GE(sample.low, 600);
    }
  }
  EXPECT_EQ(stops, 1);
}

}  // namespace
}  // namespace h33
