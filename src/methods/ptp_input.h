#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "format/bytesource.h"
#include "format/frame.h"
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
int ReadPtpFeed(const Frame& frame);

// Throws PtpInputError, naming the line, for a feed text that is not a plain
// decimal number ("1e5", "12abc", "1.5.2": read as far as they look like
// one, they would be coded from the first digits and the rest left in the
// frame) and for a feed above 0 and below 1 mm/min, which would be coded as a
// stop. A text without a digit reads as 0; negative feeds are left to
// ReadPtpFeed.
void CheckPtpFeedText(const Frame& frame, long lineNumber);

// Reads a PTP program one frame, that is one line, at a time. A line longer
// than 198 characters with its line end is refused (ProgramRefusal), and so
// is a feed that CheckPtpFeedText refuses.
class PtpReader {
 public:
  explicit PtpReader(ByteSource& source) : reader_(source) {}

  // The next frame with its line end (a last line may have none); nothing
  // at the end of the input. Throws ProgramRefusal, or IoError when reading
  // fails.
  std::optional<Frame> Next();

 private:
  ProgramLineReader reader_;
};

}  // namespace h33
