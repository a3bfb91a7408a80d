#include "format/outputfile.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "format/devicename.h"
#include "format/pathtext.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

// Links followed before a target counts as a loop, as the system counts them.
constexpr int kLinkHops = 40;

std::string Describe(const fs::path& path, int error) {
  return PathText(path) + ": " + std::strerror(error);
}

IoError Refusal(const fs::path& target, const char* reason) {
  return IoError("не удается записать файл " + PathText(target) + ": " + reason);
}

// Moving a new file over the old one would get round a write protection the
// user set on it.
bool IsWriteProtected(const fs::file_status& status) {
  using fs::perms;
  return (status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) ==
         perms::none;
}

const char* WhyNotAFile(fs::file_type type) {
  switch (type) {
    case fs::file_type::directory:
      return "это каталог, а не файл";
    case fs::file_type::block:
    case fs::file_type::character:
      return "это устройство, а не файл";
    case fs::file_type::fifo:
      return "это канал, а не файл";
    case fs::file_type::socket:
      return "это сокет, а не файл";
    default:
      return "это не обычный файл";
  }
}

// /dev/stdout, /dev/fd/N and /proc/self/fd/N lead to whatever a process has
// open: renaming over them would replace a pipe's or a redirection's file.
bool IsProcessDescriptor(const fs::path& path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  return path.native().rfind("/proc/", 0) == 0;
#endif
}

#ifdef _WIN32
// A file as Windows tells one from another: its volume and its index there,
// whatever the name's spelling (letter case, 8.3 name, "..", "/" or "\\",
// drive letter or UNC name, a hard link).
struct FileIdentity {
  DWORD volume;
  DWORD indexHigh;
  DWORD indexLow;
  bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> IdentityOf(const fs::path& path) {
  const HANDLE handle = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = GetFileType(handle) == FILE_TYPE_DISK &&
                     GetFileInformationByHandle(handle, &information) != 0;
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                      information.nFileIndexLow};
}

bool IsReadOnly(const fs::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// True when another program holds the file open without letting it be
// replaced (a program kept open in an editor or a DNC program).
bool HeldOpenElsewhere(const fs::path& path) {
  const HANDLE handle =
      CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    return false;
  }
  const DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Windows' own replacement keeps the replaced file's hidden, system and
// indexing attributes: the new file takes them before it moves. Read-only is
// refused before, and a written file is marked for the archive anyway.
void TakeAttributes(const fs::path& from, const fs::path& to) {
  constexpr DWORD kKept =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = GetFileAttributesW(to.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kKept) == 0) return;
  SetFileAttributesW(from.c_str(), FILE_ATTRIBUTE_ARCHIVE | (attributes & kKept));
}

// Moves the finished temporary file over the target in one step, the data
// on the disk before the call returns; 0 or the Windows error. A virus
// scanner or an indexer may hold the target for a moment: that is waited
// out for half a second.
DWORD ReplaceTarget(const fs::path& from, const fs::path& to) {
  TakeAttributes(from, to);
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return 0;
    }
    const DWORD error = GetLastError();
    const bool passing = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                         (error == ERROR_ACCESS_DENIED && !IsReadOnly(to));
    if (!passing || attempt == 5) return error;
    Sleep(100);
  }
}

// Why the target could not be replaced, in words the user can act on.
std::string WhyNotReplaced(const fs::path& target, DWORD error) {
  if (IsReadOnly(target)) return "файл защищен от записи";
  if (HeldOpenElsewhere(target)) {
    return std::string(kHeldOpenElsewhere) + "; файл не изменен";
  }
  return SystemErrorText(error);
}
#endif

// Moves `from` over `to`, as Commit does; throws IoError saying why not.
void Replace(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
  // std::filesystem::rename of MinGW's library does not take the write
  // through, nor does it say why a replacement failed.
  if (const DWORD failure = ReplaceTarget(from, to)) {
    throw IoError("не удается записать файл " + PathText(to) + ": " + WhyNotReplaced(to, failure));
  }
#else
  std::error_code error;
  fs::rename(from, to, error);
  if (error) throw IoError("не удается записать файл " + PathText(to) + ": " + error.message());
#endif
}

