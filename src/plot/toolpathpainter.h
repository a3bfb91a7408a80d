#pragma once

#include <QPointF>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>

#include "picture/programpicture.h"
#include "plot/plotviewport.h"

class QPainter;

namespace h33 {

// What the toolpath view shows: one program's path projected on a plane.
struct ToolpathScene {
  const ProgramPicture* picture = nullptr;
  // Drawn instead of the picture's path when set: the window a zoomed-in
  // view shows, read again at the tolerance it needs.
  const PathPolyline* zoomedPath = nullptr;
  Plane plane = Plane::XY;
  PlotViewport viewport;
  std::uint32_t selectedLine = 0;  // 0: no frame selected
  // The selected frame whole, as its file has it; none when it moves
  // nothing or could not be read.
  std::optional<ToolpathMove> selectedMove;
};

// Thinning finer than this many pixels cannot be seen.
inline constexpr double kUnseenPixels = 0.25;

// The viewport that shows the whole path in `area`.
PlotViewport FitToolpath(const ProgramPicture& picture, Plane plane, const QRectF& area);

// The path alone, each segment in its move's pen and its feed's colour;
// segments outside `area` are skipped.
void PaintPath(QPainter& painter, const QRectF& area, const ToolpathScene& scene);

// The selected frame drawn over the path, the feed legend, the marks of a
// correction's changes with theirs, the axes of the plane and a scale bar.
void PaintPathOverlay(QPainter& painter, const QRectF& area, const ToolpathScene& scene);

// Both, with a white background and an optional title: a whole picture.
void PaintToolpath(QPainter& painter, const QRectF& area, const ToolpathScene& scene,
                   const QString& title);

// The frame whose drawn segment passes within `radius` pixels of `pixel`,
// the nearest one; 0 for none.
std::uint32_t FrameNear(const ToolpathScene& scene, const QPointF& pixel, double radius);

}  // namespace h33
