#include "ui/plotwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

#include "format/formatcheck.h"
#include "format/textformat.h"
#include "methods/messages.h"
#include "plot/profilepainter.h"
#include "ui/feedprofileview.h"
#include "ui/programdetails.h"
#include "ui/qtpath.h"
#include "ui/toolpathview.h"
#include "ui/windowplacement.h"

namespace h33 {
namespace {

// Thinning at a sixteenth of a pixel of the fitted view stays invisible
// until the user zooms in sixteen times.
constexpr double kRelativeTolerance = 1.0 / 16384;
constexpr double kClickReach = 3;  // pixels either side of a click on the profile

PictureOptions ViewOptions(FeedUnits units, std::vector<ChangeMarkRequest> marks) {
  PictureOptions options;
  options.units = units;
  options.path.relativeTolerance = kRelativeTolerance;
  options.marks = std::move(marks);
  return options;
}

// The file may have gone or changed since it was drawn: then nothing is named.
std::optional<FrameOnPath> FrameByLine(const ProgramPicture& picture, std::uint32_t line) {
  try {
    return FindFrameByLine(picture, line);
  } catch (const RunError&) {
    return std::nullopt;
  }
}

std::optional<FrameOnPath> FrameByPath(const ProgramPicture& picture, double path) {
  try {
    return FindFrameByPath(picture, path);
  } catch (const RunError&) {
    return std::nullopt;
  }
}

QString FrameLine(const std::optional<FrameOnPath>& frame) {
  if (!frame) return "кадр не найден: файл изменился?";
  return QString("строка %1: %2").arg(frame->line).arg(QString::fromLocal8Bit(frame->text).toHtmlEscaped());
}

}  // namespace

PlotSources PlotSources::ForFile(const QString& file) {
  PlotSources sources;
  sources.program = file;
  if (IsGcodeInput(ToPath(file))) {
    sources.programUnits = FeedUnits::kMmPerMinute;
    try {
      sources.tape = std::make_shared<const ImportedTape>(ImportedTape::ForPicture(ToPath(file)));
    } catch (const RunError& error) {
      sources.importError = QString::fromUtf8(error.what());
    }
  } else if (IsPtpTape(ToPath(file))) {
    sources.programUnits = FeedUnits::kMmPerMinute;
  }
  return sources;
}

PlotWindow::PlotWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("PlotWindow");
  resize(1240, 760);

  planeChoice = new QComboBox(this);
  planeChoice->setObjectName("planeChoice");
  planeChoice->addItems({"XY (G17)", "XZ (G18)", "YZ (G19)"});
  fitButton = new QPushButton("Вписать", this);
  fitButton->setObjectName("fitButton");
  fitButton->setToolTip("Показать всю траекторию и весь график");
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel("Плоскость:", this));
  top->addWidget(planeChoice);
  top->addWidget(fitButton);
  top->addStretch();
  top->addWidget(new QLabel("колесо — масштаб, перетаскивание — сдвиг, щелчок — кадр", this));

  toolpath = new ToolpathView(this);
  profile = new FeedProfileView(this);
  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->addWidget(toolpath);
  splitter->addWidget(profile);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  details = new ProgramDetails(this);
  auto* besides = new QSplitter(Qt::Horizontal, this);
  besides->addWidget(splitter);
  besides->addWidget(details);
  besides->setStretchFactor(0, 1);
  besides->setSizes({880, 360});

  frameLabel = new QLabel(this);
  frameLabel->setObjectName("frameLabel");
  frameLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  frameLabel->setMinimumHeight(20);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(besides, 1);
  layout->addWidget(frameLabel);

  connect(planeChoice, &QComboBox::activated, this,
          [this](int index) { toolpath->SetPlane(static_cast<Plane>(index)); });
  connect(fitButton, &QPushButton::clicked, this, [this] {
    toolpath->ZoomToFit();
    profile->ZoomToFit();
  });
  connect(toolpath, &ToolpathView::FrameHovered, this, [this](std::uint32_t line) {
    frameLabel->setText(line && program_ ? ProgramFrameLine(FrameByLine(*program_, line))
                                         : selectedText_);
  });
  connect(toolpath, &ToolpathView::FrameClicked, this, &PlotWindow::ToolpathClicked);
  connect(profile, &FeedProfileView::PathClicked, this, &PlotWindow::PathClicked);
  connect(details, &ProgramDetails::ChangeClicked, this, &PlotWindow::ChangeClicked);
}

std::optional<ProgramPicture> PlotWindow::Load(const QString& file, FeedUnits units,
                                                std::vector<ChangeMarkRequest> marks,
                                                QString& error) {
  std::string reason;
  try {
    auto picture = LoadProgramPicture(ToPath(file), ViewOptions(units, std::move(marks)), &reason);
    if (picture) return picture;
  } catch (const RunError& failure) {
    reason = failure.what();
  } catch (const OutOfReachError& failure) {
    error = QString::fromStdString(Sprintf(kPictureNotDrawnText, file.toStdString().c_str(), failure.what()));
    return std::nullopt;
  }
  error = QString::fromStdString(
      Sprintf(kCannotOpenForReadingText, file.toStdString().c_str(), reason.c_str()));
  return std::nullopt;
}

