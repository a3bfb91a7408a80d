#pragma once

#include <filesystem>
#include <string_view>

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
  float ArcChordLimit = 100.0f;  // mm: a shorter circle cannot brake within itself
};

// The values a machine preset sets, names left empty.
RunParameters PresetParameters(int machineIndex);

// An edit field's number: leading blanks, an optional sign, the digits up to
// the first other character; no digits give 0, so "12мм" is 12.
int ReadParameterField(std::string_view text);

}  // namespace h33
