#include "machines.h"

#include <string>

namespace h33 {

std::optional<int> FindMachinePreset(std::string_view nameOrIndex) {
  for (std::size_t i = 0; i < kMachinePresets.size(); ++i) {
    if (kMachinePresets[i].name == nameOrIndex || std::to_string(i) == nameOrIndex) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

}  // namespace h33
