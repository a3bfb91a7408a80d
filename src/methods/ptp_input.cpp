#include "methods/ptp_input.h"

#include <charconv>
#include <cmath>
#include <system_error>
#include <utility>

#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {
namespace {

// Characters a reader takes for more of the number when they stand right
// after a feed's digits: an exponent, a decimal comma, a second point.
bool ContinuesNumber(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == ',';
}

// The F word's value with whatever is glued to it.
std::string_view GluedFeedText(const Frame& frame) {
  const std::string_view value = frame.FeedText();
  if (value.empty()) return value;
  const std::string_view line = frame.Text();
  const auto start = static_cast<std::size_t>(value.data() - line.data());
  std::size_t end = start + value.size();
  while (end < line.size() && ContinuesNumber(line[end])) ++end;
  return line.substr(start, end - start);
}

// Blanks, an optional sign, a decimal number with an optional point, blanks.
std::optional<double> PlainDecimal(std::string_view text) {
  text = TrimBlanks(text);
  // from_chars takes a '-' but no '+'.
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return std::nullopt;
  }
  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

void CheckPtpFeedText(const Frame& frame, long lineNumber) {
  const std::string_view text = GluedFeedText(frame);
  // Without a digit (a lone sign, point or blank) it reads as 0, the stop.
  if (text.find_first_of("0123456789") == std::string_view::npos) return;
  const std::optional<double> feed = PlainDecimal(text);
  if (!feed) {
    throw PtpInputError(Sprintf("Строка %ld: подача F%s не является числом.", lineNumber,
                                std::string(TrimBlanks(text)).c_str()));
  }
  if (*feed != 0 && std::fabs(*feed) < 1) {
    throw PtpInputError(
        Sprintf("Строка %ld: подача F%s меньше 1 мм/мин.", lineNumber, std::string(TrimBlanks(text)).c_str()));
  }
}

int ReadPtpFeed(const Frame& frame) {
  const int feed = ParseInt(frame.FeedText());
  if (feed < 0) {
    throw PtpInputError(
        Sprintf("Кадр\n%s\nсодержит отрицательную подачу.", frame.Text().c_str()));
  }
  return feed;
}

std::optional<Frame> PtpReader::Next() {
  std::string line;
  if (!reader_.ReadLine(line)) return std::nullopt;
  Frame frame(std::move(line));
  CheckPtpFeedText(frame, reader_.LineNumber());
  return frame;
}

}  // namespace h33
