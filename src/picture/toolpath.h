#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "format/bytesource.h"
#include "format/frame.h"
#include "format/lineio.h"
#include "format/modalstate.h"
#include "planning/feedlimits.h"

namespace h33 {

// The tool's path as a program drives it, frame by frame, in absolute mm
// from the point where the program starts.

// How the F word is written: as the controller's feed code (an H33 program)
// or as plain mm/min (a PTP tape).
enum class FeedUnits { kFeedCode, kMmPerMinute };

enum class MoveKind : std::uint8_t {
  kRapid,     // G00 in force, no arc words
  kLinear,
  kCircular,  // I, J or K present
  kFeed,      // no motion: the frame only sets a feed (a stop frame among them)
};

struct Point3 {
  double x = 0, y = 0, z = 0;
};

// One frame that moves the tool or sets a feed.
struct ToolpathMove {
  MoveKind kind = MoveKind::kLinear;
  Point3 start, end;
  Point3 centre;           // circular moves: start − (I, J, K)
  int sense = 2;           // 2 for G02, 3 for G03 (no G02/G03 yet counts as G02)
  Plane plane = Plane::XY;
  int feed = 0;            // mm/min in force for this frame
  std::uint32_t line = 0;  // 1-based; a piece of an over-long line counts as a line
  // Cumulative chord length before and after the frame, mm. Chords, not arc
  // lengths: the measure of the statistics window and of the braking.
  double pathStart = 0, pathEnd = 0;
};

// Where every kLineCheckpointStride-th line starts, how much path lies
// before it and how the program stands there, so that a frame can be found
// and read again without reading the program from its start.
inline constexpr std::uint32_t kLineCheckpointStride = 1024;

struct LineCheckpoint {
  std::uint64_t offset = 0;  // bytes of the file before the line
  double path = 0;           // chord length before the line, mm
  Point3 position;           // where the tool stands before the line
  int feed = 0;              // mm/min in force
  ModalState modal;
};

// How far from the program's start, mm along any axis, a point of the path
// or an arc's centre may lie: ten kilometres, beyond the table of any
// machine. A coordinate past it is a fault of the program (a digit too many),
// and drawing it would lose the true path in rounding or never end.
inline constexpr double kMachineReach = 1e7;

// A frame whose word puts a point beyond kMachineReach, or out of the
// numbers altogether.
class OutOfReachError : public std::runtime_error {
 public:
  OutOfReachError(std::uint32_t line, const std::string& word);
  std::uint32_t Line() const { return line_; }

 private:
  std::uint32_t line_;
};

// A motion frame's chord in mm, as the path length counts it.
double ChordLength(const FrameVector& chord);

// Streams a program's moves without keeping them.
class ToolpathReader {
 public:
  ToolpathReader(ByteSource& source, FeedUnits units);
  // Reads on from the checkpoint of line `line` + 1 of a program read
  // before, `source` standing at its offset. Records no checkpoints.
  ToolpathReader(ByteSource& source, FeedUnits units, std::uint32_t line,
                 const LineCheckpoint& from);

  // The next motion or feed frame; false at the end. Throws IoError, and
  // OutOfReachError for a frame that leaves the machine.
  bool Next(ToolpathMove& move);

  // Lines read so far.
  std::uint32_t Lines() const { return line_; }
  // Checkpoints of lines 1, 1 + stride, 1 + 2·stride... read so far.
  const std::vector<LineCheckpoint>& Checkpoints() const { return checkpoints_; }

 private:
  bool TakeFeed();
  void CheckReach(const Point3& point, const char* letters) const;

  LineReader reader_;
  FeedUnits units_;
  std::string text_;  // the storage of every line read
  Frame frame_;       // the line read last
  std::vector<LineCheckpoint> checkpoints_;
  bool recordsCheckpoints_ = true;
  std::uint32_t line_ = 0;
  Point3 position_;
  double path_ = 0;
  int feed_ = 0;
  ModalState modal_;
};

// The points of a move after its start, up to and including its end: one for
// a straight move, for an arc as many as keep the chords within `tolerance`
// mm of the arc. G02 turns clockwise seen from the positive end of the axis
// normal to the plane (+Z for G17, +Y for G18, +X for G19), G03 the other
// way. An arc whose end does not lie on its start circle is drawn with the
// radius changing evenly; an arc back to its start point is a full circle.
void FlattenMove(const ToolpathMove& move, double tolerance, std::vector<Point3>& points);

// The two drawing axes of a plane's projection: XY (x, y), XZ (x, z), YZ (y, z).
double FirstAxis(const Point3& point, Plane plane);
double SecondAxis(const Point3& point, Plane plane);

}  // namespace h33
