#pragma once

#include <deque>
#include <string>

#include "format/frame.h"

namespace h33 {

// One frame held back for braking: the frame as it will be written (F word
// included), the feed it runs at in mm/min (0 for a stop) and its chord
// length in mm (0 for frames without motion and for inserted frames).
struct WindowRow {
  Frame frame;
  int feed = 0;
  float length = 0;
};

// Frames read but not yet written, oldest first. The methods keep at most 20.
// The oldest row leaves at every frame: a deque drops it without moving the rest.
using FrameWindow = std::deque<WindowRow>;

inline constexpr std::size_t kFrameWindowRows = 20;
// Rows kept between frames: besides the frame being planned and the one it
// may insert, the 18 frames before it stay for braking.
inline constexpr std::size_t kKeptRows = kFrameWindowRows - 2;

// A last line may come without its line end. When the newest row is followed
// by a frame after all (one inserted after it, or its rest dropped), it gets
// its line end here, so that no frame is ever written into the middle of
// another line. Rows that end with a line end are left as they are.
void EndNewestLine(FrameWindow& window);

// Writes the feed's code into the frame's F word.
void WriteFeed(Frame& frame, int feed);

// Sets the row's feed and writes its code into the row's F word. The row
// keeps the feed as computed: braking further back starts from it, not from
// the code's two significant digits.
void SetRowFeed(WindowRow& row, int feed);

}  // namespace h33
