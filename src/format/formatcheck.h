#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "format/bytesource.h"
#include "format/frame.h"

namespace h33 {

// A place where a line departs from the H33 word format.
enum class ViolationKind {
  ValueLength,         // an X..K, F or L word of the wrong length, a G word too long
  ForbiddenWord,       // a D or an H word
  ForbiddenCharacter,  // . ; ( ) " '
};

struct FormatViolation {
  long line = 0;  // line number in the file, from 1; pieces of a long line share it
  ViolationKind kind = ViolationKind::ValueLength;
  char what = 0;                // the address letter or the forbidden character
  std::size_t valueLength = 0;  // for ValueLength
};

// Whether the F words are checked: a PTP tape's plain feeds are no codes.
enum class FeedWordCheck { kChecked, kSkipped };

// Whether bytes that no program text holds (a byte-order mark, a NUL) are
// refused as the methods' reader refuses them (RefuseNonText), or merely
// found to hold no words.
enum class NonText { kPassed, kRefused };

// Called once per violation, in the order of the lines and, within a line, in
// the order of the rules.
using ViolationVisitor = std::function<void(const FormatViolation&)>;

// Walks the program as the format check reads it: 127-character pieces, the
// last line only when it ends with a line feed. Throws IoError when the
// source fails part way, ProgramRefusal for what `nonText` refuses.
void ForEachH33Violation(ByteSource& source, FeedWordCheck feedWords, const ViolationVisitor& visit,
                         NonText nonText = NonText::kPassed);

// The line numbers of the check's pieces: the pieces of a long line share
// its number.
class PieceNumbers {
 public:
  long Take(std::string_view piece) {
    if (lineStarts_) ++number_;
    lineStarts_ = piece.back() == '\n';
    return number_;
  }

 private:
  long number_ = 0;
  bool lineStarts_ = true;
};

// The same check fed the lines as a method's reader takes them (pieces of at
// most 198 characters, every line end a LF), for a method that checks the
// format in its own pass over the file: the check cuts them into its own
// 127-character pieces and finds what ForEachH33Violation finds in the file.
class FormatCheck {
 public:
  FormatCheck(FeedWordCheck feedWords, ViolationVisitor visit)
      : feedWords_(feedWords), visit_(std::move(visit)) {}

  void Take(std::string_view piece);
  // The same for a piece read already.
  void Take(const Frame& piece);
  // One of the check's own pieces, as a read of kCheckLineLimit gives it.
  void TakeCheckPiece(std::string_view line);

 private:

  FeedWordCheck feedWords_;
  ViolationVisitor visit_;
  // The check's piece being filled; what is left at the end is a last line
  // without its end, which the check leaves alone.
  std::string pending_;
  PieceNumbers numbers_;
};

// The first F word whose value is no four-digit feed code (a PTP tape's
// F300), if any. Throws IoError when the source fails part way.
std::optional<FormatViolation> FindPlainFeed(ByteSource& source);

// A PTP tape carries feeds in mm/min: read as codes they would be absurd.
// Its name says so when it ends in .ptp, in any case.
bool HasPtpName(const std::filesystem::path& file);

// A tape by its name, or by an F word that is no four-digit code (F300). A
// file that cannot be read is no tape: its reader says why.
bool IsPtpTape(const std::filesystem::path& file);

// The number of violations, 0 for an H33 program.
int CheckH33Format(ByteSource& source, FeedWordCheck feedWords = FeedWordCheck::kChecked);

// The same for a file; none when it cannot be opened. Nothing is printed
// here: callers that report the failure use CannotOpenForReadingText.
std::optional<int> CheckH33Format(const std::filesystem::path& path,
                                  FeedWordCheck feedWords = FeedWordCheck::kChecked);

// "Cannot open the file for reading", as both read-only passes report it.
std::string CannotOpenForReadingText(const std::filesystem::path& path);

// The verdict of the format check on a file as the user is told it: whether
// it has the controller's format.
std::string FormatVerdictText(const std::filesystem::path& path, bool isH33);

// One violation as a line for the user, in Russian.
std::string DescribeViolation(const FormatViolation& violation);

}  // namespace h33
