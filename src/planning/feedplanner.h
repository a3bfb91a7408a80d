#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include "format/controlsums.h"
#include "format/geometry.h"
#include "planning/braking.h"
#include "planning/framewindow.h"
#include "planning/lookahead.h"
#include "planning/plannerpolicy.h"

namespace h33 {

// The feed planner: decides every frame's feed with the next frame in view
// and holds the frames back in a window until no later frame can lower them.
// Both methods run it; PlannerPolicy states where they differ.
//
// Feeds are whole mm/min; a frame runs at one feed from end to end, and the
// controller changes feed only at frame boundaries. So before every slow-down
// (a corner, a slower frame, a stop before a frame without motion) the frames
// before it must already run slowly enough to brake in time. The planner works
// in two directions:
//
// Forward, once per frame in reading order (Plan):
//   1. take the frame's feed: its F word, FeedMax for the first frame, twice
//      the speed limit for a frame of at most 0.21 mm, a feed restated after
//      a corner or a frame without motion;
//   2. append it to the window and brake back from it;
//   3. look ahead at the next frame, dropping frames that hold only a feed
//      (their feed is carried to the next motion frame without one) and
//      stripping the F word of other frames without motion;
//   4. hold the next frame to FeedMax and, on an arc, to the arc limit
//      60·sqrt(5·r²) mm/min (v²/r = 5 mm/s²);
//   5. a short arc (chord below 100 mm) before a slower frame takes the slower
//      feed whole: it cannot brake within itself;
//   6. decide the junction: a stop frame before a frame without motion, or a
//      feed frame of 2·SpeedLimit / (1 − cosθ) at a corner both frames would
//      pass faster (SpeedLimit at a full reversal, 2·SpeedLimit at a right
//      angle); arcs meet along their tangents.
//
// Backward, from each row appended or lowered (BrakeBackward in braking.h):
//
//        row k-1 (length s)          row k
//   ---- v_start ==========> ----|---- v_next ---->
//
//   the highest feed at which row k-1 may start so that the machine, braking
//   with the acceleration a over its whole length s, reaches row k's feed:
//
//        v_start² = v_next² + 2·a·s     (mm/s, so feeds are divided by 60)
//
//   If row k-1 runs faster it is lowered to v_start and the pass goes on to
//   row k-2; it ends at the first row already slow enough. The pass assumes
//   that every frame can reach its feed at its start (accelerations are the
//   controller's business) and that braking happens within one frame at a
//   time, the conservative case. A row with no motion has s = 0 and passes
//   the feed on unchanged.
//
// The window is bounded so that the planner streams a program of any length
// in constant memory:
//
//   [ 0 | 1 | ... | 17 ] [ current ] [ inserted ]      at most 20 rows
//   \_ kept for braking _/
//
// After each frame the driver writes the oldest rows until 18 are left; a
// row is written only when 18 newer ones stand behind it, and once written it
// can no longer be lowered. A slow-down that would have to lower the oldest
// row fails instead (kWindowExhausted): 18 frames of braking distance is the
// method's promise, and a program that needs more must be corrected by hand.
class FeedPlanner {
 public:
  // The frame after a dropped feed-only frame; nothing at the end of the
  // input.
  using ReadFrame = std::function<std::optional<Frame>()>;

  explicit FeedPlanner(const PlannerPolicy& policy);

  // Plans the current frame with the next one in view: appends it, and at
  // most one inserted frame, to the window, and may edit the next frame or
  // replace it by a later one. The outcome of the failing braking pass, or
  // kBraked.
  BrakingOutcome Plan(Frame current, std::optional<Frame>& next, const ReadFrame& readFrame);

  FrameWindow& Window() { return window_; }
  const ControlSums& Sums() const { return sums_; }

 private:
  struct Geometry {
    FrameVector move;    // X, Y, Z in mm
    FrameVector centre;  // I, J, K in mm, read for motion frames only
    bool Motion() const { return move.present; }
    bool Arc() const { return centre.present; }
  };
  struct NextFrame {
    Geometry geometry;
    int feed = 0;
    bool hasFeed = false;  // the next line carries an F word
  };
  // What the frame just planned leaves for the next one.
  enum class Junction {
    kNone,
    kSlowed,   // a junction feed was applied: the next motion frame restates its feed
    kStop,     // a stop frame follows (within one frame only)
    kRestate,  // no motion here: the next motion frame restates its feed
  };

  static Geometry GeometryOf(const Frame& frame);
  void ApplyModalCodes(const Frame& frame);
  bool TakeCurrentFeed(Frame& current, const Geometry& geometry, float length_mm);
  bool ReduceShortFrame(Frame& current, const Geometry& geometry, float length_mm);
  int RowFeed(bool feedWritten, bool motion) const;
  NextFrame LookAhead(bool currentMotion, std::optional<Frame>& next, const ReadFrame& readFrame);
  NextFrame ReadNextFrame(Frame& frame);
  void LimitArcFeed(NextFrame& after, Frame& next);
  float DecideJunction(const Geometry& geometry, const NextFrame& after,
                       const std::optional<Frame>& next);
  std::optional<float> CornerFeed(const Geometry& current, const Geometry& next,
                                  const Frame& nextFrame);
  BrakingOutcome AppendJunctionOrStop(std::size_t row, bool shortArc, float junctionFeed);
  BrakingOutcome AppendInserted(std::string_view text, int feed);
  BrakingOutcome Brake(std::size_t row);

  const PlannerPolicy policy_;
  FrameWindow window_;
  ControlSums sums_;
  int currentFeed_ = 0;
  // A short frame's feed waits here for the next motion frame.
  int savedFeed_ = 0;
  bool restorePending_ = false;
  // The feed the next motion frame without an F word must get written: one
  // the look-ahead took out of the program with a dropped or stripped F
  // word, or one an arc limit held back.
  CarriedFeed carriedFeed_;
  Junction junction_ = Junction::kNone;
  int arcSense_;
  Plane activePlane_ = Plane::XY;
};

}  // namespace h33
