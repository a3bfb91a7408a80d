#include <gtest/gtest.h>

#include <filesystem>

#include "outputfile.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

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

TEST(DesignateSameFile, SeesThroughSpellingsAndLinks) {
  TempDir dir;
  dir.Write("a.up", "x");
  fs::create_directories(dir / "sub");
  EXPECT_TRUE(DesignateSameFile(dir / "a.up", dir / "sub" / ".." / "a.up"));
  fs::create_symlink(dir / "a.up", dir / "link.up");
  EXPECT_TRUE(DesignateSameFile(dir / "a.up", dir / "link.up"));
  EXPECT_FALSE(DesignateSameFile(dir / "a.up", dir / "b.up"));
  EXPECT_FALSE(DesignateSameFile(dir / "a.up", dir / "A.up"));
}

}  // namespace
}  // namespace h33
