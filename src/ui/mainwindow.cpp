#include "ui/mainwindow.h"

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
#include <QScrollBar>
#include <QStorageInfo>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QTreeView>

#include <clocale>
#include <filesystem>
#include <iterator>

#include "app/machines.h"
#include "app/runinput.h"
#include "format/bytesource.h"
#include "format/formatcheck.h"
#include "format/textformat.h"
#include "methods/dialogs.h"
#include "ui/aboutwindow.h"
#include "ui/actionguard.h"
#include "ui/brakingverdict.h"
#include "ui/editorlauncher.h"
#include "ui/plotwindow.h"
#include "ui/qtpath.h"
#include "ui/windowplacement.h"
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
// The folders read, the model sorts them and the tree lays them out later.
constexpr int kDirectorySettleMs = 100;

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
  const bool restored = value == 0;
  if (restored) value = fallback;
  const QString text = QString::number(value);
  if (field->text() != text) field->setText(text);
  // A value put back in place of a cleared field is selected, so that what
  // is typed next replaces it: clearing 5 and typing 30 gives 30, not 530.
  if (restored) field->selectAll();
}

bool IsUserVolume(const QStorageInfo& volume) {
  if (!volume.isValid() || !volume.isReady()) return false;
  for (const char* system : {"/proc", "/sys", "/dev", "/run"}) {
    if (volume.rootPath().startsWith(system)) return false;
  }
  return true;
}

// The root of the volume a folder lies on. Where the mount table does not
// show it (a chroot or a container sees only the mounts inside it), the top
// of the folder's own path: an empty root would root the tree at the working
// directory, away from the folder.
QString VolumeRoot(const QString& directory) {
  const QStorageInfo volume(directory);
  if (volume.isValid() && !volume.rootPath().isEmpty()) return volume.rootPath();
  // "/" or "C:/": up to the first separator, whether the folder exists or not.
  const QString absolute = QDir(directory).absolutePath();
  return absolute.left(absolute.indexOf('/') + 1);
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


MainWindow::MainWindow(Dialogs& dialogs, const QString& startDirectory, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
  setObjectName("MainWindow");
  setWindowTitle("Корректировка подач для H33 (Velta) .....");
  setFont(WindowFont());
  setFixedSize(1005, 357);
  MoveWithinScreen(*this, QPoint(333, 357));
  saveDialog = [this](const QString& lastName) { return AskOutputFileName(this, lastName); };
  startEditor = [this](const QString& path) { StartEditor(path, dialogs_); };

  BuildFilePane();
  BuildMethodPane();
  SetDirectory(QDir(startDirectory).absolutePath());

  refreshTimer = new QTimer(this);
  refreshTimer->setInterval(10000);
  connect(refreshTimer, &QTimer::timeout, this, &MainWindow::RefreshFileList);
  refreshTimer->start();
  ApplyStartDefaults();
  exitButton->setFocus();
}

void MainWindow::BuildFilePane() {
  driveChoice = new QComboBox(this);
  driveChoice->setObjectName("driveChoice");
  driveChoice->setGeometry(0, 0, 249, 22);

  directoryModel_ = new QFileSystemModel(this);
  directoryModel_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
  directoryTree = new QTreeView(this);
  directoryTree->setObjectName("directoryTree");
  directoryTree->setGeometry(0, 32, 249, 321);
  directoryTree->setModel(directoryModel_);
  directoryTree->setHeaderHidden(true);
  for (int column = 1; column < directoryModel_->columnCount(); ++column) {
    directoryTree->hideColumn(column);
  }
  // As wide as its names: a deep folder scrolls into sight instead of being
  // cut off past the pane's edge.
  directoryTree->header()->setStretchLastSection(false);
  directoryTree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

  fileFilterChoice = new QComboBox(this);
  fileFilterChoice->setObjectName("fileFilterChoice");
  fileFilterChoice->setGeometry(256, 0, 233, 24);
  for (const FileFilter& filter : kFileFilters) fileFilterChoice->addItem(filter.caption);

  fileList = new FileList(this);
  fileList->setObjectName("fileList");
  fileList->setGeometry(256, 32, 233, 289);
  fileList->setContextMenuPolicy(Qt::CustomContextMenu);

  fileNameField = new QLineEdit("*.up", this);
  fileNameField->setObjectName("fileNameField");
  fileNameField->setGeometry(256, 328, 233, 24);

  fileMenu = new QMenu(this);
  connect(fileMenu->addAction("Блокнот"), &QAction::triggered, this, &MainWindow::EditSelectedFile);
  connect(fileMenu->addAction("Проверка УП на формат H33"), &QAction::triggered, this,
          &MainWindow::CheckSelectedFileFormat);
  connect(fileMenu->addAction("Обновить"), &QAction::triggered, this, &MainWindow::RefreshFileList);
  connect(fileMenu->addAction("Удалить файл"), &QAction::triggered, this,
          &MainWindow::DeleteSelectedFile);
  connect(fileMenu->addAction("Просмотр"), &QAction::triggered, this, &MainWindow::ViewSelectedFile);
  // Last, so that the commands keep the places users know them by.
  connect(fileMenu->addAction("Проверка торможения"), &QAction::triggered, this,
          &MainWindow::CheckSelectedFileBraking);
  connect(fileList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    fileMenu->popup(fileList->viewport()->mapToGlobal(at));
  });

  masks_ = QStringList{kFileFilters[0].mask};
  LoadDrives();
  connect(driveChoice, &QComboBox::activated, this, &MainWindow::OpenDrive);
  connect(directoryTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &MainWindow::OpenCurrentDirectory);
  connect(directoryModel_, &QFileSystemModel::directoryLoaded, this, &MainWindow::KeepDirectoryInSight);
  directorySettle_ = new QTimer(this);
  directorySettle_->setSingleShot(true);
  directorySettle_->setInterval(kDirectorySettleMs);
  connect(directorySettle_, &QTimer::timeout, this, &MainWindow::ScrollToDirectory);
  connect(fileFilterChoice, &QComboBox::currentIndexChanged, this,
          &MainWindow::ApplyFileFilter);
  // The current row is no choice of the user's: the list moves it to the
  // first file whenever it takes the focus, a popup closing included.
  connect(fileList, &QListWidget::itemSelectionChanged, this, &MainWindow::ShowSelectedFileName);
}

