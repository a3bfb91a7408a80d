#include <CLI/CLI.hpp>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "app/splitchecks.h"
#include "cli/commands.h"
#include "cli/machineoptions.h"
#include "cli/options.h"
#include "cli/programfiles.h"
#include "cli/runh33.h"
#include "cli/splitanswers.h"
#include "format/pathtext.h"
#include "format/bytesource.h"
#include "format/formatcheck.h"
#include "methods/tapesplitter.h"
#include "methods/runparameters.h"

namespace h33 {
namespace {

struct Options {
  std::string file;
  std::string tapeSize;
  std::vector<std::string> names;
  bool overwrite = false;
  MachineOptions machine;
};

int ExitCode(SplitOutcome outcome) {
  switch (outcome) {
    case SplitOutcome::kFinished:
      return kExitOk;
    case SplitOutcome::kDeclined:
    case SplitOutcome::kNameRefused:
    case SplitOutcome::kBrakingFailed:
    case SplitOutcome::kStopped:
      return kExitFailed;
    case SplitOutcome::kTapeTooShort:
    case SplitOutcome::kFailed:
      return kExitBadInput;
  }
  return kExitBadInput;
}

// Tapes are cut from coded programs only: the cut restates feed words and the
// correction decodes them, so a plain feed such as F300 would be read as a code.
bool CheckFeedCodes(const std::string& file, std::ostream& err) {
  const std::unique_ptr<FileSource> source = FileSource::Open(PathFromText(file));
  if (!source) return true;  // the split itself reports a file it cannot read
  std::optional<FormatViolation> plainFeed;
  try {
    plainFeed = FindPlainFeed(*source);
  } catch (const RunError& error) {
    err << error.what() << '\n';
    return false;
  }
  if (!plainFeed) return true;
  err << "Файл " << file << " не разбит: подачи в нем не записаны кодом H33 ("
      << DescribeViolation(*plainFeed) << ")\n";
  return false;
}

// Declined, the last part cut (under the last name) is still longer than a tape.
void ReportNamesRanOut(const std::string& lastPart, long tapeSize, std::ostream& err) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(PathFromText(lastPart), error);
  err << "Имена частей (--names) кончились, а файл " << lastPart;
  if (!error) err << " (" << size << " байт(а))";
  err << " длиннее ленты (" << tapeSize << " байт(а)) - разбивка остановлена\n";
}

int Split(const Options& options, const CLI::App& command, CliStreams& streams) {
  const std::optional<RunParameters> machine = ChooseMachine(options.machine, command, streams.err);
  if (!machine) return kExitBadInput;
  const RunParameters& parameters = *machine;

  const std::optional<long> limit = CheckTapeSizeOption("--limit", options.tapeSize, streams.err);
  if (!limit || !CheckPartNames("--names", options.names, streams.err)) return kExitBadInput;
  if (RefuseDeviceInput(options.file, streams.err) || !CheckFeedCodes(options.file, streams.err)) {
    return kExitBadInput;
  }

  SplitAnswers answers(streams.out, streams.err, limit, options.names, options.overwrite);
  const SplitOutcome outcome =
      TapeSplitter(PathFromText(options.file), parameters.machine, answers).Run();
  if (answers.ReportRefusal(streams.err)) return kExitFailed;
  // The splitter's last word was its question; the answer No was ours.
  if (outcome == SplitOutcome::kDeclined && answers.NamesRanOut()) {
    ReportNamesRanOut(options.names.back(), *limit + kTapeSizeReserve, streams.err);
  } else if (outcome == SplitOutcome::kNameRefused && answers.NamesRanOut()) {
    streams.err << "Имена частей (--names) кончились - разбивка остановлена\n";
  }
  return ExitCode(outcome);
}

}  // namespace

CommandRunner AddSplitCommand(CLI::App& app, CliStreams& streams) {
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand(
      "split", "Разбивка программы H33 на ленты ограниченного размера (без вопросов)");
  command->add_option("FILE", options->file, "программа H33 (*.up); остается первой частью")
      ->required();
  command
      ->add_option("--limit", options->tapeSize,
                   "максимальный размер ленты в байтах, как в окне разбивки (например 11800)")
      ->required();
  command
      ->add_option("--names", options->names,
                   "имена второй, третьей... частей через запятую; каждый остаток получает "
                   "следующее имя, когда имена кончаются, разбивка заканчивается")
      ->required()
      ->delimiter(',');
  command->add_flag("--yes", options->overwrite, "переписывать существующие файлы с этими именами");
  AddMachineOptions(*command, options->machine);
  return [options, command, &streams]() { return Split(*options, *command, streams); };
}

}  // namespace h33
