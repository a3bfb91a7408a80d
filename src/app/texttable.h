#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace h33 {

// Characters as the terminal shows them: UTF-8 continuation bytes take no room.
std::size_t DisplayWidth(std::string_view text);

// The text filled with blanks to `width` characters, on its right or, when
// `alignRight`, on its left.
std::string Pad(std::string_view text, std::size_t width, bool alignRight = false);

// Rows of cells as plain text, one row a line: each column as wide as its
// widest cell, the first one left-aligned, the others right-aligned, one
// blank between columns.
std::string TextTable(const std::vector<std::vector<std::string>>& rows);

}  // namespace h33
