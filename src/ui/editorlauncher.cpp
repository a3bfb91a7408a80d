#include "ui/editorlauncher.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include "methods/dialogs.h"

namespace h33 {

QStringList SplitShellWords(const QString& command) {
  QStringList words;
  QString word;
  bool inWord = false;
  QChar quote;  // '\'' or '"' while inside quotes
  for (qsizetype i = 0; i < command.size(); ++i) {
    const QChar c = command[i];
    if (quote == '\'') {
      if (c == '\'') quote = QChar();
      else word += c;
    } else if (quote == '"') {
      // Inside double quotes a backslash escapes only these.
      if (c == '\\' && i + 1 < command.size() && QString("\"\\$`").contains(command[i + 1])) {
        word += command[++i];
      } else if (c == '"') {
        quote = QChar();
      } else {
        word += c;
      }
    } else if (c.isSpace()) {
      if (inWord) words << word;
      word.clear();
      inWord = false;
    } else {
      inWord = true;
      if (c == '\'' || c == '"') {
        quote = c;
      } else if (c == '\\' && i + 1 < command.size()) {
        word += command[++i];
      } else {
        word += c;
      }
    }
  }
  if (inWord) words << word;
  return words;
}

void StartEditor(const QString& path, Dialogs& dialogs) {
  // $VISUAL may hold arguments ("code --wait"): its words as a shell would
  // split them, without a shell; the file's path is one argument after them.
  QStringList arguments = SplitShellWords(QProcessEnvironment::systemEnvironment().value("VISUAL"));
  QString editor = arguments.isEmpty() ? QString() : arguments.takeFirst();
  if (!path.isEmpty()) arguments << path;
#ifdef Q_OS_WIN
  if (editor.isEmpty()) editor = "notepad";
#else
  if (editor.isEmpty() && !path.isEmpty()) editor = "xdg-open";
#endif
  if (editor.isEmpty()) {
    dialogs.Message("Текстовый редактор не задан: укажите его в переменной окружения VISUAL.");
    return;
  }
  if (!QProcess::startDetached(editor, arguments)) {
    dialogs.Message("Не удается запустить текстовый редактор " + editor.toStdString());
  }
}

}  // namespace h33
