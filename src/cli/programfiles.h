#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "format/scratchfiles.h"

namespace h33 {

// Program files named on the command line, made fit for the methods, which
// read an input several times (the check, the method, the time count) and
// write an output under a name.
//
// An input "-" is standard input; a pipe or a FIFO is read once
// into a scratch file that every pass then reads, so that each sees the same
// bytes. An output "-" is written to a scratch file and copied to standard
// output once the method succeeded. Scratch files go when the run ends or is
// interrupted.
class ProgramFiles {
 public:
  // Replaces `name` by a file that can be read more than once; false after
  // saying why on `err`, also for a device (a serial port, the null device).
  // Regular files and names that do not exist stay as they are: the method
  // reports those in its own words.
  bool TakeInput(std::string& name, std::ostream& err);

  // True when `name` asks for standard output; it is then replaced by the
  // scratch file the method writes, for CopyToStandardOutput. False after
  // saying why on `err` when no scratch file can be had; `name` then stays.
  bool TakeOutput(std::string& name, std::ostream& err, bool& toStandardOutput);

  // Copies what the method wrote to `out`; false when `out` failed (left
  // bad, for the caller to report) or after saying why on `err`.
  bool CopyToStandardOutput(const std::string& written, std::ostream& out, std::ostream& err);

 private:
  std::vector<std::unique_ptr<ScratchFile>> scratch_;
};

// True after saying why on `err` when `name` is a device (a serial port, the
// null device), from which no program can be read: for an input read in
// place, which TakeInput does not see.
bool RefuseDeviceInput(const std::string& name, std::ostream& err);

// False after saying so on `err` when `names` name standard input more than
// once: it can be read only once, and a second "-" would be an empty program.
bool StandardInputAtMostOnce(const std::vector<std::string>& names, std::ostream& err);

// The name that stands for standard input or output.
inline constexpr const char* kStandardStream = "-";

}  // namespace h33
