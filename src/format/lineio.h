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

// True when the readers take the line whole, its line end LF (if any)
// included: a longer line written would come back in pieces.
inline bool ReadWhole(std::string_view line) { return line.size() <= kProgramLineLimit; }

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

// Reads the lines of a program for a method. Bytes that no program text
// holds are refused with what to do (ProgramRefusal): a NUL byte, or a
// byte-order mark at the start, which a file saved in Unicode has (Notepad's
// "Unicode" is UTF-16, every other byte NUL); read as frames, it would be a
// program without a single word.
//
// A line longer than kProgramLineLimit with its line end would come in
// pieces, and a method that writes the program anew would make each piece a
// frame of its own: by default it is refused instead, with its number. A line
// of exactly the limit, or a last line of the limit without a line end, is
// read whole. The time counter, which only reads, takes the pieces.
class ProgramLineReader {
 public:
  enum class LongLines { kRefused, kInPieces };

  explicit ProgramLineReader(ByteSource& source, LongLines longLines = LongLines::kRefused)
      : reader_(source), longLines_(longLines) {}

  // False at the end of the input. Throws ProgramRefusal, or IoError when the
  // source fails.
  bool ReadLine(std::string& line);

  // The number of the line read last, counting from 1; the pieces of a long
  // line share it.
  long LineNumber() const { return lineNumber_; }

 private:
  LineReader reader_;
  LongLines longLines_;
  long lineNumber_ = 0;
  bool lineEnded_ = true;
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
