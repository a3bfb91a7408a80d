#pragma once

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

// The feed of a PTP frame in mm/min. Throws PtpInputError for a feed below
// zero: it has no code, and the controller would run the frame at F0000.
int ReadPtpFeed(const std::string& line);

// Reads a PTP program one frame, that is one line, at a time. A line longer
// than 198 characters with its line end arrives in pieces, each a frame of
// its own.
class PtpReader {
 public:
  explicit PtpReader(ByteSource& source) : reader_(source) {}

  // The next line or piece with its line end (a last line or a leading piece
  // has none); nothing at the end of the input. Throws IoError when reading
  // fails.
  std::optional<std::string> Next();

 private:
  LineReader reader_;
};

}  // namespace h33
