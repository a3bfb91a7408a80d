#include "ui/main.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>

#include <clocale>
#include <filesystem>

#include "app/machines.h"
#include "format/bytesource.h"
#include "format/formatcheck.h"
#include "format/textformat.h"
#include "methods/dialogs.h"
#include "ui/aboutwindow.h"
#include "ui/actionguard.h"
#include "ui/editorlauncher.h"
#include "ui/plotwindow.h"
#include "ui/qtpath.h"
#include "ui/runcommand.h"
#include "ui/statisticswindow.h"
#include "ui/uifont.h"

namespace h33 {
namespace {

struct FileFilter {
  const char* caption;
  const char* shownMask;
  const char* mask;
};

// "*.*" matches every file on Windows; elsewhere the same choice needs "*".
const FileFilter kFileFilters[] = {
    {"Up files (*.up)", "*.up", "*.up"},
    {"Ptp files (*.ptp)", "*.ptp", "*.ptp"},
    {"All files (*.*)", "*.*", "*"},
};

// Fallbacks of the parameter fields when they read as 0.
constexpr int kSpeedLimitFallback = 20;
constexpr int kFeedMaxFallback = 240;
constexpr int kAccelerationFallback = 5;

QLabel* AddLabel(QWidget* parent, const char* text, QRect bounds) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(bounds);
  return label;
}

QLineEdit* AddField(QWidget* parent, const char* name, QRect bounds) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setGeometry(bounds);
  return field;
}

void Normalise(QLineEdit* field, int fallback) {
  long long value = ReadParameterField(field->text().toStdString());
  if (value < 0) value = -value;
  if (value == 0) value = fallback;
  const QString text = QString::number(value);
  if (field->text() != text) field->setText(text);
}

bool IsUserVolume(const QStorageInfo& volume) {
  if (!volume.isValid() || !volume.isReady()) return false;
  for (const char* system : {"/proc", "/sys", "/dev", "/run"}) {
    if (volume.rootPath().startsWith(system)) return false;
  }
  return true;
}

// A right click below the files only opens the popup: the list would take
// it for a click into nothing and drop the file the popup is meant for.
class FileList : public QListWidget {
 public:
  using QListWidget::QListWidget;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::RightButton && !indexAt(event->position().toPoint()).isValid()) return;
    QListWidget::mousePressEvent(event);
  }
};

}  // namespace

void KeepNumbersInCLocale() { std::setlocale(LC_NUMERIC, "C"); }


TMainDialog::TMainDialog(Dialogs& dialogs, const QString& startDirectory, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
  setObjectName("MainDialog");
  setWindowTitle("Корректировка подач для H33 (Velta) .....");
  setFont(WindowFont());
  setFixedSize(1005, 357);
  move(333, 357);
  saveDialog = [this](const QString& lastName) { return AskOutputFileName(this, lastName); };
  startEditor = [this](const QString& path) { StartEditor(path, dialogs_); };

  BuildFilePane();
  BuildMethodPane();
  SetDirectory(QDir(startDirectory).absolutePath());

  Timer1 = new QTimer(this);
  Timer1->setInterval(10000);
  connect(Timer1, &QTimer::timeout, this, &TMainDialog::Timer1Timer);
  Timer1->start();
  FormCreate();
  ButtonExit->setFocus();
}

