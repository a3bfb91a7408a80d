#pragma once

#include <functional>
#include <iosfwd>

#include "cli/programfiles.h"

namespace CLI {
class App;
}

namespace h33 {

struct CliStreams {
  std::ostream& out;  // messages and results; silent under --quiet
  std::ostream& err;
  ProgramFiles& files;  // the run's files from and to standard streams, pipes, FIFOs
  std::ostream& program;  // standard output itself, for a program written with -o -
};

// Each subcommand registers its options on the app and returns what runs it
// once the arguments are parsed.
using CommandRunner = std::function<int()>;

CommandRunner AddTimeCommand(CLI::App& app, CliStreams& streams);
CommandRunner AddCheckCommand(CLI::App& app, CliStreams& streams);
CommandRunner AddInfoCommand(CLI::App& app, CliStreams& streams);
CommandRunner AddConvertCommand(CLI::App& app, CliStreams& streams);
CommandRunner AddImportCommand(CLI::App& app, CliStreams& streams);
CommandRunner AddCorrectCommand(CLI::App& app, CliStreams& streams);
CommandRunner AddSplitCommand(CLI::App& app, CliStreams& streams);
CommandRunner AddDiffCommand(CLI::App& app, CliStreams& streams);
CommandRunner AddVerifyCommand(CLI::App& app, CliStreams& streams);

}  // namespace h33
