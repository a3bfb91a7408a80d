#pragma once

#include <cstdio>
#include <filesystem>

#include "format/bytesource.h"
#include "format/scratchfiles.h"

namespace h33 {

// A file written under a temporary name beside its target and moved over the
// target only by Commit, so the target never holds a half-written program.
// Destroyed without Commit, or ended by an interrupt, it removes the temporary
// file and leaves the target as it was. The data reach the disk before the
// rename, so a power loss leaves the old program or the new one, never an
// empty file.
class OutputFile : public ByteSink {
 public:
  // Throws IoError, with the reason, when the target cannot take a program:
  // a write-protected file, a directory, a device, a pipe or socket, a link
  // that leads nowhere or in a circle, a link into a process's descriptors
  // (/dev/stdout), or when the temporary file cannot be created. A target
  // that is a link to a regular file is written where the link points.
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
  // Where Commit moves the file: the target, or the file a link to it leads to.
  const std::filesystem::path& Target() const { return target_; }

 private:
  void Discard() noexcept;

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  ScratchRegistration registration_;
  std::FILE* file_ = nullptr;
};

// Commits `firstMoved`, then `lastMoved`, as one: should the second move
// fail, the first target gets back what it held (or goes, when it is new),
// so that no failure leaves one target changed and the other not. The old
// first target is copied beside it for the time of the moves. Throws IoError
// with the reason of the step that failed.
void CommitBoth(OutputFile& firstMoved, OutputFile& lastMoved);

// Where a program written under `target` lands: the file itself, or the file
// a link leads to. Throws IoError, with the reason, for every target that is
// not a regular file or a link to one, or that does not exist yet.
std::filesystem::path ResolveOutputTarget(const std::filesystem::path& target);

// True when both names designate one existing file, whatever their spelling
// (relative path, "..", a link).
bool DesignateSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace h33
