#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include "format/pathtext.h"
#endif

#include "cli/runh33.h"
#include "format/scratchfiles.h"

namespace {

#ifdef _WIN32
// The arguments as the system holds them, UTF-16, in our UTF-8: main's argv
// would come through the ANSI code page, which has no room for a Cyrillic
// name on a Western system nor for any name outside it.
std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; words && i < count; ++i) arguments.push_back(h33::Utf8FromWide(words[i]));
  LocalFree(words);
  return arguments;
}

// Messages are UTF-8: the console shows them as such while the command runs,
// and gets its own code page back afterwards.
class Utf8Console {
 public:
  Utf8Console() : saved_(GetConsoleOutputCP()) {
    if (saved_ != 0) SetConsoleOutputCP(CP_UTF8);
  }
  ~Utf8Console() {
    if (saved_ != 0) SetConsoleOutputCP(saved_);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT saved_;
};
#endif

}  // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
  h33::ScratchFiles::RemoveOnSignals();
#ifdef SIGPIPE
  // A reader that goes early (`| head`) makes the write fail instead of
  // ending the process: the run then ends as on any failed write, saying
  // so and taking its scratch copies with it.
  std::signal(SIGPIPE, SIG_IGN);
#endif
#ifdef _WIN32
  const Utf8Console console;
  // A program written to standard output keeps its CR LF as it is.
  _setmode(_fileno(stdout), _O_BINARY);
  const int code = h33::RunH33(Arguments(), std::cout, std::cerr);
  std::cout.flush();
  return code;
#else
  return h33::RunH33(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
#endif
}
