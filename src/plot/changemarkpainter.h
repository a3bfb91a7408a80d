#pragma once

#include <QPointF>
#include <QRectF>

#include <functional>
#include <vector>

#include "picture/changemarks.h"

class QPainter;

namespace h33 {

// The marks of a correction's changes, each kind a symbol of its own, shared
// by the toolpath and the feed profile.

// `pixel` gives a mark's place; marks outside `area`, and marks on the pixel
// of the mark of the same kind drawn last, are left out.
void PaintChangeMarks(QPainter& painter, const QRectF& area, const std::vector<ChangeMark>& marks,
                      const std::function<QPointF(const ChangeMark&)>& pixel);

// The symbol and the name of each kind the marks hold, one under another
// from `topLeft`, in a box; its height, 0 for no marks.
double PaintChangeMarkLegend(QPainter& painter, const QPointF& topLeft, double width,
                             const std::vector<ChangeMark>& marks);

}  // namespace h33
