#include "format/decimalsum.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace h33 {
namespace {

constexpr long long kScale = 1000000;
constexpr int kDecimals = 6;
// Twice the limit still fits a long long, so a sum of two saturated terms
// cannot overflow before it is saturated itself.
constexpr long long kLimit = 4'000'000'000'000 * kScale;

long long Saturate(long long value) {
  if (value > kLimit) return kLimit;
  if (value < -kLimit) return -kLimit;
  return value;
}

std::string_view SkipBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\n\r\v\f");
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// The digits at the front of `text` as a number, at most `limit`; the rest of
// `text` is left behind them.
long long TakeDigits(std::string_view& text, long long limit, std::size_t& count) {
  count = 0;
  while (count < text.size() && text[count] >= '0' && text[count] <= '9') ++count;
  long long value = 0;
  const auto result = std::from_chars(text.data(), text.data() + count, value);
  if (result.ec == std::errc::result_out_of_range || value > limit) value = limit;
  text.remove_prefix(count);
  return value;
}

// The text in millionths, saturated.
long long ReadMillionths(std::string_view text) {
  text = SkipBlanks(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  std::size_t wholeDigits = 0;
  const long long whole = TakeDigits(text, kLimit / kScale, wholeDigits);
  long long fraction = 0;
  std::size_t fractionDigits = 0;
  if (!text.empty() && text.front() == '.') {
    text.remove_prefix(1);
    std::string_view decimals = text.substr(0, std::min<std::size_t>(text.size(), kDecimals));
    fraction = TakeDigits(decimals, kScale, fractionDigits);
    for (std::size_t i = fractionDigits; i < kDecimals; ++i) fraction *= 10;
  }
  if (wholeDigits == 0 && fractionDigits == 0) return 0;
  const long long value = Saturate(whole * kScale + fraction);
  return negative ? -value : value;
}

// A program's coordinate is a sign and a few digits: read at once, in range.
std::optional<long long> ReadWholeMillionths(std::string_view text) {
  constexpr std::size_t kMostDigits = 12;  // below the limit of 4·10^12
  std::size_t at = 0;
  const bool negative = at < text.size() && text[at] == '-';
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t first = at;
  long long whole = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    if (at - first == kMostDigits) return std::nullopt;
    whole = whole * 10 + (text[at] - '0');
  }
  if (at == first || (at < text.size() && text[at] == '.')) return std::nullopt;
  return (negative ? -whole : whole) * kScale;
}

}  // namespace

void DecimalSum::Add(std::string_view text) {
  const std::optional<long long> whole = ReadWholeMillionths(text);
  // Both terms lie within the limit, so their sum stays within the range.
  millionths_ = Saturate(millionths_ + (whole ? *whole : ReadMillionths(text)));
}

double DecimalSum::Value() const {
  return static_cast<double>(millionths_) / static_cast<double>(kScale);
}

}  // namespace h33
