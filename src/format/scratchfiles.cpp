#include "format/scratchfiles.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>
#include <wchar.h>
#else
#include <unistd.h>
#endif

#include "format/bytesource.h"
#include "format/pathtext.h"

namespace h33 {
namespace {

#ifdef _WIN32
using NativeChar = wchar_t;
#else
using NativeChar = char;
#endif

// The handler may only touch what was fully written before a slot was marked
// used, so paths live in fixed buffers and the marks are lock-free atomics.
constexpr std::size_t kSlots = 64;
constexpr std::size_t kPathLength = 4096;

struct Slot {
  std::atomic<bool> used{false};
  NativeChar path[kPathLength];
};

std::array<Slot, kSlots> slots;

void RemoveNow(const NativeChar* path) {
#ifdef _WIN32
  _wremove(path);
#else
  unlink(path);
#endif
}

extern "C" void RemoveAndResignal(int signal) {
  for (Slot& slot : slots) {
    if (slot.used.load(std::memory_order_acquire)) RemoveNow(slot.path);
  }
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

void ScratchFiles::RemoveOnSignals() {
  std::signal(SIGINT, RemoveAndResignal);
  std::signal(SIGTERM, RemoveAndResignal);
#ifndef _WIN32
  std::signal(SIGHUP, RemoveAndResignal);
#endif
}

int ScratchFiles::Register(const std::filesystem::path& path) noexcept {
  const auto& native = path.native();
  if (native.size() >= kPathLength) return -1;
  for (std::size_t index = 0; index < kSlots; ++index) {
    Slot& slot = slots[index];
    if (slot.used.load(std::memory_order_relaxed)) continue;
    std::memcpy(slot.path, native.c_str(), (native.size() + 1) * sizeof(NativeChar));
    slot.used.store(true, std::memory_order_release);
    return static_cast<int>(index);
  }
  return -1;
}

void ScratchFiles::Forget(int slot) noexcept {
  if (slot >= 0 && static_cast<std::size_t>(slot) < kSlots) {
    slots[static_cast<std::size_t>(slot)].used.store(false, std::memory_order_release);
  }
}

}  // namespace h33

namespace h33 {

std::FILE* CreateUniqueFile(const std::filesystem::path& directory, const std::string& prefix,
                            const std::string& suffix, std::filesystem::path& created) {
  std::random_device entropy;
  std::mt19937_64 generator(entropy());
  for (int attempt = 0; attempt < 100; ++attempt) {
    created = directory / PathFromText(prefix + std::to_string(generator() % 1000000000ULL) + suffix);
#ifdef _WIN32
    // msvcrt's fopen knows no "x": an exclusive create, then a stream on it.
    const int descriptor = _wopen(created.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY | _O_NOINHERIT,
                                  _S_IREAD | _S_IWRITE);
    std::FILE* file = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
    if (descriptor >= 0 && !file) {
      const int reason = errno;
      _close(descriptor);
      errno = reason;
    }
#else
    std::FILE* file = OpenFile(created, "wbx");
#endif
    if (file || errno != EEXIST) return file;
  }
  return nullptr;
}

ScratchFile::ScratchFile(const std::string& extension) {
  std::error_code error;
  const std::filesystem::path directory = std::filesystem::temp_directory_path(error);
  if (error) throw IoError("нет каталога для временных файлов: " + error.message());
  std::FILE* file = CreateUniqueFile(directory, "h33-", extension, path_);
  if (!file) {
    const int reason = errno;
    throw IoError("не удается создать временный файл " + PathText(path_) + ": " +
                  std::strerror(reason));
  }
  std::fclose(file);
  registration_ = ScratchRegistration(path_);
}

ScratchFile::~ScratchFile() {
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

}  // namespace h33
