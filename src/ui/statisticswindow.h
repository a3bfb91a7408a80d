#pragma once

#include <QDialog>
#include <QPointer>

#include "ui/plotwindow.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace h33 {

// Statistics of one program after a run. It computes nothing: the run
// command sets every value and shows it; "Ok" or the close box hide it.
class StatisticsWindow : public QDialog {
  Q_OBJECT

 public:
  explicit StatisticsWindow(QWidget* parent = nullptr);

  QPlainTextEdit* fileDetails;
  QLineEdit* runMinutes;
  QLineEdit* pathLength;
  QLineEdit* frameCount;
  QLineEdit* lowestFeed;
  QLineEdit* highestFeed;
  QLineEdit* linearMoves;
  QLineEdit* circularMoves;
  QTableWidget* extentsTable;
  QLabel* programType;
  QPushButton* viewButton;

  // The files the statistics describe, for the view window; the run command
  // names them before it shows the statistics.
  void SetPlotSources(const PlotSources& sources);

 public slots:
  void ViewProgram();

 private:
  PlotSources plotSources_;
  QPointer<PlotWindow> plotWindow_;
};

}  // namespace h33
