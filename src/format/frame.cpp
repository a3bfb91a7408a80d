#include "format/frame.h"

#include "format/words.h"

namespace h33 {

// One scan: each letter's first occurrence is its word (or hides it when
// bare), every 'G' may start a modal code, and a value is skipped whole since
// it holds no letter.
void Frame::Read() {
  words_ = 0;
  hidden_ = 0;
  codes_ = {};
  std::uint32_t met = 0;
  const std::string_view line = text_;
  for (std::size_t at = 0; at < line.size(); ++at) {
    const std::uint32_t bit = Bit(line[at]);
    if (bit == 0) continue;
    if (line[at] == 'G') codes_.NoteAt(line, at);
    const std::string_view value = WordValueAt(line, at);
    if ((met & bit) != 0) {
      if (!value.empty()) hidden_ |= bit;
    } else {
      met |= bit;
      if (!value.empty()) {
        words_ |= bit;
        spans_[Index(line[at])] = {static_cast<std::uint32_t>(at + 1),
                                   static_cast<std::uint32_t>(value.size())};
      }
    }
    at += value.size();
  }
  ReadVectors();
}

void Frame::ReadVectors() {
  writtenMove_ = WrittenVector(Word('X'), Word('Y'), Word('Z'));
  writtenArc_ = HasArcWords() ? WrittenVector(Word('I'), Word('J'), Word('K')) : FrameVector{};
}

bool Frame::IsFeedOnly() const {
  if (!Has('F')) return false;
  for (const char letter : std::string_view("XYZMLG")) {
    if (Has(letter)) return false;
  }
  // A modal code found as a substring where no G word reads ("GG03") still
  // changes the plane or the sense of the arcs after it: such a frame is
  // kept, or dropping it would turn those arcs round.
  return !codes_.Any();
}

void Frame::SetWord(char letter, std::string_view value) {
  // A missing word is inserted by rules that may put it anywhere, an empty
  // value leaves a bare letter, which is no word, and a G value may start a
  // modal code: the frame is read again.
  if (!Has(letter) || value.empty() || letter == 'G') {
    Rewrite([&](std::string& text) { ReplaceWord(text, letter, value); });
    return;
  }
  Span& span = spans_[Index(letter)];
  text_.replace(span.at, span.size, value);
  const auto grown = static_cast<std::int64_t>(value.size()) - span.size;
  if (grown != 0) {
    for (Span& other : spans_) {
      if (other.at > span.at) other.at = static_cast<std::uint32_t>(other.at + grown);
    }
  }
  span.size = static_cast<std::uint32_t>(value.size());
  if (std::string_view("XYZIJK").find(letter) != std::string_view::npos) ReadVectors();
}

void Frame::SetH33Number(long number) {
  // The usual "N001": the three characters are the N word's value.
  const Span& n = spans_[Index('N')];
  if (Has('N') && n.at == 1 && n.size == 3 && number >= 0 && number <= 999) {
    const char digits[3] = {static_cast<char>('0' + number / 100),
                            static_cast<char>('0' + number / 10 % 10),
                            static_cast<char>('0' + number % 10)};
    text_.replace(1, 3, digits, 3);
    return;
  }
  Rewrite([number](std::string& text) { WriteH33Number(text, number); });
}

}  // namespace h33
