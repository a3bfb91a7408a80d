#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace h33 {

enum class AlignStep : std::uint8_t {
  kBoth,        // an item of each sequence, equal
  kFirstOnly,   // an item of the first sequence without a match
  kSecondOnly,  // likewise of the second
};

// The steps that walk two sequences in order, matching as many equal items
// as a longest common subsequence does; where an item of each goes unmatched,
// the first sequence's comes first. Sequences too long to compare every pair
// of items (past a few million pairs) are matched by their common start and
// end only.
std::vector<AlignStep> AlignSequences(std::size_t firstSize, std::size_t secondSize,
                                      const std::function<bool(std::size_t, std::size_t)>& equal);

}  // namespace h33
