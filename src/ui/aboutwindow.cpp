#include "ui/aboutwindow.h"

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

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("AboutWindow");
  setWindowTitle("О программе....");
  setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont(13, true));
  setFixedSize(689, 409);

  auto* group = new QGroupBox("Инструкция по применению........", this);
  group->setGeometry(0, 0, 689, 369);
  auto* guide = new QPlainTextEdit(group);
  guide->setObjectName("guide");
  guide->setGeometry(8, 16, 673, 345);
  guide->setFont(WindowFont(13, false));
  guide->setLineWrapMode(QPlainTextEdit::NoWrap);
  guide->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  guide->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QStringList lines;
  for (const char* line : kGuide) lines << QString::fromUtf8(line);
  guide->setPlainText(lines.join('\n'));

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("okButton");
  ok->setGeometry(600, 384, 89, 25);
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);
}

}  // namespace h33
