#pragma once

#include <QString>

class QWidget;

namespace h33 {

// The save dialog of the run command: the output name, or empty when cancelled.
QString AskOutputFileName(QWidget* parent, const QString& lastName);

}  // namespace h33
