#pragma once

#include <QPointF>
#include <QRectF>

#include "picture/pathpolyline.h"

namespace h33 {

// Millimetres in a plane's two axes to pixels, the second axis pointing up.
struct PlotViewport {
  double scale = 1;                 // pixels per mm
  double originX = 0, originY = 0;  // where the world's (0, 0) stands, in pixels

  QPointF ToPixels(double first, double second) const {
    return {originX + first * scale, originY - second * scale};
  }
  QPointF ToWorld(const QPointF& pixel) const {
    return {(pixel.x() - originX) / scale, (originY - pixel.y()) / scale};
  }

  // The world rectangle centred in the pixel rectangle with `margin` pixels
  // around it; a path of no extent gets a scale of its own.
  static PlotViewport Fit(const QRectF& world, const QRectF& pixels, double margin);
  // Scales by `factor` about a pixel, which keeps its world point.
  void ZoomAt(const QPointF& pixel, double factor);
  void Pan(const QPointF& delta) {
    originX += delta.x();
    originY += delta.y();
  }
};

// The path's box seen in a plane: x the first axis, y the second.
QRectF PlaneBounds(const Box3& box, Plane plane);

}  // namespace h33
