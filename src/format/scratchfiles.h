#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace h33 {

// Temporary files that must not outlive the process: a run stopped by Ctrl-C,
// SIGTERM or SIGHUP would otherwise leave a half-written program of any size
// beside the user's files. The owner registers a file while it exists and
// forgets it once it is renamed or removed; the signal handlers remove every
// file still registered, then let the signal end the process as it would
// have.
class ScratchFiles {
 public:
  // Installs the handlers; the front end calls it once at start.
  static void RemoveOnSignals();

  // A slot for `path`, or -1 when all are taken (the file then merely lacks
  // the signal's clean-up). Paths too long for a slot are not kept either.
  static int Register(const std::filesystem::path& path) noexcept;
  static void Forget(int slot) noexcept;
};

// Keeps one file registered for as long as it lives.
class ScratchRegistration {
 public:
  ScratchRegistration() = default;
  explicit ScratchRegistration(const std::filesystem::path& path)
      : slot_(ScratchFiles::Register(path)) {}
  ~ScratchRegistration() { Release(); }
  ScratchRegistration(const ScratchRegistration&) = delete;
  ScratchRegistration& operator=(const ScratchRegistration&) = delete;
  ScratchRegistration(ScratchRegistration&& other) noexcept : slot_(other.slot_) {
    other.slot_ = -1;
  }
  ScratchRegistration& operator=(ScratchRegistration&& other) noexcept {
    if (this != &other) {
      Release();
      slot_ = other.slot_;
      other.slot_ = -1;
    }
    return *this;
  }

  void Release() noexcept {
    if (slot_ >= 0) ScratchFiles::Forget(slot_);
    slot_ = -1;
  }

 private:
  int slot_ = -1;
};

}  // namespace h33

namespace h33 {

// Creates a file that did not exist, named `prefix`, digits and `suffix`, in
// `directory`, open for writing bytes; null with errno set when it cannot.
std::FILE* CreateUniqueFile(const std::filesystem::path& directory, const std::string& prefix,
                            const std::string& suffix, std::filesystem::path& created);

// An empty file of this process's own in the system's temporary directory,
// removed when the object goes and on the signals above. Throws IoError when
// it cannot be created.
class ScratchFile {
 public:
  // `extension` as in ".up"; it keeps the kind of program recognisable.
  explicit ScratchFile(const std::string& extension);
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  ScratchRegistration registration_;
};

}  // namespace h33
