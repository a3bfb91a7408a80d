#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

#include "format/bytesource.h"
#include "format/formatcheck.h"
#include "format/pathtext.h"

namespace h33 {

void AddAccelerationOption(CLI::App& command, int& acceleration) {
  command.add_option("--accel", acceleration, "ускорение, мм/с², не меньше 1")
      ->check(DecimalNumber())
      ->check(CLI::Range(1, 1000000))
      ->capture_default_str();
}

CLI::Validator DecimalNumber() {
  return CLI::Validator(
      [](const std::string& text) -> std::string {
        const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
        return digits ? std::string() : "нужно целое десятичное число, а не " + text;
      },
      "");
}

bool CheckReadable(const std::filesystem::path& path, std::ostream& err) {
  std::string reason;
  if (FileSource::Open(path, &reason)) return true;
  err << "Невозможно открыть файл " << PathText(path) << " на чтение: " << reason << '\n';
  return false;
}

// The read-only passes only say that the file cannot be opened; a second
// attempt tells why.
void ReportCannotOpen(const std::filesystem::path& path, std::ostream& err) {
  std::string reason = "файл недоступен";
  FileSource::Open(path, &reason);
  err << CannotOpenForReadingText(path) << ' ' << reason << '\n';
}

}  // namespace h33
