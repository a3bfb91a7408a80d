#include <CLI/CLI.hpp>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/gcodetape.h"
#include "app/runinput.h"
#include "cli/commands.h"
#include "cli/gcodeoptions.h"
#include "cli/machineoptions.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "cli/splitanswers.h"
#include "format/pathtext.h"
#include "methods/ptp_to_up.h"

namespace h33 {
namespace {

int ExitCode(ConversionStatus status) {
  switch (status) {
    case ConversionStatus::kConverted:
      return kExitOk;
    case ConversionStatus::kBrakingFailed:
    case ConversionStatus::kSplitFailed:
      return kExitFailed;
    default:
      return kExitBadInput;
  }
}

}  // namespace

CommandRunner AddConvertCommand(CLI::App& app, CliStreams& streams) {
  struct Options {
    std::string input;
    std::string output;
    MachineOptions machine;
    bool freeNumbering = false;
    bool restoreAfterArc = false;
    std::string splitTapeSize;
    std::vector<std::string> splitNames;
    bool overwrite = false;
    GcodeOptions gcode;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command =
      app.add_subcommand("convert", "Преобразование PTP-файла в программу H33 (Ptp->up)");
  command->add_option("INPUT", options->input, "PTP-файл (*.ptp) или программа в G-коде (*.nc ...)")
      ->required();
  command->add_option("-o,--output", options->output,
                      "создаваемая программа H33 (*.up); - пишет ее на стандартный вывод")
      ->required();
  AddMachineOptions(*command, options->machine);
  command->add_flag("--free-numbering", options->freeNumbering,
                    "свободная нумерация кадров (до 30000)");
  command->add_flag("--restore-after-arc", options->restoreAfterArc,
                    "восстанавливать подачу после круговой интерполяции");
  // Without them the offer to split the new program is declined.
  CLI::Option* splitLimitOption = command->add_option(
      "--split-limit", options->splitTapeSize,
      "разбить результат на ленты: максимальный размер ленты в байтах (например 11800)");
  command
      ->add_option("--split-names", options->splitNames,
                   "имена второй, третьей... частей при разбивке, через запятую")
      ->delimiter(',')
      ->needs(splitLimitOption);
  splitLimitOption->needs("--split-names");
  command->add_flag("--yes", options->overwrite,
                    "переписывать существующие файлы с именами частей");
  AddGcodeOptions(*command, options->gcode);

  return [options, command, &streams]() {
    const std::string shownInput = options->input;
    const std::string shownOutput = options->output;
    bool toStandardOutput = false;
    if (!streams.files.TakeInput(options->input, streams.err) ||
        !streams.files.TakeOutput(options->output, streams.err, toStandardOutput)) {
      return kExitBadInput;
    }
    if (toStandardOutput && command->count("--split-limit") > 0) {
      streams.err << "--split-limit: программа на стандартном выводе не разбивается на ленты\n";
      return kExitBadInput;
    }
    // Standard output carries the program itself; the messages go aside.
    std::ostream& messages = toStandardOutput ? streams.err : streams.out;
    ConsoleDialogs inputDialogs(messages, streams.err);
    const bool gcode = IsGcodeInput(PathFromText(options->input));
    if (!gcode &&
        !CheckRunInput(PathFromText(options->input), inputDialogs, PathFromText(shownInput))) {
      return kExitBadInput;
    }
    std::optional<RunParameters> machine = ChooseMachine(options->machine, *command, streams.err);
    if (!machine) return kExitBadInput;
    RunParameters& parameters = *machine;
    const auto given = [command](const char* name) { return command->count(name) > 0; };
    if (given("--free-numbering")) parameters.freeNumbering = options->freeNumbering;
    if (given("--restore-after-arc")) parameters.restoreAfterArc = options->restoreAfterArc;
    parameters.inputFile = PathFromText(options->input);
    parameters.outputFile = PathFromText(shownOutput);

    std::optional<long> splitLimit;
    if (given("--split-limit")) {
      splitLimit = CheckTapeSizeOption("--split-limit", options->splitTapeSize, streams.err);
      if (!splitLimit) return kExitBadInput;
    }
    if (!CheckPartNames("--split-names", options->splitNames, streams.err)) return kExitBadInput;

    SplitAnswers dialogs(messages, streams.err, splitLimit, options->splitNames,
                         options->overwrite);
    // G-code goes on tape first; the tape is what the conversion reads.
    std::optional<GcodeConversion> fromGcode;
    if (gcode) {
      const ArcChoice arcs =
          given("--arcs") ? ArcChoice::kAsAsked : ArcChoice::kChordsWhereQuadrantsCannotBrake;
      fromGcode = ConvertGcode(parameters, parameters.inputFile, PathFromText(options->output),
                               options->gcode.ToImportOptions(), arcs, dialogs);
      if (!fromGcode) return kExitBadInput;
    }
    const ConversionStatus status =
        fromGcode ? fromGcode->status
                  : PtpToUp(parameters, parameters.inputFile, PathFromText(options->output), dialogs);
    const int code = ExitCode(status);
    if (dialogs.ReportRefusal(streams.err)) return kExitFailed;
    // The braking box's remedy, "circles as line segments", is an option here.
    if (fromGcode && status == ConversionStatus::kBrakingFailed &&
        fromGcode->arcs != ArcOutput::kChords) {
      streams.err << "Для программы в G-коде дуги отрезками задаёт ключ --arcs chords.\n";
    }
    // The splitter's last word was its question; the answer No was ours.
    if (code == kExitFailed && dialogs.NamesRanOut()) {
      streams.err << "Имена частей (--split-names) кончились - разбивка остановлена\n";
    }
    if (code != kExitOk || !toStandardOutput) return code;
    return streams.files.CopyToStandardOutput(options->output, streams.program, streams.err)
               ? kExitOk
               : kExitBadInput;
  };
}

}  // namespace h33
