#include "app/machines.h"

#include <string>

#include "format/numbers.h"

namespace h33 {

namespace {

// Cyrillic capitals (from U+0410 "А") as the Latin letter typed for them: the
// one that looks alike, or for Ф and П the one that stands for them; 0 for
// the others, which are kept as they are.
constexpr char kLatinFor[32] = {'A', 'B', 'B', 'G', 'D', 'E', 0,   'Z', 'I', 'J', 'K',
                                'L', 'M', 'H', 'O', 'P', 'P', 'C', 'T', 'Y', 'F', 'X',
                                0,   0,   0,   0,   0,   0,   0,   0,   0,   0};

// A name in one spelling: capitals, Cyrillic letters as their Latin key.
std::string MachineKey(std::string_view name) {
  std::string key;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte < 0x80) {
      key += static_cast<char>(byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte);
      continue;
    }
    // Two-byte UTF-8 of U+0410..U+044F: D0 90..D0 BF, D1 80..D1 8F.
    const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
    int letter = -1;
    if (byte == 0xD0 && next >= 0x90 && next <= 0xBF) letter = (next - 0x90) % 32;
    if (byte == 0xD1 && next >= 0x80 && next <= 0x8F) letter = next - 0x80 + 16;
    if (letter >= 0 && kLatinFor[letter] != 0) {
      key += kLatinFor[letter];
      ++i;
    } else {
      key += static_cast<char>(byte);
    }
  }
  return key;
}

}  // namespace

std::optional<int> FindMachinePreset(std::string_view nameOrIndex) {
  const std::string typed = MachineKey(nameOrIndex);
  for (std::size_t i = 0; i < kMachinePresets.size(); ++i) {
    if (MachineKey(kMachinePresets[i].name) == typed || std::to_string(i) == nameOrIndex) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

RunParameters PresetParameters(int machineIndex) {
  const MachinePreset& preset = kMachinePresets.at(static_cast<std::size_t>(machineIndex));
  RunParameters parameters;
  parameters.machine = preset.limits;
  parameters.brakes = preset.brakes;
  parameters.freeNumbering = preset.freeNumbering;
  parameters.restoreAfterArc = preset.restoreAfterArc;
  return parameters;
}

int ReadParameterField(std::string_view text) { return ParseInt(text); }

}  // namespace h33
