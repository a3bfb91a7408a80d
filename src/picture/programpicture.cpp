#include "picture/programpicture.h"

#include <algorithm>
#include <cmath>

#include "format/frame.h"
#include "format/lineio.h"

namespace h33 {

namespace {

// The plane most of the cutting lies in: the one without the axis the cuts
// travel least along (Z, for a part milled from above), XY where two tie.
Plane PlaneOfMostTravel(const Point3& travel) {
  if (travel.z <= travel.x && travel.z <= travel.y) return Plane::XY;
  return travel.y <= travel.x ? Plane::XZ : Plane::YZ;
}

}  // namespace

ProgramPicture ReadProgramPicture(ByteSource& source, const PictureOptions& options) {
  ProgramPicture picture(options.path, options.profileCap);
  picture.units = options.units;
  ToolpathReader reader(source, options.units);
  ChangeMarkPlacer marks(options.marks);
  ToolpathMove move;
  Point3 travel;  // of the cuts along each axis, mm
  long cuts = 0;
  while (reader.Next(move)) {
    picture.path.Add(move);
    picture.profile.Add(move);
    marks.Take(move);
    if (move.kind == MoveKind::kFeed) continue;
    ++picture.motionFrames;
    // Rapid moves have a colour of their own, and their feed (F99999 on a
    // tape made from G-code) would leave every cut one colour.
    if (move.kind != MoveKind::kRapid) {
      const bool firstCut = cuts++ == 0;
      picture.lowestFeed = firstCut ? move.feed : std::min(picture.lowestFeed, move.feed);
      picture.highestFeed = firstCut ? move.feed : std::max(picture.highestFeed, move.feed);
      travel.x += std::abs(move.end.x - move.start.x);
      travel.y += std::abs(move.end.y - move.start.y);
      travel.z += std::abs(move.end.z - move.start.z);
    }
  }
  picture.activePlane = PlaneOfMostTravel(travel);
  picture.path.Finish();
  picture.marks = marks.Finish();
  picture.checkpoints = reader.Checkpoints();
  picture.lines = reader.Lines();
  return picture;
}

std::optional<ProgramPicture> LoadProgramPicture(const std::filesystem::path& file,
                                                 const PictureOptions& options,
                                                 std::string* reason) {
  const auto source = FileSource::Open(file, reason);
  if (!source) return std::nullopt;
  ProgramPicture picture = ReadProgramPicture(*source, options);
  picture.file = file;
  return picture;
}

namespace {

// Reads from the checkpoint on, line by line, until `found` accepts a frame.
template <typename Accept>
std::optional<FrameOnPath> WalkFrom(const ProgramPicture& picture, std::size_t checkpoint,
                                    Accept found) {
  if (picture.file.empty() || checkpoint >= picture.checkpoints.size()) return std::nullopt;
  const auto source = FileSource::Open(picture.file);
  if (!source) return std::nullopt;
  // The file may have been edited since it was drawn: a frame that can no
  // longer be read is no frame, and the window stays open.
  try {
    source->Seek(picture.checkpoints[checkpoint].offset);
    LineReader reader(*source);
    FrameOnPath frame;
    frame.line = static_cast<std::uint32_t>(checkpoint * kLineCheckpointStride);
    frame.pathEnd = picture.checkpoints[checkpoint].path;
    std::optional<FrameOnPath> last;
    while (reader.ReadLine(frame.text, kProgramLineLimit)) {
      ++frame.line;
      const FrameVector chord = Frame(frame.text).Move();
      frame.pathStart = frame.pathEnd;
      frame.pathEnd += chord.present ? ChordLength(chord) : 0;
      while (!frame.text.empty() && (frame.text.back() == '\n' || frame.text.back() == '\r')) {
        frame.text.pop_back();
      }
      if (found(frame, chord.present)) return frame;
      if (chord.present) last = frame;
    }
    return last;
  } catch (const RunError&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<FrameOnPath> FindFrameByLine(const ProgramPicture& picture, std::uint32_t line) {
  if (line == 0 || line > picture.lines) return std::nullopt;
  const auto frame = WalkFrom(picture, (line - 1) / kLineCheckpointStride,
                              [line](const FrameOnPath& at, bool) { return at.line == line; });
  if (!frame || frame->line != line) return std::nullopt;
  return frame;
}

std::optional<FrameOnPath> FindFrameByPath(const ProgramPicture& picture, double path) {
  const auto after = std::upper_bound(
      picture.checkpoints.begin(), picture.checkpoints.end(), path,
      [](double at, const LineCheckpoint& checkpoint) { return at < checkpoint.path; });
  // The last checkpoint at or before the path: frames before it end there.
  const auto from = after == picture.checkpoints.begin() ? after : std::prev(after);
  return WalkFrom(picture, static_cast<std::size_t>(from - picture.checkpoints.begin()),
                  [path](const FrameOnPath& at, bool motion) {
                    return motion && path < at.pathEnd;
                  });
}

std::optional<ToolpathMove> FindMoveByLine(const ProgramPicture& picture, std::uint32_t line) {
  const std::size_t checkpoint = line > 0 ? (line - 1) / kLineCheckpointStride : 0;
  if (line == 0 || line > picture.lines || checkpoint >= picture.checkpoints.size()) return std::nullopt;
  const auto source = picture.file.empty() ? nullptr : FileSource::Open(picture.file);
  if (!source) return std::nullopt;
  try {
    source->Seek(picture.checkpoints[checkpoint].offset);
    ToolpathReader reader(*source, picture.units,
                          static_cast<std::uint32_t>(checkpoint * kLineCheckpointStride),
                          picture.checkpoints[checkpoint]);
    ToolpathMove move;
    while (reader.Next(move) && move.line <= line) {
      if (move.line == line) return move;
    }
  } catch (const RunError&) {
  } catch (const OutOfReachError&) {
  }
  return std::nullopt;
}

std::optional<PathPolyline> ReadPathAgain(const ProgramPicture& picture,
                                          const PathPolyline::Options& options) {
  const auto source = picture.file.empty() ? nullptr : FileSource::Open(picture.file);
  if (!source) return std::nullopt;
  try {
    ToolpathReader reader(*source, picture.units);
    PathPolyline path(options);
    ToolpathMove move;
    while (reader.Next(move)) path.Add(move);
    path.Finish();
    return path;
  } catch (const RunError&) {
  } catch (const OutOfReachError&) {
  }
  return std::nullopt;
}

}  // namespace h33
