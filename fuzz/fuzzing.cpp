#include "fuzzing.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "format/feedcode.h"
#include "format/lineio.h"
#include "format/numbers.h"
#include "format/runerror.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33::fuzz {

std::uint8_t FuzzBytes::Byte() {
  if (used_ >= bytes_.size()) return 0;
  return static_cast<std::uint8_t>(bytes_[used_++]);
}

std::uint16_t FuzzBytes::Word() {
  const std::uint16_t high = Byte();
  return static_cast<std::uint16_t>(high << 8 | Byte());
}

long FuzzBytes::Between(long low, long high) {
  std::uint32_t raw = 0;
  for (int i = 0; i < 4; ++i) raw = raw << 8 | Byte();
  const auto span = static_cast<std::uint64_t>(high - low) + 1;
  return low + static_cast<long>(raw % span);
}

void Violated(std::string_view property, std::string_view detail) {
  std::fprintf(stderr, "\n*** property violated: %.*s\n%.*s\n", static_cast<int>(property.size()),
               property.data(), static_cast<int>(detail.size()), detail.data());
  std::abort();
}

ChunkedSource::ChunkedSource(std::string_view bytes, std::vector<std::size_t> sizes)
    : bytes_(bytes), sizes_(std::move(sizes)) {}

std::size_t ChunkedSource::Read(char* buffer, std::size_t size) {
  const std::size_t wanted = sizes_.empty() ? size : sizes_[turn_++ % sizes_.size()];
  const std::size_t count = std::min({size, wanted, bytes_.size()});
  std::memcpy(buffer, bytes_.data(), count);
  bytes_.remove_prefix(count);
  return count;
}

std::vector<std::size_t> ChunkSizes(std::uint8_t seed) {
  return {1, std::size_t{1} + seed % 7, std::size_t{2} + seed / 7 % 5, std::size_t{1} + seed,
          std::size_t{197} + seed % 3};
}

std::vector<std::string> ReadPieces(std::string_view bytes, std::size_t limit) {
  MemorySource source(bytes);
  LineReader reader(source);
  std::vector<std::string> pieces;
  for (std::string piece; reader.ReadLine(piece, limit);) pieces.push_back(piece);
  return pieces;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size() - 1);
    lines.emplace_back(bytes.substr(0, end + 1));
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

std::string WithLoneCarriageReturns(std::string_view bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    text += bytes[i] == '\n' ? '\r' : bytes[i];
  }
  return text;
}

std::string_view WithoutLineFeed(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  return line;
}

bool IsWrittenFeedCode(std::string_view value) {
  return value.size() == 4 && value.find_first_not_of("0123456789") == std::string_view::npos &&
         EncodeFeed(DecodeFeed(ParseInt(value))) == value;
}

std::vector<std::string_view> FeedWords(std::string_view line) {
  std::vector<std::string_view> words;
  for (std::size_t at = line.find('F'); at != std::string_view::npos; at = line.find('F', at + 1)) {
    const std::string_view value = ReadWord(line.substr(at), 'F');
    if (!value.empty()) words.push_back(value);
  }
  return words;
}

std::string Shown(std::string_view bytes) {
  std::string shown;
  for (const char c : bytes) {
    if (c == '\n') {
      shown += "\\n\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      shown += Sprintf("\\x%02x", static_cast<unsigned char>(c));
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace h33::fuzz

namespace h33::fuzz {
namespace {

bool IsValueChar(char c) {
  return std::string_view("0123456789 +-.").find(c) != std::string_view::npos;
}

// Words are kept whole while the line stays within `limit` characters.
std::string TidyWords(std::string_view body, std::size_t limit) {
  std::string tidy;
  for (std::size_t i = 0; i < body.size(); ++i) {
    std::string token(1, body[i]);
    if (body[i] == 'F') {
      std::string digits;
      std::size_t end = i + 1;
      for (; end < body.size() && IsValueChar(body[end]); ++end) {
        if (body[end] >= '0' && body[end] <= '9') digits += body[end];
      }
      digits = digits.substr(0, 4);
      token = end > i + 1 ? "F" + std::string(4 - digits.size(), '0') + digits : "";
      i = end - 1;
    }
    if (tidy.size() + token.size() > limit) break;
    tidy += token;
  }
  return tidy;
}

}  // namespace

std::string TidyH33(std::string_view bytes) {
  std::string program;
  for (const std::string& line : SplitLines(bytes)) {
    std::string body(WithoutLineFeed(line));
    std::erase(body, '\r');
    const bool numbered = body.starts_with('N');
    std::erase(body, 'N');
    program += numbered ? "N001" + TidyWords(body, 146) : TidyWords(body, 150);
    if (line.ends_with('\n')) program += '\n';
  }
  return program;
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void RequireTimeOfWritten(const TimeCount& written, const std::string& output,
                          int acceleration_mm_s2) {
  MemorySource back(output);
  TimeCount read;
  try {
    read.seconds = TimeCounter("written", acceleration_mm_s2).CountTime(back);
  } catch (const RunError& error) {
    read = {TimeCountStatus::kFailed, 0, error.what()};
  }
  Require(written.status == read.status && SameBits(written.seconds, read.seconds) &&
              written.reason == read.reason,
          "the time of a program as written is the time count of the file",
          [&] { return Sprintf("%.9g s (%s) against %.9g s (%s)\n", double{written.seconds},
                               written.reason.c_str(), double{read.seconds}, read.reason.c_str()) +
                       Shown(output); });
}

}  // namespace h33::fuzz
