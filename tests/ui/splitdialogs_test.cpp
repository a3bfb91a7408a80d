#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "ui/qtdialogs.h"
#include "ui/secondpartnamedialog.h"
#include "ui/tapelengthdialog.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {

class SplitDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void LengthDialogAcceptsOnlyDigits() {
    ScriptedDialogs dialogs;
    TapeLengthDialog dialog(dialogs);
    QCOMPARE(dialog.windowTitle(), QString("Разбивка ленты"));
    QCOMPARE(dialog.LengthField()->text(), QString("11800"));
    dialog.LengthField()->setText("11 800");
    dialog.AcceptLength();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.LengthField()->text(), QString());
    dialog.AcceptLength();
    dialog.LengthField()->setText("11800");
    dialog.AcceptLength();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Limit(), 11600L);
    QCOMPARE(dialogs.shown, (std::vector<std::string>{"message: Введен неверный символ",
                                                      "message: Введите значение"}));
  }

  // Enter in either dialog's field presses OK.
  void EnterPressesOk() {
    ScriptedDialogs dialogs;
    TapeLengthDialog length(dialogs);
    length.show();
    length.LengthField()->setFocus();
    QTest::keyClick(length.LengthField(), Qt::Key_Return);
    QCOMPARE(length.result(), int(QDialog::Accepted));
    QCOMPARE(length.Limit(), 11600L);

    TempDir dir;
    SecondPartNameDialog name(dialogs);
    name.show();
    name.NameField()->setText(QString::fromStdString((dir / "part2.up").string()));
    name.NameField()->setFocus();
    QTest::keyClick(name.NameField(), Qt::Key_Return);
    QCOMPARE(name.result(), int(QDialog::Accepted));
    QVERIFY(dialogs.shown.empty());
  }

  // Opened again for the next cut, the dialog takes typing in its field, not
  // on the OK pressed last time.
  void NameDialogOpensOnItsField() {
    TempDir dir;
    ScriptedDialogs dialogs;
    SecondPartNameDialog name(dialogs);
    for (const char* part : {"part2.up", "part3.up"}) {
      name.show();
      QCOMPARE(name.focusWidget(), static_cast<QWidget*>(name.NameField()));
      name.findChild<QPushButton*>("okButton")->setFocus();
      name.NameField()->setText(QString::fromStdString((dir / part).string()));
      name.AcceptName();
      QCOMPARE(name.result(), int(QDialog::Accepted));
      QVERIFY(name.isHidden());
    }
  }

  // Every box is the main window's, on top of it: a click on the window
  // cannot hide it.
  void BoxesBelongToTheWindow() {
    QWidget window;
    QtDialogs dialogs(nullptr);
    dialogs.SetParent(&window);
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&owner] {
      if (QWidget* box = QApplication::activeModalWidget()) {
        owner = box->parentWidget();
        box->close();
      }
    });
    dialogs.Message("Готово");
    QCOMPARE(owner, &window);
  }

  void NameDialogChecksEmptinessAndExistence() {
    TempDir dir;
    const QString existing = QString::fromStdString(dir.Write("part2.up", "x").string());
    ScriptedDialogs dialogs;
    SecondPartNameDialog dialog(dialogs);
    QCOMPARE(dialog.windowTitle(), QString("Разбивка"));
    dialog.AcceptName();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.NameField()->setText(existing);
    dialogs.buttons = {Button::No};
    dialog.AcceptName();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.EnteredName(), existing);
    dialog.NameField()->setText(QString::fromStdString((dir / "new.up").string()));
    dialog.AcceptName();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialogs.shown.front(), std::string("message: Не задано имя файла"));
    QCOMPARE(dialogs.shown.back(), std::string("message: Введите другое имя"));
  }

  // Cancelled, "Browse..." keeps what was typed; it opens on the name typed,
  // or on the folder of the file being cut, and takes a new name.
  void BrowseKeepsTheNameOnCancelAndStartsInTheProgramsFolder() {
    TempDir dir;
    const QString folder = QString::fromStdString(dir.Path().string());
    ScriptedDialogs dialogs;
    SecondPartNameDialog dialog(dialogs);
    dialog.SetFolder(folder);
    QStringList opened;
    dialog.browseDialog = [&opened](const QString& start) {
      opened << start;
      return QString();
    };
    dialog.BrowseForName();
    dialog.NameField()->setText("typed.up");
    dialog.BrowseForName();
    QCOMPARE(dialog.NameField()->text(), QString("typed.up"));
    QCOMPARE(opened, QStringList({folder, QDir::toNativeSeparators(QDir(folder).filePath("typed.up"))}));
    const QString picked = QDir::toNativeSeparators(QDir(folder).filePath("new part.up"));
    dialog.browseDialog = [&picked](const QString&) { return picked; };
    dialog.BrowseForName();
    QCOMPARE(dialog.EnteredName(), picked);
  }

  // A bare name is one in the folder of the file being cut, not in the
  // folder the window was started from: checked there, and returned whole.
  void ABareNameLiesBesideTheProgram() {
    TempDir dir;
    dir.Write("part2.up", "x");
    ScriptedDialogs dialogs;
    SecondPartNameDialog dialog(dialogs);
    dialog.SetFolder(QString::fromStdString(dir.Path().string()));
    dialog.NameField()->setText("part2.up");
    dialogs.buttons = {Button::No};
    dialog.AcceptName();  // it exists there: the question, and No keeps the dialog open
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialogs.shown.size(), std::size_t{2});
    dialog.NameField()->setText("деталь 2.up");
    dialog.AcceptName();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.EnteredName(), QDir::toNativeSeparators(QString::fromStdString(dir.Path().string()) +
                                                              "/деталь 2.up"));
  }
};

}  // namespace h33

QTEST_MAIN(h33::SplitDialogsTest)
#include "splitdialogs_test.moc"
