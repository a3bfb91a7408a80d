#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "format/outputfile.h"
#include "format/scratchfiles.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
[[maybe_unused]] constexpr const char* kNoSymlinks =
    "Windows: a symbolic link needs a privilege to make, and MinGW's std::filesystem makes none";
#endif

TEST(OutputFile, CommitReplacesTheTargetAndLeavesNoTemporaryFile) {
  TempDir dir;
  dir.Write("out.up", "old");
  {
    OutputFile out(dir / "out.up");
    out.Write("new", 3);
    EXPECT_EQ(ReadBytes(dir / "out.up"), "old");  // untouched until the commit
    out.Commit();
  }
  EXPECT_EQ(ReadBytes(dir / "out.up"), "new");
  EXPECT_EQ(dir.Listing(), "out.up\n");
}

TEST(OutputFile, WithoutCommitTheTargetKeepsWhatItHeld) {
  TempDir dir;
  dir.Write("out.up", "old");
  {
    OutputFile out(dir / "out.up");
    out.Write("half", 4);
  }
  EXPECT_EQ(ReadBytes(dir / "out.up"), "old");
  EXPECT_EQ(dir.Listing(), "out.up\n");
  {
    OutputFile out(dir / "fresh.up");
    out.Write("half", 4);
  }
  EXPECT_EQ(dir.Listing(), "out.up\n");
}

TEST(OutputFile, AClosedFileCanBeReadBackAndIsStillRemovedOrCommitted) {
  TempDir dir;
  dir.Write("out.up", "old");
  {
    OutputFile scratch(dir / "out.up");
    scratch.Write("scratch", 7);
    scratch.Close();
    EXPECT_EQ(ReadBytes(scratch.TemporaryPath()), "scratch");
    EXPECT_THROW(scratch.Write("x", 1), IoError);
  }
  EXPECT_EQ(dir.Listing(), "out.up\n");
  OutputFile out(dir / "out.up");
  out.Write("new", 3);
  out.Close();
  out.Commit();
  EXPECT_EQ(ReadBytes(dir / "out.up"), "new");
  EXPECT_THROW(out.Commit(), IoError);
  EXPECT_EQ(dir.Listing(), "out.up\n");
}

TEST(OutputFile, AWriteProtectedTargetIsLeftAlone) {
  TempDir dir;
  const fs::path target = dir.Write("out.up", "protected");
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
  EXPECT_THROW(OutputFile{target}, IoError);
  EXPECT_EQ(ReadBytes(target), "protected");
  EXPECT_EQ(dir.Listing(), "out.up\n");
}

TEST(OutputFile, ALinkIsWrittenWhereItPoints) {
#ifdef _WIN32
  GTEST_SKIP() << kNoSymlinks;
#endif
  TempDir dir;
  fs::create_directory(dir / "real");
  const fs::path program = dir.Write("real/p.up", "old");
  fs::create_symlink(program, dir / "link.up");
  {
    OutputFile out(dir / "link.up");
    out.Write("new", 3);
    out.Commit();
  }
  EXPECT_TRUE(fs::is_symlink(dir / "link.up"));
  EXPECT_EQ(ReadBytes(program), "new");
  EXPECT_EQ(dir.Listing(), "link.up\nreal\n");
}

TEST(OutputFile, MissingDirectoryIsAnError) {
  TempDir dir;
  EXPECT_THROW(OutputFile(dir / "no" / "out.up"), IoError);
}

// The reason the target was refused, or "" when it was taken.
std::string Refusal(const fs::path& target) {
  try {
    ResolveOutputTarget(target);
    return "";
  } catch (const RunError& error) {
    return error.what();
  }
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The rename would put a plain file where the name stood: over a device, a
// pipe, a process's standard output, or a link that leads nowhere.
TEST(OutputFile, OnlyRegularFilesAndNewNamesAreTargets) {
  TempDir dir;
  fs::create_directory(dir / "sub");
  EXPECT_TRUE(EndsWith(Refusal(dir / "sub"), ": это каталог, а не файл"));
#ifndef _WIN32
  EXPECT_TRUE(EndsWith(Refusal("/dev/null"), ": это устройство, а не файл"));
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_TRUE(EndsWith(Refusal(dir / "fifo"), ": это канал, а не файл"));
  fs::create_symlink(dir / "fifo", dir / "to-fifo");
  EXPECT_TRUE(EndsWith(Refusal(dir / "to-fifo"), ": это канал, а не файл"));
  for (const char* stream : {"/dev/stdout", "/dev/stderr", "/dev/fd/1", "/proc/self/fd/2"}) {
    EXPECT_NE(Refusal(stream).find(": это поток процесса, а не файл"), std::string::npos) << stream;
  }
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  EXPECT_TRUE(EndsWith(Refusal(dir / "dangling"), ": ссылка ведет на несуществующий файл"));
  fs::create_symlink(dir / "loop-b", dir / "loop-a");
  fs::create_symlink(dir / "loop-a", dir / "loop-b");
  EXPECT_NE(Refusal(dir / "loop-a"), "");
  fs::create_symlink("sub/../p.up", dir / "relative");
  dir.Write("p.up", "old");
  EXPECT_EQ(ResolveOutputTarget(dir / "relative"), dir / "p.up");
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
#else
  // The system's devices have a name in every folder.
  for (const char* device : {"NUL", "CON", "nul", "COM1", "CONOUT$"}) {
    EXPECT_TRUE(EndsWith(Refusal(device), ": это устройство, а не файл")) << Refusal(device);
    EXPECT_TRUE(EndsWith(Refusal(dir / device), ": это устройство, а не файл")) << device;
  }
  dir.Write("p.up", "old");
#endif
  EXPECT_EQ(Refusal(dir / "p.up"), "");
  EXPECT_EQ(Refusal(dir / "new.up"), "");
}

// The temporary name does not grow out of the target's, which may already
// be as long as the file system allows.
TEST(OutputFile, ALongestNameCanBeWritten) {
  TempDir dir;
  const std::string name = std::string(247, 'n') + ".up";
  {
    OutputFile out(dir / name);
    out.Write("new", 3);
    out.Commit();
  }
  EXPECT_EQ(ReadBytes(dir / name), "new");
}

// A run stopped by a signal leaves no temporary file behind, and the target
// as it was; the signal still ends the process.
TEST(OutputFile, AnInterruptLeavesNoTemporaryFile) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows: no fork() to interrupt a run in; Ctrl-C under Windows is left untested";
#else
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    TempDir dir;
    dir.Write("out.up", "old");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      ScratchFiles::RemoveOnSignals();
      setenv("TMPDIR", dir.Path().c_str(), 1);
      OutputFile out(dir / "out.up");
      out.Write("half", 4);
      ScratchFile scratch(".up");
      std::raise(signal);
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
    EXPECT_EQ(dir.Listing(), "out.up\n") << signal;
    EXPECT_EQ(ReadBytes(dir / "out.up"), "old");
  }
