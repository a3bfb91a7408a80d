#include "methods/tapesplitter.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <system_error>
#include <vector>

#include "format/lineio.h"
#include "format/outputfile.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "methods/tapecopy.h"
#include "methods/uptoup.h"

namespace h33 {
namespace {

constexpr const char* kLimitQuestion =
    "Размер файла %s - %ld байт(а).\nЕсть ограничение на его длину?";
constexpr const char* kCutQuestion =
    "Размер файла %s - %ld байт(а).\nРазбить его на два?\n(Размер первой части файла будет "
    "примерно %ld байт(а))";
constexpr const char* kFinished = "Разбивка закончена";
constexpr const char* kOwnName = "Нельзя затирать файл %s";
constexpr const char* kNoSize = "Не удается определить размер файла %s: %s";
constexpr const char* kCannotRead = "не удается открыть файл %s: %s";
constexpr const char* kCutFailed = "Разбивка файла %s прервана: %s\nФайл не изменен.";
constexpr const char* kNoProgress =
    "Разбивка файла %s прервана: при таком размере ленты остаток (%ld байт(а)) не короче самого "
    "файла (%ld байт(а)).\nФайл не изменен.";
constexpr const char* kCorrectionFailed =
    "Разбивка файла %s прервана: не удалось скорректировать %s часть.\nФайл не изменен.";
constexpr const char* kTooShort =
    "Разбивка файла %s невозможна: на ленту в %ld байт(а) не помещается ни один кадр перемещения "
    "вместе с началом программы и завершающими кадрами. Наименьший размер ленты для этого файла - "
    "%ld байт(а).\nФайл не изменен.";
constexpr const char* kNoMotion =
    "Разбивка файла %s невозможна: в нем нет ни одного кадра перемещения.\nФайл не изменен.";
constexpr const char* kWrittenBefore = "\nЛенты, уже записанные при этой разбивке: %s.";

// The length dialog takes 200 bytes off the tape size; the question shows it whole.
constexpr long kTapeReserve = 200;

long FileSize(const std::filesystem::path& name) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(name, error);
  if (error) throw IoError(Sprintf(kNoSize, PathText(name).c_str(), error.message().c_str()));
  return size > static_cast<std::uintmax_t>(LONG_MAX) ? LONG_MAX : static_cast<long>(size);
}

std::unique_ptr<FileSource> OpenForReading(const std::filesystem::path& name) {
  std::string reason;
  std::unique_ptr<FileSource> source = FileSource::Open(name, &reason);
  if (!source) throw IoError(Sprintf(kCannotRead, PathText(name).c_str(), reason.c_str()));
  return source;
}

long Saturated(long long value) {
  return value > LONG_MAX ? LONG_MAX : value < LONG_MIN ? LONG_MIN : static_cast<long>(value);
}

// Takes bytes and keeps none: a copy made only to be counted.
class DiscardSink : public ByteSink {
 public:
  void Write(const char*, std::size_t) override {}
};

// The byte count through the program's first move (-1 without one), as a
// copy onto tapes counts it.
long long BytesThroughFirstMotion(const std::filesystem::path& name) {
  DiscardSink nowhere;
  LineWriter first(nowhere), second(nowhere);
  TapeCopy copy(first, second, LONG_MAX, {});
  copy.Copy(*OpenForReading(name));
  return copy.BytesThroughFirstMotion();
}

bool DesignatesFile(const std::filesystem::path& candidate, const std::filesystem::path& name) {
  return candidate == name || DesignateSameFile(candidate, name);
}

// What the correction of a first tape says is held back until that cut is
// the one kept: a cut made again earlier must not show the sums of the
// attempt before it. Questions cannot wait and go through at once.
class HeldDialogs : public Dialogs {
 public:
  explicit HeldDialogs(Dialogs& dialogs) : dialogs_(dialogs) {}

  void Message(const std::string& text) override {
    held_.push_back([text](Dialogs& to) { to.Message(text); });
  }
  Button Ask(DialogKind kind, const std::string& text,
             std::initializer_list<Button> buttons) override {
    if (buttons.size() != 1) return dialogs_.Ask(kind, text, buttons);
    const Button only = *buttons.begin();
    held_.push_back([kind, text, only](Dialogs& to) { to.Ask(kind, text, {only}); });
    return only;
  }
  void CaptionedBox(const std::string& text, const std::string& caption) override {
    held_.push_back([text, caption](Dialogs& to) { to.CaptionedBox(text, caption); });
  }
  std::optional<long> AskTapeLengthLimit() override { return dialogs_.AskTapeLengthLimit(); }
  std::optional<std::string> AskSecondPartName(const std::filesystem::path& splitting) override {
    return dialogs_.AskSecondPartName(splitting);
  }

