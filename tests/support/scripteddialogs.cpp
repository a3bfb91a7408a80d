#include "scripteddialogs.h"


namespace h33 {
namespace {

const char* KindName(DialogKind kind) {
  switch (kind) {
    case DialogKind::Error: return "error";
    case DialogKind::Information: return "information";
    case DialogKind::Warning: return "warning";
    case DialogKind::Confirmation: return "confirmation";
  }
  return "?";
}

const char* ButtonName(Button button) {
  switch (button) {
    case Button::Ok: return "OK";
    case Button::Yes: return "Yes";
    case Button::No: return "No";
    case Button::Cancel: return "Cancel";
  }
  return "?";
}

template <typename T>
T Next(std::deque<T>& answers, std::vector<std::string>& shown, T fallback) {
  if (answers.empty()) {
    shown.push_back("(no scripted answer)");
    return fallback;
  }
  T answer = std::move(answers.front());
  answers.pop_front();
  return answer;
}

}  // namespace

void ScriptedDialogs::Message(const std::string& text) { shown.push_back("message: " + text); }

Button ScriptedDialogs::Ask(DialogKind kind, const std::string& text,
                            std::initializer_list<Button> choices) {
  std::string line = KindName(kind);
  line += " [";
  for (const Button button : choices) {
    if (line.back() != '[') line += ' ';
    line += ButtonName(button);
  }
  shown.push_back(line + "]: " + text);
  if (choices.size() == 1) return *choices.begin();
  return Next(buttons, shown, *choices.begin());
}

void ScriptedDialogs::CaptionedBox(const std::string& text, const std::string& caption) {
  shown.push_back("captioned <" + caption + ">: " + text);
}

std::optional<long> ScriptedDialogs::AskTapeLengthLimit() {
  shown.push_back("length dialog");
  return Next<std::optional<long>>(lengthLimits, shown, std::nullopt);
}

std::optional<std::string> ScriptedDialogs::AskSecondPartName(const std::filesystem::path&) {
  shown.push_back("name dialog");
  return Next<std::optional<std::string>>(secondPartNames, shown, std::nullopt);
}

}  // namespace h33
