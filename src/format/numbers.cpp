#include "format/numbers.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace h33 {
namespace {

// scanf's white space: blank, \t, \n, \v, \f, \r.
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips leading blanks and one sign; returns the rest and whether it was '-'.
std::string_view TakeSign(std::string_view text, bool& negative) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  return text.substr(i);
}

// Program coordinates are whole numbers of a few digits; those convert
// exactly without the general decimal conversion.
template <typename Real>
bool ParseWholeNumber(std::string_view digits, Real& value) {
  constexpr std::size_t kExactDigits = std::numeric_limits<Real>::digits10;
  std::size_t count = 0;
  long long whole = 0;
  while (count < digits.size() && digits[count] >= '0' && digits[count] <= '9') {
    if (count == kExactDigits) return false;
    whole = whole * 10 + (digits[count++] - '0');
  }
  if (count == 0 || (count < digits.size() && digits[count] == '.')) return false;
  value = static_cast<Real>(whole);
  return true;
}

template <typename Real>
Real ParseReal(std::string_view text) {
  bool negative = false;
  const std::string_view digits = TakeSign(text, negative);
  // A number starts with a digit or a point: the general conversion would
  // also take "nan" and "inf", which are no values of a program.
  const bool startsNumber =
      !digits.empty() && ((digits.front() >= '0' && digits.front() <= '9') || digits.front() == '.');
  if (!startsNumber) return 0;
  Real value = 0;
  if (ParseWholeNumber(digits, value)) return negative ? -value : value;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::fixed);
  if (result.ec == std::errc::invalid_argument) return 0;
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone; scanf gives the limit (or 0 for underflow)
    value = 0;
    for (const char c : digits) {
      if (c >= '1' && c <= '9') {
        value = std::numeric_limits<Real>::infinity();
        break;
      }
      if (c == '.') break;
    }
  }
  return negative ? -value : value;
}

// The digits at the front, when there are few enough that no range check is
// needed: every word of a program.
bool ParseFewDigits(std::string_view digits, unsigned long long& magnitude) {
  constexpr std::size_t kSafeDigits = 18;
  std::size_t count = 0;
  magnitude = 0;
  for (; count < digits.size() && IsDigit(digits[count]); ++count) {
    if (count == kSafeDigits) return false;
    magnitude = magnitude * 10 + static_cast<unsigned>(digits[count] - '0');
  }
  return true;
}

template <typename Integer>
Integer ParseInteger(std::string_view text) {
  bool negative = false;
  const std::string_view digits = TakeSign(text, negative);
  if (digits.empty() || !IsDigit(digits.front())) return 0;
  unsigned long long magnitude = 0;
  bool outOfRange = false;
  if (!ParseFewDigits(digits, magnitude)) {
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    outOfRange = result.ec == std::errc::result_out_of_range;
  }
  constexpr auto kMax = static_cast<unsigned long long>(std::numeric_limits<Integer>::max());
  if (outOfRange || magnitude > kMax) {
    return negative ? std::numeric_limits<Integer>::min() : std::numeric_limits<Integer>::max();
  }
  const auto value = static_cast<Integer>(magnitude);
  return negative ? static_cast<Integer>(-value) : value;
}

}  // namespace

float ParseFloat(std::string_view text) { return ParseReal<float>(text); }
double ParseDouble(std::string_view text) { return ParseReal<double>(text); }
int ParseInt(std::string_view text) { return ParseInteger<int>(text); }
long ParseLong(std::string_view text) { return ParseInteger<long>(text); }

int TruncateToInt(double value) {
  if (!(value == value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(value);
}

}  // namespace h33
