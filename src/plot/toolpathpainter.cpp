#include "plot/toolpathpainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>

#include "plot/changemarkpainter.h"
#include "plot/plotaxes.h"
#include "plot/plotstyle.h"

namespace h33 {
namespace {

constexpr double kFitMargin = 24;           // pixels around the fitted path
constexpr double kLegendWidth = 170;
constexpr double kLegendHeight = 132;
constexpr std::size_t kBatch = 2048;        // segments per drawing call
// Segments in view drawn smooth: more fill the picture anyway, and smooth
// edges would only cost time.
constexpr std::size_t kSmoothBelow = 200000;
constexpr double kSamePixel = 0.5;

std::pair<float PathPoint::*, float PathPoint::*> PointAxes(Plane plane) {
  switch (plane) {
    case Plane::XZ: return {&PathPoint::x, &PathPoint::z};
    case Plane::YZ: return {&PathPoint::y, &PathPoint::z};
    case Plane::XY: break;
  }
  return {&PathPoint::x, &PathPoint::y};
}

QPointF Pixel(const ToolpathScene& scene, const PathPoint& point) {
  const auto [first, second] = PointAxes(scene.plane);
  return scene.viewport.ToPixels(point.*first, point.*second);
}

bool SegmentMeets(const QPointF& a, const QPointF& b, const QRectF& area) {
  return std::max(a.x(), b.x()) >= area.left() && std::min(a.x(), b.x()) <= area.right() &&
         std::max(a.y(), b.y()) >= area.top() && std::min(a.y(), b.y()) <= area.bottom();
}

// Pens by move kind and colour step; the step −1 (a stop) comes first.
class PenTable {
 public:
  static constexpr std::size_t kKeys = 3 * (FeedColours::kSteps + 1);

  explicit PenTable(const FeedColours& colours) {
    for (std::size_t kind = 0; kind < 3; ++kind) {
      for (int step = -1; step < FeedColours::kSteps; ++step) {
        pens_[kind][static_cast<std::size_t>(step + 1)] =
            MovePen(static_cast<MoveKind>(kind), colours.OfStep(step));
      }
    }
  }
  static int Key(const PathPoint& point, const FeedColours& colours) {
    return static_cast<int>(point.Kind()) * (FeedColours::kSteps + 1) + colours.Step(point.Feed()) + 1;
  }
  const QPen& Of(int key) const {
    const auto kind = static_cast<std::size_t>(key / (FeedColours::kSteps + 1));
    return pens_[kind][static_cast<std::size_t>(key % (FeedColours::kSteps + 1))];
  }

