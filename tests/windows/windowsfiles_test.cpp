// The Windows branches of the file layer, run in the Windows build (under
// Wine on the build machines): replacing an output, names in UTF-16, the
// spellings of one file, line ends.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "format/bytesource.h"
#include "format/outputfile.h"
#include "cli/runh33.h"
#include "format/pathtext.h"
#include "methods/uptoup.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProgram = "%\r\nN001X+001000F0660\r\nN002M05\r\n";
constexpr const char* kCorrected = "%\r\nN001X+001000F0660\r\nN002F0000\r\nN003M05\r\n";

// "программа с пробелом.up": Cyrillic letters and blanks, outside every
// ANSI code page but 1251, and outside 1251 too with "ü".
const fs::path kCyrillicName = PathFromText("программа с пробелом ü.up");

std::string Commit(const fs::path& target, const std::string& bytes) {
  try {
    OutputFile out(target);
    out.Write(bytes.data(), bytes.size());
    out.Commit();
    return "";
  } catch (const RunError& error) {
    return error.what();
  }
}

// Holds a file open as a program that keeps its document does (Word, a DNC
// program): reading and writing shared, deleting and renaming over it not.
class HeldOpen {
 public:
  explicit HeldOpen(const fs::path& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr)) {}
  ~HeldOpen() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// A folder of its own under the current folder: the tests start in the
// build folder, on another drive than the system's temporary folder under
// Wine (Z: and C:).
class CurrentDriveDir {
 public:
  CurrentDriveDir() {
    std::random_device entropy;
    path_ = fs::current_path() / ("h33wintest-" + std::to_string(entropy()));
    fs::create_directories(path_);
  }
  ~CurrentDriveDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

TEST(WindowsOutput, ReplacesAnExistingFileAndLeavesNoTemporaryFile) {
  TempDir dir;
  dir.Write("out.up", "old");
  EXPECT_EQ(Commit(dir / "out.up", "new\r\n"), "");
  EXPECT_EQ(ReadBytes(dir / "out.up"), "new\r\n");
  EXPECT_EQ(dir.Listing(), "out.up\n");
  // Again over the file just written, and over a hidden one.
  SetFileAttributesW((dir / "out.up").c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(Commit(dir / "out.up", "newer"), "");
  EXPECT_EQ(ReadBytes(dir / "out.up"), "newer");
  EXPECT_EQ(dir.Listing(), "out.up\n");
}

// The read-only attribute is refused before anything is written, and also
// when it is set while the program is being written: MoveFileExW would not
// replace such a file anyway, and the user set it for a reason.
TEST(WindowsOutput, AReadOnlyFileIsRefusedWithTheReason) {
  TempDir dir;
  const fs::path target = dir.Write("out.up", "kept");
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Commit(target, "new"),
            "не удается записать файл " + PathText(target) + ": файл защищен от записи");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);

  std::string failure;
  try {
    OutputFile out(target);
    out.Write("new", 3);
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    out.Commit();
  } catch (const RunError& error) {
    failure = error.what();
  }
  EXPECT_EQ(failure, "не удается записать файл " + PathText(target) + ": файл защищен от записи");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(target), "kept");
  EXPECT_EQ(dir.Listing(), "out.up\n");
}

