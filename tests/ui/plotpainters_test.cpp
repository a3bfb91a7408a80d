#include <QImage>
#include <QPainter>
#include <QtTest>

#include <limits>
#include <vector>

#include "picture/programpicture.h"
#include "plot/plotaxes.h"
#include "plot/plotstyle.h"
#include "plot/plotviewport.h"
#include "plot/profilepainter.h"
#include "plot/toolpathpainter.h"

namespace h33 {

namespace {

ProgramPicture Picture(const char* program) {
  MemorySource source(program);
  return ReadProgramPicture(source, {});
}

bool Near(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
             std::abs(a.blue() - b.blue()) < 60;
}

// Whether column x has the colour within a pixel of row y.
bool ColourAt(const QImage& image, int x, int y, const QColor& colour) {
  for (int row = y - 1; row <= y + 1; ++row) {
    if (Near(image.pixelColor(x, row), colour)) return true;
  }
  return false;
}

}  // namespace

class PlotPaintersTest : public QObject {
  Q_OBJECT

 private slots:
  void ViewportMapsMillimetresUpwardsAndZoomsAboutAPixel() {
    const PlotViewport fit = PlotViewport::Fit(QRectF(-10, 0, 20, 10), QRectF(0, 0, 240, 140), 20);
    QCOMPARE(fit.scale, 10.0);  // 200 pixels for 20 mm; 100 for 10 mm fits in 100
    QCOMPARE(fit.ToPixels(-10, 0), QPointF(20, 120));
    QCOMPARE(fit.ToPixels(10, 10), QPointF(220, 20));
    PlotViewport zoomed = fit;
    zoomed.ZoomAt(QPointF(50, 60), 3);
    QCOMPARE(zoomed.ToWorld(QPointF(50, 60)), fit.ToWorld(QPointF(50, 60)));
    // A path of no extent still gets a finite scale.
    const PlotViewport dot = PlotViewport::Fit(QRectF(5, 5, 0, 0), QRectF(0, 0, 100, 100), 10);
    QCOMPARE(dot.ToPixels(5, 5), QPointF(50, 50));
    QVERIFY(std::isfinite(dot.scale));
    QCOMPARE(PlaneBounds(Box3{{1, 2, 3}, {4, 6, 9}}, Plane::YZ), QRectF(2, 3, 4, 6));
  }

  void AxisStepsAreRoundAndLabelsPlain() {
    QCOMPARE(NiceStep(0.013), 0.01);
    QCOMPARE(NiceStep(27), 20.0);
    QCOMPARE(NiceStep(40), 50.0);
    QCOMPARE(NiceStep(80), 100.0);
    QCOMPARE(NiceStep(0), 1.0);
    QCOMPARE(AxisLabel(1500000, 500000), QString("1500000"));
    QCOMPARE(AxisLabel(0.25, 0.05), QString("0.25"));
    QCOMPARE(AxisLabel(-1e-12, 0.1), QString("0.0"));
  }

  void TicksAreBoundedAndNoneWhereTheStepIsLost() {
    QCOMPARE(Ticks(0.5, 3, 1), (std::vector<double>{1, 2, 3}));
    QCOMPARE(Ticks(-2, -2, 2), (std::vector<double>{-2}));
    QVERIFY(Ticks(2.1, 2.9, 1).empty());
    QCOMPARE(Ticks(0, 1e300, 1, 100).size(), std::size_t{100});
    QVERIFY(Ticks(1e17, 1e17 + 64, 0.01).empty());  // 0.01 is below a double's step there
    QVERIFY(Ticks(0, 10, 0).empty());
    QVERIFY(Ticks(0, std::numeric_limits<double>::infinity(), 1).empty());
  }

