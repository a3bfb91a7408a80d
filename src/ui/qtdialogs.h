#pragma once

#include "methods/dialogs.h"

class QWidget;

namespace h33 {

class TapeLengthDialog;
class SecondPartNameDialog;

// Message boxes and the two split dialogs as real modal windows.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : parent_(parent) {}

  // The window every box belongs to, so that it stays on top of that window
  // and a click on the window cannot hide it: the main window, made after
  // this object, since it talks through it.
  void SetParent(QWidget* parent) { parent_ = parent; }

  // The split dialogs exist from start-up on; they complain through this object.
  void SetSplitDialogs(TapeLengthDialog* tapeLength, SecondPartNameDialog* secondPartName) {
    tapeLengthDialog_ = tapeLength;
    secondPartNameDialog_ = secondPartName;
  }

  void Message(const std::string& text) override;
  Button Ask(DialogKind kind, const std::string& text,
             std::initializer_list<Button> buttons) override;
  Button AskBeforeDestroying(const std::string& text) override;
  void CaptionedBox(const std::string& text, const std::string& caption) override;
  std::optional<long> AskTapeLengthLimit() override;
  std::optional<std::string> AskSecondPartName(const std::filesystem::path& splitting) override;

 private:
  QWidget* parent_;
  TapeLengthDialog* tapeLengthDialog_ = nullptr;
  SecondPartNameDialog* secondPartNameDialog_ = nullptr;
};

}  // namespace h33
