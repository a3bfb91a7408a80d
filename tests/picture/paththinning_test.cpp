#include <gtest/gtest.h>

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
