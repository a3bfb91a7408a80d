#include "format/lineio.h"

#include <algorithm>
#include <cstring>

#include "format/refusal.h"

namespace h33 {
namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}

LineReader::LineReader(ByteSource& source)
    : source_(source), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

bool LineReader::Fill() {
  begin_ = 0;
  end_ = source_.Read(buffer_.get(), kBufferSize);
  filled_ += end_;
  if (end_ == 0) eof_ = true;
  return end_ > 0;
}

// Looking past a CR at the end of the input is no read that runs into it: the
// CR has ended its line already.
bool LineReader::NextIsLineFeed() {
  if (begin_ == end_) {
    const bool eof = eof_;
    const bool filled = Fill();
    eof_ = eof;
    if (!filled) return false;
  }
  return buffer_[begin_] == '\n';
}

bool LineReader::ReadLine(std::string& line, std::size_t maxChars) {
  line.clear();
  while (line.size() < maxChars) {
    if (begin_ == end_ && !Fill()) break;
    const char* start = buffer_.get() + begin_;
    const std::size_t span = std::min(maxChars - line.size(), end_ - begin_);
    const char* stop = start + span;
    // Lines are short: the CR is looked for only before the LF.
    if (const void* lineFeed = std::memchr(start, '\n', span)) {
      stop = static_cast<const char*>(lineFeed);
    }
    const auto beforeStop = static_cast<std::size_t>(stop - start);
    if (const void* carriageReturn = std::memchr(start, '\r', beforeStop)) {
      stop = static_cast<const char*>(carriageReturn);
    }
    const auto taken = static_cast<std::size_t>(stop - start);
    line.append(start, taken);
    begin_ += taken;
    if (taken == span) continue;
    // A line end: LF, CR LF, or a CR alone (old Macintosh files), each one
    // LF to the caller.
    const bool carriageReturn = buffer_[begin_] == '\r';
    ++begin_;
    line.push_back('\n');
    if (carriageReturn && NextIsLineFeed()) ++begin_;
    return true;
  }
  return !line.empty();
}

bool ProgramLineReader::ReadLine(std::string& line) {
  if (!reader_.ReadLine(line, kProgramLineLimit)) return false;
  if (lineEnded_) ++lineNumber_;
  lineEnded_ = line.back() == '\n';
  RefuseNonText(line, lineNumber_);
  if (longLines_ == LongLines::kRefused && !lineEnded_ && line.size() == kProgramLineLimit &&
      !reader_.AtEnd()) {
    throw LineTooLong(lineNumber_);
  }
  return true;
}

LineWriter::LineWriter(ByteSink& sink) : sink_(sink) { pending_.reserve(kBufferSize + 256); }

LineWriter::~LineWriter() = default;

void LineWriter::Write(std::string_view text) {
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t lineFeed = text.find('\n', from);
    if (lineFeed == std::string_view::npos) {
      pending_.append(text.substr(from));
      break;
    }
    pending_.append(text.substr(from, lineFeed - from));
    pending_.append("\r\n");
    from = lineFeed + 1;
  }
  if (pending_.size() >= kBufferSize) Flush();
}

void LineWriter::Flush() {
  if (pending_.empty()) return;
  sink_.Write(pending_.data(), pending_.size());
  pending_.clear();
}

}  // namespace h33