  void Show() {
    for (const auto& say : held_) say(dialogs_);
    held_.clear();
  }
  void Drop() { held_.clear(); }

 private:
  Dialogs& dialogs_;
  std::vector<std::function<void(Dialogs&)>> held_;
};

}  // namespace

// The two tapes of one cut before they move under their names: the first one
// corrected, the second one as copied.
struct TapeSplitter::TapeCut {
  explicit TapeCut(Dialogs& dialogs) : firstSays(dialogs) {}
  HeldDialogs firstSays;  // what the first tape's correction said
  std::unique_ptr<OutputFile> first;
  std::unique_ptr<OutputFile> rawSecond;
  std::string lastFeedText;
  long long bytesThroughFirstMotion = -1;
  long firstSize = 0;
};

TapeSplitter::TapeSplitter(std::filesystem::path fileName, const MachineLimits& machine,
                           Dialogs& dialogs, std::vector<std::filesystem::path> untouchable)
    : fileName_(std::move(fileName)),
      machine_(machine),
      dialogs_(dialogs),
      untouchable_(std::move(untouchable)) {}

SplitOutcome TapeSplitter::Run() {
  const std::filesystem::path& fileName = fileName_;
  try {
    const long size = FileSize(fileName);
    if (dialogs_.Ask(DialogKind::Confirmation,
                     Sprintf(kLimitQuestion, PathText(fileName).c_str(), size),
                     {Button::Yes, Button::No}) != Button::Yes) {
      return SplitOutcome::kFinished;
    }
    const std::optional<long> limit = dialogs_.AskTapeLengthLimit();
    if (!limit) return SplitOutcome::kFinished;
    workingLimit_ = *limit;
    return SplitFile(fileName);
  } catch (const std::exception& error) {
    dialogs_.Ask(DialogKind::Error, error.what(), {Button::Ok});
    return SplitOutcome::kFailed;
  }
}

// One file after the other: the file itself, then each remainder in turn.
SplitOutcome TapeSplitter::SplitFile(std::filesystem::path name) {
  bool refused = false;
  tapes_.assign(1, name);
  for (;;) {
    const long size = FileSize(name);
    if (size < workingLimit_) {
      dialogs_.Message(kFinished);
      return SplitOutcome::kFinished;
    }
    if (tapes_.size() == 1) {
      switch (FirstMoveFits(name)) {
        case CutResult::kCut:
          break;
        case CutResult::kTooShort:
          return SplitOutcome::kTapeTooShort;
        case CutResult::kBrakingFailed:
          return SplitOutcome::kBrakingFailed;
        default:
          return SplitOutcome::kFailed;
      }
    }
    const std::optional<std::filesystem::path> secondName = AskSecondPart(name, size);
    if (!secondName) {
      if (refused) return SplitOutcome::kNameRefused;
      // A part between the working limit and the tape size is offered for
      // cutting, yet it fits the tape.
      return size > TapeSize() ? SplitOutcome::kDeclined : SplitOutcome::kFinished;
    }
    if (const std::filesystem::path* forbidden = Forbidden(*secondName)) {
      dialogs_.Message(Sprintf(kOwnName, PathText(*forbidden).c_str()));
      refused = true;
      continue;
    }
    refused = false;
    // A remainder already carries the restated frames and the approach, so
    // from the second cut on each remainder must be shorter than the file it
    // came from, or the cuts would never end. The program itself may grow
    // into its first remainder.
    const bool firstCut = tapes_.size() == 1;
    switch (Cut(name, *secondName, firstCut ? LONG_MAX : size)) {
      case CutResult::kCut:
        break;
      case CutResult::kNothingToCut:
        dialogs_.Message(kFinished);
        return SplitOutcome::kFinished;
      case CutResult::kBrakingFailed:
        return SplitOutcome::kBrakingFailed;
      case CutResult::kTooShort:
        return firstCut ? SplitOutcome::kTapeTooShort : SplitOutcome::kStopped;
      case CutResult::kNoProgress:
        return SplitOutcome::kStopped;
      case CutResult::kFailed:
        return SplitOutcome::kFailed;
    }
    name = *secondName;
    tapes_.push_back(name);
  }
}

