#include "plot/profilepainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "plot/changemarkpainter.h"
#include "plot/plotaxes.h"
#include "plot/plotstyle.h"

namespace h33 {
namespace {

const QColor kOutputColour{190, 20, 20};
// Light and wide, drawn first: the output shows on top where they agree.
const QColor kInputColour{150, 185, 225};
const QColor kSelectionColour{255, 0, 255, 160};
constexpr double kHeadroom = 1.1;
// The legend's rows above the plot: as many as the compare mode has.
constexpr double kLegendTop = 4;
constexpr double kLegendRow = 16;
constexpr double kLegendRows = 2;
constexpr double kMarksBelowTop = 8;  // pixels: in the headroom, clear of the curves

// The lowest and highest feed in force within one pixel column.
struct Column {
  float low = std::numeric_limits<float>::max();
  float high = std::numeric_limits<float>::lowest();
  bool Any() const { return low <= high; }
};

std::vector<Column> Columns(const FeedProfile& profile, double from, double to, int width) {
  std::vector<Column> columns(static_cast<std::size_t>(std::max(width, 0)));
  const auto& samples = profile.Samples();
  if (samples.empty() || width <= 0 || !(to > from)) return columns;
  const double perPixel = width / (to - from);
  for (auto i = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, profile.SampleAt(from)));
       i < samples.size() && samples[i].path <= to; ++i) {
    const double end = i + 1 < samples.size() ? samples[i + 1].path : profile.Length();
    const double x0 = (samples[i].path - from) * perPixel;
    const double x1 = (end - from) * perPixel;
    if (x1 < 0) continue;
    // Clamped before the conversion: zoomed far in, a step's ends lie
    // beyond any int.
    const double right = width - 1;
    const int first = static_cast<int>(std::clamp(std::floor(x0), 0.0, right));
    const int last = static_cast<int>(std::clamp(std::ceil(x1) - 1, static_cast<double>(first), right));
    for (int c = first; c <= last; ++c) {
      Column& column = columns[static_cast<std::size_t>(c)];
      column.low = std::min(column.low, samples[i].low);
      column.high = std::max(column.high, samples[i].high);
    }
  }
  return columns;
}

// A feed above the top, a rapid move's, runs along the plot's top edge.
double FeedToY(const QRectF& plot, double top, double feed) {
  return plot.bottom() - std::min(feed, top) / top * plot.height();
}

// The upper and the lower edge of the columns as steps; they coincide where
// one feed held the whole column.
void PaintCurve(QPainter& painter, const QRectF& plot, const ProfileScene& scene,
                const FeedProfile& profile, const QPen& pen) {
  const auto columns = Columns(profile, scene.from, scene.to, static_cast<int>(plot.width()));
  painter.setPen(pen);
  for (const bool upper : {true, false}) {
    QPolygonF edge;
    for (std::size_t c = 0; c <= columns.size(); ++c) {
      if (c == columns.size() || !columns[c].Any()) {
        if (edge.size() > 1) painter.drawPolyline(edge);
        edge.clear();
        continue;
      }
      const double y = FeedToY(plot, scene.top, upper ? columns[c].high : columns[c].low);
      const double x = plot.left() + static_cast<double>(c);
      edge << QPointF(x, y) << QPointF(x + 1, y);
    }
  }
}

// A stop is a step of no length down to 0: a mark below the axis shows it
// however far the view is zoomed out.
void PaintStops(QPainter& painter, const QRectF& plot, const ProfileScene& scene) {
  const auto columns =
      Columns(*scene.output, scene.from, scene.to, static_cast<int>(plot.width()));
  painter.setPen(Qt::NoPen);
  painter.setBrush(kOutputColour);
  bool previousStop = false;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const bool stop = columns[c].Any() && columns[c].low == 0;
    if (stop && !previousStop) {
      const double x = plot.left() + static_cast<double>(c) + 0.5;
      const QPointF tip(x, plot.bottom() + 2);
      painter.drawPolygon(QPolygonF{tip, tip + QPointF(-4, 7), tip + QPointF(4, 7)});
    }
    previousStop = stop;
  }
}

