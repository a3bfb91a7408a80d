#include "ui/programdetails.h"

#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/changemarkof.h"
#include "app/correctiondiffview.h"
#include "app/timebreakdownview.h"
#include "methods/correctiondiff.h"
#include "methods/timebreakdown.h"
#include "ui/qtpath.h"

namespace h33 {
namespace {

// More rows than anyone reads; the marks go on to their own limit.
constexpr int kMostListed = 20000;
constexpr int kLineRole = Qt::UserRole;
constexpr int kInputLineRole = Qt::UserRole + 1;

QString Text(const std::string& text) { return QString::fromStdString(text); }

QWidget* Tab(QWidget* parent, QWidget* top, QWidget* body) {
  auto* tab = new QWidget(parent);
  auto* layout = new QVBoxLayout(tab);
  layout->addWidget(top);
  layout->addWidget(body, 1);
  return tab;
}

QLabel* WrappedLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

// A column per tool, which a narrow panel has room for: the rows' first
// cells head the columns, the header's other cells the rows.
void FillTransposed(QTableWidget& table, const std::vector<std::vector<std::string>>& rows) {
  table.clear();
  if (rows.empty()) return;
  const std::vector<std::string>& header = rows.front();
  table.setRowCount(static_cast<int>(header.size()) - 1);
  table.setColumnCount(static_cast<int>(rows.size()) - 1);
  for (std::size_t row = 1; row < header.size(); ++row) {
    table.setVerticalHeaderItem(static_cast<int>(row) - 1, new QTableWidgetItem(Text(header[row])));
  }
  for (std::size_t column = 1; column < rows.size(); ++column) {
    const std::vector<std::string>& cells = rows[column];
    table.setHorizontalHeaderItem(static_cast<int>(column) - 1, new QTableWidgetItem(Text(cells.front())));
    for (std::size_t row = 1; row < cells.size(); ++row) {
      auto* item = new QTableWidgetItem(Text(cells[row]));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table.setItem(static_cast<int>(row) - 1, static_cast<int>(column) - 1, item);
    }
  }
  table.resizeColumnsToContents();
}

}  // namespace

ProgramDetails::ProgramDetails(QWidget* parent) : QTabWidget(parent) {
  setObjectName("programDetails");
  timeCaption = WrappedLabel(this);
  timeCaption->setObjectName("timeCaption");
  timeTable = new QTableWidget(this);
  timeTable->setObjectName("timeTable");
  timeTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  addTab(Tab(this, timeCaption, timeTable), "Время");

  changesSummary = WrappedLabel(this);
  changesSummary->setObjectName("changesSummary");
  changesList = new QListWidget(this);
  changesList->setObjectName("changesList");
  changesList->setWordWrap(true);
  changesList->setAlternatingRowColors(true);
  changesTab_ = Tab(this, changesSummary, changesList);
  addTab(changesTab_, "Изменения");
  connect(changesList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    emit ChangeClicked(item->data(kLineRole).toUInt(), item->data(kInputLineRole).toUInt());
  });
}

void ProgramDetails::ShowTime(const PlotSources& sources) {
  timeTable->clear();
  timeTable->setRowCount(0);
  timeTable->setColumnCount(0);
  if (sources.programUnits != FeedUnits::kFeedCode) {
    timeCaption->setText("Время по частям считается только для программ H33.");
    return;
  }
  const MachineLimits& machine = sources.machine;
  const TimeBreakdownCount count =
      CountTimeBreakdown(ToPath(sources.program), machine.acceleration_mm_s2, machine.feedMax_mm_min);
  if (count.time.status != TimeCountStatus::kCounted) {
    timeCaption->setText("Время не посчитано: " + Text(count.time.reason));
    return;
  }
  const std::string decimalPoint = QString(QLocale().decimalPoint()).toStdString();
  const ShownTimeBreakdown shown = ShowTimeBreakdown(count.breakdown);
  FillTransposed(*timeTable, TimeBreakdownTable(shown, decimalPoint));
  QString caption = QString("Время по инструментам и видам движения при ускорении %1 мм/с²; "
                            "холостые ходы — на подаче %2 мм/мин и выше.")
                        .arg(machine.acceleration_mm_s2)
                        .arg(machine.feedMax_mm_min);
  const std::string untimed = UntimedMovesText(shown, decimalPoint);
  if (!untimed.empty()) caption += "\n" + Text(untimed);
  timeCaption->setText(caption);
}

std::vector<ChangeMarkRequest> ProgramDetails::ShowChanges(const PlotSources& sources) {
  changesList->clear();
  changesSummary->clear();
  std::vector<ChangeMarkRequest> marks;
  const bool compared = !sources.input.isEmpty() && sources.inputUnits == FeedUnits::kFeedCode &&
                        sources.programUnits == FeedUnits::kFeedCode;
  setTabVisible(indexOf(changesTab_), compared);
  if (!compared) return marks;
  long listed = 0;
  const CorrectionDiff diff =
      CompareCorrection(ToPath(sources.input), ToPath(sources.program), [&](const FrameChange& change) {
        const auto mark = ChangeMarkOf(change);
        if (mark && marks.size() < ChangeMarkPlacer::kMostMarks) marks.push_back(*mark);
        if (++listed > kMostListed) return;
        const FrameChangeRow row = DescribeFrameChange(change);
        auto* item = new QListWidgetItem(Text("вход " + row.inputPlace + ", выход " + row.outputPlace +
                                              ":\n" + row.what + "\n" + row.text));
        item->setData(kLineRole, static_cast<uint>(change.outputLine));
        item->setData(kInputLineRole, static_cast<uint>(change.inputLine));
        changesList->addItem(item);
      });
  QString summary = diff.status == DiffStatus::kCannotOpen || diff.status == DiffStatus::kFailed
                        ? Text(diff.reason)
                        : Text(CorrectionDiffSummary(diff)).trimmed();
  if (listed > kMostListed) summary += QString("\nПоказаны первые %1 изменений.").arg(kMostListed);
  changesSummary->setText(summary);
  return marks;
}

}  // namespace h33
