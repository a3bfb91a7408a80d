#include "ui/editorlauncher.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include "methods/dialogs.h"

namespace h33 {

void StartEditor(const QString& path, Dialogs& dialogs) {
  const QStringList arguments = path.isEmpty() ? QStringList() : QStringList{path};
  QString editor = QProcessEnvironment::systemEnvironment().value("VISUAL");
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
