#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "format/bytesource.h"
#include "format/words.h"
#include "methods/dialogs.h"
#include "planning/feedplanner.h"

namespace h33 {

class ProgramLineReader;
class LineWriter;

// The Up->up correction: streams an H33 program whose feeds are already coded
// through the feed planner, renumbers
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
  int Correct(ByteSource& input, ByteSink& output);
  std::optional<std::string> ReadLine(ProgramLineReader& reader);
  std::optional<std::string> ReadNextLine(ProgramLineReader& reader);
  void EmitOldest(LineWriter& writer);
  bool ReportBraking(const BrakingOutcome& outcome);
  int CannotOpen(const std::filesystem::path& name, const std::string& reason, int result);
  void ShowControlSums();

  std::filesystem::path inputName_;
  std::filesystem::path outputName_;
  Dialogs& dialogs_;
  FeedPlanner planner_;
  FrameWindow& window_;
  FrameCounter numbers_{kH33NumberWrap};
  std::string brakingReport_;
};

}  // namespace h33
