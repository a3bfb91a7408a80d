#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "bytesource.h"
#include "dialogs.h"

namespace h33 {

class OutputFile;

// How the splitting of a program ended.
enum class SplitOutcome {
  kFinished,       // the last part is below the limit, or the user declined a question
  kNameRefused,    // declined right after a name that designates the file being split was refused
  kBrakingFailed,  // a part cannot brake in time; the file being split is unchanged
  kFailed,  // a file could not be read, created or written; the file being split is unchanged
};

// Cuts a program that is too long for one punched tape into tapes that each
// run by themselves: asks whether the tape has a size limit and which, cuts
// the file into a first part that keeps its name and a remainder under a name
// the user gives, recomputes the braking of both parts, and offers the
// remainder for cutting in turn until every part is below the limit.
// Construction runs the whole procedure; nothing under the user's names
// changes before both corrected parts of a cut exist completely.
class TRazbivka {
 public:
  TRazbivka(std::filesystem::path fileName, int speedLimit, int feedMax, int acceleration,
            Dialogs& dialogs);

  SplitOutcome Outcome() const { return outcome_; }

 private:
  enum class CutResult { kCut, kNothingToCut, kBrakingFailed, kFailed };

  SplitOutcome Run(const std::filesystem::path& fileName);
  SplitOutcome SplitFile(std::filesystem::path name);
  std::optional<std::filesystem::path> AskSecondPart(const std::filesystem::path& name, long size);
  CutResult Cut(const std::filesystem::path& name, const std::filesystem::path& secondName,
                long remainderBelow);
  CutResult CutAndCorrect(const std::filesystem::path& name,
                          const std::filesystem::path& secondName, long remainderBelow);
  bool CopyTapes(const std::filesystem::path& name, OutputFile& first, OutputFile& second);
  int Correct(const std::filesystem::path& raw, const std::filesystem::path& target,
              ByteSink& output);
  CutResult CorrectionFailed(const std::filesystem::path& name, const char* part, int result);

  int speedLimit_;
  int feedMax_;
  int acceleration_;
  Dialogs& dialogs_;
  long workingLimit_ = 0;
  // The feed in force at the last cut; a later cut that meets none states it.
  std::string lastFeedText_;
  SplitOutcome outcome_ = SplitOutcome::kFinished;
};

}  // namespace h33
