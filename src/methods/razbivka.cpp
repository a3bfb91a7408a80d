#include "razbivka.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <system_error>
#include <vector>

#include "lineio.h"
#include "outputfile.h"
#include "pathtext.h"
#include "tapecopy.h"
#include "textformat.h"
#include "uptoup.h"

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

bool DesignatesFile(const std::filesystem::path& candidate, const std::filesystem::path& name) {
  return candidate == name || DesignateSameFile(candidate, name);
}

// The second part is moved into place first: should the first part then fail
// to replace the file being split, that file still holds the whole program,
// and the second part is withdrawn so that no program stands there twice.
void CommitParts(OutputFile& first, OutputFile& second, const std::filesystem::path& secondName) {
  second.Commit();
  try {
    first.Commit();
  } catch (const IoError&) {
    std::error_code ignored;
    std::filesystem::remove(secondName, ignored);
    throw;
  }
}

}  // namespace

TRazbivka::TRazbivka(std::filesystem::path fileName, int speedLimit, int feedMax, int acceleration,
                     Dialogs& dialogs)
    : speedLimit_(speedLimit), feedMax_(feedMax), acceleration_(acceleration), dialogs_(dialogs) {
  outcome_ = Run(fileName);
}

SplitOutcome TRazbivka::Run(const std::filesystem::path& fileName) {
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
SplitOutcome TRazbivka::SplitFile(std::filesystem::path name) {
  bool refused = false;
  bool firstCut = true;
  // The tapes of this split so far, the one being cut last.
  std::vector<std::filesystem::path> tapes{name};
  for (;;) {
    const long size = FileSize(name);
    if (size < workingLimit_) {
      dialogs_.Message(kFinished);
      return SplitOutcome::kFinished;
    }
    const std::optional<std::filesystem::path> secondName = AskSecondPart(name, size);
    if (!secondName) return refused ? SplitOutcome::kNameRefused : SplitOutcome::kFinished;
    // The second part is written while the file is read, and every earlier
    // tape holds a piece of the program: it may be none of them.
    const auto tape = std::find_if(tapes.rbegin(), tapes.rend(), [&](const auto& cut) {
      return DesignatesFile(*secondName, cut);
    });
    if (tape != tapes.rend()) {
      dialogs_.Message(Sprintf(kOwnName, PathText(*tape).c_str()));
      refused = true;
      continue;
    }
    refused = false;
    // A remainder already carries the restated frames and the approach, so
    // from the second cut on each remainder must be shorter than the file it
    // came from, or the cuts would never end. The program itself may grow
    // into its first remainder.
    switch (Cut(name, *secondName, firstCut ? LONG_MAX : size)) {
      case CutResult::kCut:
        break;
      case CutResult::kNothingToCut:
        dialogs_.Message(kFinished);
        return SplitOutcome::kFinished;
      case CutResult::kBrakingFailed:
        return SplitOutcome::kBrakingFailed;
      case CutResult::kFailed:
        return SplitOutcome::kFailed;
    }
    name = *secondName;
    tapes.push_back(name);
    firstCut = false;
  }
}

// Nothing when the user declines the cut; the name dialog closed other than
// with OK asks the question again.
std::optional<std::filesystem::path> TRazbivka::AskSecondPart(const std::filesystem::path& name,
                                                               long size) {
  const long tapeSize =
      workingLimit_ > LONG_MAX - kTapeReserve ? LONG_MAX : workingLimit_ + kTapeReserve;
  for (;;) {
    if (dialogs_.Ask(DialogKind::Confirmation,
                     Sprintf(kCutQuestion, PathText(name).c_str(), size, tapeSize),
                     {Button::Yes, Button::No}) != Button::Yes) {
      return std::nullopt;
    }
    if (const std::optional<std::string> secondName = dialogs_.AskSecondPartName()) {
      return PathFromText(*secondName);
    }
  }
}

TRazbivka::CutResult TRazbivka::Cut(const std::filesystem::path& name,
                                    const std::filesystem::path& secondName,
                                    long remainderBelow) {
  try {
    return CutAndCorrect(name, secondName, remainderBelow);
  } catch (const std::exception& error) {
    dialogs_.Ask(DialogKind::Error, Sprintf(kCutFailed, PathText(name).c_str(), error.what()),
                 {Button::Ok});
    return CutResult::kFailed;
  }
}

// Every stage writes to temporary files beside its target, which are removed
// whatever happens; only when both corrected parts are complete do they move
// under their names.
TRazbivka::CutResult TRazbivka::CutAndCorrect(const std::filesystem::path& name,
                                              const std::filesystem::path& secondName,
                                              long remainderBelow) {
  OutputFile rawFirst(name);
  OutputFile rawSecond(secondName);
  if (!CopyTapes(name, rawFirst, rawSecond)) return CutResult::kNothingToCut;

  OutputFile first(name);
  if (const int result = Correct(rawFirst.TemporaryPath(), name, first); result != 0) {
    return CorrectionFailed(name, "первую", result);
  }
  OutputFile second(secondName);
  if (const int result = Correct(rawSecond.TemporaryPath(), secondName, second); result != 0) {
    return CorrectionFailed(name, "вторую", result);
  }
  second.Close();
  if (const long remainder = FileSize(second.TemporaryPath()); remainder >= remainderBelow) {
    dialogs_.Ask(DialogKind::Error,
                 Sprintf(kNoProgress, PathText(name).c_str(), remainder, FileSize(name)),
                 {Button::Ok});
    return CutResult::kFailed;
  }
  CommitParts(first, second, secondName);
  return CutResult::kCut;
}

bool TRazbivka::CopyTapes(const std::filesystem::path& name, OutputFile& first,
                          OutputFile& second) {
  bool cut = false;
  {
    const std::unique_ptr<FileSource> source = OpenForReading(name);
    LineWriter firstWriter(first);
    LineWriter secondWriter(second);
    TapeCopy copy(firstWriter, secondWriter, workingLimit_, lastFeedText_);
    cut = copy.Copy(*source);
    firstWriter.Flush();
    secondWriter.Flush();
    lastFeedText_ = copy.LastFeedText();
  }
  first.Close();
  second.Close();
  return cut;
}

// The correction reads a part from its scratch file and writes it to the
// temporary file of its final name; it reports its own problems.
int TRazbivka::Correct(const std::filesystem::path& raw, const std::filesystem::path& target,
                       ByteSink& output) {
  const std::unique_ptr<FileSource> input = OpenForReading(raw);
  return TUpToUp(raw, target, speedLimit_, acceleration_, feedMax_, dialogs_).Run(*input, output);
}

TRazbivka::CutResult TRazbivka::CorrectionFailed(const std::filesystem::path& name,
                                                 const char* part, int result) {
  dialogs_.Ask(DialogKind::Error, Sprintf(kCorrectionFailed, PathText(name).c_str(), part),
               {Button::Ok});
  return result == TUpToUp::kBrakingFailed ? CutResult::kBrakingFailed : CutResult::kFailed;
}

}  // namespace h33
