#include "format/pathtext.h"

namespace h33 {

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

std::filesystem::path PathFromText(std::string_view text) {
  return std::u8string(text.begin(), text.end());
}

}  // namespace h33
