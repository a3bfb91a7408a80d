#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
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

 public slots:
  void Button1Click();
};

}  // namespace h33