void TMainDialog::BuildFilePane() {
  DriveComboBox1 = new QComboBox(this);
  DriveComboBox1->setObjectName("DriveComboBox1");
  DriveComboBox1->setGeometry(0, 0, 249, 22);

  directoryModel_ = new QFileSystemModel(this);
  directoryModel_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
  DirectoryListBox1 = new QTreeView(this);
  DirectoryListBox1->setObjectName("DirectoryListBox1");
  DirectoryListBox1->setGeometry(0, 32, 249, 321);
  DirectoryListBox1->setModel(directoryModel_);
  DirectoryListBox1->setHeaderHidden(true);
  for (int column = 1; column < directoryModel_->columnCount(); ++column) {
    DirectoryListBox1->hideColumn(column);
  }

  FilterComboBox1 = new QComboBox(this);
  FilterComboBox1->setObjectName("FilterComboBox1");
  FilterComboBox1->setGeometry(256, 0, 233, 24);
  for (const FileFilter& filter : kFileFilters) FilterComboBox1->addItem(filter.caption);

  FileListBox1 = new FileList(this);
  FileListBox1->setObjectName("FileListBox1");
  FileListBox1->setGeometry(256, 32, 233, 289);
  FileListBox1->setContextMenuPolicy(Qt::CustomContextMenu);

  EditFile = new QLineEdit("*.up", this);
  EditFile->setObjectName("EditFile");
  EditFile->setGeometry(256, 328, 233, 24);

  PopupMenu1 = new QMenu(this);
  connect(PopupMenu1->addAction("Блокнот"), &QAction::triggered, this, &TMainDialog::N0noteClick);
  connect(PopupMenu1->addAction("Проверка УП на формат H33"), &QAction::triggered, this,
          &TMainDialog::N2proverkaClick);
  connect(PopupMenu1->addAction("Обновить"), &QAction::triggered, this, &TMainDialog::N3newClick);
  connect(PopupMenu1->addAction("Удалить файл"), &QAction::triggered, this,
          &TMainDialog::N4deleteClick);
  connect(PopupMenu1->addAction("Просмотр"), &QAction::triggered, this, &TMainDialog::N5viewClick);
  connect(FileListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    PopupMenu1->popup(FileListBox1->viewport()->mapToGlobal(at));
  });

  masks_ = QStringList{kFileFilters[0].mask};
  LoadDrives();
  connect(DriveComboBox1, &QComboBox::activated, this, &TMainDialog::DriveComboBox1Change);
  connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TMainDialog::DirectoryListBox1Change);
  connect(FilterComboBox1, &QComboBox::currentIndexChanged, this,
          &TMainDialog::FilterComboBox1Change);
  // The current row is no choice of the user's: the list moves it to the
  // first file whenever it takes the focus, a popup closing included.
  connect(FileListBox1, &QListWidget::itemSelectionChanged, this, &TMainDialog::FileListBox1Change);
}

void TMainDialog::BuildMethodPane() {
  auto* help = AddLabel(this, "Инструкция по применению....->", {504, 8, 237, 16});
  QFont helpFont = WindowFont(13, true);
  helpFont.setUnderline(true);
  help->setFont(helpFont);
  help->setStyleSheet("color: #ff0000");
  AddLabel(this, "появились затруднения или вопросы ->", {512, 24, 238, 13})
      ->setFont(WindowFont(11, true));

  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_MessageBoxQuestion), "Помошь ?", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setGeometry(752, 0, 113, 41);
  BitBtn1->setFont(WindowFont(13, true));
  connect(BitBtn1, &QPushButton::clicked, this, &TMainDialog::BitBtn1Click);

  ButtonExit = new QPushButton("Выход", this);
  ButtonExit->setObjectName("ButtonExit");
  ButtonExit->setGeometry(928, 0, 73, 41);
  connect(ButtonExit, &QPushButton::clicked, this, &TMainDialog::ButtonExitClick);

  // The tab strip only enables and disables: its controls show under every tab.
  auto* tabStrip = new QFrame(this);
  tabStrip->setObjectName("TabControlMain");
  tabStrip->setGeometry(496, 48, 505, 305);
  tabStrip->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  TabControlMain = new QTabBar(tabStrip);
  TabControlMain->setFont(WindowFont(11, true));
  TabControlMain->setExpanding(false);
  TabControlMain->addTab("Преобразование: Ptp - > up");
  TabControlMain->addTab("Корректировка: Up -> Up");
  TabControlMain->addTab("Время выполнения УП");
  TabControlMain->setGeometry(0, 0, 505, 26);

  auto* machineCaption = AddLabel(tabStrip, "Выберите оборудование ...", {184, 40, 202, 16});
  machineCaption->setFont(WindowFont(13, true));
  machineCaption->setStyleSheet("color: #000080");
  machineCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  ComboBoxMachine = new QComboBox(tabStrip);
  ComboBoxMachine->setObjectName("ComboBoxMachine");
  ComboBoxMachine->setGeometry(392, 32, 97, 24);
  for (const MachinePreset& preset : kMachinePresets) {
    ComboBoxMachine->addItem(QString::fromUtf8(preset.name.data(), preset.name.size()));
  }

  auto* group = new QGroupBox("Параметры расчета .....", tabStrip);
  group->setGeometry(8, 64, 489, 225);
  const auto rightAligned = [group](const char* text, QRect bounds) {
    AddLabel(group, text, bounds)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  };
  rightAligned("Максимальная подача при полном реверсе (мм/мин) =", {48, 24, 352, 16});
  rightAligned("Максимально допустимая подача холостого хода (мм/мин) =", {12, 56, 391, 16});
  rightAligned("Ускорение (мм/ (сек*сек)) =", {227, 80, 174, 16});
  auto* bevel = new QFrame(group);
  bevel->setGeometry(8, 112, 473, 9);
  bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);

  RadioGroupSeq = new QGroupBox("Нумерация кадров....", group);
  RadioGroupSeq->setObjectName("RadioGroupSeq");
  RadioGroupSeq->setGeometry(8, 120, 353, 49);
  SeqH33 = new QRadioButton("Н33 (max 999)", RadioGroupSeq);
  SeqH33->setGeometry(8, 20, 168, 20);
  SeqFree = new QRadioButton("свободная (max 30000)", RadioGroupSeq);
  SeqFree->setGeometry(180, 20, 168, 20);
  SeqH33->setChecked(true);

  CheckCircleSlowdn = new QCheckBox("Восстанавливать скорость после круг. интерполяции", group);
  CheckCircleSlowdn->setObjectName("CheckCircleSlowdn");
  CheckCircleSlowdn->setGeometry(8, 176, 377, 17);
  CheckBoxStat = new QCheckBox("Выводить окно статистики ...", group);
  CheckBoxStat->setObjectName("CheckBoxStat");
  CheckBoxStat->setGeometry(8, 200, 185, 17);
  CheckBoxStat->setFont(WindowFont(11));

  SpeedLimitField = AddField(this, "SpeedLimitField", {912, 128, 57, 24});
  FeedMaxField = AddField(this, "FeedMaxField", {912, 160, 57, 24});
  AField = AddField(this, "AField", {912, 192, 57, 24});
  SpeedLimitField->setText("50");
  FeedMaxField->setText("900");
  AField->setText("5");

  BitBtnCorrectH33 = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), "Запуск...", this);
  BitBtnCorrectH33->setObjectName("BitBtnCorrectH33");
  BitBtnCorrectH33->setGeometry(888, 304, 105, 33);
  BitBtnCorrectH33->setFont(WindowFont(13, true));

  connect(ComboBoxMachine, &QComboBox::activated, this, &TMainDialog::ComboBoxMachineChange);
  connect(TabControlMain, &QTabBar::currentChanged, this, &TMainDialog::TabControlMainChange);
  connect(SpeedLimitField, &QLineEdit::textChanged, this, &TMainDialog::SpeedLimitFieldChange);
  connect(FeedMaxField, &QLineEdit::textChanged, this, &TMainDialog::FeedMaxFieldChange);
  connect(AField, &QLineEdit::textChanged, this, &TMainDialog::AFieldChange);
  connect(BitBtnCorrectH33, &QPushButton::clicked, this, &TMainDialog::BitBtnCorrectH33Click);
}

