#include "programpicture.h"

#include <algorithm>

#include "lineio.h"

namespace h33 {

ProgramPicture ReadProgramPicture(ByteSource& source, const PictureOptions& options) {
  ProgramPicture picture(options.path, options.profileCap);
  picture.units = options.units;
  ToolpathReader reader(source, options.units);
  ToolpathMove move;
  bool anyArc = false;
  while (reader.Next(move)) {
    picture.path.Add(move);
    picture.profile.Add(move);
    if (move.kind == MoveKind::kFeed) continue;
    if (picture.motionFrames++ == 0) {
      picture.lowestFeed = picture.highestFeed = move.feed;
    } else {
      picture.lowestFeed = std::min(picture.lowestFeed, move.feed);
      picture.highestFeed = std::max(picture.highestFeed, move.feed);
    }
    if (move.kind == MoveKind::kCircular && !anyArc) {
      anyArc = true;
      picture.activePlane = move.plane;
    }
  }
  picture.path.Finish();
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

std::string ReadFrameText(const ProgramPicture& picture, std::uint32_t line) {
  if (line == 0 || picture.file.empty()) return {};
  const std::size_t checkpoint = (line - 1) / kLineCheckpointStride;
  if (checkpoint >= picture.checkpoints.size()) return {};
  const auto source = FileSource::Open(picture.file);
  if (!source) return {};
  source->Seek(picture.checkpoints[checkpoint]);
  LineReader reader(*source);
  std::string text;
  for (std::uint32_t at = static_cast<std::uint32_t>(checkpoint * kLineCheckpointStride);
       at < line; ++at) {
    if (!reader.ReadLine(text, kProgramLineLimit)) return {};
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace h33
