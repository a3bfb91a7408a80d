#include "format/modalstate.h"

#include <array>

namespace h33 {
namespace {

// The codes a line is searched for, in the order Take applies them: the
// lowest of a group last, so that it wins, and G00 first, so that G01..G03
// override it.
constexpr std::array<int, 7> kLineCodes = {0, 3, 2, 1, 19, 18, 17};

}  // namespace

ModalCodes::ModalCodes(std::string_view line) {
  for (std::size_t at = line.find('G'); at != std::string_view::npos; at = line.find('G', at + 1)) {
    NoteAt(line, at);
  }
}

void ModalState::Take(ModalCodes codes) {
  if (!codes.Any()) return;
  for (const int code : kLineCodes) {
    if (codes.States(code)) TakeCode(code);
  }
}

void ModalState::TakeCode(int code) {
  switch (code) {
    case 0: rapid_ = true; break;
    case 2:
    case 3: sense_ = code; [[fallthrough]];
    case 1:
      motion_ = code;
      rapid_ = false;
      break;
    case 17: plane_ = Plane::XY; break;
    case 18: plane_ = Plane::XZ; break;
    case 19: plane_ = Plane::YZ; break;
    case 90: distance_ = DistanceMode::kAbsolute; break;
    case 91: distance_ = DistanceMode::kIncremental; break;
    default: break;
  }
}

int ModalState::PlaneCode() const {
  if (!plane_) return 0;
  switch (*plane_) {
    case Plane::XZ: return 18;
    case Plane::YZ: return 19;
    case Plane::XY: break;
  }
  return 17;
}

int ModalState::ArcSenseAfter(ModalCodes codes, int sense) {
  ModalState state;
  state.sense_ = sense;
  state.Take(codes);
  return state.sense_;
}

Plane ModalState::PlaneAfter(ModalCodes codes, Plane plane) {
  ModalState state;
  state.plane_ = plane;
  state.Take(codes);
  return state.ActivePlane();
}

}  // namespace h33
