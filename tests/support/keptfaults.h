#pragma once

#include <string>
#include <vector>

#include "methods/brakingfinding.h"
#include "planning/braking.h"

namespace h33 {

// The findings in a method's output that its input does not explain. A
// method keeps what it cannot mend. A move the rules give no feed to run
// at (none stated yet, F0000, an arc whose circle limit is below 1 mm/min,
// a short arc before a stop, a corner of directions that are no numbers)
// stands still in the output too, and its stop may reach the moves around
// it (a short arc before it takes the stop whole): the output's moves at 0
// are kept when the input has such a move anywhere. And the first frame's arc
// keeps its feed: a method limits an arc's feed while the arc is the next
// frame, and the first frame never is. A program without a move has nothing
// to brake. The rules brake a frame of no length to their floor feed, never
// to 0: standing before such a move at 0, it leaves the move before it braked
// to the floor feed instead of to a stop. Every other finding is the method's
// own.
std::vector<BrakingFinding> FindingsNotKept(const std::vector<BrakingFinding>& output,
                                            const std::vector<BrakingFinding>& input,
                                            const BrakingRules& rules);

// The findings one a line, for a failure's message.
std::string ListFindings(const std::vector<BrakingFinding>& findings);

}  // namespace h33
