#include "cli/runh33.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <ostream>
#include <utility>

#include "cli/commands.h"

namespace h33 {

int RunH33(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"h33 — подготовка управляющих программ для УЧПУ H33", "h33"};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("h33 ") + H33_VERSION);
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

  if (const std::optional<int> code = ParseCommandLine(app, args, out, err)) return *code;
  for (auto& [command, runner] : commands) {
    if (command->parsed()) return runner();
  }
  return kExitBadInput;
}

std::optional<int> ParseCommandLine(CLI::App& app, const std::vector<std::string>& args,
                                    std::ostream& out, std::ostream& err) {
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
    return std::nullopt;
  } catch (const CLI::ParseError& error) {
    // --help is such an "error" too, and a success.
    return app.exit(error, out, err) == 0 ? kExitOk : kExitBadInput;
  }
}

}  // namespace h33
