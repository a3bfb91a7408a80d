#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/toolpath.h"

namespace h33 {

// What happened to a frame of the drawn program, when it is the correction
// of another.
enum class ChangeMarkKind : std::uint8_t {
  kFeedLowered,
  kFeedRaised,
  kJunction,  // a feed frame inserted before a corner
  kStop,      // an F0000 frame inserted
  kDropped,   // a frame of the other program left out here
};

// A frame to mark, by its line in the drawn program; `after` marks the
// point the program has reached after that line instead of the frame
// itself (where a dropped frame stood).
struct ChangeMarkRequest {
  std::uint32_t line = 0;
  ChangeMarkKind kind = ChangeMarkKind::kFeedLowered;
  bool after = false;
};

// A mark where it lies: the middle of a move, or the point of a frame
// without motion, and its place on the path length.
struct ChangeMark {
  ChangeMarkKind kind = ChangeMarkKind::kFeedLowered;
  std::uint32_t line = 0;
  Point3 at;
  double path = 0;  // mm of chord length from the start
};

// Places marks on a program's moves as they are read, in one pass.
class ChangeMarkPlacer {
 public:
  // Marks past kMostMarks are left out: the pictures could not tell them
  // apart, and memory stays bounded.
  static constexpr std::size_t kMostMarks = 100000;

  explicit ChangeMarkPlacer(std::vector<ChangeMarkRequest> requests);

  void Take(const ToolpathMove& move);
  // The marks, those after the last move at the path's end.
  std::vector<ChangeMark> Finish();

 private:
  void Place(const ChangeMarkRequest& request, const Point3& at, double path);
  Point3 Middle(const ToolpathMove& move);

  std::vector<ChangeMarkRequest> requests_;
  std::size_t next_ = 0;
  std::vector<ChangeMark> marks_;
  Point3 end_;
  double pathEnd_ = 0;
  std::vector<Point3> flattened_;
};

}  // namespace h33
