#include "methods/brakingfinding.h"

#include "format/textformat.h"

namespace h33 {
namespace {

std::string WhatIsWrong(const BrakingFinding& finding) {
  const int feed = finding.feed_mm_min;
  const int allowed = finding.allowed_mm_min;
  switch (finding.kind) {
    case BrakingFault::kCannotBrake:
      return Sprintf(
          "не успевает затормозиться до %d мм/мин: подача %d мм/мин, допустимо %d мм/мин",
          finding.next_mm_min, feed, allowed);
    case BrakingFault::kCornerTooFast:
      return Sprintf("угол в начале кадра проходится на %d мм/мин, допустимо %d мм/мин", feed,
                     allowed);
    case BrakingFault::kArcTooFast:
      return Sprintf("дуга на %d мм/мин быстрее предела окружности %d мм/мин", feed, allowed);
    case BrakingFault::kShortTooFast:
      return Sprintf("короткий кадр (не длиннее 0.21 мм) на %d мм/мин, допустимо %d мм/мин", feed,
                     allowed);
    case BrakingFault::kNoFeedYet:
      return "перемещение до первой подачи: подача не задана, станок стоит";
    case BrakingFault::kZeroFeed:
      return "перемещение на подаче F0000: станок стоит";
    case BrakingFault::kAboveFeedMax:
      return Sprintf("подача %d мм/мин выше наибольшей подачи станка %d мм/мин", feed, allowed);
    case BrakingFault::kNoStopAtEnd:
      return Sprintf("после последнего перемещения (подача %d мм/мин) нет останова F0000", feed);
    case BrakingFault::kNoMoves:
      return "нет перемещений (в файле нет ни одного кадра с X, Y или Z)";
  }
  return {};
}

}  // namespace

std::string DescribeFinding(const BrakingFinding& finding) {
  if (finding.kind == BrakingFault::kNoMoves) return WhatIsWrong(finding);
  return Sprintf("строка %ld (%s): ", finding.line, finding.frame.c_str()) + WhatIsWrong(finding);
}

std::string_view FaultName(BrakingFault kind) {
  switch (kind) {
    case BrakingFault::kCannotBrake: return "braking";
    case BrakingFault::kCornerTooFast: return "corner";
    case BrakingFault::kArcTooFast: return "arc";
    case BrakingFault::kShortTooFast: return "short";
    case BrakingFault::kNoFeedYet: return "no-feed";
    case BrakingFault::kZeroFeed: return "zero-feed";
    case BrakingFault::kAboveFeedMax: return "above-feed-max";
    case BrakingFault::kNoStopAtEnd: return "no-stop";
    case BrakingFault::kNoMoves: return "no-moves";
  }
  return {};
}

}  // namespace h33
