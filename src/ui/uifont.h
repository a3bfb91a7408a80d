#pragma once

#include <QFont>

namespace h33 {

// The windows were laid out for a 13-pixel sans serif; these families come
// closest on each platform.
QFont WindowFont(int pixelSize = 13, bool bold = false);

}  // namespace h33
