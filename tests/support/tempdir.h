#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace h33 {

// A fresh directory for one test, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  // Writes the bytes as they stand (no line-end translation).
  std::filesystem::path Write(std::string_view name, std::string_view bytes) const;
  // Names of the directory's entries, sorted.
  std::string Listing() const;

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& path);

}  // namespace h33
