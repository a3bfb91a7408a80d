#pragma once

#include "format/decimalsum.h"
#include "format/frame.h"

namespace h33 {

// The control sums of a program: the sums of its frames' X, Y and Z values.
// The values are increments in 0.01 mm, so the sums are the program's net
// displacement per axis, and a program that returns to its start must show
// exactly 0.00 — which is why they are kept exact.
class ControlSums {
 public:
  // The frame's X, Y and Z words; a missing word adds nothing.
  void Add(const Frame& frame);

  // In mm.
  double X() const;
  double Y() const;
  double Z() const;

 private:
  DecimalSum x_, y_, z_;
};

}  // namespace h33
