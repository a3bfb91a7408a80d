#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/toolpath.h"

namespace h33 {

// The feeds of the frames that start in [path, next sample's path): a step
// of the profile. `line` is the frame with the lowest feed among them, the
// one a user looking for a slow-down wants.
struct ProfileSample {
  double path = 0;  // mm of chord length from the program's start
  float low = 0, high = 0;
  std::uint32_t line = 0;
};

// Feed over path length, one step per feed change. A frame that only sets a
// feed is a step of no length, so a stop frame shows as a drop to 0.
//
// Memory stays bounded: when more than `sampleCap` steps are kept, steps
// closer than a doubling bucket length merge into one that keeps their
// lowest and highest feed.
class FeedProfile {
 public:
  static constexpr std::size_t kDefaultSampleCap = 1 << 19;  // 12 MB of steps

  explicit FeedProfile(std::size_t sampleCap = kDefaultSampleCap);

  void Add(const ToolpathMove& move);

  const std::vector<ProfileSample>& Samples() const { return samples_; }
  double Length() const { return length_; }
  // Lowest and highest feed of all frames; 0 and 0 for a program without any.
  float LowestFeed() const { return lowest_; }
  float HighestFeed() const { return highest_; }
  // The highest feed of the cuts, rapid moves left out (a tape from G-code
  // runs them at 99999 mm/min); HighestFeed() for a program without a cut.
  float HighestCutFeed() const { return anyCut_ ? highestCut_ : highest_; }
  // The sample whose step holds `path`, its index; none for an empty profile.
  std::ptrdiff_t SampleAt(double path) const;
  // Among the steps that meet [from, to], the one with the lowest feed, the
  // first of equals; none for an empty profile.
  std::ptrdiff_t LowestSampleIn(double from, double to) const;

 private:
  // Whether `sample` joins the step `last`, which it then widens.
  bool MergeInto(ProfileSample& last, const ProfileSample& sample) const;
  void Coarsen();

  std::size_t sampleCap_;
  double bucket_ = 0;
  std::vector<ProfileSample> samples_;
  double length_ = 0;
  float lowest_ = 0, highest_ = 0;
  float highestCut_ = 0;
  bool anyCut_ = false;
};

}  // namespace h33
