// The run button: checks the selected file, asks for the output name and
// starts the method of the selected tab.

#include "ui/runcommand.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTableWidget>

#include <filesystem>
#include <optional>
#include <iostream>

#include "app/gcodetape.h"
#include "app/runform.h"
#include "app/runinput.h"
#include "app/statisticsview.h"
#include "format/bytesource.h"
#include "format/fileinfo.h"
#include "format/outputfile.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "methods/dialogs.h"
#include "methods/messages.h"
#include "methods/ptp_to_up.h"
#include "methods/runparameters.h"
#include "methods/timecount.h"
#include "methods/timemessage.h"
#include "methods/uptoup.h"
#include "ui/actionguard.h"
#include "ui/busycursor.h"
#include "ui/mainwindow.h"
#include "ui/qtpath.h"
#include "ui/statisticswindow.h"

namespace h33 {
namespace {

std::string Text(const char* format, const std::filesystem::path& name) {
  return Sprintf(format, PathText(name).c_str());
}

// The statistics describe the output; the input of a conversion or
// correction is drawn beside it in the view's compare mode.
PlotSources RunPlotSources(const QString& program, const QString& input, MethodTab method,
                           const MachineLimits& machine) {
  PlotSources sources;
  sources.program = program;
  sources.machine = machine;
  if (method != MethodTab::kTime) {
    sources.input = input;
    if (method == MethodTab::kPtpToUp) sources.inputUnits = FeedUnits::kMmPerMinute;
  }
  return sources;
}

}  // namespace

QString AskOutputFileName(QWidget* parent, const QString& start) {
  QFileDialog dialog(parent, "Сохранить УП файл как ....", start,
                     "ptp files (*.ptp);;up files (*.up);;All files (*)");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix("up");
  // Both methods write an H33 program: under the ptp filter the Windows
  // dialog would append .ptp to a name typed with .up, and hide the .up
  // files a new name could clash with.
  dialog.selectNameFilter("up files (*.up)");
  if (!start.endsWith('/')) dialog.selectFile(start);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

std::optional<std::filesystem::path> MainWindow::ChooseOutputFileName(
    const std::filesystem::path& input) {
  const QString chosen = QDir::toNativeSeparators(saveDialog(ProposedOutputName(input)));
  if (chosen.isEmpty()) return std::nullopt;
  lastOutputName_ = chosen;
  lastOutputInput_ = input;
  outputFileName_ = chosen;
  const std::filesystem::path output = ToPath(chosen);
  // Not only the same text: any name that designates the input file.
  if (output == input || DesignateSameFile(output, input)) {
    dialogs_.Ask(DialogKind::Error,
                 Text(kOutputIsInputText, input),
                 {Button::Yes});
    return std::nullopt;
  }
  return output;
}

// The previous run's choice for the same input; for another input a name
// made from it, in its folder ("деталь-ФП17.up" for деталь.ptp on the ФП-17),
// so that Enter cannot replace the program the previous run wrote.
QString MainWindow::ProposedOutputName(const std::filesystem::path& input) const {
  if (!lastOutputName_.isEmpty() && lastOutputInput_ == input) return lastOutputName_;
  QString machine = machineChoice_->currentText();
  machine.remove('-');
  const QFileInfo file(QString::fromStdU16String(input.u16string()));
  return QDir::toNativeSeparators(file.dir().filePath(file.completeBaseName() + '-' + machine + ".up"));
}

void MainWindow::RunSelectedMethod() {
  const QString input = InputFileName();
  if (input.isEmpty()) {
    dialogs_.Message("Выберите файл 'УЧПУ H33' для осуществления корректировки");
    return;
  }
  RunGuarded(dialogs_, [this, &input] { RunMethod(input); });
}

void MainWindow::RunMethod(const QString& input) {
  const std::filesystem::path inputName = ToPath(input);
  RunParameters parameters = RunParametersOf(ReadForm(), inputName);
  outputFileName_.clear();

  const auto method = static_cast<MethodTab>(methodTabs_->currentIndex());
  double minutes = 0;
  std::optional<BusyCursor> busy;
  if (WritesProgram(method)) {
    // G-code is checked on tape, once it is imported.
    const bool gcode = method == MethodTab::kPtpToUp && IsGcodeInput(inputName);
    if (!gcode && !CheckRunInput(inputName, dialogs_)) return;
    // A feed code has four digits: a run that would need more is refused
    // before anything is asked or written.
    if (!CheckConversionParameters(parameters, dialogs_)) return;
    const auto output = ChooseOutputFileName(inputName);
    if (!output) return;
    busy.emplace();
    parameters.outputFile = *output;
    if (method == MethodTab::kPtpToUp) {
      if (gcode) {
        ConvertGcode(parameters, inputName, *output, ImportOptions{},
                     ArcChoice::kChordsWhereQuadrantsCannotBrake, dialogs_,
                     CompensationChoice::kAskTheUser);
      } else {
        PtpToUp(parameters, parameters.inputFile, parameters.outputFile, dialogs_);
      }
    } else {
      UpToUpCorrection correction(inputName, *output, parameters.machine, dialogs_);
      const CorrectionStatus status = correction.Run();
      // The braking messages also go to standard output, for a console.
      if (status == CorrectionStatus::kBrakingFailed) {
        std::cout << correction.BrakingReport() << std::flush;
      }
      if (status != CorrectionStatus::kCorrected) {
        dialogs_.Ask(DialogKind::Error,
                     Text(kRunFailedText, inputName),
                     {Button::Yes});
        return;
      }
      const TimeCount time = correction.WrittenTime();
      if (time.status != TimeCountStatus::kCounted) return ReportUncounted(*output, time);
      minutes = double{time.seconds} / 60;
      // The time is the written program's: named by it, as the command does.
      dialogs_.Ask(DialogKind::Information,
                   Sprintf(kWrittenProgramTimeText, PathText(*output).c_str(), minutes),
                   {Button::Yes});
    }
  } else {
    busy.emplace();
    const std::optional<TimeCount> time =
        CheckAndCountTime(inputName, parameters.machine.acceleration_mm_s2, dialogs_);
    if (!time) return;
    outputFileName_ = input;
    if (time->status != TimeCountStatus::kCounted) return ReportUncounted(inputName, *time);
    dialogs_.Ask(DialogKind::Confirmation, TimeMessage(time->seconds), {Button::Ok});
    minutes = double{time->seconds} / 60;
  }

  if (showStatistics_->isChecked()) {
    if (method == MethodTab::kPtpToUp) return;
    if (statistics_) statistics_->SetPlotSources(
        RunPlotSources(outputFileName_, input, method, parameters.machine));
    ShowProgramStatistics(ToPath(outputFileName_), parameters.machine.feedMax_mm_min, minutes);
  }
  RefreshFileList();
}

// A file that cannot be opened gets the run command's box; one that fails
// part way, the error box of any action that fails so.
void MainWindow::ReportUncounted(const std::filesystem::path& name, const TimeCount& time) {
  if (time.status == TimeCountStatus::kCannotOpen) {
    ReportUnreadable(name, time.reason, dialogs_);
  } else {
    dialogs_.Ask(DialogKind::Error, time.reason, {Button::Ok});
  }
}

void MainWindow::ShowProgramStatistics(const std::filesystem::path& program, int feedMax,
                                 double minutes) {
  const std::optional<ProgramStatistics> statistics = GetFileInformation(program, feedMax);
  if (!statistics || !statistics_) return;
  const StatisticsView view =
      MakeStatisticsView(*statistics, minutes, QString(QLocale().decimalPoint()).toStdString());
  StatisticsWindow& window = *statistics_;
  window.programType->setText(QString::fromUtf8(kH33Type.data(), kH33Type.size()));
  window.programType->adjustSize();
  window.fileDetails->clear();
  window.fileDetails->setPlainText(QString::fromStdString(view.fileInfo));
  window.runMinutes->setText(QString::fromStdString(view.time));
  window.pathLength->setText(QString::fromStdString(view.distance));
  window.frameCount->setText(QString::fromStdString(view.frames));
  window.lowestFeed->setText(QString::fromStdString(view.minFeed));
  window.highestFeed->setText(QString::fromStdString(view.maxFeed));
  window.linearMoves->setText(QString::fromStdString(view.linearMoves));
  window.circularMoves->setText(QString::fromStdString(view.circularMoves));
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      window.extentsTable->setItem(row, column,
                                  new QTableWidgetItem(QString::fromStdString(view.extents[row][column])));
    }
  }
  window.show();
  window.raise();
}

}  // namespace h33
