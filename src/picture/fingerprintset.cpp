#include "picture/fingerprintset.h"

#include <bit>

namespace h33 {
namespace {

constexpr std::size_t kFirstSlots = 1024;

// splitmix64's finaliser: every bit of the input stirs every bit of the output.
std::uint64_t Mix(std::uint64_t value) {
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9u;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBu;
  return value ^ (value >> 31);
}

std::uint64_t Combine(std::uint64_t hash, std::uint64_t value) {
  return Mix(hash ^ (value + 0x9E3779B97F4A7C15u + (hash << 6)));
}

}  // namespace

std::uint64_t FingerprintOfCells(double cell, std::initializer_list<GridCell> cells, std::uint64_t tag) {
  std::uint64_t hash = Mix(std::bit_cast<std::uint64_t>(cell));
  for (const GridCell& each : cells) {
    for (const std::int64_t value : each) hash = Combine(hash, static_cast<std::uint64_t>(value));
  }
  return Combine(hash, tag);
}

bool FingerprintSet::Insert(std::uint64_t fingerprint) {
  if (fingerprint == 0) fingerprint = 1;
  // At most half full: probes stay short.
  if (2 * (size_ + 1) > slots_.size()) Grow();
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = fingerprint & mask;; slot = (slot + 1) & mask) {
    if (slots_[slot] == fingerprint) return false;
    if (slots_[slot] == 0) {
      slots_[slot] = fingerprint;
      ++size_;
      return true;
    }
  }
}

void FingerprintSet::Release() {
  std::vector<std::uint64_t>().swap(slots_);
  size_ = 0;
}

void FingerprintSet::Grow() {
  std::vector<std::uint64_t> old(slots_.empty() ? kFirstSlots : 2 * slots_.size(), 0);
  old.swap(slots_);
  size_ = 0;
  for (const std::uint64_t fingerprint : old) {
    if (fingerprint != 0) Insert(fingerprint);
  }
}

}  // namespace h33
