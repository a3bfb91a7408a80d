#include "outputfile.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#include "pathtext.h"

namespace h33 {
namespace {

std::FILE* CreateExclusive(const std::filesystem::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wbx");
#else
  return std::fopen(path.c_str(), "wbx");
#endif
}

std::string Describe(const std::filesystem::path& path, int error) {
  return PathText(path) + ": " + std::strerror(error);
}

// Through a link, the file linked to: the program lands where the link
// points, and the link stays a link.
std::filesystem::path ThroughLinks(std::filesystem::path target) {
  std::error_code error;
  if (!std::filesystem::is_symlink(target, error)) return target;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
  return error ? target : resolved;
}

// Moving a new file over the old one would get round a write protection the
// user set on it.
bool IsWriteProtected(const std::filesystem::path& target) {
  using std::filesystem::perms;
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(target, error);
  if (error || !std::filesystem::is_regular_file(status)) return false;
  return (status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) ==
         perms::none;
}

}  // namespace

OutputFile::OutputFile(std::filesystem::path target) : target_(ThroughLinks(std::move(target))) {
  if (IsWriteProtected(target_)) {
    throw IoError("не удается записать файл " + PathText(target_) + ": файл защищен от записи");
  }
  std::random_device entropy;
  std::mt19937_64 generator(entropy());
  const std::filesystem::path directory = target_.parent_path();
  for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
    std::filesystem::path name = ".";
    name += target_.filename();
    name += "." + std::to_string(generator() % 1000000000ULL) + ".tmp";
    temporary_ = directory / name;
    file_ = CreateExclusive(temporary_);
    if (!file_ && errno != EEXIST) break;
  }
  if (!file_) throw IoError("не удается создать файл " + Describe(target_, errno));
}

OutputFile::~OutputFile() { Discard(); }

void OutputFile::Discard() noexcept {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    temporary_.clear();
  }
}

void OutputFile::Write(const char* bytes, std::size_t size) {
  if (!file_) throw IoError("файл " + PathText(target_) + " уже закрыт");
  if (std::fwrite(bytes, 1, size, file_) != size) {
    throw IoError("ошибка записи в файл " + Describe(target_, errno));
  }
}

void OutputFile::Close() {
  if (!file_) throw IoError("файл " + PathText(target_) + " уже закрыт");
  const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  const int flushError = errno;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) {
    const int error = flushed ? errno : flushError;
    Discard();
    throw IoError("ошибка записи в файл " + Describe(target_, error));
  }
}

void OutputFile::Commit() {
  if (file_) Close();
  if (temporary_.empty()) throw IoError("файл " + PathText(target_) + " уже закрыт");
  std::error_code error;
  const auto previous = std::filesystem::status(target_, error);
  if (!error && std::filesystem::exists(previous)) {
    std::filesystem::permissions(temporary_, previous.permissions(), error);
  }
  std::filesystem::rename(temporary_, target_, error);
  if (error) {
    Discard();
    throw IoError("не удается записать файл " + PathText(target_) + ": " + error.message());
  }
  temporary_.clear();
}

bool DesignateSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  const bool same = std::filesystem::equivalent(a, b, error);
  return !error && same;
}

}  // namespace h33
