#include "methods/ptp_translate.h"

#include "format/textformat.h"
#include "format/words.h"
#include "methods/ptp_braking.h"

namespace h33 {
namespace {

// Feeds go into PTP lines as plain mm/min; the code is written when the
// frame leaves the planner.
void WritePlainFeed(std::string& line, int feed) { ReplaceWord(line, 'F', Sprintf("%d", feed)); }

// Removes every F word with its whole value: a PTP feed is plain mm/min of
// any length, and cutting a fixed four characters would eat the next word.
void RemoveFeedWords(std::string& line) {
  for (std::size_t at = line.find('F'); at != std::string::npos; at = line.find('F', at)) {
    const std::size_t valueLength = ReadWord(std::string_view(line).substr(at), 'F').size();
    if (valueLength == 0) {
      ++at;
    } else {
      line.erase(at, valueLength + 1);
    }
  }
}

}  // namespace

PlannerPolicy ConversionPolicy(const RunParameters& parameters) {
  return {
      .speedLimit_mm_min = parameters.machine.speedLimit_mm_min,
      .feedMax_mm_min = parameters.machine.feedMax_mm_min,
      .braking = ConversionBrakingRules(parameters),
      .feedWords = {ReadPtpFeed, WritePlainFeed, RemoveFeedWords},
      .tangent = TangentRule::kChord,
      .roundTo3Decimals = true,
      .afterArcLimit = parameters.restoreAfterArc ? AfterArcLimit::kRestore : AfterArcLimit::kKeep,
      .keepFeedWordsAfterStill = true,
      .initialArcSense = 2,  // no G02/G03 seen yet counts as G02
  };
}

FrameTranslator::FrameTranslator(const RunParameters& parameters, PtpReader& input,
                                 Dialogs& dialogs)
    : input_(input), dialogs_(dialogs), planner_(ConversionPolicy(parameters)) {}

bool FrameTranslator::TranslateFrame(std::string& currentLine,
                                     std::optional<std::string>& nextLine) {
  const BrakingOutcome outcome =
      planner_.Plan(currentLine, nextLine, [this] { return input_.Next(); });
  return ShowBrakingFailure(outcome, planner_.Window(), dialogs_);
}

}  // namespace h33
