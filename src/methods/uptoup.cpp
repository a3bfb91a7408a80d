#include "methods/uptoup.h"

#include <memory>
#include <system_error>
#include <utility>

#include "format/lineio.h"
#include "format/outputfile.h"
#include "format/pathtext.h"
#include "format/refusal.h"
#include "format/textformat.h"
#include "methods/correctionpolicy.h"
#include "methods/messages.h"

namespace h33 {
namespace {

constexpr const char* kCaption = "Ошибка в программе UpToUp";
constexpr const char* kCannotOpen = "Не могу открыть файл %s";
constexpr const char* kRefused = "\nОбработка прервана.";
constexpr const char* kControlSums =
    "Контрольные суммы:\nSUMX =%10.2f mm\nSUMY =%10.2f mm\nSUMZ =%10.2f mm";

constexpr const char* kArcToZeroReport =
    "\nВ кадре c круговой интерполяцией %s\t\t\tнедопустимое торможение до 0. "
    "Скорректируйте исходную программу.\n\t\t\t\n";
constexpr const char* kArcToZeroBox =
    "В кадре c круговой интерполяцией %s \t\t\tнедопустимое торможение до 0. "
    "Скорректируйте исходную программу.";
constexpr const char* kWindowReport =
    "\nСлишком маленькая подача в кадре:\n%s%s\n"
    "\nСтанок не успевает затормозиться в предыдущих 18-и кадрах.\n"
    "Скорректируйте исходную программу.\n\n";
constexpr const char* kWindowBox =
    "Слишком маленькая подача в кадре:\n %s %s \n                        \n"
    "Станок не успевает затормозиться в предыдущих 18-и кадрах.\n"
    "                      Скорректируйте исходную программу.";

constexpr const char* kEndMark = "END";

// Reading failed part way, as opposed to writing.
class InputError : public IoError {
 public:
  using IoError::IoError;
};

}  // namespace

UpToUpCorrection::UpToUpCorrection(std::filesystem::path inputName,
                                   std::filesystem::path outputName, const MachineLimits& machine,
                                   Dialogs& dialogs)
    : inputName_(std::move(inputName)),
      outputName_(std::move(outputName)),
      dialogs_(dialogs),
      planner_(CorrectionPolicy(machine)),
      window_(planner_.Window()),
      writtenTime_(machine.acceleration_mm_s2) {}

CorrectionStatus UpToUpCorrection::Run() {
  std::string reason;
  const auto input = FileSource::Open(inputName_, &reason);
  if (!input) return CannotOpen(inputName_, reason, CorrectionStatus::kInputUnreadable);
  return Run(*input);
}

CorrectionStatus UpToUpCorrection::Run(ByteSource& input) {
  // Checked before anything is created: the input would be replaced by its
  // own correction.
  if (DesignateSameFile(inputName_, outputName_)) {
    dialogs_.CaptionedBox(Sprintf(kOutputIsInputText, PathText(inputName_).c_str()), kCaption);
    return CorrectionStatus::kOutputUncreatable;
  }
  std::unique_ptr<OutputFile> output;
  try {
    output = std::make_unique<OutputFile>(outputName_);
  } catch (const RunError& error) {
    return CannotOpen(outputName_, error.what(), CorrectionStatus::kOutputUncreatable);
  }
  if (const CorrectionStatus status = Correct(input, *output);
      status != CorrectionStatus::kCorrected) {
    return status;
  }
  try {
    output->Commit();
  } catch (const RunError& error) {
    dialogs_.CaptionedBox(error.what(), kCaption);
    return CorrectionStatus::kOutputUncreatable;
  }
  ShowControlSums();
  return CorrectionStatus::kCorrected;
}

CorrectionStatus UpToUpCorrection::Run(ByteSource& input, ByteSink& output) {
  const CorrectionStatus status = Correct(input, output);
  if (status == CorrectionStatus::kCorrected) ShowControlSums();
  return status;
}

CorrectionStatus UpToUpCorrection::Correct(ByteSource& input, ByteSink& output) {
  try {
    ProgramLineReader reader(input);
    LineWriter writer(output);
    std::optional<Frame> current = ReadFrame(reader);
    std::optional<Frame> next;
    if (current) next = ReadNextFrame(reader);
    while (current) {
      const BrakingOutcome outcome = planner_.Plan(std::move(*current), next,
                                                   [&] { return ReadNextFrame(reader); });
      if (!ReportBraking(outcome)) return CorrectionStatus::kBrakingFailed;
      while (window_.size() > kKeptRows) EmitOldest(writer);
      current = std::move(next);
      next.reset();
      if (current) next = ReadNextFrame(reader);
    }
    while (!window_.empty()) EmitOldest(writer);
    writer.Flush();
    return CorrectionStatus::kCorrected;
  } catch (const ProgramRefusal& error) {
    dialogs_.CaptionedBox(std::string(error.what()) + kRefused, kCaption);
    return CorrectionStatus::kInputUnreadable;
  } catch (const InputError& error) {
    dialogs_.CaptionedBox(error.what(), kCaption);
    return CorrectionStatus::kInputUnreadable;
  } catch (const RunError& error) {
    dialogs_.CaptionedBox(error.what(), kCaption);
    return CorrectionStatus::kOutputUncreatable;
  }
}

// A line longer than a read, 198 characters with its line end, is refused,
// and so is any F word whose code is no feed: a feed-only frame's code would
// be carried into the next move. So is a code above 4000: its frame would be
// written with the lead digit 0, without the controller's 240 mm/min frame
// after it. So is a bare or second F: the feed written would hide behind it.
std::optional<Frame> UpToUpCorrection::ReadFrame(ProgramLineReader& reader) {
  std::string line;
  try {
    if (!reader.ReadLine(line)) return std::nullopt;
  } catch (const ProgramRefusal&) {
    throw;
  } catch (const RunError& error) {
    throw InputError(error.what());
  }
  Frame frame(std::move(line));
  frame.SetSourceLine(reader.LineNumber());
  RefuseNonFeedCode(frame, reader.LineNumber());
  RefuseSlowFrameCode(frame, reader.LineNumber());
  RefuseHiddenFeedWord(frame, reader.LineNumber());
  return frame;
}

// A last line "END" ends the program like the end of the input.
std::optional<Frame> UpToUpCorrection::ReadNextFrame(ProgramLineReader& reader) {
  std::optional<Frame> frame = ReadFrame(reader);
  if (frame && frame->Text() == kEndMark) return std::nullopt;
  return frame;
}

void UpToUpCorrection::EmitOldest(LineWriter& writer) {
  Frame& frame = window_.front().frame;
  if (frame.Has('N')) frame.SetH33Number(numbers_.Take());
  if (!ReadWhole(frame.Text())) throw FrameGrownTooLong(frame);
  writer.Write(frame.Text());
  writtenTime_.Take(frame);
  window_.pop_front();
}

// False after the failure has been shown.
bool UpToUpCorrection::ReportBraking(const BrakingOutcome& outcome) {
  const std::size_t start = outcome.start;
  switch (outcome.result) {
    case BrakingOutcome::kBraked:
      return true;
    case BrakingOutcome::kArcToZero: {
      const char* arc = window_[outcome.arcRow].frame.Text().c_str();
      brakingReport_ = Sprintf(kArcToZeroReport, arc);
      dialogs_.Ask(DialogKind::Warning, Sprintf(kArcToZeroBox, arc), {Button::Yes});
      return false;
    }
    case BrakingOutcome::kWindowExhausted: {
      const char* before = window_[start - 1].frame.Text().c_str();
      const char* slow = window_[start].frame.Text().c_str();
      brakingReport_ = Sprintf(kWindowReport, before, slow);
      dialogs_.Ask(DialogKind::Warning, Sprintf(kWindowBox, before, slow), {Button::Yes});
      return false;
    }
  }
  return false;
}

CorrectionStatus UpToUpCorrection::CannotOpen(const std::filesystem::path& name,
                                              const std::string& reason, CorrectionStatus status) {
  dialogs_.CaptionedBox(Sprintf(kCannotOpen, PathText(name).c_str()) + "\n" + reason, kCaption);
  return status;
}

void UpToUpCorrection::ShowControlSums() {
  dialogs_.Message(
      Sprintf(kControlSums, planner_.Sums().X(), planner_.Sums().Y(), planner_.Sums().Z()));
}

}  // namespace h33
