// The run button: checks the selected file, asks for the output name and
// starts the method of the selected tab.

#include "runcommand.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTabBar>

#include "dialogs.h"
#include "main.h"
#include "textformat.h"
#include "timecount.h"
#include "timemessage.h"

namespace h33 {

QString AskOutputFileName(QWidget* parent, const QString& lastName) {
  QFileDialog dialog(parent, "Сохранить УП файл как ....", lastName,
                     "ptp files (*.ptp);;up files (*.up);;All files (*)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("up");
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!lastName.isEmpty()) dialog.selectFile(lastName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void TMainDialog::BitBtnCorrectH33Click() {
  const QString input = InputFileName();
  if (input.isEmpty()) {
    dialogs_.Message("Выберите файл 'УЧПУ H33' для осуществления корректировки");
    return;
  }
  const std::string inputName = input.toStdString();
  const int acceleration = ReadFieldNumber(AField->text());
  if (TabControlMain->currentIndex() == 2) {
    const auto seconds = TTimeCounter(inputName, acceleration).CountTime();
    if (seconds) dialogs_.Ask(DialogKind::Confirmation, TimeMessage(*seconds), {Button::Ok});
  }
  RefreshFileList();
}

}  // namespace h33
