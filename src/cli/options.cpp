#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>

#include "cli/programfiles.h"
#include "cli/runh33.h"
#include "format/bytesource.h"
#include "format/formatcheck.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "methods/messages.h"

namespace h33 {

void AddAccelerationOption(CLI::App& command, int& acceleration) {
  command.add_option("--accel", acceleration, "ускорение, мм/с², не меньше 1")
      ->check(DecimalNumber())
      ->check(InRange(1, 1000000))
      ->capture_default_str();
}

CLI::Validator InRange(int low, int high) { return CLI::Range(low, high).description(""); }

CLI::Validator DecimalNumber() {
  return CLI::Validator(
      [](const std::string& text) -> std::string {
        const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
        return digits ? std::string() : "нужно целое десятичное число, а не " + text;
      },
      "");
}

int RunForEachFile(const std::vector<std::string>& files, std::ostream& out, std::ostream& err,
                   bool headed, const std::function<int(const std::string&)>& run) {
  if (!StandardInputAtMostOnce(files, err)) return kExitBadInput;
  int worst = 0;
  for (const std::string& file : files) {
    if (headed && files.size() > 1) out << "== " << file << '\n';
    worst = std::max(worst, run(file));
  }
  return worst;
}

double AsShown(double value) { return std::round(value * 100) / 100; }

void ReportUncounted(const std::filesystem::path& file, const TimeCount& time, std::ostream& err) {
  if (time.status == TimeCountStatus::kCannotOpen) {
    err << Sprintf(kCannotOpenForReadingText, PathText(file).c_str(), time.reason.c_str()) << '\n';
    return;
  }
  err << time.reason << '\n';
}

// The read-only passes only say that the file cannot be opened; a second
// attempt tells why.
void ReportCannotOpen(const std::filesystem::path& path, std::ostream& err) {
  std::string reason = "файл недоступен";
  FileSource::Open(path, &reason);
  err << CannotOpenForReadingText(path) << ' ' << reason << '\n';
}

}  // namespace h33
