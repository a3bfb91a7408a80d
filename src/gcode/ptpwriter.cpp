#include "gcode/ptpwriter.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "format/refusal.h"
#include "format/textformat.h"

namespace h33 {
namespace {

// A word's six digits: 9999.99 mm.
constexpr long kLargestWord = 999999;
constexpr double kChordTolerance_mm = 0.01;
constexpr double kHalfPi = std::numbers::pi / 2;

struct PlaneIndices {
  std::size_t first, second, normal;
  char firstLetter, secondLetter;  // of the arc vector
};

PlaneIndices IndicesOf(Plane plane) {
  switch (plane) {
    case Plane::XZ: return {0, 2, 1, 'I', 'K'};
    case Plane::YZ: return {1, 2, 0, 'J', 'K'};
    case Plane::XY: break;
  }
  return {0, 1, 2, 'I', 'J'};
}

int PlaneCode(Plane plane) {
  switch (plane) {
    case Plane::XZ: return 18;
    case Plane::YZ: return 19;
    case Plane::XY: break;
  }
  return 17;
}

Length Rounded(double value) { return static_cast<Length>(std::llround(value)); }

// The point at `angle` on the circle about `centre` of `radius`, the normal
// axis at `normal`.
Point OnCircle(const Point& centre, double radius, double angle, const PlaneIndices& axes,
               Length normal) {
  Point point = centre;
  point[axes.first] = centre[axes.first] + Rounded(radius * std::cos(angle));
  point[axes.second] = centre[axes.second] + Rounded(radius * std::sin(angle));
  // Exactly on the axes where the angle is a quarter turn.
  const double quarters = angle / kHalfPi;
  if (std::abs(quarters - std::round(quarters)) < 1e-12) {
    const long quarter = ((std::lround(quarters) % 4) + 4) % 4;
    const Length r = Rounded(radius);
    point[axes.first] = centre[axes.first] + (quarter == 0 ? r : quarter == 2 ? -r : 0);
    point[axes.second] = centre[axes.second] + (quarter == 1 ? r : quarter == 3 ? -r : 0);
  }
  point[axes.normal] = normal;
  return point;
}

// The centre on tape, in the plane's two axes: of the points of 0.01 mm next
// to the exact centre, the one from which the arc's start and end on tape
// are equally far, as nearly as can be: the controller runs the arc from
// the start about that centre to the end.
std::array<long, 2> TapeCentreOf(const std::array<long, 2>& start, const std::array<long, 2>& end,
                                 const std::array<Length, 2>& centre) {
  const long first = TapeUnits(centre[0]);
  const long second = TapeUnits(centre[1]);
  // The rounded centre first, so that it wins a tie.
  constexpr long kSteps[9][2] = {{0, 0},  {-1, 0}, {1, 0},  {0, -1}, {0, 1},
                                 {-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
  std::array<long, 2> best{first, second};
  double bestMismatch = -1;
  for (const auto& step : kSteps) {
    const double a = static_cast<double>(first + step[0]);
    const double b = static_cast<double>(second + step[1]);
    const double mismatch =
        std::abs(std::hypot(static_cast<double>(start[0]) - a, static_cast<double>(start[1]) - b) -
                 std::hypot(static_cast<double>(end[0]) - a, static_cast<double>(end[1]) - b));
    if (bestMismatch < 0 || mismatch < bestMismatch - 1e-9) {
      bestMismatch = mismatch;
      best = {first + step[0], second + step[1]};
    }
  }
  return best;
}

// How far, in grid steps, rounding may move an arc frame's ends and its
// centre (each end half a step on each axis, the centre up to two steps),
// with room to spare: the most by which the sweep on tape may differ from
// the exact one, times the radius. A piece turned the wrong way round
// differs by nearly a whole turn.
constexpr double kSweepSlack_units = 8;
// An arc piece shorter than this (mm × 10⁷) is as good as its chord: it is
// within a grid step of it.
constexpr double kShortestArcPiece = 2.0 * kLengthPerTapeUnit;

// The sweep from the angle `from` to the angle `to` (both of atan2) in a
// sense: positive ones in (0, 2π], negative in [−2π, 0); a whole turn when
// the ends meet.
double SweepBetween(double from, double to, bool closed, bool positive) {
  constexpr double kTurn = 2 * std::numbers::pi;
  if (closed) return positive ? kTurn : -kTurn;
  double sweep = to - from;
  if (positive && sweep <= 0) sweep += kTurn;
  if (!positive && sweep >= 0) sweep -= kTurn;
  return sweep;
}

// The sweep the controller runs from `from` about `centre` to `end`, in the
// plane's two axes in grid steps.
double SweepOnTape(const std::array<long, 2>& from, const std::array<long, 2>& end,
                   const std::array<long, 2>& centre, bool positive) {
  const auto angleOf = [&](const std::array<long, 2>& point) {
    return std::atan2(static_cast<double>(point[1] - centre[1]),
                      static_cast<double>(point[0] - centre[0]));
  };
  return SweepBetween(angleOf(from), angleOf(end), from == end, positive);
}

// A coordinate or arc vector word: the letter, a sign and six digits, as
// "%c%+07ld" writes it; formatted directly, since every frame has some.
std::string Word(char letter, long units) {
  std::string word{letter, units < 0 ? '-' : '+'};
  return word + ZeroPadded(units < 0 ? -units : units, 6);
}

}  // namespace

long TapeUnits(Length length) {
  const Length half = kLengthPerTapeUnit / 2;
  return static_cast<long>(length >= 0 ? (length + half) / kLengthPerTapeUnit
                                       : -((-length + half) / kLengthPerTapeUnit));
}

PtpWriter::PtpWriter(ByteSink& sink, ArcOutput arcs) : writer_(sink), arcs_(arcs) {
  writer_.Write("%\n");
}

void PtpWriter::Words(std::string_view words) { Frame(std::string(words)); }

void PtpWriter::StandAt(const Point& point) {
  at_ = point;
  highestZ_ = std::max(highestZ_, point[2]);
}

bool PtpWriter::Straight(const Point& to, int feed_mm_min, bool rapid) {
  RefuseFarPoint(to);
  // A move longer than a word holds goes in equal pieces.
  long longest = 0;
  for (std::size_t axis = 0; axis < 3; ++axis) {
    longest = std::max(longest, std::abs(TapeUnits(to[axis]) - TapeUnits(at_[axis])));
  }
  if (longest > kLargestWord) {
    const long pieces = (longest + kLargestWord - 1) / kLargestWord + 1;
    const Point from = at_;
    for (long piece = 1; piece < pieces; ++piece) {
      Point point;
      for (std::size_t axis = 0; axis < 3; ++axis) {
        point[axis] = from[axis] + (to[axis] - from[axis]) / pieces * piece;
      }
      Straight(point, feed_mm_min, rapid);
    }
  }
  std::string words;
  for (std::size_t axis = 0; axis < 3; ++axis) {
    if (TapeUnits(to[axis]) != TapeUnits(at_[axis])) words += Increment("XYZ"[axis], axis, to);
  }
  StandAt(to);
  if (words.empty()) return false;
  const int feed = rapid ? kRapidFeed_mm_min : feed_mm_min;
  Frame(MotionWord(rapid ? 0 : 1) + words + FeedWord(feed));
  return true;
}

void PtpWriter::Arc(const Point& to, const Point& centre, bool positive, Plane plane,
                    int feed_mm_min, long turns) {
  RefuseFarPoint(to);
  RefuseFarPoint(centre);
  const PlaneIndices axes = IndicesOf(plane);
  const auto angleOf = [&](const Point& point) {
    return std::atan2(static_cast<double>(point[axes.second] - centre[axes.second]),
                      static_cast<double>(point[axes.first] - centre[axes.first]));
  };
  const double radius = std::hypot(static_cast<double>(at_[axes.first] - centre[axes.first]),
                                   static_cast<double>(at_[axes.second] - centre[axes.second]));
  const double start = angleOf(at_);
  const bool closed = to[axes.first] == at_[axes.first] && to[axes.second] == at_[axes.second];
  const double direction = positive ? 1 : -1;
  const double sweep = SweepBetween(start, angleOf(to), closed, positive) +
                       direction * 2 * std::numbers::pi * static_cast<double>(turns - 1);

  // An arc wider than an arc vector's six digits is as good as straight:
  // it goes on tape as chords.
  const bool chords = arcs_ == ArcOutput::kChords || radius > kLargestWord * kLengthPerTapeUnit;
  if (chords && arcs_ != ArcOutput::kChords) ++arcsAsChords_;
  // The angles the arc is cut at, after its start.
  std::vector<double> cuts;
  if (chords) {
    const double tolerance = kChordTolerance_mm * static_cast<double>(kLengthPerMm);
    const double step = 2 * std::acos(std::max(-1.0, 1 - tolerance / radius));
    const auto pieces = static_cast<long>(std::ceil(std::abs(sweep) / std::max(step, 1e-6)));
    for (long i = 1; i < pieces; ++i) {
      cuts.push_back(start + sweep * static_cast<double>(i) / static_cast<double>(pieces));
    }
  } else if (arcs_ == ArcOutput::kQuadrants) {
    double boundary = (positive ? std::floor(start / kHalfPi) + 1 : std::ceil(start / kHalfPi) - 1) *
                      kHalfPi;
    // A start within a hair of an axis is on it: no piece of nothing.
    if (std::abs(boundary - start) < 1e-9) boundary += direction * kHalfPi;
    for (; (boundary - start) * direction < std::abs(sweep) - 1e-9; boundary += direction * kHalfPi) {
      cuts.push_back(boundary);
    }
  } else if (closed || turns > 1) {
    // No frame goes round whole: every half turn is one.
    for (double half = 1; half * std::numbers::pi < std::abs(sweep) - 1e-9; ++half) {
      cuts.push_back(start + direction * half * std::numbers::pi);
    }
  }
  const Length normalFrom = at_[axes.normal];
  const Length normalRise = to[axes.normal] - normalFrom;
  double pieceStart = start;
  for (const double angle : cuts) {
    const double share = (angle - start) / sweep;
    const Point point = OnCircle(centre, radius, angle, axes,
                                 normalFrom + Rounded(static_cast<double>(normalRise) * share));
    if (chords) {
      Straight(point, feed_mm_min, false);
    } else {
      ArcPiece(point, centre, {pieceStart, angle - pieceStart, radius}, plane, feed_mm_min);
    }
    pieceStart = angle;
  }
  if (chords) {
    Straight(to, feed_mm_min, false);
  } else {
    ArcPiece(to, centre, {pieceStart, start + sweep - pieceStart, radius}, plane, feed_mm_min);
  }
}

// Positive turns are G03 in the XY and YZ planes; the XZ plane is seen from
// +Y, where its axes X, Z turn the other way.
void PtpWriter::ArcPiece(const Point& to, const Point& centre, const Sweep& sweep, Plane plane,
                         int feed) {
  const PlaneIndices axes = IndicesOf(plane);
  const bool positive = sweep.angle > 0;
  const std::array<long, 2> from{TapeUnits(at_[axes.first]), TapeUnits(at_[axes.second])};
  const std::array<long, 2> end{TapeUnits(to[axes.first]), TapeUnits(to[axes.second])};
  const std::array<long, 2> tapeCentre =
      TapeCentreOf(from, end, {centre[axes.first], centre[axes.second]});
  // Rounded to the grid, the ends and the centre of a piece shorter than a
  // few grid steps may fall so that the controller would run it the other
  // way round, a whole circle: such a piece goes straight, its end exact.
  // A longer piece whose rounding would do the same goes in two halves.
  // No frame goes round whole either: the controller's full circle is two.
  const double tapeSweep = SweepOnTape(from, end, tapeCentre, positive);
  const double slack = std::min(kHalfPi, kSweepSlack_units * kLengthPerTapeUnit / sweep.radius);
  if (from == end || std::abs(tapeSweep - sweep.angle) > slack) {
    if (std::abs(sweep.angle) * sweep.radius < kShortestArcPiece) {
      Straight(to, feed, false);
      return;
    }
    const double middle = sweep.from + sweep.angle / 2;
    const Point half = OnCircle(centre, sweep.radius, middle, axes,
                                at_[axes.normal] + (to[axes.normal] - at_[axes.normal]) / 2);
    ArcPiece(half, centre, {sweep.from, sweep.angle / 2, sweep.radius}, plane, feed);
    ArcPiece(to, centre, {middle, sweep.angle / 2, sweep.radius}, plane, feed);
    return;
  }
  const bool anticlockwise = positive != (plane == Plane::XZ);
  std::string words;
  if (PlaneCode(plane) != planeCode_) {
    planeCode_ = PlaneCode(plane);
    words += Sprintf("G%d", planeCode_);
  }
  words += MotionWord(anticlockwise ? 3 : 2);
  for (std::size_t axis = 0; axis < 3; ++axis) {
    const bool inPlane = axis == axes.first || axis == axes.second;
    if (inPlane || TapeUnits(to[axis]) != TapeUnits(at_[axis])) {
      words += Increment("XYZ"[axis], axis, to);
    }
  }
  const auto vector = [&](std::size_t axis, char letter) {
    const long units =
        TapeUnits(at_[axis]) - (axis == axes.first ? tapeCentre[0] : tapeCentre[1]);
    if (units > kLargestWord || units < -kLargestWord) {
      throw ProgramRefusal("радиус дуги больше 9999.99 мм: вектор дуги не записать");
    }
    return Word(letter, units);
  };
  words += vector(axes.first, axes.firstLetter) + vector(axes.second, axes.secondLetter);
  StandAt(to);
  Frame(words + FeedWord(feed));
  ++arcFrames_;
}

// Every sum of lengths stays far within 64 bits.
void PtpWriter::RefuseFarPoint(const Point& point) {
  constexpr Length kFarthest = 1'000'000 * kLengthPerMm;
  for (const Length coordinate : point) {
    if (coordinate > kFarthest || coordinate < -kFarthest) {
      throw ProgramRefusal("перемещение в точку дальше 1 км от нуля программы");
    }
  }
}

std::string PtpWriter::Increment(char letter, std::size_t axis, const Point& to) const {
  const long units = TapeUnits(to[axis]) - TapeUnits(at_[axis]);
  if (units > kLargestWord || units < -kLargestWord) {
    throw ProgramRefusal(
        Sprintf("перемещение по оси %c больше 9999.99 мм в одном кадре: его не записать", letter));
  }
  return Word(letter, units);
}

std::string PtpWriter::MotionWord(int code) {
  if (code == motion_) return {};
  motion_ = code;
  return "G" + ZeroPadded(code, 2);
}

std::string PtpWriter::FeedWord(int feed_mm_min) {
  if (feed_mm_min == feed_) return {};
  feed_ = feed_mm_min;
  return "F" + std::to_string(feed_mm_min);
}

void PtpWriter::Frame(const std::string& words) {
  writer_.Write("N" + ZeroPadded(numbers_.Take(), 3) + words + "\n");
  ++frames_;
}

}  // namespace h33
