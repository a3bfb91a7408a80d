#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/runinput.h"
#include "cli/commands.h"
#include "cli/consoledialogs.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "format/pathtext.h"
#include "methods/timecount.h"
#include "methods/timemessage.h"

namespace h33 {
namespace {

struct TimeOptions {
  std::vector<std::string> files;
  int acceleration = kDefaultAcceleration;
  bool json = false;
};

// The time as the report shows it: whole seconds and minutes to the hundredth.
std::string TimeJson(const std::string& file, float seconds) {
  nlohmann::ordered_json json;
  json["file"] = file;
  json["seconds"] = std::llround(double{seconds});
  json["minutes"] = AsShown(double{seconds} / 60);
  return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

int RunTime(std::string file, const TimeOptions& options, CliStreams& streams) {
  const std::string shown = file;
  if (!streams.files.TakeInput(file, streams.err)) return kExitBadInput;
  ConsoleDialogs dialogs(streams.out, streams.err);
  const std::optional<TimeCount> time =
      CheckAndCountTime(PathFromText(file), options.acceleration, dialogs);
  if (!time) return kExitBadInput;
  if (time->status != TimeCountStatus::kCounted) {
    ReportUncounted(PathFromText(file), *time, streams.err);
    return kExitBadInput;
  }
  streams.out << (options.json ? TimeJson(shown, time->seconds) : TimeMessage(time->seconds))
              << '\n';
  return kExitOk;
}

}  // namespace

CommandRunner AddTimeCommand(CLI::App& app, CliStreams& streams) {
  auto options = std::make_shared<TimeOptions>();
  CLI::App* command = app.add_subcommand("time", "Время выполнения программы H33");
  command->add_option("FILE", options->files, "программы H33 (*.up), одна или несколько")
      ->required();
  AddAccelerationOption(*command, options->acceleration);
  command->add_flag("--json", options->json, "время в формате JSON: файл, секунды, минуты");
  return [options, &streams]() {
    const auto time = [&](const std::string& file) { return RunTime(file, *options, streams); };
    return RunForEachFile(options->files, streams.out, streams.err, !options->json, time);
  };
}

}  // namespace h33
