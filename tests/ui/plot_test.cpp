#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QSignalSpy>
#include <QTabBar>
#include <QCheckBox>
#include <QtTest>

#include <cmath>
#include <numbers>
#include <sstream>

#include "findchild.h"
#include "cli/plotcommand.h"
#include "plot/plotexport.h"
#include "ui/feedprofileview.h"
#include "ui/mainwindow.h"
#include "methods/timecount.h"
#include "ui/plotwindow.h"
#include "ui/programdetails.h"
#include "ui/statisticswindow.h"
#include "ui/toolpathview.h"
#include "ui/windowplacement.h"
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

bool Coloured(const QImage& image, const QPoint& pixel) {
  return image.rect().contains(pixel) && image.pixelColor(pixel).hsvSaturation() > 100;
}

// Whether the path is drawn within `reach` pixels of a point.
bool DrawnNear(const QImage& image, const QPointF& at, int reach) {
  for (int dy = -reach; dy <= reach; ++dy) {
    for (int dx = -reach; dx <= reach; ++dx) {
      if (Coloured(image, at.toPoint() + QPoint(dx, dy))) return true;
    }
  }
  return false;
}

// A full circle of 10 mm radius about (−10, 0), from the origin.
constexpr const char* kCircle = "N001G02X+000000Y+000000I+001000J+000000F0660\r\n";

// The moves of examples/pocket.up: down, a 40 × 20 mm rectangle with corners
// of 5 mm radius, up.
constexpr const char* kPocketPass =
    "N003G01Z-000500F0630\r\nN004X+004000F0660\r\nN005G03X+000500Y+000500I+000000J-000500\r\n"
    "N006G01Y+002000\r\nN007G03X-000500Y+000500I+000500J+000000\r\nN008G01X-004000\r\n"
    "N009G03X-000500Y-000500I+000000J+000500\r\nN010G01Y-002000\r\n"
    "N011G03X+000500Y-000500I-000500J+000000\r\nN012G01Z+000500F0712\r\n";

std::string Repeated(const char* pass, std::size_t bytes) {
  std::string program = "%\r\nN001G17S500M03\r\nN002M08\r\n";
  while (program.size() < bytes) program += pass;
  return program;
}

