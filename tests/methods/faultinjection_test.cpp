// Faults of the file system under every path that writes a user's file: the
// Up->up correction, the Ptp->up conversion and the tape split. After each,
// the user's files are as they were, no temporary file is left behind, and
// the message says what failed.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/machines.h"
#include "format/bytesource.h"
#include "format/textformat.h"
#include "methods/ptp_to_up.h"
#include "methods/tapesplitter.h"
#include "methods/runparameters.h"
#include "methods/uptoup.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// Writes past `bytes` fail with "File too large", as they fail on a full disk,
// for this process until the object goes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*handler_)(int);
};
#endif

// Windows has no limit on the size of a process's files (RLIMIT_FSIZE) with
// which a test could fill the disk.
#define H33_SKIP_WITHOUT_FILE_SIZE_LIMIT() \
  GTEST_SKIP() << "Windows: no per-process file size limit to fill the disk with"

// Serves the first bytes of a program, then fails as a dying disk does.
class FailingSource : public ByteSource {
 public:
  FailingSource(std::string bytes, std::size_t failAfter)
      : bytes_(std::move(bytes)), left_(failAfter) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    if (left_ == 0) throw IoError("ошибка чтения файла in: Input/output error");
    const std::size_t count = std::min({size, left_, bytes_.size() - served_});
    bytes_.copy(buffer, count, served_);
    served_ += count;
    left_ -= count;
    return count;
  }

 private:
  std::string bytes_;
  std::size_t left_;
  std::size_t served_ = 0;
};

// Reads a file and runs an action on it after the first read: another
// program truncating or removing it while it is read.
class DisturbedFile : public ByteSource {
 public:
  DisturbedFile(const fs::path& path, std::function<void()> disturb)
      : file_(FileSource::Open(path)), disturb_(std::move(disturb)) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t count = file_->Read(buffer, size);
    if (disturb_) std::exchange(disturb_, nullptr)();
    return count;
  }

 private:
  std::unique_ptr<FileSource> file_;
  std::function<void()> disturb_;
};

// Straight moves there and back: long enough to be written in many pieces,
// nothing for the braking to refuse.
std::string LongProgram(const char* frame, int frames) {
  std::string program = "%\r\n";
  for (int i = 0; i < frames; ++i) program += Sprintf(frame, i % 2 ? '-' : '+');
  return program + "N001M05\r\n";
}

const std::string kH33 = LongProgram("N001G01X%c001000F0660\r\n", 5000);
const std::string kPtp = LongProgram("N1G01X%c1000F600\r\n", 5000);

bool PermissionsHold(const fs::path& directory) {
  const fs::path probe = directory / "probe";
  if (std::FILE* file = OpenFile(probe, "w")) {
    std::fclose(file);
    fs::remove(probe);
    return false;
  }
  return true;
}

class WritingPaths : public testing::Test {
 protected:
  WritingPaths() {
    dir.Write("in.up", kH33);
    dir.Write("in.ptp", kPtp);
    dir.Write("out.up", "the program written before");
    before_ = Files();
    dialogs.buttons = {Button::No};  // a finished conversion: no tape limit
  }

  CorrectionStatus Correct(const fs::path& output) {
    dialogs.shown.clear();
    return UpToUpCorrection(dir / "in.up", output, {100, 1200, 50}, dialogs).Run();
  }
  ConversionStatus Convert(const fs::path& output) {
    dialogs.shown.clear();
    return PtpToUp(PresetParameters(2), dir / "in.ptp", output, dialogs);
  }

  // Everything in the directory, with what the files hold.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
      const std::string name = fs::relative(entry.path(), dir.Path()).string();
      files[name] = entry.is_regular_file() ? ReadBytes(entry.path()) : "(directory)";
    }
    return files;
  }

  void ExpectUserFilesAsBefore() const { EXPECT_EQ(Files(), before_); }

  // A box of the last run holds the text.
  void ExpectToldOf(const std::string& text) const {
    std::string boxes;
    for (const std::string& box : dialogs.shown) boxes += box + "\n";
    EXPECT_NE(boxes.find(text), std::string::npos) << boxes;
  }

  TempDir dir;
  ScriptedDialogs dialogs;

 private:
  std::map<std::string, std::string> before_;
};

