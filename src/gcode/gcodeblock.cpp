#include "gcode/gcodeblock.h"

#include <algorithm>
#include <string>
#include <utility>

#include "format/textformat.h"

namespace h33 {
namespace {

// Beyond any machine, in mm or in inches; it keeps every product of the
// import within 64 bits.
constexpr Millionths kLargestWhole = 1'000'000;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// ASCII only: under a single-byte locale isalpha takes a letter of the
// national alphabet for a word's letter.
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

[[noreturn]] void Refuse(long line, const std::string& why) {
  throw GcodeRefusal(Sprintf("Строка %ld: %s.", line, why.c_str()));
}

// The length of the UTF-8 character at `at`, or 0 where the bytes are none.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) {
    return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
  };
  const unsigned lead = byte(0);
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong form
    if (lead == 0xED) high = 0x9F;  // no surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// The character at `at` as a message can show it: a byte that is no
// printable text (a control character, a stray byte of another encoding)
// as \xHH, so that the message stays text the terminal can print.
std::string Shown(std::string_view text, std::size_t at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if (byte >= 0x20 && byte < 0x7F) return std::string(1, text[at]);
  if (const std::size_t length = Utf8Length(text, at)) return std::string(text.substr(at, length));
  return Sprintf("\\x%02X", byte);
}

// A number as written, its point taken out: the value is 0.digits times
// 10 to the power pointAt.
struct Decimal {
  std::string digits;
  long pointAt = 0;
};

// Past any exponent a program writes; it keeps pointAt far within a long.
constexpr long kLargestExponent = 10'000;

// "e" or "E" right after a number's digits, then a digit or a sign and a
// digit: an exponent ("1.5e-05"). Anything else after "E" is a word of its own.
bool ExponentFollows(std::string_view text, std::size_t at) {
  if (at >= text.size() || (text[at] != 'e' && text[at] != 'E')) return false;
  std::size_t digit = at + 1;
  if (digit < text.size() && (text[digit] == '+' || text[digit] == '-')) ++digit;
  return digit < text.size() && IsDigit(text[digit]);
}

void ReadExponent(std::string_view text, std::size_t& at, Decimal& number) {
  ++at;  // the "e"
  const bool negative = text[at] == '-';
  if (text[at] == '+' || text[at] == '-') ++at;
  long exponent = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    exponent = std::min(kLargestExponent, exponent * 10 + (text[at] - '0'));
  }
  number.pointAt += negative ? -exponent : exponent;
}

// The number in millionths: six decimals kept, the seventh rounds the sixth,
// the rest are below it.
Millionths ToMillionths(Decimal number, long line, char letter) {
  const std::size_t nonZero = number.digits.find_first_not_of('0');
  if (nonZero == std::string::npos) return 0;
  number.digits.erase(0, nonZero);
  number.pointAt -= static_cast<long>(nonZero);
  const auto digitAt = [&](long index) -> Millionths {
    const bool written = index >= 0 && index < static_cast<long>(number.digits.size());
    return written ? number.digits[index] - '0' : 0;
  };
  Millionths whole = 0;
  for (long index = 0; index < number.pointAt; ++index) {
    whole = whole * 10 + digitAt(index);
    if (whole > kLargestWhole) Refuse(line, Sprintf("число в слове %c слишком велико", letter));
  }
  Millionths fraction = 0;
  for (long decimal = 0; decimal < 6; ++decimal) {
    fraction = fraction * 10 + digitAt(number.pointAt + decimal);
  }
  if (digitAt(number.pointAt + 6) >= 5) ++fraction;
  return whole * kOne + fraction;
}

// A number after a letter: blanks, an optional sign, digits with an optional
// point (either side may be empty, not both), an optional exponent.
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
  Decimal number;
  for (; at < text.size() && IsDigit(text[at]); ++at) number.digits += text[at];
  number.pointAt = static_cast<long>(number.digits.size());
  if (at < text.size() && text[at] == '.') {
    for (++at; at < text.size() && IsDigit(text[at]); ++at) number.digits += text[at];
  }
  if (number.digits.empty()) Refuse(line, Sprintf("у слова %c нет числа", letter));
  if (ExponentFollows(text, at)) ReadExponent(text, at, number);
  const Millionths value = ToMillionths(std::move(number), line, letter);
  return negative ? -value : value;
}

// The program number after "O": any number of digits, since it is not used.
void SkipProgramNumber(std::string_view text, std::size_t& at, long line) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  const std::size_t digits = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  if (at == digits) Refuse(line, "у слова O нет числа");
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
      block.tapeMark = true;
      at = text.size();  // what follows the mark on its line is no block
    } else if (c == '#' || c == '[' || c == '=') {
      Refuse(line, "параметры и выражения (#, [ ]) не поддерживаются");
    } else if (IsLetter(c) && at + 1 < text.size() && IsLetter(text[at + 1])) {
      // Two letters in a row are no word: a keyword of the controller's
      // language ("IF[#1 GT 0]GOTO5", "WHILE", "END1").
      std::size_t end = at;
      while (end < text.size() && IsLetter(text[end])) ++end;
      Refuse(line, Sprintf("управляющее слово %s: переходы, циклы и условия (IF, GOTO, WHILE ...) "
                           "не поддерживаются",
                           std::string(text.substr(at, end - at)).c_str()));
    } else if (IsLetter(c)) {
      const char letter = Upper(c);
      ++at;
      if (letter == 'O') {
        // The program number is no instruction; "O100 sub", "O100 call" are.
        SkipProgramNumber(text, at, line);
        while (at < text.size() && IsBlank(text[at])) ++at;
        if (at < text.size() && IsLetter(text[at])) {
          Refuse(line, "подпрограммы и управляющие слова O (sub, call, if ...) не поддерживаются");
        }
        continue;
      }
      block.words.push_back({letter, ReadNumber(text, at, line, letter)});
    } else {
      Refuse(line, "непонятный символ '" + Shown(text, at) + "'");
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
