#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace h33 {

// Two windows' frames side by side on one screen.
struct SideBySide {
  QRect shown;   // the window on the screen already: where it stays or goes
  QRect opened;  // the window that opens beside it
};

// Where a window of `wanted` frame size, no narrower than `least`, opens
// beside the `shown` frame within `screen`: on the side with more room, as
// wide as that room allows. When neither side has room for `least`, the
// shown window moves to its nearer edge first. On a screen too small for
// both they overlap as little as it allows.
SideBySide PlaceBeside(const QRect& shown, const QSize& wanted, const QSize& least, const QRect& screen);

// The frame of `frame`'s size nearest to it that lies within `screen`: a
// window opens where it was designed to where the screen has room for it,
// and is pushed inside where not. A screen smaller than the frame keeps its
// top-left corner (title bar and menus) in sight.
QRect PlaceWithin(const QRect& frame, const QRect& screen);

// Moves `window` to `designed` (its top-left corner), or as near to it as the
// available area of the screen there allows.
void MoveWithinScreen(QWidget& window, const QPoint& designed);

// Sizes and places `window`, not shown yet, beside `shown` on its screen,
// moving `shown` when it must: a window that stays on top then hides no
// part of it.
void MoveBeside(QWidget& window, QWidget& shown);

}  // namespace h33
