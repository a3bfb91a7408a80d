#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace h33 {

// Exit codes of the h33 command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // the work was done and the answer is "no", or a method failed
inline constexpr int kExitBadInput = 2;  // missing or unreadable file, bad argument

// Said on standard error when a report could not be written to standard output.
inline constexpr const char* kStandardOutputFailed =
    "ошибка записи на стандартный вывод";

// Runs the h33 command with its arguments (without the program name).
int RunH33(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Parses a command's arguments; the exit code when the run ends here (help
// printed, or the arguments refused with the reason on `err`).
std::optional<int> ParseCommandLine(CLI::App& app, const std::vector<std::string>& args,
                                    std::ostream& out, std::ostream& err);

}  // namespace h33
