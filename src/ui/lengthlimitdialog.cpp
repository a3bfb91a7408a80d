#include "ui/lengthlimitdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/splitchecks.h"

namespace h33 {

TLengthLimit::TLengthLimit(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), length_(new QLineEdit("11800", this)) {
  setWindowTitle("Разбивка ленты");
  setObjectName("LengthLimit");
  auto* label = new QLabel("Введите максимально допустимый размер ленты в байтах", this);
  auto* ok = new QPushButton("OK", this);
  auto* cancel = new QPushButton("Отмена", this);
  length_->setObjectName("Length");
  ok->setObjectName("OKButton");
  cancel->setObjectName("ButtonCancel");
  ok->setAutoDefault(false);
  cancel->setAutoDefault(false);

  auto* field = new QHBoxLayout;
  field->addWidget(label);
  field->addWidget(length_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(field);
  layout->addLayout(buttons);

  connect(ok, &QPushButton::clicked, this, &TLengthLimit::OKButtonClick);
  connect(cancel, &QPushButton::clicked, this, &TLengthLimit::ButtonCancelClick);
}

void TLengthLimit::OKButtonClick() {
  bool clearField = false;
  const auto limit = CheckTapeLength(length_->text().toStdString(), dialogs_, clearField);
  if (clearField) length_->clear();
  if (!limit) return;
  limitValue_ = *limit;
  accept();
}

void TLengthLimit::ButtonCancelClick() { reject(); }

}  // namespace h33
