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
  bool brakes;  // "None" converts without braking
};

inline constexpr std::array<MachinePreset, 5> kMachinePresets{{
    {.name = "None", .limits = {100, 1200, 50}, .freeNumbering = false, .restoreAfterArc = true, .brakes = false},
    {.name = "ФП-9", .limits = {50, 900, 5}, .freeNumbering = true, .restoreAfterArc = false, .brakes = true},
    {.name = "ФП-17", .limits = {100, 1200, 50}, .freeNumbering = false, .restoreAfterArc = false, .brakes = true},
    {.name = "6М13СН", .limits = {50, 1000, 5}, .freeNumbering = false, .restoreAfterArc = false, .brakes = true},
    {.name = "МА655А2", .limits = {100, 1000, 50}, .freeNumbering = false, .restoreAfterArc = false, .brakes = true},
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
