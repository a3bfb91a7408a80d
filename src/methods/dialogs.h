#pragma once

#include <initializer_list>
#include <filesystem>
#include <optional>
#include <string>

namespace h33 {

enum class Button { Ok, Yes, No, Cancel };

enum class DialogKind { Error, Information, Warning, Confirmation };

// Everything a method says to or asks of the user goes through this
// interface: the window shows real boxes, the command line prints and answers
// from its options, tests script the answers.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Plain message: the text, an OK button, the application's title.
  virtual void Message(const std::string& text) = 0;

  // The toolkit's standard box of the given kind with the listed buttons.
  // Returns the button pressed; closing the box counts as Cancel.
  virtual Button Ask(DialogKind kind, const std::string& text,
                     std::initializer_list<Button> buttons) = 0;

  // An error box asking Yes or No before something is destroyed for good.
  // Only a deliberate Yes destroys: where a key answers by itself (Enter in
  // a window), it answers No. Without such a key it is a plain question.
  virtual Button AskBeforeDestroying(const std::string& text) {
    return Ask(DialogKind::Error, text, {Button::Yes, Button::No});
  }

  // System message box with its own caption, an OK button and no icon.
  virtual void CaptionedBox(const std::string& text, const std::string& caption) = 0;

  // Tape length dialog: the entered maximum tape size less 200 bytes, or
  // nothing when it was not closed with OK.
  virtual std::optional<long> AskTapeLengthLimit() = 0;

  // Second-part name dialog: the name typed, or nothing when it was not
  // closed with OK. `splitting` is the file being cut: the window takes a
  // bare name as one in its folder, where the user looks at the tapes.
  virtual std::optional<std::string> AskSecondPartName(const std::filesystem::path& splitting) = 0;
};

}  // namespace h33