void TMainDialog::FormCreate() {
  ComboBoxMachine->setCurrentIndex(kDefaultMachineIndex);
  ComboBoxMachineChange(kDefaultMachineIndex);
  TabControlMain->setCurrentIndex(0);
  TabControlMainChange(0);
}

void TMainDialog::ComboBoxMachineChange(int index) {
  const MachinePreset& preset =
      kMachinePresets[index > 0 && index < static_cast<int>(kMachinePresets.size()) ? index : 0];
  SpeedLimitField->setText(QString::number(preset.speedLimit));
  FeedMaxField->setText(QString::number(preset.feedMax));
  AField->setText(QString::number(preset.acceleration));
  (preset.freeNumbering ? SeqFree : SeqH33)->setChecked(true);
  CheckCircleSlowdn->setChecked(preset.restoreAfterArc);
}

void TMainDialog::TabControlMainChange(int index) {
  const bool feeds = index == 0 || index == 1;
  const bool conversion = index == 0;
  SpeedLimitField->setEnabled(feeds);
  FeedMaxField->setEnabled(feeds);
  RadioGroupSeq->setEnabled(conversion);
  CheckCircleSlowdn->setEnabled(conversion);
}

void TMainDialog::SpeedLimitFieldChange() { Normalise(SpeedLimitField, kSpeedLimitFallback); }
void TMainDialog::FeedMaxFieldChange() { Normalise(FeedMaxField, kFeedMaxFallback); }
void TMainDialog::AFieldChange() { Normalise(AField, kAccelerationFallback); }

int TMainDialog::FreeNumberingIndex() const { return SeqFree->isChecked() ? 1 : 0; }

void TMainDialog::BitBtn1Click() {
  if (about_) about_->show();
}

void TMainDialog::ButtonExitClick() { QApplication::closeAllWindows(); }

int TMainDialog::SelectedFileIndex() const {
  const QList<QListWidgetItem*> selected = FileListBox1->selectedItems();
  return selected.isEmpty() ? -1 : FileListBox1->row(selected.front());
}

QString TMainDialog::InputFileName() const {
  const int index = SelectedFileIndex();
  if (index < 0) return {};
  return QDir(directory_).filePath(FileListBox1->item(index)->text());
}

