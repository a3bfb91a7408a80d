#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "format/bytesource.h"
#include "format/lineio.h"
#include "format/refusal.h"

namespace h33 {

// Input the conversion refuses; what() tells the user why.
class PtpInputError : public ProgramRefusal {
 public:
  using ProgramRefusal::ProgramRefusal;
};

// The feed of a PTP frame in mm/min. Throws PtpInputError for a feed below
// zero: it has no code, and the controller would run the frame at F0000.
int ReadPtpFeed(const std::string& line);

// Reads a PTP program one frame, that is one line, at a time. A line longer
// than 198 characters with its line end is refused (ProgramRefusal).
class PtpReader {
 public:
  explicit PtpReader(ByteSource& source) : reader_(source) {}

  // The next line with its line end (a last line may have none); nothing at
  // the end of the input. Throws ProgramRefusal, or IoError when reading
  // fails.
  std::optional<std::string> Next();

 private:
  ProgramLineReader reader_;
};

}  // namespace h33
