#pragma once

#include <cstddef>
#include <cstdint>
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

}  // namespace h33
