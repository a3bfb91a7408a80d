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

#include "methods/runparameters.h"
#include "methods/timecount.h"

namespace h33 {

// The method tabs, in their order: the tab's index is the method.
enum class MethodTab { kPtpToUp = 0, kUpToUp = 1, kTime = 2 };

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

  QComboBox* driveChoice;
  QTreeView* directoryTree;
  QComboBox* fileFilterChoice;
  QListWidget* fileList;
  QLineEdit* fileNameField;
  QTabBar* methodTabs;
  QComboBox* machineChoice;
  QGroupBox* numberingGroup;
  QRadioButton* h33Numbering;
  QRadioButton* freeNumbering;
  QCheckBox* restoreAfterArc;
  QCheckBox* showStatistics;
  QLineEdit* speedLimitField;
  QLineEdit* feedMaxField;
  QLineEdit* accelerationField;
  QPushButton* runButton;
  QPushButton* helpButton;
  QPushButton* exitButton;
  QMenu* fileMenu;
  QTimer* refreshTimer;

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
  RunParameters CollectRunParameters(const std::filesystem::path& input) const;
  void ShowProgramStatistics(const std::filesystem::path& program, int feedMax, double minutes);

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
