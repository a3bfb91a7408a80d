#include "cli/machineoptions.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "app/machines.h"
#include "cli/options.h"
#include "format/feedcode.h"

namespace h33 {
namespace {

std::string MachineNames() {
  std::string names;
  for (const MachinePreset& preset : kMachinePresets) {
    if (!names.empty()) names += ", ";
    names += preset.name;
  }
  return names;
}

}  // namespace

void AddMachineOptions(CLI::App& command, MachineOptions& options) {
  options.machine = kMachinePresets[kDefaultMachineIndex].name;
  command.add_option("--machine", options.machine,
                     "станок: " + MachineNames() + " или его номер 0-" +
                         std::to_string(kMachinePresets.size() - 1) +
                         "; задает остальные параметры (по умолчанию " + options.machine + ")");
  command
      .add_option("--speed-limit", options.speedLimit,
                  "подача на полном развороте, мм/мин, 0-9999 (по умолчанию - из станка)")
      ->check(DecimalNumber())
      ->check(InRange(0, kLargestCodedFeed));
  command
      .add_option("--feed-max", options.feedMax,
                  "наибольшая подача, мм/мин, 1-9999 (по умолчанию - из станка)")
      ->check(DecimalNumber());
  command
      .add_option("--accel", options.acceleration,
                  "ускорение, мм/с², не меньше 1 (по умолчанию - из станка)")
      ->check(DecimalNumber())
      ->check(InRange(1, 1000000));
}

std::optional<RunParameters> ChooseMachine(const MachineOptions& options, const CLI::App& command,
                                           std::ostream& err) {
  const std::optional<int> machine = FindMachinePreset(options.machine);
  if (!machine) {
    err << "--machine: нет станка " << options.machine << "; известны " << MachineNames()
        << " (или их номера 0-" << kMachinePresets.size() - 1 << ")\n";
    return std::nullopt;
  }
  RunParameters parameters = PresetParameters(*machine);
  const auto given = [&command](const char* name) { return command.count(name) > 0; };
  if (given("--speed-limit")) parameters.machine.speedLimit_mm_min = options.speedLimit;
  if (given("--feed-max")) parameters.machine.feedMax_mm_min = options.feedMax;
  if (given("--accel")) parameters.machine.acceleration_mm_s2 = options.acceleration;
  if (parameters.machine.feedMax_mm_min > kLargestCodedFeed) {
    err << "--feed-max: подача " << parameters.machine.feedMax_mm_min
        << " мм/мин не записывается четырёхзначным кодом подачи; наибольшая - " << kLargestCodedFeed
        << " мм/мин\n";
    return std::nullopt;
  }
  if (parameters.machine.feedMax_mm_min < 1) {
    err << "--feed-max: наибольшая подача - не меньше 1 мм/мин\n";
    return std::nullopt;
  }
  return parameters;
}

}  // namespace h33
