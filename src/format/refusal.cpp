#include "format/refusal.h"

#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {

ProgramRefusal LineTooLong(long lineNumber) {
  return ProgramRefusal(
      Sprintf("Строка %ld длиннее 198 символов (с концом строки): кадр не читается целиком.",
              lineNumber));
}

void RefuseNonFeedCode(std::string_view line, long lineNumber) {
  const std::string_view code = ReadWord(line, 'F');
  if (code.empty() || !IsNonFeedCode(ParseInt(code))) return;
  throw ProgramRefusal(Sprintf("Строка %ld: код подачи F%s задаёт подачу меньше 1 мм/мин.",
                               lineNumber, std::string(TrimBlanks(code)).c_str()));
}

}  // namespace h33