// The second part is written while the file is read, every earlier tape
// holds a piece of the program, and the run's own input must survive it.
const std::filesystem::path* TapeSplitter::Forbidden(const std::filesystem::path& secondName) const {
  const auto tape = std::find_if(tapes_.rbegin(), tapes_.rend(), [&](const auto& cut) {
    return DesignatesFile(secondName, cut);
  });
  if (tape != tapes_.rend()) return &*tape;
  const auto input = std::find_if(untouchable_.begin(), untouchable_.end(), [&](const auto& file) {
    return DesignatesFile(secondName, file);
  });
  return input != untouchable_.end() ? &*input : nullptr;
}

// Nothing when the user declines the cut; the name dialog closed other than
// with OK asks the question again.
std::optional<std::filesystem::path> TapeSplitter::AskSecondPart(const std::filesystem::path& name,
                                                               long size) {
  for (;;) {
    if (dialogs_.Ask(DialogKind::Confirmation,
                     Sprintf(kCutQuestion, PathText(name).c_str(), size, TapeSize()),
                     {Button::Yes, Button::No}) != Button::Yes) {
      return std::nullopt;
    }
    if (const std::optional<std::string> secondName = dialogs_.AskSecondPartName(name)) {
      return PathFromText(*secondName);
    }
  }
}

TapeSplitter::CutResult TapeSplitter::Cut(const std::filesystem::path& name,
                                    const std::filesystem::path& secondName,
                                    long remainderBelow) {
  try {
    return CutAndCorrect(name, secondName, remainderBelow);
  } catch (const std::exception& error) {
    Complain(Sprintf(kCutFailed, PathText(name).c_str(), error.what()));
    return CutResult::kFailed;
  }
}

// Every stage writes to temporary files beside its target, which are removed
// whatever happens; only when both corrected parts are complete do they move
// under their names.
TapeSplitter::CutResult TapeSplitter::CutAndCorrect(const std::filesystem::path& name,
                                              const std::filesystem::path& secondName,
                                              long remainderBelow) {
  TapeCut cut(dialogs_);
  if (const CutResult result = CutToFit(name, secondName, cut); result != CutResult::kCut) {
    return result;
  }
  OutputFile second(secondName);
  if (const CorrectionStatus status =
          Correct(cut.rawSecond->TemporaryPath(), secondName, second, dialogs_);
      status != CorrectionStatus::kCorrected) {
    return CorrectionFailed(name, "вторую", status);
  }
  second.Close();
  if (const long remainder = FileSize(second.TemporaryPath()); remainder >= remainderBelow) {
    Complain(Sprintf(kNoProgress, PathText(name).c_str(), remainder, FileSize(name)));
    return CutResult::kNoProgress;
  }
  lastFeedText_ = cut.lastFeedText;
  // The second part is moved into place first: should the first part then
  // fail to replace the file being split, that file still holds the whole
  // program, and the second name gets back what it held.
  CommitBoth(second, *cut.first);
  return CutResult::kCut;
}

// The correction inserts frames (junction feeds, stops), so the corrected
// first tape can be longer than the lines counted for it: the cut is then
// made earlier by as much, until the tape fits or holds a single move.
TapeSplitter::CutResult TapeSplitter::CutToFit(const std::filesystem::path& name,
                                         const std::filesystem::path& secondName, TapeCut& cut) {
  long limit = workingLimit_;
  for (;;) {
    cut.firstSays.Drop();
    const CutResult result = CutAt(name, secondName, limit, cut);
    if (result == CutResult::kTooShort) {
      return TooShort(name, secondName, cut.bytesThroughFirstMotion);
    }
    if (result != CutResult::kCut || cut.firstSize <= TapeSize()) {
      cut.firstSays.Show();
      return result;
    }
    const long shortest = Saturated(cut.bytesThroughFirstMotion);
    if (limit <= shortest) return TooShort(name, secondName, cut.bytesThroughFirstMotion);
    limit = std::max(shortest, Saturated(static_cast<long long>(limit) -
                                         (cut.firstSize - TapeSize())));
  }
}

