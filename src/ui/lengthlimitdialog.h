#pragma once

#include <QDialog>

class QLineEdit;

namespace h33 {

class Dialogs;

// Asks once per split procedure for the largest tape size in bytes.
class TLengthLimit : public QDialog {
  Q_OBJECT

 public:
  TLengthLimit(Dialogs& dialogs, QWidget* parent = nullptr);

  // The entered size less 200 bytes; valid after the dialog closed with OK.
  long LimitValue() const { return limitValue_; }
  QLineEdit* Length() const { return length_; }

 public slots:
  void OKButtonClick();
  void ButtonCancelClick();

 private:
  Dialogs& dialogs_;
  QLineEdit* length_;
  long limitValue_ = 0;
};

}  // namespace h33
