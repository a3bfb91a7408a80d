#include "gcode/importsummary.h"

#include "format/textformat.h"

namespace h33 {

void ImportSummary::LeftOut(const std::string& what, long line) {
  for (Item& item : items_) {
    if (item.what == what) {
      ++item.count;
      return;
    }
  }
  items_.push_back({what, 1, line});
}

std::string ImportSummary::Text() const {
  if (items_.empty()) return {};
  std::string text = "Пропущено при импорте G-кода:";
  for (const Item& item : items_) {
    text += Sprintf("\n  %s - %ld (впервые в строке %ld)", item.what.c_str(), item.count,
                    item.firstLine);
  }
  return text;
}

}  // namespace h33