void MainWindow::BuildMethodPane() {
  auto* help = AddLabel(this, "Инструкция по применению....->", {504, 8, 237, 16});
  QFont helpFont = WindowFont(13, true);
  helpFont.setUnderline(true);
  help->setFont(helpFont);
  help->setStyleSheet("color: #ff0000");
  AddLabel(this, "появились затруднения или вопросы ->", {512, 24, 238, 13})
      ->setFont(WindowFont(11, true));

  helpButton = new QPushButton(style()->standardIcon(QStyle::SP_MessageBoxQuestion), "Помошь ?", this);
  helpButton->setObjectName("helpButton");
  helpButton->setGeometry(752, 0, 113, 41);
  helpButton->setFont(WindowFont(13, true));
  connect(helpButton, &QPushButton::clicked, this, &MainWindow::ShowAboutWindow);

  exitButton = new QPushButton("Выход", this);
  exitButton->setObjectName("exitButton");
  exitButton->setGeometry(928, 0, 73, 41);
  connect(exitButton, &QPushButton::clicked, this, &MainWindow::ExitProgram);

  // The tab strip only enables and disables: its controls show under every tab.
  auto* tabStrip = new QFrame(this);
  tabStrip->setObjectName("tabStrip");
  tabStrip->setGeometry(496, 48, 505, 305);
  tabStrip->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  methodTabs = new QTabBar(tabStrip);
  methodTabs->setObjectName("methodTabs");
  methodTabs->setFont(WindowFont(11, true));
  methodTabs->setExpanding(false);
  methodTabs->addTab("Преобразование: Ptp - > up");
  methodTabs->addTab("Корректировка: Up -> Up");
  methodTabs->addTab("Время выполнения УП");
  methodTabs->setGeometry(0, 0, 505, 26);

  auto* machineCaption = AddLabel(tabStrip, "Выберите оборудование ...", {184, 40, 202, 16});
  machineCaption->setFont(WindowFont(13, true));
  machineCaption->setStyleSheet("color: #000080");
  machineCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  machineChoice = new QComboBox(tabStrip);
  machineChoice->setObjectName("machineChoice");
  machineChoice->setGeometry(392, 32, 97, 24);
  for (const MachinePreset& preset : kMachinePresets) {
    machineChoice->addItem(QString::fromUtf8(preset.name.data(), preset.name.size()));
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

  numberingGroup = new QGroupBox("Нумерация кадров....", group);
  numberingGroup->setObjectName("numberingGroup");
  numberingGroup->setGeometry(8, 120, 353, 49);
  h33Numbering = new QRadioButton("Н33 (max 999)", numberingGroup);
  h33Numbering->setGeometry(8, 20, 168, 20);
  freeNumbering = new QRadioButton("свободная (max 30000)", numberingGroup);
  freeNumbering->setGeometry(180, 20, 168, 20);
  h33Numbering->setChecked(true);

  restoreAfterArc = new QCheckBox("Восстанавливать скорость после круг. интерполяции", group);
  restoreAfterArc->setObjectName("restoreAfterArc");
  restoreAfterArc->setGeometry(8, 176, 377, 17);
  showStatistics = new QCheckBox("Выводить окно статистики ...", group);
  showStatistics->setObjectName("showStatistics");
  showStatistics->setGeometry(8, 200, 185, 17);
  showStatistics->setFont(WindowFont(11));

  speedLimitField = AddField(this, "speedLimitField", {912, 128, 57, 24});
  feedMaxField = AddField(this, "feedMaxField", {912, 160, 57, 24});
  accelerationField = AddField(this, "accelerationField", {912, 192, 57, 24});
  speedLimitField->setText("50");
  feedMaxField->setText("900");
  accelerationField->setText("5");

  runButton = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), "Запуск...", this);
  runButton->setObjectName("runButton");
  runButton->setGeometry(888, 304, 105, 33);
  runButton->setFont(WindowFont(13, true));

  connect(machineChoice, &QComboBox::activated, this, &MainWindow::ApplyMachinePreset);
  connect(methodTabs, &QTabBar::currentChanged, this, &MainWindow::EnableParametersOfMethod);
  connect(speedLimitField, &QLineEdit::textChanged, this, &MainWindow::NormaliseSpeedLimit);
  connect(feedMaxField, &QLineEdit::textChanged, this, &MainWindow::NormaliseFeedMax);
  connect(accelerationField, &QLineEdit::textChanged, this, &MainWindow::NormaliseAcceleration);
  connect(runButton, &QPushButton::clicked, this, &MainWindow::RunSelectedMethod);
}