  // Zoomed to 16 mm far along a long path, where the axis step of 2 mm adds
  // nothing to a double: the picture still ends, and shows the feed.
  void ProfileFarAlongAHugePathEnds() {
    FeedProfile profile;
    ToolpathMove move;
    move.feed = 600;
    move.pathEnd = 4e16;
    profile.Add(move);
    ProfileScene scene = FitProfile(profile, nullptr);
    scene.from = 4e16 - 16;
    QImage image(760, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintProfile(painter, image.rect(), scene, {});
    const QRectF plot = ProfilePlotArea(image.rect());
    QVERIFY(ColourAt(image, qRound(plot.center().x()),
                     qRound(plot.bottom() - 600 / scene.top * plot.height()), QColor(190, 20, 20)));
  }

  void FeedColoursRunFromRedToBlueWithStopsBlack() {
    const FeedColours colours(100, 1000);
    QCOMPARE(colours.Step(100), 0);
    QCOMPARE(colours.Step(1000), FeedColours::kSteps - 1);
    QCOMPARE(colours.Step(5000), FeedColours::kSteps - 1);
    QCOMPARE(colours.Step(10), 0);
    QCOMPARE(colours.Step(0), -1);
    QCOMPARE(colours.Of(0), QColor(Qt::black));
    QCOMPARE(colours.Of(100).hue(), 0);
    QCOMPARE(colours.Of(1000).hue(), 240);
    // Logarithmic: 316 mm/min is half way between 100 and 1000.
    QVERIFY(std::abs(colours.Step(316) - FeedColours::kSteps / 2) <= 1);
    // One feed only: no division by a zero span.
    QCOMPARE(FeedColours(600, 600).Step(600), FeedColours::kSteps - 1);
  }

  void ProfileDrawsBothCurvesAtTheirFeedsAndMarksTheStop() {
    const ProgramPicture input = Picture("N001G01X+010000F0712\nN002X+010000\n");
    const ProgramPicture output =
        Picture("N001G01X+010000F0660\nN002F0000\nN003X+010000F0690\n");
    QImage image(760, 400, QImage::Format_RGB32);
    const ProfileScene scene = FitProfile(output.profile, &input.profile);
    QCOMPARE(scene.top, 1200 * 1.1);
    {
      QPainter painter(&image);
      PaintProfile(painter, image.rect(), scene, {});
    }
    const QRectF plot = ProfilePlotArea(image.rect());
    const auto yOf = [&](double feed) { return qRound(plot.bottom() - feed / scene.top * plot.height()); };
    const auto xOf = [&](double path) { return qRound(plot.left() + path / 200 * plot.width()); };
    const QColor red(190, 20, 20);
    const QColor blue(150, 185, 225);
    // The output runs at 600 over the first half, at 900 over the second.
    QVERIFY(ColourAt(image, xOf(50), yOf(600), red));
    QVERIFY(!ColourAt(image, xOf(50), yOf(900), red));
    QVERIFY(ColourAt(image, xOf(150), yOf(900), red));
    // The input holds 1200 throughout.
    QVERIFY(ColourAt(image, xOf(50), yOf(1200), blue));
    QVERIFY(!ColourAt(image, xOf(50), yOf(600), blue));
    // The stop: a mark below the axis at 100 mm, none elsewhere.
    const int below = qRound(plot.bottom()) + 5;
    QVERIFY(Near(image.pixelColor(xOf(100), below), red));
    QVERIFY(!Near(image.pixelColor(xOf(50), below), red));
  }

  // A tape from G-code runs its rapid moves at 99999 mm/min: scaled to them,
  // the cuts of 100 to 600 would lie on the axis. The scale is the cuts';
  // the rapid move runs along the top.
  void ProfileIsScaledToTheCuts() {
    const char* tape = "%\nN001G00X+010000F99999\nN002G01X+010000F600\nN003X+010000F100\n";
    MemorySource source(tape);
    PictureOptions options;
    options.units = FeedUnits::kMmPerMinute;
    const ProgramPicture picture = ReadProgramPicture(source, options);
    const ProfileScene scene = FitProfile(picture.profile, nullptr);
    QCOMPARE(scene.top, 600 * 1.1);
    QImage image(760, 400, QImage::Format_RGB32);
    {
      QPainter painter(&image);
      PaintProfile(painter, image.rect(), scene, {});
    }
    const QRectF plot = ProfilePlotArea(image.rect());
    const auto yOf = [&](double feed) { return qRound(plot.bottom() - feed / scene.top * plot.height()); };
    const auto xOf = [&](double path) { return qRound(plot.left() + path / 300 * plot.width()); };
    const QColor red(190, 20, 20);
    QVERIFY(ColourAt(image, xOf(50), qRound(plot.top()), red));
    QVERIFY(ColourAt(image, xOf(150), yOf(600), red));
    QVERIFY(ColourAt(image, xOf(250), yOf(100), red));
  }

  // The legend once stood over the plot's top right corner, where a run
  // that ends at its top feed ends.
  void ProfileLegendLeavesTheCurvesEndsInSight() {
    const ProgramPicture input = Picture("N001G01X+010000F0712\nN002X+010000\n");
    const ProgramPicture output = Picture("N001G01X+010000F0660\nN002X+010000F0712\n");
    for (const bool compare : {false, true}) {
      QImage image(760, 400, QImage::Format_RGB32);
      const ProfileScene scene = FitProfile(output.profile, compare ? &input.profile : nullptr);
      {
        QPainter painter(&image);
        PaintProfile(painter, image.rect(), scene, {});
      }
      const QRectF plot = ProfilePlotArea(image.rect());
      const int top = qRound(plot.bottom() - 1200 / scene.top * plot.height());
      for (int x = qRound(plot.right()) - 300; x < plot.right() - 1; x += 3) {
        QVERIFY2(ColourAt(image, x, top, QColor(190, 20, 20)), qPrintable(QString::number(x)));
        if (compare) QVERIFY2(ColourAt(image, x, top, QColor(150, 185, 225)), qPrintable(QString::number(x)));
      }
      // The legend is there, above the plot on the right.
      int ink = 0;
      for (int y = 0; y < plot.top() - 1; ++y) {
        for (int x = image.width() / 2; x < image.width(); ++x) ink += qGray(image.pixel(x, y)) < 128;
      }
      QVERIFY(ink > 50);
    }
  }

  // A junction frame marked at the corner it stands at, in both pictures.
  void ChangeMarksStandAtTheirFramesInBothPictures() {
    MemorySource source("N001G01X+010000F0660\nN002F0610\nN003Y+010000F0660\n");
    PictureOptions options;
    options.marks = {{2, ChangeMarkKind::kJunction, false}};
    const ProgramPicture picture = ReadProgramPicture(source, options);
    const QColor junction(30, 60, 220);

    QImage path(700, 500, QImage::Format_RGB32);
    const ToolpathScene scene{&picture, nullptr, Plane::XY, FitToolpath(picture, Plane::XY, path.rect()), 0, {}};
    {
      QPainter painter(&path);
      PaintToolpath(painter, path.rect(), scene, {});
    }
    const QPoint corner = scene.viewport.ToPixels(100, 0).toPoint();
    QVERIFY(Near(path.pixelColor(corner), junction));
    QVERIFY(!Near(path.pixelColor(scene.viewport.ToPixels(100, 100).toPoint()), junction));

    QImage strip(760, 400, QImage::Format_RGB32);
    ProfileScene profile = FitProfile(picture.profile, nullptr);
    profile.marks = &picture.marks;
    {
      QPainter painter(&strip);
      PaintProfile(painter, strip.rect(), profile, {});
    }
    const QRectF plot = ProfilePlotArea(strip.rect());
    const int top = qRound(plot.top()) + 8;
    QVERIFY(Near(strip.pixelColor(qRound(plot.left() + plot.width() / 2), top), junction));
    QVERIFY(!Near(strip.pixelColor(qRound(plot.left() + plot.width() / 4), top), junction));
  }
};

}  // namespace h33

QTEST_MAIN(h33::PlotPaintersTest)
#include "plotpainters_test.moc"