// Where h33-plot puts the world: the fit of the program's first pass.
PlotViewport PlotFit(const char* pass) {
  MemorySource source(pass);
  PictureOptions options;
  options.path = ExportPathOptions(1200, 900);
  return FitToolpath(ReadProgramPicture(source, options), Plane::XY, QRectF(0, 0, 1200, 900));
}

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

  // Once thinned coarser with each turn, until a 20-sided polygon of
  // one-pixel lines was left.
  void PlotCommandDrawsACircleTracedManyTimesRoundWithTheArcPen() {
    TempDir dir;
    std::string program;
    for (int turn = 0; turn < 25000; ++turn) program += kCircle;
    std::string err;
    QCOMPARE(RunPlot({dir.Write("circle.up", program).string(), "-o", (dir / "c.png").string()}, err), 0);
    const QImage image(Path(dir / "c.png"));
    const PlotViewport fit = PlotFit(kCircle);
    const QPointF centre = fit.ToPixels(-10, 0);
    const double radius = 10 * fit.scale;
    // Away from the start marker at 0°, every half degree: the ring lies on
    // the circle and is as wide as an arc is drawn.
    for (double degrees = 4; degrees < 356; degrees += 0.5) {
      const QPointF out(std::cos(qDegreesToRadians(degrees)), -std::sin(qDegreesToRadians(degrees)));
      double inner = 1e9, outer = -1e9, ink = 0;
      for (double off = -8; off <= 8; off += 0.25) {
        const QPoint pixel = (centre + (radius + off) * out).toPoint();
        ink += image.pixelColor(pixel).hsvSaturationF() * 0.25;
        if (!Coloured(image, pixel)) continue;
        inner = std::min(inner, off);
        outer = std::max(outer, off);
      }
      const QString at = QString("%1°: %2..%3, %4 wide").arg(degrees).arg(inner).arg(outer).arg(ink);
      QVERIFY2(inner <= 1.5 && outer >= -1.5, qPrintable(at));
      QVERIFY2(ink >= 1.8, qPrintable(at));  // an arc's pen is 2.5 pixels wide, a line's 1.2
    }
  }

  // Once nothing but the start marker and a line were left at this size.
  void PlotCommandDrawsAContourRunOverTwentyMegabytesWhole() {
    TempDir dir;
    const auto program = dir.Write("pocket.up", Repeated(kPocketPass, 20'000'000));
    std::string err;
    QCOMPARE(RunPlot({program.string(), "-o", (dir / "p.png").string()}, err), 0);
    QCOMPARE(QString::fromStdString(err), QString());
    const QImage image(Path(dir / "p.png"));
    const PlotViewport fit = PlotFit(kPocketPass);
    const double corner = 5 * std::sqrt(0.5);
    for (const QPointF& point : {QPointF(20, 0), QPointF(45, 15), QPointF(20, 30), QPointF(-5, 15),
                                 QPointF(40 + corner, 5 - corner), QPointF(40 + corner, 25 + corner),
                                 QPointF(-corner, 25 + corner), QPointF(-corner, 5 - corner)}) {
      QVERIFY2(DrawnNear(image, fit.ToPixels(point.x(), point.y()), 2),
               qPrintable(QString("%1, %2").arg(point.x()).arg(point.y())));
    }
    QVERIFY(!DrawnNear(image, fit.ToPixels(20, 15), 10));
  }

  // A tape's F650 is 650 mm/min; read as a feed code it would draw a feed
  // of hundreds of millions. Its name or its feed words tell, as --ptp does.
  void PlotCommandTakesATapeByItsNameOrItsFeeds() {
    TempDir dir;
    // Feeds of four digits look like codes: only the name can tell.
    const char* fastTape = "N001G01X+001000F1200\r\nN002Y+001000F1000\r\n";
    const char* tape = "N001G01X+001000F650\r\nN002Y+001000F300\r\n";
    const auto picture = [&](const std::string& file, std::vector<std::string> extra) {
      std::vector<std::string> args{(dir / file).string(), "--profile", "-o", (dir / "p.png").string()};
      args.insert(args.end(), extra.begin(), extra.end());
      std::string err;
      if (RunPlot(args, err) != 0) return std::string("failed: ") + err;
      return ReadBytes(dir / "p.png");
    };
    for (const char* name : {"fast.ptp", "FAST.Ptp"}) {
      dir.Write(name, fastTape);
      QVERIFY2(picture(name, {}) == picture(name, {"--ptp"}), name);
    }
    for (const char* name : {"tape.up", "tape"}) {
      dir.Write(name, tape);
      QVERIFY2(picture(name, {}) == picture(name, {"--ptp"}), name);
    }
    // Coded feeds stay codes, and the compare mode's input is told apart too.
    dir.Write("fast.up", fastTape);
    QVERIFY(picture("fast.up", {}) != picture("fast.up", {"--ptp"}));
    dir.Write("coded.up", kSquare);
    QVERIFY(picture("coded.up", {"--compare", (dir / "tape.up").string()}) ==
            picture("coded.up", {"--compare", (dir / "tape.up").string(), "--ptp"}));
  }

  void PlotCommandWritesSvgAndProfilesAndRefusesBadNames() {
    TempDir dir;
    const auto program = dir.Write("square.up", kSquare);
    const auto input = dir.Write("square.ptp", "N001G01X+001000F650\r\nN002Y+001000\r\n");
    std::string err;
    // A Qt without its SVG module (the Windows build) writes PNG only.
    if (IsPlotFileName("a.SVG")) {
      QCOMPARE(RunPlot({program.string(), "-o", (dir / "a.SVG").string()}, err), 0);
      const std::string svg = ReadBytes(dir / "a.SVG");
      QVERIFY(svg.find("<svg") != std::string::npos);
    } else {
      QCOMPARE(RunPlot({program.string(), "-o", (dir / "a.SVG").string()}, err), 2);
      dir.Write("a.SVG", "");
    }
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

    // An empty program: an empty picture, nothing left out of it.
    const auto empty = dir.Write("empty.up", "");
    QCOMPARE(RunPlot({empty.string(), "-o", (dir / "empty.png").string()}, err), 0);
    QVERIFY2(err.empty(), err.c_str());
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

  // Zoomed 200 times onto a circle, where its drawing as read stays off the
  // arc by 16 pixels: the view reads the window again at its zoom.
  void ToolpathViewZoomedFarInDrawsTheArcSmooth() {
    TempDir dir;
    PlotWindow window;
    window.resize(900, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.Open(PlotSources::ForFile(Path(dir.Write("circle.up", kCircle)))));
    ToolpathView& view = *window.toolpath;
    const double side = 10 * std::sqrt(0.5);  // 45° up from the centre: between two points as read
    view.ZoomAt(view.Scene().viewport.ToPixels(-10 + side, side), 200);
    QTest::qWait(400);
    const QImage image = view.grab().toImage();
    const PlotViewport& viewport = view.Scene().viewport;
    int columns = 0;
    for (int x = 0; x < view.width() * 3 / 4; x += 5) {
      const double worldX = viewport.ToWorld(QPointF(x, 0)).x();
      const double onArc = viewport.ToPixels(worldX, std::sqrt(100 - (worldX + 10) * (worldX + 10))).y();
      if (onArc < 4 || onArc > view.height() - 60) continue;  // off the picture, or under the axes
      ++columns;
      QVERIFY2(DrawnNear(image, QPointF(x, onArc), 1), qPrintable(QString("column %1").arg(x)));
    }
    QVERIFY2(columns > 30, qPrintable(QString("%1 columns in a view of %2x%3")
                                          .arg(columns).arg(view.width()).arg(view.height())));
  }

  // A contour run again is kept once; the frame of a later run is still
  // marked where it runs.
  void ToolpathViewMarksAFrameOfAContourRunAgain() {
    TempDir dir;
    PlotWindow window;
    window.resize(900, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.Open(PlotSources::ForFile(Path(dir.Write("pocket.up", Repeated(kPocketPass, 1000))))));
    ToolpathView& view = *window.toolpath;
    view.SelectFrame(26);  // the first corner of the third run
    QVERIFY(view.Scene().selectedMove);
    QCOMPARE(view.Scene().selectedMove->kind, MoveKind::kCircular);
    const QImage image = view.grab().toImage();
    const double corner = 5 * std::sqrt(0.5);
    const QPoint middle = view.Scene().viewport.ToPixels(40 + corner, 5 - corner).toPoint();
    const QColor marked = image.pixelColor(middle);
    QVERIFY2(marked.red() > 120 && marked.blue() > 120 && marked.green() < 120,
             qPrintable(marked.name()));
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
    QVERIFY(window.Open({.program = Path(output), .programUnits = FeedUnits::kFeedCode, .input = Path(input), .inputUnits = FeedUnits::kFeedCode}));
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

  void ViewWindowListsAndMarksWhatTheCorrectionChanged() {
    TempDir dir;
    // A right angle: a junction frame, the feed restated after it, a stop.
    const auto input = dir.Write("in.up", "N001G01X+010000F0660\r\nN002Y+010000\r\n");
    const auto output = dir.Write(
        "out.up", "N001G01X+010000F0660\r\nN002F0610\r\nN003Y+010000F0660\r\nN004F0000\r\n");
    PlotWindow window;
    window.resize(1200, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.Open({.program = Path(output), .programUnits = FeedUnits::kFeedCode, .input = Path(input), .inputUnits = FeedUnits::kFeedCode}));
    ProgramDetails& details = *window.details;
    QVERIFY(details.isTabVisible(1));
    QCOMPARE(details.changesList->count(), 3);
    QVERIFY2(details.changesSummary->text().startsWith("Перемещения совпадают: 2."),
             qPrintable(details.changesSummary->text()));
    const auto& marks = window.toolpath->Scene().picture->marks;
    QCOMPARE(marks.size(), std::size_t{2});
    QCOMPARE(marks[0].kind, ChangeMarkKind::kJunction);
    QCOMPARE(marks[0].at.x, 100.0);
    QCOMPARE(marks[1].kind, ChangeMarkKind::kStop);
    QCOMPARE(marks[1].path, 200.0);
    QCOMPARE(window.profile->Scene().marks, &marks);

    // The restated feed clicked: its frame selected, the input's named.
    emit details.changesList->itemClicked(details.changesList->item(1));
    QVERIFY2(window.frameLabel->text().contains("строка 3: N003Y+010000F0660"),
             qPrintable(window.frameLabel->text()));
    QVERIFY(window.frameLabel->text().contains("вход: строка 2: N002Y+010000"));
    QCOMPARE(window.toolpath->Scene().selectedLine, 3u);

    // The time tab's total is the counter's.
    QTableWidget& time = *details.timeTable;
    QCOMPARE(time.horizontalHeaderItem(time.columnCount() - 1)->text(), QString("Итого"));
    QCOMPARE(time.verticalHeaderItem(time.rowCount() - 1)->text(), QString("Всего, с"));
    const float seconds = TimeCounter(output, 50).CountTime().seconds;
    QCOMPARE(time.item(time.rowCount() - 1, time.columnCount() - 1)->text(),
             QString::number(std::llround(seconds)));

    // Other moves: said so, nothing marked.
    const auto edited = dir.Write("edited.up", "N001G01X+010000F0660\r\nN002Y+020000\r\n");
    QVERIFY(window.Open({.program = Path(edited), .programUnits = FeedUnits::kFeedCode, .input = Path(input), .inputUnits = FeedUnits::kFeedCode}));
    QVERIFY(details.changesSummary->text().startsWith("Перемещения различаются"));
    QVERIFY(window.toolpath->Scene().picture->marks.empty());
    QVERIFY(!window.profile->Scene().marks);

    // One program alone has no changes; a PTP tape no time by parts.
    const auto tape = dir.Write("in.ptp", "N001G01X100.F600\r\n");
    QVERIFY(window.Open(PlotSources::ForFile(Path(tape))));
    QVERIFY(!details.isTabVisible(1));
    QVERIFY(details.timeCaption->text().contains("только для программ H33"));
    QCOMPARE(time.rowCount(), 0);
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

    Find<QTabBar>(window, "methodTabs")->setCurrentIndex(1);
    Find<QCheckBox>(window, "showStatistics")->setChecked(true);
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
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

  void AWindowOpensBesideAnotherWhereTheScreenHasRoom() {
    const QSize wanted(1000, 760), least(720, 400);
    // Beside statistics centred on a wide screen, on the side with more room.
    const QRect wide(0, 0, 1920, 1080);
    const QRect centred(815, 283, 289, 513);
    SideBySide placed = PlaceBeside(centred, wanted, least, wide);
    QCOMPARE(placed.shown, centred);
    QVERIFY(!placed.opened.intersects(placed.shown));
    QVERIFY(wide.contains(placed.opened));
    QVERIFY(placed.opened.width() >= least.width() && placed.opened.height() == 760);
    // On a laptop's screen neither side has room: the statistics move to the
    // nearer edge and the window opens whole in the rest.
    const QRect laptop(0, 0, 1366, 768);
    placed = PlaceBeside(QRect(538, 127, 289, 513), wanted, least, laptop);
    QCOMPARE(placed.shown, QRect(0, 127, 289, 513));
    QCOMPARE(placed.opened.size(), QSize(1000, 760));
    QVERIFY(!placed.opened.intersects(placed.shown));
    QVERIFY(laptop.contains(placed.opened));
    // Too small a screen for both: the window still lies on it.
    const QRect small(0, 0, 800, 600);
    placed = PlaceBeside(QRect(255, 43, 289, 513), wanted, least, small);
    QVERIFY(small.contains(placed.opened));
  }

  // A window designed for a larger screen opens inside a smaller one: on
  // 1024x768 the main window's 1005 pixels start at 19, not at 333; one
  // larger than the screen keeps its title bar in sight.
  void WindowsOpenWithinTheScreen() {
    const QRect screen(0, 0, 1024, 728);
    QCOMPARE(PlaceWithin(QRect(333, 357, 1005, 387), screen), QRect(19, 341, 1005, 387));
    QCOMPARE(PlaceWithin(QRect(10, 20, 300, 200), screen), QRect(10, 20, 300, 200));
    QCOMPARE(PlaceWithin(QRect(-50, -5, 300, 200), screen), QRect(0, 0, 300, 200));
    QCOMPARE(PlaceWithin(QRect(500, 500, 2000, 1000), QRect(1920, 0, 1280, 1024)), QRect(1920, 24, 2000, 1000));
  }

  // The statistics stay on top: the view they open must not lie under them.
  // Run on a wide screen as well (ui.plot.widescreen), where both fit.
  void StatisticsOpenTheViewBesideThem() {
    TempDir dir;
    StatisticsWindow statistics;
    statistics.SetPlotSources(PlotSources::ForFile(Path(dir.Write("p.up", kSquare))));
    statistics.show();
    QVERIFY(QTest::qWaitForWindowExposed(&statistics));
    statistics.viewButton->click();
    auto* view = statistics.findChild<PlotWindow*>();
    QVERIFY(view);
    QVERIFY(QTest::qWaitForWindowExposed(view));
    const QRect screen = statistics.screen()->availableGeometry();
    const QRect frame = view->frameGeometry();
    // Wider fonts (Wine's) make the view's least size larger than this
    // small test screen; the wide screen's run covers the placement there.
    const QSize framing = frame.size() - view->size();
    if (view->minimumSizeHint().width() + framing.width() > screen.width() ||
        view->minimumSizeHint().height() + framing.height() > screen.height()) {
      QSKIP("the view's least size does not fit this screen");
    }
    QVERIFY2(screen.contains(frame), qPrintable(QString("%1,%2 %3x%4 on %5x%6").arg(frame.x()).arg(frame.y())
                                                   .arg(frame.width()).arg(frame.height())
                                                   .arg(screen.width()).arg(screen.height())));
    if (screen.width() < statistics.frameGeometry().width() + view->minimumSizeHint().width() + 8) {
      QSKIP("the screen has no room for both windows side by side");
    }
    QVERIFY2(!view->frameGeometry().intersects(statistics.frameGeometry()),
             qPrintable(QString("%1,%2 %3x%4").arg(view->frameGeometry().x()).arg(view->frameGeometry().y())
                            .arg(view->frameGeometry().width()).arg(view->frameGeometry().height())));
    view->close();
  }

  // A coordinate a digit or thirty too long: refused, whatever the picture,
  // and nothing written. Past a float's range it once drew forever.
  void PlotCommandRefusesAPointBeyondTheMachine() {
    TempDir dir;
    const bool svg = IsPlotFileName("t.svg");  // not where Qt has no SVG writer
    const std::string word = "Y+" + std::string(39, '9');
    const auto program = dir.Write("far.up", "N1" + word + "\n");
    for (const std::vector<std::string>& picture :
         {std::vector<std::string>{"--profile", "-o", "p.svg"}, {"--profile", "-o", "p.png"},
          {"-o", "t.svg"}, {"-o", "t.png"}}) {
      if (!svg && picture.back().ends_with(".svg")) continue;
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
    if (!IsPlotFileName("t.svg")) QSKIP("reads the numbers of SVG pictures, which a Qt without SVG does not write");
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

  // A G-code program is drawn from its tape, which lives while the view does
  // and is gone with it; one the import refuses says why.
  void ViewWindowDrawsAGcodeProgramFromItsTape() {
    TempDir dir;
    const auto program =
        dir.Write("part.nc", "(part)\nG21 G90\nG1 X30 F300\nG3 X40 Y10 I0 J10\nG1 Y40\nM30\n");
    {
      PlotWindow window;
      QVERIFY(window.Open(PlotSources::ForFile(Path(program))));
      QVERIFY(window.toolpath->Scene().picture);
      // 30 mm, the chord of a quarter of a circle of 10 mm, 30 mm: the
      // path adds up chords.
      QCOMPARE(std::round(window.profile->Scene().output->Length() * 1000) / 1000,
               std::round((60 + 10 * std::numbers::sqrt2) * 1000) / 1000);
      // A click names the G-code's line, not the tape's: the last move is
      // the program's line 5 and the tape's line 4.
      window.resize(900, 700);
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      FeedProfileView& profile = *window.profile;
      const QRectF plot = ProfilePlotArea(profile.rect());
      const double length = profile.Scene().to;
      QTest::mouseClick(&profile, Qt::LeftButton, {},
                        QPoint(qRound(plot.left() + (length - 10) / length * plot.width()),
                               qRound(plot.center().y())));
      QVERIFY2(window.frameLabel->text().contains("строка 5 G-кода: N003G01Y+003000"),
               qPrintable(window.frameLabel->text()));
    }
    const auto refused = dir.Write("bad.nc", "G1 X#1 F100\n");
    PlotWindow window;
    QVERIFY(!window.Open(PlotSources::ForFile(Path(refused))));
    QVERIFY2(window.frameLabel->text().contains("Строка 1: параметры"),
             qPrintable(window.frameLabel->text()));
  }

  void FileListViewItemOpensTheSelectedFileOnly() {
    TempDir dir;
    dir.Write("a.up", kSquare);
    ScriptedDialogs dialogs;
    MainWindow window(dialogs, Path(dir.Path()));
    const auto actions = Find<QMenu>(window, "fileMenu")->actions();
    QCOMPARE(actions.size(), 6);
    QCOMPARE(actions[3]->text(), QString("Удалить файл"));
    QCOMPARE(actions[4]->text(), QString("Просмотр"));
    window.ViewSelectedFile();
    QVERIFY(!window.findChild<PlotWindow*>());
    Find<QListWidget>(window, "fileList")->setCurrentRow(0);
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
