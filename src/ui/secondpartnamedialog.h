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

  // The folder of the file being cut: a bare name typed is one in it, and
  // "Browse..." opens there.
  void SetFolder(const QString& folder) { folder_ = folder; }
  // The name typed, a bare one in the folder of the file being cut, as the
  // system writes names.
  QString EnteredName() const;
  QLineEdit* NameField() const { return nameField_; }

  // The save-file dialog behind "Browse...", opened on a folder or a name;
  // an empty answer means cancelled. Tests replace it.
  std::function<QString(const QString& start)> browseDialog;

 public slots:
  void AcceptName();
  void BrowseForName();

 protected:
  // Each time it opens, the name is what is typed: after the first cut the
  // focus would stay on OK, and a typed name would be lost.
  void showEvent(QShowEvent* event) override;

 private:
  Dialogs& dialogs_;
  QLineEdit* nameField_;
  QString folder_;
};

}  // namespace h33
