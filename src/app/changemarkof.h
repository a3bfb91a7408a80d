#pragma once

#include <optional>

#include "methods/correctiondiff.h"
#include "picture/changemarks.h"

namespace h33 {

// The mark a change gets on the pictures of the corrected program; none for
// a change that leaves the machine's run as it was (a feed written again, a
// feed word of a frame without motion, another frame inserted).
std::optional<ChangeMarkRequest> ChangeMarkOf(const FrameChange& change);

}  // namespace h33
