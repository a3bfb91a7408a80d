#pragma once

#include <QRectF>
#include <QString>

#include <vector>

#include "picture/changemarks.h"
#include "picture/feedprofile.h"

class QPainter;

namespace h33 {

// What the feed profile view shows: a program's feed over its path length,
// and in compare mode the feeds of the run's input on the same axes.
struct ProfileScene {
  const FeedProfile* output = nullptr;
  const FeedProfile* input = nullptr;  // none outside compare mode
  double from = 0, to = 0;             // the path shown, mm
  double top = 0;                      // the feed at the top of the plot, mm/min
  double selectedPath = -1;            // a marker there when not negative
  // A correction's changes, marked along the top of the plot; none when null.
  const std::vector<ChangeMark>* marks = nullptr;
};

// The whole path and the feeds of its cuts, with room above the highest;
// rapid moves run along the top.
ProfileScene FitProfile(const FeedProfile& output, const FeedProfile* input);

// Where the curves go inside `area`, leaving room for the axes.
QRectF ProfilePlotArea(const QRectF& area);

// Axes, curves, stop marks, the changes' marks, the selection marker and
// the legend on white.
void PaintProfile(QPainter& painter, const QRectF& area, const ProfileScene& scene,
                  const QString& title);

// The path under a pixel column of `area`.
double PathAtPixel(const QRectF& area, const ProfileScene& scene, double x);

}  // namespace h33
