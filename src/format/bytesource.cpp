#include "format/bytesource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "format/devicename.h"
#include "format/pathtext.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace h33 {

std::size_t MemorySource::Read(char* buffer, std::size_t size) {
  const std::size_t count = std::min(size, bytes_.size());
  std::memcpy(buffer, bytes_.data(), count);
  bytes_.remove_prefix(count);
  return count;
}

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::strlen(mode));
  return _wfopen(path.c_str(), wideMode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

namespace {

// Why the file could not be opened, errno being the open's: Windows says
// "Permission denied" also for a file another program holds open without
// sharing it for reading, which the user can mend by closing it there.
std::string WhyNotOpened([[maybe_unused]] const std::filesystem::path& path) {
  const int error = errno;
#ifdef _WIN32
  if (error == EACCES) {
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
    } else if (GetLastError() == ERROR_SHARING_VIOLATION) {
      return kHeldOpenElsewhere;
    }
  }
#endif
  return std::strerror(error);
}

}  // namespace

std::unique_ptr<FileSource> FileSource::Open(const std::filesystem::path& path,
                                             std::string* reason) {
  // Before the open, which would wait for a serial port's line.
  if (const char* device = DeviceInput(path)) {
    if (reason) *reason = device;
    return nullptr;
  }
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    if (reason) *reason = "это каталог, а не файл";
    return nullptr;
  }
  std::FILE* file = OpenFile(path, "rb");
  if (!file) {
    if (reason) *reason = WhyNotOpened(path);
    return nullptr;
  }
  const std::uintmax_t size =
      std::filesystem::is_regular_file(path, error) ? std::filesystem::file_size(path, error) : 0;
  return std::unique_ptr<FileSource>(new FileSource(file, path, error ? 0 : size));
}

std::string UnreadableReason(const std::filesystem::path& path) {
  std::string reason;
  FileSource::Open(path, &reason);
  return reason;
}

FileSource::~FileSource() { std::fclose(file_); }

std::size_t FileSource::Read(char* buffer, std::size_t size) {
  const std::size_t count = std::fread(buffer, 1, size, file_);
  if (count < size && std::ferror(file_)) {
    throw IoError("ошибка чтения файла " + PathText(path_) + ": " + std::strerror(errno));
  }
  position_ += count;
  // Otherwise a file cut short while it is read (saved over, a failing share)
  // would pass for a shorter program.
  if (count == 0 && size > 0 && position_ < size_) {
    throw IoError("ошибка чтения файла " + PathText(path_) + ": файл стал короче во время чтения");
  }
  return count;
}

void FileSource::Seek(std::uint64_t offset) {
#ifdef _WIN32
  const int failed = _fseeki64(file_, static_cast<long long>(offset), SEEK_SET);
#else
  const int failed = fseeko(file_, static_cast<off_t>(offset), SEEK_SET);
#endif
  if (failed != 0) {
    throw IoError("ошибка чтения файла " + PathText(path_) + ": " + std::strerror(errno));
  }
  position_ = offset;
}

}  // namespace h33
