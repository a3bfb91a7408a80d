// Every command reads the lines of a file the same way: a file saved with
// old Macintosh line ends (a lone CR) gives what the same file with CR LF
// gives, in every command, to the byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/runh33.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

struct CommandRun {
  int code = 0;
  std::string out, err, written;

  bool operator==(const CommandRun&) const = default;
};

std::ostream& operator<<(std::ostream& stream, const CommandRun& run) {
  return stream << "exit " << run.code << "\n" << run.out << run.err << run.written;
}

// The command run in a folder of its own on `program` saved as p.up (p.ptp),
// with what it writes to out.up.
CommandRun RunOn(const std::string& program, const char* input, std::vector<std::string> args) {
  TempDir dir;
  dir.Write(input, program);
  const fs::path saved = fs::current_path();
  fs::current_path(dir.Path());
  std::ostringstream out, err;
  CommandRun run;
  run.code = RunH33(args, out, err);
  fs::current_path(saved);
  run.out = out.str();
  run.err = err.str();
  for (const char* name : {"out.up", "o2.up", "o3.up"}) {
    if (fs::exists(dir / name)) run.written += ReadBytes(dir / name) + "--\n";
  }
  if (args[0] == "split") {
    // A cut leaves the first tape under the file's own name. What the split
    // prints names the file's size in bytes, which the line ends change.
    if (!run.written.empty()) run.written += ReadBytes(dir / input);
    run.out.clear();
  }
  return run;
}

std::string WithLoneCarriageReturns(std::string program) {
  std::erase(program, '\n');
  return program;
}

const std::vector<std::vector<std::string>> kUpCommands = {
    {"check", "p.up", "--verbose"},
    {"time", "p.up"},
    {"info", "p.up", "--no-file-info", "--breakdown", "--json"},
    {"verify", "p.up", "--json"},
    {"correct", "p.up", "-o", "out.up"},
    {"split", "p.up", "--limit", "400", "--names", "out.up,o2.up,o3.up", "--machine", "6М13СН"},
};

TEST(LineEnds, EveryCommandTakesTheSameFramesFromLoneCarriageReturns) {
  for (const char* example : {"pocket.up", "corner.up"}) {
    const std::string crlf = ReadBytes(fs::path(H33_EXAMPLES_DIR) / example);
    ASSERT_NE(crlf.find("\r\n"), std::string::npos) << example;
    const std::string cr = WithLoneCarriageReturns(crlf);
    for (const auto& args : kUpCommands) {
      SCOPED_TRACE(std::string(example) + ": " + args[0]);
      const CommandRun fromCrlf = RunOn(crlf, "p.up", args);
      EXPECT_EQ(RunOn(cr, "p.up", args), fromCrlf);
      // What the file holds is a program to every one of them.
      EXPECT_NE(fromCrlf.code, 2) << fromCrlf;
    }
  }
  const std::string ptp = ReadBytes(fs::path(H33_EXAMPLES_DIR) / "pocket.ptp");
  const std::vector<std::string> convert = {"convert", "p.ptp", "-o", "out.up"};
  const CommandRun fromCrlf = RunOn(ptp, "p.ptp", convert);
  EXPECT_EQ(fromCrlf.code, 0) << fromCrlf;
  EXPECT_EQ(RunOn(WithLoneCarriageReturns(ptp), "p.ptp", convert), fromCrlf);
}

// What the comparison of a program with its correction finds does not
// depend on the line ends of either.
TEST(LineEnds, DiffMatchesAProgramWithLoneCarriageReturnsToItsCorrection) {
  const std::string crlf = ReadBytes(fs::path(H33_EXAMPLES_DIR) / "pocket.up");
  TempDir dir;
  dir.Write("in.up", WithLoneCarriageReturns(crlf));
  const fs::path saved = fs::current_path();
  fs::current_path(dir.Path());
  std::ostringstream ignored, out, err;
  const int corrected = RunH33({"correct", "in.up", "-o", "out.up"}, ignored, ignored);
  const int compared = RunH33({"diff", "in.up", "out.up"}, out, err);
  fs::current_path(saved);
  EXPECT_EQ(corrected, 0);
  EXPECT_EQ(compared, 0) << out.str() << err.str();
  EXPECT_NE(out.str().find("Перемещения совпадают: 10."), std::string::npos) << out.str();
}

}  // namespace
}  // namespace h33
