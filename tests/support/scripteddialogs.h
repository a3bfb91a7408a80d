#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "methods/dialogs.h"

namespace h33 {

// Answers the methods' questions from a script and records every box shown,
// one line per box, so tests can compare what the user would have seen.
class ScriptedDialogs : public Dialogs {
 public:
  void Message(const std::string& text) override;
  Button Ask(DialogKind kind, const std::string& text,
             std::initializer_list<Button> buttons) override;
  void CaptionedBox(const std::string& text, const std::string& caption) override;
  std::optional<long> AskTapeLengthLimit() override;
  std::optional<std::string> AskSecondPartName(const std::filesystem::path& splitting) override;

  // Answers, consumed in order. A question without a scripted answer adds the
  // line "(no scripted answer)" to `shown` and gets the box's first button
  // (or "not OK").
  std::deque<Button> buttons;
  std::deque<std::optional<long>> lengthLimits;
  std::deque<std::optional<std::string>> secondPartNames;

  // "message: text", "error [Yes]: text", "captioned <caption>: text", ...
  std::vector<std::string> shown;
};

}  // namespace h33
