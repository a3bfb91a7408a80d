#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/gcodetape.h"
#include "app/machines.h"
#include "picture/programpicture.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace h33 {

class FeedProfileView;
class ProgramDetails;
class ToolpathView;

// The files a view window shows: a program and, after an Up->up or Ptp->up
// run, the run's input for the profile's compare mode and, when both are H33
// programs, the list of what the correction changed.
struct PlotSources {
  QString program;
  FeedUnits programUnits = FeedUnits::kFeedCode;
  QString input;  // empty: no compare mode
  FeedUnits inputUnits = FeedUnits::kFeedCode;
  // The machine the time breakdown of an H33 program is counted for.
  MachineLimits machine = kMachinePresets[kDefaultMachineIndex].limits;
  // A G-code program is drawn from its tape, kept while the view is open;
  // why it could not be imported, else empty.
  std::shared_ptr<const ImportedTape> tape{};
  QString importError{};

  // A file picked in the file list: a *.ptp tape has its feeds in mm/min, a
  // G-code program is drawn as its tape.
  static PlotSources ForFile(const QString& file);
};

// The toolpath above the feed profile, with the plane to project on and the
// frame under the pointer or last clicked, named by its line and text. Beside
// them the program's time by tool and kind of move and, after a correction,
// its changes, marked on both pictures; a change clicked selects its frame.
class PlotWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PlotWindow(QWidget* parent = nullptr);

  // Reads the files; when one cannot be read, says why in place of the
  // frame line and shows what it could read. Returns whether all was read.
  bool Open(const PlotSources& sources);

  QComboBox* planeChoice;
  QPushButton* fitButton;
  ToolpathView* toolpath;
  FeedProfileView* profile;
  QLabel* frameLabel;
  ProgramDetails* details;

 private:
  std::optional<ProgramPicture> Load(const QString& file, FeedUnits units,
                                     std::vector<ChangeMarkRequest> marks, QString& error);
  void ChangeClicked(std::uint32_t outputLine, std::uint32_t inputLine);
  void ToolpathClicked(std::uint32_t line);
  void PathClicked(double path);
  void Select(const std::optional<FrameOnPath>& frame, const QString& inputText);
  QString ProgramFrameLine(const std::optional<FrameOnPath>& frame) const;

  std::shared_ptr<const ImportedTape> tape_;  // what program_ is drawn from, for G-code
  std::optional<ProgramPicture> program_;
  std::optional<ProgramPicture> input_;
  QString selectedText_;
};

// Shows the window kept in `window`, made first when there is none, then
// beside `beside` when that is given; it closes for good, freeing its
// pictures, when the user closes it.
PlotWindow* ShowPlotWindow(QPointer<PlotWindow>& window, QWidget* parent,
                            const PlotSources& sources, QWidget* beside = nullptr);

}  // namespace h33
