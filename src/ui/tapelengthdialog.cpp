#include "ui/tapelengthdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/splitchecks.h"

namespace h33 {

TapeLengthDialog::TapeLengthDialog(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs), lengthField_(new QLineEdit("11800", this)) {
  setWindowTitle("Разбивка ленты");
  setObjectName("TapeLengthDialog");
  auto* label = new QLabel("Введите максимально допустимый размер ленты в байтах", this);
  auto* ok = new QPushButton("OK", this);
  auto* cancel = new QPushButton("Отмена", this);
  lengthField_->setObjectName("lengthField");
  ok->setObjectName("okButton");
  cancel->setObjectName("cancelButton");
  // Enter in the field presses OK, whichever button has the focus otherwise.
  ok->setDefault(true);
  cancel->setAutoDefault(false);

  auto* field = new QHBoxLayout;
  field->addWidget(label);
  field->addWidget(lengthField_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(field);
  layout->addLayout(buttons);

  connect(ok, &QPushButton::clicked, this, &TapeLengthDialog::AcceptLength);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TapeLengthDialog::AcceptLength() {
  bool clearField = false;
  const auto limit = CheckTapeLength(lengthField_->text().toStdString(), dialogs_, clearField);
  if (clearField) lengthField_->clear();
  if (!limit) return;
  limit_ = *limit;
  accept();
}

}  // namespace h33
