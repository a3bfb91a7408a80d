#pragma once

#include <string_view>

#include "words.h"

namespace h33 {

// What both methods' look-ahead does with a next frame that has an F word
// and no motion.

// An F word and no X, Y, Z, M, L or G word: dropped whole, whatever other
// words (N, S, T ...) it has. A frame with an M, L or G word stays and loses
// only its F word, so that the stop before it is not hidden.
inline bool IsFeedOnlyFrame(std::string_view line) {
  if (!HasWord(line, 'F')) return false;
  for (const char letter : std::string_view("XYZMLG")) {
    if (HasWord(line, letter)) return false;
  }
  return true;
}

}  // namespace h33
