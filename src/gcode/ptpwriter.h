#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "format/bytesource.h"
#include "format/geometry.h"
#include "format/lineio.h"
#include "format/words.h"

namespace h33 {

// Lengths in ten-millionths of a millimetre: every G-code number of six
// decimals is a whole number of them, in millimetres (×10) and in inches
// (×254) alike, so positions add up exactly however long the program.
using Length = std::int64_t;
inline constexpr Length kLengthPerMm = 10'000'000;
// The tape's unit, 0.01 mm.
inline constexpr Length kLengthPerTapeUnit = kLengthPerMm / 100;

using Point = std::array<Length, 3>;  // X, Y, Z

// How arcs go on tape.
enum class ArcOutput {
  kQuadrants,  // cut where they cross the axes through their centre (the default)
  kWhole,      // as they are; a full circle in two halves
  kChords,     // as straight frames within 0.01 mm of the arc
};

// A feed faster than any machine's FeedMax: a rapid move carries it, and the
// conversion holds it to FeedMax, as the controller runs a rapid move.
inline constexpr int kRapidFeed_mm_min = 99999;

// Writes the PTP tape: the start mark "%", then one frame a line, numbered
// N001..N999 and round again, X/Y/Z as increments and I/J/K as the arc's
// start point relative to its centre, in 0.01 mm with a sign and six digits,
// F in mm/min. Positions are kept exact and rounded once: each increment is
// the difference of two rounded positions, so the increments add up to the
// net displacement, and an arc's end point lies on its circle within 0.01 mm.
class PtpWriter {
 public:
  PtpWriter(ByteSink& sink, ArcOutput arcs);

  // A frame without motion ("S500M03", "M08").
  void Words(std::string_view words);
  // A straight move to `to`; `feed_mm_min` is stated where it changes.
  // False for a move too short to show on tape (below 0.005 mm on every
  // axis): it is carried on into the next frame.
  bool Straight(const Point& to, int feed_mm_min, bool rapid);
  // An arc in `plane` from where the tool is to `to` about `centre`, turning
  // positively (anticlockwise seen in the plane's two axes in their order) or
  // not, `turns` times round: the first time to `to`, each further one a
  // whole turn more (a helix of turns). The third axis moves along with the
  // angle.
  void Arc(const Point& to, const Point& centre, bool positive, Plane plane, int feed_mm_min,
           long turns = 1);

  const Point& Position() const { return at_; }
  // The highest Z an end of a move has reached, the start included.
  Length HighestZ() const { return highestZ_; }
  // Frames written so far, the start mark not counted.
  std::uint32_t FramesWritten() const { return frames_; }
  // Arcs of a radius beyond 9999.99 mm, written as chords since their arc
  // vector has no word.
  long ArcsAsChords() const { return arcsAsChords_; }
  // Frames written as arcs (G02, G03).
  long ArcFrames() const { return arcFrames_; }
  void Finish() { writer_.Flush(); }

 private:
  void StandAt(const Point& point);
  // A piece of an arc, exactly: its start angle, its signed sweep (positive
  // turns anticlockwise in the plane's two axes in their order) and radius.
  struct Sweep {
    double from = 0, angle = 0, radius = 0;
  };
  void ArcPiece(const Point& to, const Point& centre, const Sweep& sweep, Plane plane, int feed);
  static void RefuseFarPoint(const Point& point);
  void Frame(const std::string& words);
  std::string MotionWord(int code);
  std::string FeedWord(int feed_mm_min);
  std::string Increment(char letter, std::size_t axis, const Point& to) const;

  LineWriter writer_;
  ArcOutput arcs_;
  FrameCounter numbers_{kH33NumberWrap};
  Point at_{};  // exact
  Length highestZ_ = 0;
  int motion_ = -1;
  int feed_ = -1;
  int planeCode_ = 17;
  long arcsAsChords_ = 0;
  long arcFrames_ = 0;
  std::uint32_t frames_ = 0;
};

// A length rounded to 0.01 mm, half away from zero.
long TapeUnits(Length length);

}  // namespace h33
