#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace h33 {

// Which 64-bit fingerprints were met already: eight bytes a fingerprint, a
// few times fewer than a node-based set takes, and no allocation per entry.
// Two different things share a fingerprint with a chance of n² / 2⁶⁵.
class FingerprintSet {
 public:
  // False when the fingerprint was in the set already.
  bool Insert(std::uint64_t fingerprint);
  std::size_t Size() const { return size_; }
  // Empties the set and gives its memory back.
  void Release();

 private:
  void Grow();

  std::vector<std::uint64_t> slots_;  // 0: free; a fingerprint of 0 is kept as 1
  std::size_t size_ = 0;
};

// A cell of a grid in space, by its whole coordinates.
using GridCell = std::array<std::int64_t, 3>;

// The fingerprint of cells of a grid `cell` wide, in order, and a tag.
std::uint64_t FingerprintOfCells(double cell, std::initializer_list<GridCell> cells, std::uint64_t tag);

}  // namespace h33
