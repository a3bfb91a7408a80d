#pragma once

#include <filesystem>

#include "planning/machinelimits.h"
#include "planning/plannerpolicy.h"

namespace h33 {

// What a run hands to a method: the two file names and the machining values
// the user set for the machine tool.
struct RunParameters {
  std::filesystem::path InputFileName;
  std::filesystem::path OutputFileName;
  MachineLimits Machine;
  int MachineIndex = 0;  // 0 converts without braking
  bool FreeNumbering = false;
  bool RestoreAfterArc = false;
  float ArcChordLimit = kShortArcChord_mm;  // mm: a shorter circle cannot brake within itself
};

}  // namespace h33
