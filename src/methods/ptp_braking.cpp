#include "methods/ptp_braking.h"

#include "format/textformat.h"

namespace h33 {

BrakingRules ConversionBrakingRules(const RunParameters& parameters) {
  return {parameters.Acceleration, 30, parameters.ArcChordLimit, true};
}

void ShowBrakingError(int code, const std::string& frameText, Dialogs& dialogs) {
  std::string text;
  if (code == kArcBrakedToZero) {
    text = Sprintf(
        "В кадре c круговой интерполяцией %s               недопустимое торможение до 0. "
        "Скорректируйте исходную программу.\n Как Решение:\n\t 1.вывод окружности линейными "
        "отрезками\n\t 2.убрать галочку восстановления скорости на окружности",
        frameText.c_str());
  } else if (code == kWindowExhausted) {
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

bool BrakeWindow(FrameWindow& window, std::size_t start, const BrakingRules& rules,
                 Dialogs& dialogs) {
  if (start == 0) return true;
  // Two stops in a row after a short circle: the circle itself would have to
  // end at rest, which it cannot brake to.
  const WindowRow& before = window[start - 1];
  if (window[start].feed == 0 && before.feed == 0 && IsShortArc(before, rules)) {
    ShowBrakingError(kArcBrakedToZero, before.text, dialogs);
    return false;
  }
  const BrakingOutcome outcome = BrakeBackward(window, start, rules);
  switch (outcome.result) {
    case BrakingOutcome::kBraked:
      return true;
    case BrakingOutcome::kArcToZero:
      ShowBrakingError(kArcBrakedToZero, window[outcome.arcRow].text, dialogs);
      return false;
    case BrakingOutcome::kWindowExhausted:
      ShowBrakingError(kWindowExhausted, window[start - 1].text, dialogs);
      return false;
  }
  return false;
}

}  // namespace h33
