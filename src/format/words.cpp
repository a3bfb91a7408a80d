#include "format/words.h"

#include <algorithm>

#include "format/textformat.h"

namespace h33 {
namespace {

std::size_t ContentLength(std::string_view line) {
  std::size_t length = line.size();
  while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) --length;
  return length;
}

}  // namespace

std::string_view ReadWord(std::string_view line, char letter) {
  const std::size_t at = line.find(letter);
  if (at == std::string_view::npos) return {};
  return WordValueAt(line, at);
}


std::string_view TrimBlanks(std::string_view value) {
  const std::size_t first = value.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return value.substr(first, value.find_last_not_of(' ') - first + 1);
}

void ReplaceWord(std::string& line, char letter, std::string_view value) {
  const std::string_view old = ReadWord(line, letter);
  if (!old.empty()) {
    line.replace(static_cast<std::size_t>(old.data() - line.data()), old.size(), value);
    return;
  }
  std::string word(1, letter);
  word.append(value);
  std::size_t at = HasWord(line, 'L') ? line.find('L') : line.find('<');
  if (at == std::string::npos) at = line.find('\r');
  if (at == std::string::npos) at = line.find('\n');
  if (at == std::string::npos) {
    line.append(word).push_back('\n');
  } else {
    line.insert(at, word);
  }
}

void StripFeedWords(std::string& line) {
  std::string kept;
  kept.reserve(line.size());
  for (std::size_t i = 0; i < line.size();) {
    if (line[i] != 'F') {
      kept.push_back(line[i++]);
      continue;
    }
    ++i;
    for (int dropped = 0; dropped < 4 && i < line.size() && line[i] != '\r' && line[i] != '\n';
         ++dropped) {
      ++i;
    }
  }
  line = std::move(kept);
}

void RemoveWholeFeedWords(std::string& line) {
  for (std::size_t at = line.find('F'); at != std::string::npos; at = line.find('F', at)) {
    const std::size_t valueLength = WordValueAt(line, at).size();
    if (valueLength == 0) {
      ++at;
    } else {
      line.erase(at, valueLength + 1);
    }
  }
}

void WriteH33Number(std::string& line, long number) {
  const std::size_t content = ContentLength(line);
  if (content == 0) return;
  const std::size_t width = std::min<std::size_t>(3, content - 1);
  if (number >= 0 && number <= 999) {
    const char digits[3] = {static_cast<char>('0' + number / 100),
                            static_cast<char>('0' + number / 10 % 10),
                            static_cast<char>('0' + number % 10)};
    line.replace(1, width, digits, 3);
  } else {
    line.replace(1, width, Sprintf("%3.3ld", number));
  }
}

}  // namespace h33