TEST_F(WritingPaths, OutputUnderAMissingDirectoryOrUnderAFile) {
  for (const fs::path& output : {dir / "no" / "out.up", dir / "in.up" / "out.up"}) {
    EXPECT_EQ(Correct(output), CorrectionStatus::kOutputUncreatable);
    ExpectToldOf("Не могу открыть файл " + output.string());
    EXPECT_EQ(Convert(output), ConversionStatus::kOutputUncreatable);
    ExpectToldOf("Не могу создать up-файл");
  }
  ExpectUserFilesAsBefore();
}

TEST_F(WritingPaths, OutputInAReadOnlyDirectory) {
  fs::create_directories(dir / "locked");
  dir.Write("locked/out.up", "kept");
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  if (!PermissionsHold(dir / "locked")) GTEST_SKIP() << "permissions do not stop this user";
  const std::map<std::string, std::string> before = Files();
  EXPECT_EQ(Correct(dir / "locked" / "out.up"), CorrectionStatus::kOutputUncreatable);
  ExpectToldOf((dir / "locked" / "out.up").string());
  EXPECT_EQ(Convert(dir / "locked" / "out.up"), ConversionStatus::kOutputUncreatable);
  EXPECT_EQ(Files(), before);
}

// A file the user protected from writing is not replaced by moving a new one
// over it, whatever the directory allows.
TEST_F(WritingPaths, AWriteProtectedOutputIsKept) {
  fs::permissions(dir / "out.up", fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(Correct(dir / "out.up"), CorrectionStatus::kOutputUncreatable);
  ExpectToldOf((dir / "out.up").string());
  EXPECT_EQ(Convert(dir / "out.up"), ConversionStatus::kOutputUncreatable);
  ExpectUserFilesAsBefore();
}

// The disk fills up at every stage of the writing: before the first byte, in
// the middle of a buffer, at the last byte.
TEST_F(WritingPaths, DiskFullAnywhereLeavesTheOldOutput) {
#ifdef _WIN32
  H33_SKIP_WITHOUT_FILE_SIZE_LIMIT();
#else
  for (const rlim_t room : {rlim_t{0}, rlim_t{1}, rlim_t{4095}, rlim_t{65536}, rlim_t{100000}}) {
    SCOPED_TRACE(room);
    {
      const FileSizeLimit full(room);
      EXPECT_EQ(Correct(dir / "out.up"), CorrectionStatus::kOutputUncreatable);
    }
    ExpectToldOf("ошибка записи в файл " + (dir / "out.up").string() + ": File too large");
    {
      const FileSizeLimit full(room);
      EXPECT_EQ(Convert(dir / "out.up"), ConversionStatus::kIoFailed);
    }
    ExpectToldOf("Файл " + (dir / "out.up").string() + " не записан.");
    ExpectUserFilesAsBefore();
  }
  // With room enough, both write.
  const FileSizeLimit roomy(1 << 20);
  EXPECT_EQ(Correct(dir / "out.up"), CorrectionStatus::kCorrected);
  EXPECT_EQ(Convert(dir / "new.up"), ConversionStatus::kConverted);
#endif
}

TEST_F(WritingPaths, InputThatFailsWhileItIsRead) {
  for (const std::size_t served : {std::size_t{0}, std::size_t{100}, std::size_t{70000}}) {
    FailingSource h33(kH33, served);
    dialogs.shown.clear();
    EXPECT_EQ(UpToUpCorrection(dir / "in.up", dir / "out.up", {100, 1200, 50}, dialogs).Run(h33),
              CorrectionStatus::kInputUnreadable);
    ExpectToldOf("ошибка чтения файла in: Input/output error");
    FailingSource ptp(kPtp, served);
    dialogs.shown.clear();
    EXPECT_EQ(PtpToUp(PresetParameters(2), ptp, dir / "out.up", dialogs),
              ConversionStatus::kIoFailed);
    ExpectToldOf("ошибка чтения файла in: Input/output error");
    ExpectUserFilesAsBefore();
  }
}

// Cut short by another program while it is read: without notice the run
// would write a shorter program as if it were the whole.
TEST_F(WritingPaths, InputTruncatedWhileItIsRead) {
  const auto truncate = [this](const char* name) {
    return [this, name] { fs::resize_file(dir / name, 1000); };
  };
  DisturbedFile h33(dir / "in.up", truncate("in.up"));
  EXPECT_EQ(UpToUpCorrection(dir / "in.up", dir / "out.up", {100, 1200, 50}, dialogs).Run(h33),
            CorrectionStatus::kInputUnreadable);
  ExpectToldOf("ошибка чтения файла " + (dir / "in.up").string() +
               ": файл стал короче во время чтения");
  DisturbedFile ptp(dir / "in.ptp", truncate("in.ptp"));
  EXPECT_EQ(PtpToUp(PresetParameters(2), ptp, dir / "out.up", dialogs),
            ConversionStatus::kIoFailed);
  ExpectToldOf("файл стал короче во время чтения");
  EXPECT_EQ(ReadBytes(dir / "out.up"), "the program written before");
  EXPECT_EQ(dir.Listing(), "in.ptp\nin.up\nout.up\n");
}

// An open file keeps its bytes when its name is removed: the run writes the
// whole program.
TEST_F(WritingPaths, InputRemovedWhileItIsRead) {
  ASSERT_EQ(Correct(dir / "whole.up"), CorrectionStatus::kCorrected);
  std::error_code removal;
  DisturbedFile h33(dir / "in.up", [&] { fs::remove(dir / "in.up", removal); });
  EXPECT_EQ(UpToUpCorrection(dir / "in.up", dir / "out.up", {100, 1200, 50}, dialogs).Run(h33),
            CorrectionStatus::kCorrected);
  EXPECT_EQ(ReadBytes(dir / "out.up"), ReadBytes(dir / "whole.up"));
#ifdef _WIN32
  // Windows does not let another program delete a file while it is read.
  EXPECT_TRUE(removal);
  EXPECT_EQ(dir.Listing(), "in.ptp\nin.up\nout.up\nwhole.up\n");
#else
  EXPECT_FALSE(removal);
  EXPECT_EQ(dir.Listing(), "in.ptp\nout.up\nwhole.up\n");
#endif
}

TEST_F(WritingPaths, ANameThatDesignatesTheInputIsRefused) {
  fs::create_hard_link(dir / "in.up", dir / "hard.up");
  fs::create_hard_link(dir / "in.ptp", dir / "hard.ptp");
  const std::map<std::string, std::string> before = Files();
  EXPECT_EQ(Correct(dir / "hard.up"), CorrectionStatus::kOutputUncreatable);
  ExpectToldOf("совпадает с  вновь формируемым");
  EXPECT_EQ(Convert(dir / "hard.ptp"), ConversionStatus::kRefused);
  ExpectToldOf("совпадает с  вновь формируемым");
  EXPECT_EQ(Files(), before);
}

class SplitFaults : public WritingPaths {
 protected:
  // Cuts in.up in two at about 60000 bytes, with the answers given.
  SplitOutcome Split(Dialogs& answering) {
    return TapeSplitter(dir / "in.up", {100, 1200, 50}, answering).Run();
  }
  // The same with the second part under `second`.
  SplitOutcome Split(const fs::path& second) {
    dialogs = ScriptedDialogs();
    dialogs.buttons = {Button::Yes, Button::Yes, Button::No};  // no second cut
    dialogs.lengthLimits = {60000};
    dialogs.secondPartNames = {second.string()};
    return Split(dialogs);
  }
};

TEST_F(SplitFaults, SecondPartUnderAMissingDirectoryOrUnderAFile) {
  for (const fs::path& second : {dir / "no" / "b.up", dir / "in.ptp" / "b.up"}) {
    EXPECT_EQ(Split(second), SplitOutcome::kFailed);
    ExpectToldOf("прервана: не удается создать файл " + second.string());
    ExpectToldOf("Файл не изменен.");
  }
  ExpectUserFilesAsBefore();
}

TEST_F(SplitFaults, AWriteProtectedFileIsNotSplit) {
  fs::permissions(dir / "in.up", fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(Split(dir / "b.up"), SplitOutcome::kFailed);
  ExpectToldOf("не удается записать файл " + (dir / "in.up").string() +
               ": файл защищен от записи\nФайл не изменен.");
  ExpectUserFilesAsBefore();
}

TEST_F(SplitFaults, DiskFullAnywhereLeavesTheFileWhole) {
#ifdef _WIN32
  H33_SKIP_WITHOUT_FILE_SIZE_LIMIT();
#else
  for (const rlim_t room : {rlim_t{0}, rlim_t{4096}, rlim_t{59000}, rlim_t{65536}}) {
    SCOPED_TRACE(room);
    {
      const FileSizeLimit full(room);
      EXPECT_EQ(Split(dir / "b.up"), SplitOutcome::kFailed);
    }
    ExpectToldOf("Разбивка файла " + (dir / "in.up").string() + " прервана: ");
    ExpectToldOf("File too large");
    ExpectUserFilesAsBefore();
  }
  const FileSizeLimit roomy(1 << 20);
  EXPECT_EQ(Split(dir / "b.up"), SplitOutcome::kDeclined);
  EXPECT_TRUE(fs::exists(dir / "b.up"));
#endif
}

// Asks for the name of the second part, and meanwhile someone removes the
// file being split.
class RemovingDialogs : public ScriptedDialogs {
 public:
  std::optional<std::string> AskSecondPartName(const fs::path& splitting) override {
    if (remove) fs::remove(*remove);
    return ScriptedDialogs::AskSecondPartName(splitting);
  }
  std::optional<fs::path> remove;
};

TEST_F(SplitFaults, FileRemovedBeforeItIsRead) {
  RemovingDialogs removing;
  removing.buttons = {Button::Yes, Button::Yes};
  removing.lengthLimits = {60000};
  removing.secondPartNames = {(dir / "b.up").string()};
  removing.remove = dir / "in.up";
  EXPECT_EQ(Split(removing), SplitOutcome::kFailed);
  EXPECT_NE(removing.shown.back().find("не удается открыть файл " + (dir / "in.up").string()),
            std::string::npos)
      << removing.shown.back();
  EXPECT_EQ(dir.Listing(), "in.ptp\nout.up\n");
}

TEST_F(SplitFaults, ASecondPartThatDesignatesTheFileIsRefused) {
  fs::create_hard_link(dir / "in.up", dir / "hard.up");
  const std::map<std::string, std::string> before = Files();
  dialogs = ScriptedDialogs();
  dialogs.buttons = {Button::Yes, Button::Yes, Button::No};
  dialogs.lengthLimits = {60000};
  dialogs.secondPartNames = {(dir / "hard.up").string()};
  EXPECT_EQ(Split(dialogs), SplitOutcome::kNameRefused);
  EXPECT_NE(std::find(dialogs.shown.begin(), dialogs.shown.end(),
                      "message: Нельзя затирать файл " + (dir / "in.up").string()),
            dialogs.shown.end());
  EXPECT_EQ(Files(), before);
}

}  // namespace
}  // namespace h33
