// Program files from pipes and FIFOs: read once, the same bytes for every pass.

#include "cli/programfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/runh33.h"
#include "tempdir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace h33 {
namespace {

namespace fs = std::filesystem;

const std::string kProgram = "%\r\nN001G01X+001000F0660\r\nN002Y+001000\r\nN003M30\r\n";

TEST(ProgramFiles, RegularAndMissingFilesStayAsTheyAre) {
  TempDir dir;
  std::ostringstream err;
  ProgramFiles files;
  std::string regular = dir.Write("p.up", kProgram).string();
  const std::string named = regular;
  EXPECT_TRUE(files.TakeInput(regular, err));
  EXPECT_EQ(regular, named);
  std::string missing = (dir / "none.up").string();
  EXPECT_TRUE(files.TakeInput(missing, err));
  EXPECT_EQ(missing, (dir / "none.up").string());
  EXPECT_EQ(err.str(), "");
}

#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

// Every command, whatever else it would do with its input, refuses the
// null device rather than take it for an empty program, and writes nothing.
TEST(ProgramFiles, EveryCommandRefusesADeviceAsInput) {
  TempDir dir;
  const std::string out = (dir / "out.up").string();
  const std::vector<std::vector<std::string>> commands = {
      {"check", kNullDevice},
      {"info", kNullDevice},
      {"time", kNullDevice},
      {"verify", kNullDevice},
      {"correct", kNullDevice, "-o", out},
      {"convert", kNullDevice, "-o", out},
      {"import", kNullDevice, "-o", out},
      {"diff", kNullDevice, dir.Write("p.up", kProgram).string()},
      {"split", kNullDevice, "--limit", "300", "--names", out, "--yes"},
  };
  for (const auto& command : commands) {
    std::ostringstream output;
    std::ostringstream err;
    EXPECT_EQ(RunH33(command, output, err), kExitBadInput) << command[0];
    EXPECT_NE(err.str().find(std::string(kNullDevice) + " \n на 'чтение' \n это не обычный файл "
                                                        "(канал или устройство)"),
              std::string::npos)
        << command[0] << ": " << err.str();
    EXPECT_EQ(dir.Listing(), "p.up\n") << command[0];
  }
}

#ifdef _WIN32
#define H33_SKIP_WITHOUT_FIFOS() \
  GTEST_SKIP() << "Windows: no FIFOs in a folder (a pipe comes as standard input, \"-\")"
#else
#define H33_SKIP_WITHOUT_FIFOS()
#endif

// Each pass of a command opens its input anew: a FIFO is read once, and the
// scratch copy goes with the run.
TEST(ProgramFiles, AFifoIsReadOnceIntoAScratchCopy) {
  H33_SKIP_WITHOUT_FIFOS();
#ifndef _WIN32
  TempDir dir;
  const fs::path fifo = dir / "in.up";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << kProgram; });
  fs::path scratch;
  {
    ProgramFiles files;
    std::ostringstream err;
    std::string name = fifo.string();
    ASSERT_TRUE(files.TakeInput(name, err)) << err.str();
    writer.join();
    scratch = name;
    EXPECT_NE(scratch, fifo);
    EXPECT_EQ(scratch.extension(), ".up");
    EXPECT_EQ(ReadBytes(scratch), kProgram);
  }
  EXPECT_FALSE(fs::exists(scratch));
#endif
}

// Every pass sees the program: the check, the time count.
TEST(ProgramFiles, ACommandOnAFifoSeesTheProgramInEveryPass) {
  H33_SKIP_WITHOUT_FIFOS();
#ifndef _WIN32
  TempDir dir;
  const fs::path regular = dir.Write("p.up", kProgram);
  std::ostringstream expected;
  std::ostringstream ignored;
  ASSERT_EQ(RunH33({"time", regular.string()}, expected, ignored), kExitOk);

  const fs::path fifo = dir / "in.up";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << kProgram; });
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunH33({"time", fifo.string()}, out, err), kExitOk) << err.str();
  writer.join();
  EXPECT_EQ(out.str(), expected.str());
#endif
}

}  // namespace
}  // namespace h33
