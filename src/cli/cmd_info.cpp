#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/statisticsview.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "format/fileinfo.h"
#include "methods/timecount.h"

namespace h33 {
namespace {

constexpr int kDefaultFeedMax = kMachinePresets[kDefaultMachineIndex].feedMax;

struct InfoOptions {
  std::string file;
  int feedMax = kDefaultFeedMax;
  int acceleration = kDefaultAcceleration;
  bool json = false;
  bool noFileInfo = false;
};

// The record in its own order, then the execution time the window shows.
std::string StatisticsJson(const ProgramStatistics& statistics, double minutes,
                           bool withFileInfo) {
  nlohmann::ordered_json json;
  json["MachiningTime"] = statistics.MachiningTime;
  json["PathLength"] = statistics.PathLength;
  json["LineCount"] = statistics.LineCount;
  json["LinearFrames"] = statistics.LinearFrames;
  json["CircularFrames"] = statistics.CircularFrames;
  json["MinFeed"] = statistics.MinFeed;
  json["MaxFeed"] = statistics.MaxFeed;
  json["MinPosition"] = statistics.MinPosition;
  json["MaxPosition"] = statistics.MaxPosition;
  if (withFileInfo) json["InformationText"] = statistics.InformationText;
  json["IsH33"] = statistics.IsH33;
  json["FormatViolations"] = statistics.FormatViolations;
  json["AxisSums"] = statistics.AxisSums;
  json["Minutes"] = minutes;
  // A path need not be UTF-8; its stray bytes must not abort the output.
  return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// An H33 program is timed by the time counter; any other program by its
// path length over its feeds.
std::optional<double> Minutes(const InfoOptions& options, const ProgramStatistics& statistics) {
  if (!statistics.IsH33) return statistics.MachiningTime;
  const auto seconds = TTimeCounter(options.file, options.acceleration).CountTime();
  if (!seconds) return std::nullopt;
  return static_cast<double>(*seconds) / 60.0;
}

int RunInfo(InfoOptions options, CliStreams& streams) {
  if (!streams.files.TakeInput(options.file, streams.err)) return kExitBadInput;
  ProgramStatistics statistics;
  if (GetFileInformation(options.file, options.feedMax, statistics) != 0) {
    ReportCannotOpen(options.file, streams.err);
    return kExitBadInput;
  }
  const auto minutes = Minutes(options, statistics);
  if (!minutes) {
    ReportCannotOpen(options.file, streams.err);
    return kExitBadInput;
  }
  if (options.json) {
    streams.out << StatisticsJson(statistics, *minutes, !options.noFileInfo) << '\n';
    return kExitOk;
  }
  StatisticsView view = MakeStatisticsView(statistics, *minutes);
  if (options.noFileInfo) view.fileInfo.clear();
  streams.out << StatisticsText(view);
  return kExitOk;
}

}  // namespace

CommandRunner AddInfoCommand(CLI::App& app, CliStreams& streams) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* command = app.add_subcommand("info", "Статистика программы");
  command->add_option("FILE", options->file, "программа ЧПУ")->required();
  command->add_option("--feed-max", options->feedMax, "наибольшая подача станка, мм/мин")
      ->check(CLI::Range(1, 1000000))
      ->capture_default_str();
  AddAccelerationOption(*command, options->acceleration);
  command->add_flag("--json", options->json, "вывести запись статистики в формате JSON");
  command->add_flag("--no-file-info", options->noFileInfo,
                    "без сведений о файле (путь, даты, размер): для сравнения программ");

  return [options, &streams]() {
    try {
      return RunInfo(*options, streams);
    } catch (const IoError& error) {
      streams.err << error.what() << '\n';
      return kExitBadInput;
    }
  };
}

}  // namespace h33
