#include "app/splitchecks.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "format/pathtext.h"

namespace h33 {

std::optional<long> CheckTapeLength(const std::string& text, Dialogs& dialogs, bool& clearField) {
  clearField = false;
  if (text.empty()) {
    dialogs.Message("Введите значение");
    return std::nullopt;
  }
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    dialogs.Message("Введен неверный символ");
    clearField = true;
    return std::nullopt;
  }
  // Digits beyond what a long holds cannot be a tape size; they read as the largest one.
  long size = 0;
  for (const char digit : text) {
    if (size > (std::numeric_limits<long>::max() - (digit - '0')) / 10) {
      size = std::numeric_limits<long>::max();
      break;
    }
    size = size * 10 + (digit - '0');
  }
  return size - kTapeSizeReserve;
}

bool CheckSecondPartName(const std::string& name, Dialogs& dialogs) {
  if (name.empty()) {
    dialogs.Message("Не задано имя файла");
    return false;
  }
  std::error_code error;
  if (!std::filesystem::exists(PathFromText(name), error)) return true;
  const Button answer = dialogs.Ask(DialogKind::Confirmation,
                                    "Файл с таким именем уже существует\nПереписать его?",
                                    {Button::Yes, Button::No});
  if (answer == Button::Yes) return true;
  dialogs.Message("Введите другое имя");
  return false;
}

}  // namespace h33