bool PlotWindow::Open(const PlotSources& sources) {
  setWindowTitle("Просмотр УП: " + sources.program);
  toolpath->SetPicture(nullptr, Plane::XY);
  profile->SetProfiles(nullptr, nullptr);
  program_.reset();
  input_.reset();
  selectedText_.clear();
  QString error;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::vector<ChangeMarkRequest> marks = details->ShowChanges(sources);
  tape_ = sources.tape;
  const QString drawn = tape_ ? ToQString(tape_->Path()) : sources.program;
  if (sources.importError.isEmpty()) {
    program_ = Load(drawn, sources.programUnits, std::move(marks), error);
  } else {
    error = sources.importError;
  }
  if (program_ && !sources.input.isEmpty()) input_ = Load(sources.input, sources.inputUnits, {}, error);
  details->ShowTime(sources);
  QApplication::restoreOverrideCursor();

  if (program_) {
    planeChoice->setCurrentIndex(static_cast<int>(program_->activePlane));
    toolpath->SetPicture(&*program_, program_->activePlane);
    profile->SetProfiles(&program_->profile, input_ ? &input_->profile : nullptr);
    profile->SetMarks(program_->marks.empty() ? nullptr : &program_->marks);
  }
  selectedText_ = error.isEmpty() ? QString() : "<span style='color:#c00000'>" + error.toHtmlEscaped() + "</span>";
  frameLabel->setText(selectedText_);
  return error.isEmpty();
}

// A frame of the program drawn; of G-code, by the line it was written for.
QString PlotWindow::ProgramFrameLine(const std::optional<FrameOnPath>& frame) const {
  const std::optional<long> gcodeLine = frame && tape_ ? tape_->GcodeLine(frame->line) : std::nullopt;
  if (!gcodeLine) return FrameLine(frame);
  return QString("строка %1 G-кода: %2")
      .arg(*gcodeLine)
      .arg(QString::fromLocal8Bit(frame->text).toHtmlEscaped());
}

void PlotWindow::ToolpathClicked(std::uint32_t line) {
  const auto frame = FrameByLine(*program_, line);
  QString inputText;
  if (frame && input_) {
    inputText = FrameLine(FrameByPath(*input_, (frame->pathStart + frame->pathEnd) / 2));
  }
  Select(frame, inputText);
}

void PlotWindow::ChangeClicked(std::uint32_t outputLine, std::uint32_t inputLine) {
  if (!program_) return;
  Select(FrameByLine(*program_, outputLine),
         input_ ? FrameLine(FrameByLine(*input_, inputLine)) : QString());
}

void PlotWindow::PathClicked(double path) {
  if (!program_) return;
  // A drop within a few pixels is what the user aimed at: the slow frame,
  // not the long one beside it.
  const ProfileScene& scene = profile->Scene();
  const double reach = kClickReach * (scene.to - scene.from) /
                       std::max(1.0, ProfilePlotArea(profile->rect()).width());
  const FeedProfile& programProfile = program_->profile;
  const std::ptrdiff_t under = programProfile.SampleAt(path);
  const std::ptrdiff_t lowest = programProfile.LowestSampleIn(path - reach, path + reach);
  std::optional<FrameOnPath> frame;
  if (lowest >= 0 && programProfile.Samples()[static_cast<std::size_t>(lowest)].low <
                         programProfile.Samples()[static_cast<std::size_t>(under)].low) {
    frame = FrameByLine(*program_, programProfile.Samples()[static_cast<std::size_t>(lowest)].line);
  } else {
    frame = FrameByPath(*program_, path);
  }
  Select(frame, input_ ? FrameLine(FrameByPath(*input_, path)) : QString());
}

void PlotWindow::Select(const std::optional<FrameOnPath>& frame, const QString& inputText) {
  if (!frame) {
    frameLabel->setText(FrameLine(frame));
    return;
  }
  selectedText_ = "Кадр " + ProgramFrameLine(frame);
  if (!inputText.isEmpty()) selectedText_ += "  ←  вход: " + inputText;
  frameLabel->setText(selectedText_);
  toolpath->SelectFrame(frame->line);
  profile->SelectPath(frame->pathStart);
}

PlotWindow* ShowPlotWindow(QPointer<PlotWindow>& window, QWidget* parent,
                            const PlotSources& sources, QWidget* beside) {
  if (!window) {
    window = new PlotWindow(parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (beside) MoveBeside(*window, *beside);
  }
  window->show();
  window->Open(sources);
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace h33
