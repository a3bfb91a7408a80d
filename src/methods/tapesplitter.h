#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "format/bytesource.h"
#include "methods/dialogs.h"
#include "methods/uptoup.h"
#include "planning/machinelimits.h"

namespace h33 {

class OutputFile;

// How the splitting of a program ended.
enum class SplitOutcome {
  kFinished,       // the last part is below the limit, or the user wants no limit
  kDeclined,       // the user declined to cut a part that is still over the limit
  kNameRefused,    // declined right after a name that designates the file being split was refused
  kBrakingFailed,  // a part cannot brake in time; the file being split is unchanged
  kTapeTooShort,   // no tape of that length can hold a move of the program; nothing was written
  kStopped,  // a later part cannot be cut shorter at that length; it is unchanged
  kFailed,   // a file could not be read, created or written; the file being split is unchanged
};

// Cuts a program that is too long for one punched tape into tapes that each
// run by themselves: asks whether the tape has a size limit and which, cuts
// the file into a first part that keeps its name and a remainder under a name
// the user gives, recomputes the braking of both parts, and offers the
// remainder for cutting in turn until every part is below the limit.
// Nothing under the user's names changes before both corrected parts of a
// cut exist completely. Each tape fits the length asked for: when the
// correction makes the first part longer than the tape, the cut is made
// earlier.
class TapeSplitter {
 public:
  // `untouchable`: files no part may be written over, whatever the user
  // answers (the input of the run that wrote the file).
  TapeSplitter(std::filesystem::path fileName, const MachineLimits& machine, Dialogs& dialogs,
               std::vector<std::filesystem::path> untouchable = {});

  // The whole procedure, questions included. Once per object.
  SplitOutcome Run();

 private:
  enum class CutResult { kCut, kNothingToCut, kBrakingFailed, kTooShort, kNoProgress, kFailed };
  struct TapeCut;

  SplitOutcome SplitFile(std::filesystem::path name);
  std::optional<std::filesystem::path> AskSecondPart(const std::filesystem::path& name, long size);
  const std::filesystem::path* Forbidden(const std::filesystem::path& secondName) const;
  CutResult Cut(const std::filesystem::path& name, const std::filesystem::path& secondName,
                long remainderBelow);
  CutResult CutAndCorrect(const std::filesystem::path& name,
                          const std::filesystem::path& secondName, long remainderBelow);
  CutResult CutToFit(const std::filesystem::path& name, const std::filesystem::path& secondName,
                     TapeCut& cut);
  CutResult CutAt(const std::filesystem::path& name, const std::filesystem::path& secondName,
                  long limit, TapeCut& cut);
  CutResult FirstMoveFits(const std::filesystem::path& name);
  CutResult TooShort(const std::filesystem::path& name, const std::filesystem::path& secondName,
                     long long bytesThroughFirstMotion);
  CorrectionStatus Correct(const std::filesystem::path& raw, const std::filesystem::path& target,
                           ByteSink& output, Dialogs& dialogs);
  CutResult CorrectionFailed(const std::filesystem::path& name, const char* part,
                             CorrectionStatus status);
  void Complain(const std::string& text);
  long TapeSize() const;

  std::filesystem::path fileName_;
  MachineLimits machine_;
  Dialogs& dialogs_;
  std::vector<std::filesystem::path> untouchable_;
  // The tapes of this split so far, the one being cut last.
  std::vector<std::filesystem::path> tapes_;
  long workingLimit_ = 0;
  // The feed in force at the last cut; a later cut that meets none states it.
  std::string lastFeedText_;
};

}  // namespace h33
