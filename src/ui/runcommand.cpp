// The run button: checks the selected file, asks for the output name and
// starts the method of the selected tab.

#include "runcommand.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTableWidget>

#include "dialogs.h"
#include "fileinfo.h"
#include "main.h"
#include "runinput.h"
#include "stat.h"
#include "statisticsview.h"
#include "textformat.h"
#include "timecount.h"
#include "timemessage.h"

namespace h33 {
namespace {

enum Method { kPtpToUp = 0, kUpToUp = 1, kTime = 2 };

std::string Text(const char* format, const std::string& name) { return Sprintf(format, name.c_str()); }

}  // namespace

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
  if (!CheckRunInput(inputName, dialogs_)) return;
  const int feedMax = ReadFieldNumber(FeedMaxField->text());
  const int acceleration = ReadFieldNumber(AField->text());
  outputFileName_.clear();

  const int method = TabControlMain->currentIndex();
  double minutes = 0;
  if (method == kTime) {
    outputFileName_ = input;
    const auto seconds = TTimeCounter(inputName, acceleration).CountTime();
    if (!seconds) {
      dialogs_.CaptionedBox(Text("Невозможно открыть файл:\n %s \n на 'чтение' ", inputName),
                            "Проверка программы на формат H33 - > ошибка ...");
      return;
    }
    dialogs_.Ask(DialogKind::Confirmation, TimeMessage(*seconds), {Button::Ok});
    minutes = double{*seconds} / 60;
  }

  if (CheckBoxStat->isChecked()) {
    if (method == kPtpToUp) return;
    ShowStatistics(outputFileName_.toStdString(), feedMax, minutes);
  }
  RefreshFileList();
}

void TMainDialog::ShowStatistics(const std::string& program, int feedMax, double minutes) {
  ProgramStatistics statistics;
  if (GetFileInformation(program, feedMax, statistics) != 0 || !statistics_) return;
  const StatisticsView view =
      MakeStatisticsView(statistics, minutes, QString(QLocale().decimalPoint()).toStdString());
  TForm2& window = *statistics_;
  window.Type->setText(QString::fromUtf8(kH33Type.data(), kH33Type.size()));
  window.Type->adjustSize();
  window.FileInfo->clear();
  window.FileInfo->setPlainText(QString::fromStdString(view.fileInfo));
  window.Time->setText(QString::fromStdString(view.time));
  window.Dist->setText(QString::fromStdString(view.distance));
  window.NumKadrs->setText(QString::fromStdString(view.frames));
  window.Minfeed->setText(QString::fromStdString(view.minFeed));
  window.Maxfeed->setText(QString::fromStdString(view.maxFeed));
  window.NumLine->setText(QString::fromStdString(view.linearMoves));
  window.NumCircle->setText(QString::fromStdString(view.circularMoves));
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      window.StringGrid1->setItem(row, column,
                                  new QTableWidgetItem(QString::fromStdString(view.extents[row][column])));
    }
  }
  window.show();
  window.raise();
}

}  // namespace h33
