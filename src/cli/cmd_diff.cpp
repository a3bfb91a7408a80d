#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "app/correctiondiffview.h"
#include "app/runinput.h"
#include "app/texttable.h"
#include "cli/commands.h"
#include "cli/consoledialogs.h"
#include "cli/runh33.h"
#include "format/pathtext.h"
#include "methods/correctiondiff.h"

namespace h33 {
namespace {

struct DiffOptions {
  std::string input;
  std::string output;
};

constexpr std::size_t kPlaceWidth = 12;

// Columns of a fixed width: the rows are printed as they are found.
std::string RowText(const FrameChangeRow& row) {
  return Pad(row.inputPlace, kPlaceWidth) + ' ' + Pad(row.outputPlace, kPlaceWidth) + ' ' + row.what +
         (row.text.empty() ? "" : ": " + row.text);
}

int RunDiff(const DiffOptions& options, CliStreams& streams) {
  std::string input = options.input, output = options.output;
  if (!StandardInputAtMostOnce({input, output}, streams.err)) return kExitBadInput;
  if (!streams.files.TakeInput(input, streams.err) || !streams.files.TakeInput(output, streams.err)) {
    return kExitBadInput;
  }
  ConsoleDialogs dialogs(streams.out, streams.err);
  const std::filesystem::path inputPath = PathFromText(input), outputPath = PathFromText(output);
  if (!CheckRunInput(inputPath, dialogs, PathFromText(options.input)) ||
      !CheckRunInput(outputPath, dialogs, PathFromText(options.output))) {
    return kExitBadInput;
  }
  bool headed = false;
  const CorrectionDiff diff = CompareCorrection(inputPath, outputPath, [&](const FrameChange& change) {
    if (!headed) streams.out << RowText({"Вход", "Выход", "Изменение", ""}) << '\n';
    headed = true;
    streams.out << RowText(DescribeFrameChange(change)) << '\n';
  });
  if (diff.status == DiffStatus::kCannotOpen || diff.status == DiffStatus::kFailed) {
    streams.err << diff.reason << '\n';
    return kExitBadInput;
  }
  streams.out << CorrectionDiffSummary(diff);
  return diff.status == DiffStatus::kCorresponds ? kExitOk : kExitFailed;
}

}  // namespace

CommandRunner AddDiffCommand(CLI::App& app, CliStreams& streams) {
  auto options = std::make_shared<DiffOptions>();
  CLI::App* command = app.add_subcommand(
      "diff", "Что изменила коррекция: подачи, вставленные и удалённые кадры");
  command->add_option("IN", options->input, "программа H33 до коррекции")->required();
  command->add_option("OUT", options->output, "она же после коррекции")->required();
  return [options, &streams]() {
    try {
      return RunDiff(*options, streams);
    } catch (const RunError& error) {
      streams.err << error.what() << '\n';
      return kExitBadInput;
    }
  };
}

}  // namespace h33
