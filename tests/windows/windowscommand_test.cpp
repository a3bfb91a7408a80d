// h33.exe as a user runs it on Windows: a process started with a UTF-16
// command line, its output read from pipes as bytes, its exit code.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/editorcommand.h"
#include "format/pathtext.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPtp = "%\r\nN001G01X+001000Y+001000F300\r\nN002X-001000\r\nN003M05\r\n";

struct ProcessRun {
  DWORD exit = 0;
  std::string out;
  std::string err;
};

// Reads a pipe to its end on a thread of its own, so that neither pipe
// fills up while the other is read.
class PipeReader {
 public:
  explicit PipeReader(HANDLE pipe)
      : thread_([this, pipe] {
          char buffer[4096];
          DWORD count = 0;
          while (ReadFile(pipe, buffer, sizeof buffer, &count, nullptr) && count > 0) {
            bytes_.append(buffer, count);
          }
          CloseHandle(pipe);
        }) {}
  std::string Take() {
    thread_.join();
    return bytes_;
  }

 private:
  std::string bytes_;
  std::thread thread_;
};

// h33.exe, started in `folder` with these arguments (UTF-8), the command line
// built as any Windows program would (WindowsCommandLine). `readerGone`: its
// standard output a pipe whose reading end is closed before it starts.
ProcessRun RunH33Exe(const fs::path& folder, const std::vector<std::string>& arguments,
              const std::string& input = "", bool readerGone = false) {
  std::vector<std::string> words = {PathText(fs::absolute(H33_EXE))};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::wstring line = WideFromUtf8(WindowsCommandLine(words));

  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead, outWrite, errRead, errWrite, inRead, inWrite;
  EXPECT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 0));
  EXPECT_TRUE(CreatePipe(&errRead, &errWrite, &inherit, 0));
  EXPECT_TRUE(CreatePipe(&inRead, &inWrite, &inherit, 0));
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
  if (readerGone) CloseHandle(outRead);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead;
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.c_str(), &startup, &process);
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  CloseHandle(inRead);
  ProcessRun run;
  if (!started) {
    ADD_FAILURE() << "h33.exe did not start: " << SystemErrorText(GetLastError());
    if (!readerGone) CloseHandle(outRead);
    CloseHandle(errRead);
    CloseHandle(inWrite);
    return run;
  }
  std::optional<PipeReader> out;
  if (!readerGone) out.emplace(outRead);
  PipeReader err(errRead);
  DWORD written = 0;
  if (!input.empty()) WriteFile(inWrite, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
  CloseHandle(inWrite);
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &run.exit);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (out) run.out = out->Take();
  run.err = err.Take();
  return run;
}

// The arguments come as UTF-16 from the system, not through the ANSI code
// page: a Cyrillic name with blanks is one argument and opens its file.
TEST(WindowsCommand, CyrillicNamesWithBlanksInTheArguments) {
  TempDir dir;
  const std::string input = "деталь с пробелом ü.ptp";
  const std::string output = "результат №1.up";
  std::ofstream(dir.Path() / PathFromText(input), std::ios::binary) << kPtp;
  const ProcessRun run = RunH33Exe(dir.Path(), {"convert", input, "-o", output});
  EXPECT_EQ(run.exit, 0u) << run.err;
  EXPECT_EQ(run.out.rfind("Создан файл " + output, 0), 0u) << run.out;
  EXPECT_EQ(run.err, "");
  const std::string program = ReadBytes(dir.Path() / PathFromText(output));
  EXPECT_EQ(program.substr(0, 3), "%\r\n");

  // And as full paths, with both kinds of separators.
  std::string slashes = PathText(dir.Path() / PathFromText(output));
  for (char& c : slashes) c = c == '\\' ? '/' : c;
  // "C:/.../p.up", and "\...\p.up" rooted on the current drive.
  const std::string rooted = PathText(dir.Path() / PathFromText(output)).substr(2);
  for (const std::string& name : {slashes, rooted}) {
    const ProcessRun timed = RunH33Exe(dir.Path(), {"time", name});
    EXPECT_EQ(timed.exit, 0u) << name << ": " << timed.err;
    EXPECT_NE(timed.out.find("Время выполнения ->"), std::string::npos) << timed.out;
  }
  // A name that starts with "/" is a name, not a Windows-style option (Wine
  // takes "/..." for a name of the build machine, so this one is missing).
  const ProcessRun missing = RunH33Exe(dir.Path(), {"time", "/нет/p.up"});
  EXPECT_EQ(missing.exit, 2u);
  EXPECT_NE(missing.err.find("/нет/p.up \r\n\r\n НЕ существует"), std::string::npos) << missing.err;
}

