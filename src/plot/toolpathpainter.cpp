#include "toolpathpainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>

#include "plotaxes.h"
#include "plotstyle.h"

namespace h33 {
namespace {

constexpr double kFitMargin = 24;           // pixels around the fitted path
constexpr double kLegendWidth = 170;
constexpr std::size_t kLongestRun = 4096;   // points per polyline call
constexpr std::size_t kAntialiasBelow = 200000;
constexpr double kSamePixel = 0.35;

QPointF Pixel(const ToolpathScene& scene, const PathPoint& point) {
  const Point3 at{point.x, point.y, point.z};
  return scene.viewport.ToPixels(FirstAxis(at, scene.plane), SecondAxis(at, scene.plane));
}

bool SegmentMeets(const QPointF& a, const QPointF& b, const QRectF& area) {
  return std::max(a.x(), b.x()) >= area.left() && std::min(a.x(), b.x()) <= area.right() &&
         std::max(a.y(), b.y()) >= area.top() && std::min(a.y(), b.y()) <= area.bottom();
}

// Pens by move kind and colour step; the step −1 (a stop) comes first.
class PenTable {
 public:
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

// Indices of the points that end the frame's segments: [first, last].
std::pair<std::size_t, std::size_t> FramePoints(const std::vector<PathPoint>& points,
                                                std::uint32_t line) {
  const auto first = std::lower_bound(points.begin(), points.end(), line,
                                      [](const PathPoint& p, std::uint32_t l) { return p.line < l; });
  if (first == points.end()) return {points.size(), points.size()};
  auto last = std::upper_bound(first, points.end(), line,
                               [](std::uint32_t l, const PathPoint& p) { return l < p.line; });
  // Thinned away: the segment that now covers the frame ends at `first`.
  if (last == first) ++last;
  return {static_cast<std::size_t>(first - points.begin()),
          static_cast<std::size_t>(last - points.begin()) - 1};
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
  const auto& points = scene.picture->path.Points();
  if (scene.selectedLine == 0 || points.empty()) return;
  const auto [first, last] = FramePoints(points, scene.selectedLine);
  if (first >= points.size()) return;
  QPolygonF frame;
  for (std::size_t i = first > 0 ? first - 1 : 0; i <= last; ++i) frame << Pixel(scene, points[i]);
  painter.setPen(QPen(QColor(255, 0, 255, 160), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(frame);
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(frame.back(), 5, 5);
}

void PaintLegend(QPainter& painter, const QRectF& area, const FeedColours& colours) {
  const double width = kLegendWidth;
  const QRectF box(area.right() - width - 8, area.top() + 8, width, 132);
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
  const auto& points = scene.picture->path.Points();
  if (points.empty()) return;
  const FeedColours colours = ColoursOf(*scene.picture);
  const PenTable pens(colours);
  painter.setRenderHint(QPainter::Antialiasing, points.size() < kAntialiasBelow);
  painter.setBrush(Qt::NoBrush);
  const QRectF visible = area.adjusted(-4, -4, 4, 4);

  QPolygonF run;
  int runKey = -1;
  const auto flush = [&] {
    if (run.size() >= 2) {
      painter.setPen(pens.Of(runKey));
      painter.drawPolyline(run);
    }
    run.clear();
  };
  QPointF previous = Pixel(scene, points.front());
  for (std::size_t i = 1; i < points.size(); ++i) {
    const QPointF current = Pixel(scene, points[i]);
    const int key = PenTable::Key(points[i], colours);
    if (!SegmentMeets(previous, current, visible)) {
      flush();
      previous = current;
      continue;
    }
    if (key != runKey || run.size() >= static_cast<qsizetype>(kLongestRun)) {
      flush();
      runKey = key;
    }
    if (run.isEmpty()) run << previous;
    const QPointF step = current - run.back();
    // Points that fall on one pixel add nothing but time.
    if (std::fabs(step.x()) >= kSamePixel || std::fabs(step.y()) >= kSamePixel) run << current;
    previous = current;
  }
  if (run.size() == 1) run << previous;
  flush();
}

void PaintPathOverlay(QPainter& painter, const QRectF& area, const ToolpathScene& scene) {
  if (!scene.picture) return;
  painter.setRenderHint(QPainter::Antialiasing, true);
  PaintStart(painter, scene);
  PaintSelection(painter, scene);
  PaintLegend(painter, area, ColoursOf(*scene.picture));
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
  const auto& points = scene.picture->path.Points();
  std::uint32_t nearest = 0;
  double best = radius * radius;
  const QRectF reach(pixel.x() - radius, pixel.y() - radius, 2 * radius, 2 * radius);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const QPointF b = Pixel(scene, points[i]);
    const QPointF a = i > 0 ? Pixel(scene, points[i - 1]) : b;
    if (!SegmentMeets(a, b, reach)) continue;
    const QPointF ab = b - a;
    const double square = QPointF::dotProduct(ab, ab);
    const double t = square > 0 ? std::clamp(QPointF::dotProduct(pixel - a, ab) / square, 0.0, 1.0) : 0;
    const QPointF off = a + t * ab - pixel;
    const double distance = QPointF::dotProduct(off, off);
    if (distance <= best) {
      best = distance;
      nearest = points[i].line;
    }
  }
  return nearest;
}

}  // namespace h33
