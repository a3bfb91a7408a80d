#include "picture/feedprofile.h"

#include <algorithm>

namespace h33 {
namespace {

constexpr double kFirstBucket = 0.001;  // mm

bool Flat(const ProfileSample& sample) { return sample.low == sample.high; }

}  // namespace

FeedProfile::FeedProfile(std::size_t sampleCap) : sampleCap_(std::max<std::size_t>(sampleCap, 4)) {}

bool FeedProfile::MergeInto(ProfileSample& last, const ProfileSample& sample) const {
  if (Flat(last) && Flat(sample) && last.low == sample.low) return true;
  if (sample.path - last.path >= bucket_) return false;
  if (sample.low < last.low) {
    last.low = sample.low;
    last.line = sample.line;
  }
  last.high = std::max(last.high, sample.high);
  return true;
}

void FeedProfile::Coarsen() {
  while (samples_.size() > sampleCap_ / 2) {
    bucket_ = bucket_ > 0 ? 2 * bucket_
                          : std::max(kFirstBucket, samples_.back().path / static_cast<double>(sampleCap_));
    // Merging writes no faster than it reads: one buffer does.
    std::size_t kept = 0;
    for (const ProfileSample& sample : samples_) {
      if (kept > 0 && MergeInto(samples_[kept - 1], sample)) continue;
      samples_[kept++] = sample;
    }
    samples_.resize(kept);
  }
}

void FeedProfile::Add(const ToolpathMove& move) {
  const auto feed = static_cast<float>(move.feed);
  if (samples_.empty() || feed < lowest_) lowest_ = feed;
  if (samples_.empty() || feed > highest_) highest_ = feed;
  if (move.kind == MoveKind::kLinear || move.kind == MoveKind::kCircular) {
    highestCut_ = anyCut_ ? std::max(highestCut_, feed) : feed;
    anyCut_ = true;
  }
  length_ = std::max(length_, move.pathEnd);
  const ProfileSample sample{move.pathStart, feed, feed, move.line};
  if (!samples_.empty() && MergeInto(samples_.back(), sample)) return;
  // Thinned before the vector would grow past the cap; the wider steps may
  // then take the new one in.
  if (samples_.size() >= sampleCap_) {
    Coarsen();
    if (MergeInto(samples_.back(), sample)) return;
  }
  samples_.push_back(sample);
}

std::ptrdiff_t FeedProfile::SampleAt(double path) const {
  if (samples_.empty()) return -1;
  const auto after = std::upper_bound(samples_.begin(), samples_.end(), path,
                                      [](double at, const ProfileSample& s) { return at < s.path; });
  return std::max<std::ptrdiff_t>(0, (after - samples_.begin()) - 1);
}

std::ptrdiff_t FeedProfile::LowestSampleIn(double from, double to) const {
  std::ptrdiff_t lowest = SampleAt(from);
  if (lowest < 0) return lowest;
  for (auto i = static_cast<std::size_t>(lowest) + 1; i < samples_.size() && samples_[i].path <= to; ++i) {
    if (samples_[i].low < samples_[static_cast<std::size_t>(lowest)].low) {
      lowest = static_cast<std::ptrdiff_t>(i);
    }
  }
  return lowest;
}

}  // namespace h33
