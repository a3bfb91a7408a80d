#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>

#include "bytesource.h"
#include "lineio.h"

namespace h33 {

// Input the conversion refuses; what() tells the user why.
class PtpInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a PTP program one frame, that is one line, at a time. A line must fit
// the 198 characters of a read with its line end; a longer one is refused
// rather than cut into pieces, because a frame inserted between the pieces
// would land in the middle of the line.
class PtpReader {
 public:
  explicit PtpReader(ByteSource& source) : reader_(source) {}

  // The next line with its line end (a last line may have none); nothing at
  // the end of the input. Throws PtpInputError for a line too long, IoError
  // when reading fails.
  std::optional<std::string> Next();

 private:
  LineReader reader_;
  long lineNumber_ = 0;
  bool lineCut_ = false;
};

}  // namespace h33