 private:
  std::array<std::array<QPen, FeedColours::kSteps + 1>, 3> pens_;
};

FeedColours ColoursOf(const ProgramPicture& picture) {
  return FeedColours(picture.lowestFeed, picture.highestFeed);
}

const PathPolyline& DrawnPath(const ToolpathScene& scene) {
  return scene.zoomedPath ? *scene.zoomedPath : scene.picture->path;
}

// Where the program starts: the path's reference for every increment.
void PaintStart(QPainter& painter, const ToolpathScene& scene) {
  const auto& points = scene.picture->path.Points();
  if (points.empty()) return;
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::white);
  painter.drawEllipse(Pixel(scene, points.front()), 4, 4);
}

void PaintSelection(QPainter& painter, const ToolpathScene& scene) {
  if (!scene.selectedMove) return;
  std::vector<Point3> points{scene.selectedMove->start};
  FlattenMove(*scene.selectedMove, kUnseenPixels / scene.viewport.scale, points);
  QPolygonF frame;
  for (const Point3& point : points) {
    frame << scene.viewport.ToPixels(FirstAxis(point, scene.plane), SecondAxis(point, scene.plane));
  }
  painter.setPen(QPen(QColor(255, 0, 255, 160), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(frame);
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(frame.back(), 5, 5);
}

void PaintLegend(QPainter& painter, const QRectF& area, const FeedColours& colours) {
  const double width = kLegendWidth;
  const QRectF box(area.right() - width - 8, area.top() + 8, width, kLegendHeight);
  painter.setPen(QPen(QColor(160, 160, 160), 1));
  painter.setBrush(QColor(255, 255, 255, 225));
  painter.drawRect(box);
  painter.setFont(PlotFont(11));
  painter.setPen(Qt::black);
  const double left = box.left() + 8;
  painter.drawText(QPointF(left, box.top() + 15), "Подача, мм/мин");

  const QRectF bar(left, box.top() + 22, width - 16, 10);
  QLinearGradient ramp(bar.topLeft(), bar.topRight());
  for (int step = 0; step < FeedColours::kSteps; step += 7) {
    ramp.setColorAt(static_cast<double>(step) / (FeedColours::kSteps - 1), colours.OfStep(step));
  }
  ramp.setColorAt(1, colours.OfStep(FeedColours::kSteps - 1));
  painter.fillRect(bar, ramp);
  painter.drawText(QPointF(left, bar.bottom() + 13), QString::number(colours.Lowest()));
  const QString highest = QString::number(colours.Highest());
  painter.drawText(QPointF(bar.right() - painter.fontMetrics().horizontalAdvance(highest),
                           bar.bottom() + 13),
                   highest);

  const std::array<std::pair<MoveKind, const char*>, 3> kinds{
      {{MoveKind::kLinear, "прямая (G01)"},
       {MoveKind::kCircular, "дуга (G02/G03)"},
       {MoveKind::kRapid, "холостой ход (G00)"}}};
  double y = bar.bottom() + 32;
  for (const auto& [kind, name] : kinds) {
    painter.setPen(MovePen(kind, colours.OfStep(FeedColours::kSteps / 2)));
    painter.drawLine(QPointF(left, y - 4), QPointF(left + 28, y - 4));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(left + 36, y), QString::fromUtf8(name));
    y += 18;
  }
  painter.setPen(QPen(QColor(255, 0, 255, 160), 6, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(left, y - 4), QPointF(left + 28, y - 4));
  painter.setPen(Qt::black);
  painter.drawText(QPointF(left + 36, y), "выбранный кадр");
}

void PaintMarks(QPainter& painter, const QRectF& area, const ToolpathScene& scene) {
  PaintChangeMarks(painter, area, scene.picture->marks, [&scene](const ChangeMark& mark) {
    return scene.viewport.ToPixels(FirstAxis(mark.at, scene.plane), SecondAxis(mark.at, scene.plane));
  });
}

void PaintAxes(QPainter& painter, const QRectF& area, const ToolpathScene& scene) {
  static constexpr std::array<const char*, 3> kNames{"XY", "XZ", "YZ"};
  const std::string_view names = kNames[static_cast<std::size_t>(scene.plane)];
  const QPointF corner(area.left() + 16, area.bottom() - 16);
  painter.setPen(QPen(Qt::black, 1.2));
  painter.drawLine(corner, corner + QPointF(36, 0));
  painter.drawLine(corner, corner - QPointF(0, 36));
  painter.setFont(PlotFont(12));
  painter.drawText(corner + QPointF(40, 4), QString(QChar(names[0])));
  painter.drawText(corner - QPointF(4, 40), QString(QChar(names[1])));

  // A scale bar of a round length near 100 pixels.
  const double length = NiceStep(100 / scene.viewport.scale);
  const double pixels = length * scene.viewport.scale;
  const QPointF start(area.right() - 16 - pixels, area.bottom() - 16);
  painter.drawLine(start, start + QPointF(pixels, 0));
  painter.drawLine(start - QPointF(0, 4), start + QPointF(0, 4));
  painter.drawLine(start + QPointF(pixels, -4), start + QPointF(pixels, 4));
  painter.setFont(PlotFont(11));
  painter.drawText(QRectF(start.x(), start.y() - 20, pixels, 16), Qt::AlignCenter,
                   AxisLabel(length, length) + " мм");
}

}  // namespace

PlotViewport FitToolpath(const ProgramPicture& picture, Plane plane, const QRectF& area) {
  // The legend keeps a band of its own on the right.
  const QRectF room = area.adjusted(0, 0, -(kLegendWidth + 8), 0);
  return PlotViewport::Fit(PlaneBounds(picture.path.Bounds(), plane), room, kFitMargin);
}

void PaintPath(QPainter& painter, const QRectF& area, const ToolpathScene& scene) {
  if (!scene.picture) return;
  const auto& points = DrawnPath(scene).Points();
  if (points.empty()) return;
  const QRectF visible = area.adjusted(-4, -4, 4, 4);
  std::size_t inView = 0;
  QPointF from = Pixel(scene, points.front());
  for (std::size_t i = 1; i < points.size() && inView < kSmoothBelow; ++i) {
    const QPointF to = Pixel(scene, points[i]);
    if (!points[i].Gap() && SegmentMeets(from, to, visible)) ++inView;
    from = to;
  }
  const bool smooth = inView < kSmoothBelow;
  const FeedColours colours = ColoursOf(*scene.picture);
  const PenTable pens(colours);
  painter.setRenderHint(QPainter::Antialiasing, smooth);
  painter.setBrush(Qt::NoBrush);

  // Segments gathered by pen and drawn a batch at a time: a pen change per
  // segment would cost more than the drawing.
  std::vector<std::vector<QLineF>> batches(PenTable::kKeys);
  const auto flush = [&](std::size_t key) {
    painter.setPen(pens.Of(static_cast<int>(key)));
    painter.drawLines(batches[key].data(), static_cast<int>(batches[key].size()));
    batches[key].clear();
  };
  QPointF last = Pixel(scene, points.front());
  for (std::size_t i = 1; i < points.size(); ++i) {
    const QPointF current = Pixel(scene, points[i]);
    if (points[i].Gap() || !SegmentMeets(last, current, visible)) {
      last = current;
      continue;
    }
    // A segment within one pixel adds nothing but time; the next one starts
    // where the last drawn one ended.
    const QPointF step = current - last;
    if (std::fabs(step.x()) < kSamePixel && std::fabs(step.y()) < kSamePixel) continue;
    const auto key = static_cast<std::size_t>(PenTable::Key(points[i], colours));
    batches[key].emplace_back(last, current);
    if (batches[key].size() >= kBatch) flush(key);
    last = current;
  }
  for (std::size_t key = 0; key < batches.size(); ++key) {
    if (!batches[key].empty()) flush(key);
  }
}

void PaintPathOverlay(QPainter& painter, const QRectF& area, const ToolpathScene& scene) {
  if (!scene.picture) return;
  painter.setRenderHint(QPainter::Antialiasing, true);
  PaintStart(painter, scene);
  PaintMarks(painter, area, scene);
  PaintSelection(painter, scene);
  PaintLegend(painter, area, ColoursOf(*scene.picture));
  // Under the feed legend.
  PaintChangeMarkLegend(painter, QPointF(area.right() - kLegendWidth - 8, area.top() + 16 + kLegendHeight),
                        kLegendWidth, scene.picture->marks);
  PaintAxes(painter, area, scene);
}

void PaintToolpath(QPainter& painter, const QRectF& area, const ToolpathScene& scene,
                   const QString& title) {
  painter.fillRect(area, Qt::white);
  PaintPath(painter, area, scene);
  PaintPathOverlay(painter, area, scene);
  if (!title.isEmpty()) {
    painter.setPen(Qt::black);
    painter.setFont(PlotFont(13));
    painter.drawText(area.adjusted(10, 6, -180, 0), Qt::AlignLeft | Qt::AlignTop, title);
  }
}

std::uint32_t FrameNear(const ToolpathScene& scene, const QPointF& pixel, double radius) {
  if (!scene.picture) return 0;
  const auto& points = DrawnPath(scene).Points();
  // Compared in mm, so that millions of points need no transformation.
  const QPointF target = scene.viewport.ToWorld(pixel);
  const double reach = radius / scene.viewport.scale;
  const auto [first, second] = PointAxes(scene.plane);
  std::uint32_t nearest = 0;
  double best = reach * reach;
  QPointF a;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const QPointF b(points[i].*first, points[i].*second);
    if (i == 0 || points[i].Gap()) a = b;
    const bool near = std::max(a.x(), b.x()) >= target.x() - reach &&
                      std::min(a.x(), b.x()) <= target.x() + reach &&
                      std::max(a.y(), b.y()) >= target.y() - reach &&
                      std::min(a.y(), b.y()) <= target.y() + reach;
    if (near) {
      const QPointF ab = b - a;
      const double square = QPointF::dotProduct(ab, ab);
      const double t =
          square > 0 ? std::clamp(QPointF::dotProduct(target - a, ab) / square, 0.0, 1.0) : 0;
      const QPointF off = a + t * ab - target;
      const double distance = QPointF::dotProduct(off, off);
      if (distance <= best) {
        best = distance;
        nearest = points[i].line;
      }
    }
    a = b;
  }
  return nearest;
}

}  // namespace h33
