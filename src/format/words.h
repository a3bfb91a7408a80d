#pragma once

#include <array>
#include <string>
#include <string_view>

namespace h33 {

// A frame is one program line: address letters each followed by a value of
// digits, blanks, signs and points, written without separators.

// The value after the first occurrence of the letter; empty when the letter
// is missing or bare (a bare letter is no word).
std::string_view ReadWord(std::string_view line, char letter);

inline bool HasWord(std::string_view line, char letter) { return !ReadWord(line, letter).empty(); }

// Looked up for every character of every word read, so a table.
inline constexpr std::array<bool, 256> kValueChars = [] {
  std::array<bool, 256> table{};
  for (const char c : std::string_view("0123456789 +-.")) table[static_cast<unsigned char>(c)] = true;
  return table;
}();

inline bool IsValueChar(char c) { return kValueChars[static_cast<unsigned char>(c)]; }

// The value of the word whose letter stands at `letterAt`: the run of value
// characters right after it, empty for a bare letter. Inline: it runs for
// every word of every line read.
inline std::string_view WordValueAt(std::string_view line, std::size_t letterAt) {
  std::size_t end = letterAt + 1;
  while (end < line.size() && IsValueChar(line[end])) ++end;
  return line.substr(letterAt + 1, end - letterAt - 1);
}

// A value without the blanks around it: what is left to read as a number,
// and what the user looks for in the line.
std::string_view TrimBlanks(std::string_view value);

inline bool Contains(std::string_view line, std::string_view text) {
  return line.find(text) != std::string_view::npos;
}

// Sets the word's value. A missing word is inserted before the L word (which
// stays last), else before the first '<', CR or LF, else appended with a LF.
void ReplaceWord(std::string& line, char letter, std::string_view value);

// Removes every F with at most the four characters after it. The removal stops
// at a CR, an LF or the end of the line, so the line end always survives.
void StripFeedWords(std::string& line);

// Removes every F word with its whole value, as a PTP feed is written: plain
// mm/min of any length, where cutting a fixed four characters would eat the
// next word. A bare F stays.
void RemoveWholeFeedWords(std::string& line);

// Frame counter: starts at 1 and restarts at 1 when it would reach `wrapAt`.
class FrameCounter {
 public:
  explicit FrameCounter(long wrapAt) : wrapAt_(wrapAt) {}
  long Take() {
    const long number = next_;
    if (++next_ == wrapAt_) next_ = 1;
    return number;
  }

 private:
  long wrapAt_;
  long next_ = 1;
};

inline constexpr long kH33NumberWrap = 1000;

// H33 numbering: the three characters after the first one are overwritten
// with the number as "%3.3d", whatever the N word looks like. A line too short
// for that keeps its line end: the number then replaces what there is.
void WriteH33Number(std::string& line, long number);

}  // namespace h33
