#pragma once

#include <filesystem>

#include "methods/dialogs.h"

namespace h33 {

// What the run command checks of the selected file before any method: that
// it exists, can be read and has the H33 word form (feed words aside, so the
// plain feeds of a PTP file pass). False after the box that says why.
bool CheckRunInput(const std::filesystem::path& input, Dialogs& dialogs);

}  // namespace h33
