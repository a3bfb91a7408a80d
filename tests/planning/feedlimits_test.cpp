#include <gtest/gtest.h>

#include <cmath>

#include "planning/feedlimits.h"

namespace h33 {
namespace {

FrameVector Vector(float x, float y, float z = 0) { return {x, y, z, true}; }

std::pair<float, float> Tangent(float px, float py, float rx, float ry, int sense) {
  ArcTangent(px, py, rx, ry, sense);
  return {px, py};
}

TEST(ArcTangent, RadiusOnAnAxisGivesAUnitVectorByQuadrant) {
  using P = std::pair<float, float>;
  EXPECT_EQ(Tangent(5, -5, 0, 5, 2), P(0, -1));
  EXPECT_EQ(Tangent(5, -5, 0, 5, 3), P(1, 0));
  EXPECT_EQ(Tangent(-5, 5, 5, 0, 2), P(0, 1));
  EXPECT_EQ(Tangent(-5, 5, 5, 0, 3), P(-1, 0));
  EXPECT_EQ(Tangent(5, 5, 0, -5, 2), P(1, 0));
  EXPECT_EQ(Tangent(5, 5, 0, -5, 3), P(0, 1));
  EXPECT_EQ(Tangent(-5, -5, 0, 0, 2), P(-1, 0));
  EXPECT_EQ(Tangent(-5, -5, 0, 0, 3), P(0, -1));
  // A chord on an axis, or no sense of rotation: unchanged.
  EXPECT_EQ(Tangent(5, 0, 0, 5, 2), P(5, 0));
  EXPECT_EQ(Tangent(5, 5, 0, 5, 0), P(5, 5));
}

TEST(ArcTangent, RadiusOffTheAxesSwapsMagnitudesUnderTheChordsSigns) {
  using P = std::pair<float, float>;
  EXPECT_EQ(Tangent(-2, 3, 4, -7, 2), P(-7, 4));
  EXPECT_EQ(Tangent(2, -3, -4, 7, 3), P(7, -4));
  EXPECT_EQ(Tangent(2, 0, -4, 7, 3), P(2, 0));
  EXPECT_EQ(Tangent(2, 3, -4, 7, 0), P(2, 3));
}

TEST(ArcTangent, PlaneChoosesTheAxesAndTheEndPointAddsTheChord) {
  // XZ plane: offsets (I, K) = (0, -5), chord (X, Z) = (5, 5): the end
  // point's radius (5, 0) lies on an axis.
  FrameVector chord = Vector(5, 9, 5);
  TangentAtEnd(chord, Vector(0, 0, -5), Plane::XZ, 3);
  EXPECT_EQ(chord.x, 0);
  EXPECT_EQ(chord.y, 9);
  EXPECT_EQ(chord.z, 1);
  FrameVector start = Vector(9, -5, 5);
  TangentAtStart(start, Vector(0, 3, 4), Plane::YZ, 2);
  EXPECT_EQ(start.y, -4);
  EXPECT_EQ(start.z, 3);
}

TEST(JunctionFeed, FollowsTheAngleBetweenTheFrames) {
  EXPECT_NEAR(*JunctionFeed(Vector(10, 0), Vector(5, std::sqrt(75.0f)), 50), 200, 0.01);
  EXPECT_FLOAT_EQ(*JunctionFeed(Vector(0, 0, 2), Vector(1, 0), 100), 200);
  EXPECT_FALSE(JunctionFeed(Vector(0, 0), Vector(20, 0), 50));
  // Rounding takes this collinear pair's cosine past 1; it must not give a
  // negative feed.
  EXPECT_FALSE(JunctionFeed(Vector(5.0f, 3.12f), Vector(15.0f, 9.36f), 50));
  // Without a speed limit a full reversal stops, other corners keep 2 / (1 − cos).
  EXPECT_FLOAT_EQ(*JunctionFeed(Vector(10, 0), Vector(-10, 0), 0), 0);
  EXPECT_FLOAT_EQ(*JunctionFeed(Vector(10, 0), Vector(0, 10), 0), 2);
}

TEST(ArcFeedLimit, KeepsTheCentripetalAccelerationAtTheCoefficient) {
  EXPECT_EQ(static_cast<int>(ArcFeedLimit(Vector(0, -10), 5)), 1341);
  EXPECT_EQ(static_cast<int>(ArcFeedLimit(Vector(3, 0, 4), 5)), 670);
}

TEST(RoundTo3Decimals, ReadsBackWhatThreeDecimalsPrint) {
  EXPECT_EQ(RoundTo3Decimals(0.99955f), 1.0f);
  EXPECT_EQ(RoundTo3Decimals(-0.98481f), -0.985f);
  EXPECT_EQ(RoundTo3Decimals(1341.6407f), 1341.641f);
}

TEST(RoundedCornerCosine, ZeroLengthCountsAsARightAngle) {
  EXPECT_EQ(RoundedCornerCosine(Vector(0, 0), Vector(20, 0)), 0.0f);
  EXPECT_EQ(*JunctionFeedAt(RoundedCornerCosine(Vector(10, 0), Vector(-10, 1.76f)), 50),
            static_cast<float>(100) / (1 - RoundTo3Decimals(-0.98481f)));
}

TEST(RoundedArcFeedLimit, IsTheLimitRoundedToThreeDecimals) {
  EXPECT_EQ(RoundedArcFeedLimit(Vector(0, -10), 5), 1341.641f);
}

}  // namespace
}  // namespace h33
