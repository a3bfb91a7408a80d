#include <QLineEdit>
#include <QtTest>

#include "ui/fileselect.h"
#include "ui/lengthlimitdialog.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {

class SplitDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void LengthDialogAcceptsOnlyDigits() {
    ScriptedDialogs dialogs;
    TLengthLimit dialog(dialogs);
    QCOMPARE(dialog.windowTitle(), QString("Разбивка ленты"));
    QCOMPARE(dialog.Length()->text(), QString("11800"));
    dialog.Length()->setText("11 800");
    dialog.OKButtonClick();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.Length()->text(), QString());
    dialog.OKButtonClick();
    dialog.Length()->setText("11800");
    dialog.OKButtonClick();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.LimitValue(), 11600L);
    QCOMPARE(dialogs.shown, (std::vector<std::string>{"message: Введен неверный символ",
                                                      "message: Введите значение"}));
  }

  void NameDialogChecksEmptinessAndExistence() {
    TempDir dir;
    const QString existing = QString::fromStdString(dir.Write("part2.up", "x").string());
    ScriptedDialogs dialogs;
    TFileSelectDialog dialog(dialogs);
    QCOMPARE(dialog.windowTitle(), QString("Разбивка"));
    dialog.OKButtonClick();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dialog.FileName()->setText(existing);
    dialogs.buttons = {Button::No};
    dialog.OKButtonClick();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.FileNameText(), existing);
    dialog.FileName()->setText(QString::fromStdString((dir / "new.up").string()));
    dialog.OKButtonClick();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialogs.shown.front(), std::string("message: Не задано имя файла"));
    QCOMPARE(dialogs.shown.back(), std::string("message: Введите другое имя"));
  }

  void CancellingBrowseEmptiesTheName() {
    ScriptedDialogs dialogs;
    TFileSelectDialog dialog(dialogs);
    dialog.FileName()->setText("typed.up");
    dialog.browseDialog = [] { return QString(); };
    dialog.BrowseClick();
    QCOMPARE(dialog.FileNameText(), QString());
    dialog.browseDialog = [] { return QString("/tmp/picked.up"); };
    dialog.BrowseClick();
    QCOMPARE(dialog.FileNameText(), QString("/tmp/picked.up"));
  }
};

}  // namespace h33

QTEST_MAIN(h33::SplitDialogsTest)
#include "splitdialogs_test.moc"
