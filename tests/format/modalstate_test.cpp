#include <gtest/gtest.h>

#include <string_view>

#include "format/modalstate.h"

namespace h33 {
namespace {

ModalState AfterLines(std::initializer_list<std::string_view> lines) {
  ModalState state;
  for (const std::string_view line : lines) state.TakeLine(line);
  return state;
}

TEST(ModalState, StartsAtG01G02XyIncrementalWithNoPlaneStated) {
  const ModalState state;
  EXPECT_EQ(state.Motion(), 1);
  EXPECT_FALSE(state.Rapid());
  EXPECT_FALSE(state.Circular());
  EXPECT_EQ(state.ArcSense(), 2);
  EXPECT_EQ(state.ActivePlane(), Plane::XY);
  EXPECT_EQ(state.PlaneCode(), 0);
  EXPECT_TRUE(state.Incremental());
  EXPECT_FALSE(ModalState(DistanceMode::kAbsolute).Incremental());
}

TEST(ModalState, LineCodesAreSubstringsAnywhere) {
  EXPECT_EQ(AfterLines({"N001X+000100G03\n"}).ArcSense(), 3);
  EXPECT_EQ(AfterLines({"N001X+G021\n"}).Motion(), 2);  // "G021" holds "G02"
  // Not the substring: nothing stated.
  for (const std::string_view line : {"N001G3X+000100\n", "N001G 03\n", "N001g03\n", "G0", "G"}) {
    const ModalState state = AfterLines({"G18G02\n", line});
    EXPECT_EQ(state.ArcSense(), 2) << line;
    EXPECT_EQ(state.Motion(), 2) << line;
    EXPECT_EQ(state.ActivePlane(), Plane::XZ) << line;
  }
}

TEST(ModalState, LowerCodeWinsInAGroup) {
  const ModalState both = AfterLines({"N001G03G02X+000100\n"});
  EXPECT_EQ(both.Motion(), 2);
  EXPECT_EQ(both.ArcSense(), 2);
  const ModalState linear = AfterLines({"N001G03G01\n"});
  EXPECT_EQ(linear.Motion(), 1);
  EXPECT_EQ(linear.ArcSense(), 3);  // the sense is a group of its own
  EXPECT_EQ(AfterLines({"G19G18\n"}).ActivePlane(), Plane::XZ);
  EXPECT_EQ(AfterLines({"G19G18G17\n"}).PlaneCode(), 17);
  EXPECT_EQ(AfterLines({"G19\n"}).PlaneCode(), 19);
}

TEST(ModalState, G00GivesWayToAnyInterpolationCode) {
  EXPECT_TRUE(AfterLines({"G02\n", "G00X1\n"}).Rapid());
  EXPECT_EQ(AfterLines({"G02\n", "G00X1\n"}).Motion(), 2);  // held under the rapid
  EXPECT_FALSE(AfterLines({"G00G03\n"}).Rapid());
  EXPECT_FALSE(AfterLines({"G03G00\n"}).Rapid());
  EXPECT_FALSE(AfterLines({"G00\n", "G01\n"}).Rapid());
  EXPECT_TRUE(AfterLines({"G00\n", "X1\n", "G17\n"}).Rapid());  // modal
}

TEST(ModalState, CodesReadAsNumbersTakeEffectInTheirOrder) {
  ModalState state(DistanceMode::kAbsolute);
  for (const int code : {91, 2, 1}) state.TakeCode(code);
  EXPECT_EQ(state.Motion(), 1);  // the last one, not the lowest
  EXPECT_EQ(state.ArcSense(), 2);
  EXPECT_TRUE(state.Incremental());
  state.TakeCode(3);
  EXPECT_TRUE(state.Circular());
  state.TakeCode(0);
  EXPECT_FALSE(state.Circular());  // rapid over G03
  for (const int code : {4, 40, 92, -1, 1000}) state.TakeCode(code);
  EXPECT_TRUE(state.Rapid());
  EXPECT_EQ(state.Motion(), 3);
  state.TakeCode(90);
  EXPECT_FALSE(state.Incremental());
}

TEST(ModalState, SingleStepsFollowTheLineRules) {
  EXPECT_EQ(ModalState::ArcSenseAfter(ModalCodes("N1G03G02\n"), 3), 2);
  EXPECT_EQ(ModalState::ArcSenseAfter(ModalCodes("N1G03\n"), 2), 3);
  EXPECT_EQ(ModalState::ArcSenseAfter(ModalCodes("N1G01X1\n"), 0), 0);  // a value of the caller's own holds
  EXPECT_EQ(ModalState::PlaneAfter(ModalCodes("N1G19G18\n"), Plane::XY), Plane::XZ);
  EXPECT_EQ(ModalState::PlaneAfter(ModalCodes("N1X1\n"), Plane::YZ), Plane::YZ);
  EXPECT_TRUE(ModalCodes("N1G03X1\n").StatesInterpolation());
  EXPECT_FALSE(ModalCodes("N1G00G17G40X1\n").StatesInterpolation());
}

}  // namespace
}  // namespace h33
