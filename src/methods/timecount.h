#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "format/bytesource.h"

namespace h33 {

// Execution time of an H33 program under constant acceleration: each frame
// starts at the speed the frame before it ended with, speeds up towards its
// own feed and brakes towards the next frame's feed.
class TTimeCounter {
 public:
  TTimeCounter(std::filesystem::path fileName, int acceleration);

  // Seconds; nothing when the file cannot be opened. Throws IoError when the
  // file fails part way.
  std::optional<float> CountTime();

  // The same walk over any byte source.
  float CountTime(ByteSource& source);

 private:
  struct FrameSlot {
    int feed = 0;
    float length = 0;
  };

  bool TakeFrame(class LineReader& reader, std::string& line);
  FrameSlot ParseFrame(const std::string& line, int position);
  float FrameTime(const FrameSlot& previous, FrameSlot& current, const FrameSlot& next) const;

  std::filesystem::path fileName_;
  int acceleration_;
  int modalFeed_ = 0;
  int lastParsedFeed_ = 0;
  bool insertPending_ = false;
};

}  // namespace h33
