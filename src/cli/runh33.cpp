#include "cli/runh33.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>
#include <string>
#include <ostream>
#include <utility>

#include "cli/commands.h"
#include "cli/helpformat.h"

namespace h33 {

namespace {

// A report is the whole point of most commands: one that did not reach
// standard output in full (a full disk, a closed pipe, a closed stream) fails
// the run, whatever the command found. Standard output is buffered, so the
// failure may only show when it is flushed; hence once, here, at the end.
int Delivered(int code, std::ostream& out, const std::ostream& messages, bool quiet,
              std::ostream& err) {
  out.flush();
  if (out && (quiet || messages)) return code;
  err << kStandardOutputFailed << '\n';
  return kExitBadInput;
}

}  // namespace

int RunH33(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"h33 — подготовка управляющих программ для УЧПУ H33", "h33"};
  SpeakRussianInHelp(app);
  app.require_subcommand(1);
  // CLI11 takes "/x" for an option on Windows: "/Programs/p.up", a name
  // rooted on the current drive, would vanish. Options are "-x" everywhere.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", std::string("h33 ") + H33_VERSION,
                       "показать версию программы и выйти");
  bool quiet = false;
  app.add_flag("-q,--quiet", quiet, "только ошибки: ни сообщений, ни результатов")
      ->configurable(false);
  // -q is taken after the command's name as well, anywhere among its arguments.
  app.fallthrough();
  // Messages go to standard output through a stream of their own, which
  // --quiet leaves without a buffer to write to.
  std::ostream messages(out.rdbuf());
  ProgramFiles files;
  CliStreams streams{messages, err, files, out};

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
  add(AddImportCommand);
  add(AddCorrectCommand);
  add(AddSplitCommand);
  add(AddDiffCommand);
  add(AddVerifyCommand);

  if (const std::optional<int> code = ParseCommandLine(app, args, out, err)) {
    return Delivered(*code, out, messages, quiet, err);
  }
  if (quiet) messages.rdbuf(nullptr);
  for (auto& [command, runner] : commands) {
    if (command->parsed()) return Delivered(runner(), out, messages, quiet, err);
  }
  return kExitBadInput;
}

namespace {

// The rest of `text` after `marker`, or nothing when it does not hold it.
std::optional<std::string> After(const std::string& text, const std::string& marker) {
  const std::size_t at = text.find(marker);
  if (at == std::string::npos) return std::nullopt;
  return text.substr(at + marker.size());
}

template <typename Kind>
bool Is(const CLI::Error& error) {
  return dynamic_cast<const Kind*>(&error) != nullptr;
}

// The option parser's complaints in the language of every other message.
std::string InRussian(const CLI::Error& error) {
  const std::string text = error.what();
  const std::string first = text.substr(0, text.find(' '));
  if (Is<CLI::RequiredError>(error)) {
    if (text.find("subcommand") != std::string::npos) return "не задана команда";
    return "не задан обязательный параметр " + first;
  }
  if (Is<CLI::ExtrasError>(error)) {
    if (const auto extras = After(text, ": ")) return "лишние аргументы: " + *extras;
  }
  if (Is<CLI::ValidationError>(error)) {
    // "--accel: Value 0 not in range 1 to 1000000"
    const auto value = After(text, "Value ");
    const auto range = After(text, " not in range ");
    if (value && range) {
      std::string bounds = *range;
      if (const std::size_t to = bounds.find(" to "); to != std::string::npos) {
        bounds.replace(to, 4, "-");
      }
      return text.substr(0, text.find(':')) + ": значение " + value->substr(0, value->find(' ')) +
             " вне диапазона " + bounds;
    }
  }
  if (Is<CLI::ConversionError>(error) || Is<CLI::ArgumentMismatch>(error)) {
    return "неверное значение параметра: " + text;
  }
  if (Is<CLI::RequiresError>(error)) {
    if (const auto needed = After(text, " requires ")) {
      return first + " задается только вместе с " + *needed;
    }
  }
  return text;
}

}  // namespace

std::optional<int> ParseCommandLine(CLI::App& app, const std::vector<std::string>& args,
                                    std::ostream& out, std::ostream& err) {
  app.failure_message([](const CLI::App* command, const CLI::Error& error) {
    return InRussian(error) + "\nПодробнее: " + command->get_name() + " --help\n";
  });
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
