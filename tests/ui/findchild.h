#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

namespace h33 {

// A window's control by its object name, as a user's script would find it:
// the windows keep their controls to themselves. A name that finds nothing
// fails the test at once instead of crashing it later.
template <typename Control>
Control* Find(const QObject& window, const char* name) {
  auto* control = window.findChild<Control*>(QString::fromLatin1(name));
  if (!control) throw std::logic_error(std::string("no control named ") + name);
  return control;
}

}  // namespace h33
