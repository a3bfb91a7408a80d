#pragma once

#include <exception>

#include "methods/dialogs.h"

namespace h33 {

// A file that fails part way through a read (cut short by another program,
// a share gone away) throws. Out of a slot that would end the application,
// and with it whatever else the user had open: the action ends with an error
// box instead.
template <typename Action>
void RunGuarded(Dialogs& dialogs, const Action& action) {
  try {
    action();
  } catch (const std::exception& error) {
    dialogs.Ask(DialogKind::Error, error.what(), {Button::Ok});
  }
}

}  // namespace h33
