#pragma once

#include <deque>
#include <iosfwd>
#include <optional>
#include <string>

#include "methods/dialogs.h"

namespace h33 {

// The command line's side of the methods' dialogs: messages are printed
// (errors and warnings to the error stream), and questions are answered from
// what the options said in advance, so a run never waits for a person.
class ConsoleDialogs : public Dialogs {
 public:
  ConsoleDialogs(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  void Message(const std::string& text) override;
  Button Ask(DialogKind kind, const std::string& text,
             std::initializer_list<Button> buttons) override;
  void CaptionedBox(const std::string& text, const std::string& caption) override;
  std::optional<long> AskTapeLengthLimit() override;
  // The names given on the command line, taken as the shell's: from the
  // working directory.
  std::optional<std::string> AskSecondPartName(const std::filesystem::path& splitting) override;

  // Answers to questions with more than one button, in order; a question
  // without one is answered No (or Cancel).
  std::deque<Button> answers;
  std::optional<long> tapeLengthLimit;
  std::deque<std::string> secondPartNames;

 private:
  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace h33
