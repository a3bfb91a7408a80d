#include "app/machines.h"

#include <string>

#include "format/numbers.h"

namespace h33 {

std::optional<int> FindMachinePreset(std::string_view nameOrIndex) {
  for (std::size_t i = 0; i < kMachinePresets.size(); ++i) {
    if (kMachinePresets[i].name == nameOrIndex || std::to_string(i) == nameOrIndex) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

RunParameters PresetParameters(int machineIndex) {
  const MachinePreset& preset = kMachinePresets.at(static_cast<std::size_t>(machineIndex));
  RunParameters parameters;
  parameters.SpeedLimit = preset.speedLimit;
  parameters.FeedMax = preset.feedMax;
  parameters.Acceleration = preset.acceleration;
  parameters.MachineIndex = machineIndex;
  parameters.FreeNumbering = preset.freeNumbering;
  parameters.RestoreAfterArc = preset.restoreAfterArc;
  return parameters;
}

int ReadParameterField(std::string_view text) { return ParseInt(text); }

}  // namespace h33
