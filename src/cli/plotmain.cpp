#include <QGuiApplication>

#include <iostream>
#include <string>
#include <vector>

#include "cli/plotcommand.h"
#include "format/scratchfiles.h"

namespace {

QtMessageHandler qtDefaultHandler = nullptr;

// The offscreen platform needs no runtime directory; Qt's note that it
// falls back to its own would only mix with the command's messages.
void QuietAboutRuntimeDirectory(QtMsgType type, const QMessageLogContext& context,
                                const QString& message) {
  if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR")) return;
  qtDefaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
  qtDefaultHandler = qInstallMessageHandler(QuietAboutRuntimeDirectory);
  h33::ScratchFiles::RemoveOnSignals();
  // Pictures are painted without a display: the offscreen platform renders
  // all the same, fonts included. A platform the user chose stands.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  return h33::RunH33Plot(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
