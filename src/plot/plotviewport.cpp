#include "plot/plotviewport.h"

#include <algorithm>

namespace h33 {
namespace {

constexpr double kLeastSide = 1;  // mm: a dot or a straight line still gets a scale

}  // namespace

PlotViewport PlotViewport::Fit(const QRectF& world, const QRectF& pixels, double margin) {
  const double width = std::max(world.width(), kLeastSide);
  const double height = std::max(world.height(), kLeastSide);
  const double roomX = std::max(1.0, pixels.width() - 2 * margin);
  const double roomY = std::max(1.0, pixels.height() - 2 * margin);
  PlotViewport viewport;
  viewport.scale = std::min(roomX / width, roomY / height);
  const QPointF centre = pixels.center();
  viewport.originX = centre.x() - world.center().x() * viewport.scale;
  viewport.originY = centre.y() + world.center().y() * viewport.scale;
  return viewport;
}

void PlotViewport::ZoomAt(const QPointF& pixel, double factor) {
  const QPointF world = ToWorld(pixel);
  scale *= factor;
  originX = pixel.x() - world.x() * scale;
  originY = pixel.y() + world.y() * scale;
}

QRectF PlaneBounds(const Box3& box, Plane plane) {
  if (box.Empty()) return {};
  const double left = FirstAxis(box.low, plane);
  const double bottom = SecondAxis(box.low, plane);
  return {left, bottom, FirstAxis(box.high, plane) - left, SecondAxis(box.high, plane) - bottom};
}

}  // namespace h33
