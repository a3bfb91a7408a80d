#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "format/geometry.h"

namespace h33 {

// The modal codes a line states, found as substrings (see ModalState):
// G00..G03 and G17..G19. Read once with the line, taken by every pass.
class ModalCodes {
 public:
  ModalCodes() = default;
  explicit ModalCodes(std::string_view line);

  // Notes the code the 'G' at `at` starts, if any: for a reader that meets
  // every 'G' of the line on its own scan.
  void NoteAt(std::string_view line, std::size_t at) {
    if (at + 2 >= line.size()) return;
    const char tens = line[at + 1];
    const char units = line[at + 2];
    if (tens == '0' && units >= '0' && units <= '3') bits_ |= 1u << (units - '0');
    if (tens == '1' && units >= '7' && units <= '9') bits_ |= 1u << (10 + units - '0');
  }

  bool States(int code) const { return code >= 0 && code < 32 && (bits_ >> code & 1u) != 0; }
  bool Any() const { return bits_ != 0; }
  // G01, G02 or G03.
  bool StatesInterpolation() const { return States(1) || States(2) || States(3); }

 private:
  std::uint32_t bits_ = 0;  // bit `code` for each code stated
};

// Whether X, Y and Z give increments (G91) or positions (G90).
enum class DistanceMode { kAbsolute, kIncremental };

// The modal G state a program builds up line by line: interpolation mode,
// rapid traverse, sense of rotation, plane and distance mode.
//
// The H33 passes read a line's modal codes the controller's way, not as
// words: "G00", "G01", "G02", "G03", "G17", "G18" and "G19" count as
// substrings anywhere in the line, so "N1G01G02" states both G01 and G02 and
// "G2" or "G 02" states nothing. Within a group the lower code wins: G01 over
// G02 over G03, G17 over G18 over G19. G00 is the exception: any of G01, G02,
// G03 in the same line overrides it. The sense of rotation is its own group
// of G02 and G03, so a G01 keeps the sense of the last arc. A reader of any
// NC program (the file information) reads G words as numbers instead and
// hands each to TakeCode, the last of a group winning.
class ModalState {
 public:
  explicit ModalState(DistanceMode distance = DistanceMode::kIncremental) : distance_(distance) {}

  // Takes the modal codes of one line, read as substrings (see above).
  void TakeLine(std::string_view line) { Take(ModalCodes(line)); }
  void Take(ModalCodes codes);

  // Takes one G code read as a number: 0 rapid traverse; 1, 2, 3 the
  // interpolation mode (2 and 3 also the sense); 17, 18, 19 the plane; 90
  // and 91 the distance mode; any other code changes nothing.
  void TakeCode(int code);

  int Motion() const { return motion_; }     // 1, 2 or 3: G01 until stated
  bool Rapid() const { return rapid_; }      // G00 stated after the last G01..G03
  bool Circular() const { return !rapid_ && motion_ >= 2; }
  int ArcSense() const { return sense_; }   // 2 or 3: G02 until stated
  Plane ActivePlane() const { return plane_.value_or(Plane::XY); }
  int PlaneCode() const;                     // 17, 18 or 19; 0 until stated
  bool Incremental() const { return distance_ == DistanceMode::kIncremental; }

  // Single steps of Take for a caller that keeps the one value itself.
  static int ArcSenseAfter(ModalCodes codes, int sense);
  static Plane PlaneAfter(ModalCodes codes, Plane plane);

 private:
  int motion_ = 1;
  bool rapid_ = false;
  int sense_ = 2;
  std::optional<Plane> plane_;
  DistanceMode distance_;
};

}  // namespace h33
