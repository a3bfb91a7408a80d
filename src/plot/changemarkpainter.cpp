#include "plot/changemarkpainter.h"

#include <QPainter>
#include <QPolygonF>

#include <array>
#include <cmath>

#include "plot/plotstyle.h"

namespace h33 {
namespace {

constexpr double kSize = 5;  // pixels from a symbol's centre to its edge
constexpr std::size_t kKinds = 5;
constexpr double kLegendRow = 18;

struct MarkStyle {
  QColor colour;
  const char* name;
};

const std::array<MarkStyle, kKinds>& Styles() {
  static const std::array<MarkStyle, kKinds> styles{{
      {QColor(230, 120, 0), "подача снижена"},
      {QColor(0, 150, 60), "подача повышена"},
      {QColor(30, 60, 220), "вставлен кадр на стыке"},
      {Qt::black, "вставлен останов"},
      {QColor(120, 120, 120), "удалён кадр"},
  }};
  return styles;
}

const MarkStyle& StyleOf(ChangeMarkKind kind) { return Styles()[static_cast<std::size_t>(kind)]; }

void PaintSymbol(QPainter& painter, ChangeMarkKind kind, const QPointF& c) {
  const QColor colour = StyleOf(kind).colour;
  painter.setPen(QPen(kind == ChangeMarkKind::kStop ? Qt::white : Qt::black, 0.8));
  painter.setBrush(colour);
  switch (kind) {
    case ChangeMarkKind::kFeedLowered:
      painter.drawPolygon(
          QPolygonF{c + QPointF(-kSize, -kSize), c + QPointF(kSize, -kSize), c + QPointF(0, kSize)});
      break;
    case ChangeMarkKind::kFeedRaised:
      painter.drawPolygon(
          QPolygonF{c + QPointF(-kSize, kSize), c + QPointF(kSize, kSize), c + QPointF(0, -kSize)});
      break;
    case ChangeMarkKind::kJunction:
      painter.drawPolygon(QPolygonF{c + QPointF(0, -kSize), c + QPointF(kSize, 0), c + QPointF(0, kSize),
                                    c + QPointF(-kSize, 0)});
      break;
    case ChangeMarkKind::kStop:
      painter.drawRect(QRectF(c - QPointF(kSize - 1, kSize - 1), c + QPointF(kSize - 1, kSize - 1)));
      break;
    case ChangeMarkKind::kDropped:
      painter.setPen(QPen(colour, 2));
      painter.drawLine(c + QPointF(-kSize, -kSize), c + QPointF(kSize, kSize));
      painter.drawLine(c + QPointF(-kSize, kSize), c + QPointF(kSize, -kSize));
      break;
  }
}

}  // namespace

void PaintChangeMarks(QPainter& painter, const QRectF& area, const std::vector<ChangeMark>& marks,
                      const std::function<QPointF(const ChangeMark&)>& pixel) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  std::array<QPointF, kKinds> last;
  std::array<bool, kKinds> any{};
  for (const ChangeMark& mark : marks) {
    const QPointF at = pixel(mark);
    if (!area.contains(at)) continue;
    const auto kind = static_cast<std::size_t>(mark.kind);
    const QPointF moved = at - last[kind];
    if (any[kind] && std::fabs(moved.x()) < 1 && std::fabs(moved.y()) < 1) continue;
    any[kind] = true;
    last[kind] = at;
    PaintSymbol(painter, mark.kind, at);
  }
  painter.restore();
}

double PaintChangeMarkLegend(QPainter& painter, const QPointF& topLeft, double width,
                             const std::vector<ChangeMark>& marks) {
  std::array<bool, kKinds> shown{};
  for (const ChangeMark& mark : marks) shown[static_cast<std::size_t>(mark.kind)] = true;
  int rows = 0;
  for (const bool kind : shown) rows += kind ? 1 : 0;
  if (rows == 0) return 0;
  const double height = 22 + kLegendRow * rows;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(QColor(160, 160, 160), 1));
  painter.setBrush(QColor(255, 255, 255, 225));
  painter.drawRect(QRectF(topLeft, QSizeF(width, height)));
  painter.setFont(PlotFont(11));
  painter.setPen(Qt::black);
  const double left = topLeft.x() + 8;
  painter.drawText(QPointF(left, topLeft.y() + 15), "Изменения коррекции");
  double y = topLeft.y() + 15 + kLegendRow;
  for (std::size_t kind = 0; kind < kKinds; ++kind) {
    if (!shown[kind]) continue;
    PaintSymbol(painter, static_cast<ChangeMarkKind>(kind), QPointF(left + 10, y - 4));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(left + 26, y), QString::fromUtf8(Styles()[kind].name));
    y += kLegendRow;
  }
  painter.restore();
  return height;
}

}  // namespace h33
