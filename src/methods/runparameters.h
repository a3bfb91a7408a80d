#pragma once

#include <filesystem>

#include "planning/machinelimits.h"
#include "planning/plannerpolicy.h"

namespace h33 {

// What a run hands to a method: the two file names and the machining values
// the user set for the machine tool.
struct RunParameters {
  std::filesystem::path inputFile;
  std::filesystem::path outputFile;
  MachineLimits machine;
  bool brakes = false;  // false: the conversion writes the feeds as they are, unbraked
  bool freeNumbering = false;
  bool restoreAfterArc = false;
  float arcChordLimit_mm = kShortArcChord_mm;  // a shorter arc cannot brake within itself
};

}  // namespace h33
