#include "format/outputfile.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

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

}  // namespace

fs::path ResolveOutputTarget(const fs::path& target) {
  fs::path current = target;
  for (int hop = 0; hop <= kLinkHops; ++hop) {
    current = WithCanonicalDirectory(current);
    if (IsProcessDescriptor(current)) {
      throw Refusal(target, "это поток процесса, а не файл (программу на стандартный вывод дает -o -)");
    }
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
    fs::permissions(temporary_, previous.permissions(), error);
  }
  fs::rename(temporary_, target_, error);
  if (error) {
    Discard();
    throw IoError("не удается записать файл " + PathText(target_) + ": " + error.message());
  }
  temporary_.clear();
  registration_.Release();
  SyncDirectory(target_.parent_path());
}

bool DesignateSameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  const bool same = fs::equivalent(a, b, error);
  return !error && same;
}

}  // namespace h33
