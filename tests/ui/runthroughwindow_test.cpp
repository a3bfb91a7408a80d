// A run through the window as a user makes it, with clicks: the example
// program picked in the file list, the "Up->up" tab, "Запуск"; the save
// dialog answered by a test hook. The program written must be the command's
// byte for byte (tests/golden/correct-pocket). On Linux it runs offscreen;
// the Windows build runs it under Wine on the real windows platform too.

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

#include <algorithm>
#include <filesystem>
#include <string>

#include "findchild.h"
#include "scripteddialogs.h"
#include "tempdir.h"
#include "ui/mainwindow.h"

namespace h33 {

class RunThroughWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void UpToUpWritesWhatTheCommandWrites() {
    TempDir dir;
    const std::filesystem::path golden = H33_GOLDEN_DIR "/correct-pocket";
    std::filesystem::copy_file(golden / "pocket.up", dir / "pocket.up");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    const QString output = QString::fromStdU16String((dir / "pocket-out.up").u16string());
    window.saveDialog = [&output](const QString&) { return output; };
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(Find<QTabBar>(window, "methodTabs"), Qt::LeftButton, {}, Find<QTabBar>(window, "methodTabs")->tabRect(1).center());
    QCOMPARE(Find<QTabBar>(window, "methodTabs")->currentIndex(), 1);
    const QList<QListWidgetItem*> found = Find<QListWidget>(window, "fileList")->findItems("pocket.up", Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QWidget* list = Find<QListWidget>(window, "fileList")->viewport();
    QTest::mouseClick(list, Qt::LeftButton, {}, Find<QListWidget>(window, "fileList")->visualItemRect(found.first()).center());
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("pocket.up"));
    QTest::mouseClick(Find<QPushButton>(window, "runButton"), Qt::LeftButton);

    QCOMPARE(ReadBytes(dir / "pocket-out.up"), ReadBytes(golden / "expected" / "pocket-out.up"));
    // Names shown as the user's system writes them.
    const std::string folder =
        QDir::toNativeSeparators(QString::fromStdU16String(dir.Path().u16string())).toStdString();
    QVERIFY(std::any_of(dialogs.shown.begin(), dialogs.shown.end(), [&](const std::string& box) {
      return box.find(folder + QDir::separator().toLatin1() + "pocket") != std::string::npos;
    }));
  }
};

}  // namespace h33

QTEST_MAIN(h33::RunThroughWindowTest)
#include "runthroughwindow_test.moc"
