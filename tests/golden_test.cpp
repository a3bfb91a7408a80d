// Runs every case folder under golden/ through the h33 command, exactly as a
// user would from a shell, and compares what it prints and writes. Folders
// named plot-* are cases of the h33-plot command: they run in the picture
// build of this file (H33_GOLDEN_PLOT), the others in the core's.
//
// A case folder holds:
//   cmd        the arguments, one per line
//   stdout     what the command prints (absent: nothing)
//   stderr     what it prints as errors (absent: nothing)
//   exit       its exit code (absent: 0)
//   expected/  files the run must leave behind, byte for byte
//   posix-only, windows-only
//              a case of one system's names (/dev/null, NUL): skipped on
//              the other, with the reason the file holds
//   anything else: input files, copied into the working directory first.
// After the run the working directory must hold the inputs and the expected
// files and nothing more.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/runh33.h"
#include "tempdir.h"

#ifdef H33_GOLDEN_PLOT
#include <QGuiApplication>

#include "cli/plotcommand.h"
#endif

namespace h33 {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kCaseFiles = {"cmd",    "stdout", "stderr",      "exit",
                                          "expected", "README", "posix-only", "windows-only"};

#ifdef _WIN32
constexpr const char* kOtherSystemOnly = "posix-only";
#else
constexpr const char* kOtherSystemOnly = "windows-only";
#endif

std::vector<std::string> ReadArguments(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> args;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) args.push_back(line);
  }
  return args;
}

std::string ReadIfPresent(const fs::path& file) {
  return fs::exists(file) ? ReadBytes(file) : std::string();
}

std::set<std::string> Names(const fs::path& directory) {
  std::set<std::string> names;
  if (!fs::exists(directory)) return names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, Case) {
  const fs::path folder = fs::path(H33_GOLDEN_DIR) / GetParam();
  if (fs::exists(folder / kOtherSystemOnly)) {
    GTEST_SKIP() << kOtherSystemOnly << ": " << ReadBytes(folder / kOtherSystemOnly);
  }
  TempDir work;
  std::set<std::string> expectedNames;
  for (const auto& name : Names(folder)) {
    if (kCaseFiles.count(name)) continue;
    fs::copy(folder / name, work / name, fs::copy_options::recursive);
    expectedNames.insert(name);
  }

  const fs::path saved = fs::current_path();
  fs::current_path(work.Path());
  std::ostringstream out;
  std::ostringstream err;
#ifdef H33_GOLDEN_PLOT
  const int code = RunH33Plot(ReadArguments(folder / "cmd"), out, err);
#else
  const int code = RunH33(ReadArguments(folder / "cmd"), out, err);
#endif
  fs::current_path(saved);

  const std::string exitText = ReadIfPresent(folder / "exit");
  EXPECT_EQ(code, exitText.empty() ? 0 : std::stoi(exitText));
  EXPECT_EQ(out.str(), ReadIfPresent(folder / "stdout"));
  EXPECT_EQ(err.str(), ReadIfPresent(folder / "stderr"));
  for (const auto& name : Names(folder / "expected")) {
    EXPECT_EQ(ReadIfPresent(work / name), ReadBytes(folder / "expected" / name)) << name;
    expectedNames.insert(name);
  }
  EXPECT_EQ(Names(work.Path()), expectedNames);
}

#ifdef H33_GOLDEN_PLOT
constexpr bool kPlotCases = true;
#else
constexpr bool kPlotCases = false;
#endif

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(H33_GOLDEN_DIR)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_directory() && name.starts_with("plot-") == kPlotCases) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(CaseNames()),
                         [](const testing::TestParamInfo<std::string>& param) {
                           std::string name = param.param;
                           std::replace_if(
                               name.begin(), name.end(),
                               [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                               '_');
                           return name;
                         });

}  // namespace
}  // namespace h33

#ifdef H33_GOLDEN_PLOT
int main(int argc, char** argv) {
  // As h33-plot does: pictures need no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
#endif
