#pragma once

// What every fuzz target shares: reading parameters from the fuzzer's bytes,
// a byte source that hands its bytes out in odd pieces, and the check that
// stops the run when a property does not hold.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "format/bytesource.h"
#include "methods/timecount.h"

namespace h33::fuzz {

// The fuzzer's bytes: the first ones choose the parameters, what is left is
// the program. Reading past the end gives zeros, so any input is usable.
class FuzzBytes {
 public:
  FuzzBytes(const std::uint8_t* data, std::size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t Byte();
  std::uint16_t Word();
  // Uniform enough over [low, high] for a fuzzer; high - low < 2^32.
  long Between(long low, long high);
  std::string_view Rest() const { return bytes_.substr(used_); }

 private:
  std::string_view bytes_;
  std::size_t used_ = 0;
};

// Stops the run so that the fuzzer keeps the input: the property that failed
// and what it saw.
[[noreturn]] void Violated(std::string_view property, std::string_view detail = {});

inline void Require(bool holds, std::string_view property) {
  if (!holds) Violated(property);
}

// `detail` tells what was seen: a text, or a function that makes it, called
// only when the property fails, so that checks in loops stay cheap.
template <typename Detail>
void Require(bool holds, std::string_view property, const Detail& detail) {
  if (holds) return;
  if constexpr (std::is_invocable_v<Detail>) {
    Violated(property, detail());
  } else {
    Violated(property, detail);
  }
}

// Hands its bytes out in pieces of the sizes given in turn (cycling), so that
// the ends of the reader's buffer fall at every place of a line: between CR
// and LF, inside a word, right after a line end.
class ChunkedSource : public ByteSource {
 public:
  ChunkedSource(std::string_view bytes, std::vector<std::size_t> sizes);
  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  std::string_view bytes_;
  std::vector<std::size_t> sizes_;
  std::size_t turn_ = 0;
};

// Piece sizes from one byte of fuzzer input: single bytes, small and odd ones.
std::vector<std::size_t> ChunkSizes(std::uint8_t seed);

// The lines or pieces a LineReader with this limit gives for the bytes.
std::vector<std::string> ReadPieces(std::string_view bytes, std::size_t limit);

// The bytes split after every LF, each line with its LF (the last may have none).
std::vector<std::string> SplitLines(std::string_view bytes);

// The bytes with every line end, LF, CR LF or a lone CR, written as a lone
// CR (old Macintosh files): every reader takes the same lines from both.
std::string WithLoneCarriageReturns(std::string_view bytes);

// A line without its trailing LF.
std::string_view WithoutLineFeed(std::string_view line);

// Whether the value is a feed code as the controller takes it and the feed
// coding writes it: four digits that code back to themselves.
bool IsWrittenFeedCode(std::string_view value);

// Every F followed by a value in the line, left to right.
std::vector<std::string_view> FeedWords(std::string_view line);

// Printable form of bytes for a violation report.
std::string Shown(std::string_view bytes);

}  // namespace h33::fuzz

namespace h33::fuzz {

// The bytes made into a program of the shape the correction's text
// properties are stated for: no CR, lines of at most 150 characters, an N word
// only first in its line with three digits, every F word with exactly four
// digits (a bare F is dropped).
std::string TidyH33(std::string_view bytes);

// Float sums compared as the bits they are: NaN equals NaN.
bool SameBits(float a, float b);

// A method's time of what it wrote, counted while writing, is the time count
// of the written bytes read back: the same seconds, bit for bit, or the same
// refusal.
void RequireTimeOfWritten(const TimeCount& written, const std::string& output,
                          int acceleration_mm_s2);

}  // namespace h33::fuzz
