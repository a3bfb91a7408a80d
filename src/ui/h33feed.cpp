// The desktop program: five windows created in order, then the event loop.

#include <QApplication>
#include <QDir>
#include <QIcon>

#include "format/scratchfiles.h"
#include "ui/aboutwindow.h"
#include "ui/focuscuestyle.h"
#include "ui/mainwindow.h"
#include "ui/qtdialogs.h"
#include "ui/qttranslations.h"
#include "ui/secondpartnamedialog.h"
#include "ui/statisticswindow.h"
#include "ui/tapelengthdialog.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  h33::KeepNumbersInCLocale();
  h33::ScratchFiles::RemoveOnSignals();
  h33::LoadQtTranslations();
  h33::UseFocusCueStyle();
  QApplication::setApplicationName("h33feed");
  // The desktop matches the window to its menu entry by this name; the icon is
  // the entry's, built in so that a window run from the build tree shows it too.
  QApplication::setDesktopFileName("h33feed");
  QApplication::setWindowIcon(QIcon(":/h33feed.svg"));

  const QString start = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  h33::QtDialogs dialogs(nullptr);
  h33::MainWindow mainWindow(dialogs, start);
  h33::StatisticsWindow statistics(&mainWindow);
  h33::AboutWindow about(&mainWindow);
  h33::SecondPartNameDialog secondPartNameDialog(dialogs, &mainWindow);
  h33::TapeLengthDialog tapeLengthDialog(dialogs, &mainWindow);
  dialogs.SetSplitDialogs(&tapeLengthDialog, &secondPartNameDialog);
  mainWindow.SetWindows(&statistics, &about);
  mainWindow.show();
  return application.exec();
}
