#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>

#include "cli/commands.h"
#include "cli/gcodeoptions.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "format/outputfile.h"
#include "format/pathtext.h"
#include "gcode/gcodeimport.h"

namespace h33 {
namespace {

struct Options {
  std::string input;
  std::string output;
  GcodeOptions gcode;
};

int RunImport(Options options, CliStreams& streams) {
  bool toStandardOutput = false;
  if (!streams.files.TakeInput(options.input, streams.err) ||
      !streams.files.TakeOutput(options.output, streams.err, toStandardOutput)) {
    return kExitBadInput;
  }
  const std::filesystem::path input = PathFromText(options.input);
  const std::filesystem::path output = PathFromText(options.output);
  std::ostream& messages = toStandardOutput ? streams.err : streams.out;
  if (DesignateSameFile(input, output)) {
    streams.err << PathText(input) << ": входной и выходной файлы совпадают\n";
    return kExitBadInput;
  }
  std::string reason;
  const auto source = FileSource::Open(input, &reason);
  if (!source) {
    streams.err << PathText(input) << ": " << reason << '\n';
    return kExitBadInput;
  }
  try {
    OutputFile tape(output);
    const ImportSummary summary = ImportGcode(*source, tape, options.gcode.ToImportOptions());
    tape.Commit();
    if (!summary.Empty()) messages << summary.Text() << '\n';
  } catch (const ProgramRefusal& refusal) {
    streams.err << refusal.what() << "\nИмпорт прерван.\n";
    return kExitBadInput;
  } catch (const RunError& error) {
    streams.err << error.what() << '\n';
    return kExitBadInput;
  }
  if (!toStandardOutput) return kExitOk;
  return streams.files.CopyToStandardOutput(options.output, streams.program, streams.err)
             ? kExitOk
             : kExitBadInput;
}

}  // namespace

CommandRunner AddImportCommand(CLI::App& app, CliStreams& streams) {
  auto options = std::make_shared<Options>();
  CLI::App* command =
      app.add_subcommand("import", "Импорт G-кода (ISO) в PTP-ленту для преобразования");
  command->add_option("IN", options->input, "программа в G-коде (*.nc, *.ngc, *.tap ...)")
      ->required();
  command->add_option("-o,--output", options->output, "PTP-лента; - пишет её на стандартный вывод")
      ->required();
  AddGcodeOptions(*command, options->gcode);
  return [options, &streams]() { return RunImport(*options, streams); };
}

}  // namespace h33
