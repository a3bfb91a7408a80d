#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>

#include "app/runinput.h"
#include "cli/commands.h"
#include "cli/consoledialogs.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "methods/timecount.h"
#include "methods/timemessage.h"

namespace h33 {

CommandRunner AddTimeCommand(CLI::App& app, CliStreams& streams) {
  struct Options {
    std::string file;
    int acceleration = kDefaultAcceleration;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand("time", "Время выполнения программы H33");
  command->add_option("FILE", options->file, "программа H33 (*.up)")->required();
  AddAccelerationOption(*command, options->acceleration);

  return [options, &streams]() {
    if (!streams.files.TakeInput(options->file, streams.err)) return kExitBadInput;
    ConsoleDialogs dialogs(streams.out, streams.err);
    if (!CheckRunInput(options->file, dialogs)) return kExitBadInput;
    try {
      TTimeCounter counter(options->file, options->acceleration);
      const auto seconds = counter.CountTime();
      if (!seconds) {
        CheckReadable(options->file, streams.err);
        return kExitBadInput;
      }
      streams.out << TimeMessage(*seconds) << '\n';
      return kExitOk;
    } catch (const IoError& error) {
      streams.err << error.what() << '\n';
      return kExitBadInput;
    }
  };
}

}  // namespace h33
