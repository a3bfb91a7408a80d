#include "runparameters.h"

#include "machines.h"
#include "numbers.h"

namespace h33 {

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
