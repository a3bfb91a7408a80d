#include "methods/timemessage.h"

#include "format/numbers.h"
#include "format/textformat.h"

namespace h33 {

std::string TimeMessage(float seconds) {
  // Hours come from the truncated whole minutes, the rest from the unrounded
  // minutes: 7199.9 s reads as 1 h 60.0 min.
  const float minutes = seconds / 60;
  const int wholeMinutes = TruncateToInt(minutes);
  const int hours = wholeMinutes / 60;
  const float rest = (minutes / 60 - static_cast<float>(hours)) * 60;
  if (hours == 0) {
    return Sprintf("\nВремя выполнения ->\n %10.0f секунд = %.2f минут", double{seconds},
                   double{seconds} / 60);
  }
  return Sprintf("\nВремя выполнения ->\n %10.0f секунд = %.2f минут = [ %d ч %.1f мин ]",
                 double{seconds}, double{minutes}, hours, double{rest});
}

}  // namespace h33
