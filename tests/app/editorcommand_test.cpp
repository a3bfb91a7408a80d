#include "app/editorcommand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "format/pathtext.h"
#include "tempdir.h"
#endif

namespace h33 {
namespace {

using Words = std::vector<std::string>;

TEST(EditorCommand, ShellWordsAsAPosixShellSplitsThem) {
  EXPECT_EQ(SplitShellWords("code --wait"), (Words{"code", "--wait"}));
  EXPECT_EQ(SplitShellWords("  '/opt/my editor/ed'  -x\t\"a \\\"b\" c\\ d e'f' "),
            (Words{"/opt/my editor/ed", "-x", "a \"b", "c d", "ef"}));
  EXPECT_EQ(SplitShellWords("''"), Words{""});
  EXPECT_TRUE(SplitShellWords("   ").empty());
  EXPECT_EQ(SplitShellWords("редактор 'с пробелом'"), (Words{"редактор", "с пробелом"}));
}

// %VISUAL% on Windows holds a program's path with backslashes: they stay.
TEST(EditorCommand, WindowsWordsKeepTheirBackslashes) {
  EXPECT_EQ(SplitWindowsWords(R"("C:\Program Files\Notepad++\notepad++.exe" -multiInst -nosession)"),
            (Words{R"(C:\Program Files\Notepad++\notepad++.exe)", "-multiInst", "-nosession"}));
  EXPECT_EQ(SplitWindowsWords(R"(C:\Windows\notepad.exe)"), Words{R"(C:\Windows\notepad.exe)"});
  EXPECT_EQ(SplitWindowsWords(R"(ed "a b" c\d "e\"f" g\\"h i" "j\\" k)"),
            (Words{"ed", "a b", R"(c\d)", "e\"f", R"(g\h i)", "j\\", "k"}));
  EXPECT_EQ(SplitWindowsWords(R"(ed "" x)"), (Words{"ed", "", "x"}));
  EXPECT_TRUE(SplitWindowsWords(" \t ").empty());
}

const std::vector<Words> kCommands = {
    {"notepad.exe", R"(C:\Users\Иван\Программы\деталь 1.up)"},
    {R"(C:\Program Files\Editor\ed.exe)", "-n", R"(\\server\share\a b\)", "x\"y", ""},
    {"ed", R"(a\\"b)", "tab\there", "100%", "&", "^", "a&b|c>d", "%PATH%"},
};

// The command line splits back into the words it was built from.
TEST(EditorCommand, AWindowsCommandLineSplitsBackIntoItsWords) {
  for (const Words& words : kCommands) {
    EXPECT_EQ(SplitWindowsWords(WindowsCommandLine(words)), words) << WindowsCommandLine(words);
#ifdef _WIN32
    // And so does the system's own split.
    int count = 0;
    wchar_t** split = CommandLineToArgvW(WideFromUtf8(WindowsCommandLine(words)).c_str(), &count);
    ASSERT_NE(split, nullptr);
    Words system;
    for (int i = 0; i < count; ++i) system.push_back(Utf8FromWide(split[i]));
    LocalFree(split);
    EXPECT_EQ(system, words) << WindowsCommandLine(words);
#endif
  }
}

TEST(EditorCommand, VisualFirstThenThePathAsOneArgument) {
#ifdef _WIN32
  EXPECT_EQ(EditorCommand(R"("C:\Program Files\ed.exe" --wait)", R"(C:\a b\p.up)"),
            (Words{R"(C:\Program Files\ed.exe)", "--wait", R"(C:\a b\p.up)"}));
  // Notepad by its full name, never found in the current folder first.
  const Words notepad = EditorCommand("", R"(C:\a b\p.up)");
  ASSERT_EQ(notepad.size(), 2u);
  EXPECT_TRUE(notepad[0].ends_with(R"(\notepad.exe)")) << notepad[0];
  EXPECT_EQ(notepad[0].find(':'), 1u) << notepad[0];
  EXPECT_EQ(EditorCommand("", "").size(), 1u);
#else
  EXPECT_EQ(EditorCommand("code --wait", "/a b/p.up"), (Words{"code", "--wait", "/a b/p.up"}));
  EXPECT_EQ(EditorCommand("", "/a b/p.up"), (Words{"xdg-open", "/a b/p.up"}));
  EXPECT_TRUE(EditorCommand("", "").empty());
  EXPECT_EQ(EditorCommand("vi", ""), Words{"vi"});
#endif
}

#ifdef _WIN32
// The editor is started by CreateProcessW, not by cmd.exe: "&", "%PATH%",
// "^" and blanks in a name arrive as they are, in one argument, and the
// editor's own name may hold blanks and Cyrillic letters.
TEST(EditorCommand, StartsTheEditorWithThePathAsOneArgument) {
  namespace fs = std::filesystem;
  TempDir dir;
  const fs::path editor = dir.Path() / PathFromText("мой редактор.exe");
  fs::copy_file(fs::absolute(H33_ARGV_ECHO), editor);
  const fs::path seen = dir.Path() / PathFromText("аргументы.txt");
  const std::string visual = "\"" + PathText(editor) + "\" \"" + PathText(seen) + "\" -n";
  const std::string program = PathText(dir.Path() / PathFromText("деталь & 100%PATH% ^x.up"));
  const Words command = EditorCommand(visual, program);
  ASSERT_EQ(StartProgram(command), "");
  for (int wait = 0; wait < 200 && !fs::exists(seen); ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(fs::exists(seen));
  EXPECT_EQ(ReadBytes(seen), "-n\n" + program + "\n");
}

TEST(EditorCommand, AMissingEditorIsReported) {
  EXPECT_NE(StartProgram({R"(C:\нет такой программы\ed.exe)", "x.up"}), "");
}
#endif

}  // namespace
}  // namespace h33
