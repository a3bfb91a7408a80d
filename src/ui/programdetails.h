#pragma once

#include <QTabWidget>

#include <cstdint>
#include <vector>

#include "picture/changemarks.h"
#include "ui/plotwindow.h"

class QLabel;
class QListWidget;
class QTableWidget;

namespace h33 {

// Beside the pictures of a program: its time by tool and kind of move, and
// after a correction what it changed, frame by frame.
class ProgramDetails : public QTabWidget {
  Q_OBJECT

 public:
  explicit ProgramDetails(QWidget* parent = nullptr);

  // Counts the program's time for the sources' machine; an H33 program only.
  void ShowTime(const PlotSources& sources);
  // Lists what the correction of the input changed, when the sources are two
  // H33 programs, and returns the marks for the program's pictures.
  std::vector<ChangeMarkRequest> ShowChanges(const PlotSources& sources);

  QLabel* timeCaption;
  QTableWidget* timeTable;
  QLabel* changesSummary;
  QListWidget* changesList;

 signals:
  // Lines in the program and in the input; for a frame one of them has not,
  // the line it follows there.
  void ChangeClicked(std::uint32_t programLine, std::uint32_t inputLine);

 private:
  QWidget* changesTab_;
};

}  // namespace h33