void MainWindow::ApplyStartDefaults() {
  machineChoice->setCurrentIndex(kDefaultMachineIndex);
  ApplyMachinePreset(kDefaultMachineIndex);
  methodTabs->setCurrentIndex(0);
  EnableParametersOfMethod(static_cast<int>(MethodTab::kPtpToUp));
}

void MainWindow::ApplyMachinePreset(int index) {
  const MachinePreset& preset =
      kMachinePresets[index > 0 && index < static_cast<int>(kMachinePresets.size()) ? index : 0];
  speedLimitField->setText(QString::number(preset.limits.speedLimit_mm_min));
  feedMaxField->setText(QString::number(preset.limits.feedMax_mm_min));
  accelerationField->setText(QString::number(preset.limits.acceleration_mm_s2));
  (preset.freeNumbering ? freeNumbering : h33Numbering)->setChecked(true);
  restoreAfterArc->setChecked(preset.restoreAfterArc);
}

void MainWindow::EnableParametersOfMethod(int tab) {
  const auto method = static_cast<MethodTab>(tab);
  const bool feeds = method == MethodTab::kPtpToUp || method == MethodTab::kUpToUp;
  const bool conversion = method == MethodTab::kPtpToUp;
  speedLimitField->setEnabled(feeds);
  feedMaxField->setEnabled(feeds);
  numberingGroup->setEnabled(conversion);
  restoreAfterArc->setEnabled(conversion);
}

void MainWindow::NormaliseSpeedLimit() { Normalise(speedLimitField, kSpeedLimitFallback); }
void MainWindow::NormaliseFeedMax() { Normalise(feedMaxField, kFeedMaxFallback); }
void MainWindow::NormaliseAcceleration() { Normalise(accelerationField, kAccelerationFallback); }

void MainWindow::ShowAboutWindow() {
  if (about_) about_->show();
}

void MainWindow::ExitProgram() { QApplication::closeAllWindows(); }

int MainWindow::SelectedFileIndex() const {
  const QList<QListWidgetItem*> selected = fileList->selectedItems();
  return selected.isEmpty() ? -1 : fileList->row(selected.front());
}

QString MainWindow::InputFileName() const {
  const int index = SelectedFileIndex();
  if (index < 0) return {};
  // As the user's system writes names: every message shows it so.
  return QDir::toNativeSeparators(QDir(directory_).filePath(fileList->item(index)->text()));
}

void MainWindow::EditSelectedFile() { startEditor(InputFileName()); }

void MainWindow::CheckSelectedFileFormat() {
  const QString path = InputFileName();
  if (path.isEmpty()) return;
  RunGuarded(dialogs_, [this, &path] { ShowFormatVerdict(ToPath(path)); });
}

void MainWindow::ShowFormatVerdict(const std::filesystem::path& name) {
  // The count stays a whole int: a file with 65535 violations is no unreadable file.
  const std::optional<int> violations = CheckH33Format(name);
  if (!violations) {
    ReportUnreadable(name, UnreadableReason(name), dialogs_);
  } else if (*violations == 0) {
    dialogs_.Ask(DialogKind::Information, FormatVerdictText(name, true), {Button::Yes});
  } else {
    dialogs_.Ask(DialogKind::Error, FormatVerdictText(name, false), {Button::Yes});
  }
}

void MainWindow::CheckSelectedFileBraking() {
  const QString path = InputFileName();
  if (path.isEmpty()) return;
  const std::filesystem::path program = ToPath(path);
  const MachineLimits machine = CollectRunParameters(program).machine;
  RunGuarded(dialogs_,
             [this, &program, &machine] { ShowBrakingVerdict(program, machine, dialogs_); });
}