TEST(WindowsOutput, AFileOpenInAnotherProgramIsKeptAndTheMessageSaysSo) {
  TempDir dir;
  const fs::path target = dir.Write("out.up", kProgram);
  {
    const HeldOpen other(target);
    ASSERT_TRUE(other.IsOpen());
    if (DeleteFileW(target.c_str())) {
      GTEST_SKIP() << "this system lets a file open elsewhere be deleted (no share modes)";
    }
    EXPECT_EQ(Commit(target, "new"), "не удается записать файл " + PathText(target) +
                                         ": файл открыт в другой программе (закройте его там и "
                                         "повторите); файл не изменен");
    EXPECT_EQ(ReadBytes(target), kProgram);
    EXPECT_EQ(dir.Listing(), "out.up\n");

    // The whole method: it says so in its box and leaves the file.
    dir.Write("in.up", kProgram);
    ScriptedDialogs dialogs;
    EXPECT_NE(UpToUpCorrection(dir / "in.up", target, {50, 1200, 5}, dialogs).Run(), CorrectionStatus::kCorrected);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_NE(dialogs.shown.back().find("файл открыт в другой программе"), std::string::npos)
        << dialogs.shown.back();
  }
  EXPECT_EQ(ReadBytes(target), kProgram);
  EXPECT_EQ(dir.Listing(), "in.up\nout.up\n");
  // Once the other program let go, the same run writes.
  ScriptedDialogs dialogs;
  EXPECT_EQ(UpToUpCorrection(dir / "in.up", target, {50, 1200, 5}, dialogs).Run(), CorrectionStatus::kCorrected);
  EXPECT_EQ(ReadBytes(target), kCorrected);
}

// As Windows' own replacement does: the program stays hidden, or a system
// file, once written anew.
TEST(WindowsOutput, AReplacedFileKeepsItsHiddenAndSystemAttributes) {
  TempDir dir;
  const fs::path target = dir.Write("out.up", "old");
  constexpr DWORD kMarks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), kMarks));
  if ((GetFileAttributesW(target.c_str()) & kMarks) != kMarks) {
    GTEST_SKIP() << "this file system keeps no hidden or system attribute";
  }
  EXPECT_EQ(Commit(target, "new"), "");
  EXPECT_EQ(ReadBytes(target), "new");
  EXPECT_EQ(GetFileAttributesW(target.c_str()) & kMarks, kMarks);
  EXPECT_EQ(dir.Listing(), "out.up\n");
  // A file without them gets none.
  const fs::path plain = dir.Write("plain.up", "old");
  EXPECT_EQ(Commit(plain, "new"), "");
  EXPECT_EQ(GetFileAttributesW(plain.c_str()) & kMarks, 0u);
}

// The program being split is open in a DNC program that shares reading: it
// can be read and cut, but not replaced, and no file may change, the one at
// the second part's name included.
TEST(WindowsSplit, AFileHeldOpenElsewhereIsNotSplitAndNoFileChanges) {
  const std::string program =
      "%\r\nN001S1000M03\r\nN002M08\r\nN003G01X+001000Y-000100Z-005000F0660L05\r\n"
      "N004X+000500Y-000100\r\nN005X+000100\r\nN006X-001600Y+000200\r\nN007Z+005000\r\n"
      "N008M05\r\nN009M09\r\nN010M30\r\n$\r\n";
  for (const bool secondExists : {true, false}) {
    TempDir dir;
    const fs::path input = dir.Write("p.up", program);
    if (secondExists) dir.Write("q.up", "old");
    const std::string listing = dir.Listing();
    const HeldOpen other(input);
    ASSERT_TRUE(other.IsOpen());
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunH33({"split", PathText(input), "--limit", "289", "--names", PathText(dir / "q.up"),
                      "--yes"},
                     out, err),
              kExitBadInput);
    EXPECT_NE(err.str().find("файл открыт в другой программе"), std::string::npos) << err.str();
    EXPECT_EQ(ReadBytes(input), program);
    EXPECT_EQ(dir.Listing(), listing);
    if (secondExists) {
      EXPECT_EQ(ReadBytes(dir / "q.up"), "old");
    }
  }
}

