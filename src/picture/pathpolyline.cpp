#include "picture/pathpolyline.h"

#include <algorithm>
#include <cmath>

namespace h33 {
namespace {

constexpr std::uint32_t kLargestFeed = (1u << 30) - 1;
// Past these coarsenings feeds, and then kinds, no longer split the path.
constexpr int kFeedsMergeAt = 12;
constexpr int kKindsMergeAt = 16;
constexpr int kMostCoarsenings = 64;

PathPoint MakePoint(const Point3& point, const ToolpathMove& move) {
  PathPoint made;
  made.x = static_cast<float>(point.x);
  made.y = static_cast<float>(point.y);
  made.z = static_cast<float>(point.z);
  made.line = move.line;
  const auto feed = static_cast<std::uint32_t>(std::clamp<long long>(move.feed, 0, kLargestFeed));
  made.style = feed << 2 | static_cast<std::uint32_t>(move.kind);
  return made;
}

double Distance(const PathPoint& a, const PathPoint& b) {
  const double dx = double{a.x} - b.x;
  const double dy = double{a.y} - b.y;
  const double dz = double{a.z} - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

void Box3::Take(const Point3& point) {
  low = {std::min(low.x, point.x), std::min(low.y, point.y), std::min(low.z, point.z)};
  high = {std::max(high.x, point.x), std::max(high.y, point.y), std::max(high.z, point.z)};
}

double Box3::LargestSide() const {
  if (Empty()) return 0;
  return std::max({high.x - low.x, high.y - low.y, high.z - low.z});
}

PathPolyline::PathPolyline(Options options)
    : options_(options), tolerance_(options.tolerance) {}

bool PathPolyline::SameStyle(const PathPoint& a, const PathPoint& b) const {
  if (coarsening_ >= kKindsMergeAt) return true;
  if (a.Kind() != b.Kind()) return false;
  if (coarsening_ == 0) return a.style == b.style;
  if (coarsening_ >= kFeedsMergeAt) return true;
  // Feeds within a ratio of 1 + 2^(coarsening − 7) draw alike.
  const double ratio = 1 + std::ldexp(1.0, coarsening_ - 7);
  return std::fabs(std::log1p(a.Feed()) - std::log1p(b.Feed())) < std::log(ratio);
}

void PathPolyline::Keep(const PathPoint& point) {
  // Thinning again in place writes over points already read.
  if (kept_ < points_.size()) {
    points_[kept_] = point;
  } else {
    points_.push_back(point);
  }
  ++kept_;
}

void PathPolyline::Take(const PathPoint& point) {
  if (kept_ > 0) {
    const PathPoint& last = points_[kept_ - 1];
    const bool same = SameStyle(last, point);
    if (same && Distance(last, point) < tolerance_) {
      pending_ = point;
      return;
    }
    // Where the style changes the true corner stays, or the new colour would
    // start early.
    if (!same && pending_) Keep(*pending_);
  }
  pending_.reset();
  Keep(point);
}

void PathPolyline::Coarsen() {
  const std::optional<PathPoint> streamPending = pending_;
  while (kept_ > options_.pointCap / 2 && coarsening_ < kMostCoarsenings) {
    ++coarsening_;
    tolerance_ *= 2;
    const std::size_t count = kept_;
    kept_ = 0;
    pending_.reset();
    for (std::size_t i = 0; i < count; ++i) Take(points_[i]);
    if (pending_) Keep(*pending_);
    points_.resize(kept_);
  }
  pending_ = streamPending;
}

void PathPolyline::Add(const ToolpathMove& move) {
  if (move.kind == MoveKind::kFeed) return;
  bounds_.Take(move.start);
  bounds_.Take(move.end);
  const double wanted = std::max(options_.tolerance,
                                 options_.relativeTolerance * bounds_.LargestSide());
  tolerance_ = std::max(tolerance_, std::ldexp(wanted, coarsening_));
  flattened_.clear();
  FlattenMove(move, tolerance_, flattened_);
  // Thinned before the points could pass the cap: the vector then never
  // grows past it.
  if (kept_ + flattened_.size() + 2 > options_.pointCap) Coarsen();
  if (kept_ == 0) Take(MakePoint(move.start, move));
  for (const Point3& point : flattened_) {
    if (move.kind == MoveKind::kCircular) bounds_.Take(point);
    Take(MakePoint(point, move));
  }
}

void PathPolyline::Finish() {
  if (kept_ + 1 > options_.pointCap) Coarsen();
  if (pending_) Keep(*pending_);
  pending_.reset();
}

}  // namespace h33
