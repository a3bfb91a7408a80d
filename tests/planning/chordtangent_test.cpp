#include <gtest/gtest.h>

#include "planning/chordtangent.h"

namespace h33 {
namespace {

TEST(ChordTangent, GivesTheArcsDirectionWhereItMeetsTheNextFrame) {
  // A clockwise quarter from the top of the circle to its right: +X at the start, -Y at the end.
  float u1 = 10, u2 = -10;
  ChordTangent(u1, u2, 1, 0, 10, 2);
  EXPECT_EQ(u1, 10);
  EXPECT_EQ(u2, 0);
  u1 = 10, u2 = -10;
  ChordTangent(u1, u2, 2, 0, 10, 2);
  EXPECT_EQ(u1, 0);
  EXPECT_EQ(u2, -10);
  // Counter-clockwise from the bottom to the right: +Y at the end.
  u1 = 5, u2 = 5;
  ChordTangent(u1, u2, 2, 0, -5, 3);
  EXPECT_EQ(u1, 0);
  EXPECT_EQ(u2, 5);
}

TEST(SignOf, HasADeadZoneJustAboveZero) {
  EXPECT_EQ(SignOf(-1e-12f), -1);
  EXPECT_EQ(SignOf(0), 0);
  EXPECT_EQ(SignOf(1e-9f), 0);
  EXPECT_EQ(SignOf(2e-8f), 1);
}

TEST(ChordTangent, PlaneChoosesTheAxes) {
  // XZ plane, clockwise quarter from the top: the start runs along +X.
  FrameVector chord{10, 7, -10, true};
  ChordTangentAtStart(chord, FrameVector{0, 3, 10, true}, Plane::XZ, 2);
  EXPECT_EQ(chord.x, 10);
  EXPECT_EQ(chord.y, 7);
  EXPECT_EQ(chord.z, 0);
}

}  // namespace
}  // namespace h33
