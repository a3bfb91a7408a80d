#pragma once

#include <cstddef>

#include "methods/dialogs.h"
#include "methods/runparameters.h"
#include "planning/braking.h"

namespace h33 {

// The conversion's braking: the shared backward pass with a 30 mm/min floor,
// stopping at frames with an M or S word, failing at two stops after a short
// circle, and the circle chord limit of the run.
BrakingRules ConversionBrakingRules(const RunParameters& parameters);

// Shows the box for a failed braking pass. False when it failed.
bool ShowBrakingFailure(const BrakingOutcome& outcome, const FrameWindow& window,
                        Dialogs& dialogs);

// Brakes the rows before `start` towards its feed. False after the failure
// has been shown: a short circle would have to stop, or the window does not
// reach back far enough.
bool BrakeWindow(FrameWindow& window, std::size_t start, const BrakingRules& rules,
                 Dialogs& dialogs);

}  // namespace h33
