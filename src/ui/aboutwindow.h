#pragma once

#include <QDialog>

namespace h33 {

// The help window: a short user's guide the user may scribble on (nothing is
// saved) and an OK button.
class AboutWindow : public QDialog {
  Q_OBJECT

 public:
  explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace h33
