#include "ui/brakingverdict.h"

#include <sstream>

#include "app/runinput.h"
#include "methods/brakingcheck.h"
#include "methods/brakingreport.h"

namespace h33 {
namespace {

// A box taller than the screen hides its own button; the command lists them all.
constexpr std::size_t kListedInBox = 20;

constexpr const char* kRefusedCaption = "Проверка торможения - > ошибка ...";

}  // namespace

void ShowBrakingVerdict(const std::filesystem::path& program, const MachineLimits& machine,
                        Dialogs& dialogs) {
  if (!CheckRunInput(program, dialogs)) return;
  std::ostringstream report;
  BrakingReportWriter writer(report, program, machine, kListedInBox);
  const BrakingCheckResult result =
      BrakingCheck(machine).Check(program, [&writer](const BrakingFinding& finding) { writer.Take(finding); });
  switch (result.status) {
    case BrakingCheckStatus::kChecked:
      break;
    case BrakingCheckStatus::kCannotOpen:
      ReportUnreadable(program, result.reason, dialogs);
      return;
    case BrakingCheckStatus::kFailed:
      dialogs.CaptionedBox(result.reason, kRefusedCaption);
      return;
  }
  writer.Finish();
  const DialogKind kind = writer.Count() == 0 ? DialogKind::Information : DialogKind::Warning;
  dialogs.Ask(kind, report.str(), {Button::Yes});
}

}  // namespace h33
