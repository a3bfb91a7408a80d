#pragma once

#include <optional>
#include <string>

#include "format/controlsums.h"
#include "methods/dialogs.h"
#include "methods/ptp_braking.h"
#include "methods/ptp_input.h"
#include "methods/runparameters.h"
#include "planning/feedlimits.h"
#include "planning/framewindow.h"
#include "planning/lookahead.h"

namespace h33 {

// -1, +1, or 0 within the dead zone just above zero.
int SignOf(float x);

// Turns an arc's chord (u1, u2) in its plane into the direction of the arc:
// mode 2 at the end of the current arc, mode 1 at the start of the next one.
// c1, c2 are the arc's centre offsets; their signs are ignored.
void ChordTangent(float& u1, float& u2, int mode, float c1, float c2, int arcSense);

// Printed with three decimals and read back, the way cosines and circle
// limits are compared.
float RoundTo3Decimals(float value);

// Decides each PTP frame's feed with the next frame in view and feeds the
// frames, with any feed or stop frame it generates, into the braking window.
class FrameTranslator {
 public:
  // `input` supplies the frames that replace a dropped look-ahead frame.
  FrameTranslator(const RunParameters& parameters, PtpReader& input, Dialogs& dialogs);

  // Appends the current frame (and at most one generated frame) to the
  // window; may edit both lines and replace the next one by a later line.
  // False after a braking failure has been shown.
  bool TranslateFrame(std::string& currentLine, std::optional<std::string>& nextLine);

  FrameWindow& Window() { return window_; }
  const ControlSums& Sums() const { return sums_; }

 private:

  struct Geometry {
    FrameVector move;    // X, Y, Z in mm
    FrameVector centre;  // I, J, K in mm, read for motion frames only
    bool Motion() const { return move.present; }
    bool Circular() const { return move.present && centre.present; }
  };

  struct NextFrame {
    Geometry geometry;
    int feed = 0;
    bool hasFeed = false;  // the next line carries an F word
  };

  static Geometry ReadGeometry(const std::string& text);
  void ReadModalCodes(const std::string& line);
  bool DecideFeed(std::string& currentLine, const Geometry& current, float length, bool firstFrame);
  int RowFeed(bool feedWritten, bool motion, bool firstFrame) const;
  NextFrame LookAhead(bool currentMotion, std::optional<std::string>& nextLine);
  NextFrame ReadNextFrame(std::string& line);
  void LimitArcFeed(NextFrame& next, std::string& nextLine);
  std::optional<float> JunctionFeed(const Geometry& current, const NextFrame& next,
                                    const std::string& nextLine);
  void InPlaneTangent(FrameVector& move, const FrameVector& centre, int mode) const;
  float DecideJunction(const Geometry& current, const NextFrame& next,
                       const std::optional<std::string>& nextLine);
  bool CarryOutJunction(bool shortCircle, std::size_t row, float junctionFeed);
  bool AppendGenerated(std::string text, int feed);
  bool Brake(std::size_t row);

  const RunParameters& parameters_;
  const BrakingRules rules_;
  PtpReader& input_;
  Dialogs& dialogs_;

  FrameWindow window_;
  ControlSums sums_;
  int currentFeed_ = 0;
  int savedFeed_ = 0;
  bool restorePending_ = false;
  CarriedFeed carriedFeed_;
  int junctionState_ = 0;
  int arcSense_ = 2;  // no G02/G03 seen yet counts as G02
  Plane activePlane_ = Plane::XY;
};

}  // namespace h33
