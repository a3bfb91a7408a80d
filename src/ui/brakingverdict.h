#pragma once

#include <filesystem>

#include "methods/dialogs.h"
#include "planning/machinelimits.h"

namespace h33 {

// The popup's braking check of a program with the machine's values: the
// run command's input checks first, then the report in a box, an
// information box when the machine can do everything the program asks, a
// warning listing the first findings otherwise.
void ShowBrakingVerdict(const std::filesystem::path& program, const MachineLimits& machine,
                        Dialogs& dialogs);

}  // namespace h33
