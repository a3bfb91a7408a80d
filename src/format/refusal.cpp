#include "refusal.h"

#include "textformat.h"

namespace h33 {

ProgramRefusal LineTooLong(long lineNumber) {
  return ProgramRefusal(
      Sprintf("Строка %ld длиннее 198 символов (с концом строки): кадр не читается целиком.",
              lineNumber));
}

ProgramRefusal NoFeedCode(std::string_view frame, std::string_view code) {
  return ProgramRefusal(Sprintf("Кадр\n%s\nсодержит код подачи F%s, который задает подачу меньше 1 мм/мин.",
                                std::string(frame).c_str(), std::string(code).c_str()));
}

}  // namespace h33
