#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "format/runerror.h"

namespace h33 {

// An input or output operation failed part way (a disk error, a file that
// vanished while it was read, a full disk).
class IoError : public RunError {
 public:
  using RunError::RunError;
};

// Why a file cannot be read or replaced: another program (an editor, a DNC
// program) holds it open without sharing it.
inline constexpr const char* kHeldOpenElsewhere =
    "файл открыт в другой программе (закройте его там и повторите)";

// Where program bytes come from: a file or memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills up to size bytes; returns how many, 0 at the end. Throws IoError.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  std::string_view bytes_;
};

class FileSource : public ByteSource {
 public:
  // Null when the path cannot be opened for reading (missing, a directory,
  // no permission); `reason` then says why.
  static std::unique_ptr<FileSource> Open(const std::filesystem::path& path,
                                          std::string* reason = nullptr);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  // Also throws IoError when the end comes before the size the file had when
  // it was opened: it was cut short while it was read.
  std::size_t Read(char* buffer, std::size_t size) override;
  // Goes on reading at `offset` bytes from the file's start. Throws IoError.
  void Seek(std::uint64_t offset);

 private:
  FileSource(std::FILE* file, std::filesystem::path path, std::uintmax_t size)
      : file_(file), path_(std::move(path)), size_(size) {}
  std::FILE* file_;
  std::filesystem::path path_;
  std::uintmax_t size_;  // 0 when the file has no size to go by (a device, a pipe)
  std::uintmax_t position_ = 0;  // bytes from the file's start to the next one read
};

// fopen on the system's own form of the name (UTF-16 on Windows, where the
// narrow form would pass through the ANSI code page). Null with errno set.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// Why the file cannot be opened for reading, in the system's words; empty
// when it can. For messages about a pass that found it unreadable.
std::string UnreadableReason(const std::filesystem::path& path);

// Where program bytes go: a file or memory.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Takes all size bytes or throws IoError.
  virtual void Write(const char* bytes, std::size_t size) = 0;
};

class MemorySink : public ByteSink {
 public:
  void Write(const char* bytes, std::size_t size) override { bytes_.append(bytes, size); }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace h33
