#include "picture/pathpolyline.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace h33 {
namespace {

constexpr std::uint32_t kLargestFeed = (1u << 29) - 1;
constexpr std::uint32_t kGapBit = 4;
// Past these coarsenings feeds, and then kinds, no longer split the path.
constexpr int kFeedsMergeAt = 12;
constexpr int kKindsMergeAt = 16;
constexpr int kMostCoarsenings = 64;
// Points one Take may keep: a gap, the point left out before, the point.
constexpr std::size_t kMostPerTake = 3;
// Points a stretch left out as straight may hold: its test runs through them all.
constexpr std::size_t kLongestStretch = 64;

PathPoint MakePoint(const Point3& point, const ToolpathMove& move) {
  PathPoint made;
  made.x = static_cast<float>(point.x);
  made.y = static_cast<float>(point.y);
  made.z = static_cast<float>(point.z);
  made.line = move.line;
  const auto feed = static_cast<std::uint32_t>(std::clamp<long long>(move.feed, 0, kLargestFeed));
  made.style = feed << 3 | static_cast<std::uint32_t>(move.kind);
  return made;
}

PathPoint GapAt(PathPoint point) {
  point.style |= kGapBit;
  return point;
}

Point3 ToPoint3(const PathPoint& point) { return {point.x, point.y, point.z}; }

double Distance(const PathPoint& a, const PathPoint& b) {
  const double dx = double{a.x} - b.x;
  const double dy = double{a.y} - b.y;
  const double dz = double{a.z} - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// From the point to the nearest point of the segment a–b.
double DistanceToChord(const PathPoint& point, const PathPoint& a, const PathPoint& b) {
  const double ab[] = {double{b.x} - a.x, double{b.y} - a.y, double{b.z} - a.z};
  const double ap[] = {double{point.x} - a.x, double{point.y} - a.y, double{point.z} - a.z};
  const double square = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
  const double along = square > 0 ? (ap[0] * ab[0] + ap[1] * ab[1] + ap[2] * ab[2]) / square : 0;
  const double t = std::clamp(along, 0.0, 1.0);
  return std::hypot(ap[0] - t * ab[0], ap[1] - t * ab[1], ap[2] - t * ab[2]);
}

std::int64_t Round(double value) {
  // No library call: this runs for every point of a long program.
  return static_cast<std::int64_t>(value < 0 ? value - 0.5 : value + 0.5);
}

// A point's cell on a grid of cells `1 / perCell` wide.
GridCell CellOf(const Point3& point, double perCell) {
  return {Round(point.x * perCell), Round(point.y * perCell), Round(point.z * perCell)};
}

// Whether any point of the box of `points` lies in the window.
bool MeetsWindow(const PlaneWindow& window, std::initializer_list<Point3> points) {
  double left = 1e300, right = -1e300, bottom = 1e300, top = -1e300;
  for (const Point3& point : points) {
    left = std::min(left, FirstAxis(point, window.plane));
    right = std::max(right, FirstAxis(point, window.plane));
    bottom = std::min(bottom, SecondAxis(point, window.plane));
    top = std::max(top, SecondAxis(point, window.plane));
  }
  return right >= window.left && left <= window.right && top >= window.bottom &&
         bottom <= window.top;
}

// Whether any of the move can lie in the window: for an arc, the box of the
// sphere about its centre through its farther end.
bool MoveMeetsWindow(const PlaneWindow& window, const ToolpathMove& move) {
  if (move.kind != MoveKind::kCircular) return MeetsWindow(window, {move.start, move.end});
  const auto reach = [&move](const Point3& point) {
    return std::hypot(point.x - move.centre.x, point.y - move.centre.y, point.z - move.centre.z);
  };
  const double r = std::max(reach(move.start), reach(move.end));
  const Point3& c = move.centre;
  return MeetsWindow(window, {move.start, move.end, {c.x - r, c.y - r, c.z - r}, {c.x + r, c.y + r, c.z + r}});
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
  if (a.Gap() || b.Gap()) return false;
  if (coarsening_ >= kKindsMergeAt) return true;
  if (a.Kind() != b.Kind()) return false;
  if (coarsening_ == 0) return a.style == b.style;
  if (coarsening_ >= kFeedsMergeAt) return true;
  // Feeds within a ratio of 1 + 2^(coarsening − 7) draw alike.
  const double ratio = 1 + std::ldexp(1.0, coarsening_ - 7);
  return std::fabs(std::log1p(a.Feed()) - std::log1p(b.Feed())) < std::log(ratio);
}

bool PathPolyline::Hidden(const PathPoint& a, const PathPoint& b) const {
  return options_.window && !MeetsWindow(*options_.window, {ToPoint3(a), ToPoint3(b)});
}

// How SameStyle tells styles apart, as a number.
std::uint64_t PathPolyline::StyleClass(const PathPoint& point) const {
  if (coarsening_ >= kKindsMergeAt) return 0;
  const auto kind = static_cast<std::uint64_t>(point.Kind());
  if (coarsening_ >= kFeedsMergeAt) return kind;
  if (coarsening_ == 0) return point.style & ~kGapBit;
  const double ratio = 1 + std::ldexp(1.0, coarsening_ - 7);
  return static_cast<std::uint64_t>(std::log1p(point.Feed()) / std::log(ratio)) << 2 | kind;
}

// The segment a–b in either direction, its ends on the tolerance's grid, in
// the style of its end.
std::uint64_t PathPolyline::SegmentFingerprint(const PathPoint& a, const PathPoint& b) const {
  const GridCell cellA = CellOf(ToPoint3(a), 1 / tolerance_);
  const GridCell cellB = CellOf(ToPoint3(b), 1 / tolerance_);
  const auto [low, high] = std::minmax(cellA, cellB);
  return FingerprintOfCells(tolerance_, {low, high}, StyleClass(b));
}

// An arc on the tolerance's grid, with its turn and style.
std::uint64_t PathPolyline::ArcFingerprint(const ToolpathMove& move) const {
  const double perCell = 1 / tolerance_;
  const PathPoint end = MakePoint(move.end, move);
  const auto turn = static_cast<std::uint64_t>(move.plane) << 1 | (move.sense == 3 ? 1u : 0u);
  return FingerprintOfCells(
      tolerance_, {CellOf(move.start, perCell), CellOf(move.end, perCell), CellOf(move.centre, perCell)},
      StyleClass(end) << 3 | turn);
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

void PathPolyline::Jump(const PathPoint& point) {
  anchor_ = point;
  anchorKept_ = false;
}

// Decides the segment from the anchor to the point: kept, or left out when
// it is drawn already or lies outside the window.
void PathPolyline::Settle(const PathPoint& point) {
  if (anchor_ && (Hidden(*anchor_, point) || !segments_.Insert(SegmentFingerprint(*anchor_, point)))) {
    Jump(point);
    return;
  }
  // Back near where the drawing stopped, as after a contour run again, the
  // drawing goes on without a gap.
  if (anchor_ && !anchorKept_ && (kept_ == 0 || Distance(*anchor_, points_[kept_ - 1]) >= tolerance_)) {
    Keep(GapAt(*anchor_));
  }
  Keep(point);
  anchor_ = point;
  anchorKept_ = true;
}

void PathPolyline::SettlePending() {
  if (pending_) Settle(*pending_);
  pending_.reset();
  stretch_.clear();
}

void PathPolyline::LeaveOut(const PathPoint& point) {
  pending_ = point;
  if (coarsening_ > 0) stretch_.push_back(point);
}

// Whether the point may be left out after the anchor: it lies within the
// tolerance of it, or, in a path thinned to fit its points, the stretch up
// to it stays within the tolerance of its chord.
bool PathPolyline::LeavesOut(const PathPoint& point) const {
  if (!SameStyle(*anchor_, point)) return false;
  if (Distance(*anchor_, point) < tolerance_) return true;
  if (coarsening_ == 0 || stretch_.size() >= kLongestStretch) return false;
  return std::all_of(stretch_.begin(), stretch_.end(), [&](const PathPoint& between) {
    return DistanceToChord(between, *anchor_, point) < tolerance_;
  });
}

void PathPolyline::Take(const PathPoint& point) {
  if (point.Gap()) {
    SettlePending();
    Jump(point);
    return;
  }
  if (!anchor_) {
    Settle(point);
    return;
  }
  if (LeavesOut(point)) {
    LeaveOut(point);
    return;
  }
  // Where the style changes the true corner stays, or the new colour would
  // start early; a stretch found straight ends at its last point.
  if (pending_ && (coarsening_ > 0 || !SameStyle(*anchor_, point))) {
    SettlePending();
    if (LeavesOut(point)) {
      LeaveOut(point);
      return;
    }
  }
  pending_.reset();
  stretch_.clear();
  Settle(point);
}

void PathPolyline::Coarsen() {
  // The stream goes on from where it stood: past segments left out, perhaps,
  // and with points not settled yet.
  const std::optional<PathPoint> streamAnchor = anchorKept_ ? std::nullopt : anchor_;
  const std::optional<PathPoint> streamPending = pending_;
  const std::vector<PathPoint> streamStretch = stretch_;
  while (kept_ > options_.pointCap / 2 && coarsening_ < kMostCoarsenings) {
    ++coarsening_;
    tolerance_ *= 2;
    const std::size_t count = kept_;
    kept_ = 0;
    anchor_.reset();
    pending_.reset();
    stretch_.clear();
    segments_.Release();
    for (std::size_t i = 0; i < count; ++i) {
      const PathPoint point = points_[i];
      Take(point);
    }
    SettlePending();
    points_.resize(kept_);
  }
  if (streamAnchor) Jump(*streamAnchor);
  pending_ = streamPending;
  stretch_ = streamStretch;
}

// Thinned before a Take could pass the cap: the vector then never grows
// past it.
void PathPolyline::MakeRoom() {
  if (kept_ + kMostPerTake > options_.pointCap) Coarsen();
}

void PathPolyline::Add(const ToolpathMove& move) {
  if (move.kind == MoveKind::kFeed) return;
  bounds_.Take(move.start);
  bounds_.Take(move.end);
  const double wanted = std::max(options_.tolerance,
                                 options_.relativeTolerance * bounds_.LargestSide());
  tolerance_ = std::max(tolerance_, std::ldexp(wanted, coarsening_));
  if (!anchor_) Take(MakePoint(move.start, move));
  // Not even flattened: zoomed far in an arc takes thousands of points, and a
  // contour run over and over would flatten its arcs each time.
  if ((options_.window && !MoveMeetsWindow(*options_.window, move)) ||
      (move.kind == MoveKind::kCircular && !NewArc(move))) {
    MakeRoom();
    SettlePending();
    Jump(MakePoint(move.end, move));
    return;
  }
  flattened_.clear();
  FlattenMove(move, tolerance_, flattened_);
  for (const Point3& point : flattened_) {
    if (move.kind == MoveKind::kCircular) bounds_.Take(point);
    MakeRoom();
    Take(MakePoint(point, move));
  }
}

bool PathPolyline::NewArc(const ToolpathMove& move) {
  // Only a shortcut: forgotten before it could take much memory.
  if (arcs_.Size() >= options_.pointCap / 4) arcs_.Release();
  return arcs_.Insert(ArcFingerprint(move));
}

void PathPolyline::Finish() {
  MakeRoom();
  SettlePending();
  segments_.Release();
  arcs_.Release();
}

}  // namespace h33
