#include "ui/feedprofileview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace h33 {
namespace {

constexpr double kNarrowestSpan = 0.1;  // mm
constexpr int kClickSlack = 4;
constexpr double kWheelStep = 1.25;

}  // namespace

FeedProfileView::FeedProfileView(QWidget* parent) : QWidget(parent) {
  setMinimumSize(200, 120);
  setCursor(Qt::CrossCursor);
}

void FeedProfileView::SetProfiles(const FeedProfile* output, const FeedProfile* input) {
  scene_ = output ? FitProfile(*output, input) : ProfileScene{};
  length_ = std::max(scene_.to, kNarrowestSpan);
  update();
}

void FeedProfileView::SetMarks(const std::vector<ChangeMark>* marks) {
  scene_.marks = marks;
  update();
}

void FeedProfileView::ZoomToFit() { Show(0, length_); }

// Keeps the span within the path and no narrower than kNarrowestSpan.
void FeedProfileView::Show(double from, double to) {
  const double span = std::clamp(to - from, kNarrowestSpan, length_);
  scene_.from = std::clamp(from, 0.0, length_ - span);
  scene_.to = scene_.from + span;
  update();
}

void FeedProfileView::ZoomAt(double x, double factor) {
  const double at = PathAtPixel(rect(), scene_, x);
  const double span = (scene_.to - scene_.from) / factor;
  const QRectF plot = ProfilePlotArea(rect());
  const double share = plot.width() > 0 ? std::clamp((x - plot.left()) / plot.width(), 0.0, 1.0) : 0;
  Show(at - share * span, at - share * span + span);
}

void FeedProfileView::SelectPath(double path) {
  scene_.selectedPath = path;
  update();
}

void FeedProfileView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintProfile(painter, rect(), scene_, {});
}

void FeedProfileView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  dragged_ = false;
  pressedAt_ = event->position().toPoint();
  pressedFrom_ = scene_.from;
}

void FeedProfileView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (!pressed_ || (!dragged_ && (at - pressedAt_).manhattanLength() <= kClickSlack)) return;
  dragged_ = true;
  const double perPixel = (scene_.to - scene_.from) / std::max(1.0, ProfilePlotArea(rect()).width());
  const double from = pressedFrom_ - (at.x() - pressedAt_.x()) * perPixel;
  Show(from, from + (scene_.to - scene_.from));
}

void FeedProfileView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  if (dragged_ || !scene_.output) return;
  const double path = PathAtPixel(rect(), scene_, event->position().x());
  SelectPath(path);
  emit PathClicked(path);
}

void FeedProfileView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches != 0) ZoomAt(event->position().x(), std::pow(kWheelStep, notches));
}

}  // namespace h33
