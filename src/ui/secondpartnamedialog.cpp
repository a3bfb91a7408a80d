#include "ui/secondpartnamedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/splitchecks.h"

namespace h33 {
namespace {

// A new name is what is asked for: the dialog takes one that does not exist
// yet; whether an existing one may be replaced is asked on OK.
QString AskSavePath(QWidget* parent, const QString& start) {
  QFileDialog dialog(parent, "Задайте путь и имя файла", start, "All files (*)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("up");
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return QDir::toNativeSeparators(QFileInfo(dialog.selectedFiles().first()).absoluteFilePath());
}

}  // namespace

SecondPartNameDialog::SecondPartNameDialog(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), nameField_(new QLineEdit(this)) {
  setWindowTitle("Разбивка");
  setObjectName("SecondPartNameDialog");
  browseDialog = [this](const QString& start) { return AskSavePath(this, start); };

  auto* layout = new QVBoxLayout(this);
  const char* explanation[] = {
      "Файл  управляющей программы будет разбит на  две части.",
      "Первая часть будет иметь то же имя, что и исходная программа,",
      "а ее размер не будет превышать заданной величины.",
      "Во вторую часть будет помещен остаток ленты, который вы тоже",
      "сможете разбить на части, если это необходимо.",
  };
  for (const char* line : explanation) layout->addWidget(new QLabel(line, this));
  layout->addWidget(new QLabel("Введите полное имя 2-й части разделяемого файла:", this));

  auto* browse = new QPushButton("Browse...", this);
  auto* ok = new QPushButton("OK", this);
  nameField_->setObjectName("nameField");
  browse->setObjectName("browseButton");
  ok->setObjectName("okButton");
  // Enter in the field presses OK; Browse only when clicked.
  ok->setDefault(true);
  browse->setAutoDefault(false);
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(nameField_);
  nameRow->addWidget(browse);
  layout->addLayout(nameRow);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  buttonRow->addWidget(ok);
  buttonRow->addStretch();
  layout->addLayout(buttonRow);
  setTabOrder(nameField_, ok);
  setTabOrder(ok, browse);

  connect(ok, &QPushButton::clicked, this, &SecondPartNameDialog::AcceptName);
  connect(browse, &QPushButton::clicked, this, &SecondPartNameDialog::BrowseForName);
}

void SecondPartNameDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  nameField_->setFocus();
}

QString SecondPartNameDialog::EnteredName() const {
  const QString typed = nameField_->text();
  if (typed.isEmpty() || folder_.isEmpty() || !QFileInfo(typed).isRelative()) return typed;
  return QDir::toNativeSeparators(QDir(folder_).filePath(typed));
}

void SecondPartNameDialog::AcceptName() {
  if (CheckSecondPartName(EnteredName().toStdString(), dialogs_)) accept();
}

// Cancelled, it leaves what was typed.
void SecondPartNameDialog::BrowseForName() {
  const QString typed = EnteredName();
  const QString chosen = browseDialog(typed.isEmpty() ? folder_ : typed);
  if (!chosen.isEmpty()) nameField_->setText(chosen);
}

}  // namespace h33
