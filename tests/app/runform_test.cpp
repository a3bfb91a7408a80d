// The window's method pane without a window: which controls a method uses,
// what a preset fills in, what a run takes from the form, and what a field
// becomes when the user leaves it.

#include <gtest/gtest.h>

#include "app/runform.h"

namespace h33 {
namespace {

TEST(RunForm, EachMethodUsesItsOwnControls) {
  EXPECT_TRUE(ControlsOf(MethodTab::kPtpToUp).feedFields);
  EXPECT_TRUE(ControlsOf(MethodTab::kPtpToUp).conversionOptions);
  EXPECT_TRUE(ControlsOf(MethodTab::kUpToUp).feedFields);
  EXPECT_FALSE(ControlsOf(MethodTab::kUpToUp).conversionOptions);
  // The time count needs only the acceleration.
  EXPECT_FALSE(ControlsOf(MethodTab::kTime).feedFields);
  EXPECT_FALSE(ControlsOf(MethodTab::kTime).conversionOptions);
  EXPECT_TRUE(WritesProgram(MethodTab::kPtpToUp));
  EXPECT_TRUE(WritesProgram(MethodTab::kUpToUp));
  EXPECT_FALSE(WritesProgram(MethodTab::kTime));
}

TEST(RunForm, APresetFillsTheFormAndARunTakesItBack) {
  for (int index = 0; index < static_cast<int>(kMachinePresets.size()); ++index) {
    const MachinePreset& preset = kMachinePresets[index];
    const RunParameters parameters = RunParametersOf(PresetForm(index), "деталь.ptp");
    EXPECT_EQ(parameters.inputFile, "деталь.ptp");
    EXPECT_EQ(parameters.machine.speedLimit_mm_min, preset.limits.speedLimit_mm_min);
    EXPECT_EQ(parameters.machine.feedMax_mm_min, preset.limits.feedMax_mm_min);
    EXPECT_EQ(parameters.machine.acceleration_mm_s2, preset.limits.acceleration_mm_s2);
    EXPECT_EQ(parameters.freeNumbering, preset.freeNumbering);
    EXPECT_EQ(parameters.restoreAfterArc, preset.restoreAfterArc);
    EXPECT_EQ(parameters.brakes, preset.brakes) << preset.name;
  }
  // An index the list does not have fills in "None".
  EXPECT_EQ(PresetForm(99).speedLimit, PresetForm(0).speedLimit);
}

TEST(RunForm, TheUsersValuesWinAndNoChoiceIsNone) {
  RunForm form = PresetForm(kDefaultMachineIndex);
  form.speedLimit = "75мм";
  form.feedMax = " 800";
  form.acceleration = "abc";
  form.freeNumbering = true;
  RunParameters parameters = RunParametersOf(form, "p.ptp");
  EXPECT_EQ(parameters.machine.speedLimit_mm_min, 75);
  EXPECT_EQ(parameters.machine.feedMax_mm_min, 800);
  EXPECT_EQ(parameters.machine.acceleration_mm_s2, 0);  // the conversion refuses it
  EXPECT_TRUE(parameters.freeNumbering);
  EXPECT_TRUE(parameters.brakes);
  form.machine = -1;  // nothing chosen in the list
  EXPECT_FALSE(RunParametersOf(form, "p.ptp").brakes);
}

TEST(RunForm, AFieldLeftIsANumberWithoutSignOrItsFallback) {
  EXPECT_EQ(NormaliseField("-30", 5).text, "30");
  EXPECT_FALSE(NormaliseField("-30", 5).restored);
  EXPECT_EQ(NormaliseField("007мм", 5).text, "7");
  for (const char* cleared : {"", "0", "abc", "-0"}) {
    const FieldValue value = NormaliseField(cleared, kAccelerationFallback_mm_s2);
    EXPECT_EQ(value.text, "5") << cleared;
    EXPECT_TRUE(value.restored) << cleared;
  }
  // The lowest int has no positive int: its magnitude is still shown whole.
  EXPECT_EQ(NormaliseField("-2147483648", 5).text, "2147483648");
}

}  // namespace
}  // namespace h33
