#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "format/geometry.h"
#include "format/modalstate.h"

namespace h33 {

// One program line read once: where each word stands, the move as numbers,
// the modal codes it states and which class of frame it is. The reader makes
// it, the planner holds it, the writer writes its text: no pass reads the
// line again. The text stays the frame itself; an edit goes through the
// frame (SetWord, Rewrite), which keeps what was read in step with the text.
//
// The words are read as ReadWord reads them, with its quirks:
// - a word is the first occurrence of its letter anywhere in the line; a bare
//   first occurrence is no word and hides a real word later in the line;
// - a value runs over digits, blanks, signs and points, so in
//   "X+000100 Y-000200" the blank belongs to the X value;
// - a value that holds no number reads as 0.
// Modal G codes are not words: they are found as substrings (ModalCodes).
class Frame {
 public:
  Frame() = default;
  explicit Frame(std::string_view text) { Assign(text); }
  explicit Frame(const char* text) : Frame(std::string_view(text)) {}
  // Takes the line's storage.
  explicit Frame(std::string&& text) : text_(std::move(text)) { Read(); }

  // Takes a new text and reads it, reusing the storage.
  void Assign(std::string_view text) {
    text_.assign(text);
    Read();
  }

  const std::string& Text() const { return text_; }

  // The input line the frame was read from; 0 for a frame a method made.
  long SourceLine() const { return sourceLine_; }
  void SetSourceLine(long line) { sourceLine_ = line; }

  // The value text of the word with the upper-case `letter`, as ReadWord
  // gives it; empty when the frame has no such word.
  std::string_view Word(char letter) const {
    if (!Has(letter)) return {};
    const Span& span = spans_[Index(letter)];
    return std::string_view(text_).substr(span.at, span.size);
  }
  bool Has(char letter) const { return (Bit(letter) & words_) != 0; }
  std::string_view FeedText() const { return Word('F'); }
  // A later occurrence of the letter with a value of its own, which the
  // word rules do not read: a second F word would reach the controller
  // uncoded.
  bool HasHiddenWord(char letter) const { return (Bit(letter) & hidden_) != 0; }

  // X, Y, Z as written, in the program's 0.01 mm, before any scaling: the
  // numbers whose squares the time counter adds.
  const FrameVector& WrittenMove() const { return writtenMove_; }
  // The same in mm, as ReadCoordinates gives it.
  FrameVector Move() const { return InMillimetres(writtenMove_); }
  // I, J, K as written, in 0.01 mm; not present without an I, J or K word.
  const FrameVector& WrittenArc() const { return writtenArc_; }
  // I, J, K in mm, as ReadArcOffsets gives them.
  FrameVector ArcOffsets() const { return InMillimetres(writtenArc_); }

  ModalCodes Codes() const { return codes_; }

  // X, Y or Z.
  bool IsMotion() const { return writtenMove_.present; }
  // An I, J or K word, with or without motion.
  bool HasArcWords() const { return Has('I') || Has('J') || Has('K'); }
  // A motion frame with I, J or K; without them a frame is a straight line,
  // whatever its G codes say.
  bool IsArc() const { return IsMotion() && HasArcWords(); }
  // An F word and no X, Y, Z, M, L or G word, nor a modal G code read as a
  // substring: the look-ahead drops it whole.
  bool IsFeedOnly() const;

  // Sets the word's value as ReplaceWord does. `value` must be a value
  // (digits, blanks, signs, points): the other words then only move, and
  // the frame is not read again.
  void SetWord(char letter, std::string_view value);
  // Any other edit of the text, `edit(std::string&)`; the frame is read again.
  template <typename Edit>
  void Rewrite(Edit edit) {
    edit(text_);
    Read();
  }
  // H33 numbering (WriteH33Number): the three characters after the first
  // become the number.
  void SetH33Number(long number);
  // Ends the text with a line feed unless it has one; no word changes.
  void EndLine() {
    if (!text_.ends_with('\n')) text_ += '\n';
  }

 private:
  struct Span {
    std::uint32_t at = 0, size = 0;
  };

  static unsigned Index(char letter) { return static_cast<unsigned char>(letter) - unsigned{'A'}; }
  static std::uint32_t Bit(char letter) {
    const unsigned index = Index(letter);
    return index < 26 ? 1u << index : 0;
  }
  void Read();
  void ReadVectors();

  std::string text_;
  std::uint32_t words_ = 0;   // Bit(letter) for each word present
  std::uint32_t hidden_ = 0;  // Bit(letter) for each later occurrence with a value
  std::array<Span, 26> spans_{};
  FrameVector writtenMove_;
  FrameVector writtenArc_;
  ModalCodes codes_;
  long sourceLine_ = 0;
};

}  // namespace h33
