#include "ui/focuscuestyle.h"

#include <QApplication>
#include <QStyleOptionButton>

namespace h33 {

void FocusCueStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
  const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
  if (button && (button->state & State_HasFocus)) {
    QStyleOptionButton marked(*button);
    marked.state |= State_KeyboardFocusChange;
    QProxyStyle::drawControl(element, &marked, painter, widget);
    return;
  }
  QProxyStyle::drawControl(element, option, painter, widget);
}

void UseFocusCueStyle() { QApplication::setStyle(new FocusCueStyle); }

}  // namespace h33
