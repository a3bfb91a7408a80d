#pragma once

#include <QString>
#include <QStringList>

namespace h33 {

class Dialogs;

// "Блокнот": starts the user's text editor on the file, detached, with the
// path as one argument and no shell in between. The editor is $VISUAL when
// set; otherwise Notepad on Windows and the desktop's default application for
// the file elsewhere. An empty path opens the editor empty where the editor
// allows it.
void StartEditor(const QString& path, Dialogs& dialogs);

// A command line split into words as a POSIX shell splits it, quotes and
// backslashes removed; nothing is expanded.
QStringList SplitShellWords(const QString& command);

}  // namespace h33
