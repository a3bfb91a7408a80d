#include "gcode/gcodeblock.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "format/textformat.h"

namespace h33 {
namespace {

// Beyond any machine, in mm or in inches; it keeps every product of the
// import within 64 bits.
constexpr Millionths kLargestWhole = 1'000'000;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void Refuse(long line, const std::string& why) {
  throw GcodeRefusal(Sprintf("Строка %ld: %s.", line, why.c_str()));
}

// A number after a letter: blanks, an optional sign, digits with an optional
// point (either side may be empty, not both).
Millionths ReadNumber(std::string_view text, std::size_t& at, long line, char letter) {
  const auto skipBlanks = [&] {
    while (at < text.size() && IsBlank(text[at])) ++at;
  };
  skipBlanks();
  if (at < text.size() && (text[at] == '#' || text[at] == '[')) {
    Refuse(line, "параметры и выражения (#, [ ]) не поддерживаются");
  }
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at++] == '-';
    skipBlanks();
  }
  Millionths whole = 0;
  bool digits = false;
  for (; at < text.size() && IsDigit(text[at]); ++at, digits = true) {
    whole = whole * 10 + (text[at] - '0');
    if (whole > kLargestWhole) Refuse(line, Sprintf("число в слове %c слишком велико", letter));
  }
  // Six decimals kept, the seventh rounds the sixth, the rest are below it.
  Millionths fraction = 0;
  int kept = 0;
  bool roundUp = false;
  if (at < text.size() && text[at] == '.') {
    for (++at; at < text.size() && IsDigit(text[at]); ++at, digits = true) {
      if (kept < 6) {
        fraction = fraction * 10 + (text[at] - '0');
        ++kept;
      } else if (!roundUp && kept == 6) {
        roundUp = text[at] >= '5';
        ++kept;
      }
    }
  }
  for (int decimal = std::min(kept, 6); decimal < 6; ++decimal) fraction *= 10;
  if (roundUp) ++fraction;
  if (!digits) Refuse(line, Sprintf("у слова %c нет числа", letter));
  const Millionths value = whole * kOne + fraction;
  return negative ? -value : value;
}

}  // namespace

std::optional<Millionths> GcodeBlock::Value(char letter) const {
  for (const GcodeWord& word : words) {
    if (word.letter == letter) return word.value;
  }
  return std::nullopt;
}

GcodeBlock ParseGcodeLine(std::string_view text, long line) {
  GcodeBlock block;
  block.line = line;
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  if (at < text.size() && text[at] == '/') {
    block.blockDelete = true;
    ++at;
  }
  while (at < text.size()) {
    const char c = text[at];
    if (IsBlank(c)) {
      ++at;
    } else if (c == '(') {
      // Some posts write "(Drill, 3mm (R))": a comment ends where its own
      // parentheses close.
      int depth = 0;
      do {
        if (text[at] == '(') ++depth;
        if (text[at] == ')') --depth;
        ++at;
      } while (depth > 0 && at < text.size());
      if (depth > 0) Refuse(line, "комментарий \"(\" не закрыт");
    } else if (c == ';') {
      break;
    } else if (c == '%' && block.words.empty()) {
      at = text.size();  // the tape mark, or what follows it on its line
    } else if (c == '#' || c == '[' || c == '=') {
      Refuse(line, "параметры и выражения (#, [ ]) не поддерживаются");
    } else if (std::isalpha(static_cast<unsigned char>(c))) {
      const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      ++at;
      const Millionths value = ReadNumber(text, at, line, letter);
      if (letter == 'O') {
        // The program number is no instruction; "O100 sub", "O100 call" are.
        while (at < text.size() && IsBlank(text[at])) ++at;
        if (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at]))) {
          Refuse(line, "подпрограммы и управляющие слова O (sub, call, if ...) не поддерживаются");
        }
        continue;
      }
      block.words.push_back({letter, value});
    } else {
      Refuse(line, Sprintf("непонятный символ '%c'", c));
    }
  }
  return block;
}

std::optional<int> CodeInTenths(Millionths value) {
  if (value < 0 || value % (kOne / 10) != 0) return std::nullopt;
  const Millionths tenths = value / (kOne / 10);
  if (tenths > 100000) return std::nullopt;
  return static_cast<int>(tenths);
}

}  // namespace h33
