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
    {"G-code files (*.nc *.ngc *.tap *.gcode *.cnc *.iso)", "*.nc ...",
     "*.nc *.ngc *.tap *.gcode *.cnc *.iso"},
};

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
  const FieldValue value = NormaliseField(field->text().toStdString(), fallback);
  const QString text = QString::fromStdString(value.text);
  if (field->text() != text) field->setText(text);
  // A value put back in place of a cleared field is selected, so that what
  // is typed next replaces it: clearing 5 and typing 30 gives 30, not 530.
  if (value.restored) field->selectAll();
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
// The selected file shows as clearly while the list has no focus (after a
// dialog, at start) as while it has: some styles grey it out then.
class FileList : public QListWidget {
 public:
  explicit FileList(QWidget* parent) : QListWidget(parent) {
    QPalette colours = palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
      colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    }
    setPalette(colours);
  }

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

  refreshTimer_ = new QTimer(this);
  refreshTimer_->setObjectName("refreshTimer");
  refreshTimer_->setInterval(10000);
  connect(refreshTimer_, &QTimer::timeout, this, &MainWindow::RefreshFileList);
  refreshTimer_->start();
  ApplyStartDefaults();
  exitButton_->setFocus();
}

void MainWindow::BuildFilePane() {
  driveChoice_ = new QComboBox(this);
  driveChoice_->setObjectName("driveChoice");
  driveChoice_->setGeometry(0, 0, 249, 22);

  directoryModel_ = new QFileSystemModel(this);
  directoryModel_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
  directoryTree_ = new QTreeView(this);
  directoryTree_->setObjectName("directoryTree");
  directoryTree_->setGeometry(0, 32, 249, 321);
  directoryTree_->setModel(directoryModel_);
  directoryTree_->setHeaderHidden(true);
  for (int column = 1; column < directoryModel_->columnCount(); ++column) {
    directoryTree_->hideColumn(column);
  }
  // As wide as its names: a deep folder scrolls into sight instead of being
  // cut off past the pane's edge.
  directoryTree_->header()->setStretchLastSection(false);
  directoryTree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

  fileFilterChoice_ = new QComboBox(this);
  fileFilterChoice_->setObjectName("fileFilterChoice");
  fileFilterChoice_->setGeometry(256, 0, 233, 24);
  for (const FileFilter& filter : kFileFilters) fileFilterChoice_->addItem(filter.caption);

  fileList_ = new FileList(this);
  fileList_->setObjectName("fileList");
  fileList_->setGeometry(256, 32, 233, 289);
  fileList_->setContextMenuPolicy(Qt::CustomContextMenu);

  fileNameField_ = new QLineEdit("*.up", this);
  fileNameField_->setObjectName("fileNameField");
  fileNameField_->setGeometry(256, 328, 233, 24);

  fileMenu_ = new QMenu(this);
  fileMenu_->setObjectName("fileMenu");
  connect(fileMenu_->addAction("Блокнот"), &QAction::triggered, this, &MainWindow::EditSelectedFile);
  connect(fileMenu_->addAction("Проверка УП на формат H33"), &QAction::triggered, this,
          &MainWindow::CheckSelectedFileFormat);
  connect(fileMenu_->addAction("Обновить"), &QAction::triggered, this, &MainWindow::RefreshFileList);
  connect(fileMenu_->addAction("Удалить файл"), &QAction::triggered, this,
          &MainWindow::DeleteSelectedFile);
  connect(fileMenu_->addAction("Просмотр"), &QAction::triggered, this, &MainWindow::ViewSelectedFile);
  // Last, so that the commands keep the places users know them by.
  connect(fileMenu_->addAction("Проверка торможения"), &QAction::triggered, this,
          &MainWindow::CheckSelectedFileBraking);
  connect(fileList_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    fileMenu_->popup(fileList_->viewport()->mapToGlobal(at));
  });

  masks_ = QStringList{kFileFilters[0].mask};
  LoadDrives();
  connect(driveChoice_, &QComboBox::activated, this, &MainWindow::OpenDrive);
  connect(directoryTree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &MainWindow::OpenCurrentDirectory);
  connect(directoryModel_, &QFileSystemModel::directoryLoaded, this, &MainWindow::KeepDirectoryInSight);
  directorySettle_ = new QTimer(this);
  directorySettle_->setSingleShot(true);
  directorySettle_->setInterval(kDirectorySettleMs);
  connect(directorySettle_, &QTimer::timeout, this, &MainWindow::ScrollToDirectory);
  connect(fileFilterChoice_, &QComboBox::currentIndexChanged, this,
          &MainWindow::ApplyFileFilter);
  // The current row is no choice of the user's: the list moves it to the
  // first file whenever it takes the focus, a popup closing included.
  connect(fileList_, &QListWidget::itemSelectionChanged, this, &MainWindow::ShowSelectedFileName);
}

