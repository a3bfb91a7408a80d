#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QCheckBox>
#include <QtTest>

#include <sstream>

#include "cli/plotcommand.h"
#include "ui/feedprofileview.h"
#include "ui/mainwindow.h"
#include "ui/plotwindow.h"
#include "ui/statisticswindow.h"
#include "ui/toolpathview.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {

namespace {

// A 10 mm square anticlockwise from the origin, one frame per side.
constexpr const char* kSquare =
    "%\r\nN001G01X+001000F0660\r\nN002Y+001000\r\nN003X-001000\r\nN004Y-001000\r\n";

// The box of the strongly coloured pixels left of `right`: the path, not the
// black axes, the grey frame or the legend.
QRect DrawnBox(const QImage& image, int right) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < right; ++x) {
      if (image.pixelColor(x, y).hsvSaturation() > 100) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

int RunPlot(const std::vector<std::string>& args, std::string& err) {
  std::ostringstream out, errors;
  const int code = RunH33Plot(args, out, errors);
  err = errors.str();
  return code;
}

ProgramPicture SquarePicture() {
  MemorySource source(kSquare);
  return ReadProgramPicture(source, {});
}

QString Path(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

class PlotTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { KeepNumbersInCLocale(); }

  void PlotCommandDrawsTheSquareWhereTheFitPutsIt() {
    TempDir dir;
    const auto program = dir.Write("square.up", kSquare);
    std::string err;
    QCOMPARE(RunPlot({program.string(), "-o", (dir / "xy.png").string()}, err), 0);
    const QImage xy(Path(dir / "xy.png"));
    QCOMPARE(xy.size(), QSize(1200, 900));
    // The legend keeps 178 pixels on the right; 24 pixels of margin around
    // the fitted square: 852 pixels a side, centred in the 1022 left over.
    const QRect box = DrawnBox(xy, 1200 - 180);
    QVERIFY2(std::abs(box.left() - 85) <= 2, qPrintable(QString::number(box.left())));
    QVERIFY2(std::abs(box.right() - 937) <= 2, qPrintable(QString::number(box.right())));
    QVERIFY2(std::abs(box.top() - 24) <= 2, qPrintable(QString::number(box.top())));
    QVERIFY2(std::abs(box.bottom() - 876) <= 2, qPrintable(QString::number(box.bottom())));

    // Seen from the side the flat square is one line across the picture.
    QCOMPARE(RunPlot({program.string(), "--plane", "xz", "-o", (dir / "xz.png").string()}, err), 0);
    const QRect side = DrawnBox(QImage(Path(dir / "xz.png")), 1200 - 180);
    QVERIFY2(side.height() <= 4, qPrintable(QString::number(side.height())));
    QVERIFY2(std::abs(side.width() - 974) <= 4, qPrintable(QString::number(side.width())));
  }

  void PlotCommandWritesSvgAndProfilesAndRefusesBadNames() {
    TempDir dir;
    const auto program = dir.Write("square.up", kSquare);
    const auto input = dir.Write("square.ptp", "N001G01X+001000F650\r\nN002Y+001000\r\n");
    std::string err;
    QCOMPARE(RunPlot({program.string(), "-o", (dir / "a.SVG").string()}, err), 0);
    const std::string svg = ReadBytes(dir / "a.SVG");
    QVERIFY(svg.find("<svg") != std::string::npos);
    QCOMPARE(RunPlot({program.string(), "--compare", input.string(), "--ptp", "-o",
                      (dir / "compare.png").string()},
                     err),
             0);
    QCOMPARE(QImage(Path(dir / "compare.png")).size(), QSize(1200, 500));

    QCOMPARE(RunPlot({program.string(), "-o", (dir / "a.txt").string()}, err), 2);
    QVERIFY(err.find("*.png") != std::string::npos);
    QCOMPARE(RunPlot({(dir / "none.up").string(), "-o", (dir / "b.png").string()}, err), 2);
    QVERIFY(err.find("none.up") != std::string::npos);
    QCOMPARE(RunPlot({dir.Path().string(), "-o", (dir / "c.png").string()}, err), 2);
    // A picture never lands on a program.
    const auto png = dir.Write("program.png", kSquare);
    QCOMPARE(RunPlot({png.string(), "-o", png.string()}, err), 2);
    QCOMPARE(ReadBytes(png), std::string(kSquare));
    QCOMPARE(RunPlot({program.string(), "-o", (dir / "no" / "d.png").string()}, err), 2);
    QCOMPARE(QString::fromStdString(dir.Listing()),
             QString("a.SVG\ncompare.png\nprogram.png\nsquare.ptp\nsquare.up\n"));
  }

  void ToolpathViewNamesClicksAndZoomsAboutThePointer() {
    const ProgramPicture picture = SquarePicture();
    ToolpathView view;
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.SetPicture(&picture, Plane::XY);
    QSignalSpy clicked(&view, &ToolpathView::FrameClicked);
    // The middle of the second side, x = 10 mm, y = 5 mm.
    const QPoint side = view.Scene().viewport.ToPixels(10, 5).toPoint();
    QTest::mouseClick(&view, Qt::LeftButton, {}, side);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().value<std::uint32_t>(), 3u);
    QCOMPARE(view.Scene().selectedLine, 3u);
    QTest::mouseClick(&view, Qt::LeftButton, {}, view.Scene().viewport.ToPixels(5, 5).toPoint());
    QCOMPARE(clicked.count(), 1);  // nothing under the pointer in the middle

    const QPointF pointer(120, 90);
    const QPointF before = view.Scene().viewport.ToWorld(pointer);
    const double scale = view.Scene().viewport.scale;
    view.ZoomAt(pointer, 2);
    QCOMPARE(view.Scene().viewport.scale, 2 * scale);
    QVERIFY((view.Scene().viewport.ToWorld(pointer) - before).manhattanLength() < 1e-9);
    view.ZoomToFit();
    QCOMPARE(view.Scene().viewport.scale, scale);

    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&view, QPoint(130, 90));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(130, 90));
    QCOMPARE(view.Scene().viewport.ToPixels(10, 5), QPointF(side) + QPointF(30, -10));
    QCOMPARE(clicked.count(), 1);  // a drag selects nothing
  }

  void ViewWindowComparesAndNamesTheStopUnderAClick() {
    TempDir dir;
    const auto input = dir.Write("in.up", "N001G01X+010000F0712\r\nN002X+010000\r\n");
    const auto output = dir.Write(
        "out.up", "N001G01X+010000F0712\r\nN002F0000\r\nN003X+010000F0712\r\n");
    PlotWindow window;
    window.resize(900, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.Open({Path(output), FeedUnits::kFeedCode, Path(input), FeedUnits::kFeedCode}));
    FeedProfileView& profile = *window.profile;
    QVERIFY(profile.Scene().input);
    QCOMPARE(profile.Scene().to, 200.0);
    // Two pixels right of the stop at 100 mm, and the middle of the second move.
    const QRectF plot = ProfilePlotArea(profile.rect());
    const auto xAt = [&](double path) { return plot.left() + path / 200 * plot.width(); };
    QTest::mouseClick(&profile, Qt::LeftButton, {}, QPoint(qRound(xAt(100) + 2), qRound(plot.center().y())));
    QVERIFY2(window.frameLabel->text().contains("строка 2: N002F0000"), qPrintable(window.frameLabel->text()));
    QVERIFY(window.frameLabel->text().contains("вход: строка 2: N002X+010000"));
    QTest::mouseClick(&profile, Qt::LeftButton, {}, QPoint(qRound(xAt(150)), qRound(plot.center().y())));
    QVERIFY(window.frameLabel->text().contains("строка 3: N003X+010000F0712"));
    QCOMPARE(window.toolpath->Scene().selectedLine, 3u);
    QCOMPARE(profile.Scene().selectedPath, 100.0);

    window.planeChoice->setCurrentIndex(1);
    emit window.planeChoice->activated(1);
    QCOMPARE(window.toolpath->Scene().plane, Plane::XZ);

    QVERIFY(!window.Open(PlotSources::ForFile(Path(dir / "gone.up"))));
    QVERIFY(window.frameLabel->text().contains("Невозможно открыть файл"));
    QVERIFY(!window.toolpath->Scene().picture);
  }

  void StatisticsViewButtonOpensTheRunsProgramAndInput() {
    TempDir dir;
    dir.Write("p.up", "N001G01X+010000F0660\r\nN002X+010000\r\n");
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, Path(dir.Path()));
    StatisticsWindow statistics;
    window.SetWindows(&statistics, nullptr);
    // The specified controls keep their places; the new button uses the free
    // space left of "Ok".
    auto* ok = statistics.findChild<QPushButton*>("okButton");
    QCOMPARE(ok->geometry(), QRect(96, 480, 97, 33));
    QVERIFY(!statistics.viewButton->geometry().intersects(ok->geometry()));
    QVERIFY(statistics.viewButton->geometry().bottom() < 513);
    QVERIFY(!statistics.viewButton->isEnabled());

    window.methodTabs->setCurrentIndex(1);
    window.showStatistics->setChecked(true);
    window.fileList->setCurrentRow(0);
    const QString output = Path(dir / "q.up");
    window.saveDialog = [&](const QString&) { return output; };
    window.RunSelectedMethod();
    QVERIFY(statistics.isVisible());
    QVERIFY(statistics.viewButton->isEnabled());
    statistics.viewButton->click();
    auto* view = statistics.findChild<PlotWindow*>();
    QVERIFY(view);
    QVERIFY(view->windowTitle().endsWith("q.up"));
    QVERIFY(view->profile->Scene().input);
    view->close();
  }

  // A coordinate a digit or thirty too long: refused, whatever the picture,
  // and nothing written. Past a float's range it once drew forever.
  void PlotCommandRefusesAPointBeyondTheMachine() {
    TempDir dir;
    const std::string word = "Y+" + std::string(39, '9');
    const auto program = dir.Write("far.up", "N1" + word + "\n");
    for (const std::vector<std::string>& picture :
         {std::vector<std::string>{"--profile", "-o", "p.svg"}, {"--profile", "-o", "p.png"},
          {"-o", "t.svg"}, {"-o", "t.png"}}) {
      std::vector<std::string> args{program.string()};
      for (const std::string& arg : picture) args.push_back(arg == picture.back() ? (dir / arg).string() : arg);
      std::string err;
      QCOMPARE(RunPlot(args, err), 2);
      QCOMPARE(QString::fromStdString(err),
               QString::fromStdString("Рисунок не построен: файл " + program.string() +
                                      ", строка 1: слово " + word +
                                      " выходит за пределы станка: точка дальше 10000000 мм "
                                      "от начала программы\n"));
    }
    QCOMPARE(QString::fromStdString(dir.Listing()), QString("far.up\n"));
  }

  // Paths out to the edges of the table and back, over and over: every
  // number written is a number.
  void PicturesAtTheMachinesEdgesHoldOnlyNumbers() {
    TempDir dir;
    std::string text = "N001G01X+1000000000Y-1000000000F0660\n";
    for (int frame = 0; frame < 50; ++frame) {
      text += "N002G02X-2000000000Y+2000000000I+1000000000J-1000000000\nN003X+2000000000Y-2000000000F0000\n";
    }
    const auto program = dir.Write("edge.up", text);
    for (const char* picture : {"t.svg", "p.svg"}) {
      std::vector<std::string> args{program.string(), "-o", (dir / picture).string()};
      if (picture[0] == 'p') args.push_back("--profile");
      std::string err;
      QCOMPARE(RunPlot(args, err), 0);
      const QString svg = QString::fromStdString(ReadBytes(dir / picture)).toLower();
      QVERIFY(!svg.contains("nan"));
      QVERIFY(!svg.contains("inf"));
    }
  }

  void ViewWindowSaysWhyAFarProgramIsNotDrawn() {
    TempDir dir;
    const auto program = dir.Write("far.up", "N001G01X+000100F0660\nN002X+99999999999999\n");
    PlotWindow window;
    QVERIFY(!window.Open(PlotSources::ForFile(Path(program))));
    QVERIFY(!window.toolpath->Scene().picture);
    QVERIFY(!window.profile->Scene().output);
    QVERIFY2(window.frameLabel->text().contains("Рисунок не построен: файл " + Path(program) +
                                                ", строка 2: слово X+99999999999999"),
             qPrintable(window.frameLabel->text()));
  }

  void FileListViewItemOpensTheSelectedFileOnly() {
    TempDir dir;
    dir.Write("a.up", kSquare);
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, Path(dir.Path()));
    const auto actions = window.fileMenu->actions();
    QCOMPARE(actions.size(), 6);
    QCOMPARE(actions[3]->text(), QString("Удалить файл"));
    QCOMPARE(actions[4]->text(), QString("Просмотр"));
    window.ViewSelectedFile();
    QVERIFY(!window.findChild<PlotWindow*>());
    window.fileList->setCurrentRow(0);
    actions[4]->trigger();
    auto* view = window.findChild<PlotWindow*>();
    QVERIFY(view);
    QCOMPARE(view->toolpath->Scene().picture->motionFrames, 4u);
    QVERIFY(!view->profile->Scene().input);
    QVERIFY(dialogs.shown.empty());
  }
};

}  // namespace h33

QTEST_MAIN(h33::PlotTest)
#include "plot_test.moc"
