#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "format/bytesource.h"
#include "format/textformat.h"
#include "methods/uptoup.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "%\r\nN001X+001000F0660\r\nN002M05\r\n";
constexpr const char* kCorrected = "%\r\nN001X+001000F0660\r\nN002F0000\r\nN003M05\r\n";
constexpr const char* kCaption = "captioned <Ошибка в программе UpToUp>: ";

struct FileRun {
  CorrectionStatus result;
  std::vector<std::string> shown;
};

FileRun RunOnFiles(const fs::path& input, const fs::path& output) {
  ScriptedDialogs dialogs;
  const CorrectionStatus result = UpToUpCorrection(input, output, {50, 1200, 5}, dialogs).Run();
  return {result, dialogs.shown};
}

TEST(UpToUpFiles, WritesTheCorrectedProgramAndShowsTheSums) {
  TempDir dir;
  // Names longer than 99 characters are kept whole.
  const std::string longName = std::string(120, 'p') + ".up";
  dir.Write(longName, kProgram);
  dir.Write("out.up", "old");
  const FileRun run = RunOnFiles(dir / longName, dir / "out.up");
  EXPECT_EQ(run.result, CorrectionStatus::kCorrected);
  EXPECT_EQ(ReadBytes(dir / "out.up"), kCorrected);
  ASSERT_EQ(run.shown.size(), 1u);
  EXPECT_EQ(run.shown[0].rfind("message: Контрольные суммы:\nSUMX =     10.00 mm", 0), 0u);
  EXPECT_EQ(dir.Listing(), "out.up\n" + longName + "\n");
}

TEST(UpToUpFiles, MissingInputIsRefusedBeforeTheOutputIsTouched) {
  TempDir dir;
  const FileRun run = RunOnFiles(dir / "none.up", dir / "out.up");
  EXPECT_EQ(run.result, CorrectionStatus::kInputUnreadable);
  EXPECT_EQ(run.shown,
            std::vector<std::string>{kCaption + std::string("Не могу открыть файл ") +
                                     (dir / "none.up").string() + "\nNo such file or directory"});
  EXPECT_EQ(dir.Listing(), "");
}

TEST(UpToUpFiles, OutputThatCannotBeCreated) {
  TempDir dir;
  dir.Write("p.up", kProgram);
  fs::create_directories(dir / "sub");
  const std::vector<std::pair<fs::path, std::string>> outputs{
      {dir / "no" / "out.up", "не удается создать файл %s: No such file or directory"},
#ifdef _WIN32
      // Windows does not tell a file from a missing folder on the way.
      {dir / "p.up" / "out.up", "не удается создать файл %s: No such file or directory"},
#else
      {dir / "p.up" / "out.up", "не удается создать файл %s: Not a directory"},
#endif
      {dir / "sub", "не удается записать файл %s: это каталог, а не файл"}};
  for (const auto& [output, reason] : outputs) {
    const FileRun run = RunOnFiles(dir / "p.up", output);
    EXPECT_EQ(run.result, CorrectionStatus::kOutputUncreatable) << output;
    const std::string name = output.string();
    EXPECT_EQ(run.shown, std::vector<std::string>{kCaption + std::string("Не могу открыть файл ") +
                                                  name + "\n" + Sprintf(reason.c_str(), name.c_str())});
  }
  EXPECT_EQ(dir.Listing(), "p.up\nsub\n");
  EXPECT_TRUE(fs::is_empty(dir / "sub"));
}

TEST(UpToUpFiles, ReadOnlyDirectory) {
  TempDir dir;
  dir.Write("p.up", kProgram);
  fs::create_directories(dir / "locked");
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  if (std::FILE* probe = OpenFile(dir / "locked" / "probe", "w")) {
    std::fclose(probe);
    GTEST_SKIP() << "permissions are not enforced for this user";
  }
  EXPECT_EQ(RunOnFiles(dir / "p.up", dir / "locked" / "out.up").result,
            CorrectionStatus::kOutputUncreatable);
  EXPECT_TRUE(fs::is_empty(dir / "locked"));
}

