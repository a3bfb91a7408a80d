#pragma once

#include <optional>
#include <string>

#include "methods/dialogs.h"
#include "methods/ptp_input.h"
#include "methods/runparameters.h"
#include "planning/feedplanner.h"

namespace h33 {

// The conversion's rules for the feed planner: plain feeds in the PTP lines,
// chord tangents, cosines and arc limits rounded to three decimals, braking
// down to 30 mm/min and stopping at frames with an M or S word.
PlannerPolicy ConversionPolicy(const RunParameters& parameters);

// Feeds each PTP frame, with any feed or stop frame the planner generates,
// into the braking window.
class FrameTranslator {
 public:
  // `input` supplies the frames that replace a dropped look-ahead frame.
  FrameTranslator(const RunParameters& parameters, PtpReader& input, Dialogs& dialogs);

  // Appends the current frame (and at most one generated frame) to the
  // window; may edit the next frame or replace it by a later one. False
  // after a braking failure has been shown.
  bool TranslateFrame(Frame current, std::optional<Frame>& next);

  FrameWindow& Window() { return planner_.Window(); }
  const ControlSums& Sums() const { return planner_.Sums(); }

 private:
  PtpReader& input_;
  Dialogs& dialogs_;
  FeedPlanner planner_;
};

}  // namespace h33
