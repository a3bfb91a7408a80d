#include "cli/consoledialogs.h"

#include <algorithm>
#include <ostream>

namespace h33 {

void ConsoleDialogs::Message(const std::string& text) { out_ << text << '\n'; }

Button ConsoleDialogs::Ask(DialogKind kind, const std::string& text,
                           std::initializer_list<Button> buttons) {
  const bool problem = kind == DialogKind::Error || kind == DialogKind::Warning;
  (problem ? err_ : out_) << text << '\n';
  if (buttons.size() == 1) return *buttons.begin();
  if (!answers.empty()) {
    const Button answer = answers.front();
    answers.pop_front();
    return answer;
  }
  const bool canSayNo = std::find(buttons.begin(), buttons.end(), Button::No) != buttons.end();
  return canSayNo ? Button::No : Button::Cancel;
}

// A box's caption is its window's title; on a console only the text is the message.
void ConsoleDialogs::CaptionedBox(const std::string& text, const std::string&) {
  err_ << text << '\n';
}

std::optional<long> ConsoleDialogs::AskTapeLengthLimit() { return tapeLengthLimit; }

std::optional<std::string> ConsoleDialogs::AskSecondPartName(const std::filesystem::path&) {
  if (secondPartNames.empty()) return std::nullopt;
  std::string name = std::move(secondPartNames.front());
  secondPartNames.pop_front();
  return name;
}

}  // namespace h33
