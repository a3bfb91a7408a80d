// The tool path a program drives, as the plot draws it, on arbitrary bytes.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "format/lineio.h"
#include "format/textformat.h"
#include "picture/programpicture.h"
#include "picture/toolpath.h"
#include "fuzzing.h"

namespace h33::fuzz {
namespace {

// Small caps, so that the fuzzer reaches the thinning with short inputs.
constexpr std::size_t kPointCap = 512;
constexpr std::size_t kProfileCap = 64;
constexpr std::size_t kMostArcPoints = 4096;

bool SameMove(const ToolpathMove& a, const ToolpathMove& b) {
  const auto same = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  return a.kind == b.kind && a.line == b.line && a.feed == b.feed && a.sense == b.sense &&
         a.plane == b.plane && same(a.end.x, b.end.x) && same(a.end.y, b.end.y) &&
         same(a.end.z, b.end.z) && same(a.pathEnd, b.pathEnd);
}

bool Finite(const Point3& point) {
  return std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z);
}

bool WithinReach(const Point3& point) {
  return std::fabs(point.x) <= kMachineReach && std::fabs(point.y) <= kMachineReach &&
         std::fabs(point.z) <= kMachineReach;
}

void CheckMove(const ToolpathMove& move, double tolerance, std::uint32_t lastLine) {
  Require(move.line > lastLine, "every frame comes from a line of its own");
  Require(!(move.pathEnd < move.pathStart), "the path length never shrinks",
          [&] { return Sprintf("%.17g to %.17g", move.pathStart, move.pathEnd); });
  Require(std::isfinite(move.pathEnd), "the path length is a number");
  Require(move.feed >= 0, "a feed in force is never negative");
  Require(WithinReach(move.end) && (move.kind != MoveKind::kCircular || WithinReach(move.centre)),
          "what is read lies within the machine's reach");
  std::vector<Point3> points;
  FlattenMove(move, tolerance, points);
  Require(!points.empty() && points.size() <= kMostArcPoints,
          "a move is drawn with a bounded number of points");
  for (const Point3& point : points) Require(Finite(point), "a drawn point is a number");
}

// Reads every move twice, from whole and from chunked bytes; returns the line
// a refusal named, 0 when the program was read to its end.
std::uint32_t ReadMoves(std::string_view program, FeedUnits units,
                        const std::vector<std::size_t>& chunks, double tolerance) {
  MemorySource whole(program);
  ChunkedSource pieces(program, chunks);
  ToolpathReader reader(whole, units);
  ToolpathReader again(pieces, units);
  ToolpathMove move;
  ToolpathMove other;
  std::uint32_t line = 0;
  try {
    while (reader.Next(move)) {
      Require(again.Next(other) && SameMove(move, other),
              "the path does not depend on how the bytes arrive");
      CheckMove(move, tolerance, line);
      line = move.line;
    }
  } catch (const OutOfReachError& refusal) {
    Require(refusal.Line() == reader.Lines() && refusal.Line() > line,
            "a refusal names the line just read");
    try {
      while (again.Next(other)) {}
    } catch (const OutOfReachError& same) {
      Require(same.Line() == refusal.Line(), "both readings refuse the same line");
      return refusal.Line();
    }
    Violated("both readings refuse the same line");
  }
  Require(!again.Next(other), "both readings end together");
  Require(reader.Lines() == ReadPieces(program, kProgramLineLimit).size(), "every line is read");
  return 0;
}

// The picture holds numbers only, and no more than its caps however long
// the program: the work of drawing it is bounded.
void CheckPicture(std::string_view program, FeedUnits units, double tolerance,
                  std::uint32_t refusedAt) {
  MemorySource source(program);
  PictureOptions options;
  options.units = units;
  options.path.tolerance = tolerance;
  options.path.pointCap = kPointCap;
  options.profileCap = kProfileCap;
  try {
    const ProgramPicture picture = ReadProgramPicture(source, options);
    Require(refusedAt == 0, "the picture refuses what the reader refuses");
    const auto& points = picture.path.Points();
    Require(points.size() <= kPointCap, "the drawn points stay under their cap");
    for (const PathPoint& point : points) {
      Require(std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z),
              "a point of the picture is a number");
    }
    const Box3& bounds = picture.path.Bounds();
    Require(bounds.Empty() || (Finite(bounds.low) && Finite(bounds.high)),
            "the picture's box is made of numbers");
    const auto& samples = picture.profile.Samples();
    Require(samples.size() <= kProfileCap, "the profile's steps stay under their cap");
    for (const ProfileSample& sample : samples) {
      Require(std::isfinite(sample.path) && std::isfinite(sample.low) && std::isfinite(sample.high),
              "a step of the profile is a number");
    }
    Require(std::isfinite(picture.profile.Length()), "the profile's length is a number");
  } catch (const OutOfReachError& refusal) {
    Require(refusal.Line() == refusedAt, "the picture refuses what the reader refuses");
  }
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33;
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const FeedUnits units = bytes.Byte() & 1 ? FeedUnits::kFeedCode : FeedUnits::kMmPerMinute;
  const std::vector<std::size_t> chunks = ChunkSizes(bytes.Byte());
  const double tolerance = 0.001 * (1 + bytes.Byte());  // mm
  const std::string_view program = bytes.Rest();
  const std::uint32_t refusedAt = ReadMoves(program, units, chunks, tolerance);
  CheckPicture(program, units, tolerance, refusedAt);
  return 0;
}
