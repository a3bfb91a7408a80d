#include "methods/ptp_to_up.h"

#include <memory>

#include "format/outputfile.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "methods/messages.h"
#include "methods/tapesplitter.h"
#include "methods/timecount.h"
#include "methods/timemessage.h"

namespace h33 {
namespace {

constexpr const char* kErrorCaption = "Ошибка в программе";

// The tape splitter's offer to cut the new program to a tape length belongs
// here: after the user has seen the result of a finished conversion.
bool OfferTapeSplit(const RunParameters& parameters, const std::filesystem::path& outputName,
                    Dialogs& dialogs) {
  // The PTP tape the program came from is never a part's name.
  TapeSplitter split(outputName, parameters.machine, dialogs, {parameters.inputFile});
  return split.Run() == SplitOutcome::kFinished;
}

// The output file replaces its target only when the whole program is written.
ConversionStatus WriteProgram(const RunParameters& parameters, ByteSource& input,
                              const std::filesystem::path& outputName, Dialogs& dialogs,
                              ConversionResult& written) {
  std::unique_ptr<OutputFile> output;
  try {
    output = std::make_unique<OutputFile>(outputName);
  } catch (const RunError& error) {
    dialogs.CaptionedBox(std::string("Не могу создать up-файл -> kalvert::PtpToUp\n") + error.what(),
                         kErrorCaption);
    return ConversionStatus::kOutputUncreatable;
  }
  try {
    const ConversionResult result = ConvertPtp(parameters, input, *output, dialogs);
    if (result.status != ConversionStatus::kConverted) return result.status;
    // Checked before the rename: a program the tool cannot time is not
    // written over a good one.
    if (result.writtenTime.status != TimeCountStatus::kCounted) {
      throw IoError("время выполнения не подсчитано.\n" + result.writtenTime.reason);
    }
    output->Commit();
    written = result;
    return ConversionStatus::kConverted;
  } catch (const RunError& error) {
    dialogs.CaptionedBox(Sprintf("Преобразование прервано: %s\nФайл %s не записан.", error.what(),
                                 PathText(outputName).c_str()),
                         kErrorCaption);
    return ConversionStatus::kIoFailed;
  }
}

}  // namespace

std::string ConversionMessage(const std::filesystem::path& outputName, const ControlSums& sums,
                              float seconds) {
  return Sprintf(
             "Создан файл %s \nКонтрольные суммы:\n\tSUMX =%10.2f mm\n\tSUMY =%10.2f mm\n\tSUMZ "
             "=%10.2f mm\n",
             PathText(outputName).c_str(), sums.X(), sums.Y(), sums.Z()) +
         TimeMessage(seconds);
}

bool CheckOutputIsNotInput(const std::filesystem::path& input,
                           const std::filesystem::path& output, Dialogs& dialogs) {
  if (!DesignateSameFile(input, output)) return true;
  dialogs.Ask(DialogKind::Error, Sprintf(kOutputIsInputText, PathText(input).c_str()),
              {Button::Yes});
  return false;
}

ConversionStatus PtpToUp(const RunParameters& parameters, const std::filesystem::path& inputName,
                         const std::filesystem::path& outputName, Dialogs& dialogs) {
  if (!CheckConversionParameters(parameters, dialogs)) return ConversionStatus::kRefused;
  if (!CheckOutputIsNotInput(inputName, outputName, dialogs)) return ConversionStatus::kRefused;
  std::string reason;
  const std::unique_ptr<FileSource> input = FileSource::Open(inputName, &reason);
  if (!input) {
    dialogs.CaptionedBox("Не могу открыть ptp-файл -> kalvert::PtpToUp\n" + PathText(inputName) +
                             ": " + reason,
                         kErrorCaption);
    return ConversionStatus::kInputUnreadable;
  }
  return PtpToUp(parameters, *input, outputName, dialogs);
}

ConversionStatus PtpToUp(const RunParameters& parameters, ByteSource& input,
                         const std::filesystem::path& outputName, Dialogs& dialogs) {
  ConversionResult written;
  const ConversionStatus status = WriteProgram(parameters, input, outputName, dialogs, written);
  if (status != ConversionStatus::kConverted) return status;

  const TimeCount& time = written.writtenTime;
  // The report names the output as the user gave it, which a front end may
  // have had written elsewhere first (standard output goes through a file).
  const std::filesystem::path& shownName =
      parameters.outputFile.empty() ? outputName : parameters.outputFile;
  dialogs.Ask(DialogKind::Confirmation, ConversionMessage(shownName, written.sums, time.seconds),
              {Button::Ok});
  if (!OfferTapeSplit(parameters, outputName, dialogs)) return ConversionStatus::kSplitFailed;
  return ConversionStatus::kConverted;
}

}  // namespace h33
