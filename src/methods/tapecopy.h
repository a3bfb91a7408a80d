#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "format/bytesource.h"
#include "format/frame.h"
#include "format/lineio.h"
#include "format/modalstate.h"

namespace h33 {

// Copies one program onto two tapes. Whole lines go to the first tape until
// the byte count of the lines read passes the working limit; the line that
// passes it and every line after it go to the second tape. At the cut the
// first tape is closed off as a program of its own (switch-offs, return to the
// start point, end of program and of tape) and the second one is opened as a
// program of its own (switch-ons restated, approach to the cut point, plane,
// interpolation mode and feed). Every frame written here carries the number
// 000: the correction that follows numbers them.
class TapeCopy {
 public:
  // `lastFeedText` is the feed met before an earlier cut of the same program;
  // it stands until this copy meets an F word of its own.
  TapeCopy(LineWriter& first, LineWriter& second, long workingLimit, std::string lastFeedText);

  // Copies the whole source. True when the cut was made; false when the
  // count never passed the limit, so that the first tape holds the whole
  // program and the second one nothing of it. Throws IoError, and
  // ProgramRefusal for a line too long to be read whole or an F word whose
  // code is no feed.
  bool Copy(ByteSource& source);

  // The value of the last F word before the cut, as written there.
  const std::string& LastFeedText() const { return lastFeedText_; }

  // The byte count up to and including the program's first motion frame,
  // -1 when it has none: the first tape moves at all only under a working
  // limit of at least this.
  long long BytesThroughFirstMotion() const { return bytesThroughFirstMotion_; }

 private:
  void CopyBeforeCut(const Frame& frame);
  void RestateSwitches(const Frame& frame);
  // The cut comes before line `lineNumber`, which starts the second tape.
  void WriteCut(long lineNumber);
  void CopyAfterCut(Frame frame);
  void WriteFirst(std::string_view text);
  std::string ZFrame(long z, bool returning) const;

  LineWriter& first_;
  LineWriter& second_;
  long workingLimit_;
  std::string lastFeedText_;

  long long byteCount_ = 0;
  long long bytesThroughFirstMotion_ = -1;
  bool cutDone_ = false;
  bool firstMotionDone_ = false;
  std::vector<std::string> closingFrames_;
  // Where the tool stands at the cut relative to the program's start, 0.01 mm.
  long offsetX_ = 0;
  long offsetY_ = 0;
  long offsetZ_ = 0;
  std::string lastLText_;
  // Interpolation mode and plane before the cut, restated after it. G00 is
  // not restated: the interpolation mode stays what G01..G03 last made it.
  ModalState modal_;
};

}  // namespace h33
