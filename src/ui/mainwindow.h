#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabBar;
class QTimer;
class QTreeView;
class QFileSystemModel;

#include "app/runform.h"
#include "methods/runparameters.h"
#include "methods/timecount.h"

namespace h33 {

class Dialogs;
class StatisticsWindow;
class AboutWindow;
class PlotWindow;

// The main window: the file pane on the left, the method tabs, machine
// presets and parameters on the right, the run button.
class MainWindow : public QWidget {
  Q_OBJECT

 public:
  MainWindow(Dialogs& dialogs, const QString& startDirectory, QWidget* parent = nullptr);

  void SetWindows(StatisticsWindow* statistics, AboutWindow* about) {
    statistics_ = statistics;
    about_ = about;
  }

  // Full path of the selected file; empty while none is selected.
  QString InputFileName() const;
  void SetDirectory(const QString& directory);
  // Selects a file of the folder shown, under the first filter that lists
  // it: the window opened on a program (a file association) starts on it.
  void SelectFile(const QString& name);

  // Asks for the output name, starting from the last one; empty when
  // cancelled. Tests replace it, as they replace the editor start.
  std::function<QString(const QString& start)> saveDialog;
  std::function<void(const QString& path)> startEditor;

 public slots:
  void ApplyStartDefaults();
  void ApplyMachinePreset(int index);
  void EnableParametersOfMethod(int tab);  // a MethodTab's index
  void NormaliseSpeedLimit();
  void NormaliseFeedMax();
  void NormaliseAcceleration();
  void RunSelectedMethod();
  void ShowAboutWindow();
  void ExitProgram();
  void EditSelectedFile();
  void CheckSelectedFileFormat();
  void CheckSelectedFileBraking();
  void DeleteSelectedFile();
  void ViewSelectedFile();
  void RefreshFileList();

 private:
  void BuildFilePane();
  void BuildMethodPane();
  void LoadDrives();
  void OpenDrive(int index);
  void OpenCurrentDirectory();
  void KeepDirectoryInSight(const QString& loaded);
  void ScrollToDirectory();
  void ApplyFileFilter(int index);
  void ShowSelectedFileName();
  void ReadFileList();
  // The file the user picked: a selected row, not the current one.
  int SelectedFileIndex() const;
  void SelectListedFile(const QString& name);
  void ShowFormatVerdict(const std::filesystem::path& name);
  void RunMethod(const QString& input);
  void ReportUncounted(const std::filesystem::path& name, const TimeCount& time);
  std::optional<std::filesystem::path> ChooseOutputFileName(const std::filesystem::path& input);
  QString ProposedOutputName(const std::filesystem::path& input) const;
  RunForm ReadForm() const;
  void ShowForm(const RunForm& form);
  void ShowProgramStatistics(const std::filesystem::path& program, int feedMax, double minutes);

  // The controls are the window's own; tests find them by their object
  // names, which are the member names without the underscore.
  QComboBox* driveChoice_;
  QTreeView* directoryTree_;
  QComboBox* fileFilterChoice_;
  QListWidget* fileList_;
  QLineEdit* fileNameField_;
  QTabBar* methodTabs_;
  QComboBox* machineChoice_;
  QGroupBox* numberingGroup_;
  QRadioButton* h33Numbering_;
  QRadioButton* freeNumbering_;
  QCheckBox* restoreAfterArc_;
  QCheckBox* showStatistics_;
  QLineEdit* speedLimitField_;
  QLineEdit* feedMaxField_;
  QLineEdit* accelerationField_;
  QPushButton* runButton_;
  QPushButton* helpButton_;
  QPushButton* exitButton_;
  QMenu* fileMenu_;
  QTimer* refreshTimer_;
  Dialogs& dialogs_;
  StatisticsWindow* statistics_ = nullptr;
  AboutWindow* about_ = nullptr;
  QFileSystemModel* directoryModel_ = nullptr;
  QTimer* directorySettle_ = nullptr;  // scrolls to the folder once the tree settles
  QString directory_;
  QStringList masks_;
  QString outputFileName_;
  QString lastOutputName_;  // the save dialog opens on the previous run's choice
  std::filesystem::path lastOutputInput_;  // for this input
  QPointer<PlotWindow> plotWindow_;
};

// Qt takes the C library's locale from the environment at start-up; program
// numbers in files and messages keep their decimal point whatever it is.
// Only the statistics window's numbers follow the user's locale.
void KeepNumbersInCLocale();


}  // namespace h33
