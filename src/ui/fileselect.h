#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLineEdit;

namespace h33 {

class Dialogs;

// Asks, for every cut, for the full name of the file that takes the rest of
// the tape.
class TFileSelectDialog : public QDialog {
  Q_OBJECT

 public:
  TFileSelectDialog(Dialogs& dialogs, QWidget* parent = nullptr);

  QString FileNameText() const;
  QLineEdit* FileName() const { return fileName_; }

  // The save-file dialog behind "Browse..."; an empty answer means cancelled.
  // Tests replace it.
  std::function<QString()> browseDialog;

 public slots:
  void OKButtonClick();
  void BrowseClick();

 private:
  Dialogs& dialogs_;
  QLineEdit* fileName_;
};

}  // namespace h33
