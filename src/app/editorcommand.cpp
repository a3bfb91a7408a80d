#include "app/editorcommand.h"

#ifdef _WIN32
#include <windows.h>

#include "format/pathtext.h"
#endif

namespace h33 {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

#ifdef _WIN32
// Notepad of this Windows, by its full name: a bare "notepad.exe" would be
// looked for in the current folder first.
std::string WindowsNotepad() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "notepad.exe";
  return Utf8FromWide(std::wstring(folder, length)) + "\\notepad.exe";
}
#endif

}  // namespace

std::vector<std::string> EditorCommand(std::string_view visual, const std::string& path) {
#ifdef _WIN32
  std::vector<std::string> words = SplitWindowsWords(visual);
  if (words.empty()) words.push_back(WindowsNotepad());
#else
  std::vector<std::string> words = SplitShellWords(visual);
  if (words.empty()) {
    if (path.empty()) return {};
    words.push_back("xdg-open");
  }
#endif
  if (!path.empty()) words.push_back(path);
  return words;
}

std::vector<std::string> SplitShellWords(std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;  // '\'' or '"' while inside quotes
  for (std::size_t i = 0; i < command.size(); ++i) {
    const char c = command[i];
    if (quote == '\'') {
      if (c == '\'') quote = 0;
      else word += c;
    } else if (quote == '"') {
      // Inside double quotes a backslash escapes only these.
      if (c == '\\' && i + 1 < command.size() &&
          std::string_view("\"\\$`").find(command[i + 1]) != std::string_view::npos) {
        word += command[++i];
      } else if (c == '"') {
        quote = 0;
      } else {
        word += c;
      }
    } else if (IsBlank(c)) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      inWord = true;
      if (c == '\'' || c == '"') {
        quote = c;
      } else if (c == '\\' && i + 1 < command.size()) {
        word += command[++i];
      } else {
        word += c;
      }
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::vector<std::string> SplitWindowsWords(std::string_view command) {
  std::vector<std::string> words;
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < command.size() && (command[i] == ' ' || command[i] == '\t')) ++i;
  };
  skipBlanks();
  if (i == command.size()) return words;
  // The program: no escapes, quotes only group.
  std::string program;
  bool quoted = false;
  for (; i < command.size() && (quoted || (command[i] != ' ' && command[i] != '\t')); ++i) {
    if (command[i] == '"') quoted = !quoted;
    else program += command[i];
  }
  words.push_back(program);
  for (skipBlanks(); i < command.size(); skipBlanks()) {
    std::string word;
    quoted = false;
    while (i < command.size() && (quoted || (command[i] != ' ' && command[i] != '\t'))) {
      std::size_t backslashes = 0;
      while (i < command.size() && command[i] == '\\') {
        ++backslashes;
        ++i;
      }
      if (i < command.size() && command[i] == '"') {
        // 2n backslashes and a quote: n backslashes, the quote groups;
        // 2n + 1: n backslashes and the quote itself.
        word.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          word += '"';
        } else if (quoted && i + 1 < command.size() && command[i + 1] == '"') {
          word += '"';  // "" inside quotes
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        word.append(backslashes, '\\');
        if (i < command.size() && (quoted || (command[i] != ' ' && command[i] != '\t'))) {
          word += command[i++];
        }
      }
    }
    words.push_back(word);
  }
  return words;
}

std::string WindowsCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (std::size_t n = 0; n < words.size(); ++n) {
    const std::string& word = words[n];
    if (n > 0) line += ' ';
    const bool plain = !word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos;
    if (plain) {
      line += word;
    } else if (n == 0) {
      line += '"' + word + '"';  // a program's name holds no quote and is taken as it stands
    } else {
      line += '"';
      std::size_t backslashes = 0;
      for (const char c : word) {
        if (c == '\\') {
          ++backslashes;
          continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
      }
      line.append(backslashes * 2, '\\');  // before the closing quote
      line += '"';
    }
  }
  return line;
}

#ifdef _WIN32
std::string StartProgram(const std::vector<std::string>& words) {
  if (words.empty()) return "нет программы для запуска";
  std::wstring line = WideFromUtf8(WindowsCommandLine(words));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // The program is found as the system finds it for a command line (its own
  // folder, the system folders, PATH); the console, if any, is not its.
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_PROCESS_GROUP | CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr,
                      &startup, &process)) {
    return SystemErrorText(GetLastError());
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return "";
}
#endif

}  // namespace h33
