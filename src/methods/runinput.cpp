#include "runinput.h"

#include <string>
#include <system_error>

#include "bytesource.h"
#include "formatcheck.h"
#include "pathtext.h"
#include "textformat.h"

namespace h33 {
namespace {

// The feed word is left out: the conversion's input carries plain feeds.
constexpr int kSkipFeedCheck = 1;

int CountViolations(const std::filesystem::path& input) {
  try {
    return CheckH33Format(input, kSkipFeedCheck);
  } catch (const IoError&) {
    return -1;  // a file that fails part way cannot be read either
  }
}

}  // namespace

bool CheckRunInput(const std::filesystem::path& input, Dialogs& dialogs) {
  const std::string name = PathText(input);
  std::error_code error;
  if (!std::filesystem::exists(input, error)) {
    dialogs.Ask(DialogKind::Error, Sprintf("Файл УП ->\n %s \n\n НЕ существует \n ..", name.c_str()),
                {Button::Yes});
    return false;
  }
  const int violations = CountViolations(input);
  if (violations == -1) {
    dialogs.CaptionedBox(Sprintf("Невозможно открыть файл:\n %s \n на 'чтение' ", name.c_str()),
                         "Проверка программы на формат H33 - > ошибка ...");
    return false;
  }
  if (violations != 0) {
    dialogs.Ask(DialogKind::Error,
                Sprintf("Файл УП ->\n %s \n\n НЕ является программой ЧПУ H33 (Velta)\n Вычисления "
                        "прерваны....",
                        name.c_str()),
                {Button::Yes});
    return false;
  }
  return true;
}

}  // namespace h33
