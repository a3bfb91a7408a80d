#pragma once

#include <filesystem>
#include <iosfwd>

#include "app/machines.h"

namespace CLI {
class App;
class Validator;
}

namespace h33 {

inline constexpr int kDefaultAcceleration = kMachinePresets[kDefaultMachineIndex].acceleration;

// --accel N: a whole number of mm/s², at least 1.
void AddAccelerationOption(CLI::App& command, int& acceleration);

// Refuses what is not a whole decimal number: the option parser would read
// 0x10 as 16 and 1e3 as 1000.
CLI::Validator DecimalNumber();

// Checks that the path names a readable file; otherwise says why on `err`.
bool CheckReadable(const std::filesystem::path& path, std::ostream& err);

// The format check's and the file information's "cannot open" text on `err`,
// followed by the reason.
void ReportCannotOpen(const std::filesystem::path& path, std::ostream& err);

}  // namespace h33
