#include "picture/fingerprintset.h"

namespace h33 {
namespace {

constexpr std::size_t kFirstSlots = 1024;

}  // namespace

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