// Copies the file onto two tapes cut after `limit` counted bytes and corrects
// the first one; the second one waits as copied.
TapeSplitter::CutResult TapeSplitter::CutAt(const std::filesystem::path& name,
                                      const std::filesystem::path& secondName, long limit,
                                      TapeCut& cut) {
  OutputFile rawFirst(name);
  cut.rawSecond = std::make_unique<OutputFile>(secondName);
  bool made = false;
  {
    const std::unique_ptr<FileSource> source = OpenForReading(name);
    LineWriter firstWriter(rawFirst);
    LineWriter secondWriter(*cut.rawSecond);
    TapeCopy copy(firstWriter, secondWriter, limit, lastFeedText_);
    made = copy.Copy(*source);
    firstWriter.Flush();
    secondWriter.Flush();
    cut.lastFeedText = copy.LastFeedText();
    cut.bytesThroughFirstMotion = copy.BytesThroughFirstMotion();
  }
  rawFirst.Close();
  cut.rawSecond->Close();
  if (!made) return CutResult::kNothingToCut;
  if (cut.bytesThroughFirstMotion < 0 || cut.bytesThroughFirstMotion > limit) {
    return CutResult::kTooShort;
  }
  cut.first = std::make_unique<OutputFile>(name);
  if (const CorrectionStatus status =
          Correct(rawFirst.TemporaryPath(), name, *cut.first, cut.firstSays);
      status != CorrectionStatus::kCorrected) {
    cut.firstSays.Show();
    return CorrectionFailed(name, "первую", status);
  }
  cut.first->Close();
  cut.firstSize = FileSize(cut.first->TemporaryPath());
  return CutResult::kCut;
}

// A tape that cannot hold the program's start and first move is refused
// before anything is asked: kCut when it can. A tape that its correction
// makes too long is found when cut.
TapeSplitter::CutResult TapeSplitter::FirstMoveFits(const std::filesystem::path& name) {
  long long through = -1;
  try {
    through = BytesThroughFirstMotion(name);
  } catch (const std::exception& error) {
    Complain(Sprintf(kCutFailed, PathText(name).c_str(), error.what()));
    return CutResult::kFailed;
  }
  if (through >= 0 && through <= workingLimit_) return CutResult::kCut;
  // The trial cut's scratch files go beside the program.
  return TooShort(name, name, through);
}

// The tape cannot hold the start of the program, its first move and the
// closing frames: says which length could, found by cutting right after the
// first move.
TapeSplitter::CutResult TapeSplitter::TooShort(const std::filesystem::path& name,
                                         const std::filesystem::path& secondName,
                                         long long bytesThroughFirstMotion) {
  if (bytesThroughFirstMotion < 0) {
    Complain(Sprintf(kNoMotion, PathText(name).c_str()));
    return CutResult::kTooShort;
  }
  const long shortest = Saturated(bytesThroughFirstMotion);
  long smallestTape = shortest > LONG_MAX - kTapeReserve ? LONG_MAX : shortest + kTapeReserve;
  TapeCut trial(dialogs_);
  const CutResult result = CutAt(name, secondName, shortest, trial);
  if (result == CutResult::kCut) {
    smallestTape = std::max(smallestTape, trial.firstSize);
  } else if (result != CutResult::kNothingToCut) {
    return result;
  }
  Complain(Sprintf(kTooShort, PathText(name).c_str(), TapeSize(), smallestTape));
  return CutResult::kTooShort;
}

// The correction reads a part from its scratch file and writes it to the
// temporary file of its final name; it reports its own problems.
CorrectionStatus TapeSplitter::Correct(const std::filesystem::path& raw,
                                       const std::filesystem::path& target, ByteSink& output,
                                       Dialogs& dialogs) {
  const std::unique_ptr<FileSource> input = OpenForReading(raw);
  return UpToUpCorrection(raw, target, machine_, dialogs).Run(*input, output);
}

TapeSplitter::CutResult TapeSplitter::CorrectionFailed(const std::filesystem::path& name,
                                                       const char* part, CorrectionStatus status) {
  Complain(Sprintf(kCorrectionFailed, PathText(name).c_str(), part));
  return status == CorrectionStatus::kBrakingFailed ? CutResult::kBrakingFailed
                                                    : CutResult::kFailed;
}

// "File unchanged" speaks of the file being cut; tapes cut from the program
// before it have been written and stay, so the user is told which.
void TapeSplitter::Complain(const std::string& text) {
  std::string names;
  for (std::size_t tape = 0; tape + 1 < tapes_.size(); ++tape) {
    if (!names.empty()) names += ", ";
    names += PathText(tapes_[tape]);
  }
  dialogs_.Ask(DialogKind::Error, names.empty() ? text : text + Sprintf(kWrittenBefore, names.c_str()),
               {Button::Ok});
}

// The length dialog took the reserve off the size typed; the tape is that size.
long TapeSplitter::TapeSize() const {
  return workingLimit_ > LONG_MAX - kTapeReserve ? LONG_MAX : workingLimit_ + kTapeReserve;
}

}  // namespace h33
