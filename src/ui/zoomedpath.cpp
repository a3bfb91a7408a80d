#include "ui/zoomedpath.h"

#include "plot/toolpathpainter.h"

namespace h33 {
namespace {

// A path thinned to this many pixels still looks as drawn exactly; past it
// the window is read again.
constexpr double kFinestShown = 2 * kUnseenPixels;

PlaneWindow WindowOf(Plane plane, const PlotViewport& viewport, const QRectF& area) {
  const QPointF topLeft = viewport.ToWorld(area.topLeft());
  const QPointF bottomRight = viewport.ToWorld(area.bottomRight());
  return {plane, topLeft.x(), bottomRight.y(), bottomRight.x(), topLeft.y()};
}

bool Inside(const PlaneWindow& inner, const PlaneWindow& outer) {
  return inner.plane == outer.plane && inner.left >= outer.left && inner.right <= outer.right &&
         inner.bottom >= outer.bottom && inner.top <= outer.top;
}

}  // namespace

bool ZoomedPath::Covers(Plane plane, const PlotViewport& viewport, const QRectF& area) const {
  return path_ && viewport.scale * path_->Tolerance() <= kFinestShown &&
         Inside(WindowOf(plane, viewport, area), window_);
}

const PathPolyline* ZoomedPath::For(const ProgramPicture& picture, Plane plane,
                                    const PlotViewport& viewport, const QRectF& area) {
  if (viewport.scale * picture.path.Tolerance() <= kFinestShown) {
    path_.reset();
    return nullptr;
  }
  if (Covers(plane, viewport, area)) return &*path_;
  PathPolyline::Options options;
  options.tolerance = kUnseenPixels / viewport.scale;
  options.window = WindowOf(plane, viewport, area.adjusted(-area.width(), -area.height(),
                                                           area.width(), area.height()));
  path_ = ReadPathAgain(picture, options);
  window_ = *options.window;
  return path_ ? &*path_ : nullptr;
}

}  // namespace h33
