#include "app/changemarkof.h"

namespace h33 {

std::optional<ChangeMarkRequest> ChangeMarkOf(const FrameChange& change) {
  const auto line = static_cast<std::uint32_t>(change.outputLine);
  switch (change.kind) {
    case FrameChangeKind::kFeedChanged:
      return ChangeMarkRequest{line,
                               change.newFeed_mm_min < change.oldFeed_mm_min ? ChangeMarkKind::kFeedLowered
                                                                             : ChangeMarkKind::kFeedRaised,
                               false};
    case FrameChangeKind::kJunctionInserted:
      return ChangeMarkRequest{line, ChangeMarkKind::kJunction, false};
    case FrameChangeKind::kStopInserted:
      return ChangeMarkRequest{line, ChangeMarkKind::kStop, false};
    case FrameChangeKind::kFrameDropped:
      return ChangeMarkRequest{line, ChangeMarkKind::kDropped, true};
    case FrameChangeKind::kFeedRestated:
    case FrameChangeKind::kFrameInserted:
    case FrameChangeKind::kFeedWordChanged:
    case FrameChangeKind::kMoveWordsChanged:
      break;
  }
  return std::nullopt;
}

}  // namespace h33