// The path with its directory spelled without links, so that a link's own
// place can be judged.
fs::path WithCanonicalDirectory(const fs::path& path) {
  std::error_code error;
  const fs::path directory = fs::canonical(fs::absolute(path, error).parent_path(), error);
  return error ? path : directory / path.filename();
}

// 0, or the system's error number. A file that cannot be synced at all (a
// pipe, some special file systems) has nothing to wait for.
int Sync(std::FILE* file) {
#ifdef _WIN32
  return _commit(_fileno(file)) == 0 ? 0 : errno;
#else
  return fsync(fileno(file)) == 0 || errno == EINVAL ? 0 : errno;
#endif
}

// After a rename the directory entry itself must reach the disk too; a
// directory that cannot be synced (some file systems) keeps the rename anyway.
void SyncDirectory([[maybe_unused]] const fs::path& directory) {
#ifndef _WIN32
  const int descriptor = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) return;
  fsync(descriptor);
  close(descriptor);
#endif
}

// Copies all of `source` into `to`, the data on the disk: 0, or the errno of
// the write that failed. Throws IoError when the source fails.
int CopyInto(FileSource& source, std::FILE* to) {
  char buffer[1 << 16];
  for (std::size_t count = 0; (count = source.Read(buffer, sizeof buffer)) > 0;) {
    if (std::fwrite(buffer, 1, count, to) != count) return errno;
  }
  return std::fflush(to) == 0 ? Sync(to) : errno;
}

// A copy of `file` beside it, with its permissions, to be put back should a
// later step fail; an empty path when there is no such file yet. It is no
// scratch file: a signal must not remove what may be the only copy of the
// user's program.
fs::path CopyBeside(const fs::path& file) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (!fs::exists(status)) return {};
  std::string reason;
  const std::unique_ptr<FileSource> source = FileSource::Open(file, &reason);
  if (!source) throw IoError("не удается прочитать файл " + PathText(file) + ": " + reason);
  fs::path copy;
  std::FILE* to = CreateUniqueFile(file.parent_path(), ".h33-", ".tmp", copy);
  if (!to) throw IoError("не удается создать файл " + Describe(copy, errno));
  const auto removeCopy = [&copy] {
    std::error_code ignored;
    fs::remove(copy, ignored);
  };
  int failure = 0;
  try {
    failure = CopyInto(*source, to);
  } catch (const RunError&) {
    std::fclose(to);
    removeCopy();
    throw;
  }
  if (std::fclose(to) != 0 && failure == 0) failure = errno;
  if (failure != 0) {
    removeCopy();
    throw IoError("ошибка записи в файл " + Describe(copy, failure));
  }
  fs::permissions(copy, status.permissions(), error);
  return copy;
}

// Puts the copy made by CopyBeside back over `file`, or removes `file` when
// it was new. When even that fails, the message says where the old file is.
void PutBack(const fs::path& copy, const fs::path& file, const RunError& failure) {
  if (copy.empty()) {
    std::error_code ignored;
    fs::remove(file, ignored);
    return;
  }
  try {
    Replace(copy, file);
  } catch (const RunError& error) {
    throw IoError(std::string(failure.what()) + "; " + error.what() + "; прежний файл " +
                  PathText(file) + " сохранен как " + PathText(copy));
  }
}

}  // namespace