// Every command that names its file names it as typed: a name passed on as
// a narrow string would be read in the ANSI code page and come out garbled.
TEST(WindowsCommand, EveryCommandNamesACyrillicFileAsTyped) {
  TempDir dir;
  const std::string program = "деталь ü.up";
  std::ofstream(dir.Path() / PathFromText(program), std::ios::binary)
      << "%\r\nN001G01X+001000F0660\r\nN002Y+001000\r\nN003F0000\r\nN004M30\r\n";
  const std::vector<std::vector<std::string>> commands = {
      {"verify", program}, {"verify", "--json", program},        {"check", program},
      {"info", program},   {"correct", program, "-o", "выход ü.up"}, {"verify", "нет ü.up"}};
  for (const auto& command : commands) {
    const ProcessRun run = RunH33Exe(dir.Path(), command);
    const std::string& named = command.back();  // the output's name for correct
    EXPECT_NE((run.out + run.err).find(named), std::string::npos)
        << command.front() << ": " << run.out << run.err;
  }
}

// Messages are UTF-8 bytes on a pipe or in a file, as on every system.
TEST(WindowsCommand, MessagesAreUtf8AndErrorsGoToStandardError) {
  TempDir dir;
  const ProcessRun run = RunH33Exe(dir.Path(), {"time", "нет файла.up"});
  EXPECT_EQ(run.exit, 2u);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("нет файла.up"), std::string::npos) << run.err;
}

// A program written to standard output keeps its CR LF: no second CR from a
// text-mode stream, on the way in ("-") or out ("-o -").
TEST(WindowsCommand, StandardInputAndOutputKeepTheLineEnds) {
  TempDir dir;
  const ProcessRun run = RunH33Exe(dir.Path(), {"convert", "-", "-o", "-"}, kPtp);
  EXPECT_EQ(run.exit, 0u) << run.err;
  EXPECT_EQ(run.out.substr(0, 3), "%\r\n");
  EXPECT_EQ(run.out.find("\r\r"), std::string::npos);
  std::size_t lineEnds = 0;
  for (std::size_t i = 0; i < run.out.size(); ++i) {
    if (run.out[i] == '\n') {
      ++lineEnds;
      EXPECT_TRUE(i > 0 && run.out[i - 1] == '\r') << "a bare LF at " << i;
    }
  }
  EXPECT_GE(lineEnds, 4u);
  EXPECT_EQ(dir.Listing(), "");
}

// The input under another spelling is refused as the output: letter case,
// "..", "/" and a hard link.
TEST(WindowsCommand, TheInputUnderAnotherSpellingIsNoOutput) {
  TempDir dir;
  fs::create_directories(dir / "sub");
  std::ofstream(dir / "p.ptp", std::ios::binary) << kPtp;
  ASSERT_TRUE(CreateHardLinkW((dir / "hard.ptp").c_str(), (dir / "p.ptp").c_str(), nullptr));
  for (const std::string output : {"P.PTP", "sub/../p.ptp", ".\\sub\\..\\P.ptp", "hard.ptp"}) {
    const ProcessRun run = RunH33Exe(dir.Path(), {"convert", "p.ptp", "-o", output});
    EXPECT_EQ(run.exit, 2u) << output;
    EXPECT_NE(run.err.find("совпадает с  вновь формируемым"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(dir / "p.ptp"), kPtp);
  }
}

// Standard output whose reader has gone: the run fails with 2 and says so,
// and takes its scratch copies of the input and the output with it.
TEST(WindowsCommand, AReportThatCannotBeWrittenFailsTheRun) {
  TempDir dir;
  const fs::path scratch = dir / "scratch";
  fs::create_directories(scratch);
  wchar_t saved[MAX_PATH + 1] = L"";
  const DWORD savedLength = GetEnvironmentVariableW(L"TMP", saved, MAX_PATH + 1);
  SetEnvironmentVariableW(L"TMP", scratch.c_str());
  std::ofstream(dir / "p.ptp", std::ios::binary) << kPtp;
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"convert", "-", "-o", "-"}, {"info", "p.ptp"}, {"check", "p.ptp"}}) {
    const ProcessRun run = RunH33Exe(dir.Path(), arguments, kPtp, true);
    EXPECT_EQ(run.exit, 2u) << arguments[0];
    EXPECT_NE(run.err.find("ошибка записи на стандартный вывод"), std::string::npos)
        << arguments[0] << ": " << run.err;
  }
  SetEnvironmentVariableW(L"TMP", savedLength > 0 && savedLength <= MAX_PATH ? saved : nullptr);
  EXPECT_TRUE(fs::is_empty(scratch));
}

}  // namespace
}  // namespace h33
