#pragma once

#include <string_view>

#include "format/frame.h"
#include "format/runerror.h"

namespace h33 {

// A program line that a method will not work on; what() names the line and
// says why, in the user's words. It is reported wherever a failed read is,
// and like a failed read it leaves every output as it was.
class ProgramRefusal : public RunError {
 public:
  using RunError::RunError;
};

// A line longer than the readers take whole: read in pieces it would become
// several frames, cut in the middle of a word.
ProgramRefusal LineTooLong(long lineNumber);

// A frame a method has lengthened (a feed written into it) past what the
// readers take whole: written, it would come back as several frames. Named
// by its input line where it has one.
ProgramRefusal FrameGrownTooLong(const Frame& frame);

// Throws ProgramRefusal for bytes that no program text holds, read as the
// line `lineNumber` (from 1): a byte-order mark at the start of the first
// line, a NUL byte anywhere. A file saved in Unicode or a binary file would
// otherwise pass for a program without a single word.
void RefuseNonText(std::string_view line, long lineNumber);

// Throws ProgramRefusal when the frame's F word holds a code that is no feed
// (IsNonFeedCode): the correction would take it for a stop and write F0000
// into the next move, or run the move at an absurd feed.
void RefuseNonFeedCode(const Frame& frame, long lineNumber);

// Throws ProgramRefusal when the frame's F word holds a code above 4000 that
// is a feed (InsertsSlowFrame): the controller runs a frame of its own after
// it, which a method that codes feeds anew would lose with the lead digit.
void RefuseSlowFrameCode(const Frame& frame, long lineNumber);

// Throws ProgramRefusal when the frame holds an F that the readers do not
// take for its F word: a bare F ("Y+001000F") or an F word behind another
// F. A feed a method writes into such a frame would stand behind the first
// F, where no reader sees it, while the text shows it.
void RefuseHiddenFeedWord(const Frame& frame, long lineNumber);

// The refusal of a move whose feed in force is the F word `value`, a code
// that is no feed (IsNonFeedCode): for a pass that only minds the codes the
// moves run at.
ProgramRefusal MoveAtNonFeedCode(std::string_view value, long lineNumber);

}  // namespace h33