void TMainDialog::N0noteClick() { startEditor(InputFileName()); }

void TMainDialog::N2proverkaClick() {
  const QString path = InputFileName();
  if (path.isEmpty()) return;
  RunGuarded(dialogs_, [this, &path] { ShowFormatVerdict(ToPath(path)); });
}

void TMainDialog::ShowFormatVerdict(const std::filesystem::path& name) {
  // The count stays a whole int: a file with 65535 violations is no unreadable file.
  const int violations = CheckH33Format(name, 0);
  if (violations == -1) {
    dialogs_.CaptionedBox(CannotOpenForReadingText(name) + UnreadableReason(name),
                          "Проверка программы на формат H33 - > ошибка ...");
  } else if (violations == 0) {
    dialogs_.Ask(DialogKind::Information, FormatVerdictText(name, true), {Button::Yes});
  } else {
    dialogs_.Ask(DialogKind::Error, FormatVerdictText(name, false), {Button::Yes});
  }
}

void TMainDialog::N3newClick() { RefreshFileList(); }

void TMainDialog::N4deleteClick() {
  const QString path = InputFileName();
  if (path.isEmpty()) return;
  const std::string text = Sprintf(
      "Удалить Файл ->\n %s \n\t\t ? ....\n Внимание ! Файл будет удален безвозвратно ! ",
      path.toStdString().c_str());
  if (dialogs_.AskBeforeDestroying(text) != Button::Yes) return;
  // A file that vanished meanwhile needs no word; one that is still there
  // must not look deleted.
  std::error_code error;
  if (!std::filesystem::remove(ToPath(path), error) && error) {
    dialogs_.Ask(DialogKind::Error,
                 Sprintf("Файл %s не удален: %s", path.toStdString().c_str(), error.message().c_str()),
                 {Button::Ok});
  }
  RefreshFileList();
}

void TMainDialog::N5viewClick() {
  const QString path = InputFileName();
  if (path.isEmpty()) return;
  ShowPlotWindow(plotWindow_, this, PlotSources::ForFile(path));
}

void TMainDialog::Timer1Timer() { RefreshFileList(); }

void TMainDialog::RefreshFileList() {
  const int remembered = SelectedFileIndex();
  ReadFileList();
  SelectFileIndex(remembered);
}

void TMainDialog::ReadFileList() {
  const QSignalBlocker blocker(FileListBox1);
  FileListBox1->clear();
  const QDir directory(directory_);
  const QFileIconProvider icons;
  for (const QFileInfo& file :
       directory.entryInfoList(masks_, QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
    FileListBox1->addItem(new QListWidgetItem(icons.icon(file), file.fileName()));
  }
  FileListBox1->setCurrentRow(-1);
  FileListBox1Change();
}

void TMainDialog::SelectFileIndex(int index) {
  FileListBox1->setCurrentRow(index >= 0 && index < FileListBox1->count() ? index : -1);
  FileListBox1Change();
}

void TMainDialog::FileListBox1Change() {
  const int index = SelectedFileIndex();
  EditFile->setText(index >= 0 ? FileListBox1->item(index)->text()
                               : kFileFilters[FilterComboBox1->currentIndex()].shownMask);
}

void TMainDialog::FilterComboBox1Change(int index) {
  masks_ = QStringList{kFileFilters[index].mask};
  ReadFileList();
}

void TMainDialog::LoadDrives() {
  DriveComboBox1->clear();
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (IsUserVolume(volume)) DriveComboBox1->addItem(volume.rootPath());
  }
}

void TMainDialog::DriveComboBox1Change(int index) { SetDirectory(DriveComboBox1->itemText(index)); }

void TMainDialog::SetDirectory(const QString& directory) {
  const QString root = QStorageInfo(directory).rootPath();
  int drive = DriveComboBox1->findText(root);
  if (drive < 0) {
    DriveComboBox1->addItem(root);
    drive = DriveComboBox1->count() - 1;
  }
  DriveComboBox1->setCurrentIndex(drive);
  directoryModel_->setRootPath(root);
  DirectoryListBox1->setRootIndex(directoryModel_->index(QDir(root).absolutePath()).parent());
  const QModelIndex current = directoryModel_->index(directory);
  DirectoryListBox1->setCurrentIndex(current);
  DirectoryListBox1->scrollTo(current);
  directory_ = directory;
  ReadFileList();
}

void TMainDialog::DirectoryListBox1Change() {
  const QString directory = directoryModel_->filePath(DirectoryListBox1->currentIndex());
  if (directory.isEmpty() || directory == directory_) return;
  directory_ = directory;
  ReadFileList();
}

}  // namespace h33
