// The tool path a program drives, as the plot draws it, on arbitrary bytes.

#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzzing.h"
#include "lineio.h"
#include "textformat.h"
#include "toolpath.h"

namespace h33::fuzz {
namespace {

bool SameMove(const ToolpathMove& a, const ToolpathMove& b) {
  const auto same = [](double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  return a.kind == b.kind && a.line == b.line && a.feed == b.feed && a.sense == b.sense &&
         a.plane == b.plane && same(a.end.x, b.end.x) && same(a.end.y, b.end.y) &&
         same(a.end.z, b.end.z) && same(a.pathEnd, b.pathEnd);
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

  MemorySource whole(program);
  ChunkedSource pieces(program, chunks);
  ToolpathReader reader(whole, units);
  ToolpathReader again(pieces, units);
  ToolpathMove move;
  ToolpathMove other;
  std::uint32_t line = 0;
  std::vector<Point3> points;
  while (reader.Next(move)) {
    Require(again.Next(other) && SameMove(move, other),
            "the path does not depend on how the bytes arrive");
    Require(move.line > line, "every frame comes from a line of its own");
    line = move.line;
    Require(!(move.pathEnd < move.pathStart), "the path length never shrinks",
            Sprintf("%.17g to %.17g", move.pathStart, move.pathEnd));
    Require(move.feed >= 0, "a feed in force is never negative");
    points.clear();
    FlattenMove(move, tolerance, points);
    Require(!points.empty() && points.size() <= 4096,
            "a move is drawn with a bounded number of points");
  }
  Require(!again.Next(other), "both readings end together");
  Require(reader.Lines() == ReadPieces(program, kProgramLineLimit).size(), "every line is read");
  return 0;
}
