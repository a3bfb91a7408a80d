#include "plot/plotstyle.h"

#include <algorithm>
#include <cmath>

namespace h33 {
namespace {

constexpr double kSlowHue = 0;    // red
constexpr double kFastHue = 240;  // blue

}  // namespace

FeedColours::FeedColours(int lowest, int highest)
    : lowest_(std::max(1, lowest)),
      highest_(std::max(std::max(1, lowest), highest)),
      logLowest_(std::log(lowest_)),
      logSpan_(std::log(highest_) - logLowest_) {}

int FeedColours::Step(int feed) const {
  if (feed <= 0) return -1;
  if (logSpan_ <= 0) return kSteps - 1;
  const double share = (std::log(feed) - logLowest_) / logSpan_;
  return std::clamp(static_cast<int>(share * (kSteps - 1) + 0.5), 0, kSteps - 1);
}

QColor FeedColours::OfStep(int step) const {
  if (step < 0) return Qt::black;
  const double hue = kSlowHue + (kFastHue - kSlowHue) * step / (kSteps - 1);
  // Yellow and green are too light on white at full value.
  return QColor::fromHsvF(static_cast<float>(hue / 360), 0.9f, hue > 40 && hue < 170 ? 0.75f : 0.9f);
}

QPen MovePen(MoveKind kind, const QColor& colour) {
  QPen pen(colour);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  switch (kind) {
    case MoveKind::kRapid:
      pen.setColor(kRapidColour);
      pen.setWidthF(1);
      pen.setStyle(Qt::DashLine);
      break;
    case MoveKind::kCircular: pen.setWidthF(2.5); break;
    default: pen.setWidthF(1.2); break;
  }
  return pen;
}

QFont PlotFont(int pixelSize) {
  QFont font("DejaVu Sans");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelSize);
  return font;
}

}  // namespace h33
