#include "methods/sequencealign.h"

#include <algorithm>

namespace h33 {
namespace {

constexpr std::size_t kMostPairs = std::size_t{1} << 22;

// The middle, between the common start and end: lengths of the longest
// common subsequences of every pair of suffixes, then a walk from the front.
void AlignMiddle(std::size_t from, std::size_t firstEnd, std::size_t secondEnd,
                 const std::function<bool(std::size_t, std::size_t)>& equal,
                 std::vector<AlignStep>& steps) {
  const std::size_t firstSize = firstEnd - from, secondSize = secondEnd - from;
  const std::size_t stride = secondSize + 1;
  const bool compared = firstSize * secondSize <= kMostPairs;
  std::vector<std::uint32_t> common(compared ? (firstSize + 1) * stride : 0, 0);
  const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& { return common[i * stride + j]; };
  for (std::size_t i = compared ? firstSize : 0; i-- > 0;) {
    for (std::size_t j = secondSize; j-- > 0;) {
      at(i, j) = equal(from + i, from + j) ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    }
  }
  std::size_t i = 0, j = 0;
  while (compared && i < firstSize && j < secondSize) {
    if (equal(from + i, from + j) && at(i, j) == at(i + 1, j + 1) + 1) {
      steps.push_back(AlignStep::kBoth);
      ++i, ++j;
    } else if (at(i + 1, j) >= at(i, j + 1)) {
      steps.push_back(AlignStep::kFirstOnly);
      ++i;
    } else {
      steps.push_back(AlignStep::kSecondOnly);
      ++j;
    }
  }
  steps.insert(steps.end(), firstSize - i, AlignStep::kFirstOnly);
  steps.insert(steps.end(), secondSize - j, AlignStep::kSecondOnly);
}

}  // namespace

std::vector<AlignStep> AlignSequences(std::size_t firstSize, std::size_t secondSize,
                                      const std::function<bool(std::size_t, std::size_t)>& equal) {
  std::vector<AlignStep> steps;
  std::size_t start = 0;
  while (start < firstSize && start < secondSize && equal(start, start)) ++start;
  std::size_t end = 0;  // items matched at the end
  while (firstSize - end > start && secondSize - end > start &&
         equal(firstSize - end - 1, secondSize - end - 1)) {
    ++end;
  }
  steps.assign(start, AlignStep::kBoth);
  AlignMiddle(start, firstSize - end, secondSize - end, equal, steps);
  steps.insert(steps.end(), end, AlignStep::kBoth);
  return steps;
}

}  // namespace h33
