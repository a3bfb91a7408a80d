#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "format/bytesource.h"
#include "format/words.h"
#include "methods/dialogs.h"
#include "methods/writtentime.h"
#include "planning/feedplanner.h"
#include "planning/machinelimits.h"

namespace h33 {

class ProgramLineReader;
class LineWriter;

enum class CorrectionStatus {
  kCorrected,
  kInputUnreadable,    // also a read error part way, or a line the method refuses
  kOutputUncreatable,  // also a write error, or both names designating one file
  kBrakingFailed,      // the machine cannot brake in time; see BrakingReport()
};

// The Up->up correction: streams an H33 program whose feeds are already coded
// through the feed planner, renumbers
// its frames and writes the corrected program. It holds at most 20 frames,
// whatever the program's length. One object per file, Run once.
class UpToUpCorrection {
 public:
  UpToUpCorrection(std::filesystem::path inputName, std::filesystem::path outputName,
                   const MachineLimits& machine, Dialogs& dialogs);

  // Corrects the input file into the output file and shows the control sums.
  // Unless kCorrected, a box has said why and the output name keeps what it
  // held.
  CorrectionStatus Run();

  // The same from the input file's bytes as `input` reads them (the file
  // opened already, or a source that fails as a disk can).
  CorrectionStatus Run(ByteSource& input);

  // The same correction from any byte source to any sink. On failure the
  // sink holds the frames emitted so far and is for the caller to discard.
  CorrectionStatus Run(ByteSource& input, ByteSink& output);

  // After kBrakingFailed: the failure in its standard-output wording, for a
  // front end that has a console.
  const std::string& BrakingReport() const { return brakingReport_; }

  // After kCorrected: the execution time of the program written, counted
  // from its frames as they were written. Asked once.
  TimeCount WrittenTime() { return writtenTime_.Finish(); }

 private:
  CorrectionStatus Correct(ByteSource& input, ByteSink& output);
  std::optional<Frame> ReadFrame(ProgramLineReader& reader);
  std::optional<Frame> ReadNextFrame(ProgramLineReader& reader);
  void EmitOldest(LineWriter& writer);
  bool ReportBraking(const BrakingOutcome& outcome);
  CorrectionStatus CannotOpen(const std::filesystem::path& name, const std::string& reason,
                              CorrectionStatus status);
  void ShowControlSums();

  std::filesystem::path inputName_;
  std::filesystem::path outputName_;
  Dialogs& dialogs_;
  FeedPlanner planner_;
  FrameWindow& window_;
  FrameCounter numbers_{kH33NumberWrap};
  WrittenProgramTime writtenTime_;
  std::string brakingReport_;
};

}  // namespace h33
