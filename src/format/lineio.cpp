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

bool LineReader::NextIsLineFeed() {
  if (begin_ == end_ && !Fill()) return false;
  return buffer_[begin_] == '\n';
}

bool LineReader::ReadLine(std::string& line, std::size_t maxChars) {
  line.clear();
  while (line.size() < maxChars) {
    if (begin_ == end_ && !Fill()) break;
    const char* start = buffer_.get() + begin_;
    const std::size_t span = std::min(maxChars - line.size(), end_ - begin_);
    const auto* lineFeed = static_cast<const char*>(std::memchr(start, '\n', span));
    const std::size_t taken = lineFeed ? static_cast<std::size_t>(lineFeed - start) + 1 : span;
    line.append(start, taken);
    begin_ += taken;
    if (lineFeed) {
      // CR LF is one line end; the CR can only stand right before the LF.
      if (line.size() >= 2 && line[line.size() - 2] == '\r') line.erase(line.size() - 2, 1);
      return true;
    }
    if (line.back() == '\r' && NextIsLineFeed()) {
      line.back() = '\n';
      ++begin_;
      return true;
    }
  }
  return !line.empty();
}

bool ProgramLineReader::ReadLine(std::string& line) {
  if (!reader_.ReadLine(line, kProgramLineLimit)) return false;
  ++lineNumber_;
  if (line.size() == kProgramLineLimit && line.back() != '\n' && !reader_.AtEnd()) {
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
