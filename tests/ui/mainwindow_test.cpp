#include <QDialogButtonBox>
#include <QDir>
#include <QFileSystemModel>
#include <QPushButton>
#include <QFile>
#include <QTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QScreen>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTableWidget>
#include <QTreeView>
#include <QtTest>

#include <algorithm>
#include <functional>

#include "findchild.h"
#include "ui/editorlauncher.h"
#include "ui/focuscuestyle.h"
#include "ui/mainwindow.h"
#include "ui/qttranslations.h"
#include "ui/plotwindow.h"
#include "ui/qtdialogs.h"
#include "ui/runcommand.h"
#include "ui/statisticswindow.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  static QStringList Listed(const MainWindow& window) {
    QStringList names;
    for (int i = 0; i < Find<QListWidget>(window, "fileList")->count(); ++i) names << Find<QListWidget>(window, "fileList")->item(i)->text();
    return names;
  }

 // Right-click below the files, where no file is, and leave the menu with
  // Escape, as a user who changed their mind does. The list takes the focus
  // from the click and gets it back when the menu closes.
  static void OpenAndClosePopup(MainWindow& window) {
    QWidget* list = Find<QListWidget>(window, "fileList")->viewport();
    const QPoint below(20, list->height() - 10);
    QTest::mouseClick(list, Qt::RightButton, {}, below);
    if (!Find<QMenu>(window, "fileMenu")->isVisible()) {
      QContextMenuEvent request(QContextMenuEvent::Mouse, below, list->mapToGlobal(below));
      QApplication::sendEvent(list, &request);
    }
    QTRY_VERIFY(Find<QMenu>(window, "fileMenu")->isVisible());
    QTest::keyClick(Find<QMenu>(window, "fileMenu"), Qt::Key_Escape);
    QTRY_VERIFY(!Find<QMenu>(window, "fileMenu")->isVisible());
    QTRY_VERIFY(Find<QListWidget>(window, "fileList")->hasFocus());
  }

  static void ChooseFromPopup(MainWindow& window, const QString& caption) {
    OpenAndClosePopup(window);
    for (QAction* action : Find<QMenu>(window, "fileMenu")->actions()) {
      if (action->text() == caption) return action->trigger();
    }
    QFAIL(qPrintable("no popup command " + caption));
  }

  // A shown, active window: only then does the list take and give back the focus.
  static void Activate(MainWindow& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
  }

 private slots:
  void initTestCase() {
    KeepNumbersInCLocale();
    UseFocusCueStyle();
  }

  // Enter and Space press the focused button: it must show, the Exit button
  // focused at start included.
  void TheFocusedButtonIsMarked() {
    TempDir dir;
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Activate(window);
    QVERIFY(Find<QPushButton>(window, "exitButton")->hasFocus());
    const QImage focused = Find<QPushButton>(window, "exitButton")->grab().toImage();
    Find<QPushButton>(window, "runButton")->setFocus();
    QVERIFY(Find<QPushButton>(window, "exitButton")->grab().toImage() != focused);
  }

  // The model reads the folders after the tree has scrolled to the one the
  // window opens on; as the folders above it come in, it must stay in sight,
  // however deep it lies and wherever it sorts.
  void TheDirectoryTreeShowsTheOpenedFolder() {
    TempDir dir;
    QDir root(QString::fromStdString(dir.Path().string()));
    for (int i = 0; i < 100; ++i) QVERIFY(root.mkdir(QString("a%1").arg(i, 3, 10, QChar('0'))));
    QString deep = "zz";
    for (int level = 0; level < 30; ++level) deep += "/d";
    QVERIFY(root.mkpath(deep));
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, root.filePath(deep));
    Activate(window);
    QTreeView* tree = Find<QTreeView>(window, "directoryTree");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    QCOMPARE(model->filePath(tree->currentIndex()), root.filePath(deep));
    // Every folder on the way read: the siblings, and the last one's parent.
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(model->index(root.path())), 101, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(tree->currentIndex().parent()), 1, 20000);
    // The tree scrolls once the folders it waits for are in and sorted: on a
    // loaded machine that may take longer than a fixed pause.
    const auto inSight = [tree] {
      return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()));
    };
    QTRY_VERIFY_WITH_TIMEOUT(inSight(), 20000);
    QTest::qWait(300);  // and it stays there
    const QRect row = tree->visualRect(tree->currentIndex());
    const QRect pane = tree->viewport()->rect();
    QVERIFY2(pane.contains(row), qPrintable(QString("%1,%2 %3x%4 in %5x%6")
                                                .arg(row.left()).arg(row.top()).arg(row.width())
                                                .arg(row.height()).arg(pane.width()).arg(pane.height())));
  }

  // Qt's own buttons and file dialogs speak the windows' language.
  void QtDialogsAreInRussian() {
    QVERIFY(LoadQtTranslations());
    QDialogButtonBox buttons(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QString("Отмена"));
    QCOMPARE(buttons.button(QDialogButtonBox::Save)->text(), QString("Сохранить"));
  }

  void EditorCommandIsSplitAsAShellWould() {
    QCOMPARE(SplitShellWords("code --wait"), QStringList({"code", "--wait"}));
    QCOMPARE(SplitShellWords("  '/opt/my editor/ed'  -x\t\"a \\\"b\" c\\ d e'f' "),
             QStringList({"/opt/my editor/ed", "-x", "a \"b", "c d", "ef"}));
    QCOMPARE(SplitShellWords("''"), QStringList({""}));
    QVERIFY(SplitShellWords("   ").isEmpty());
  }

  // "code --wait" is an editor with an argument: split into words as a shell
  // would, started without one, the file's path one argument after them.
  void EditorFromVisualWithArguments() {
#ifndef Q_OS_WIN
    TempDir dir;
    const QString seen = QString::fromStdString((dir / "arguments").string());
    const QString program = QString::fromStdString((dir / "a b.up").string());
    qputenv("VISUAL", QByteArray("sh -c 'printf \"%s\\n\" \"$@\" > \"$0.tmp\"; mv \"$0.tmp\" \"$0\"' ") +
                          QFile::encodeName(seen));
    ScriptedDialogs dialogs;
    StartEditor(program, dialogs);
    qunsetenv("VISUAL");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(seen), 10000);
    QVERIFY(dialogs.shown.empty());
    QCOMPARE(QString::fromStdString(ReadBytes(seen.toStdString())), program + "\n");
