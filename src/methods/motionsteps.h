#pragma once

#include <optional>
#include <string>
#include <vector>

#include "format/bytesource.h"
#include "format/frame.h"
#include "format/lineio.h"
#include "format/modalstate.h"

namespace h33 {

// Where a move goes: its increments, and for an arc its centre offsets,
// sense and plane, as written. Feeds and numbers are no part of it.
struct MoveShape {
  FrameVector move;     // X, Y, Z in the program's 0.01 mm
  FrameVector offsets;  // I, J, K likewise; none for a straight move
  int sense = 0;        // 2 or 3 for an arc, 0 for a straight move
  Plane plane = Plane::XY;

  bool operator==(const MoveShape& other) const;
};

// One frame of a program, as far as comparing programs needs it.
struct StepFrame {
  long line = 0;
  std::string text;  // without its line end
  std::optional<int> feed_mm_min;  // its F word decoded
  // An F word and nothing else the controller acts on: what a braking
  // correction inserts and drops.
  bool feedOnly = false;
  // For any frame but a feed frame, the text without its N and F words:
  // what stays of it whatever numbering and feeds it gets.
  std::string body;
};

// A move and the frames without motion before it.
struct MotionStep {
  std::vector<StepFrame> before;
  std::optional<StepFrame> move;  // none for the frames after the last move
  MoveShape shape;
};

// Reads an H33 program move by move, with the frame the controller runs
// after a code above 4000 among the frames it stands for.
class MotionStepReader {
 public:
  explicit MotionStepReader(ByteSource& source) : reader_(source) {}

  // The next move with the frames before it; the last step holds the frames
  // after the last move and no move. False when the program is read up.
  // Throws IoError, ProgramRefusal for a line too long to be a frame or a
  // code that is no feed.
  bool Next(MotionStep& step);

 private:
  StepFrame Read(const Frame& frame) const;
  StepFrame SlowFrame() const;

  ProgramLineReader reader_;
  ModalState modal_;
  std::string line_;
  Frame frame_;
  bool done_ = false;
  bool slowFrameNext_ = false;  // the last move has a code above 4000
};

}  // namespace h33
