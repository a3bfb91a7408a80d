// h33 as a process on its standard streams: a program on standard input, and
// standard output that goes nowhere (a full device, a closed descriptor, a
// pipe whose reader has gone), where the run fails with 2, says so, and
// leaves no scratch file behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/runh33.h"
#include "tempdir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace h33 {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

enum class Output { kFile, kFullDevice, kClosed, kReaderGone };

struct Finished {
  bool signalled = false;
  int code = -1;
  std::string out;  // with Output::kFile
  std::string err;
};

// Runs h33 in `folder` with standard input from `input` (when not empty),
// standard output as `output` says, and its scratch files in `scratch`.
Finished RunH33Process(const fs::path& folder, const std::vector<std::string>& args,
                       Output output, const fs::path& scratch, const fs::path& input = {}) {
  const fs::path outFile = folder / "stdout.txt";
  const fs::path errFile = folder / "stderr.txt";
  int pipeEnds[2] = {-1, -1};
  if (output == Output::kReaderGone) {
    if (pipe(pipeEnds) != 0) return {};
    close(pipeEnds[0]);
  }
  const pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    setenv("TMPDIR", scratch.c_str(), 1);
    if (!input.empty()) {
      const int in = open(input.c_str(), O_RDONLY);
      dup2(in, 0);
      close(in);
    }
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(err, 2);
    close(err);
    switch (output) {
      case Output::kFile: {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        close(out);
        break;
      }
      case Output::kFullDevice: {
        const int full = open("/dev/full", O_WRONLY);
        dup2(full, 1);
        close(full);
        break;
      }
      case Output::kClosed:
        close(1);
        break;
      case Output::kReaderGone:
        dup2(pipeEnds[1], 1);
        close(pipeEnds[1]);
        break;
    }
    std::vector<char*> argv = {const_cast<char*>(H33_EXE)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(H33_EXE, argv.data());
    _exit(127);
  }
  if (pipeEnds[1] >= 0) close(pipeEnds[1]);
  Finished finished;
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return finished;
  finished.signalled = WIFSIGNALED(status);
  if (WIFEXITED(status)) finished.code = WEXITSTATUS(status);
  finished.err = ReadBytes(errFile);
  fs::remove(errFile);
  if (output == Output::kFile) {
    finished.out = ReadBytes(outFile);
    fs::remove(outFile);
  }
  return finished;
}

class StandardStreams : public testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(fs::path(H33_EXAMPLES_DIR) / "pocket.up", dir_ / "pocket.up");
    fs::create_directories(scratch_);
  }

  TempDir dir_;
  fs::path scratch_ = dir_ / "scratch";
};

const std::string kFailed = std::string(kStandardOutputFailed) + '\n';

TEST_F(StandardStreams, AReportToAFullDeviceOrAClosedStreamFailsTheRun) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  for (const Output output : {Output::kFullDevice, Output::kClosed}) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"time", "pocket.up"},
             {"info", "pocket.up", "--json"},
             {"verify", "pocket.up"},
             {"correct", "pocket.up", "-o", "-"}}) {
      const Finished run = RunH33Process(dir_.Path(), args, output, scratch_);
      EXPECT_FALSE(run.signalled) << args[0];
      EXPECT_EQ(run.code, kExitBadInput) << args[0];
      EXPECT_TRUE(run.err.ends_with(kFailed)) << args[0] << ": " << run.err;
    }
  }
  EXPECT_TRUE(fs::is_empty(scratch_));
}

// `… | h33 correct - -o - | head -c 10`: the reader goes early. The run ends
// as any failed write ends it, and takes its copies of the input and of the
// output with it.
TEST_F(StandardStreams, AReaderThatGoesEarlyLeavesNoScratchFiles) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"correct", "-", "-o", "-"}, {"time", "-"}}) {
    const Finished run =
        RunH33Process(dir_.Path(), args, Output::kReaderGone, scratch_, dir_ / "pocket.up");
    EXPECT_FALSE(run.signalled) << args[0];
    EXPECT_EQ(run.code, kExitBadInput) << args[0];
    EXPECT_TRUE(run.err.ends_with(kFailed)) << args[0] << ": " << run.err;
    EXPECT_TRUE(fs::is_empty(scratch_)) << args[0];
  }
}

