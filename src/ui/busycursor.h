#pragma once

#include <QApplication>
#include <QCursor>

namespace h33 {

// While a method computes, no window handles events: the cursor says the
// program is busy, and what closed just before (the save dialog) is painted
// away first.
class BusyCursor {
 public:
  BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// A box or dialog shown in the middle of a run waits for the user: the
// ordinary cursor over it, the busy one again after.
class ArrowCursor {
 public:
  ArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
  ArrowCursor(const ArrowCursor&) = delete;
  ArrowCursor& operator=(const ArrowCursor&) = delete;
};

}  // namespace h33
