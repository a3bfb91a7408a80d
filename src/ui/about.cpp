#include "ui/about.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/uifont.h"

namespace h33 {
namespace {

const char* const kGuide[] = {
    "1. Предназначение программы:",
    "  Программа предназначена для корректировки УП, рассчитанных в UGS,для УЧПУ H33 (Велта).",
    "  Используются методы : ",
    "    - Ptp->up - производит кодирование подач и расчет торможения;",
    "    - Up->up -  производит расчет торможения УП с уже кодированными подачами ;",
    "    - Time - выполняет подсчет времени выполнения УП.",
    " -----",
    "2. Использование программы:",
    "  2.1. Выберите диск, папку, необходимое расширение файла,",
    "         наконец выберите файл - над которым ВЫ хотите произвести действия.",
    "  2.2. Выберите метод. В зависимости от выбранного метода Вам будут доступны те или иные",
    "         параметры. Установите нужные Вам параметры преобразования.",
    "         Нажмите кнопку 'Запуск->' для запуска вычислений. ",
    "         Для методов 'Ptp->up' и 'Up->up' программа выведет диалоговое окно и попросит Вас ",
    "         указать имя файла, в котором будет сохранена преобразованная УП.",
    "         После окончания работы программа выдаст сообщение о сумме импульсов и времени.",
};

}  // namespace

TForm5::TForm5(QWidget* parent) : QDialog(parent), memo_(nullptr) {
  setObjectName("Form5");
  setWindowTitle("О программе....");
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont(13, true));
  setFixedSize(689, 409);

  auto* group = new QGroupBox("Инструкция по применению........", this);
  group->setGeometry(0, 0, 689, 369);
  memo_ = new QPlainTextEdit(group);
  memo_->setObjectName("Memo1");
  memo_->setGeometry(8, 16, 673, 345);
  memo_->setFont(WindowFont(13, false));
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QStringList lines;
  for (const char* line : kGuide) lines << QString::fromUtf8(line);
  memo_->setPlainText(lines.join('\n'));

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("BitBtn1");
  ok->setGeometry(600, 384, 89, 25);
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &TForm5::BitBtn1Click);
}

void TForm5::BitBtn1Click() { hide(); }

}  // namespace h33
