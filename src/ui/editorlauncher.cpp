#include "ui/editorlauncher.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <string>
#include <vector>

#include "app/editorcommand.h"
#include "methods/dialogs.h"

namespace h33 {

QStringList SplitShellWords(const QString& command) {
  QStringList words;
  for (const std::string& word : h33::SplitShellWords(command.toStdString())) {
    words << QString::fromStdString(word);
  }
  return words;
}

void StartEditor(const QString& path, Dialogs& dialogs) {
  // $VISUAL may hold arguments ("code --wait"): its words as the system's
  // shell would split them, without a shell; the file's path is one argument
  // after them (app/editorcommand.h).
  const QString visual = QProcessEnvironment::systemEnvironment().value("VISUAL");
  const std::vector<std::string> command = EditorCommand(visual.toStdString(), path.toStdString());
  if (command.empty()) {
    dialogs.Message("Текстовый редактор не задан: укажите его в переменной окружения VISUAL.");
    return;
  }
#ifdef Q_OS_WIN
  // CreateProcessW with the words quoted for Windows, never cmd.exe.
  const std::string failure = StartProgram(command);
  if (!failure.empty()) {
    dialogs.Message("Не удается запустить текстовый редактор " + command.front() + ": " + failure);
  }
#else
  QStringList arguments;
  for (std::size_t i = 1; i < command.size(); ++i) arguments << QString::fromStdString(command[i]);
  if (!QProcess::startDetached(QString::fromStdString(command.front()), arguments)) {
    dialogs.Message("Не удается запустить текстовый редактор " + command.front());
  }
#endif
}

}  // namespace h33
