#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "format/pathtext.h"
#include "format/formatcheck.h"
#include "format/textformat.h"

namespace h33 {
namespace {

struct CheckOptions {
  std::vector<std::string> files;
  bool skipFeed = false;
  bool verbose = false;
};

int RunCheck(const std::string& shown, const CheckOptions& options, CliStreams& streams) {
  // The verdict names the file as the user gave it, not its scratch copy.
  std::string file = shown;
  if (!streams.files.TakeInput(file, streams.err)) return kExitBadInput;
  const auto source = FileSource::Open(PathFromText(file));
  if (!source) {
    ReportCannotOpen(PathFromText(shown), streams.err);
    return kExitBadInput;
  }
  const FeedWordCheck feedWords = options.skipFeed ? FeedWordCheck::kSkipped : FeedWordCheck::kChecked;
  std::vector<FormatViolation> listed;
  long long count = 0;
  // A file saved in Unicode, or no text at all, is refused as the methods
  // refuse it, not called a program without violations.
  ForEachH33Violation(
      *source, feedWords,
      [&](const FormatViolation& violation) {
        ++count;
        if (options.verbose) listed.push_back(violation);
      },
      NonText::kRefused);
  streams.out << FormatVerdictText(PathFromText(shown), count == 0) << '\n';
  streams.out << Sprintf("Нарушений формата: %lld\n", count);
  for (const FormatViolation& violation : listed) {
    streams.out << "  " << DescribeViolation(violation) << '\n';
  }
  return count == 0 ? kExitOk : kExitFailed;
}

}  // namespace

CommandRunner AddCheckCommand(CLI::App& app, CliStreams& streams) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* command = app.add_subcommand("check", "Проверка УП на формат H33");
  command->add_option("FILE", options->files, "проверяемые программы, одна или несколько")
      ->required();
  command->add_flag("--skip-feed", options->skipFeed, "не проверять длину слов F");
  command->add_flag("--verbose", options->verbose, "перечислить нарушения: строка и вид");

  return [options, &streams]() {
    const auto check = [&](const std::string& file) {
      try {
        return RunCheck(file, *options, streams);
      } catch (const RunError& error) {
        streams.err << error.what() << '\n';
        return kExitBadInput;
      }
    };
    return RunForEachFile(options->files, streams.out, streams.err, true, check);
  };
}

}  // namespace h33
