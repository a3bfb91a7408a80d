#include "ui/zoomedpath.h"

#include <QCursor>
#include <QGuiApplication>

#include "plot/toolpathpainter.h"

namespace h33 {
namespace {

// A path thinned to this many pixels still looks as drawn exactly; past it
// the window is read again.
constexpr double kFinestShown = 2 * kUnseenPixels;
// Read finer than the zoom needs, a window serves the next few steps of
// zoom as well: reading a large program again takes seconds.
constexpr double kFinerThanNeeded = 4;
constexpr double kZoomServed = kFinestShown / kUnseenPixels * kFinerThanNeeded;

PlaneWindow WindowOf(Plane plane, const PlotViewport& viewport, const QRectF& area) {
  const QPointF topLeft = viewport.ToWorld(area.topLeft());
  const QPointF bottomRight = viewport.ToWorld(area.bottomRight());
  return {plane, topLeft.x(), bottomRight.y(), bottomRight.x(), topLeft.y()};
}

bool Inside(const PlaneWindow& inner, const PlaneWindow& outer) {
  return inner.plane == outer.plane && inner.left >= outer.left && inner.right <= outer.right &&
         inner.bottom >= outer.bottom && inner.top <= outer.top;
}

bool Holds(const PlaneWindow& window, const QRectF& box) {
  return window.left <= box.left() && window.right >= box.right() && window.bottom <= box.top() &&
         window.top >= box.bottom();
}

}  // namespace

const PathPolyline* ZoomedPath::For(const ProgramPicture& picture, Plane plane,
                                    const PlotViewport& viewport, const QRectF& area) {
  const PlaneWindow around = WindowOf(
      plane, viewport, area.adjusted(-area.width(), -area.height(), area.width(), area.height()));
  // The picture's own path will do where its thinning does not show, and
  // where the window holds all of it: read again, it could be no finer.
  if (viewport.scale * picture.path.Tolerance() <= kFinestShown ||
      Holds(around, PlaneBounds(picture.path.Bounds(), plane))) {
    path_.reset();
    return nullptr;
  }
  if (path_ && viewport.scale <= readScale_ * kZoomServed &&
      Inside(WindowOf(plane, viewport, area), window_)) {
    return &*path_;
  }
  PathPolyline::Options options;
  options.tolerance = kUnseenPixels / (viewport.scale * kFinerThanNeeded);
  options.window = around;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  path_ = ReadPathAgain(picture, options);
  QGuiApplication::restoreOverrideCursor();
  window_ = around;
  readScale_ = viewport.scale;
  return path_ ? &*path_ : nullptr;
}

}  // namespace h33
