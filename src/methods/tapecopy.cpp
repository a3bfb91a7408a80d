#include "methods/tapecopy.h"

#include <climits>
#include <utility>

#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/refusal.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {
namespace {

// The Z moves at the cut run at 300 mm/min whatever feed the program had.
constexpr int kZFeed = 300;

// Garbage coordinates saturate instead of overflowing the sums.
long AddSaturating(long sum, long value) {
  if (value > 0 && sum > LONG_MAX - value) return LONG_MAX;
  if (value < 0 && sum < LONG_MIN - value) return LONG_MIN;
  return sum + value;
}

long Negate(long value) { return value == LONG_MIN ? LONG_MAX : -value; }

void AddOffset(long& offset, const Frame& frame, char axis) {
  const std::string_view value = frame.Word(axis);
  if (!value.empty()) offset = AddSaturating(offset, ParseLong(value));
}

std::string XYFrame(long x, long y) { return Sprintf("N000G01X%+6.6ldY%+6.6ldF0712\n", x, y); }

// A coordinate word holds a sign and six digits: 9999.99 mm. A cut further
// from the program's start than that cannot be returned from and approached
// again in one frame the controller reads; the split is refused before any
// tape is kept.
constexpr long kLargestWordValue = 999999;

void RefuseUnwritableOffset(long offset, char axis, long lineNumber) {
  if (offset >= -kLargestWordValue && offset <= kLargestWordValue) return;
  throw ProgramRefusal(Sprintf("Строка %ld: в месте разреза инструмент отошёл от начала программы "
                               "по оси %c дальше 9999.99 мм: кадры возврата и подхода этого не "
                               "запишут, разбивка здесь невозможна",
                               lineNumber, axis));
}

}  // namespace

TapeCopy::TapeCopy(LineWriter& first, LineWriter& second, long workingLimit,
                   std::string lastFeedText)
    : first_(first),
      second_(second),
      workingLimit_(workingLimit),
      lastFeedText_(std::move(lastFeedText)) {}

bool TapeCopy::Copy(ByteSource& source) {
  ProgramLineReader reader(source);
  second_.Write("%\n");
  std::string line;
  while (reader.ReadLine(line)) {
    Frame frame(std::move(line));
    // Refused here rather than by the correction of a part, which would
    // number the lines of the part.
    RefuseNonFeedCode(frame, reader.LineNumber());
    RefuseSlowFrameCode(frame, reader.LineNumber());
    RefuseHiddenFeedWord(frame, reader.LineNumber());
    // The line as read plus the carriage return it had on tape.
    byteCount_ += static_cast<long long>(frame.Text().size()) + 1;
    if (bytesThroughFirstMotion_ < 0 && frame.IsMotion()) bytesThroughFirstMotion_ = byteCount_;
    if (!cutDone_ && byteCount_ > workingLimit_) {
      WriteCut(reader.LineNumber());
      cutDone_ = true;
    }
    if (cutDone_) {
      CopyAfterCut(std::move(frame));
    } else {
      CopyBeforeCut(frame);
    }
  }
  return cutDone_;
}

void TapeCopy::CopyBeforeCut(const Frame& frame) {
  AddOffset(offsetX_, frame, 'X');
  AddOffset(offsetY_, frame, 'Y');
  AddOffset(offsetZ_, frame, 'Z');
  if (frame.Has('F')) lastFeedText_ = frame.FeedText();
  if (frame.Has('L')) lastLText_ = frame.Word('L');
  RestateSwitches(frame);
  modal_.Take(frame.Codes());
  WriteFirst(frame.Text());
}

// Whatever the first tape switched on, the second one switches on again
// before it moves, and the first one switches off before it ends. Switch-offs
// in the program are not looked at: a spindle stopped since is stopped once
// more at the cut, which does no harm.
void TapeCopy::RestateSwitches(const Frame& frame) {
  const std::string& line = frame.Text();
  if (const std::string_view speed = frame.Word('S'); !speed.empty()) {
    const std::string_view function = frame.Word('M');
    // A spindle speed on its own is restated on its own, not with an empty M word.
    second_.Write(function.empty() ? Sprintf("N000S%s\n", std::string(speed).c_str())
                                   : Sprintf("N000S%sM%s\n", std::string(speed).c_str(),
                                             std::string(function).c_str()));
  }
  if (Contains(line, "M03")) {
    second_.Write("N000M03\n");
    closingFrames_.emplace_back("N000M05\n");
  } else if (Contains(line, "M04")) {
    second_.Write("N000M04\n");
    closingFrames_.emplace_back("N000M05\n");
  }
  if (Contains(line, "M08")) {
    second_.Write("N000M08\n");
    closingFrames_.emplace_back("N000M09\n");
  }
  if (const std::string_view tool = frame.Word('T'); !tool.empty()) {
    second_.Write(Sprintf("N000M06T%s\n", std::string(tool).c_str()));
  }
}

void TapeCopy::WriteCut(long lineNumber) {
  RefuseUnwritableOffset(offsetX_, 'X', lineNumber);
  RefuseUnwritableOffset(offsetY_, 'Y', lineNumber);
  RefuseUnwritableOffset(offsetZ_, 'Z', lineNumber);
  for (const std::string& frame : closingFrames_) WriteFirst(frame);
  // Every tape starts where the program starts: any move away in X or Y is
  // undone, also one along a single axis.
  const bool returnXY = offsetX_ != 0 || offsetY_ != 0;
  if (offsetZ_ != 0) WriteFirst(ZFrame(Negate(offsetZ_), true));
  if (returnXY) WriteFirst(XYFrame(Negate(offsetX_), Negate(offsetY_)));
  WriteFirst("N000M30\n");
  WriteFirst("$\n");

  if (returnXY) second_.Write(XYFrame(offsetX_, offsetY_));
  if (offsetZ_ != 0) second_.Write(ZFrame(offsetZ_, false));
  if (modal_.PlaneCode() != 0) second_.Write(Sprintf("N000G%d\n", modal_.PlaneCode()));
}

// The return frame cancels the tool radius compensation (G40); the approach
// frame carries the L word alone.
std::string TapeCopy::ZFrame(long z, bool returning) const {
  const std::string word = Sprintf("Z%+6.6ld", z);
  std::string frame;
  if (lastLText_.empty()) {
    frame = Sprintf("N000G01%sF0660\n", word.c_str());
  } else if (returning) {
    frame = Sprintf("N000G01G40%sF0660L%s\n", word.c_str(), lastLText_.c_str());
  } else {
    frame = Sprintf("N000G01%sF0660L%s\n", word.c_str(), lastLText_.c_str());
  }
  ReplaceWord(frame, 'F', EncodeFeed(kZFeed));
  return frame;
}

void TapeCopy::CopyAfterCut(Frame frame) {
  if (!firstMotionDone_ && frame.IsMotion()) {
    firstMotionDone_ = true;
    // The second tape starts in the middle of the program: its first move
    // states the feed and the interpolation mode in force at the cut. With no
    // feed met before the cut there is none to state; the L word stays last.
    if (!Contains(frame.Text(), "F") && !lastFeedText_.empty()) {
      frame.SetWord('F', lastFeedText_);
    }
    if (!frame.Codes().StatesInterpolation() && modal_.Motion() != 1) {
      second_.Write(Sprintf("N000G%2.2d\n", modal_.Motion()));
    }
  }
  second_.Write(frame.Text());
}

void TapeCopy::WriteFirst(std::string_view text) { first_.Write(text); }

}  // namespace h33