void MainWindow::BuildMethodPane() {
  auto* help = AddLabel(this, "Инструкция по применению....->", {504, 8, 237, 16});
  QFont helpFont = WindowFont(13, true);
  helpFont.setUnderline(true);
  help->setFont(helpFont);
  help->setStyleSheet("color: #ff0000");
  AddLabel(this, "появились затруднения или вопросы ->", {512, 24, 238, 13})
      ->setFont(WindowFont(11, true));

  helpButton_ = new QPushButton(style()->standardIcon(QStyle::SP_MessageBoxQuestion), "Помошь ?", this);
  helpButton_->setObjectName("helpButton");
  helpButton_->setGeometry(752, 0, 113, 41);
  helpButton_->setFont(WindowFont(13, true));
  connect(helpButton_, &QPushButton::clicked, this, &MainWindow::ShowAboutWindow);

  exitButton_ = new QPushButton("Выход", this);
  exitButton_->setObjectName("exitButton");
  exitButton_->setGeometry(928, 0, 73, 41);
  connect(exitButton_, &QPushButton::clicked, this, &MainWindow::ExitProgram);

  // The tab strip only enables and disables: its controls show under every tab.
  auto* tabStrip = new QFrame(this);
  tabStrip->setObjectName("tabStrip");
  tabStrip->setGeometry(496, 48, 505, 305);
  tabStrip->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  methodTabs_ = new QTabBar(tabStrip);
  methodTabs_->setObjectName("methodTabs");
  methodTabs_->setFont(WindowFont(11, true));
  methodTabs_->setExpanding(false);
  methodTabs_->addTab("Преобразование: Ptp - > up");
  methodTabs_->addTab("Корректировка: Up -> Up");
  methodTabs_->addTab("Время выполнения УП");
  methodTabs_->setGeometry(0, 0, 505, 26);

  auto* machineCaption = AddLabel(tabStrip, "Выберите оборудование ...", {184, 40, 202, 16});
  machineCaption->setFont(WindowFont(13, true));
  machineCaption->setStyleSheet("color: #000080");
  machineCaption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  machineChoice_ = new QComboBox(tabStrip);
  machineChoice_->setObjectName("machineChoice");
  machineChoice_->setGeometry(392, 32, 97, 24);
  for (const MachinePreset& preset : kMachinePresets) {
    machineChoice_->addItem(QString::fromUtf8(preset.name.data(), preset.name.size()));
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

  numberingGroup_ = new QGroupBox("Нумерация кадров....", group);
  numberingGroup_->setObjectName("numberingGroup");
  numberingGroup_->setGeometry(8, 120, 353, 49);
  h33Numbering_ = new QRadioButton("Н33 (max 999)", numberingGroup_);
  h33Numbering_->setObjectName("h33Numbering");
  h33Numbering_->setGeometry(8, 20, 168, 20);
  freeNumbering_ = new QRadioButton("свободная (max 30000)", numberingGroup_);
  freeNumbering_->setObjectName("freeNumbering");
  freeNumbering_->setGeometry(180, 20, 168, 20);
  h33Numbering_->setChecked(true);

  restoreAfterArc_ = new QCheckBox("Восстанавливать скорость после круг. интерполяции", group);
  restoreAfterArc_->setObjectName("restoreAfterArc");
  restoreAfterArc_->setGeometry(8, 176, 377, 17);
  showStatistics_ = new QCheckBox("Выводить окно статистики ...", group);
  showStatistics_->setObjectName("showStatistics");
  showStatistics_->setGeometry(8, 200, 185, 17);
  showStatistics_->setFont(WindowFont(11));

  speedLimitField_ = AddField(this, "speedLimitField", {912, 128, 57, 24});
  feedMaxField_ = AddField(this, "feedMaxField", {912, 160, 57, 24});
  accelerationField_ = AddField(this, "accelerationField", {912, 192, 57, 24});
  speedLimitField_->setText("50");
  feedMaxField_->setText("900");
  accelerationField_->setText("5");

  runButton_ = new QPushButton(style()->standardIcon(QStyle::SP_MediaPlay), "Запуск...", this);
  runButton_->setObjectName("runButton");
  runButton_->setGeometry(888, 304, 105, 33);
  runButton_->setFont(WindowFont(13, true));

  connect(machineChoice_, &QComboBox::activated, this, &MainWindow::ApplyMachinePreset);
  connect(methodTabs_, &QTabBar::currentChanged, this, &MainWindow::EnableParametersOfMethod);
  connect(speedLimitField_, &QLineEdit::textChanged, this, &MainWindow::NormaliseSpeedLimit);
  connect(feedMaxField_, &QLineEdit::textChanged, this, &MainWindow::NormaliseFeedMax);
  connect(accelerationField_, &QLineEdit::textChanged, this, &MainWindow::NormaliseAcceleration);
  connect(runButton_, &QPushButton::clicked, this, &MainWindow::RunSelectedMethod);
}

void MainWindow::ApplyStartDefaults() {
  machineChoice_->setCurrentIndex(kDefaultMachineIndex);
  ApplyMachinePreset(kDefaultMachineIndex);
  methodTabs_->setCurrentIndex(0);
  EnableParametersOfMethod(static_cast<int>(MethodTab::kPtpToUp));
}

void MainWindow::ApplyMachinePreset(int index) { ShowForm(PresetForm(index)); }

void MainWindow::EnableParametersOfMethod(int tab) {
  const MethodControls controls = ControlsOf(static_cast<MethodTab>(tab));
  speedLimitField_->setEnabled(controls.feedFields);
  feedMaxField_->setEnabled(controls.feedFields);
  numberingGroup_->setEnabled(controls.conversionOptions);
  restoreAfterArc_->setEnabled(controls.conversionOptions);
}

RunForm MainWindow::ReadForm() const {
  return {.speedLimit = speedLimitField_->text().toStdString(),
          .feedMax = feedMaxField_->text().toStdString(),
          .acceleration = accelerationField_->text().toStdString(),
          .machine = machineChoice_->currentIndex(),
          .freeNumbering = freeNumbering_->isChecked(),
          .restoreAfterArc = restoreAfterArc_->isChecked()};
}

// The machine choice is the user's: a form shown only fills what it presets.
void MainWindow::ShowForm(const RunForm& form) {
  speedLimitField_->setText(QString::fromStdString(form.speedLimit));
  feedMaxField_->setText(QString::fromStdString(form.feedMax));
  accelerationField_->setText(QString::fromStdString(form.acceleration));
  (form.freeNumbering ? freeNumbering_ : h33Numbering_)->setChecked(true);
  restoreAfterArc_->setChecked(form.restoreAfterArc);
}

void MainWindow::NormaliseSpeedLimit() {
  Normalise(speedLimitField_, kSpeedLimitFallback_mm_min);
}
void MainWindow::NormaliseFeedMax() { Normalise(feedMaxField_, kFeedMaxFallback_mm_min); }
void MainWindow::NormaliseAcceleration() {
  Normalise(accelerationField_, kAccelerationFallback_mm_s2);
}

void MainWindow::ShowAboutWindow() {
  if (about_) about_->show();
}

void MainWindow::ExitProgram() { QApplication::closeAllWindows(); }

int MainWindow::SelectedFileIndex() const {
  const QList<QListWidgetItem*> selected = fileList_->selectedItems();
  return selected.isEmpty() ? -1 : fileList_->row(selected.front());
}

QString MainWindow::InputFileName() const {
  const int index = SelectedFileIndex();
  if (index < 0) return {};
  // As the user's system writes names: every message shows it so.
  return QDir::toNativeSeparators(QDir(directory_).filePath(fileList_->item(index)->text()));
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
  const MachineLimits machine = RunParametersOf(ReadForm(), program).machine;
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
  sources.machine = RunParametersOf(ReadForm(), ToPath(path)).machine;
  ShowPlotWindow(plotWindow_, this, sources);
}

// The selection is kept by name, not by row: a file that came or went above
// it must not move it onto another program, which the next run, check or
// delete would then act on. A selected file that is gone leaves none.
void MainWindow::RefreshFileList() {
  const int index = SelectedFileIndex();
  const QString remembered = index >= 0 ? fileList_->item(index)->text() : QString();
  ReadFileList();
  SelectListedFile(remembered);
}

void MainWindow::ReadFileList() {
  const QSignalBlocker blocker(fileList_);
  fileList_->clear();
  const QDir directory(directory_);
  const QFileIconProvider icons;
  for (const QFileInfo& file :
       directory.entryInfoList(masks_, QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
    fileList_->addItem(new QListWidgetItem(icons.icon(file), file.fileName()));
  }
  fileList_->setCurrentRow(-1);
  ShowSelectedFileName();
}

void MainWindow::SelectListedFile(const QString& name) {
  const QList<QListWidgetItem*> found =
      name.isEmpty() ? QList<QListWidgetItem*>() : fileList_->findItems(name, Qt::MatchExactly);
  fileList_->setCurrentItem(found.isEmpty() ? nullptr : found.first());
  if (found.isEmpty()) fileList_->clearSelection();
  ShowSelectedFileName();
}

void MainWindow::ShowSelectedFileName() {
  const int index = SelectedFileIndex();
  fileNameField_->setText(index >= 0 ? fileList_->item(index)->text()
                               : kFileFilters[fileFilterChoice_->currentIndex()].shownMask);
}

void MainWindow::SelectFile(const QString& name) {
  int filter = 0;
  while (filter + 1 < static_cast<int>(std::size(kFileFilters)) &&
         !QDir::match(kFileFilters[filter].mask, name)) {
    ++filter;
  }
  if (filter != fileFilterChoice_->currentIndex()) fileFilterChoice_->setCurrentIndex(filter);
  SelectListedFile(name);
}

void MainWindow::ApplyFileFilter(int index) {
  masks_ = QString(kFileFilters[index].mask).split(' ');
  ReadFileList();
}

void MainWindow::LoadDrives() {
  driveChoice_->clear();
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (IsUserVolume(volume)) driveChoice_->addItem(QDir::toNativeSeparators(volume.rootPath()));
  }
}

void MainWindow::OpenDrive(int index) { SetDirectory(driveChoice_->itemText(index)); }

void MainWindow::SetDirectory(const QString& directory) {
  // Drives as the system writes them, with a backslash on Windows.
  const QString root = QDir::toNativeSeparators(VolumeRoot(directory));
  int drive = driveChoice_->findText(root);
  if (drive < 0) {
    driveChoice_->addItem(root);
    drive = driveChoice_->count() - 1;
  }
  driveChoice_->setCurrentIndex(drive);
  directoryModel_->setRootPath(root);
  directoryTree_->setRootIndex(directoryModel_->index(QDir(root).absolutePath()).parent());
  const QModelIndex current = directoryModel_->index(directory);
  directoryTree_->setCurrentIndex(current);
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
  const QModelIndex current = directoryTree_->currentIndex();
  // Rows scroll into sight, indentation does not: with the column as wide as
  // the rows now shown, the folder's name is scrolled to across as well. The
  // scroll bar that the wider column may bring takes a row's height off the
  // pane: the folder is put in the middle, where that cannot hide it.
  directoryTree_->resizeColumnToContents(0);
  directoryTree_->scrollTo(current, QAbstractItemView::PositionAtCenter);
  QScrollBar* across = directoryTree_->horizontalScrollBar();
  across->setValue(across->value() + directoryTree_->visualRect(current).left() - directoryTree_->indentation());
}

void MainWindow::OpenCurrentDirectory() {
  const QString directory = directoryModel_->filePath(directoryTree_->currentIndex());
  if (directory.isEmpty() || directory == directory_) return;
  directory_ = directory;
  ReadFileList();
}

}  // namespace h33
