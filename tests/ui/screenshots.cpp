// Renders every window of the desktop program to PNG files, filled as after a
// Time run on an example program, and the view once more after an Up->up
// run: h33_screenshots OUTPUT_DIR EXAMPLES_DIR

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QWidget>

#include <iostream>

#include "findchild.h"
#include "ui/aboutwindow.h"
#include "ui/focuscuestyle.h"
#include "ui/mainwindow.h"
#include "ui/plotwindow.h"
#include "ui/programdetails.h"
#include "ui/secondpartnamedialog.h"
#include "ui/statisticswindow.h"
#include "ui/tapelengthdialog.h"
#include "scripteddialogs.h"

namespace {

bool Save(QWidget& window, const QDir& output, const char* name) {
  window.show();
  QApplication::processEvents();
  const QString path = output.filePath(QString(name) + ".png");
  const bool saved = window.grab().save(path);
  std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << '\n';
  window.hide();
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  h33::KeepNumbersInCLocale();
  h33::UseFocusCueStyle();
  if (argc != 3) {
    std::cerr << "usage: h33_screenshots OUTPUT_DIR EXAMPLES_DIR\n";
    return 2;
  }
  // Qt's own reading of the arguments: on Windows from the wide command line.
  const QStringList arguments = QApplication::arguments();
  const QDir output(arguments[1]);
  h33::ScriptedDialogs dialogs;
  h33::MainWindow mainWindow(dialogs, QDir(arguments[2]).absolutePath());
  h33::StatisticsWindow statistics(&mainWindow);
  h33::AboutWindow about(&mainWindow);
  h33::SecondPartNameDialog secondPartNameDialog(dialogs, &mainWindow);
  h33::TapeLengthDialog tapeLengthDialog(dialogs, &mainWindow);
  mainWindow.SetWindows(&statistics, &about);

  const auto items = Find<QListWidget>(mainWindow, "fileList")->findItems("pocket.up", Qt::MatchExactly);
  if (!items.isEmpty()) Find<QListWidget>(mainWindow, "fileList")->setCurrentItem(items.first());
  Find<QTabBar>(mainWindow, "methodTabs")->setCurrentIndex(2);
  Find<QCheckBox>(mainWindow, "showStatistics")->setChecked(true);
  mainWindow.RunSelectedMethod();
  Find<QTabBar>(mainWindow, "methodTabs")->setCurrentIndex(0);

  bool saved = Save(mainWindow, output, "main");
  saved = Save(statistics, output, "statistics") && saved;
  saved = Save(about, output, "about") && saved;
  saved = Save(tapeLengthDialog, output, "tapelength") && saved;
  saved = Save(secondPartNameDialog, output, "secondpartname") && saved;

  statistics.ViewProgram();
  if (auto* view = statistics.findChild<h33::PlotWindow*>()) {
    saved = Save(*view, output, "view") && saved;
  }

  // The pocket corrected into a scratch folder, its changes shown.
  const QTemporaryDir scratch;
  Find<QTabBar>(mainWindow, "methodTabs")->setCurrentIndex(1);
  mainWindow.saveDialog = [&scratch](const QString&) { return scratch.filePath("pocket-corrected.up"); };
  mainWindow.RunSelectedMethod();
  statistics.ViewProgram();
  if (auto* view = statistics.findChild<h33::PlotWindow*>()) {
    view->details->setCurrentIndex(1);
    saved = Save(*view, output, "view-correction") && saved;
  }
  return saved ? 0 : 1;
}