TEST(UpToUpFiles, SameFileUnderAnotherNameIsRefused) {
  TempDir dir;
  dir.Write("p.up", kProgram);
  fs::create_directories(dir / "sub");
#ifdef _WIN32
  // No symbolic links here (see outputfile_test); a hard link and the
  // letter case, which Windows ignores, are other names of the file.
  fs::create_hard_link(dir / "p.up", dir / "link.up");
  for (const fs::path& output :
       {dir / "sub" / ".." / "p.up", dir / "link.up", dir / "p.up", dir / "P.UP"}) {
#else
  fs::create_symlink(dir / "p.up", dir / "link.up");
  for (const fs::path& output : {dir / "sub" / ".." / "p.up", dir / "link.up", dir / "p.up"}) {
#endif
    const FileRun run = RunOnFiles(dir / "p.up", output);
    EXPECT_EQ(run.result, CorrectionStatus::kOutputUncreatable);
    ASSERT_EQ(run.shown.size(), 1u);
    EXPECT_EQ(run.shown[0], kCaption + std::string("Имя исходного файла УП ->\n ") +
                                (dir / "p.up").string() +
                                " \n совпадает с  вновь формируемым\n Преобразование прервано..");
  }
  EXPECT_EQ(ReadBytes(dir / "p.up"), kProgram);
  EXPECT_EQ(dir.Listing(), "link.up\np.up\nsub\n");
}

TEST(UpToUpFiles, BrakingFailureLeavesTheOutputAsItWas) {
  TempDir dir;
  dir.Write("p.up", "%\nN001X+001000F0660\nN002G02X+000500Y-000500I+000000J-000500\nN003M05\n");
  dir.Write("old.up", "old");
  EXPECT_EQ(RunOnFiles(dir / "p.up", dir / "old.up").result, CorrectionStatus::kBrakingFailed);
  EXPECT_EQ(RunOnFiles(dir / "p.up", dir / "new.up").result, CorrectionStatus::kBrakingFailed);
  EXPECT_EQ(ReadBytes(dir / "old.up"), "old");
  EXPECT_EQ(dir.Listing(), "old.up\np.up\n");
}

// Fails after handing out some of its bytes, like a disk that gives up.
class FailingSource : public ByteSource {
 public:
  std::size_t Read(char* buffer, std::size_t size) override {
    if (done_) throw IoError("ошибка чтения файла p.up: Input/output error");
    done_ = true;
    const std::string bytes = "N001X+001000F0660\nN002X+";
    const std::size_t count = std::min(size, bytes.size());
    bytes.copy(buffer, count);
    return count;
  }

 private:
  bool done_ = false;
};

class FullSink : public ByteSink {
 public:
  void Write(const char*, std::size_t) override {
    throw IoError("ошибка записи в файл q.up: No space left on device");
  }
};

TEST(UpToUpFiles, InputOutputErrorsPartWayAreReported) {
  ScriptedDialogs dialogs;
  FailingSource failing;
  MemorySink sink;
  EXPECT_EQ(UpToUpCorrection("p.up", "q.up", {50, 1200, 5}, dialogs).Run(failing, sink),
            CorrectionStatus::kInputUnreadable);
  MemorySource source(kProgram);
  FullSink full;
  EXPECT_EQ(UpToUpCorrection("p.up", "q.up", {50, 1200, 5}, dialogs).Run(source, full),
            CorrectionStatus::kOutputUncreatable);
  EXPECT_EQ(dialogs.shown,
            (std::vector<std::string>{
                kCaption + std::string("ошибка чтения файла p.up: Input/output error"),
                kCaption + std::string("ошибка записи в файл q.up: No space left on device")}));
}

}  // namespace
}  // namespace h33
