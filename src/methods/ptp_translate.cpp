#include "methods/ptp_translate.h"

#include <utility>

#include "format/textformat.h"
#include "format/words.h"
#include "methods/ptp_braking.h"

namespace h33 {
namespace {

// Feeds go into PTP frames as plain mm/min; the code is written when the
// frame leaves the planner.
void WritePlainFeed(Frame& frame, int feed) { frame.SetWord('F', Sprintf("%d", feed)); }

void RemovePlainFeeds(Frame& frame) { frame.Rewrite(RemoveWholeFeedWords); }

}  // namespace

PlannerPolicy ConversionPolicy(const RunParameters& parameters) {
  return {
      .speedLimit_mm_min = parameters.machine.speedLimit_mm_min,
      .feedMax_mm_min = parameters.machine.feedMax_mm_min,
      .braking = ConversionBrakingRules(parameters),
      .feedWords = {ReadPtpFeed, WritePlainFeed, RemovePlainFeeds},
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

bool FrameTranslator::TranslateFrame(Frame current, std::optional<Frame>& next) {
  const BrakingOutcome outcome =
      planner_.Plan(std::move(current), next, [this] { return input_.Next(); });
  return ShowBrakingFailure(outcome, planner_.Window(), dialogs_);
}

}  // namespace h33