void PaintAxes(QPainter& painter, const QRectF& plot, const ProfileScene& scene) {
  painter.setFont(PlotFont(11));
  const QPen grid(QColor(225, 225, 225), 1);
  const QPen text(Qt::black);
  const double feedStep = NiceStep(scene.top / 5);
  for (const double feed : Ticks(0, scene.top, feedStep)) {
    const double y = FeedToY(plot, scene.top, feed);
    painter.setPen(grid);
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    painter.setPen(text);
    painter.drawText(QRectF(0, y - 8, plot.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                     AxisLabel(feed, feedStep));
  }
  const double span = scene.to - scene.from;
  const double pathStep = NiceStep(span / std::max(1.0, plot.width() / 110));
  for (const double path : Ticks(scene.from, scene.to, pathStep)) {
    const double x = plot.left() + (path - scene.from) / span * plot.width();
    painter.setPen(grid);
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    painter.setPen(text);
    painter.drawText(QRectF(x - 50, plot.bottom() + 10, 100, 14), Qt::AlignCenter,
                     AxisLabel(path, pathStep));
  }
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);
  painter.drawText(QPointF(4, plot.top() - 8), "мм/мин");
  painter.drawText(QRectF(plot.right() - 200, plot.bottom() + 22, 200, 14),
                   Qt::AlignRight | Qt::AlignVCenter, "путь (сумма хорд), мм");
}

// In the band above the plot, right-aligned, one entry a row: over the
// plot it would hide the curves' ends, which run at the top feed.
void PaintLegend(QPainter& painter, const QRectF& area, const QRectF& plot, const ProfileScene& scene) {
  struct Entry {
    QPen pen;
    const char* name;
  };
  std::vector<Entry> entries;
  if (scene.input) {
    entries.push_back({QPen(kInputColour, 4), "вход: подачи программы"});
    entries.push_back({QPen(kOutputColour, 1.5), "выход: подачи после расчёта торможения"});
  } else {
    entries.push_back({QPen(kOutputColour, 1.5), "подача"});
  }
  painter.setFont(PlotFont(11));
  double width = 0;
  for (const Entry& entry : entries) {
    width = std::max<double>(width, painter.fontMetrics().horizontalAdvance(QString::fromUtf8(entry.name)));
  }
  const double left = plot.right() - width - 32;
  double y = area.top() + kLegendTop + kLegendRow - 4;
  for (const Entry& entry : entries) {
    painter.setPen(entry.pen);
    painter.drawLine(QPointF(left, y - 4), QPointF(left + 24, y - 4));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(left + 32, y), QString::fromUtf8(entry.name));
    y += kLegendRow;
  }
}

}  // namespace

ProfileScene FitProfile(const FeedProfile& output, const FeedProfile* input) {
  ProfileScene scene;
  scene.output = &output;
  scene.input = input;
  scene.to = std::max(output.Length(), input ? input->Length() : 0.0);
  if (scene.to <= 0) scene.to = 1;
  // Scaled to the cuts: a rapid move's feed would press them onto the axis.
  const double highest = std::max(output.HighestCutFeed(), input ? input->HighestCutFeed() : 0.0f);
  scene.top = highest > 0 ? highest * kHeadroom : 100;
  return scene;
}

QRectF ProfilePlotArea(const QRectF& area) {
  return area.adjusted(60, kLegendTop + kLegendRows * kLegendRow + 10, -14, -40);
}

void PaintProfile(QPainter& painter, const QRectF& area, const ProfileScene& scene,
                  const QString& title) {
  painter.fillRect(area, Qt::white);
  if (!scene.output) return;
  const QRectF plot = ProfilePlotArea(area);
  if (plot.width() < 2 || plot.height() < 2) return;
  painter.setRenderHint(QPainter::Antialiasing, false);
  PaintAxes(painter, plot, scene);
  painter.save();
  painter.setClipRect(plot.adjusted(-1, -1, 1, 1));
  if (scene.input) PaintCurve(painter, plot, scene, *scene.input, QPen(kInputColour, 4));
  PaintCurve(painter, plot, scene, *scene.output, QPen(kOutputColour, 1.5));
  if (scene.marks) {
    PaintChangeMarks(painter, plot, *scene.marks, [&](const ChangeMark& mark) {
      return QPointF(plot.left() + (mark.path - scene.from) / (scene.to - scene.from) * plot.width(),
                     plot.top() + kMarksBelowTop);
    });
  }
  if (scene.selectedPath >= scene.from && scene.selectedPath <= scene.to) {
    const double x = plot.left() + (scene.selectedPath - scene.from) / (scene.to - scene.from) * plot.width();
    painter.setPen(QPen(kSelectionColour, 2));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  }
  painter.restore();
  PaintStops(painter, plot, scene);
  PaintLegend(painter, area, plot, scene);
  if (!title.isEmpty()) {
    painter.setPen(Qt::black);
    painter.setFont(PlotFont(13));
    painter.drawText(QRectF(plot.left(), area.top() + 4, plot.width() / 2, 20),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
  }
}

double PathAtPixel(const QRectF& area, const ProfileScene& scene, double x) {
  const QRectF plot = ProfilePlotArea(area);
  const double share = plot.width() > 0 ? (x - plot.left()) / plot.width() : 0;
  return scene.from + std::clamp(share, 0.0, 1.0) * (scene.to - scene.from);
}

}  // namespace h33
