#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/runh33.h"
#include "format/scratchfiles.h"

int main(int argc, char** argv) {
  h33::ScratchFiles::RemoveOnSignals();
#ifdef _WIN32
  // A program written to standard output keeps its CR LF as it is.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return h33::RunH33(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
