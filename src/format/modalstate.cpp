#include "format/modalstate.h"

#include <array>
#include <cstdint>

namespace h33 {
namespace {

// The codes a line is searched for, in the order TakeLine applies them: the
// lowest of a group last, so that it wins, and G00 first, so that G01..G03
// override it.
constexpr std::array<int, 7> kLineCodes = {0, 3, 2, 1, 19, 18, 17};
constexpr std::uint32_t kInterpolationCodes = 1u << 1 | 1u << 2 | 1u << 3;

// Bit `code` set for each of kLineCodes that stands in the line as a
// substring; one pass over the line instead of a search per code.
std::uint32_t CodesIn(std::string_view line) {
  std::uint32_t found = 0;
  for (std::size_t at = line.find('G'); at != std::string_view::npos && at + 2 < line.size();
       at = line.find('G', at + 1)) {
    const char tens = line[at + 1];
    const char units = line[at + 2];
    if (tens == '0' && units >= '0' && units <= '3') found |= 1u << (units - '0');
    if (tens == '1' && units >= '7' && units <= '9') found |= 1u << (10 + units - '0');
  }
  return found;
}

}  // namespace

bool ModalState::StatesAnyCode(std::string_view line) { return CodesIn(line) != 0; }

void ModalState::TakeLine(std::string_view line) {
  const std::uint32_t found = CodesIn(line);
  if (found == 0) return;
  for (const int code : kLineCodes) {
    if (found & 1u << code) TakeCode(code);
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

bool ModalState::StatesInterpolation(std::string_view line) {
  return (CodesIn(line) & kInterpolationCodes) != 0;
}

int ModalState::ArcSenseAfter(std::string_view line, int sense) {
  ModalState state;
  state.sense_ = sense;
  state.TakeLine(line);
  return state.sense_;
}

Plane ModalState::PlaneAfter(std::string_view line, Plane plane) {
  ModalState state;
  state.plane_ = plane;
  state.TakeLine(line);
  return state.ActivePlane();
}

}  // namespace h33
