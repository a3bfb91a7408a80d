#include <QGuiApplication>

#include <iostream>
#include <string>
#include <vector>

#include "cli/plotcommand.h"
#include "format/scratchfiles.h"

int main(int argc, char** argv) {
  h33::ScratchFiles::RemoveOnSignals();
  // Pictures are painted without a display: the offscreen platform renders
  // all the same, fonts included. A platform the user chose stands.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  return h33::RunH33Plot(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