#endif
}

// Two files written for one change: the first target is moved over, then
// the second; `spoil` runs before the moves.
std::string CommitTwo(const fs::path& first, const fs::path& second,
                      const std::function<void()>& spoil = [] {}) {
  OutputFile firstOut(first);
  firstOut.Write("new first", 9);
  OutputFile secondOut(second);
  secondOut.Write("new second", 10);
  spoil();
  try {
    CommitBoth(firstOut, secondOut);
    return "";
  } catch (const RunError& error) {
    return error.what();
  }
}

TEST(CommitBoth, MovesBothFilesAndLeavesNothingElse) {
  TempDir dir;
  dir.Write("a.up", "old first");
  EXPECT_EQ(CommitTwo(dir / "a.up", dir / "b.up"), "");
  EXPECT_EQ(ReadBytes(dir / "a.up"), "new first");
  EXPECT_EQ(ReadBytes(dir / "b.up"), "new second");
  EXPECT_EQ(dir.Listing(), "a.up\nb.up\n");
}

// The second move fails (a folder took the second name): the first target
// holds again what it held, or is gone when it is new.
TEST(CommitBoth, ASecondMoveThatFailsLeavesTheFirstTargetAsItWas) {
  TempDir dir;
  const auto folderAtSecond = [&dir] { fs::create_directory(dir / "b.up"); };
  dir.Write("a.up", "old first");
  constexpr fs::perms kShared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir / "a.up", kShared);
  const fs::perms before = fs::status(dir / "a.up").permissions();
  EXPECT_NE(CommitTwo(dir / "a.up", dir / "b.up", folderAtSecond), "");
  EXPECT_EQ(ReadBytes(dir / "a.up"), "old first");
  EXPECT_EQ(fs::status(dir / "a.up").permissions(), before);
  EXPECT_EQ(dir.Listing(), "a.up\nb.up\n");
  EXPECT_TRUE(fs::is_empty(dir / "b.up"));

  fs::remove(dir / "a.up");
  fs::remove(dir / "b.up");
  EXPECT_NE(CommitTwo(dir / "a.up", dir / "b.up", folderAtSecond), "");
  EXPECT_EQ(dir.Listing(), "b.up\n");
}

// The first move fails: nothing was moved, and the copy made for putting
// the first target back goes too.
TEST(CommitBoth, AFirstMoveThatFailsChangesNothing) {
  TempDir dir;
  dir.Write("a.up", "old first");
  dir.Write("b.up", "old second");
  EXPECT_NE(CommitTwo(dir / "a.up", dir / "b.up",
                      [&dir] {
                        fs::remove(dir / "a.up");
                        fs::create_directory(dir / "a.up");
                      }),
            "");
  EXPECT_TRUE(fs::is_directory(dir / "a.up"));
  EXPECT_EQ(ReadBytes(dir / "b.up"), "old second");
  EXPECT_EQ(dir.Listing(), "a.up\nb.up\n");
}

TEST(DesignateSameFile, SeesThroughSpellingsAndLinks) {
  TempDir dir;
  dir.Write("a.up", "x");
  fs::create_directories(dir / "sub");
  EXPECT_TRUE(DesignateSameFile(dir / "a.up", dir / "sub" / ".." / "a.up"));
  EXPECT_FALSE(DesignateSameFile(dir / "a.up", dir / "b.up"));
#ifdef _WIN32
  // Letter case is not part of a Windows name.
  EXPECT_TRUE(DesignateSameFile(dir / "a.up", dir / "A.UP"));
#else
  fs::create_symlink(dir / "a.up", dir / "link.up");
  EXPECT_TRUE(DesignateSameFile(dir / "a.up", dir / "link.up"));
  EXPECT_FALSE(DesignateSameFile(dir / "a.up", dir / "A.up"));
#endif
}

}  // namespace
}  // namespace h33
