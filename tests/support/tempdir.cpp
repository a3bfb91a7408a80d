#include "tempdir.h"

#include <fstream>
#include <random>
#include <set>
#include <sstream>

namespace h33 {

TempDir::TempDir() {
  std::random_device entropy;
  path_ = std::filesystem::temp_directory_path() / ("h33test-" + std::to_string(entropy()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::Write(std::string_view name, std::string_view bytes) const {
  const auto path = path_ / name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string TempDir::Listing() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.insert(entry.path().filename().string());
  }
  std::string listing;
  for (const auto& name : names) listing += name + "\n";
  return listing;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace h33
