#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "methods/dialogs.h"
#include "methods/timecount.h"

namespace h33 {

// What the run command checks of the selected file before any method: that
// it exists, can be read and has the H33 word form (feed words aside, so the
// plain feeds of a PTP file pass). False after the box that says why, which
// names the file `shown` when given: the name the user gave to what was
// copied into `input` (standard input, a pipe).
bool CheckRunInput(const std::filesystem::path& input, Dialogs& dialogs,
                   const std::filesystem::path& shown = {});

// The time method's run: CheckRunInput, then the time count; nothing when
// the check refused the file (its box has said why). A clean program is
// checked and timed in one pass over the file; any other is read again by
// the two in turn, so that every message comes as it would from them.
std::optional<TimeCount> CheckAndCountTime(const std::filesystem::path& input,
                                           int acceleration_mm_s2, Dialogs& dialogs);

// The run command's box for an input (or a program just written) that cannot
// be read, with the reason.
void ReportUnreadable(const std::filesystem::path& input, const std::string& reason,
                      Dialogs& dialogs);

}  // namespace h33
