// Every command that reads a file and writes one keeps the user's files: an
// output that is the input under any spelling is refused with the input left
// as it was, and a run that fails at its last step leaves an earlier output
// under the same name byte for byte.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/runh33.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

constexpr const char* kGcode = "G21 G90\nG0 X10 Y10\nG1 X20 F300\nG1 Y20\nM30\n";
constexpr const char* kProgram =
    "%\r\nN001G01X+001000F0660\r\nN002Y+001000\r\nN003X-001000F0624\r\nN004F0000\r\nN005M30\r\n";
constexpr const char* kTape = "%\r\nN001G01X+001000F600\r\nN002Y+001000\r\nN003X-001000F240\r\n"
                              "N004F0\r\nN005M30\r\n";
constexpr const char* kOldOutput = "%\r\nN001G01X+000100F0660\r\nN002F0000\r\nN003M30\r\n";

// A motion line that the run restates a feed in, and that is then too long
// to be read back whole.
std::string LineGrownPastARead(std::string line) {
  while (line.size() + 5 <= 197) line += "S5000";
  return line + "\r\n";
}

// One command of those that write: its input file, and its arguments for
// an input and an output name.
struct Writer {
  const char* name;
  const char* input;
  std::string program;
  std::string failingProgram;  // fails once everything else is done
  std::vector<std::string> (*args)(const std::string& in, const std::string& out);
};

std::ostream& operator<<(std::ostream& stream, const Writer& writer) { return stream << writer.name; }

std::vector<std::string> Convert(const std::string& in, const std::string& out) {
  return {"convert", in, "-o", out};
}
std::vector<std::string> Import(const std::string& in, const std::string& out) {
  return {"import", in, "-o", out};
}
std::vector<std::string> Correct(const std::string& in, const std::string& out) {
  return {"correct", in, "-o", out};
}
// The split rewrites its input as the first tape; the names are the others'.
std::vector<std::string> Split(const std::string& in, const std::string& out) {
  return {"split", in, "--limit", "60", "--names", out, "--yes"};
}

const std::string kFailingTape = "%\r\nN001G01X+001000F600\r\n" +
                                 LineGrownPastARead("N002Y+001000") +
                                 "N003X-001000F240\r\nN004F0\r\nN005M30\r\n";
const std::string kFailingProgram = "%\r\nN001G01X+001000F0660\r\n" +
                                    LineGrownPastARead("N002Y+001000") +
                                    "N003X-001000F0624\r\nN004F0000\r\nN005M30\r\n";
const std::string kLongProgram =
    "%\nN001G01Y+001000F0660\nN002X+001000\nN003Y-001000\nN004X-001000\nN005Y+001000\n"
    "N006X+001000\nN007F0000\nN008M30\n";
const std::string kFailingGcode = "G21 G90\nG0 X10 Y10\nG1 X20 F300\nG5.1 X20 Y5\n";
const std::string kFailingSplit =
    "%\nN001G01Y+001000F0660\nN002X+001000\nN003Y-001000\nN004X-001000\nN005Y+001000F\n"
    "N006X+001000\nN007M30\n";

const Writer kWriters[] = {
    {"convert_tape", "p.ptp", kTape, kFailingTape, Convert},
    {"convert_gcode", "p.nc", kGcode, kFailingGcode, Convert},
    {"convert_gcode_known_by_content", "p.txt", kGcode, kFailingGcode, Convert},
    {"import", "p.nc", kGcode, kFailingGcode, Import},
    {"correct", "p.up", kProgram, kFailingProgram, Correct},
    {"split", "p.up", kLongProgram, kFailingSplit, Split},
};

class OutputSafety : public testing::TestWithParam<Writer> {
 protected:
  int Run(const std::vector<std::string>& args) {
    const fs::path saved = fs::current_path();
    fs::current_path(dir_.Path());
    std::ostringstream out, err;
    const int code = RunH33(args, out, err);
    fs::current_path(saved);
    said_ = out.str() + err.str();
    return code;
  }

  TempDir dir_;
  std::string said_;
};

TEST_P(OutputSafety, TheInputUnderAnySpellingIsRefusedAsTheOutput) {
  const Writer& writer = GetParam();
  const fs::path input = dir_.Write(writer.input, writer.program);
  std::vector<std::string> spellings = {writer.input, "./" + std::string(writer.input), "hard"};
  fs::create_hard_link(input, dir_ / "hard");
#ifdef _WIN32
  // Windows takes a name in any case, and drops its trailing dots.
  std::string upper = writer.input;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  spellings.push_back(upper);
  spellings.push_back(writer.input + std::string("."));
#else
  // Windows gives symbolic links to administrators only (see outputfile_test).
  fs::create_symlink(writer.input, dir_ / "symbolic");
  spellings.push_back("symbolic");
#endif
  const std::string listing = dir_.Listing();
  for (const std::string& output : spellings) {
    SCOPED_TRACE(output);
    EXPECT_NE(Run(writer.args(writer.input, output)), 0) << said_;
    EXPECT_EQ(ReadBytes(input), writer.program);
    EXPECT_EQ(dir_.Listing(), listing);
  }
}

TEST_P(OutputSafety, ARunThatFailsLeavesTheEarlierOutputAsItWas) {
  const Writer& writer = GetParam();
  const fs::path input = dir_.Write(writer.input, writer.failingProgram);
  const fs::path output = dir_.Write("out.up", kOldOutput);
  EXPECT_NE(Run(writer.args(writer.input, "out.up")), 0) << said_;
  EXPECT_EQ(ReadBytes(output), kOldOutput) << said_;
  EXPECT_EQ(ReadBytes(input), writer.failingProgram);
  EXPECT_EQ(dir_.Listing(), "out.up\n" + std::string(writer.input) + "\n");
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, OutputSafety, testing::ValuesIn(kWriters),
                         [](const testing::TestParamInfo<Writer>& run) {
                           return std::string(run.param.name);
                         });

}  // namespace
}  // namespace h33
