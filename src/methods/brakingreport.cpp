#include "methods/brakingreport.h"

#include <algorithm>

#include "format/pathtext.h"
#include "format/textformat.h"

namespace h33 {

std::string BrakingReportText(const std::filesystem::path& file, const MachineLimits& machine,
                              const std::vector<BrakingFinding>& findings, std::size_t listed) {
  std::string text = Sprintf(
      "Проверка торможения: %s\n"
      "Станок: подача на полном развороте %d мм/мин, наибольшая подача %d мм/мин, "
      "ускорение %d мм/с²\n",
      PathText(file).c_str(), machine.speedLimit_mm_min, machine.feedMax_mm_min,
      machine.acceleration_mm_s2);
  if (findings.empty()) return text + "Нарушений нет: станок везде успевает затормозиться.\n";
  text += Sprintf("Нарушений: %zu\n", findings.size());
  const std::size_t shown = std::min(listed, findings.size());
  for (std::size_t i = 0; i < shown; ++i) text += "  " + DescribeFinding(findings[i]) + '\n';
  if (shown < findings.size()) text += Sprintf("  ... и ещё %zu\n", findings.size() - shown);
  return text;
}

}  // namespace h33
