#include "format/textformat.h"

#include <array>
#include <charconv>
#include <cstdarg>
#include <cstdio>

namespace h33 {

std::string Sprintf(const char* format, ...) {
  // Most texts are a frame's number or a word's value: one pass into a
  // buffer on the stack, a second one only for a longer text.
  std::array<char, 256> buffer;
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(buffer.data(), buffer.size(), format, args);
  va_end(args);
  std::string text;
  if (length > 0 && static_cast<std::size_t>(length) < buffer.size()) {
    text.assign(buffer.data(), static_cast<std::size_t>(length));
  } else if (length > 0) {
    text.resize(static_cast<std::size_t>(length));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

std::string ZeroPadded(long number, int width) {
  std::array<char, 24> digits;
  const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), number);
  if (number < 0 || error != std::errc()) return Sprintf("%0*ld", width, number);
  const auto length = static_cast<std::size_t>(end - digits.data());
  std::string text(width > 0 && length < static_cast<std::size_t>(width) ? width - length : 0, '0');
  text.append(digits.data(), length);
  return text;
}

std::string FixedDecimals(double value, int decimals) {
  std::array<char, 64> digits;
  const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                          std::chars_format::fixed, decimals);
  if (error != std::errc()) return Sprintf("%.*f", decimals, value);
  return std::string(digits.data(), end);
}

}  // namespace h33
