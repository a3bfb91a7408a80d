#pragma once

#include <cstdio>
#include <filesystem>

#include "bytesource.h"

namespace h33 {

// A file written under a temporary name beside its target and moved over the
// target only by Commit, so the target never holds a half-written program.
// Destroyed without Commit, it removes the temporary file and leaves the
// target as it was.
class OutputFile : public ByteSink {
 public:
  // Throws IoError when the target is write-protected or the temporary file
  // cannot be created. A target that is a link is written where it points.
  explicit OutputFile(std::filesystem::path target);
  ~OutputFile() override;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(const char* bytes, std::size_t size) override;
  // Finishes the temporary file without moving it, so that it can be read
  // back under TemporaryPath() as scratch; it is still removed on
  // destruction unless committed. Throws IoError.
  void Close();
  // Flushes, closes (unless closed already) and renames over the target.
  // Throws IoError.
  void Commit();

  const std::filesystem::path& TemporaryPath() const { return temporary_; }

 private:
  void Discard() noexcept;

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
};

// True when both names designate one existing file, whatever their spelling
// (relative path, "..", a link).
bool DesignateSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace h33
