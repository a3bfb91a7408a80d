#include "ui/uifont.h"

#include <QStringList>

namespace h33 {

QFont WindowFont(int pixelSize, bool bold) {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "DejaVu Sans",
                    "Sans Serif"});
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace h33
