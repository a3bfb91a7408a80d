// Program files from pipes and FIFOs: read once, the same bytes for every pass.

#include "cli/programfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

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
