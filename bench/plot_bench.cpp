// The pictures of a 50 MB program: reading it into a thinned path and feed
// profile, rendering both offscreen, and finding the frame under the pointer.
// The counters say how much the picture holds, which must not grow with the
// program beyond its caps.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <optional>
#include <string>

#include "picture/programpicture.h"
#include "plot/profilepainter.h"
#include "plot/toolpathpainter.h"
#include "programgen.h"

namespace h33 {
namespace {

constexpr std::uint64_t kProgramBytes = 50ull * 1024 * 1024;
const QSize kViewSize(1000, 700);

const std::string& Program() {
  static const std::string program = [] {
    MemorySink sink;
    bench::GenerateProgram(bench::ProgramFormat::kUp, kProgramBytes, 1, sink);
    return sink.Bytes();
  }();
  return program;
}

// As the view window reads it.
PictureOptions ViewOptions() {
  PictureOptions options;
  options.path.relativeTolerance = 1.0 / 16384;
  return options;
}

const ProgramPicture& Picture() {
  static const ProgramPicture picture = [] {
    MemorySource source(Program());
    return ReadProgramPicture(source, ViewOptions());
  }();
  return picture;
}

double HeldMegabytes(const ProgramPicture& picture) {
  const double bytes =
      static_cast<double>(picture.path.Points().capacity() * sizeof(PathPoint) +
                          picture.profile.Samples().capacity() * sizeof(ProfileSample) +
                          picture.checkpoints.capacity() * sizeof(LineCheckpoint));
  return bytes / (1024 * 1024);
}

void BM_ReadPicture(benchmark::State& state) {
  const std::string& program = Program();
  std::optional<ProgramPicture> picture;
  for (auto _ : state) {
    MemorySource source(program);
    picture.emplace(ReadProgramPicture(source, ViewOptions()));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Program().size()));
  state.counters["lines"] = picture->lines;
  state.counters["points"] = static_cast<double>(picture->path.Points().size());
  state.counters["steps"] = static_cast<double>(picture->profile.Samples().size());
  state.counters["held_MB"] = HeldMegabytes(*picture);
}
BENCHMARK(BM_ReadPicture)->Unit(benchmark::kMillisecond);

void BM_RenderToolpath(benchmark::State& state) {
  const ProgramPicture& picture = Picture();
  QImage image(kViewSize, QImage::Format_ARGB32_Premultiplied);
  ToolpathScene scene;
  scene.picture = &picture;
  scene.viewport = FitToolpath(picture, Plane::XY, image.rect());
  // Zoomed in, most segments fall outside and are skipped.
  scene.viewport.ZoomAt(QPointF(image.rect().center()), static_cast<double>(state.range(0)));
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintPath(painter, image.rect(), scene);
  }
}
BENCHMARK(BM_RenderToolpath)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_RenderProfile(benchmark::State& state) {
  const ProgramPicture& picture = Picture();
  QImage image(QSize(kViewSize.width(), 300), QImage::Format_ARGB32_Premultiplied);
  const ProfileScene scene = FitProfile(picture.profile, &picture.profile);
  for (auto _ : state) {
    QPainter painter(&image);
    PaintProfile(painter, image.rect(), scene, {});
  }
}
BENCHMARK(BM_RenderProfile)->Unit(benchmark::kMillisecond);

void BM_FrameNear(benchmark::State& state) {
  const ProgramPicture& picture = Picture();
  ToolpathScene scene;
  scene.picture = &picture;
  scene.viewport = FitToolpath(picture, Plane::XY, QRectF(QPointF(0, 0), kViewSize));
  for (auto _ : state) {
    benchmark::DoNotOptimize(FrameNear(scene, QPointF(400, 300), 6));
  }
}
BENCHMARK(BM_FrameNear)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace h33

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
