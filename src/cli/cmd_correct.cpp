#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/machines.h"
#include "app/runinput.h"
#include "cli/commands.h"
#include "cli/consoledialogs.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "format/textformat.h"
#include "methods/timecount.h"
#include "methods/uptoup.h"

namespace h33 {
namespace {

// The largest feed a four-digit feed code carries.
constexpr int kLargestCodedFeed = 9999;

constexpr const char* kFailed = "Ошибка прееобразования файла УП:\n %s \n - обработка прервана....";
constexpr const char* kTime = "Файл УП ->\n %s \n Время выполнения УП = %.2lf (мин)";

struct Options {
  std::string input;
  std::string output;
  std::string machine = std::to_string(kDefaultMachineIndex);
  int speedLimit = 0;
  int feedMax = 0;
  int acceleration = kDefaultAcceleration;
};

struct Parameters {
  int speedLimit;
  int feedMax;
  int acceleration;
};

std::string MachineNames() {
  std::string names;
  for (const MachinePreset& preset : kMachinePresets) {
    if (!names.empty()) names += ", ";
    names += preset.name;
  }
  return names;
}

// The machine's preset, with what the options state explicitly on top.
std::optional<Parameters> ChooseParameters(const Options& options, const CLI::App& command,
                                           std::ostream& err) {
  const std::optional<int> machine = FindMachinePreset(options.machine);
  if (!machine) {
    err << "--machine: нет станка " << options.machine << "; известны " << MachineNames()
        << " (или их номера 0-" << kMachinePresets.size() - 1 << ")\n";
    return std::nullopt;
  }
  const MachinePreset& preset = kMachinePresets[static_cast<std::size_t>(*machine)];
  const auto given = [&](const char* name) { return command.get_option(name)->count() > 0; };
  Parameters chosen{given("--speed-limit") ? options.speedLimit : preset.speedLimit,
                    given("--feed-max") ? options.feedMax : preset.feedMax,
                    given("--accel") ? options.acceleration : preset.acceleration};
  if (chosen.feedMax > kLargestCodedFeed) {
    err << "--feed-max: подача " << chosen.feedMax
        << " мм/мин не записывается четырёхзначным кодом подачи; наибольшая - "
        << kLargestCodedFeed << " мм/мин\n";
    return std::nullopt;
  }
  return chosen;
}

int ReportTime(const std::string& output, const std::string& input, int acceleration,
               ConsoleDialogs& dialogs, std::ostream& err) {
  TTimeCounter counter(output, acceleration);
  const std::optional<float> seconds = counter.CountTime();
  if (!seconds) {
    CheckReadable(output, err);
    return kExitBadInput;
  }
  const double minutes = double{*seconds} / 60;
  dialogs.Ask(DialogKind::Information, Sprintf(kTime, input.c_str(), minutes), {Button::Yes});
  return kExitOk;
}

int Correct(Options options, const CLI::App& command, CliStreams& streams) {
  const std::string shownInput = options.input;
  bool toStandardOutput = false;
  if (!streams.files.TakeInput(options.input, streams.err) ||
      !streams.files.TakeOutput(options.output, streams.err, toStandardOutput)) {
    return kExitBadInput;
  }
  // Standard output carries the program itself; the messages go aside.
  std::ostream& messages = toStandardOutput ? streams.err : streams.out;
  ConsoleDialogs dialogs(messages, streams.err);
  if (!CheckRunInput(options.input, dialogs)) return kExitBadInput;
  const std::optional<Parameters> parameters = ChooseParameters(options, command, streams.err);
  if (!parameters) return kExitBadInput;
  TUpToUp correction(options.input, options.output, parameters->speedLimit,
                     parameters->acceleration, parameters->feedMax, dialogs);
  const int result = correction.Run();
  if (result < 0) {
    messages << correction.BrakingReport();
    dialogs.Ask(DialogKind::Error, Sprintf(kFailed, shownInput.c_str()), {Button::Yes});
    return result == TUpToUp::kBrakingFailed ? kExitFailed : kExitBadInput;
  }
  try {
    const int reported =
        ReportTime(options.output, shownInput, parameters->acceleration, dialogs, streams.err);
    if (reported != kExitOk || !toStandardOutput) return reported;
  } catch (const IoError& error) {
    streams.err << error.what() << '\n';
    return kExitBadInput;
  }
  return streams.files.CopyToStandardOutput(options.output, streams.out, streams.err)
             ? kExitOk
             : kExitBadInput;
}

}  // namespace

CommandRunner AddCorrectCommand(CLI::App& app, CliStreams& streams) {
  auto options = std::make_shared<Options>();
  CLI::App* command =
      app.add_subcommand("correct", "Пересчёт торможения программы H33 (Up->up)");
  command->add_option("IN", options->input, "программа H33 (*.up)")->required();
  command->add_option("-o,--output", options->output,
                      "скорректированная программа; - пишет ее на стандартный вывод")
      ->required();
  command->add_option("--speed-limit", options->speedLimit,
                      "подача на полном развороте, мм/мин (по умолчанию - из набора станка)")
      ->check(CLI::Range(0, 1000000));
  command->add_option("--feed-max", options->feedMax,
                      "наибольшая подача, мм/мин, до 9999 (по умолчанию - из набора станка)")
      ->check(CLI::Range(1, 1000000));
  AddAccelerationOption(*command, options->acceleration);
  command->add_option("--machine", options->machine,
                      "станок: " + MachineNames() + " или номер; по умолчанию " +
                          std::string(kMachinePresets[kDefaultMachineIndex].name));
  return [options, command, &streams]() { return Correct(*options, *command, streams); };
}

}  // namespace h33
