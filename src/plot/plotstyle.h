#pragma once

#include <QColor>
#include <QFont>
#include <QPen>

#include "picture/toolpath.h"

namespace h33 {

// Feeds as colours: slow red through yellow and green to fast blue, on a
// logarithmic scale between the picture's lowest and highest feed, so that
// the slow-downs stand out. A stop (feed 0) is black.
class FeedColours {
 public:
  static constexpr int kSteps = 64;

  FeedColours(int lowest, int highest);

  // 0 to kSteps − 1 from slow to fast; −1 for a stop.
  int Step(int feed) const;
  QColor OfStep(int step) const;
  QColor Of(int feed) const { return OfStep(Step(feed)); }
  int Lowest() const { return lowest_; }
  int Highest() const { return highest_; }

 private:
  int lowest_;
  int highest_;
  double logLowest_;
  double logSpan_;
};

inline const QColor kRapidColour{130, 130, 130};

// Rapid moves dashed and grey, straight moves thin, arcs thick.
QPen MovePen(MoveKind kind, const QColor& colour);

// The sans serif the pictures label with, in pixels.
QFont PlotFont(int pixelSize);

}  // namespace h33
