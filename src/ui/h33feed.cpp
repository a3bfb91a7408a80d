// The desktop program: five windows created in order, then the event loop.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageReader>

#include <cstdio>
#include <cstring>

#include "format/scratchfiles.h"
#include "ui/aboutwindow.h"
#include "ui/focuscuestyle.h"
#include "ui/mainwindow.h"
#include "ui/qtdialogs.h"
#include "ui/qttranslations.h"
#include "ui/secondpartnamedialog.h"
#include "ui/statisticswindow.h"
#include "ui/tapelengthdialog.h"

namespace {

// Without a display Qt ends the process with its own message and a core
// dump's exit code; a user who started the window on a terminal without one
// gets a sentence instead. A platform chosen by the user is left to Qt.
bool HasDisplay(int argc, char** argv) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
  (void)argc;
  (void)argv;
  return true;
#else
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-platform") == 0) return true;
  }
  return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay(argc, argv)) {
    std::fputs("h33feed: окну нужен дисплей, а его нет (DISPLAY и WAYLAND_DISPLAY не заданы); "
               "без окна работает команда h33\n",
               stderr);
    return 1;
  }
  QApplication application(argc, argv);
  h33::KeepNumbersInCLocale();
  h33::ScratchFiles::RemoveOnSignals();
  h33::LoadQtTranslations();
  h33::UseFocusCueStyle();
  QApplication::setApplicationName("h33feed");
  // The desktop matches the window to its menu entry by this name; the icon is
  // the entry's, built in so that a window run from the build tree shows it too.
  QApplication::setDesktopFileName("h33feed");
  // A Qt without SVG (the Windows build) draws the icon from its picture.
  const bool svg = QImageReader::supportedImageFormats().contains("svg");
  QApplication::setWindowIcon(QIcon(svg ? ":/h33feed.svg" : ":/h33feed.png"));

  // Qt's own arguments decoded, on Windows from the wide command line: a
  // folder with Cyrillic letters stays itself whatever the code page.
  const QStringList arguments = QApplication::arguments();
  // A folder, or a program the window is opened on (a file association).
  const QFileInfo start(arguments.size() > 1 ? arguments[1] : QDir::currentPath());
  h33::QtDialogs dialogs(nullptr);
  h33::MainWindow mainWindow(dialogs, start.isFile() ? start.absolutePath() : start.filePath());
  dialogs.SetParent(&mainWindow);
  if (start.isFile()) mainWindow.SelectFile(start.fileName());
  h33::StatisticsWindow statistics(&mainWindow);
  h33::AboutWindow about(&mainWindow);
  h33::SecondPartNameDialog secondPartNameDialog(dialogs, &mainWindow);
  h33::TapeLengthDialog tapeLengthDialog(dialogs, &mainWindow);
  dialogs.SetSplitDialogs(&tapeLengthDialog, &secondPartNameDialog);
  mainWindow.SetWindows(&statistics, &about);
  mainWindow.show();
  return application.exec();
}
