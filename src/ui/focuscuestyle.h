#pragma once

#include <QProxyStyle>

namespace h33 {

// The desktop's style, with the focused button always marked. Fusion, like
// most styles, marks it only once the keyboard has moved the focus, so that
// the button Enter or Space would press went unseen, the Exit button at
// start among them.
class FocusCueStyle : public QProxyStyle {
 public:
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
};

// For every window of the application.
void UseFocusCueStyle();

}  // namespace h33
