#include "cli/gcodeoptions.h"

#include <CLI/CLI.hpp>

namespace h33 {

ImportOptions GcodeOptions::ToImportOptions() const {
  ImportOptions options;
  options.arcs = arcs == "whole" ? ArcOutput::kWhole
                 : arcs == "chords" ? ArcOutput::kChords
                                    : ArcOutput::kQuadrants;
  options.leaveOutCutterCompensation = leaveOutCutterCompensation;
  return options;
}

void AddGcodeOptions(CLI::App& command, GcodeOptions& options) {
  command
      .add_option("--arcs", options.arcs,
                  "дуги G-кода: quadrants - по четвертям окружности (по умолчанию; convert "
                  "пишет хордами дуги, которые станок по четвертям не успевает затормозить), "
                  "whole - целиком, chords - хордами в пределах 0.01 мм")
      ->check(CLI::IsMember({"quadrants", "whole", "chords"}));
  command.add_flag("--leave-out-cutter-compensation", options.leaveOutCutterCompensation,
                   "пропустить коррекцию на радиус G41/G42 вместо отказа");
}

}  // namespace h33
