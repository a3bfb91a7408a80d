#pragma once

#include <filesystem>
#include <string>

#include "methods/dialogs.h"

namespace h33 {

// What the run command checks of the selected file before any method: that
// it exists, can be read and has the H33 word form (feed words aside, so the
// plain feeds of a PTP file pass). False after the box that says why.
bool CheckRunInput(const std::filesystem::path& input, Dialogs& dialogs);

// The run command's box for an input (or a program just written) that cannot
// be read, with the reason.
void ReportUnreadable(const std::filesystem::path& input, const std::string& reason,
                      Dialogs& dialogs);

}  // namespace h33
