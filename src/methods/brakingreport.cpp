#include "methods/brakingreport.h"

#include <algorithm>
#include <ostream>

#include "format/pathtext.h"
#include "format/textformat.h"

namespace h33 {

void WriteBrakingReport(std::ostream& out, const std::filesystem::path& file,
                        const MachineLimits& machine, const std::vector<BrakingFinding>& findings,
                        std::size_t listed) {
  out << Sprintf(
      "Проверка торможения: %s\n"
      "Станок: подача на полном развороте %d мм/мин, наибольшая подача %d мм/мин, "
      "ускорение %d мм/с²\n",
      PathText(file).c_str(), machine.speedLimit_mm_min, machine.feedMax_mm_min,
      machine.acceleration_mm_s2);
  if (findings.empty()) {
    out << "Нарушений нет: станок везде успевает затормозиться.\n";
    return;
  }
  if (findings.size() == 1 && findings.front().kind == BrakingFault::kNoMoves) {
    out << "Проверять нечего: " << DescribeFinding(findings.front()) << ".\n";
    return;
  }
  out << Sprintf("Нарушений: %zu\n", findings.size());
  const std::size_t shown = std::min(listed, findings.size());
  for (std::size_t i = 0; i < shown; ++i) out << "  " << DescribeFinding(findings[i]) << '\n';
  if (shown < findings.size()) out << Sprintf("  ... и ещё %zu\n", findings.size() - shown);
}

}  // namespace h33
