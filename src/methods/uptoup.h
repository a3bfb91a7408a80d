#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "format/bytesource.h"
#include "format/controlsums.h"
#include "format/words.h"
#include "methods/dialogs.h"
#include "planning/feedlimits.h"
#include "planning/framewindow.h"
#include "planning/lookahead.h"

namespace h33 {

class ProgramLineReader;
class LineWriter;

// The Up->up correction: streams an H33 program whose feeds are already coded
// through the per-frame feed rules and the backward braking pass, renumbers
// its frames and writes the corrected program. It holds at most 20 frames,
// whatever the program's length. One object per file, Run once.
class TUpToUp {
 public:
  static constexpr int kInputUnreadable = -1;
  static constexpr int kOutputUncreatable = -2;
  static constexpr int kBrakingFailed = -3;

  TUpToUp(std::filesystem::path inputName, std::filesystem::path outputName, int speedLimit,
          int acceleration, int feedMax, Dialogs& dialogs);

  // Corrects the input file into the output file and shows the control sums.
  // 0 when the output holds the corrected program; otherwise, after a box
  // that says why, a negative result and the output name keeps what it held:
  // kInputUnreadable (also a read error part way), kOutputUncreatable (also
  // a write error, or both names designating one file), kBrakingFailed.
  int Run();

  // The same from the input file's bytes as `input` reads them (the file
  // opened already, or a source that fails as a disk can).
  int Run(ByteSource& input);

  // The same correction from any byte source to any sink. On failure the
  // sink holds the frames emitted so far and is for the caller to discard.
  int Run(ByteSource& input, ByteSink& output);

  // After kBrakingFailed: the failure in its standard-output wording, for a
  // front end that has a console.
  const std::string& BrakingReport() const { return brakingReport_; }

 private:
  struct FrameGeometry {
    FrameVector move;  // X, Y, Z
    FrameVector arc;   // I, J, K; read for motion frames only
    bool Motion() const { return move.present; }
    bool Arc() const { return arc.present; }
  };
  struct NextFrame {
    FrameGeometry geometry;
    int feed = 0;
    bool hasFeed = false;
  };

  // Driver (uptoup.cpp).
  int Correct(ByteSource& input, ByteSink& output);
  std::optional<std::string> ReadLine(ProgramLineReader& reader);
  std::optional<std::string> ReadNextLine(ProgramLineReader& reader);
  void EmitOldest(LineWriter& writer);
  bool BrakeBack(std::size_t start);
  int CannotOpen(const std::filesystem::path& name, const std::string& reason, int result);
  void ShowControlSums();

  // Feed rules of one frame (processframe.cpp).
  bool ProcessFrame(std::string current, std::optional<std::string>& next, ProgramLineReader& reader);
  void ApplyModalCodes(const std::string& line);
  bool TakeCurrentFeed(std::string& current, const FrameGeometry& frame, float length);
  bool ReduceShortFrame(std::string& current, const FrameGeometry& frame, float length);
  void AppendCurrent(std::string current, const FrameGeometry& frame, float length,
                     bool feedWritten);
  NextFrame LookAhead(std::optional<std::string>& next, ProgramLineReader& reader);
  void TakeNextFeed(std::string& next, NextFrame& frame);
  void LimitArcFeed(std::optional<std::string>& next, NextFrame& frame);
  float DecideJunction(const FrameGeometry& frame, const NextFrame& after,
                       const std::optional<std::string>& next);
  std::optional<float> CornerFeed(const FrameGeometry& current, const FrameGeometry& next,
                                  const std::string& nextText);
  bool AppendJunctionOrStop(std::size_t at, bool shortArc, float junctionFeed);
  bool AppendInserted(std::string text, int feed);

  std::filesystem::path inputName_;
  std::filesystem::path outputName_;
  int speedLimit_;
  int feedMax_;
  int acceleration_;
  Dialogs& dialogs_;

  static constexpr int kArcCoefficient = 5;
  Plane activePlane_ = Plane::XY;
  int arcSense_ = 0;
  bool shortFrameReduced_ = false;
  int savedFeed_ = 0;
  // The feed the next motion frame without an F word must get written: the
  // feed an arc limit held back, or one the look-ahead took out of the
  // program with a dropped or stripped F word.
  CarriedFeed feedAfterArc_;
  FrameWindow window_;
  FrameCounter numbers_{kH33NumberWrap};
  int currentFeed_ = 0;
  // What the frame just processed leaves for the next one.
  enum JunctionState {
    kNoJunction = 0,
    kJunctionSlowed = 1,  // a junction feed was applied: the next motion frame restates its feed
    kStopNeeded = 2,      // within one frame only
    kAfterStill = 3,      // no motion here: the next motion frame restates its feed
  };
  JunctionState junctionState_ = kNoJunction;
  ControlSums controlSums_;
  std::string brakingReport_;
};

}  // namespace h33
