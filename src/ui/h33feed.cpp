// The desktop program: five windows created in order, then the event loop.

#include <QApplication>
#include <QDir>
#include <QStyle>

#include "format/scratchfiles.h"
#include "ui/aboutwindow.h"
#include "ui/secondpartnamedialog.h"
#include "ui/tapelengthdialog.h"
#include "ui/main.h"
#include "ui/qtdialogs.h"
#include "ui/statisticswindow.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  h33::KeepNumbersInCLocale();
  h33::ScratchFiles::RemoveOnSignals();
  QApplication::setApplicationName("h33feed");
  QApplication::setWindowIcon(application.style()->standardIcon(QStyle::SP_FileDialogContentsView));

  const QString start = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  h33::QtDialogs dialogs(nullptr);
  h33::TMainDialog mainDialog(dialogs, start);
  h33::StatisticsWindow statistics(&mainDialog);
  h33::AboutWindow about(&mainDialog);
  h33::SecondPartNameDialog secondPartNameDialog(dialogs, &mainDialog);
  h33::TapeLengthDialog tapeLengthDialog(dialogs, &mainDialog);
  dialogs.SetSplitDialogs(&tapeLengthDialog, &secondPartNameDialog);
  mainDialog.SetWindows(&statistics, &about);
  mainDialog.show();
  return application.exec();
}
