#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/runinput.h"
#include "cli/commands.h"
#include "cli/consoledialogs.h"
#include "cli/machineoptions.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "methods/messages.h"
#include "methods/timecount.h"
#include "methods/uptoup.h"

namespace h33 {
namespace {


struct Options {
  std::string input;
  std::string output;
  MachineOptions machine;
};

// The time is the written program's, and is labelled with its name.
int ReportTime(const TimeCount& time, const std::string& output, const std::string& shownOutput,
               ConsoleDialogs& dialogs, std::ostream& err) {
  if (time.status != TimeCountStatus::kCounted) {
    ReportUncounted(PathFromText(output), time, err);
    return kExitBadInput;
  }
  const double minutes = double{time.seconds} / 60;
  dialogs.Ask(DialogKind::Information, Sprintf(kWrittenProgramTimeText, shownOutput.c_str(), minutes), {Button::Yes});
  return kExitOk;
}

int Correct(Options options, const CLI::App& command, CliStreams& streams) {
  const std::string shownInput = options.input;
  const std::string shownOutput = options.output;
  bool toStandardOutput = false;
  if (!streams.files.TakeInput(options.input, streams.err) ||
      !streams.files.TakeOutput(options.output, streams.err, toStandardOutput)) {
    return kExitBadInput;
  }
  // Standard output carries the program itself; the messages go aside.
  std::ostream& messages = toStandardOutput ? streams.err : streams.out;
  ConsoleDialogs dialogs(messages, streams.err);
  if (!CheckRunInput(PathFromText(options.input), dialogs, PathFromText(shownInput))) {
    return kExitBadInput;
  }
  const std::optional<RunParameters> parameters =
      ChooseMachine(options.machine, command, streams.err);
  if (!parameters) return kExitBadInput;
  UpToUpCorrection correction(PathFromText(options.input), PathFromText(options.output),
                              parameters->machine, dialogs);
  const CorrectionStatus status = correction.Run();
  if (status != CorrectionStatus::kCorrected) {
    dialogs.Ask(DialogKind::Error, Sprintf(kRunFailedText, shownInput.c_str()), {Button::Yes});
    return status == CorrectionStatus::kBrakingFailed ? kExitFailed : kExitBadInput;
  }
  const int reported =
      ReportTime(correction.WrittenTime(), options.output, shownOutput, dialogs, streams.err);
  if (reported != kExitOk || !toStandardOutput) return reported;
  return streams.files.CopyToStandardOutput(options.output, streams.program, streams.err)
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
  AddMachineOptions(*command, options->machine);
  return [options, command, &streams]() { return Correct(*options, *command, streams); };
}

}  // namespace h33
