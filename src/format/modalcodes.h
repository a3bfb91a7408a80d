#pragma once

#include <string_view>

#include "format/geometry.h"
#include "format/modalstate.h"

namespace h33 {

// The single steps of ModalState for the passes that keep the sense or the
// plane in a value of their own; the rules are ModalState's.

inline int ModalArcSense(std::string_view line, int modal) {
  return ModalState::ArcSenseAfter(line, modal);
}

inline Plane ModalPlane(std::string_view line, Plane modal) {
  return ModalState::PlaneAfter(line, modal);
}

}  // namespace h33
