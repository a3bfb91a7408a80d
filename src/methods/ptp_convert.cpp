#include "format/feedcode.h"
#include "format/lineio.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "methods/ptp_input.h"
#include "methods/ptp_to_up.h"
#include "methods/writtentime.h"

namespace h33 {
namespace {

constexpr long kFreeNumberWrap = 30000;
constexpr long kDirectFreeNumberWrap = 100000;

bool IsFeedCode(std::string_view value) {
  return value.size() == 4 && value.find_first_not_of("0123456789") == std::string_view::npos &&
         EncodeFeed(DecodeFeed(ParseInt(value))) == value;
}

// Every F word of the frame, not only the first one the word operations see:
// the conversion codes and limits only that one, so a second F word, or one
// behind a stray F, would reach the controller uncoded and above FeedMax.
bool HoldsOnlyItsCodedFeed(const Frame& frame) {
  return !frame.HasHiddenWord('F') && (!frame.Has('F') || IsFeedCode(frame.FeedText()));
}

// Numbers the frames that have an N word and writes them. A frame with a feed
// the controller would misread is never written, nor one grown too long to be
// read whole.
class NumberedWriter {
 public:
  NumberedWriter(ByteSink& sink, bool freeNumbering, long freeWrap, int acceleration_mm_s2)
      : writer_(sink),
        counter_(freeNumbering ? freeWrap : kH33NumberWrap),
        freeNumbering_(freeNumbering),
        writtenTime_(acceleration_mm_s2) {}

  void FlushRow(Frame& frame) {
    if (!HoldsOnlyItsCodedFeed(frame)) {
      throw PtpInputError(Sprintf("Кадр\n%s\nсодержит подачу, которая не записана кодом H33.",
                                  frame.Text().c_str()));
    }
    if (frame.Has('N')) {
      const long number = counter_.Take();
      frame.SetWord('N', ZeroPadded(number, freeNumbering_ ? 5 : 3));
    }
    if (!ReadWhole(frame.Text())) throw FrameGrownTooLong(frame);
    writer_.Write(frame.Text());
    writtenTime_.Take(frame);
  }

  // The time of the program written.
  TimeCount Finish() {
    writer_.Flush();
    return writtenTime_.Finish();
  }

 private:
  LineWriter writer_;
  FrameCounter counter_;
  bool freeNumbering_;
  WrittenProgramTime writtenTime_;
};

std::optional<ControlSums> BufferedConversion(const RunParameters& parameters, PtpReader& reader,
                                              NumberedWriter& writer, Dialogs& dialogs) {
  FrameTranslator translator(parameters, reader, dialogs);
  FrameWindow& window = translator.Window();
  std::optional<Frame> current = reader.Next();
  std::optional<Frame> next = reader.Next();
  while (current) {
    if (!translator.TranslateFrame(std::move(*current), next)) return std::nullopt;
    while (window.size() > kKeptRows) {
      writer.FlushRow(window.front().frame);
      window.pop_front();
    }
    // "END" without a line end closes the program; it is not converted.
    if (!next || next->Text() == "END") break;
    current = std::move(next);
    next = reader.Next();
  }
  for (WindowRow& row : window) writer.FlushRow(row.frame);
  return translator.Sums();
}

// No look-ahead, no braking, no end mark: every line is written, its feed
// only clamped and coded.
ControlSums DirectPass(const RunParameters& parameters, PtpReader& reader, NumberedWriter& writer) {
  ControlSums sums;
  for (std::optional<Frame> frame; (frame = reader.Next());) {
    sums.Add(*frame);
    if (frame->Has('F')) {
      int feed = ReadPtpFeed(*frame);
      if (feed > parameters.machine.feedMax_mm_min) feed = parameters.machine.feedMax_mm_min;
      frame->SetWord('F', EncodeFeed(feed));
    }
    writer.FlushRow(*frame);
  }
  return sums;
}

}  // namespace

bool CheckConversionParameters(const RunParameters& parameters, Dialogs& dialogs) {
  std::string problem;
  if (parameters.machine.feedMax_mm_min < 1 || parameters.machine.feedMax_mm_min > 9999) {
    problem = Sprintf(
        "Максимальная подача %d мм/мин не может быть записана кодом подачи H33: "
        "допустимо от 1 до 9999 мм/мин.",
        parameters.machine.feedMax_mm_min);
  } else if (parameters.machine.speedLimit_mm_min < 0 ||
             parameters.machine.speedLimit_mm_min > 1000000) {
    problem =
        Sprintf("Недопустимая подача при полном реверсе: %d мм/мин (допустимо от 0 до 1000000).",
                parameters.machine.speedLimit_mm_min);
  } else if (parameters.machine.acceleration_mm_s2 < 1 ||
             parameters.machine.acceleration_mm_s2 > 1000000) {
    problem = Sprintf("Недопустимое ускорение: %d мм/с² (допустимо от 1 до 1000000).",
                      parameters.machine.acceleration_mm_s2);
  } else {
    return true;
  }
  dialogs.Ask(DialogKind::Error, problem + "\nПреобразование не выполнено.", {Button::Ok});
  return false;
}

ConversionResult ConvertPtp(const RunParameters& parameters, ByteSource& input, ByteSink& output,
                            Dialogs& dialogs) {
  if (!CheckConversionParameters(parameters, dialogs)) return {ConversionStatus::kRefused, {}, {}};
  PtpReader reader(input);
  const bool direct = !parameters.brakes;
  NumberedWriter writer(output, parameters.freeNumbering,
                        direct ? kDirectFreeNumberWrap : kFreeNumberWrap,
                        parameters.machine.acceleration_mm_s2);
  try {
    const std::optional<ControlSums> sums =
        direct ? DirectPass(parameters, reader, writer)
               : BufferedConversion(parameters, reader, writer, dialogs);
    if (!sums) return {ConversionStatus::kBrakingFailed, {}, {}};
    return {ConversionStatus::kConverted, *sums, writer.Finish()};
  } catch (const ProgramRefusal& error) {
    dialogs.Ask(DialogKind::Error, std::string(error.what()) + "\nПреобразование прервано.",
                {Button::Ok});
    return {ConversionStatus::kBadInput, {}, {}};
  }
}

}  // namespace h33
