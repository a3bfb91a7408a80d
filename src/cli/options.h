#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/machines.h"
#include "methods/timecount.h"

namespace CLI {
class App;
class Validator;
}

namespace h33 {

inline constexpr int kDefaultAcceleration =
    kMachinePresets[kDefaultMachineIndex].limits.acceleration_mm_s2;

// --accel N: a whole number of mm/s², at least 1.
void AddAccelerationOption(CLI::App& command, int& acceleration);

// Refuses a number outside [low, high]. Its help says nothing of its own:
// the option's text states the range.
CLI::Validator InRange(int low, int high);

// Refuses what is not a whole decimal number: the option parser would read
// 0x10 as 16 and 1e3 as 1000.
CLI::Validator DecimalNumber();

// Runs `run` on every file named, each result under a line with the file's
// name when there are several (unless `headed` is false: JSON names its file
// itself); the worst exit code of them. Standard input named twice is
// refused on `err` before any file is read.
int RunForEachFile(const std::vector<std::string>& files, std::ostream& out, std::ostream& err,
                   bool headed, const std::function<int(const std::string&)>& run);

// A number as the statistics show it: to the hundredth.
double AsShown(double value);

// Why the time of `file` could not be counted, on `err`.
void ReportUncounted(const std::filesystem::path& file, const TimeCount& time, std::ostream& err);

// The format check's and the file information's "cannot open" text on `err`,
// followed by the reason.
void ReportCannotOpen(const std::filesystem::path& path, std::ostream& err);

}  // namespace h33
