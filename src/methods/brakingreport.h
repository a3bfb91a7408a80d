#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <limits>
#include <vector>

#include "methods/brakingfinding.h"
#include "planning/machinelimits.h"

namespace h33 {

// The braking check's verdict on a program as the command prints it and the
// window shows it: the file, the machine's values it was judged with, the
// number of findings and the first `listed` of them, one a line. Written as
// it goes: a long program may have a great many findings.
void WriteBrakingReport(std::ostream& out, const std::filesystem::path& file,
                        const MachineLimits& machine, const std::vector<BrakingFinding>& findings,
                        std::size_t listed = std::numeric_limits<std::size_t>::max());

}  // namespace h33
