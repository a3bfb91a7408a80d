#pragma once

#include <filesystem>

#include "planning/plannerpolicy.h"

namespace h33 {

// What a run hands to a method: the two file names and the machining values
// the user set for the machine tool.
struct RunParameters {
  std::filesystem::path InputFileName;
  std::filesystem::path OutputFileName;
  int SpeedLimit = 0;    // mm/min allowed at a full reversal
  int FeedMax = 0;       // mm/min, the highest feed of any frame
  int Acceleration = 0;  // mm/s²
  int MachineIndex = 0;  // 0 converts without braking
  bool FreeNumbering = false;
  bool RestoreAfterArc = false;
  float ArcChordLimit = kShortArcChord_mm;  // mm: a shorter circle cannot brake within itself
};

}  // namespace h33
