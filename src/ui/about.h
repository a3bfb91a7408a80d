#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace h33 {

// The help window: a short user's guide the user may scribble on (nothing is
// saved) and an OK button.
class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr);
  QPlainTextEdit* Memo1() const { return memo_; }

 public slots:
  void BitBtn1Click();

 private:
  QPlainTextEdit* memo_;
};

}  // namespace h33
