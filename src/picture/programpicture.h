#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "picture/changemarks.h"
#include "picture/feedprofile.h"
#include "picture/pathpolyline.h"
#include "picture/toolpath.h"

namespace h33 {

// What the toolpath and feed views draw of one program, read in one pass.
struct ProgramPicture {
  std::filesystem::path file;  // empty for a program read from memory
  FeedUnits units = FeedUnits::kFeedCode;
  PathPolyline path;
  FeedProfile profile;
  std::vector<LineCheckpoint> checkpoints;  // see ToolpathReader::Checkpoints
  std::uint32_t lines = 0;
  std::uint32_t motionFrames = 0;
  // Feeds of the cuts (motion frames but rapid moves), mm/min; both 0 when
  // there is none.
  int lowestFeed = 0, highestFeed = 0;
  // The plane most of the cutting lies in, XY where it is no other: the
  // projection a viewer opens on.
  Plane activePlane = Plane::XY;
  // What a correction changed, when the program is one: see PictureOptions.
  std::vector<ChangeMark> marks;

  explicit ProgramPicture(const PathPolyline::Options& pathOptions,
                          std::size_t profileCap = FeedProfile::kDefaultSampleCap)
      : path(pathOptions), profile(profileCap) {}
};

struct PictureOptions {
  FeedUnits units = FeedUnits::kFeedCode;
  PathPolyline::Options path;
  std::size_t profileCap = FeedProfile::kDefaultSampleCap;
  // Frames to mark, in any order.
  std::vector<ChangeMarkRequest> marks;
};

// Reads the whole source. Throws IoError.
ProgramPicture ReadProgramPicture(ByteSource& source, const PictureOptions& options);

// Nothing when the file cannot be opened; `reason` then says why. Throws
// IoError when it fails part way.
std::optional<ProgramPicture> LoadProgramPicture(const std::filesystem::path& file,
                                                 const PictureOptions& options,
                                                 std::string* reason = nullptr);

// A line of the picture's file found again: its text as the reader saw it,
// without the line end, and where it lies on the path.
struct FrameOnPath {
  std::uint32_t line = 0;
  std::string text;
  double pathStart = 0, pathEnd = 0;
};

// The frame on a line; nothing when the file no longer has it. Throws IoError.
std::optional<FrameOnPath> FindFrameByLine(const ProgramPicture& picture, std::uint32_t line);

// The motion frame whose chord holds the path position, the last one past
// the end; nothing for a program without motion. Throws IoError.
std::optional<FrameOnPath> FindFrameByPath(const ProgramPicture& picture, double path);

// The move of the frame on a line read again from the file: the frame whole,
// whatever the thinning left of it. Nothing when the line moves nothing and
// sets no feed, or the file can no longer be read as it was.
std::optional<ToolpathMove> FindMoveByLine(const ProgramPicture& picture, std::uint32_t line);

// The picture's path read again from its file with other options: the
// window a zoomed-in view shows, at the tolerance it needs. Nothing for a
// picture read from memory, or when the file can no longer be read as it
// was.
std::optional<PathPolyline> ReadPathAgain(const ProgramPicture& picture,
                                          const PathPolyline::Options& options);

}  // namespace h33
