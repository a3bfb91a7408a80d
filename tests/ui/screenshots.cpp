// Renders every window of the desktop program to PNG files, filled as after a
// Time run on an example program: h33_screenshots OUTPUT_DIR EXAMPLES_DIR

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QTabBar>
#include <QWidget>

#include <iostream>

#include "ui/aboutwindow.h"
#include "ui/secondpartnamedialog.h"
#include "ui/tapelengthdialog.h"
#include "ui/main.h"
#include "ui/plotwindow.h"
#include "ui/statisticswindow.h"
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
  if (argc != 3) {
    std::cerr << "usage: h33_screenshots OUTPUT_DIR EXAMPLES_DIR\n";
    return 2;
  }
  const QDir output(QString::fromLocal8Bit(argv[1]));
  h33::ScriptedDialogs dialogs;
  h33::TMainDialog mainDialog(dialogs, QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
  h33::StatisticsWindow statistics(&mainDialog);
  h33::AboutWindow about(&mainDialog);
  h33::SecondPartNameDialog secondPartNameDialog(dialogs, &mainDialog);
  h33::TapeLengthDialog tapeLengthDialog(dialogs, &mainDialog);
  mainDialog.SetWindows(&statistics, &about);

  const auto items = mainDialog.FileListBox1->findItems("pocket.up", Qt::MatchExactly);
  if (!items.isEmpty()) mainDialog.FileListBox1->setCurrentItem(items.first());
  mainDialog.TabControlMain->setCurrentIndex(2);
  mainDialog.CheckBoxStat->setChecked(true);
  mainDialog.BitBtnCorrectH33Click();
  mainDialog.TabControlMain->setCurrentIndex(0);

  bool saved = Save(mainDialog, output, "main");
  saved = Save(statistics, output, "statistics") && saved;
  saved = Save(about, output, "about") && saved;
  saved = Save(tapeLengthDialog, output, "tapelength") && saved;
  saved = Save(secondPartNameDialog, output, "secondpartname") && saved;

  statistics.ViewProgram();
  if (auto* view = statistics.findChild<h33::PlotWindow*>()) {
    saved = Save(*view, output, "view") && saved;
  }
  return saved ? 0 : 1;
}
