#include "ui/qtdialogs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <optional>
#include <utility>

#include "ui/busycursor.h"
#include "ui/secondpartnamedialog.h"
#include "ui/tapelengthdialog.h"

namespace h33 {
namespace {

QMessageBox::StandardButton ToQt(Button button) {
  switch (button) {
    case Button::Ok: return QMessageBox::Ok;
    case Button::Yes: return QMessageBox::Yes;
    case Button::No: return QMessageBox::No;
    case Button::Cancel: return QMessageBox::Cancel;
  }
  return QMessageBox::NoButton;
}

Button FromQt(int button) {
  switch (button) {
    case QMessageBox::Ok: return Button::Ok;
    case QMessageBox::Yes: return Button::Yes;
    case QMessageBox::No: return Button::No;
    default: return Button::Cancel;
  }
}

// `enter`: the button Enter presses; without one the toolkit picks the first.
int ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const std::string& text,
            std::initializer_list<Button> buttons, std::optional<Button> enter = std::nullopt) {
  QMessageBox box(icon, caption, QString::fromStdString(text), QMessageBox::NoButton, parent);
  for (const Button button : buttons) box.addButton(ToQt(button));
  // Closing the box by its frame answers like the last button (No where there is one).
  box.setEscapeButton(box.button(ToQt(*(buttons.end() - 1))));
  if (enter) box.setDefaultButton(ToQt(*enter));
  const ArrowCursor waitingForTheUser;
  return box.exec();
}

std::pair<QMessageBox::Icon, QString> Look(DialogKind kind) {
  switch (kind) {
    case DialogKind::Error: return {QMessageBox::Critical, "Ошибка"};
    case DialogKind::Information: return {QMessageBox::Information, "Информация"};
    case DialogKind::Warning: return {QMessageBox::Warning, "Предупреждение"};
    case DialogKind::Confirmation: break;
  }
  return {QMessageBox::Question, "Подтверждение"};
}

}  // namespace

void QtDialogs::Message(const std::string& text) {
  ShowBox(parent_, QMessageBox::NoIcon, QCoreApplication::applicationName(), text, {Button::Ok});
}

Button QtDialogs::Ask(DialogKind kind, const std::string& text,
                      std::initializer_list<Button> buttons) {
  const auto [icon, caption] = Look(kind);
  return FromQt(ShowBox(parent_, icon, caption, text, buttons));
}

Button QtDialogs::AskBeforeDestroying(const std::string& text) {
  const auto [icon, caption] = Look(DialogKind::Error);
  return FromQt(ShowBox(parent_, icon, caption, text, {Button::Yes, Button::No}, Button::No));
}

void QtDialogs::CaptionedBox(const std::string& text, const std::string& caption) {
  ShowBox(parent_, QMessageBox::NoIcon, QString::fromStdString(caption), text, {Button::Ok});
}

std::optional<long> QtDialogs::AskTapeLengthLimit() {
  const ArrowCursor waitingForTheUser;
  if (!tapeLengthDialog_ || tapeLengthDialog_->exec() != QDialog::Accepted) return std::nullopt;
  return tapeLengthDialog_->Limit();
}

std::optional<std::string> QtDialogs::AskSecondPartName(const std::filesystem::path& splitting) {
  if (!secondPartNameDialog_) return std::nullopt;
  // Each cut asks afresh: the name typed for the last cut is the file being split now.
  secondPartNameDialog_->NameField()->clear();
  secondPartNameDialog_->SetFolder(QFileInfo(QString::fromStdU16String(splitting.u16string())).absolutePath());
  const ArrowCursor waitingForTheUser;
  if (secondPartNameDialog_->exec() != QDialog::Accepted) return std::nullopt;
  return secondPartNameDialog_->EnteredName().toStdString();
}

}  // namespace h33