#endif
  }

  // Opened on a program (the file association): its folder, a filter that
  // lists it, the program selected; a name not there selects nothing.
  void OpensOnTheProgramItWasGiven() {
    TempDir dir;
    dir.Write("a.up", "%\r\n");
    dir.Write("b.ptp", "%\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    window.SelectFile("b.ptp");
    QCOMPARE(Find<QComboBox>(window, "fileFilterChoice")->currentIndex(), 1);
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("b.ptp"));
    QCOMPARE(QFileInfo(window.InputFileName()).fileName(), QString("b.ptp"));
    window.SelectFile("a.up");
    QCOMPARE(Find<QComboBox>(window, "fileFilterChoice")->currentIndex(), 0);
    QCOMPARE(QFileInfo(window.InputFileName()).fileName(), QString("a.up"));
    window.SelectFile("gone.up");
    QVERIFY(window.InputFileName().isEmpty());
  }

  // The list is read again every few seconds: a file that comes or goes
  // above the selected one must not move the selection onto another program.
  void RefreshKeepsTheSelectedFileByName() {
    TempDir dir;
    dir.Write("b.up", "%\r\n");
    dir.Write("c.up", "%\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Activate(window);
    QTest::mouseClick(Find<QListWidget>(window, "fileList")->viewport(), Qt::LeftButton, {},
                      Find<QListWidget>(window, "fileList")->visualItemRect(Find<QListWidget>(window, "fileList")->item(1)).center());
    QCOMPARE(QFileInfo(window.InputFileName()).fileName(), QString("c.up"));
    dir.Write("a.up", "%\r\n");
    window.RefreshFileList();
    QCOMPARE(Listed(window), QStringList({"a.up", "b.up", "c.up"}));
    QCOMPARE(QFileInfo(window.InputFileName()).fileName(), QString("c.up"));
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("c.up"));
    std::filesystem::remove(dir / "c.up");
    window.RefreshFileList();
    QVERIFY(window.InputFileName().isEmpty());
    QVERIFY(Find<QListWidget>(window, "fileList")->selectedItems().isEmpty());
  }

  // The selection is drawn alike with the focus elsewhere, under a style
  // that greys it out then, as Windows' own does.
  void TheSelectionShowsWithoutTheFocus() {
    const QPalette before = QApplication::palette();
    QPalette greying = before;
    greying.setColor(QPalette::Inactive, QPalette::Highlight, QColor(240, 240, 240));
    greying.setColor(QPalette::Inactive, QPalette::HighlightedText, QColor(80, 80, 80));
    QApplication::setPalette(greying);
    TempDir dir;
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    const QPalette colours = Find<QListWidget>(window, "fileList")->palette();
    QApplication::setPalette(before);
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
      QCOMPARE(colours.color(QPalette::Inactive, role), colours.color(QPalette::Active, role));
    }
  }

  // Names in messages as the system writes them: on Windows with "\".
  void TheSelectedFileIsNamedNatively() {
    TempDir dir;
    dir.Write("a.up", "%\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    window.SelectFile("a.up");
    QCOMPARE(window.InputFileName(), QDir::toNativeSeparators(window.InputFileName()));
  }

  void StartsWithTheFp17PresetOnTheConversionTab() {
    TempDir dir;
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    QCOMPARE(window.windowTitle(), QString("Корректировка подач для H33 (Velta) ....."));
    QCOMPARE(window.size(), QSize(1005, 357));
    // Designed at 333,357 for a wider screen: on the offscreen one, 800
    // pixels wide, it starts at the left edge, its height still in place.
    const QRect screen = window.screen()->availableGeometry();
    QCOMPARE(window.pos(), QPoint(screen.left(), 357));
    QCOMPARE(Find<QComboBox>(window, "machineChoice")->currentText(), QString("ФП-17"));
    QCOMPARE(Find<QLineEdit>(window, "speedLimitField")->text(), QString("100"));
    QCOMPARE(Find<QLineEdit>(window, "feedMaxField")->text(), QString("1200"));
    QCOMPARE(Find<QLineEdit>(window, "accelerationField")->text(), QString("50"));
    QVERIFY(Find<QRadioButton>(window, "h33Numbering")->isChecked());
    QVERIFY(!Find<QCheckBox>(window, "restoreAfterArc")->isChecked());
    QVERIFY(!Find<QCheckBox>(window, "showStatistics")->isChecked());
    QCOMPARE(Find<QTabBar>(window, "methodTabs")->currentIndex(), 0);
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("*.up"));
  }

  void PresetsSetFieldsNumberingAndRestore() {
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QDir::tempPath());
    window.ApplyMachinePreset(1);
    QCOMPARE(Find<QLineEdit>(window, "speedLimitField")->text(), QString("50"));
    QCOMPARE(Find<QLineEdit>(window, "feedMaxField")->text(), QString("900"));
    QCOMPARE(Find<QLineEdit>(window, "accelerationField")->text(), QString("5"));
    QVERIFY(Find<QRadioButton>(window, "freeNumbering")->isChecked());
    window.ApplyMachinePreset(0);
    QVERIFY(Find<QCheckBox>(window, "restoreAfterArc")->isChecked());
    QVERIFY(Find<QRadioButton>(window, "h33Numbering")->isChecked());
    QCOMPARE(Find<QLineEdit>(window, "feedMaxField")->text(), QString("1200"));
    window.ApplyMachinePreset(4);
    QVERIFY(!Find<QCheckBox>(window, "restoreAfterArc")->isChecked());
    QCOMPARE(Find<QLineEdit>(window, "feedMaxField")->text(), QString("1000"));
  }

  void TabsOnlyEnableAndDisable() {
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QDir::tempPath());
    Find<QTabBar>(window, "methodTabs")->setCurrentIndex(1);
    QVERIFY(Find<QLineEdit>(window, "speedLimitField")->isEnabled());
    QVERIFY(Find<QLineEdit>(window, "feedMaxField")->isEnabled());
    QVERIFY(!Find<QGroupBox>(window, "numberingGroup")->isEnabled());
    QVERIFY(!Find<QCheckBox>(window, "restoreAfterArc")->isEnabled());
    Find<QTabBar>(window, "methodTabs")->setCurrentIndex(2);
    QVERIFY(!Find<QLineEdit>(window, "speedLimitField")->isEnabled());
    QVERIFY(!Find<QLineEdit>(window, "feedMaxField")->isEnabled());
    QVERIFY(Find<QLineEdit>(window, "accelerationField")->isEnabled());
    QVERIFY(Find<QComboBox>(window, "machineChoice")->isEnabled());
    QVERIFY(Find<QCheckBox>(window, "showStatistics")->isEnabled());
    Find<QTabBar>(window, "methodTabs")->setCurrentIndex(0);
    QVERIFY(Find<QGroupBox>(window, "numberingGroup")->isEnabled());
    QVERIFY(Find<QCheckBox>(window, "restoreAfterArc")->isEnabled());
  }

  void FieldsNormaliseAsTheyAreTyped() {
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QDir::tempPath());
    Find<QLineEdit>(window, "speedLimitField")->setText("");
    QCOMPARE(Find<QLineEdit>(window, "speedLimitField")->text(), QString("20"));
    Find<QLineEdit>(window, "feedMaxField")->setText("");
    QCOMPARE(Find<QLineEdit>(window, "feedMaxField")->text(), QString("240"));
    Find<QLineEdit>(window, "accelerationField")->setText("-7");
    QCOMPARE(Find<QLineEdit>(window, "accelerationField")->text(), QString("7"));
    Find<QLineEdit>(window, "accelerationField")->setText("007");
    QCOMPARE(Find<QLineEdit>(window, "accelerationField")->text(), QString("7"));
    Find<QLineEdit>(window, "accelerationField")->setText("12abc");
    QCOMPARE(Find<QLineEdit>(window, "accelerationField")->text(), QString("12"));
    Find<QLineEdit>(window, "accelerationField")->setText("5");
    Find<QLineEdit>(window, "accelerationField")->setFocus();
    Find<QLineEdit>(window, "accelerationField")->end(false);
    QTest::keyClick(Find<QLineEdit>(window, "accelerationField"), Qt::Key_Backspace);
    QCOMPARE(Find<QLineEdit>(window, "accelerationField")->text(), QString("5"));
    QTest::keyClicks(Find<QLineEdit>(window, "accelerationField"), "30");  // replaces the restored 5
    QCOMPARE(Find<QLineEdit>(window, "accelerationField")->text(), QString("30"));
    Find<QLineEdit>(window, "accelerationField")->setText("-2147483648");
    QCOMPARE(Find<QLineEdit>(window, "accelerationField")->text(), QString("2147483647"));  // saturates, never negative
  }

  void FileListShowsFilesUnderTheMask() {
    TempDir dir;
    dir.Write("b.up", "");
    dir.Write("a.UP", "");
    dir.Write("c.ptp", "");
    dir.Write("noext", "");
    dir.Write(".hidden.up", "");
    std::filesystem::create_directory(dir / "sub.up");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    QCOMPARE(Listed(window), QStringList({"a.UP", "b.up"}));
    Find<QComboBox>(window, "fileFilterChoice")->setCurrentIndex(1);
    QCOMPARE(Listed(window), QStringList({"c.ptp"}));
    Find<QComboBox>(window, "fileFilterChoice")->setCurrentIndex(2);
    QCOMPARE(Listed(window), QStringList({"a.UP", "b.up", "c.ptp", "noext"}));
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("*.*"));
    Find<QListWidget>(window, "fileList")->setCurrentRow(1);
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("b.up"));
    QCOMPARE(window.InputFileName(), QString::fromStdString((dir / "b.up").string()));
  }

  // After a delete nothing is selected: a second press must not delete the
  // file that moved into the deleted one's row.
  void DeleteAsksThenLeavesNothingSelected() {
    TempDir dir;
    for (const char* name : {"a.up", "b.up", "c.up"}) dir.Write(name, "");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(1);
    dialogs.buttons = {Button::No, Button::Yes};
    window.DeleteSelectedFile();
    QVERIFY(std::filesystem::exists(dir / "b.up"));
    window.DeleteSelectedFile();
    QVERIFY(!std::filesystem::exists(dir / "b.up"));
    QCOMPARE(Listed(window), QStringList({"a.up", "c.up"}));
    QVERIFY(window.InputFileName().isEmpty());
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("*.up"));
    QCOMPARE(dialogs.shown.size(), std::size_t{2});
    QVERIFY(QString::fromStdString(dialogs.shown[0]).startsWith("error [Yes No]: Удалить Файл ->\n "));
    window.DeleteSelectedFile();  // nothing selected: nothing asked, nothing deleted
    QCOMPARE(dialogs.shown.size(), std::size_t{2});
    QCOMPARE(Listed(window), QStringList({"a.up", "c.up"}));
  }

  // The file stays when it cannot be deleted, and the user is told why. A
  // directory with contents in its place cannot be deleted by anyone, root
  // included; a read-only directory stops all but root.
  void DeleteThatFailsSaysSoAndKeepsTheFile() {
    TempDir dir;
    dir.Write("a.up", "N001M05\n");
    dir.Write("b.up", "");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    std::filesystem::remove(dir / "a.up");
    std::filesystem::create_directory(dir / "a.up");
    dir.Write("a.up/kept", "x");
    dialogs.buttons = {Button::Yes, Button::Ok};
    window.DeleteSelectedFile();
    QCOMPARE(dialogs.shown.size(), std::size_t{2});
    const std::string failure = "error [OK]: Файл " + (dir / "a.up").string() + " не удален: ";
    QVERIFY2(dialogs.shown[1].starts_with(failure), dialogs.shown[1].c_str());
    QCOMPARE(ReadBytes(dir / "a.up" / "kept"), std::string("x"));
  }

  void DeleteInAReadOnlyDirectorySaysSo() {
    TempDir dir;
    dir.Write("a.up", "N001M05\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
    if (std::FILE* probe = std::fopen((dir / "probe").string().c_str(), "w")) {
      std::fclose(probe);
      QSKIP("permissions do not stop this user");
    }
    dialogs.buttons = {Button::Yes, Button::Ok};
    window.DeleteSelectedFile();
    QCOMPARE(dialogs.shown.size(), std::size_t{2});
    QVERIFY(dialogs.shown[1].starts_with("error [OK]: Файл " + (dir / "a.up").string()));
    QCOMPARE(ReadBytes(dir / "a.up"), std::string("N001M05\n"));
  }

  void DeleteOfAFileThatVanishedSaysNothing() {
    TempDir dir;
    dir.Write("a.up", "");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    std::filesystem::remove(dir / "a.up");
    dialogs.buttons = {Button::Yes};
    window.DeleteSelectedFile();
    QCOMPARE(dialogs.shown.size(), std::size_t{1});
    QCOMPARE(Find<QListWidget>(window, "fileList")->count(), 0);
  }

  void CommandsWithoutASelectionDoNothing() {
    TempDir dir;
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    QString opened = "not called";
    window.startEditor = [&opened](const QString& path) { opened = path; };
    window.DeleteSelectedFile();
    window.CheckSelectedFileFormat();
    window.EditSelectedFile();
    QVERIFY(dialogs.shown.empty());
    QCOMPARE(opened, QString());  // the editor opens empty
  }

  void PopupLeavesTheSelectionAsItWas() {
    TempDir dir;
    for (const char* name : {"a.up", "b.up"}) dir.Write(name, "");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Activate(window);
    OpenAndClosePopup(window);
    QVERIFY(Find<QListWidget>(window, "fileList")->selectedItems().isEmpty());
    QVERIFY(window.InputFileName().isEmpty());
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("*.up"));
    window.RefreshFileList();  // the refresh keeps what was chosen: nothing
    QVERIFY(window.InputFileName().isEmpty());
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("*.up"));

    Find<QListWidget>(window, "fileList")->setCurrentRow(1);
    OpenAndClosePopup(window);
    QCOMPARE(window.InputFileName(), QString::fromStdString((dir / "b.up").string()));
    QCOMPARE(Find<QLineEdit>(window, "fileNameField")->text(), QString("b.up"));
  }

  // Whatever the list shows as its current row, a command without a chosen
  // file touches no file; the editor opens on no file.
  void PopupCommandsWithoutASelectionLeaveTheFilesAlone() {
    TempDir dir;
    dir.Write("a.up", "N001X+001000F0660\r\n");
    ScriptedDialogs dialogs;
    dialogs.buttons = {Button::Yes};
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    QStringList opened;
    window.startEditor = [&opened](const QString& path) { opened << path; };
    Activate(window);
    for (const char* caption :
         {"Удалить файл", "Проверка УП на формат H33", "Блокнот", "Просмотр"}) {
      ChooseFromPopup(window, QString::fromUtf8(caption));
    }
    QCOMPARE(ReadBytes(dir / "a.up"), std::string("N001X+001000F0660\r\n"));
    QCOMPARE(dialogs.shown, std::vector<std::string>{});
    QCOMPARE(opened, QStringList({QString()}));
    QVERIFY(!window.findChild<PlotWindow*>());
    QVERIFY(Find<QListWidget>(window, "fileList")->selectedItems().isEmpty());
  }

  void PopupCommandsActOnTheSelectedFile() {
    TempDir dir;
    for (const char* name : {"a.up", "b.up"}) dir.Write(name, "N001X+001000F0660\r\n");
    ScriptedDialogs dialogs;
    dialogs.buttons = {Button::Yes};
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    QStringList opened;
    window.startEditor = [&opened](const QString& path) { opened << path; };
    Activate(window);
    Find<QListWidget>(window, "fileList")->setCurrentRow(1);
    const std::string b = (dir / "b.up").string();
    ChooseFromPopup(window, "Блокнот");
    QCOMPARE(opened, QStringList({QString::fromStdString(b)}));
    ChooseFromPopup(window, "Просмотр");
    const auto* view = window.findChild<PlotWindow*>();
    QVERIFY(view && view->windowTitle().endsWith(QString::fromStdString(b)));
    Activate(window);
    ChooseFromPopup(window, "Проверка УП на формат H33");
    ChooseFromPopup(window, "Удалить файл");
    QCOMPARE(dialogs.shown.size(), std::size_t{2});
    QVERIFY(dialogs.shown[0].starts_with("information [Yes]: Файл УП ->\n " + b + " "));
    QVERIFY(dialogs.shown[1].starts_with("error [Yes No]: Удалить Файл ->\n " + b + " "));
    QVERIFY(!std::filesystem::exists(dir / "b.up"));
    QVERIFY(std::filesystem::exists(dir / "a.up"));
  }

  // Enter in the real question box keeps the file: only a click on Yes deletes.
  void EnterInTheDeleteQuestionKeepsTheFile() {
    TempDir dir;
    dir.Write("a.up", "N001M05\r\n");
    QtDialogs dialogs(nullptr);
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    QString asked;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      asked = box->text();
      QTest::keyClick(box, Qt::Key_Return);
      answer.stop();
    });
    answer.start(10);
    window.DeleteSelectedFile();
    QVERIFY(asked.startsWith("Удалить Файл ->\n "));
    QVERIFY(std::filesystem::exists(dir / "a.up"));
  }

  // Names reach the file system from the list's text, whatever the alphabet.
  void ChecksTheFormatOfAFileWithACyrillicName() {
    TempDir dir;
    dir.Write("деталь.up", "N001X+001000F0660\r\n");
    dir.Write("фреза.up", "N001X+0010\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    for (int row = 0; row < Find<QListWidget>(window, "fileList")->count(); ++row) {
      Find<QListWidget>(window, "fileList")->setCurrentRow(row);
      window.CheckSelectedFileFormat();
    }
    const std::string good = (dir / "деталь.up").string();
    const std::string bad = (dir / "фреза.up").string();
    QCOMPARE(dialogs.shown,
             (std::vector<std::string>{
                 "information [Yes]: Файл УП ->\n " + good + " \n\n имеет формат УЧПУ H33 (Velta)",
                 "error [Yes]: Файл УП ->\n " + bad + " \n\n НЕ имеет формат УЧПУ H33 (Velta)"}));
  }

  // A read that fails part way throws; the window says so and stays open.
  void AFileThatFailsToReadGetsAnErrorBox() {
#ifdef Q_OS_WIN
    QSKIP("Linux only: Windows has no file whose read fails part way (Wine shows /proc, but links to it are no Windows links)");
#endif
    if (!std::filesystem::exists("/proc/self/mem")) QSKIP("no file that fails to read");
    TempDir dir;
    std::filesystem::create_symlink("/proc/self/mem", dir / "bad.up");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    window.CheckSelectedFileFormat();
    // The system's reason follows, in the user's language.
    QCOMPARE(dialogs.shown.size(), std::size_t{1});
    QVERIFY(dialogs.shown[0].starts_with("error [OK]: ошибка чтения файла " +
                                         (dir / "bad.up").string() + ": "));
  }

  // The popup's braking check judges the chosen program with the machine
  // values the fields show, and lists what it finds in the box.
  void ChecksTheBrakingOfTheSelectedFileWithTheFieldsValues() {
    TempDir dir;
    dir.Write("a.up", "N001G01X+001000F0660\r\nN002Y+001000\r\nN003F0000\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Activate(window);
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    ChooseFromPopup(window, "Проверка торможения");
    Find<QLineEdit>(window, "speedLimitField")->setText("300");  // a right angle then allows 600 mm/min
    ChooseFromPopup(window, "Проверка торможения");
    const std::string head = "Проверка торможения: " + (dir / "a.up").string() +
                             "\nСтанок: подача на полном развороте ";
    QCOMPARE(dialogs.shown,
             (std::vector<std::string>{
                 "warning [Yes]: " + head +
                     "100 мм/мин, наибольшая подача 1200 мм/мин, ускорение 50 мм/с²\n"
                     "  строка 2 (N002Y+001000): угол в начале кадра проходится "
                     "на 600 мм/мин, допустимо 200 мм/мин\nНарушений: 1\n",
                 "information [Yes]: " + head +
                     "300 мм/мин, наибольшая подача 1200 мм/мин, ускорение 50 мм/с²\n"
                     "Нарушений нет: станок везде успевает затормозиться.\n"}));
  }

  // A box lists what fits the screen; the rest is counted.
  void TheBrakingBoxListsTheFirstFindings() {
    TempDir dir;
    std::string zigzag = "N001G01X+001000F0660\r\n";
    for (int i = 0; i < 12; ++i) zigzag += "N001Y+001000\r\nN001X+001000\r\n";
    dir.Write("a.up", zigzag);
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    window.CheckSelectedFileBraking();
    QCOMPARE(dialogs.shown.size(), std::size_t{1});
    const std::string& box = dialogs.shown[0];
    QCOMPARE(std::count(box.begin(), box.end(), '\n'), 2 + 20 + 1 + 1);
    // 24 corners, no stop at the end
    QVERIFY(box.ends_with("  ... и ещё 5\nНарушений: 25\n"));
  }

  // What the run refuses, the check refuses with the same words; a code
  // that is no feed is named with its line.
  void TheBrakingCheckSaysWhyItCannotJudgeAFile() {
    TempDir dir;
    dir.Write("a.up", "N001X+0001\r\n");
    dir.Write("b.up", "N001X+001000F0660\r\nN002X+001000F0300\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    window.CheckSelectedFileBraking();
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    window.CheckSelectedFileBraking();
    Find<QListWidget>(window, "fileList")->setCurrentRow(1);
    window.CheckSelectedFileBraking();
    QCOMPARE(dialogs.shown,
             (std::vector<std::string>{
                 "error [Yes]: Файл УП ->\n " + (dir / "a.up").string() +
                     " \n\n НЕ является программой ЧПУ H33 (Velta)\n Вычисления прерваны....",
                 "captioned <Проверка торможения - > ошибка ...>: Строка 2: код подачи F0300 "
                 "задаёт подачу меньше 1 мм/мин."}));
  }

  void RunRefusesWhatIsNoH33Program() {
    TempDir dir;
    dir.Write("a.up", "N001X+0001\r\n");
    dir.Write("b.up", "N001F0660\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    bool asked = false;
    window.saveDialog = [&asked](const QString&) {
      asked = true;
      return QString();
    };
    window.RunSelectedMethod();
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    window.RunSelectedMethod();
    Find<QListWidget>(window, "fileList")->setCurrentRow(1);
    std::filesystem::remove(dir / "b.up");
    window.RunSelectedMethod();
    const std::string a = (dir / "a.up").string();
    const std::string b = (dir / "b.up").string();
    QCOMPARE(dialogs.shown,
             (std::vector<std::string>{
                 "message: Выберите файл 'УЧПУ H33' для осуществления корректировки",
                 "error [Yes]: Файл УП ->\n " + a +
                     " \n\n НЕ является программой ЧПУ H33 (Velta)\n Вычисления прерваны....",
                 "error [Yes]: Файл УП ->\n " + b + " \n\n НЕ существует \n .."}));
    QVERIFY(!asked);
  }

  void TimeRunReportsAndFillsTheStatistics() {
    TempDir dir;
    dir.Write("p.up", "N001F0000\r\nN002X+010000F0660\r\nN003F0000\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    StatisticsWindow statistics;
    window.SetWindows(&statistics, nullptr);
    Find<QLineEdit>(window, "accelerationField")->setText("5");
    Find<QTabBar>(window, "methodTabs")->setCurrentIndex(2);
    Find<QCheckBox>(window, "showStatistics")->setChecked(true);
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    window.RunSelectedMethod();
    QCOMPARE(dialogs.shown, (std::vector<std::string>{
                                "confirmation [OK]: \nВремя выполнения ->\n         12 секунд = 0.20 минут"}));
    QVERIFY(statistics.isVisible());
    const QString point = QLocale().decimalPoint();
    QCOMPARE(statistics.runMinutes->text(), "0" + point + "20");
    QCOMPARE(statistics.pathLength->text(), "100" + point + "00");
    QCOMPARE(statistics.frameCount->text(), QString("3"));
    QCOMPARE(statistics.linearMoves->text(), QString("1"));
    QCOMPARE(statistics.programType->text(), QString("H33 (VELTA)"));
    QCOMPARE(statistics.extentsTable->item(0, 0)->text(), QString(" Габариты "));
    QCOMPARE(statistics.extentsTable->item(3, 0)->text(), QString(" Сумма "));
    QCOMPARE(statistics.extentsTable->item(3, 1)->text(), "100" + point + "00");
    QVERIFY(statistics.fileDetails->toPlainText().contains("p.up"));
    QCOMPARE(Find<QListWidget>(window, "fileList")->currentRow(), 0);

    dir.Write("p.up", "N001F0000\r\nN002Y+020000F0660\r\nN003F0000\r\n");
    window.RunSelectedMethod();  // a second run replaces every value
    QCOMPARE(statistics.extentsTable->item(3, 1)->text(), "0" + point + "00");
    QCOMPARE(statistics.extentsTable->item(3, 2)->text(), "200" + point + "00");
  }

  void OutputNameDesignatingTheInputIsRefused() {
    TempDir dir;
    const std::string program = "N001F0000\r\nN002X+010000F0660\r\nN003F0000\r\n";
    dir.Write("p.up", program);
    std::filesystem::create_directory(dir / "sub");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    const std::string input = (dir / "p.up").string();
    for (int tab : {0, 1}) {
      Find<QTabBar>(window, "methodTabs")->setCurrentIndex(tab);
      for (const auto& spelling : {dir / "p.up", dir / "sub" / ".." / "p.up"}) {
        window.saveDialog = [&spelling](const QString&) {
          return QString::fromStdString(spelling.string());
        };
        dialogs.shown.clear();
        window.RunSelectedMethod();
        QCOMPARE(dialogs.shown, (std::vector<std::string>{
                                    "error [Yes]: Имя исходного файла УП ->\n " + input +
                                    " \n совпадает с  вновь формируемым\n Преобразование прервано.."}));
      }
    }
    QCOMPARE(QString::fromStdString(ReadBytes(dir / "p.up")), QString::fromStdString(program));
  }

  void CancelledSaveDialogEndsTheRunSilently() {
    TempDir dir;
    dir.Write("p.up", "N001F0000\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    QStringList offered;
    window.saveDialog = [&offered](const QString& last) {
      offered << last;
      return QString();
    };
    Find<QTabBar>(window, "methodTabs")->setCurrentIndex(1);
    window.RunSelectedMethod();
    QVERIFY(dialogs.shown.empty());
    // A name made from the input, in its folder, not the process's own.
    QCOMPARE(offered, QStringList({QDir::toNativeSeparators(
                          QDir(QString::fromStdString(dir.Path().string())).filePath("p-ФП17.up"))}));
  }

  // The previous run's name is offered again only for the same input: for
  // another one, Enter would replace the program just written.
  void SaveDialogOffersANameOfTheInputsOwn() {
    TempDir dir;
    dir.Write("a.up", "N001F0000\r\n");
    dir.Write("b.up", "N001F0000\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QTabBar>(window, "methodTabs")->setCurrentIndex(1);
    Find<QComboBox>(window, "machineChoice")->setCurrentIndex(3);
    const QString written = QDir::toNativeSeparators(QString::fromStdString((dir / "mine.up").string()));
    QStringList offered;
    window.saveDialog = [&](const QString& proposed) {
      offered << proposed;
      return written;
    };
    for (int row : {0, 0, 1}) {
      Find<QListWidget>(window, "fileList")->setCurrentRow(row);
      window.RunSelectedMethod();
    }
    const QDir folder(QString::fromStdString(dir.Path().string()));
    QCOMPARE(offered, QStringList({QDir::toNativeSeparators(folder.filePath("a-6М13СН.up")), written,
                                   QDir::toNativeSeparators(folder.filePath("b-6М13СН.up"))}));
  }

  // The system's save dialog asks before it replaces a file; No keeps the
  // dialog open for another name. The filter starts on the programs written.
  void SaveDialogAsksBeforeReplacing() {
    TempDir dir;
    dir.Write("old.up", "N001F0000\r\n");
    const QString start = QString::fromStdString((dir / "new.up").string());
    QStringList questions;
    QString filter;
    const auto shown = [](auto* none) {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<decltype(none)>(widget); found && found->isVisible()) return found;
      }
      return none;
    };
    std::function<void()> answer = [&] {
      if (auto* box = shown(static_cast<QMessageBox*>(nullptr))) {
        questions << box->text();
        box->button(QMessageBox::No)->click();
      } else if (auto* dialog = shown(static_cast<QFileDialog*>(nullptr))) {
        if (!questions.isEmpty()) return dialog->reject();
        filter = dialog->selectedNameFilter();
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        name->setText("old.up");
        // The question opens inside the key press: the next answer is
        // due before it.
        QTimer::singleShot(50, answer);
        return QTest::keyClick(name, Qt::Key_Return);
      }
      QTimer::singleShot(50, answer);
    };
    QTimer::singleShot(50, answer);
    QVERIFY(AskOutputFileName(nullptr, start).isEmpty());
    QCOMPARE(questions.size(), 1);
    QCOMPARE(filter, QString("up files (*.up)"));
  }

  void FeedsThatCannotBeCodedAreRefusedBeforeTheSaveDialog() {
    TempDir dir;
    dir.Write("p.up", "N001F0000\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    bool asked = false;
    window.saveDialog = [&asked](const QString&) {
      asked = true;
      return QString();
    };
    Find<QLineEdit>(window, "feedMaxField")->setText("10000");
    for (int tab : {0, 1}) {
      Find<QTabBar>(window, "methodTabs")->setCurrentIndex(tab);
      dialogs.shown.clear();
      window.RunSelectedMethod();
      QCOMPARE(dialogs.shown.size(), std::size_t{1});
      QVERIFY(QString::fromStdString(dialogs.shown[0]).startsWith("error"));
    }
    QVERIFY(!asked);
  }

  void UpToUpRunReportsTheOutputsTimeAndStatistics() {
    TempDir dir;
    dir.Write("p.up", "N001F0000\r\nN002X+010000F0660\r\nN003X+010000\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    StatisticsWindow statistics;
    window.SetWindows(&statistics, nullptr);
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    Find<QTabBar>(window, "methodTabs")->setCurrentIndex(1);
    Find<QCheckBox>(window, "showStatistics")->setChecked(true);
    Find<QLineEdit>(window, "accelerationField")->setText("5");
    const QString output = QString::fromStdString((dir / "out.up").string());
    QStringList offered;
    window.saveDialog = [&](const QString& last) {
      offered << last;
      return output;
    };
    window.RunSelectedMethod();
    QVERIFY(std::filesystem::exists(dir / "out.up"));
    QCOMPARE(dialogs.shown.size(), std::size_t{2});
    QVERIFY(QString::fromStdString(dialogs.shown[0]).startsWith("message: Контрольные суммы:\nSUMX ="));
    QVERIFY(QString::fromStdString(dialogs.shown[1])
                .startsWith("information [Yes]: Файл УП ->\n " + QDir::toNativeSeparators(output) +
                            " \n Время выполнения УП = "));
    QCOMPARE(statistics.frameCount->text(), QString("4"));  // the output's frames, stop frame included
    QCOMPARE(Find<QListWidget>(window, "fileList")->count(), 2);            // the new file shows at once
    window.RunSelectedMethod();
    // A name made from the input in its folder, then the last name.
    const QDir folder(QString::fromStdString(dir.Path().string()));
    QCOMPARE(offered, QStringList({QDir::toNativeSeparators(folder.filePath("p-ФП17.up")),
                                   QDir::toNativeSeparators(output)}));
  }

  void PtpToUpRunReportsItsOwnResult() {
    TempDir dir;
    dir.Write("p.ptp", "N001X+010000F600\r\nN002X+010000\r\n");
    ScriptedDialogs dialogs;
    dialogs.buttons = {Button::No, Button::No};
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QComboBox>(window, "fileFilterChoice")->setCurrentIndex(1);
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    window.saveDialog = [&dir](const QString&) {
      return QString::fromStdString((dir / "p.up").string());
    };
    window.RunSelectedMethod();
    QVERIFY(std::filesystem::exists(dir / "p.up"));
    QVERIFY(!dialogs.shown.empty());
    QVERIFY(QString::fromStdString(dialogs.shown[0]).startsWith("confirmation [OK]: Создан файл "));
  }

  // A program in G-code goes on tape first: what was left out is said, the
  // program converted, and the tape leaves nothing behind.
  void PtpToUpRunConvertsAGcodeFile() {
    TempDir dir;
    dir.Write("part.nc", "G21 G90\nG0 Z5\nG1 Z-1 F200\nG1 X40\nG3 X50 Y10 I0 J10\nG4 P1\n"
                         "G0 Z5\nM30\n");
    ScriptedDialogs dialogs;
    dialogs.buttons = {Button::No, Button::No};
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QComboBox>(window, "fileFilterChoice")->setCurrentIndex(3);
    QCOMPARE(Find<QListWidget>(window, "fileList")->count(), 1);
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    window.saveDialog = [&dir](const QString&) {
      return QString::fromStdString((dir / "part.up").string());
    };
    window.RunSelectedMethod();
    QVERIFY(std::filesystem::exists(dir / "part.up"));
    QVERIFY(dialogs.shown.size() >= 2);
    QVERIFY(QString::fromStdString(dialogs.shown[0]).contains("пауза G4"));
    QVERIFY(QString::fromStdString(dialogs.shown[1]).startsWith("confirmation [OK]: Создан файл "));
    QVERIFY(QString::fromStdString(dialogs.shown[1]).contains("SUMX =     50.00 mm"));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
    QCOMPARE(files, std::size_t{2});  // the program and the part, no tape
  }

  // Half circles in a row cannot brake quadrant by quadrant before the
  // tight one at the end: the window writes them as chords and says so.
  void PtpToUpRunTurnsUnbrakableArcsIntoChords() {
    TempDir dir;
    std::string program = "G21 G90 G17\nG0 X0 Y0 Z1\nG1 Z0 F300\nG1 X50 F1200\n";
    for (int x = 52; x <= 110; x += 2) {
      program += (x % 4 == 0 ? "G3 X" : "G2 X") + std::to_string(x) + " Y0 I1 J0\n";
    }
    program += "G2 X110.4 Y0 I0.2 J0\nG1 X130.4\nG0 Z5\nM30\n";
    dir.Write("wave.nc", program);
    ScriptedDialogs dialogs;
    dialogs.buttons = {Button::No, Button::No};
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QComboBox>(window, "fileFilterChoice")->setCurrentIndex(3);
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    window.saveDialog = [&dir](const QString&) {
      return QString::fromStdString((dir / "wave.up").string());
    };
    window.RunSelectedMethod();
    QVERIFY(std::filesystem::exists(dir / "wave.up"));
    QVERIFY(dialogs.shown.size() >= 2);
    QVERIFY(QString::fromStdString(dialogs.shown[0]).contains("дуги переводятся в хорды"));
    QVERIFY(QString::fromStdString(dialogs.shown[1]).contains("SUMX =    130.40 mm"));
  }

  void PtpToUpRunWithATapeSplitLeavesBothTapes() {
    TempDir dir;
    std::string program = "%\r\nN001G17S500M03\r\n";
    for (int frame = 2; frame < 60; ++frame) {
      program += "N" + std::to_string(100 + frame).substr(1) + "X+001000" + (frame == 2 ? "F600" : "") + "\r\n";
    }
    program += "N060M05\r\n";
    dir.Write("p.ptp", program);
    ScriptedDialogs dialogs;
    dialogs.buttons = {Button::Yes, Button::Yes, Button::No};
    dialogs.lengthLimits = {400};
    dialogs.secondPartNames = {(dir / "part2.up").string()};
    MainWindow window(dialogs, QString::fromStdString(dir.Path().string()));
    Find<QComboBox>(window, "fileFilterChoice")->setCurrentIndex(1);
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
    window.saveDialog = [&dir](const QString&) {
      return QString::fromStdString((dir / "p.up").string());
    };
    window.RunSelectedMethod();

    QCOMPARE(QString::fromStdString(dir.Listing()), QString("p.ptp\np.up\npart2.up\n"));
    const std::string first = ReadBytes(dir / "p.up");
    const std::string second = ReadBytes(dir / "part2.up");
    QVERIFY(first.size() < 600);
    QVERIFY(first.find("M30\r\n$\r\n") != std::string::npos);
    QVERIFY(second.rfind("%\r\nN001S500M03\r\nN002M03\r\n", 0) == 0);
    QVERIFY(std::find(dialogs.shown.begin(), dialogs.shown.end(), "length dialog") != dialogs.shown.end());
    QVERIFY(std::find(dialogs.shown.begin(), dialogs.shown.end(), "(no scripted answer)") == dialogs.shown.end());
  }
};

}  // namespace h33

QTEST_MAIN(h33::MainWindowTest)
#include "mainwindow_test.moc"
