#pragma once

#include <string>

#include "gcode/gcodeimport.h"

namespace CLI {
class App;
}

namespace h33 {

// The import's options, shared by "import" and by "convert" of a G-code file.
struct GcodeOptions {
  std::string arcs = "quadrants";
  bool leaveOutCutterCompensation = false;

  ImportOptions ToImportOptions() const;
};

void AddGcodeOptions(CLI::App& command, GcodeOptions& options);

}  // namespace h33