fs::path ResolveOutputTarget(const fs::path& target) {
  if (const char* device = DeviceByName(target)) throw Refusal(target, device);
  fs::path current = target;
  for (int hop = 0; hop <= kLinkHops; ++hop) {
    current = WithCanonicalDirectory(current);
    if (IsProcessDescriptor(current)) {
      throw Refusal(target, "это поток процесса, а не файл (программу на стандартный вывод дает -o -)");
    }
    if (const char* device = DeviceByName(current)) throw Refusal(target, device);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(current, error);
    if (status.type() == fs::file_type::not_found || error) {
      // A new file is created under its name; a missing directory or one that
      // cannot be read says so when the file is created.
      if (hop == 0) return target;
      throw Refusal(target, "ссылка ведет на несуществующий файл");
    }
    if (fs::is_symlink(status)) {
      const fs::path next = fs::read_symlink(current, error);
      if (error) throw Refusal(target, error.message().c_str());
      current = next.is_absolute() ? next : current.parent_path() / next;
      continue;
    }
    if (!fs::is_regular_file(status)) throw Refusal(target, WhyNotAFile(status.type()));
    if (IsWriteProtected(status)) throw Refusal(target, "файл защищен от записи");
    return hop == 0 ? target : current;
  }
  throw Refusal(target, std::strerror(ELOOP));
}

OutputFile::OutputFile(fs::path target) : target_(ResolveOutputTarget(target)) {
  // Not derived from the target's name, which may already be as long as a
  // name can be.
  file_ = CreateUniqueFile(target_.parent_path(), ".h33-", ".tmp", temporary_);
  if (!file_) {
    temporary_.clear();
    throw IoError("не удается создать файл " + Describe(target_, errno));
  }
  registration_ = ScratchRegistration(temporary_);
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() noexcept {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    std::error_code ignored;
    fs::remove(temporary_, ignored);
    temporary_.clear();
  }
  registration_.Release();
}

void OutputFile::Write(const char* bytes, std::size_t size) {
  if (!file_) throw IoError("файл " + PathText(target_) + " уже закрыт");
  if (std::fwrite(bytes, 1, size, file_) != size) {
    throw IoError("ошибка записи в файл " + Describe(target_, errno));
  }
}

void OutputFile::Close() {
  if (!file_) throw IoError("файл " + PathText(target_) + " уже закрыт");
  int error = 0;
  if (std::fflush(file_) != 0 || std::ferror(file_)) error = errno;
  if (!error) error = Sync(file_);
  if (std::fclose(file_) != 0 && !error) error = errno;
  file_ = nullptr;
  if (error) {
    Discard();
    throw IoError("ошибка записи в файл " + Describe(target_, error));
  }
}

void OutputFile::Commit() {
  if (file_) Close();
  if (temporary_.empty()) throw IoError("файл " + PathText(target_) + " уже закрыт");
  std::error_code error;
  const auto previous = fs::status(target_, error);
  if (!error && fs::exists(previous)) {
    // Protected while the program was being written: the protection stays.
    if (IsWriteProtected(previous)) {
      Discard();
      throw Refusal(target_, "файл защищен от записи");
    }
    fs::permissions(temporary_, previous.permissions(), error);
  }
  try {
    Replace(temporary_, target_);
  } catch (const RunError&) {
    Discard();
    throw;
  }
  temporary_.clear();
  registration_.Release();
  SyncDirectory(target_.parent_path());
}

void CommitBoth(OutputFile& firstMoved, OutputFile& lastMoved) {
  const fs::path copy = CopyBeside(firstMoved.Target());
  const auto dropCopy = [&copy] {
    std::error_code ignored;
    if (!copy.empty()) fs::remove(copy, ignored);
  };
  try {
    firstMoved.Commit();
  } catch (const RunError&) {
    dropCopy();
    throw;
  }
  try {
    lastMoved.Commit();
  } catch (const RunError& failure) {
    PutBack(copy, firstMoved.Target(), failure);
    throw;
  }
  dropCopy();
}

bool DesignateSameFile(const fs::path& a, const fs::path& b) {
#ifdef _WIN32
  const std::optional<FileIdentity> first = IdentityOf(a);
  const std::optional<FileIdentity> second = IdentityOf(b);
  return first && second && *first == *second;
#else
  std::error_code error;
  const bool same = fs::equivalent(a, b, error);
  return !error && same;
#endif
}

}  // namespace h33
