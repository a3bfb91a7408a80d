#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLineEdit;

namespace h33 {

class Dialogs;

// Asks, for every cut, for the full name of the file that takes the rest of
// the tape.
class SecondPartNameDialog : public QDialog {
  Q_OBJECT

 public:
  SecondPartNameDialog(Dialogs& dialogs, QWidget* parent = nullptr);

  QString EnteredName() const;
  QLineEdit* NameField() const { return nameField_; }

  // The save-file dialog behind "Browse..."; an empty answer means cancelled.
  // Tests replace it.
  std::function<QString()> browseDialog;

 public slots:
  void AcceptName();
  void BrowseForName();

 private:
  Dialogs& dialogs_;
  QLineEdit* nameField_;
};

}  // namespace h33
