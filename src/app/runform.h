#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/machines.h"
#include "methods/runparameters.h"

namespace h33 {

// The window's method tabs, in their order: a tab's index is its method.
enum class MethodTab { kPtpToUp = 0, kUpToUp = 1, kTime = 2 };

// The window's method pane as plain values: the parameter fields' texts and
// the choices. The window shows a form and reads one back; what the values
// mean is decided here, where it is tested without a window.
struct RunForm {
  std::string speedLimit;    // mm/min, as typed
  std::string feedMax;       // mm/min, as typed
  std::string acceleration;  // mm/s², as typed
  int machine = kDefaultMachineIndex;
  bool freeNumbering = false;
  bool restoreAfterArc = false;
};

// The controls a tab's method uses; the window disables the others.
struct MethodControls {
  bool feedFields;         // the speed limit and FeedMax: the methods that write feeds
  bool conversionOptions;  // the numbering and the restore after arcs
};
MethodControls ControlsOf(MethodTab method);

// Whether the method writes a program, whose name is asked for first.
bool WritesProgram(MethodTab method);

// The form as a machine preset fills it; an index out of range is "None".
RunForm PresetForm(int machineIndex);

// The parameters of a run of `input` as the form states them.
RunParameters RunParametersOf(const RunForm& form, const std::filesystem::path& input);

// A parameter field's text once the user leaves it: its number without the
// sign, or the fallback where it reads as 0. `restored` tells that the
// fallback stands in for what was typed (the window selects it, so that
// what is typed next replaces it).
struct FieldValue {
  std::string text;
  bool restored = false;
};
FieldValue NormaliseField(std::string_view text, int fallback);

// The fallbacks of the three fields.
inline constexpr int kSpeedLimitFallback_mm_min = 20;
inline constexpr int kFeedMaxFallback_mm_min = 240;
inline constexpr int kAccelerationFallback_mm_s2 = 5;

}  // namespace h33
