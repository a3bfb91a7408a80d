#pragma once

#include <string>

#include "methods/correctiondiff.h"

namespace h33 {

// A change as the command and the window list it: where it is in each
// program ("12", or "после 12" for a frame that one program has not), what
// changed and the frame's text.
struct FrameChangeRow {
  std::string inputPlace;
  std::string outputPlace;
  std::string what;
  std::string text;
};

FrameChangeRow DescribeFrameChange(const FrameChange& change);

// The verdict: the moves matched and the changes counted, or where the
// motion parts.
std::string CorrectionDiffSummary(const CorrectionDiff& diff);

}  // namespace h33
