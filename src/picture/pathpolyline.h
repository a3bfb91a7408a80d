#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "picture/fingerprintset.h"
#include "picture/toolpath.h"

namespace h33 {

// One point of the drawn path, with the style of the segment that ends here.
struct PathPoint {
  float x = 0, y = 0, z = 0;
  std::uint32_t line = 0;   // the frame whose segment ends here
  std::uint32_t style = 0;  // feed (mm/min, saturated at 2^29 − 1) × 8 + gap × 4 + MoveKind

  int Feed() const { return static_cast<int>(style >> 3); }
  MoveKind Kind() const { return static_cast<MoveKind>(style & 3u); }
  // The path goes on from here without a segment from the point before:
  // what lay between is drawn elsewhere already, or outside the window read.
  bool Gap() const { return (style & 4u) != 0; }
};

// A rectangle of a plane's projection, mm: the part of the path a zoomed-in
// view shows.
struct PlaneWindow {
  Plane plane = Plane::XY;
  double left = 0, bottom = 0, right = 0, top = 0;
};

struct Box3 {
  Point3 low{1e300, 1e300, 1e300};
  Point3 high{-1e300, -1e300, -1e300};
  bool Empty() const { return low.x > high.x; }
  void Take(const Point3& point);
  double LargestSide() const;
};

// A program's path as it can be seen: arcs flattened, a point left out where
// it lies closer than the tolerance to the last point kept and the segment
// keeps its style, and a segment left out where one of its style joins the
// same points within the tolerance already: a contour run a thousand times
// is kept once. The drawing strays from the true path by no more than about
// the tolerance.
//
// Memory stays bounded: when more than `pointCap` points are kept, the
// tolerance doubles, feeds that differ by a growing ratio count as one
// style, a stretch that stays within the tolerance of its chord keeps its
// ends only, and the points are thinned again in place.
class PathPolyline {
 public:
  struct Options {
    double tolerance = 0.005;         // mm: half the coordinate unit
    double relativeTolerance = 0;     // of the largest side of the path's box, when larger
    std::size_t pointCap = 1 << 20;  // 20 MB of points
    // Only the segments seen in the window are kept; the rest of the path
    // becomes gaps.
    std::optional<PlaneWindow> window;
  };

  explicit PathPolyline(Options options);

  // Motion frames extend the path; feed frames are ignored.
  void Add(const ToolpathMove& move);
  // Keeps the last point seen and lets go of what only the thinning needs.
  // Call once after the last Add.
  void Finish();

  const std::vector<PathPoint>& Points() const { return points_; }
  // The box of the moves' ends and of the arcs drawn: of an arc outside the
  // window, only its ends.
  const Box3& Bounds() const { return bounds_; }
  double Tolerance() const { return tolerance_; }

 private:
  void Take(const PathPoint& point);
  bool LeavesOut(const PathPoint& point) const;
  void LeaveOut(const PathPoint& point);
  void SettlePending();
  void Settle(const PathPoint& point);
  void Jump(const PathPoint& point);
  void Keep(const PathPoint& point);
  bool SameStyle(const PathPoint& a, const PathPoint& b) const;
  bool Hidden(const PathPoint& a, const PathPoint& b) const;
  std::uint64_t StyleClass(const PathPoint& point) const;
  std::uint64_t SegmentFingerprint(const PathPoint& a, const PathPoint& b) const;
  std::uint64_t ArcFingerprint(const ToolpathMove& move) const;
  bool NewArc(const ToolpathMove& move);
  void MakeRoom();
  void Coarsen();

  Options options_;
  double tolerance_;
  int coarsening_ = 0;
  std::vector<PathPoint> points_;
  std::size_t kept_ = 0;
  // Where the next segment starts, and whether it is the last point kept or
  // the end of segments left out.
  std::optional<PathPoint> anchor_;
  bool anchorKept_ = false;
  std::optional<PathPoint> pending_;  // the last point seen, left out so far
  std::vector<PathPoint> stretch_;    // once coarsened: all points left out since the anchor
  FingerprintSet segments_;           // the segments kept
  FingerprintSet arcs_;               // the arcs flattened
  std::vector<Point3> flattened_;
  Box3 bounds_;
};

}  // namespace h33
