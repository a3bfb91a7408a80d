#include "ui/windowplacement.h"

#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace h33 {
namespace {

constexpr int kGap = 8;  // pixels between the two frames

}  // namespace

SideBySide PlaceBeside(const QRect& shown, const QSize& wanted, const QSize& least, const QRect& screen) {
  SideBySide placed{shown, {}};
  const auto roomLeft = [&] { return placed.shown.left() - screen.left() - kGap; };
  const auto roomRight = [&] { return screen.right() - placed.shown.right() - kGap; };
  if (std::max(roomLeft(), roomRight()) < least.width()) {
    const bool toLeft = placed.shown.center().x() <= screen.center().x();
    placed.shown.moveLeft(toLeft ? screen.left() : screen.right() + 1 - placed.shown.width());
  }
  const bool right = roomRight() >= roomLeft();
  const int room = std::max(right ? roomRight() : roomLeft(), 0);
  const int width = std::min(wanted.width(), std::max(room, least.width()));
  const int height = std::min(wanted.height(), screen.height());
  const int top = std::clamp(placed.shown.top(), screen.top(), screen.bottom() + 1 - height);
  const int left = right ? placed.shown.right() + 1 + kGap : placed.shown.left() - kGap - width;
  placed.opened = QRect(std::clamp(left, screen.left(), std::max(screen.left(), screen.right() + 1 - width)),
                        top, width, height);
  return placed;
}

QRect PlaceWithin(const QRect& frame, const QRect& screen) {
  const int left = std::clamp(frame.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - frame.width()));
  const int top = std::clamp(frame.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - frame.height()));
  return QRect(QPoint(left, top), frame.size());
}

void MoveWithinScreen(QWidget& window, const QPoint& designed) {
  QScreen* screen = QGuiApplication::screenAt(designed);
  if (screen == nullptr) screen = window.screen();
  // Before it is first shown a window has no frame: its title bar counted in.
  QSize frame = window.frameGeometry().size();
  if (frame == window.size()) frame.rheight() += window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
  window.move(PlaceWithin(QRect(designed, frame), screen->availableGeometry()).topLeft());
}

void MoveBeside(QWidget& window, QWidget& shown) {
  // The window has no frame before it is shown: it will get one like the
  // shown window's.
  const QRect frame = shown.frameGeometry();
  const QRect inside = shown.geometry();
  const QMargins margins(inside.left() - frame.left(), inside.top() - frame.top(),
                         frame.right() - inside.right(), frame.bottom() - inside.bottom());
  const QSize framing(margins.left() + margins.right(), margins.top() + margins.bottom());
  const SideBySide placed = PlaceBeside(frame, window.size() + framing,
                                        window.minimumSizeHint() + framing,
                                        shown.screen()->availableGeometry());
  shown.move(placed.shown.topLeft());
  window.resize(placed.opened.size() - framing);
  window.move(placed.opened.topLeft());
}

}  // namespace h33
