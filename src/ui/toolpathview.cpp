#include "ui/toolpathview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace h33 {
namespace {

constexpr double kHoverRadius = 6;  // pixels
constexpr int kClickSlack = 4;      // pixels a click may move and stay a click
constexpr int kSettleMs = 150;
constexpr double kWheelStep = 1.25;  // zoom per wheel notch
// Zoom limits against the fitted view: far enough to see a 0.01 mm step on a
// metre-long part, not so far that the scale degenerates.
constexpr double kWidestZoom = 1.0 / 64;
constexpr double kClosestZoom = 1e6;

}  // namespace

ToolpathView::ToolpathView(QWidget* parent) : QWidget(parent), settle_(new QTimer(this)) {
  setMouseTracking(true);
  setMinimumSize(200, 150);
  setCursor(Qt::CrossCursor);
  settle_->setSingleShot(true);
  settle_->setInterval(kSettleMs);
  connect(settle_, &QTimer::timeout, this, &ToolpathView::Invalidate);
}

void ToolpathView::SetPicture(const ProgramPicture* picture, Plane plane) {
  scene_.picture = picture;
  zoomedPath_.Reset();
  scene_.selectedLine = 0;
  scene_.selectedMove.reset();
  SetPlane(plane);
}

void ToolpathView::SetPlane(Plane plane) {
  scene_.plane = plane;
  ZoomToFit();
}

void ToolpathView::ZoomToFit() {
  if (scene_.picture) scene_.viewport = FitToolpath(*scene_.picture, scene_.plane, rect());
  fitScale_ = scene_.viewport.scale;
  fitPending_ = !isVisible();
  Invalidate();
}

void ToolpathView::ZoomAt(const QPointF& pixel, double factor) {
  const double scale = std::clamp(scene_.viewport.scale * factor, fitScale_ * kWidestZoom,
                                  fitScale_ * kClosestZoom);
  scene_.viewport.ZoomAt(pixel, scale / scene_.viewport.scale);
  update();
  settle_->start();
}

void ToolpathView::SelectFrame(std::uint32_t line) {
  scene_.selectedLine = line;
  // Read again: thinning may have left out the frame, a contour run again
  // and again is kept once.
  scene_.selectedMove = scene_.picture ? FindMoveByLine(*scene_.picture, line) : std::nullopt;
  update();
}

void ToolpathView::Invalidate() {
  // Read here, not while painting: when the zoom has settled, and at most once.
  scene_.zoomedPath =
      scene_.picture ? zoomedPath_.For(*scene_.picture, scene_.plane, scene_.viewport, rect()) : nullptr;
  cacheValid_ = false;
  update();
}

void ToolpathView::RenderCache() {
  const qreal ratio = devicePixelRatioF();
  cache_ = QImage((size() * ratio), QImage::Format_ARGB32_Premultiplied);
  cache_.setDevicePixelRatio(ratio);
  cache_.fill(Qt::white);
  QPainter painter(&cache_);
  PaintPath(painter, rect(), scene_);
  cacheViewport_ = scene_.viewport;
  cacheValid_ = true;
}

void ToolpathView::paintEvent(QPaintEvent*) {
  if (!cacheValid_) RenderCache();
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  {
    // The cached image moved and scaled from its viewport to the current one.
    const double factor = scene_.viewport.scale / cacheViewport_.scale;
    painter.save();
    painter.translate(scene_.viewport.originX - cacheViewport_.originX * factor,
                      scene_.viewport.originY - cacheViewport_.originY * factor);
    painter.scale(factor, factor);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QPointF(0, 0), cache_);
    painter.restore();
  }
  PaintPathOverlay(painter, rect(), scene_);
}

void ToolpathView::resizeEvent(QResizeEvent*) {
  if (fitPending_ && isVisible()) {
    ZoomToFit();
  } else {
    Invalidate();
  }
}

void ToolpathView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  dragged_ = false;
  pressedAt_ = event->position().toPoint();
  pressedViewport_ = scene_.viewport;
}

void ToolpathView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (pressed_ && (dragged_ || (at - pressedAt_).manhattanLength() > kClickSlack)) {
    dragged_ = true;
    scene_.viewport = pressedViewport_;
    scene_.viewport.Pan(at - pressedAt_);
    update();
    return;
  }
  Hover(FrameNear(scene_, event->position(), kHoverRadius));
}

void ToolpathView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  if (dragged_) {
    Invalidate();
    return;
  }
  const std::uint32_t line = FrameNear(scene_, event->position(), kHoverRadius);
  if (line == 0) return;
  SelectFrame(line);
  emit FrameClicked(line);
}

void ToolpathView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  ZoomAt(event->position(), std::pow(kWheelStep, notches));
}

void ToolpathView::leaveEvent(QEvent*) { Hover(0); }

void ToolpathView::Hover(std::uint32_t line) {
  if (line == hovered_) return;
  hovered_ = line;
  emit FrameHovered(line);
}

}  // namespace h33
