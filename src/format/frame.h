#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "format/geometry.h"

namespace h33 {

// One program line read once: where each word stands, the move as numbers,
// and which class of frame it is. The text stays the
// frame itself: it is what is written out, and an edit is made on the text
// with the word operations (format/words.h) and then assigned again.
//
// The words are read as ReadWord reads them, with its quirks:
// - a word is the first occurrence of its letter anywhere in the line; a bare
//   first occurrence is no word and hides a real word later in the line;
// - a value runs over digits, blanks, signs and points, so in
//   "X+000100 Y-000200" the blank belongs to the X value;
// - a value that holds no number reads as 0.
// Modal G codes are not words: ModalState finds them as substrings.
class Frame {
 public:
  Frame() = default;
  explicit Frame(std::string_view text) { Assign(text); }

  // Takes a new text and reads it, reusing the storage.
  void Assign(std::string_view text);

  const std::string& Text() const { return text_; }

  // The value text of the word with the upper-case `letter`, as ReadWord
  // gives it; empty when the frame has no such word.
  std::string_view Word(char letter) const {
    if (!Has(letter)) return {};
    const Span& span = spans_[Index(letter)];
    return std::string_view(text_).substr(span.at, span.size);
  }
  bool Has(char letter) const {
    const unsigned index = Index(letter);
    return index < spans_.size() && (words_ >> index & 1u) != 0;
  }
  std::string_view FeedText() const { return Word('F'); }

  // X, Y, Z as written, in the program's 0.01 mm, before any scaling: the
  // numbers whose squares the time counter adds.
  const FrameVector& WrittenMove() const { return writtenMove_; }
  // The same in mm, as ReadCoordinates gives it.
  FrameVector Move() const { return InMillimetres(writtenMove_); }
  // I, J, K in mm, as ReadArcOffsets gives them; read when asked for, since
  // most passes only need to know that a frame is an arc.
  FrameVector ArcOffsets() const;

  // X, Y or Z.
  bool IsMotion() const { return writtenMove_.present; }
  // A motion frame with I, J or K; without them a frame is a straight line,
  // whatever its G codes say.
  bool IsArc() const { return IsMotion() && (Has('I') || Has('J') || Has('K')); }
  // An F word and no X, Y, Z, M, L or G word, nor a modal G code read as a
  // substring: the look-ahead drops it whole.
  bool IsFeedOnly() const;

 private:
  struct Span {
    std::uint32_t at = 0, size = 0;
  };

  static unsigned Index(char letter) { return static_cast<unsigned char>(letter) - unsigned{'A'}; }

  std::string text_;
  std::uint32_t words_ = 0;  // bit Index(letter) for each word present
  std::array<Span, 26> spans_{};
  FrameVector writtenMove_;
};

}  // namespace h33
