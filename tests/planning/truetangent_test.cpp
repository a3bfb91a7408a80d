#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "planning/truetangent.h"

namespace h33 {
namespace {

FrameVector Vector(float x, float y, float z = 0) { return {x, y, z, true}; }

// The direction only: the vector scaled to unit length in the plane's axes
// and rounded to three decimals, so that the expectations read as angles.
struct Direction {
  float first, second;
  bool operator==(const Direction&) const = default;
};

Direction Unit(const FrameVector& v, Plane plane) {
  const PlaneAxes axes = AxesOf(plane);
  const float length = std::hypot(v.*axes.first, v.*axes.second);
  const auto round = [](float value) { return std::round(value * 1000) / 1000 + 0.0f; };
  return {round(v.*axes.first / length), round(v.*axes.second / length)};
}

Direction AtStart(FrameVector chord, const FrameVector& offsets, int sense,
                  Plane plane = Plane::XY) {
  TrueTangentAtStart(chord, offsets, plane, sense);
  return Unit(chord, plane);
}

Direction AtEnd(FrameVector chord, const FrameVector& offsets, int sense,
                Plane plane = Plane::XY) {
  TrueTangentAtEnd(chord, offsets, plane, sense);
  return Unit(chord, plane);
}

TEST(TrueTangent, QuarterArcsStartAndEndAlongTheirOwnTangents) {
  // Clockwise from the top of the circle to its right: +X, then -Y.
  EXPECT_EQ(AtStart(Vector(5, -5), Vector(0, 5), 2), (Direction{1, 0}));
  EXPECT_EQ(AtEnd(Vector(5, -5), Vector(0, 5), 2), (Direction{0, -1}));
  // Counter-clockwise from the right to the top: +Y, then -X.
  EXPECT_EQ(AtStart(Vector(-5, 5), Vector(5, 0), 3), (Direction{0, 1}));
  EXPECT_EQ(AtEnd(Vector(-5, 5), Vector(5, 0), 3), (Direction{-1, 0}));
}

// An arc across an axis: its tangent's signs are not its chord's.
TEST(TrueTangent, AnArcAcrossAnAxisTurnsPastItsChord) {
  // Clockwise half circle from the right over the bottom to the left: it
  // starts along -Y and ends along +Y, while its chord runs along -X.
  EXPECT_EQ(AtStart(Vector(-20, 0), Vector(10, 0), 2), (Direction{0, -1}));
  EXPECT_EQ(AtEnd(Vector(-20, 0), Vector(10, 0), 2), (Direction{0, 1}));
  // Counter-clockwise from 300° to 60°: starts up and to the right, ends up and to the left.
  const float c = 5.0f, s = 8.660254f;
  EXPECT_EQ(AtStart(Vector(0, 2 * s), Vector(c, -s), 3), (Direction{0.866f, 0.5f}));
  EXPECT_EQ(AtEnd(Vector(0, 2 * s), Vector(c, -s), 3), (Direction{-0.866f, 0.5f}));
}

TEST(TrueTangent, OffsetsWrittenWithoutSignsAreReadAsTheArcMeansThem) {
  // The clockwise quarter from the left to the top, its I written as +10:
  // only I = -10 puts the end on the circle; it starts along +Y.
  EXPECT_EQ(AtStart(Vector(10, 10), Vector(10, 0), 2), (Direction{0, 1}));
  EXPECT_EQ(AtStart(Vector(10, 10), Vector(-10, 0), 2), (Direction{0, 1}));
}

// G02 turns clockwise seen from the normal's positive end: in the XZ plane,
// taken as X, Z, that is counter-clockwise.
TEST(TrueTangent, ThePlaneChoosesTheAxesAndTheirSense) {
  EXPECT_EQ(AtStart(Vector(-5, 9, 5), Vector(5, 0, 0), 2, Plane::XZ), (Direction{0, 1}));
  EXPECT_EQ(AtStart(Vector(-5, 9, 5), Vector(5, 0, 0), 3, Plane::XZ), (Direction{0, -1}));
  EXPECT_EQ(AtStart(Vector(9, -5, 5), Vector(0, 5, 0), 3, Plane::YZ), (Direction{0, 1}));
  // The axis out of the plane is left as it was on a flat arc.
  FrameVector chord = Vector(-5, 9, 5);
  TrueTangentAtStart(chord, Vector(5, 0, 0), Plane::XZ, 2);
  EXPECT_EQ(chord.y, 9);
}

TEST(TrueTangent, AHelixRisesOverItsLengthInThePlane) {
  // A counter-clockwise half turn of radius 10 rising 2·π·10 / 2 = 31.4 mm:
  // its tangent rises at 45°.
  FrameVector chord = Vector(-20, 0, static_cast<float>(10 * std::numbers::pi));
  TrueTangentAtStart(chord, Vector(10, 0), Plane::XY, 3);
  EXPECT_NEAR(chord.x, 0, 1e-4);
  EXPECT_NEAR(chord.z / chord.y, 1, 1e-4);
}

TEST(TrueTangent, WithoutASenseOrARadiusTheChordStays) {
  FrameVector chord = Vector(5, -5);
  TrueTangentAtStart(chord, Vector(0, 5), Plane::XY, 0);
  EXPECT_EQ(chord.x, 5);
  EXPECT_EQ(chord.y, -5);
  TrueTangentAtStart(chord, Vector(0, 0), Plane::XY, 2);
  EXPECT_EQ(chord.x, 5);
  EXPECT_EQ(chord.y, -5);
}

}  // namespace
}  // namespace h33
