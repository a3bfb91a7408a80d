#include "methods/ptp_braking.h"

#include <string>

#include "format/textformat.h"

namespace h33 {
namespace {

constexpr int kFloorFeed_mm_min = 30;

// The "kalvert" box for a braking failure, naming the frame.
void ShowBrakingError(BrakingOutcome::Result failure, const std::string& frameText, Dialogs& dialogs) {
  std::string text;
  if (failure == BrakingOutcome::kArcToZero) {
    text = Sprintf(
        "В кадре c круговой интерполяцией %s               недопустимое торможение до 0. "
        "Скорректируйте исходную программу.\n Как Решение:\n\t 1.вывод окружности линейными "
        "отрезками\n\t 2.убрать галочку восстановления скорости на окружности",
        frameText.c_str());
  } else if (failure == BrakingOutcome::kWindowExhausted) {
    text = Sprintf(
        "Слишком маленькая подача в кадре:\n%s \n \t  Станок не успевает затормозиться в "
        "предыдущих 18-и кадрах.\n \t  Скорректируйте исходную программу.\n Как Решение: \n\t "
        "1.вывод окружности линейными отрезками\n\t 2.убрать галочку восстановления скорости на "
        "окружности",
        frameText.c_str());
  } else {
    return;
  }
  dialogs.CaptionedBox(text, "kalvert");
}

}  // namespace

BrakingRules ConversionBrakingRules(const RunParameters& parameters) {
  return {.acceleration = parameters.machine.acceleration_mm_s2,
          .floorFeed = kFloorFeed_mm_min,
          .arcChordLimit = parameters.arcChordLimit_mm,
          .stopAtMOrS = true,
          .zeroFeedsAfterShortArc = true};
}

bool ShowBrakingFailure(const BrakingOutcome& outcome, const FrameWindow& window,
                        Dialogs& dialogs) {
  switch (outcome.result) {
    case BrakingOutcome::kBraked:
      return true;
    case BrakingOutcome::kArcToZero:
      ShowBrakingError(outcome.result, window[outcome.arcRow].frame.Text(), dialogs);
      return false;
    case BrakingOutcome::kWindowExhausted:
      ShowBrakingError(outcome.result, window[outcome.start - 1].frame.Text(), dialogs);
      return false;
  }
  return false;
}

bool BrakeWindow(FrameWindow& window, std::size_t start, const BrakingRules& rules,
                 Dialogs& dialogs) {
  return ShowBrakingFailure(BrakeBackward(window, start, rules), window, dialogs);
}

}  // namespace h33
