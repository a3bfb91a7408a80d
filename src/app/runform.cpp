#include "app/runform.h"

#include <cstdlib>

namespace h33 {

MethodControls ControlsOf(MethodTab method) {
  return {.feedFields = WritesProgram(method), .conversionOptions = method == MethodTab::kPtpToUp};
}

bool WritesProgram(MethodTab method) {
  return method == MethodTab::kPtpToUp || method == MethodTab::kUpToUp;
}

RunForm PresetForm(int machineIndex) {
  const bool known = machineIndex > 0 && machineIndex < static_cast<int>(kMachinePresets.size());
  const MachinePreset& preset = kMachinePresets[known ? machineIndex : 0];
  return {.speedLimit = std::to_string(preset.limits.speedLimit_mm_min),
          .feedMax = std::to_string(preset.limits.feedMax_mm_min),
          .acceleration = std::to_string(preset.limits.acceleration_mm_s2),
          .machine = machineIndex,
          .freeNumbering = preset.freeNumbering,
          .restoreAfterArc = preset.restoreAfterArc};
}

RunParameters RunParametersOf(const RunForm& form, const std::filesystem::path& input) {
  RunParameters parameters;
  parameters.inputFile = input;
  parameters.machine.speedLimit_mm_min = ReadParameterField(form.speedLimit);
  parameters.machine.feedMax_mm_min = ReadParameterField(form.feedMax);
  parameters.machine.acceleration_mm_s2 = ReadParameterField(form.acceleration);
  // No preset chosen counts as "None".
  const bool known = form.machine >= 0 && form.machine < static_cast<int>(kMachinePresets.size());
  parameters.brakes = known && kMachinePresets[form.machine].brakes;
  parameters.freeNumbering = form.freeNumbering;
  parameters.restoreAfterArc = form.restoreAfterArc;
  return parameters;
}

FieldValue NormaliseField(std::string_view text, int fallback) {
  // In long long: the magnitude of the lowest int does not fit an int.
  const long long value = std::llabs(ReadParameterField(text));
  if (value == 0) return {std::to_string(fallback), true};
  return {std::to_string(value), false};
}

}  // namespace h33