// Some programs lock the document they hold, reading included: the reader
// says so rather than "Permission denied", as the outputs do.
TEST(WindowsInput, AFileOpenElsewhereWithoutReadSharingIsNamedSo) {
  TempDir dir;
  const fs::path input = dir.Write("p.up", kProgram);
  const HANDLE locked =
      CreateFileW(input.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  std::string reason;
  const bool opened = FileSource::Open(input, &reason) != nullptr;
  std::ostringstream out;
  std::ostringstream err;
  const int exit = RunH33({"check", PathText(input)}, out, err);
  CloseHandle(locked);
  if (opened) GTEST_SKIP() << "this system lets every file be read (no share modes)";
  EXPECT_EQ(reason, kHeldOpenElsewhere);
  EXPECT_EQ(exit, kExitBadInput);
  EXPECT_NE(err.str().find("файл открыт в другой программе"), std::string::npos) << err.str();
}

// The temporary file is made beside the target, so the rename never crosses
// drives, whatever drive the input, the current folder or %TEMP% are on.
TEST(WindowsOutput, AnOutputOnAnotherDriveThanTheInputAndTheTemporaryFolder) {
  const CurrentDriveDir other;
  TempDir input;
  input.Write("in.up", kProgram);
  const fs::path target = other.Path() / "out.up";
  {
    OutputFile out(target);
    EXPECT_EQ(out.TemporaryPath().parent_path(), target.parent_path());
  }
  std::ofstream(target, std::ios::binary) << "old";
  ScriptedDialogs dialogs;
  EXPECT_EQ(UpToUpCorrection(input / "in.up", target, {50, 1200, 5}, dialogs).Run(), CorrectionStatus::kCorrected);
  EXPECT_EQ(ReadBytes(target), kCorrected);
  if (fs::temp_directory_path().root_name() == target.root_name()) {
    GTEST_SKIP() << "the current folder and %TEMP% are on one drive here; the same run passed";
  }
}

TEST(WindowsOutput, SystemDevicesAndPipesAreNoTargets) {
  for (const char* name : {"NUL", "nul.up", "CON", "Aux.txt", "COM3", "LPT1", "CONIN$",
                           R"(\\.\COM1)", R"(\\.\PhysicalDrive0)"}) {
    std::string failure;
    try {
      ResolveOutputTarget(name);
    } catch (const RunError& error) {
      failure = error.what();
    }
    EXPECT_NE(failure.find(": это устройство, а не файл"), std::string::npos) << name;
  }
  std::string failure;
  try {
    ResolveOutputTarget(R"(\\.\pipe\h33)");
  } catch (const RunError& error) {
    failure = error.what();
  }
  EXPECT_NE(failure.find(": это канал, а не файл"), std::string::npos);
  // Names that only look alike are files.
  TempDir dir;
  for (const char* name : {"console.up", "com10.up", "nul-x.up", "lpt.up"}) {
    EXPECT_EQ(Commit(dir / name, "x"), "") << name;
  }
  EXPECT_EQ(Commit(PathFromText(R"(\\?\)" + PathText(dir / "long.up")), "x"), "");
  EXPECT_EQ(ReadBytes(dir / "long.up"), "x");
}

// Names beyond the ANSI code page, and blanks, reach the file system whole.
TEST(WindowsNames, CyrillicNamesAndBlanksAreReadAndWritten) {
  TempDir dir;
  const fs::path folder = dir.Path() / PathFromText("папка с пробелами");
  fs::create_directories(folder);
  const fs::path input = folder / kCyrillicName;
  std::ofstream(input, std::ios::binary) << kProgram;
  const fs::path output = folder / PathFromText("результат ü.up");
  ScriptedDialogs dialogs;
  EXPECT_EQ(UpToUpCorrection(input, output, {50, 1200, 5}, dialogs).Run(), CorrectionStatus::kCorrected);
  EXPECT_EQ(ReadBytes(output), kCorrected);
  // The name as Windows lists it is the one given.
  bool listed = false;
  for (const auto& entry : fs::directory_iterator(folder)) {
    listed = listed || entry.path().filename().wstring() == L"результат ü.up";
  }
  EXPECT_TRUE(listed);
  // Messages name the file in UTF-8.
  std::string reason;
  EXPECT_FALSE(FileSource::Open(folder / PathFromText("нет такого.up"), &reason));
  const auto source = FileSource::Open(input);
  ASSERT_TRUE(source);
}

// One file under every spelling Windows allows: compared by what the file
// system says (volume and file index), never by text.
TEST(WindowsNames, OneFileUnderAnotherSpellingIsTheSameFile) {
  TempDir dir;
  fs::create_directories(dir / "sub");
  const fs::path file = dir.Write("a.up", kProgram);
  const std::string text = PathText(file);
  std::string slashes = text;
  for (char& c : slashes) c = c == '\\' ? '/' : c;
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const fs::path saved = fs::current_path();
  fs::current_path(dir / "sub");
  for (const std::string& spelling :
       {slashes, upper, text.substr(0, text.size() - 4) + "A.UP", std::string(R"(..\a.up)"),
        std::string(R"(.\..\sub\..\a.up)"), std::string("../A.up"), R"(\\?\)" + text,
        text.substr(2) /* \users\...: rooted on the current drive */,
        text + "." /* Windows drops a name's trailing dots */}) {
    EXPECT_TRUE(DesignateSameFile(file, PathFromText(spelling))) << spelling;
  }
  fs::current_path(saved);
  // A hard link is the same file under a name of its own.
  ASSERT_TRUE(CreateHardLinkW((dir / "hard.up").c_str(), file.c_str(), nullptr));
  EXPECT_TRUE(DesignateSameFile(file, dir / "hard.up"));
  // A copy is not, nor is a name that does not exist, nor a device.
  fs::copy_file(file, dir / "copy.up");
  EXPECT_FALSE(DesignateSameFile(file, dir / "copy.up"));
  EXPECT_FALSE(DesignateSameFile(file, dir / "none.up"));
  EXPECT_FALSE(DesignateSameFile("NUL", "nul"));
}

TEST(WindowsNames, AShortNameIsTheSameFile) {
  TempDir dir;
  const fs::path file = dir.Path() / PathFromText("длинное имя программы.up");
  std::ofstream(file, std::ios::binary) << kProgram;
  wchar_t shortName[MAX_PATH];
  const DWORD length = GetShortPathNameW(file.c_str(), shortName, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || fs::path(shortName).filename() == file.filename()) {
    GTEST_SKIP() << "this volume makes no 8.3 names";
  }
  EXPECT_TRUE(DesignateSameFile(file, fs::path(shortName))) << Utf8FromWide(shortName);
  // And the method refuses to write its input under it.
  ScriptedDialogs dialogs;
  EXPECT_NE(UpToUpCorrection(file, fs::path(shortName), {50, 1200, 5}, dialogs).Run(), CorrectionStatus::kCorrected);
  EXPECT_EQ(ReadBytes(file), kProgram);
}

// \\server\share\...: the administrative share of the system drive, where
// the system offers it.
TEST(WindowsNames, AUncNameIsTheSameFile) {
  TempDir dir;
  const fs::path file = dir.Write("a.up", kProgram);
  const std::string text = PathText(file);
  if (text.size() < 3 || text[1] != ':') GTEST_SKIP() << "the temporary folder has no drive letter";
  const std::string unc = std::string(R"(\\localhost\)") + text[0] + "$" + text.substr(2);
  if (GetFileAttributesW(PathFromText(unc).c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no administrative share \\\\localhost\\" << text[0]
                 << "$ here (Wine has none)";
  }
  EXPECT_TRUE(DesignateSameFile(file, PathFromText(unc)));
  EXPECT_TRUE(DesignateSameFile(file, PathFromText(R"(\\?\UNC\localhost\)" + unc.substr(12))));
}

// Files are written in binary: a CR LF of the program stays one CR LF, and a
// lone LF is not made into one either.
TEST(WindowsLineEnds, WrittenExactlyOnce) {
  TempDir dir;
  dir.Write("in.up", "%\nN001X+001000F0660\nN002M05\n");
  ScriptedDialogs dialogs;
  EXPECT_EQ(UpToUpCorrection(dir / "in.up", dir / "out.up", {50, 1200, 5}, dialogs).Run(), CorrectionStatus::kCorrected);
  EXPECT_EQ(ReadBytes(dir / "out.up"), kCorrected);
  EXPECT_EQ(Commit(dir / "raw.up", "a\nb\r\n"), "");
  EXPECT_EQ(ReadBytes(dir / "raw.up"), "a\nb\r\n");
}

}  // namespace
}  // namespace h33
