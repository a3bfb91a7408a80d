#pragma once

#include <QRectF>

#include <optional>

#include "picture/programpicture.h"
#include "plot/plotviewport.h"

namespace h33 {

// What a zoomed-in toolpath view draws where the picture's own path would
// show its thinning: the window in view, with as much again around it for
// panning, read again from the program's file at the zoom's tolerance.
class ZoomedPath {
 public:
  // The path to draw over `area`; null when the picture's own will do, or
  // its file cannot be read again.
  const PathPolyline* For(const ProgramPicture& picture, Plane plane, const PlotViewport& viewport,
                          const QRectF& area);
  void Reset() { path_.reset(); }

 private:
  std::optional<PathPolyline> path_;
  PlaneWindow window_;
  double readScale_ = 0;  // the viewport's scale it was read for
};

}  // namespace h33
