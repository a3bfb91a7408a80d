#include "methods/brakingreport.h"

#include <ostream>

#include "format/pathtext.h"
#include "format/textformat.h"

namespace h33 {

BrakingReportWriter::BrakingReportWriter(std::ostream& out, const std::filesystem::path& file,
                                         const MachineLimits& machine, std::size_t listed)
    : out_(out),
      heading_(Sprintf("Проверка торможения: %s\n"
                       "Станок: подача на полном развороте %d мм/мин, наибольшая подача %d мм/мин, "
                       "ускорение %d мм/с²\n",
                       PathText(file).c_str(), machine.speedLimit_mm_min, machine.feedMax_mm_min,
                       machine.acceleration_mm_s2)),
      listed_(listed) {}

void BrakingReportWriter::Start() {
  out_ << heading_;
  heading_.clear();
}

void BrakingReportWriter::Take(const BrakingFinding& finding) {
  ++count_;
  // A file without moves has this finding only.
  if (finding.kind == BrakingFault::kNoMoves) {
    nothingToCheck_ = DescribeFinding(finding);
    return;
  }
  if (count_ > listed_) return;
  Start();
  out_ << "  " << DescribeFinding(finding) << '\n';
}

void BrakingReportWriter::Finish() {
  Start();
  if (!nothingToCheck_.empty()) {
    out_ << "Проверять нечего: " << nothingToCheck_ << ".\n";
  } else if (count_ == 0) {
    out_ << "Нарушений нет: станок везде успевает затормозиться.\n";
  } else {
    if (count_ > listed_) out_ << Sprintf("  ... и ещё %zu\n", count_ - listed_);
    out_ << Sprintf("Нарушений: %zu\n", count_);
  }
}

}  // namespace h33
