#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "format/bytesource.h"

namespace h33 {

// Line lengths the readers work with, not counting the terminator.
inline constexpr std::size_t kProgramLineLimit = 198;
inline constexpr std::size_t kCheckLineLimit = 127;

// Reads text lines the way fgets reads a text-mode stream: CR LF arrives as a
// single LF, and a line longer than the limit arrives in pieces. A lone CR
// ends a line too and arrives as LF: a file saved with old Macintosh line
// ends would otherwise be one long line, a single frame to some passes and
// pieces to others. Every pass reads its lines here, so all of them see the
// same frames.
class LineReader {
 public:
  explicit LineReader(ByteSource& source);

  // Up to maxChars characters, stopping after a line feed. False only when no
  // character was left. Throws IoError when the source fails.
  bool ReadLine(std::string& line, std::size_t maxChars);

  // True once a read has run into the end of the input (the stream's EOF
  // flag): a last line without a line end sets it, a line that ends exactly
  // at the limit or with its line feed does not.
  bool AtEof() const { return eof_; }

  // True when no character is left to read.
  bool AtEnd() { return begin_ == end_ && !Fill(); }

  // Bytes of the source taken by the lines returned so far: where the next
  // line starts.
  std::uint64_t Consumed() const { return filled_ - (end_ - begin_); }

 private:
  bool Fill();
  bool NextIsLineFeed();

  ByteSource& source_;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::uint64_t filled_ = 0;
  bool eof_ = false;
};

// Reads the lines of a program that a method is to write anew: a line
// longer than kProgramLineLimit with its line end would come in pieces, and
// each piece would become a frame of its own, so it is refused instead,
// with its number (ProgramRefusal). A line of exactly the limit, or a last
// line of the limit without a line end, is read whole.
class ProgramLineReader {
 public:
  explicit ProgramLineReader(ByteSource& source) : reader_(source) {}

  // False at the end of the input. Throws ProgramRefusal, or IoError when the
  // source fails.
  bool ReadLine(std::string& line);

  // The number of the line read last, counting from 1.
  long LineNumber() const { return lineNumber_; }

 private:
  LineReader reader_;
  long lineNumber_ = 0;
};

// Writes lines with every LF turned into CR LF, through a buffer.
class LineWriter {
 public:
  explicit LineWriter(ByteSink& sink);
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  void Write(std::string_view text);
  // Hands everything buffered to the sink. Throws IoError.
  void Flush();

 private:
  ByteSink& sink_;
  std::string pending_;
};

}  // namespace h33
