#include "format/formatcheck.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>

#include "format/frame.h"
#include "format/lineio.h"
#include "format/pathtext.h"
#include "format/refusal.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {
namespace {

constexpr std::string_view kCoordinateLetters = "XYZIJK";
constexpr std::string_view kForbiddenLetters = "DH";
constexpr std::string_view kForbiddenCharacters = ".;()\"'";

// G words may have one or two characters; every other checked word has
// exactly the length given here.
constexpr std::size_t kLongestGValue = 2;

std::size_t RequiredLength(char letter) {
  switch (letter) {
    case 'F': return 4;
    case 'L': return 3;
    default: return 7;
  }
}

// Where each character first stands in a line, found in one pass: the check
// asks after a dozen of them in every line.
class FirstOccurrences {
 public:
  explicit FirstOccurrences(std::string_view line) : line_(line) {
    at_.fill(kNone);
    for (std::size_t i = 0; i < line.size(); ++i) {
      const auto c = static_cast<unsigned char>(line[i]);
      if (c < at_.size() && at_[c] == kNone) at_[c] = static_cast<std::uint32_t>(i);
    }
  }

  bool Contains(char c) const { return at_[static_cast<unsigned char>(c)] != kNone; }

  // What ReadWord reads: the value after the letter's first occurrence only,
  // which is exactly the one occurrence per address that is examined.
  std::string_view Word(char letter) const {
    const std::uint32_t at = at_[static_cast<unsigned char>(letter)];
    return at == kNone ? std::string_view() : WordValueAt(line_, at);
  }

 private:
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};
  std::string_view line_;
  std::array<std::uint32_t, 128> at_;
};

constexpr std::array<bool, 256> kForbiddenTable = [] {
  std::array<bool, 256> table{};
  for (const char c : kForbiddenCharacters) table[static_cast<unsigned char>(c)] = true;
  return table;
}();

bool HasForbiddenCharacter(std::string_view line) {
  return std::any_of(line.begin(), line.end(),
                     [](char c) { return kForbiddenTable[static_cast<unsigned char>(c)]; });
}

// A frame read already knows its words; the forbidden characters are looked
// for one by one only in a line that has any.
class FrameOccurrences {
 public:
  explicit FrameOccurrences(const Frame& frame)
      : frame_(frame), anyForbidden_(HasForbiddenCharacter(frame.Text())) {}

  bool Contains(char c) const {
    return anyForbidden_ && frame_.Text().find(c) != std::string::npos;
  }
  std::string_view Word(char letter) const { return frame_.Word(letter); }

 private:
  const Frame& frame_;
  bool anyForbidden_;
};

template <typename Occurrences>
void CheckLine(const Occurrences& first, long number, FeedWordCheck feedWords,
               const ViolationVisitor& visit) {
  const auto report = [&](ViolationKind kind, char what, std::size_t length = 0) {
    visit(FormatViolation{number, kind, what, length});
  };
  const auto checkLength = [&](char letter) {
    const std::string_view value = first.Word(letter);
    if (!value.empty() && value.size() != RequiredLength(letter)) {
      report(ViolationKind::ValueLength, letter, value.size());
    }
  };

  for (const char letter : kCoordinateLetters) checkLength(letter);
  if (feedWords == FeedWordCheck::kChecked) checkLength('F');
  checkLength('L');
  const std::string_view g = first.Word('G');
  if (g.size() > kLongestGValue) report(ViolationKind::ValueLength, 'G', g.size());
  for (const char letter : kForbiddenLetters) {
    if (!first.Word(letter).empty()) report(ViolationKind::ForbiddenWord, letter);
  }
  for (const char character : kForbiddenCharacters) {
    if (first.Contains(character)) report(ViolationKind::ForbiddenCharacter, character);
  }
}

}  // namespace

void ForEachH33Violation(ByteSource& source, FeedWordCheck feedWords, const ViolationVisitor& visit,
                         NonText nonText) {
  LineReader reader(source);
  PieceNumbers numbers;
  for (std::string line; reader.ReadLine(line, kCheckLineLimit);) {
    const long number = numbers.Take(line);
    if (nonText == NonText::kRefused) RefuseNonText(line, number);
    // A piece that runs into the end of the file is an unterminated last
    // line: its words are left unexamined.
    if (reader.AtEof()) break;
    CheckLine(FirstOccurrences(line), number, feedWords, visit);
  }
}

