#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <array>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/statisticsview.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "format/pathtext.h"
#include "format/fileinfo.h"
#include "methods/timecount.h"

namespace h33 {
namespace {

constexpr int kDefaultFeedMax = kMachinePresets[kDefaultMachineIndex].feedMax;

struct InfoOptions {
  std::vector<std::string> files;
  int feedMax = kDefaultFeedMax;
  int acceleration = kDefaultAcceleration;
  bool json = false;
  bool noFileInfo = false;
};

// The record in its own order, then the execution time the window shows.
std::string StatisticsJson(const std::string& file, const ProgramStatistics& statistics,
                           double minutes, bool withFileInfo) {
  const auto shown = [](const std::array<double, 3>& values) {
    return std::array<double, 3>{AsShown(values[0]), AsShown(values[1]), AsShown(values[2])};
  };
  nlohmann::ordered_json json;
  if (withFileInfo) json["File"] = file;
  // An H33 program has no time of path over feed: its time is the counter's.
  if (!statistics.IsH33) json["MachiningTime"] = AsShown(statistics.MachiningTime);
  json["PathLength"] = AsShown(statistics.PathLength);
  json["LineCount"] = statistics.LineCount;
  json["LinearFrames"] = statistics.LinearFrames;
  json["CircularFrames"] = statistics.CircularFrames;
  json["MinFeed"] = AsShown(statistics.MinFeed);
  json["MaxFeed"] = AsShown(statistics.MaxFeed);
  json["MinPosition"] = shown(statistics.MinPosition);
  json["MaxPosition"] = shown(statistics.MaxPosition);
  if (withFileInfo) json["InformationText"] = statistics.InformationText;
  json["IsH33"] = statistics.IsH33;
  json["FormatViolations"] = statistics.FormatViolations;
  json["AxisSums"] = shown(statistics.AxisSums);
  json["Minutes"] = AsShown(minutes);
  // A path need not be UTF-8; its stray bytes must not abort the output.
  return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// An H33 program is timed by the time counter; any other program by its
// path length over its feeds.
std::optional<double> Minutes(const std::string& file, const InfoOptions& options,
                              const ProgramStatistics& statistics) {
  if (!statistics.IsH33) return statistics.MachiningTime;
  const auto seconds = TTimeCounter(PathFromText(file), options.acceleration).CountTime();
  if (!seconds) return std::nullopt;
  return static_cast<double>(*seconds) / 60.0;
}

int RunInfo(std::string file, const InfoOptions& options, CliStreams& streams) {
  const std::string shown = file;
  if (!streams.files.TakeInput(file, streams.err)) return kExitBadInput;
  ProgramStatistics statistics;
  if (GetFileInformation(PathFromText(file), options.feedMax, statistics) != 0) {
    ReportCannotOpen(PathFromText(file), streams.err);
    return kExitBadInput;
  }
  const auto minutes = Minutes(file, options, statistics);
  if (!minutes) {
    ReportCannotOpen(PathFromText(file), streams.err);
    return kExitBadInput;
  }
  if (options.json) {
    streams.out << StatisticsJson(shown, statistics, *minutes, !options.noFileInfo) << '\n';
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
  command->add_option("FILE", options->files, "программы ЧПУ, одна или несколько")->required();
  command->add_option("--feed-max", options->feedMax, "наибольшая подача станка, мм/мин, 1-9999")
      ->check(DecimalNumber())
      ->check(CLI::Range(1, 9999))
      ->capture_default_str();
  AddAccelerationOption(*command, options->acceleration);
  command->add_flag("--json", options->json, "вывести запись статистики в формате JSON");
  command->add_flag("--no-file-info", options->noFileInfo,
                    "без сведений о файле (путь, даты, размер): для сравнения программ");

  return [options, &streams]() {
    return RunForEachFile(options->files, streams.out, !options->json, [&](const std::string& file) {
      try {
        return RunInfo(file, *options, streams);
      } catch (const IoError& error) {
        streams.err << error.what() << '\n';
        return kExitBadInput;
      }
    });
  };
}

}  // namespace h33
