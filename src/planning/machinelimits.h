#pragma once

namespace h33 {

// The machine tool's values every feed rule is computed with. One value
// instead of three ints, so no two calls can take them in different orders.
struct MachineLimits {
  int speedLimit_mm_min = 0;   // allowed at a full reversal
  int feedMax_mm_min = 0;      // no frame runs faster
  int acceleration_mm_s2 = 0;  // braking and speeding up
};

}  // namespace h33
