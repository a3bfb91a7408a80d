#include "cli/plotcommand.h"

#include <CLI/CLI.hpp>

#include <iomanip>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include "app/gcodetape.h"
#include "cli/commands.h"
#include "cli/helpformat.h"
#include "cli/runh33.h"
#include "format/bytesource.h"
#include "format/formatcheck.h"
#include "format/outputfile.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "methods/messages.h"
#include "picture/programpicture.h"
#include "plot/plotexport.h"

namespace h33 {
namespace {

constexpr int kWidth = 1200;
constexpr int kToolpathHeight = 900;
constexpr int kProfileHeight = 500;

struct PlotOptions {
  std::string file;
  std::string output;
  std::string compare;
  std::string plane;  // empty: the program's own
  bool profile = false;
  bool ptp = false;
};

const std::map<std::string, Plane> kPlanes{{"XY", Plane::XY}, {"XZ", Plane::XZ}, {"YZ", Plane::YZ}};

Plane PlaneNamed(std::string name) {
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return kPlanes.at(name);
}

std::optional<ProgramPicture> Load(const std::string& file, FeedUnits units, int height,
                                   std::ostream& err) {
  PictureOptions options;
  options.units = units;
  options.path = ExportPathOptions(kWidth, height);
  std::string reason;
  try {
    auto picture = LoadProgramPicture(file, options, &reason);
    if (!picture) err << Sprintf(kCannotOpenForReadingText, file.c_str(), reason.c_str()) << '\n';
    return picture;
  } catch (const OutOfReachError& error) {
    err << Sprintf(kPictureNotDrawnText, file.c_str(), error.what()) << '\n';
    return std::nullopt;
  }
}

// A picture that had to leave out detail it could show is no success.
bool SimplificationNoted(const PlotExport& plot, std::ostream& err) {
  if (ThinningPixels(plot) <= 1) return false;
  std::ostringstream size;
  size << std::setprecision(2) << plot.program->path.Tolerance();
  err << "Рисунок упрощён: программа подробнее, чем вмещает рисунок; детали мельче " << size.str()
      << " мм не показаны\n";
  return true;
}

bool CheckOutputName(const PlotOptions& options, std::ostream& err) {
  if (!IsPlotFileName(options.output)) {
    err << "-o: рисунок пишется в файл " << PlotFileKinds() << ", а не в " << options.output << '\n';
    return false;
  }
  for (const std::string& program : {options.file, options.compare}) {
    if (!program.empty() && DesignateSameFile(options.output, program)) {
      err << "-o: рисунок не пишется поверх программы " << program << '\n';
      return false;
    }
  }
  return true;
}

int RunPlot(PlotOptions options, CliStreams& streams) {
  if (!CheckOutputName(options, streams.err)) return kExitBadInput;
  // The title names the programs as the user gave them, not their scratch copies.
  std::string title = PathText(PathFromText(options.file).filename());
  if (!options.compare.empty()) {
    title += "  ←  " + PathText(PathFromText(options.compare).filename());
  }
  if (!streams.files.TakeInput(options.file, streams.err) ||
      (!options.compare.empty() && !streams.files.TakeInput(options.compare, streams.err))) {
    return kExitBadInput;
  }
  // The compare mode draws a run's input, the PTP tape of a Ptp->up run.
  const bool compare = !options.compare.empty();
  const bool profile = options.profile || compare;
  const int height = profile ? kProfileHeight : kToolpathHeight;
  try {
    // A G-code program is drawn from its tape, in mm/min.
    std::optional<ImportedTape> tape;
    if (IsGcodeInput(PathFromText(options.file))) {
      tape.emplace(ImportedTape::ForPicture(PathFromText(options.file)));
      options.file = PathText(tape->Path());
    }
    const FeedUnits programUnits = tape || (options.ptp && !compare) ||
                                           IsPtpTape(PathFromText(options.file))
                                       ? FeedUnits::kMmPerMinute
                                       : FeedUnits::kFeedCode;
    const auto program = Load(options.file, programUnits, height, streams.err);
    if (!program) return kExitBadInput;
    std::optional<ProgramPicture> input;
    if (compare) {
      input = Load(options.compare,
                   options.ptp || IsPtpTape(PathFromText(options.compare)) ? FeedUnits::kMmPerMinute
                                                             : FeedUnits::kFeedCode,
                   height,
                   streams.err);
      if (!input) return kExitBadInput;
    }
    PlotExport plot;
    plot.kind = profile ? PlotKind::kProfile : PlotKind::kToolpath;
    plot.plane = options.plane.empty() ? program->activePlane : PlaneNamed(options.plane);
    plot.program = &*program;
    plot.input = input ? &*input : nullptr;
    plot.width = kWidth;
    plot.height = height;
    plot.title = title;
    ExportPlot(plot, options.output);
    streams.out << "Создан файл " << options.output << '\n';
    return SimplificationNoted(plot, streams.err) ? kExitFailed : kExitOk;
  } catch (const RunError& error) {
    streams.err << error.what() << '\n';
    return kExitBadInput;
  }
}

void AddPlotOptions(CLI::App& command, PlotOptions& options) {
  command.add_option("FILE", options.file, "программа H33 (*.up)")->required();
  command.add_option("-o,--output", options.output, std::string("файл рисунка ") + PlotFileKinds())
      ->required();
  command
      .add_option("--plane", options.plane,
                   "плоскость проекции траектории; по умолчанию плоскость первой дуги (XY)")
      ->check(CLI::IsMember(kPlanes, CLI::ignore_case));
  command.add_flag("--profile", options.profile,
                    "график подачи по длине пути вместо траектории");
  command.add_option("--compare", options.compare,
                      "исходная программа прогона Up->up или Ptp->up: её подачи на том же "
                      "графике (включает --profile)");
  command.add_flag("--ptp", options.ptp,
                    "подачи в мм/мин, как в PTP-ленте: относится к программе --compare, "
                    "а без неё к FILE");
}

}  // namespace

int RunH33Plot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"h33-plot — рисунок траектории инструмента или графика подач программы H33 (PNG "
               "или SVG)",
               "h33-plot"};
  SpeakRussianInHelp(app);
  app.allow_windows_style_options(false);  // "/dir/p.up" is a name, as for h33
  PlotOptions options;
  AddPlotOptions(app, options);
  if (const std::optional<int> code = ParseCommandLine(app, args, out, err)) return *code;
  ProgramFiles files;
  CliStreams streams{out, err, files, out};
  return RunPlot(options, streams);
}

}  // namespace h33
