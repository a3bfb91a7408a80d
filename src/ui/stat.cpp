#include "ui/stat.h"

#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "ui/uifont.h"

namespace h33 {
namespace {

QLabel* AddLabel(QWidget* parent, const char* text, int left, int top, int width, int height) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
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

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setObjectName("Form2");
  setWindowTitle("Статистика программы");
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont());
  setFixedSize(289, 513);

  FileInfo = new QPlainTextEdit("Memo1", this);
  FileInfo->setObjectName("FileInfo");
  FileInfo->setGeometry(0, 0, 289, 81);
  FileInfo->setFont(WindowFont(11));
  FileInfo->setReadOnly(true);

  AddLabel(this, "Время выполнения УП (мин) =", 0, 96, 192, 16);
  Time = AddField(this, "Time", 200, 88, 89);
  AddLabel(this, "Пройденный путь (мм) =", 40, 128, 155, 16);
  Dist = AddField(this, "Dist", 200, 120, 89);
  AddLabel(this, "Число кадров =", 96, 160, 100, 16);
  NumKadrs = AddField(this, "NumKadrs", 200, 152, 89);

  auto* feeds = new QGroupBox("Скорость движения инструмента", this);
  feeds->setGeometry(0, 184, 289, 65);
  AddLabel(feeds, "Min подача   =", 8, 16, 88, 16);
  Minfeed = AddField(feeds, "Minfeed", 32, 32, 73);
  AddLabel(feeds, "Max подача =", 128, 16, 86, 16);
  Maxfeed = AddField(feeds, "Maxfeed", 192, 32, 73);

  auto* moves = new QGroupBox("Число перемещений", this);
  moves->setGeometry(0, 256, 289, 57);
  AddLabel(moves, "линейных : ", 8, 16, 72, 16);
  NumLine = AddField(moves, "NumLine", 80, 24, 65);
  AddLabel(moves, "по дуге :", 152, 16, 55, 16);
  NumCircle = AddField(moves, "NumCircle", 216, 24, 65);

  StringGrid1 = new QTableWidget(4, 4, this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setGeometry(0, 328, 289, 105);
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
  StringGrid1->setShowGrid(true);
  for (int column = 0; column < 4; ++column) StringGrid1->setColumnWidth(column, 70);
  for (int row = 0; row < 4; ++row) StringGrid1->setRowHeight(row, 24);

  auto* caption = new QLabel("Формат (Тип  УП) : ", this);
  caption->setGeometry(0, 440, 125, 20);
  caption->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Type = AddLabel(this, "Type", 136, 440, 37, 16);
  Type->setObjectName("Type");
  QFont typeFont = WindowFont(13, true);
  typeFont.setUnderline(true);
  Type->setFont(typeFont);
  Type->setStyleSheet("color: #ff0000");

  auto* line = new QFrame(this);
  line->setGeometry(0, 464, 289, 9);
  line->setFrameStyle(QFrame::HLine | QFrame::Raised);

  auto* ok = new QPushButton("Ok", this);
  ok->setObjectName("Button1");
  ok->setGeometry(96, 480, 97, 33);
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &TForm2::Button1Click);

  // Left of "Ok", in the bottom row's free space.
  ButtonView = new QPushButton("Вид", this);
  ButtonView->setObjectName("ButtonView");
  ButtonView->setGeometry(8, 480, 81, 33);
  ButtonView->setToolTip("Траектория и график подач программы");
  ButtonView->setEnabled(false);
  connect(ButtonView, &QPushButton::clicked, this, &TForm2::ButtonViewClick);
}

void TForm2::Button1Click() { hide(); }

void TForm2::SetPlotSources(const PlotSources& sources) {
  plotSources_ = sources;
  ButtonView->setEnabled(!sources.program.isEmpty());
}

void TForm2::ButtonViewClick() {
  if (plotSources_.program.isEmpty()) return;
  ShowPlotWindow(plotWindow_, this, plotSources_);
}

}  // namespace h33