void MainWindow::DeleteSelectedFile() {
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

void MainWindow::ViewSelectedFile() {
  const QString path = InputFileName();
  if (path.isEmpty()) return;
  PlotSources sources = PlotSources::ForFile(path);
  sources.machine = CollectRunParameters(ToPath(path)).machine;
  ShowPlotWindow(plotWindow_, this, sources);
}

// The selection is kept by name, not by row: a file that came or went above
// it must not move it onto another program, which the next run, check or
// delete would then act on. A selected file that is gone leaves none.
void MainWindow::RefreshFileList() {
  const int index = SelectedFileIndex();
  const QString remembered = index >= 0 ? fileList->item(index)->text() : QString();
  ReadFileList();
  SelectListedFile(remembered);
}

void MainWindow::ReadFileList() {
  const QSignalBlocker blocker(fileList);
  fileList->clear();
  const QDir directory(directory_);
  const QFileIconProvider icons;
  for (const QFileInfo& file :
       directory.entryInfoList(masks_, QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
    fileList->addItem(new QListWidgetItem(icons.icon(file), file.fileName()));
  }
  fileList->setCurrentRow(-1);
  ShowSelectedFileName();
}

void MainWindow::SelectListedFile(const QString& name) {
  const QList<QListWidgetItem*> found =
      name.isEmpty() ? QList<QListWidgetItem*>() : fileList->findItems(name, Qt::MatchExactly);
  fileList->setCurrentItem(found.isEmpty() ? nullptr : found.first());
  if (found.isEmpty()) fileList->clearSelection();
  ShowSelectedFileName();
}

void MainWindow::ShowSelectedFileName() {
  const int index = SelectedFileIndex();
  fileNameField->setText(index >= 0 ? fileList->item(index)->text()
                               : kFileFilters[fileFilterChoice->currentIndex()].shownMask);
}

void MainWindow::SelectFile(const QString& name) {
  int filter = 0;
  while (filter + 1 < static_cast<int>(std::size(kFileFilters)) &&
         !QDir::match(kFileFilters[filter].mask, name)) {
    ++filter;
  }
  if (filter != fileFilterChoice->currentIndex()) fileFilterChoice->setCurrentIndex(filter);
  SelectListedFile(name);
}

void MainWindow::ApplyFileFilter(int index) {
  masks_ = QStringList{kFileFilters[index].mask};
  ReadFileList();
}

void MainWindow::LoadDrives() {
  driveChoice->clear();
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (IsUserVolume(volume)) driveChoice->addItem(QDir::toNativeSeparators(volume.rootPath()));
  }
}

void MainWindow::OpenDrive(int index) { SetDirectory(driveChoice->itemText(index)); }

void MainWindow::SetDirectory(const QString& directory) {
  // Drives as the system writes them, with a backslash on Windows.
  const QString root = QDir::toNativeSeparators(VolumeRoot(directory));
  int drive = driveChoice->findText(root);
  if (drive < 0) {
    driveChoice->addItem(root);
    drive = driveChoice->count() - 1;
  }
  driveChoice->setCurrentIndex(drive);
  directoryModel_->setRootPath(root);
  directoryTree->setRootIndex(directoryModel_->index(QDir(root).absolutePath()).parent());
  const QModelIndex current = directoryModel_->index(directory);
  directoryTree->setCurrentIndex(current);
  ScrollToDirectory();
  directory_ = directory;
  ReadFileList();
}

// The model reads folders in the background: a folder scrolled to before
// its parents were read moves out of sight as their other folders come in.
// Scrolled to again once they are in and sorted.
void MainWindow::KeepDirectoryInSight(const QString& loaded) {
  if (!directory_.startsWith(loaded)) return;
  directorySettle_->start();
}

void MainWindow::ScrollToDirectory() {
  const QModelIndex current = directoryTree->currentIndex();
  // Rows scroll into sight, indentation does not: with the column as wide as
  // the rows now shown, the folder's name is scrolled to across as well. The
  // scroll bar that the wider column may bring takes a row's height off the
  // pane: the folder is put in the middle, where that cannot hide it.
  directoryTree->resizeColumnToContents(0);
  directoryTree->scrollTo(current, QAbstractItemView::PositionAtCenter);
  QScrollBar* across = directoryTree->horizontalScrollBar();
  across->setValue(across->value() + directoryTree->visualRect(current).left() - directoryTree->indentation());
}

void MainWindow::OpenCurrentDirectory() {
  const QString directory = directoryModel_->filePath(directoryTree->currentIndex());
  if (directory.isEmpty() || directory == directory_) return;
  directory_ = directory;
  ReadFileList();
}

}  // namespace h33
