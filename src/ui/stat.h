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
class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  QPlainTextEdit* FileInfo;
  QLineEdit* Time;
  QLineEdit* Dist;
  QLineEdit* NumKadrs;
  QLineEdit* Minfeed;
  QLineEdit* Maxfeed;
  QLineEdit* NumLine;
  QLineEdit* NumCircle;
  QTableWidget* StringGrid1;
  QLabel* Type;
  QPushButton* ButtonView;

  // The files the statistics describe, for the view window; the run command
  // names them before it shows the statistics.
  void SetPlotSources(const PlotSources& sources);

 public slots:
  void Button1Click();
  void ButtonViewClick();

 private:
  PlotSources plotSources_;
  QPointer<TPlotWindow> plotWindow_;
};

}  // namespace h33
