#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "methods/runparameters.h"

namespace h33 {

// The machine tools the shop programs for, and the parameters each presets.
struct MachinePreset {
  std::string_view name;
  MachineLimits limits;
  bool freeNumbering;
  bool restoreAfterArc;
};

// Index 0, "None", converts without braking.
inline constexpr std::array<MachinePreset, 5> kMachinePresets{{
    {"None", {100, 1200, 50}, false, true},
    {"ФП-9", {50, 900, 5}, true, false},
    {"ФП-17", {100, 1200, 50}, false, false},
    {"6М13СН", {50, 1000, 5}, false, false},
    {"МА655А2", {100, 1000, 50}, false, false},
}};

inline constexpr int kDefaultMachineIndex = 2;

// The index of a preset by its name or its index. Names are taken as people
// type them: in any letter case, with Latin letters for the Cyrillic ones
// they look like or stand for ("6M13CH", "fp-17", "none").
std::optional<int> FindMachinePreset(std::string_view nameOrIndex);

// The values a machine preset sets, names left empty.
RunParameters PresetParameters(int machineIndex);

// An edit field's number: leading blanks, an optional sign, the digits up to
// the first other character; no digits give 0, so "12мм" is 12.
int ReadParameterField(std::string_view text);

}  // namespace h33
