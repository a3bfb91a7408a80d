#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "picture/toolpath.h"

namespace h33 {

// One point of the drawn path, with the style of the segment that ends here.
struct PathPoint {
  float x = 0, y = 0, z = 0;
  std::uint32_t line = 0;   // the frame whose segment ends here
  std::uint32_t style = 0;  // feed (mm/min, saturated at 2^30 − 1) × 4 + MoveKind

  int Feed() const { return static_cast<int>(style >> 2); }
  MoveKind Kind() const { return static_cast<MoveKind>(style & 3u); }
};

struct Box3 {
  Point3 low{1e300, 1e300, 1e300};
  Point3 high{-1e300, -1e300, -1e300};
  bool Empty() const { return low.x > high.x; }
  void Take(const Point3& point);
  double LargestSide() const;
};

// A program's path as it can be seen: arcs flattened, and a point left out
// where it lies closer than the tolerance to the last point kept and the
// segment keeps its style. The drawing strays from the true path by no more
// than the tolerance.
//
// Memory stays bounded: when more than `pointCap` points are kept, the
// tolerance doubles and feeds that differ by a growing ratio count as one
// style, and the points are thinned again in place.
class PathPolyline {
 public:
  struct Options {
    double tolerance = 0.005;         // mm: half the coordinate unit, finer than any screen
    double relativeTolerance = 0;     // of the largest side of the path's box, when larger
    std::size_t pointCap = 1 << 20;  // 20 MB of points
  };

  explicit PathPolyline(Options options);

  // Motion frames extend the path; feed frames are ignored.
  void Add(const ToolpathMove& move);
  // Keeps the last point seen. Call once after the last Add.
  void Finish();

  const std::vector<PathPoint>& Points() const { return points_; }
  const Box3& Bounds() const { return bounds_; }
  double Tolerance() const { return tolerance_; }

 private:
  void Take(const PathPoint& point);
  void Keep(const PathPoint& point);
  bool SameStyle(const PathPoint& a, const PathPoint& b) const;
  void Coarsen();

  Options options_;
  double tolerance_;
  int coarsening_ = 0;
  std::vector<PathPoint> points_;
  std::size_t kept_ = 0;
  std::optional<PathPoint> pending_;  // the last point seen, left out so far
  std::vector<Point3> flattened_;
  Box3 bounds_;
};

}  // namespace h33
