#pragma once

#include <QString>

class QWidget;

namespace h33 {

// The save dialog of the run command: the output name, or empty when cancelled.
// The system's save dialog, opened on `start`: a file's name, or a folder
// ending in '/'. Empty when cancelled.
QString AskOutputFileName(QWidget* parent, const QString& start);

}  // namespace h33