// A pipe or device without end is not copied until the disk is full: the
// copy stops at 1 GB, says so, and leaves nothing behind.
TEST_F(StandardStreams, AnEndlessInputIsStoppedAndLeavesNoScratchFiles) {
  if (!fs::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero on this system";
  const Finished run =
      RunH33Process(dir_.Path(), {"time", "-"}, Output::kFile, scratch_, "/dev/zero");
  EXPECT_EQ(run.code, kExitBadInput);
  EXPECT_NE(run.err.find("остановлено: больше 1 ГБ"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::is_empty(scratch_));
  // Named, the device is refused before a byte is read.
  const Finished named =
      RunH33Process(dir_.Path(), {"verify", "/dev/zero"}, Output::kFile, scratch_, "/dev/null");
  EXPECT_EQ(named.code, kExitBadInput);
  EXPECT_NE(named.err.find("это не обычный файл (канал или устройство)"), std::string::npos)
      << named.err;
  EXPECT_TRUE(fs::is_empty(scratch_));
}

// Standard input can be read once: a second "-" would be an empty program.
TEST_F(StandardStreams, StandardInputIsNamedOnlyOnce) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"diff", "-", "-"}, {"verify", "-", "-"}, {"time", "-", "pocket.up", "-"},
           {"info", "-", "-", "--json"}, {"check", "-", "-"}}) {
    const Finished run =
        RunH33Process(dir_.Path(), args, Output::kFile, scratch_, dir_ / "pocket.up");
    EXPECT_EQ(run.code, kExitBadInput) << args[0];
    EXPECT_EQ(run.out, "") << args[0];
    EXPECT_EQ(run.err, "стандартный ввод (-) можно указать только один раз\n") << args[0];
  }
  EXPECT_TRUE(fs::is_empty(scratch_));
}

// The file information names standard input, not its scratch copy, and has
// no dates of that copy to show.
TEST_F(StandardStreams, InfoOfStandardInputNamesIt) {
  const Finished text =
      RunH33Process(dir_.Path(), {"info", "-"}, Output::kFile, scratch_, dir_ / "pocket.up");
  EXPECT_EQ(text.code, kExitOk) << text.err;
  EXPECT_EQ(text.out.rfind("Файл: - (стандартный ввод) \n Размер: 0.33 Kb ( 336 bytes )\n \n"
                           "Время выполнения УП (мин) = 0.27\n",
                           0),
            0u)
      << text.out;
  EXPECT_EQ(text.out.find("h33-"), std::string::npos) << text.out;
  EXPECT_EQ(text.out.find("Дата"), std::string::npos) << text.out;

  const Finished json = RunH33Process(dir_.Path(), {"info", "-", "--json"}, Output::kFile, scratch_,
                                      dir_ / "pocket.up");
  EXPECT_EQ(json.code, kExitOk) << json.err;
  EXPECT_NE(json.out.find("\"File\": \"-\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"InformationText\": \"Файл: - (стандартный ввод) \\n Размер"),
            std::string::npos)
      << json.out;
  EXPECT_TRUE(fs::is_empty(scratch_));
}

// The same bytes give the same answer on standard input as in a file:
// G-code is known by what it holds, and a refusal names standard input as
// the user gave it, never the scratch copy it was read into.
TEST_F(StandardStreams, StandardInputIsJudgedByItsBytesAsAFileIs) {
  dir_.Write("part.nc", "G21 G90\nG0 X10 Y10\nG1 X20 F300\nM30\n");
  const Finished fromFile =
      RunH33Process(dir_.Path(), {"convert", "part.nc", "-o", "-"}, Output::kFile, scratch_);
  const Finished piped = RunH33Process(dir_.Path(), {"convert", "-", "-o", "-"}, Output::kFile,
                                       scratch_, dir_ / "part.nc");
  EXPECT_EQ(fromFile.code, kExitOk) << fromFile.err;
  EXPECT_EQ(piped.code, kExitOk) << piped.err;
  EXPECT_EQ(piped.out, fromFile.out);
  // X10 to X20 is 10 mm on tape, not 0.10 mm as an H33 program's X10 would be.
  EXPECT_NE(piped.out.find("N002G01X+001000"), std::string::npos) << piped.out;

  dir_.Write("bad.up", "N001X+00100.0\n");
  for (const char* command : {"correct", "verify"}) {
    std::vector<std::string> args{command, "-"};
    if (args[0] == "correct") args.insert(args.end(), {"-o", "out.up"});
    const Finished run =
        RunH33Process(dir_.Path(), args, Output::kFile, scratch_, dir_ / "bad.up");
    EXPECT_EQ(run.code, kExitBadInput) << command;
    EXPECT_NE(run.err.find("Файл УП ->\n - \n"), std::string::npos) << command << ": " << run.err;
    EXPECT_EQ(run.err.find("h33-"), std::string::npos) << command << ": " << run.err;
  }
  EXPECT_FALSE(fs::exists(dir_ / "out.up"));
  EXPECT_TRUE(fs::is_empty(scratch_));
}

#endif  // Windows: h33.exe on pipes is a case of the Windows command tests

}  // namespace
}  // namespace h33
