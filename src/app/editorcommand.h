#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace h33 {

// The command line of "Блокнот", without Qt so that the Windows build of the
// command and its tests have it too. Texts are UTF-8.

// The program and its arguments that open `path` in the user's editor: the
// words of VISUAL (`visual`, split as the system's shell would: SplitShellWords
// elsewhere, SplitWindowsWords on Windows), then the path as one argument.
// Without VISUAL: Notepad of the Windows folder on Windows, the desktop's
// default application (xdg-open) elsewhere. Empty when there is nothing to
// start (no VISUAL and no path outside Windows).
std::vector<std::string> EditorCommand(std::string_view visual, const std::string& path);

// A command line split into words as a POSIX shell splits it, quotes and
// backslashes removed; nothing is expanded.
std::vector<std::string> SplitShellWords(std::string_view command);

// A command line split into words as Windows programs split theirs
// (CommandLineToArgvW): blanks separate, double quotes group, a backslash is
// itself except before a quote ("C:\Program Files\..." keeps its
// backslashes); the first word is taken up to its closing quote as it stands.
std::vector<std::string> SplitWindowsWords(std::string_view command);

// The Windows command line that splits back into exactly these words
// (CommandLineToArgvW and every C runtime's argv): each word quoted where it
// must be, backslashes doubled only before a quote.
std::string WindowsCommandLine(const std::vector<std::string>& words);

#ifdef _WIN32
// Starts the program of `words` with its arguments, detached, through
// CreateProcessW with WindowsCommandLine(words): no cmd.exe in between, so
// nothing in a name ("&", "%", "^") is taken as a command. Empty, or why it
// could not be started. (Elsewhere the window starts it through Qt.)
std::string StartProgram(const std::vector<std::string>& words);
#endif

}  // namespace h33