// A piece is complete at its line feed or at the limit, as a read of the
// check's length ends; what is left at the end of the input ran into it.
void FormatCheck::Take(const Frame& frame) {
  const std::string& text = frame.Text();
  // A whole line of the check's length is one of its pieces, read already.
  if (pending_.empty() && text.size() <= kCheckLineLimit && text.ends_with('\n')) {
    CheckLine(FrameOccurrences(frame), numbers_.Take(text), feedWords_, visit_);
    return;
  }
  Take(std::string_view(text));
}

void FormatCheck::Take(std::string_view piece) {
  while (!piece.empty()) {
    const std::size_t room = kCheckLineLimit - pending_.size();
    const std::size_t lineFeed = piece.substr(0, room).find('\n');
    const std::size_t taken =
        lineFeed == std::string_view::npos ? std::min(room, piece.size()) : lineFeed + 1;
    const std::string_view part = piece.substr(0, taken);
    piece.remove_prefix(taken);
    if (lineFeed == std::string_view::npos && taken < room) {
      pending_.append(part);
    } else if (pending_.empty()) {
      TakeCheckPiece(part);
    } else {
      pending_.append(part);
      TakeCheckPiece(pending_);
      pending_.clear();
    }
  }
}

void FormatCheck::TakeCheckPiece(std::string_view line) {
  CheckLine(FirstOccurrences(line), numbers_.Take(line), feedWords_, visit_);
}

std::optional<FormatViolation> FindPlainFeed(ByteSource& source) {
  std::optional<FormatViolation> plainFeed;
  ForEachH33Violation(source, FeedWordCheck::kChecked, [&plainFeed](const FormatViolation& violation) {
    if (!plainFeed && violation.kind == ViolationKind::ValueLength && violation.what == 'F') {
      plainFeed = violation;
    }
  });
  return plainFeed;
}

bool HasPtpName(const std::filesystem::path& file) {
  std::string extension = PathText(file.extension());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".ptp";
}

bool IsPtpTape(const std::filesystem::path& file) {
  if (HasPtpName(file)) return true;
  const std::unique_ptr<FileSource> source = FileSource::Open(file);
  try {
    return source && FindPlainFeed(*source).has_value();
  } catch (const RunError&) {
    return false;
  }
}

int CheckH33Format(ByteSource& source, FeedWordCheck feedWords) {
  int count = 0;
  // Saturating, so that no count of a huge file can wrap round to 0 (H33).
  ForEachH33Violation(source, feedWords, [&count](const FormatViolation&) {
    if (count < std::numeric_limits<int>::max()) ++count;
  });
  return count;
}

std::optional<int> CheckH33Format(const std::filesystem::path& path, FeedWordCheck feedWords) {
  const auto source = FileSource::Open(path);
  if (!source) return std::nullopt;
  return CheckH33Format(*source, feedWords);
}

std::string CannotOpenForReadingText(const std::filesystem::path& path) {
  return Sprintf("Невозможно открыть файл:\n %s \n на 'чтение' \n", PathText(path).c_str());
}

std::string FormatVerdictText(const std::filesystem::path& path, bool isH33) {
  const std::string name = PathText(path);
  return isH33 ? Sprintf("Файл УП ->\n %s \n\n имеет формат УЧПУ H33 (Velta)", name.c_str())
               : Sprintf("Файл УП ->\n %s \n\n НЕ имеет формат УЧПУ H33 (Velta)", name.c_str());
}

std::string DescribeViolation(const FormatViolation& violation) {
  switch (violation.kind) {
    case ViolationKind::ValueLength:
      if (violation.what == 'G') {
        return Sprintf("строка %ld: слово G со значением из %zu символов (допустимо не более %zu)",
                       violation.line, violation.valueLength, kLongestGValue);
      }
      return Sprintf("строка %ld: слово %c со значением из %zu символов (нужно %zu)",
                     violation.line, violation.what, violation.valueLength,
                     RequiredLength(violation.what));
    case ViolationKind::ForbiddenWord:
      return Sprintf("строка %ld: недопустимое слово %c", violation.line, violation.what);
    case ViolationKind::ForbiddenCharacter:
      return Sprintf("строка %ld: недопустимый символ %c", violation.line, violation.what);
  }
  return {};
}

}  // namespace h33
