// The whole tape split on files, with every question answered yes, on
// arbitrary programs and tape sizes.
//
// Every tape written fits the tape length asked for, except a last part the
// split says it could not cut (the names ran out while it was too long); a
// tape length refused as too short changes nothing.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "methods/tapesplitter.h"
#include "fuzzing.h"
#include "scripteddialogs.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace h33::fuzz {
namespace {

namespace fs = std::filesystem;

const fs::path& WorkDirectory() {
  static const fs::path directory = [] {
    fs::path path = fs::temp_directory_path() / ("h33-fuzz-tapefit-" + std::to_string(getpid()));
    fs::create_directories(path);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(WorkDirectory(), ignored);
    });
    return path;
  }();
  return directory;
}

const std::vector<std::string> kTapes{"p.up", "q.up", "r.up", "s.up"};

// Yes to every question while names are left, then no: the name dialog
// closed without a name would otherwise ask the same question for ever.
class AnsweringDialogs : public ScriptedDialogs {
 public:
  Button Ask(DialogKind, const std::string& text,
             std::initializer_list<Button> buttons) override {
    shown.push_back(text);
    const bool question = std::find(buttons.begin(), buttons.end(), Button::No) != buttons.end();
    if (!question) return *buttons.begin();
    return secondPartNames.empty() ? Button::No : Button::Yes;
  }
};

std::uintmax_t SizeOf(const fs::path& file) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  return error ? 0 : size;
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33;
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const long workingLimit = bytes.Between(-200, 3000);
  const long tapeSize = workingLimit + 200;
  const std::string program(bytes.Rest());

  const fs::path& directory = WorkDirectory();
  for (const std::string& tape : kTapes) fs::remove(directory / tape);
  std::ofstream(directory / kTapes[0], std::ios::binary) << program;

  AnsweringDialogs dialogs;
  dialogs.lengthLimits = {workingLimit};
  for (std::size_t tape = 1; tape < kTapes.size(); ++tape) {
    dialogs.secondPartNames.push_back((directory / kTapes[tape]).string());
  }
  const SplitOutcome outcome = TapeSplitter(directory / kTapes[0], {100, 1200, 50}, dialogs).Run();

  std::vector<std::uintmax_t> sizes;
  for (const std::string& tape : kTapes) {
    if (fs::exists(directory / tape)) sizes.push_back(SizeOf(directory / tape));
  }
  const auto shown = [&] { return Shown(program) + "\ntape " + std::to_string(tapeSize); };
  if (outcome == SplitOutcome::kTapeTooShort) {
    Require(sizes.size() == 1 && sizes[0] == program.size(),
            "a tape refused as too short changes nothing", shown);
    return 0;
  }
  // The file last cut from, the remainder, may stay too long only when the
  // split says so.
  const bool lastMayBeLong = outcome != SplitOutcome::kFinished;
  for (std::size_t tape = 0; tape < sizes.size(); ++tape) {
    const bool last = tape + 1 == sizes.size();
    if (last && lastMayBeLong) break;
    Require(sizes[tape] <= static_cast<std::uintmax_t>(tapeSize), "every tape fits its length",
            [&] { return shown() + "\n" + kTapes[tape] + " " + std::to_string(sizes[tape]); });
  }
  return 0;
}
