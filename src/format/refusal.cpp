#include "format/refusal.h"

#include "format/textformat.h"

namespace h33 {

ProgramRefusal LineTooLong(long lineNumber) {
  return ProgramRefusal(
      Sprintf("Строка %ld длиннее 198 символов (с концом строки): кадр не читается целиком.",
              lineNumber));
}

}  // namespace h33
