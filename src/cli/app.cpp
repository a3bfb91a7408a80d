#include "app.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>
#include <utility>

#include "commands.h"

namespace h33 {

int RunH33(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"h33 — подготовка управляющих программ для УЧПУ H33", "h33"};
  app.require_subcommand(1);
  ProgramFiles files;
  CliStreams streams{out, err, files};

  std::vector<std::pair<CLI::App*, CommandRunner>> commands;
  const auto add = [&](CommandRunner (*registrar)(CLI::App&, CliStreams&)) {
    const std::size_t before = app.get_subcommands({}).size();
    CommandRunner runner = registrar(app, streams);
    commands.emplace_back(app.get_subcommands({}).at(before), std::move(runner));
  };
  add(AddTimeCommand);
  add(AddCheckCommand);
  add(AddInfoCommand);
  add(AddConvertCommand);
  add(AddCorrectCommand);
  add(AddSplitCommand);
#ifdef H33_WITH_PLOT
  add(AddPlotCommand);
#endif

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error, out, err);
    return code == 0 ? kExitOk : kExitBadInput;
  }
  for (auto& [command, runner] : commands) {
    if (command->parsed()) return runner();
  }
  return kExitBadInput;
}

}  // namespace h33
