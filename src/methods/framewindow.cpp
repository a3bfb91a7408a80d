#include "framewindow.h"

#include <cmath>

#include "feedcode.h"
#include "numbers.h"
#include "words.h"

namespace h33 {
namespace {

FrameVector ReadVector(const std::string& text, char a, char b, char c) {
  FrameVector vector;
  const auto read = [&](char letter, float& value) {
    const std::string_view word = ReadWord(text, letter);
    if (word.empty()) return;
    vector.present = true;
    value = static_cast<float>(ParseFloat(word) * 0.01);
  };
  read(a, vector.x);
  read(b, vector.y);
  read(c, vector.z);
  return vector;
}

}  // namespace

void EndNewestLine(FrameWindow& window) {
  if (!window.empty() && !window.back().text.ends_with('\n')) window.back().text += '\n';
}

float FrameVector::Chord() const { return std::sqrt(x * x + y * y + z * z); }

FrameVector ReadCoordinates(const std::string& text) { return ReadVector(text, 'X', 'Y', 'Z'); }

FrameVector ReadArcOffsets(const std::string& text) { return ReadVector(text, 'I', 'J', 'K'); }

int WriteFeed(std::string& line, int feed) {
  const std::string code = EncodeFeed(feed);
  ReplaceWord(line, 'F', code);
  return DecodeFeed(ParseInt(code));
}

void SetRowFeed(WindowRow& row, int feed) {
  row.feed = feed;
  WriteFeed(row.text, feed);
}

}  // namespace h33
