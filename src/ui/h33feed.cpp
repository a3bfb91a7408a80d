// The desktop program: five windows created in order, then the event loop.

#include <QApplication>
#include <QDir>
#include <QStyle>

#include "format/scratchfiles.h"
#include "ui/about.h"
#include "ui/fileselect.h"
#include "ui/lengthlimitdialog.h"
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
  h33::TForm5 form5(&mainDialog);
  h33::TFileSelectDialog fileSelectDialog(dialogs, &mainDialog);
  h33::TLengthLimit lengthLimit(dialogs, &mainDialog);
  dialogs.SetSplitDialogs(&lengthLimit, &fileSelectDialog);
  mainDialog.SetWindows(&statistics, &form5);
  mainDialog.show();
  return application.exec();
}
