#pragma once

#include <QDialog>

class QLineEdit;

namespace h33 {

class Dialogs;

// Asks once per split procedure for the largest tape size in bytes.
class TapeLengthDialog : public QDialog {
  Q_OBJECT

 public:
  TapeLengthDialog(Dialogs& dialogs, QWidget* parent = nullptr);

  // The entered size less 200 bytes; valid after the dialog closed with OK.
  long Limit() const { return limit_; }
  QLineEdit* LengthField() const { return lengthField_; }

 public slots:
  void AcceptLength();

 private:
  Dialogs& dialogs_;
  QLineEdit* lengthField_;
  long limit_ = 0;
};

}  // namespace h33
