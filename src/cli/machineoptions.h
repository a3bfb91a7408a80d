#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "methods/runparameters.h"

namespace CLI {
class App;
}

namespace h33 {

// The machine values of the commands that write programs (convert, correct,
// split): a machine preset, and each value the user gives explicitly over it.
struct MachineOptions {
  std::string machine;
  int speedLimit = 0;
  int feedMax = 0;
  int acceleration = 0;
};

// --machine, --speed-limit, --feed-max and --accel, each with one range and
// one wording in every command.
void AddMachineOptions(CLI::App& command, MachineOptions& options);

// The preset's parameters with the values given explicitly over them;
// nothing after the reason on `err`.
std::optional<RunParameters> ChooseMachine(const MachineOptions& options, const CLI::App& command,
                                           std::ostream& err);

}  // namespace h33
