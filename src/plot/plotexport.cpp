#include "plot/plotexport.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#ifdef H33_SVG_PICTURES
#include <QSvgGenerator>
#endif

#include <algorithm>
#include <cctype>
#include <memory>

#include "format/outputfile.h"
#include "plot/profilepainter.h"
#include "plot/toolpathpainter.h"

namespace h33 {
namespace {

// Thinning at a quarter pixel of the fitted picture stays invisible.
constexpr double kPixelsPerTolerance = 4;

std::string Extension(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

void Paint(QPainter& painter, const PlotExport& plot) {
  const QRectF area(0, 0, plot.width, plot.height);
  const QString title = QString::fromStdString(plot.title);
  if (plot.kind == PlotKind::kProfile) {
    ProfileScene scene = FitProfile(plot.program->profile, plot.input ? &plot.input->profile : nullptr);
    PaintProfile(painter, area, scene, title);
    return;
  }
  ToolpathScene scene;
  scene.picture = plot.program;
  scene.plane = plot.plane;
  scene.viewport = FitToolpath(*plot.program, plot.plane, area);
  PaintToolpath(painter, area, scene, title);
}

QByteArray RenderPng(const PlotExport& plot) {
  QImage image(plot.width, plot.height, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    Paint(painter, plot);
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) throw IoError("не удалось закодировать рисунок PNG");
  return bytes;
}

#ifdef H33_SVG_PICTURES
constexpr bool kSvgPictures = true;

QByteArray RenderSvg(const PlotExport& plot) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(QSize(plot.width, plot.height));
  generator.setViewBox(QRect(0, 0, plot.width, plot.height));
  generator.setTitle(QString::fromStdString(plot.title));
  {
    QPainter painter(&generator);
    Paint(painter, plot);
  }
  return bytes;
}
#else
constexpr bool kSvgPictures = false;

QByteArray RenderSvg(const PlotExport&) { throw IoError("рисунок SVG в этой сборке не пишется"); }
#endif

}  // namespace

PathPolyline::Options ExportPathOptions(int width, int height) {
  PathPolyline::Options options;
  options.relativeTolerance = 1 / (kPixelsPerTolerance * std::max({width, height, 1}));
  return options;
}

double ThinningPixels(const PlotExport& plot) {
  if (plot.kind == PlotKind::kProfile) return 0;
  // A path without extent (no move, or moves that return to one point) has
  // no detail to leave out, whatever scale its empty frame is drawn at.
  const Box3& bounds = plot.program->path.Bounds();
  if (bounds.Empty() || bounds.LargestSide() <= 0) return 0;
  const QRectF area(0, 0, plot.width, plot.height);
  return plot.program->path.Tolerance() * FitToolpath(*plot.program, plot.plane, area).scale;
}

bool IsPlotFileName(const std::filesystem::path& file) {
  const std::string extension = Extension(file);
  return extension == ".png" || (kSvgPictures && extension == ".svg");
}

const char* PlotFileKinds() { return kSvgPictures ? "*.png или *.svg" : "*.png"; }

void ExportPlot(const PlotExport& plot, const std::filesystem::path& file) {
  const QByteArray bytes = Extension(file) == ".svg" ? RenderSvg(plot) : RenderPng(plot);
  OutputFile output(file);
  output.Write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  output.Commit();
}

}  // namespace h33
