#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "app/statisticsview.h"
#include "app/timebreakdownview.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/runh33.h"
#include "format/pathtext.h"
#include "format/fileinfo.h"
#include "format/textformat.h"
#include "methods/timebreakdown.h"
#include "methods/timecount.h"

namespace h33 {
namespace {

constexpr const char* kNoBreakdown =
    "%s: не программа H33, время по частям считается только для программ H33";

constexpr int kDefaultFeedMax = kMachinePresets[kDefaultMachineIndex].limits.feedMax_mm_min;

struct InfoOptions {
  std::vector<std::string> files;
  int feedMax = kDefaultFeedMax;
  int acceleration = kDefaultAcceleration;
  bool json = false;
  bool noFileInfo = false;
  bool breakdown = false;
};

nlohmann::ordered_json PartsJson(const ShownTimeParts& parts) {
  nlohmann::ordered_json json;
  json["Cutting"] = {{"Seconds", parts.cutting_s}, {"Length", AsShown(parts.cutting_mm)}};
  json["Rapid"] = {{"Seconds", parts.rapid_s}, {"Length", AsShown(parts.rapid_mm)}};
  json["Braking"] = {{"Seconds", parts.braking_s}};
  json["Seconds"] = parts.total_s;
  return json;
}

nlohmann::ordered_json BreakdownJson(const ShownTimeBreakdown& shown) {
  nlohmann::ordered_json json = PartsJson(shown.total);
  json["UntimedLength"] = AsShown(shown.untimed_mm);
  json["Tools"] = nlohmann::ordered_json::array();
  for (const ShownToolTime& tool : shown.tools) {
    nlohmann::ordered_json row;
    row["Tool"] = tool.tool;
    row["Line"] = tool.firstLine;
    row.update(PartsJson(tool.parts));
    json["Tools"].push_back(row);
  }
  return json;
}

// A program without a feed in force, or without a frame, has no feeds or no
// extents: the record then holds its starting values (−FeedMax, ±10000 mm),
// which are no one's feeds or positions.
bool HasFeeds(const ProgramStatistics& statistics) { return statistics.maxFeed_mm_min >= 0; }
bool HasExtent(const ProgramStatistics& statistics, std::size_t axis) {
  return statistics.minPosition[axis] <= statistics.maxPosition[axis];
}

constexpr const char* kNothing = "—";

// The record in its own order, then the execution time the window shows.
std::string StatisticsJson(const std::string& file, const ProgramStatistics& statistics,
                           double minutes, bool withFileInfo,
                           const std::optional<ShownTimeBreakdown>& breakdown) {
  const auto shown = [](const std::array<double, 3>& values) {
    return std::array<double, 3>{AsShown(values[0]), AsShown(values[1]), AsShown(values[2])};
  };
  const auto extent = [&statistics](const std::array<double, 3>& values) {
    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    for (std::size_t axis = 0; axis < values.size(); ++axis) {
      json.push_back(HasExtent(statistics, axis) ? nlohmann::ordered_json(AsShown(values[axis]))
                                                 : nlohmann::ordered_json(nullptr));
    }
    return json;
  };
  const auto feed = [&statistics](double value) {
    return HasFeeds(statistics) ? nlohmann::ordered_json(AsShown(value))
                                : nlohmann::ordered_json(nullptr);
  };
  nlohmann::ordered_json json;
  if (withFileInfo) json["File"] = file;
  // An H33 program has no time of path over feed: its time is the counter's.
  if (!statistics.isH33) json["MachiningTime"] = AsShown(statistics.machiningTime_min);
  json["PathLength"] = AsShown(statistics.pathLength_mm);
  json["LineCount"] = statistics.lineCount;
  json["LinearFrames"] = statistics.linearMoves;
  json["CircularFrames"] = statistics.arcMoves;
  json["MinFeed"] = feed(statistics.minFeed_mm_min);
  json["MaxFeed"] = feed(statistics.maxFeed_mm_min);
  json["MinPosition"] = extent(statistics.minPosition);
  json["MaxPosition"] = extent(statistics.maxPosition);
  if (withFileInfo) json["InformationText"] = statistics.informationText;
  json["IsH33"] = statistics.isH33 ? 1 : 0;  // a number, as it always was
  json["FormatViolations"] = statistics.formatViolations;
  json["AxisSums"] = shown(statistics.axisSums_mm);
  json["Minutes"] = AsShown(minutes);
  if (breakdown) json["TimeBreakdown"] = BreakdownJson(*breakdown);
  // A path need not be UTF-8; its stray bytes must not abort the output.
  return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

// Standard input or a pipe is read from a scratch copy, whose name, place and
// dates are of no use to anyone: the name given and the size read stand instead.
std::string CopiedInputInformation(const std::string& shown, const std::filesystem::path& copy) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(copy, error);
  const std::string name = shown == kStandardStream ? "- (стандартный ввод)" : shown;
  if (error) return Sprintf("Файл: %s \n ", name.c_str());
  return Sprintf("Файл: %s \n Размер: %.2lf Kb ( %llu bytes )\n ", name.c_str(),
                 static_cast<double>(size) / 1024.0, static_cast<unsigned long long>(size));
}

// The execution time the statistics show, and its breakdown when asked for.
struct InfoTime {
  double minutes = 0;
  std::optional<ShownTimeBreakdown> breakdown;
};

// An H33 program is timed by the time counter, which builds the breakdown
// in the same count; any other program by its path length over its feeds.
// Nothing after saying why on `err`.
std::optional<InfoTime> CountInfoTime(const std::string& file, const InfoOptions& options,
                                      const ProgramStatistics& statistics, std::ostream& err) {
  if (!statistics.isH33) return InfoTime{statistics.machiningTime_min, std::nullopt};
  std::optional<TimeBreakdownBuilder> builder;
  if (options.breakdown) builder.emplace(options.feedMax);
  const TimeCount time =
      TimeCounter(PathFromText(file), options.acceleration).CountTime(builder ? &*builder : nullptr);
  switch (time.status) {
    case TimeCountStatus::kCounted: {
      InfoTime counted{static_cast<double>(time.seconds) / 60.0, std::nullopt};
      if (builder) counted.breakdown = ShowTimeBreakdown(builder->Result(time.seconds));
      return counted;
    }
    case TimeCountStatus::kCannotOpen:
      ReportCannotOpen(PathFromText(file), err);
      break;
    case TimeCountStatus::kFailed:
      err << time.reason << '\n';
      break;
  }
  return std::nullopt;
}

int RunInfo(std::string file, const InfoOptions& options, CliStreams& streams) {
  const std::string shown = file;
  if (!streams.files.TakeInput(file, streams.err)) return kExitBadInput;
  std::optional<ProgramStatistics> read = GetFileInformation(PathFromText(file), options.feedMax);
  if (!read) {
    ReportCannotOpen(PathFromText(file), streams.err);
    return kExitBadInput;
  }
  ProgramStatistics& statistics = *read;
  if (file != shown) {
    statistics.informationText = CopiedInputInformation(shown, PathFromText(file));
  }
  if (options.breakdown && !statistics.isH33) {
    streams.err << Sprintf(kNoBreakdown, shown.c_str()) << '\n';
    return kExitBadInput;
  }
  const auto time = CountInfoTime(file, options, statistics, streams.err);
  if (!time) return kExitBadInput;
  if (options.json) {
    streams.out << StatisticsJson(shown, statistics, time->minutes, !options.noFileInfo,
                                  time->breakdown)
                << '\n';
    return kExitOk;
  }
  StatisticsView view = MakeStatisticsView(statistics, time->minutes);
  if (options.noFileInfo) view.fileInfo.clear();
  if (!HasFeeds(statistics)) view.minFeed = view.maxFeed = kNothing;
  for (std::size_t axis = 0; axis < 3; ++axis) {
    if (HasExtent(statistics, axis)) continue;
    view.extents[1][axis + 1] = view.extents[2][axis + 1] = kNothing;
  }
  streams.out << StatisticsText(view);
  if (time->breakdown) streams.out << TimeBreakdownText(*time->breakdown);
  return kExitOk;
}

}  // namespace

CommandRunner AddInfoCommand(CLI::App& app, CliStreams& streams) {
  auto options = std::make_shared<InfoOptions>();
  CLI::App* command = app.add_subcommand("info", "Статистика программы");
  command->add_option("FILE", options->files, "программы ЧПУ, одна или несколько")->required();
  command->add_option("--feed-max", options->feedMax, "наибольшая подача станка, мм/мин, 1-9999")
      ->check(DecimalNumber())
      ->check(InRange(1, 9999))
      ->capture_default_str();
  AddAccelerationOption(*command, options->acceleration);
  command->add_flag("--json", options->json, "вывести запись статистики в формате JSON");
  command->add_flag("--no-file-info", options->noFileInfo,
                    "без сведений о файле (путь, даты, размер): для сравнения программ");
  command->add_flag("--breakdown", options->breakdown,
                    "время программы H33 по инструментам и видам движения: резание, холостые "
                    "ходы (на наибольшей подаче), торможение");

  return [options, &streams]() {
    const auto info = [&](const std::string& file) {
      try {
        return RunInfo(file, *options, streams);
      } catch (const RunError& error) {
        streams.err << error.what() << '\n';
        return kExitBadInput;
      }
    };
    return RunForEachFile(options->files, streams.out, streams.err, !options->json, info);
  };
}

}  // namespace h33
