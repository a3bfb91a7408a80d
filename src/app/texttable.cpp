#include "app/texttable.h"

#include <algorithm>

namespace h33 {

std::string Pad(std::string_view text, std::size_t width, bool alignRight) {
  const std::string fill(width - std::min(width, DisplayWidth(text)), ' ');
  return alignRight ? fill + std::string(text) : std::string(text) + fill;
}

std::size_t DisplayWidth(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string TextTable(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    widths.resize(std::max(widths.size(), row.size()));
    for (std::size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], DisplayWidth(row[column]));
    }
  }
  std::string table;
  for (const auto& row : rows) {
    for (std::size_t column = 0; column < row.size(); ++column) {
      if (column > 0) table += ' ';
      table += Pad(row[column], widths[column], column > 0);
    }
    table += '\n';
  }
  return table;
}

}  // namespace h33
