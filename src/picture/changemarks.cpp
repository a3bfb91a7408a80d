#include "picture/changemarks.h"

#include <algorithm>
#include <tuple>

namespace h33 {
namespace {

// Fine enough for a mark, coarse enough to flatten any arc in few points.
constexpr double kMarkTolerance = 0.05;  // mm

}  // namespace

ChangeMarkPlacer::ChangeMarkPlacer(std::vector<ChangeMarkRequest> requests)
    : requests_(std::move(requests)) {
  std::stable_sort(requests_.begin(), requests_.end(), [](const auto& a, const auto& b) {
    return std::tie(a.line, a.after) < std::tie(b.line, b.after);
  });
  if (requests_.size() > kMostMarks) requests_.resize(kMostMarks);
  marks_.reserve(requests_.size());
}

void ChangeMarkPlacer::Place(const ChangeMarkRequest& request, const Point3& at, double path) {
  marks_.push_back({request.kind, request.line, at, path});
}

// The middle point of an arc's flattened points: on the arc itself.
Point3 ChangeMarkPlacer::Middle(const ToolpathMove& move) {
  if (move.kind != MoveKind::kCircular) {
    return {(move.start.x + move.end.x) / 2, (move.start.y + move.end.y) / 2,
            (move.start.z + move.end.z) / 2};
  }
  flattened_.clear();
  FlattenMove(move, kMarkTolerance, flattened_);
  // The points follow the start: the k-th lies k / size of the way along.
  return flattened_[(flattened_.size() - 1) / 2];
}

void ChangeMarkPlacer::Take(const ToolpathMove& move) {
  for (; next_ < requests_.size() && requests_[next_].line <= move.line; ++next_) {
    const ChangeMarkRequest& request = requests_[next_];
    if (request.line < move.line) {
      Place(request, move.start, move.pathStart);
    } else if (request.after || move.kind == MoveKind::kFeed) {
      Place(request, move.end, move.pathEnd);
    } else {
      Place(request, Middle(move), (move.pathStart + move.pathEnd) / 2);
    }
  }
  end_ = move.end;
  pathEnd_ = move.pathEnd;
}

std::vector<ChangeMark> ChangeMarkPlacer::Finish() {
  for (; next_ < requests_.size(); ++next_) Place(requests_[next_], end_, pathEnd_);
  return std::move(marks_);
}

}  // namespace h33
