#include "ui/statisticswindow.h"

#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include <string_view>

#include "app/statisticsview.h"
#include "ui/uifont.h"

namespace h33 {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* AddLabel(QWidget* parent, std::string_view text, int left, int top, int width, int height) {
  auto* label = new QLabel(Text(text), parent);
  label->setGeometry(left, top, width, height);
  return label;
}

QLineEdit* AddField(QWidget* parent, const char* name, int left, int top, int width) {
  auto* field = new QLineEdit("0", parent);
  field->setObjectName(name);
  field->setGeometry(left, top, width, 24);
  field->setReadOnly(true);
  return field;
}

}  // namespace

StatisticsWindow::StatisticsWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("StatisticsWindow");
  setWindowTitle("Статистика программы");
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont());
  setFixedSize(289, 513);

  // What the window shows until a run fills it.
  fileDetails = new QPlainTextEdit("Memo1", this);
  fileDetails->setObjectName("fileDetails");
  fileDetails->setGeometry(0, 0, 289, 81);
  fileDetails->setFont(WindowFont(11));
  fileDetails->setReadOnly(true);

  AddLabel(this, kTimeCaption, 0, 96, 192, 16);
  runMinutes = AddField(this, "runMinutes", 200, 88, 89);
  AddLabel(this, kDistanceCaption, 40, 128, 155, 16);
  pathLength = AddField(this, "pathLength", 200, 120, 89);
  AddLabel(this, kFramesCaption, 96, 160, 100, 16);
  frameCount = AddField(this, "frameCount", 200, 152, 89);

  auto* feeds = new QGroupBox(Text(kFeedGroupCaption), this);
  feeds->setGeometry(0, 184, 289, 65);
  AddLabel(feeds, kMinFeedCaption, 8, 16, 88, 16);
  lowestFeed = AddField(feeds, "lowestFeed", 32, 32, 73);
  AddLabel(feeds, kMaxFeedCaption, 128, 16, 86, 16);
  highestFeed = AddField(feeds, "highestFeed", 192, 32, 73);

  auto* moves = new QGroupBox(Text(kMovesGroupCaption), this);
  moves->setGeometry(0, 256, 289, 57);
  AddLabel(moves, kLinearCaption, 8, 16, 72, 16);
  linearMoves = AddField(moves, "linearMoves", 80, 24, 65);
  AddLabel(moves, kCircularCaption, 152, 16, 55, 16);
  circularMoves = AddField(moves, "circularMoves", 216, 24, 65);

  extentsTable = new QTableWidget(4, 4, this);
  extentsTable->setObjectName("extentsTable");
  extentsTable->setGeometry(0, 328, 289, 105);
  extentsTable->horizontalHeader()->hide();
  extentsTable->verticalHeader()->hide();
  extentsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  extentsTable->setSelectionMode(QAbstractItemView::ContiguousSelection);
  extentsTable->setShowGrid(true);
  for (int column = 0; column < 4; ++column) extentsTable->setColumnWidth(column, 70);
  for (int row = 0; row < 4; ++row) extentsTable->setRowHeight(row, 24);

  auto* caption = new QLabel(Text(kTypeCaption), this);
  caption->setGeometry(0, 440, 125, 20);
  caption->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  programType = AddLabel(this, "Type", 136, 440, 37, 16);
  programType->setObjectName("programType");
  QFont typeFont = WindowFont(13, true);
  typeFont.setUnderline(true);
  programType->setFont(typeFont);
  programType->setStyleSheet("color: #ff0000");

  auto* line = new QFrame(this);
  line->setGeometry(0, 464, 289, 9);
  line->setFrameStyle(QFrame::HLine | QFrame::Raised);

  auto* ok = new QPushButton("Ok", this);
  ok->setObjectName("okButton");
  ok->setGeometry(96, 480, 97, 33);
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);

  // Left of "Ok", in the bottom row's free space.
  viewButton = new QPushButton("Вид", this);
  viewButton->setObjectName("viewButton");
  viewButton->setGeometry(8, 480, 81, 33);
  viewButton->setToolTip("Траектория и график подач программы");
  viewButton->setEnabled(false);
  connect(viewButton, &QPushButton::clicked, this, &StatisticsWindow::ViewProgram);
}

void StatisticsWindow::SetPlotSources(const PlotSources& sources) {
  plotSources_ = sources;
  viewButton->setEnabled(!sources.program.isEmpty());
}

void StatisticsWindow::ViewProgram() {
  if (plotSources_.program.isEmpty()) return;
  // Beside the statistics, which stay on top of it.
  ShowPlotWindow(plotWindow_, this, plotSources_, this);
}

}  // namespace h33
