#pragma once

#include "planning/machinelimits.h"
#include "planning/plannerpolicy.h"

namespace h33 {

// The Up->up correction's rules for the feed planner: coded feeds in the
// frame texts, radius tangents, exact cosines and arc limits, braking down
// to 5 mm/min and through frames with M or S words. They are also the rules
// a program is checked by before it goes to the machine.
PlannerPolicy CorrectionPolicy(const MachineLimits& machine);

}  // namespace h33
