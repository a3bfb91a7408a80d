#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/runinput.h"
#include "cli/commands.h"
#include "cli/consoledialogs.h"
#include "cli/machineoptions.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "methods/brakingcheck.h"
#include "methods/brakingreport.h"
#include "methods/messages.h"

namespace h33 {
namespace {

struct VerifyOptions {
  std::vector<std::string> files;
  MachineOptions machine;
  bool json = false;
};

// A frame or a path need not be UTF-8; its stray bytes must not abort the output.
std::string Dumped(const nlohmann::ordered_json& json) {
  return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

nlohmann::ordered_json FindingJson(const BrakingFinding& finding) {
  nlohmann::ordered_json json;
  json["line"] = finding.line;
  json["kind"] = FaultName(finding.kind);
  json["frame"] = finding.frame;
  json["feed"] = finding.feed_mm_min;
  json["allowed"] = finding.allowed_mm_min;
  if (finding.kind == BrakingFault::kCannotBrake) json["next"] = finding.next_mm_min;
  json["text"] = DescribeFinding(finding);
  return json;
}

// One line per file: the file, the machine's values and the findings, each
// written as it comes, since a long program may have a great many. Nothing
// is written before the first finding or the end; a check that fails after
// that closes the line with its "error", so that the line stays JSON.
class VerifyJsonWriter {
 public:
  VerifyJsonWriter(std::ostream& out, const std::string& file, const MachineLimits& machine)
      : out_(out) {
    nlohmann::ordered_json head;
    head["file"] = file;
    head["speedLimit"] = machine.speedLimit_mm_min;
    head["feedMax"] = machine.feedMax_mm_min;
    head["acceleration"] = machine.acceleration_mm_s2;
    opening_ = Dumped(head);
    opening_.pop_back();  // the closing brace: the findings follow
    opening_ += ",\"findings\":[";
  }

  void Take(const BrakingFinding& finding) {
    out_ << (Start() ? "" : ",") << Dumped(FindingJson(finding));
  }

  void Finish() {
    Start();
    out_ << "]}\n";
  }

  void Fail(const std::string& reason) {
    if (opening_.empty()) out_ << "],\"error\":" << Dumped(reason) << "}\n";
  }

 private:
  // True when this writes the opening, before the first finding.
  bool Start() {
    if (opening_.empty()) return false;
    out_ << opening_;
    opening_.clear();
    return true;
  }

  std::ostream& out_;
  std::string opening_;  // until written
};

int RunVerify(std::string file, const MachineLimits& machine, bool json, CliStreams& streams) {
  const std::string shown = file;
  if (!streams.files.TakeInput(file, streams.err)) return kExitBadInput;
  ConsoleDialogs dialogs(streams.out, streams.err);
  const std::filesystem::path path = PathFromText(file);
  if (!CheckRunInput(path, dialogs, PathFromText(shown))) return kExitBadInput;
  VerifyJsonWriter jsonWriter(streams.out, shown, machine);
  BrakingReportWriter textWriter(streams.out, PathFromText(shown), machine);
  std::size_t count = 0;
  const BrakingCheckResult result = BrakingCheck(machine).Check(path, [&](const BrakingFinding& finding) {
    ++count;
    json ? jsonWriter.Take(finding) : textWriter.Take(finding);
  });
  switch (result.status) {
    case BrakingCheckStatus::kChecked:
      break;
    case BrakingCheckStatus::kCannotOpen:
      streams.err << Sprintf(kCannotOpenForReadingText, shown.c_str(), result.reason.c_str()) << '\n';
      return kExitBadInput;
    case BrakingCheckStatus::kFailed:
      if (json) jsonWriter.Fail(result.reason);
      streams.err << result.reason << '\n';
      return kExitBadInput;
  }
  json ? jsonWriter.Finish() : textWriter.Finish();
  return count == 0 ? kExitOk : kExitFailed;
}

}  // namespace

CommandRunner AddVerifyCommand(CLI::App& app, CliStreams& streams) {
  auto options = std::make_shared<VerifyOptions>();
  CLI::App* command = app.add_subcommand(
      "verify", "Проверка торможения: где станок не успевает выполнить программу H33");
  command->add_option("FILE", options->files, "программы H33 (*.up), одна или несколько")
      ->required();
  AddMachineOptions(*command, options->machine);
  command->add_flag("--json", options->json,
                    "по строке JSON на файл: файл, параметры станка, нарушения");
  return [options, command, &streams]() {
    const std::optional<RunParameters> parameters =
        ChooseMachine(options->machine, *command, streams.err);
    if (!parameters) return kExitBadInput;
    const auto verify = [&](const std::string& file) {
      return RunVerify(file, parameters->machine, options->json, streams);
    };
    return RunForEachFile(options->files, streams.out, streams.err, !options->json, verify);
  };
}

}  // namespace h33
