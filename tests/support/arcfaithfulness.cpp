#include "arcfaithfulness.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "format/bytesource.h"
#include "format/textformat.h"

namespace h33 {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// How far rounding to the tape's 0.01 mm may move a frame's ends and its
// centre, mm, with room to spare: a piece that goes the wrong way round
// misses by nearly a whole turn. The angle's slack is wider than the tape
// writer's own (8 grid steps): what it writes as an arc passes.
constexpr double kGridSlack_mm = 0.05;
constexpr double kAngleSlack_mm = 0.1;

// A point in the plane's axes in right-handed order, XZ as (Z, X), so that
// G03 turns positively in every plane.
struct InPlane {
  double first = 0, second = 0, depth = 0;
};

InPlane ToPlane(const Point3& point, Plane plane) {
  switch (plane) {
    case Plane::XZ: return {point.z, point.x, point.y};
    case Plane::YZ: return {point.y, point.z, point.x};
    case Plane::XY: break;
  }
  return {point.x, point.y, point.z};
}

double AngleAbout(const InPlane& centre, const InPlane& point) {
  return std::atan2(point.second - centre.second, point.first - centre.first);
}

// The sweep from `from` to `to` about `centre` in a sense: positive ones in
// (0, 2π], negative in [−2π, 0); a whole turn when the two meet.
double SweepAbout(const InPlane& centre, const InPlane& from, const InPlane& to, bool positive) {
  if (from.first == to.first && from.second == to.second) return positive ? kTwoPi : -kTwoPi;
  double sweep = std::remainder(AngleAbout(centre, to) - AngleAbout(centre, from), kTwoPi);
  if (positive && sweep <= 0) sweep += kTwoPi;
  if (!positive && sweep >= 0) sweep -= kTwoPi;
  return sweep;
}

double Distance(const Point3& a, const Point3& b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

double PathLength(const ToolpathMove& move) {
  std::vector<Point3> points;
  FlattenMove(move, 1e-4, points);
  double length = 0;
  Point3 from = move.start;
  for (const Point3& point : points) {
    length += Distance(from, point);
    from = point;
  }
  return length;
}

std::vector<ToolpathMove> CuttingMoves(const std::string& tape) {
  MemorySource source(tape);
  ToolpathReader reader(source, FeedUnits::kMmPerMinute);
  std::vector<ToolpathMove> moves;
  for (ToolpathMove move; reader.Next(move);) {
    if (move.kind == MoveKind::kFeed) continue;
    // The rapid moves to the arc's start come first.
    if (move.kind == MoveKind::kRapid && moves.empty()) continue;
    moves.push_back(move);
  }
  return moves;
}

}  // namespace

std::string ArcUnfaithfulness(const ExactArc& arc, const std::string& tape) {
  const bool positive = !arc.clockwise;
  const InPlane centre = ToPlane(arc.centre, arc.plane);
  const InPlane start = ToPlane(arc.start, arc.plane);
  const double radius = std::hypot(start.first - centre.first, start.second - centre.second);
  const double ownSweep = SweepAbout(centre, start, ToPlane(arc.end, arc.plane), positive);
  const double sweep = ownSweep + (positive ? 1 : -1) * kTwoPi * (arc.turns - 1);
  const double rise = ToPlane(arc.end, arc.plane).depth - start.depth;
  const double length = std::hypot(radius * sweep, rise);
  const double angleSlack = std::min(std::numbers::pi / 2, kAngleSlack_mm / radius);

  const std::vector<ToolpathMove> moves = CuttingMoves(tape);
  double swept = 0, cut = 0;
  for (const ToolpathMove& move : moves) {
    const InPlane from = ToPlane(move.start, arc.plane);
    const InPlane to = ToPlane(move.end, arc.plane);
    cut += PathLength(move);
    if (move.kind != MoveKind::kCircular) {
      // A chord, or a piece too short for an arc: the arc's angle between its ends.
      swept += std::remainder(AngleAbout(centre, to) - AngleAbout(centre, from), kTwoPi);
      continue;
    }
    if (move.plane != arc.plane) return Sprintf("line %u: an arc frame in another plane", move.line);
    const double own =
        SweepAbout(ToPlane(move.centre, arc.plane), from, to, move.sense == 3);
    if ((own > 0) != positive) {
      return Sprintf("line %u: the arc frame turns against the G-code arc (%.6f rad)", move.line, own);
    }
    const double meant = SweepAbout(centre, from, to, positive);
    if (std::abs(std::remainder(own - meant, kTwoPi)) > angleSlack) {
      return Sprintf("line %u: the arc frame sweeps %.6f rad where the G-code arc sweeps %.6f",
                     move.line, own, meant);
    }
    swept += own;
  }
  const double frames = static_cast<double>(std::max<std::size_t>(moves.size(), 1));
  if (std::abs(swept - sweep) > std::min(std::numbers::pi / 2, frames * angleSlack)) {
    return Sprintf("the tape sweeps %.6f rad in %zu frames, the G-code arc %.6f", swept, moves.size(),
                   sweep);
  }
  if (std::abs(cut - length) > frames * kGridSlack_mm + std::abs(sweep) * kGridSlack_mm) {
    return Sprintf("the tape cuts %.4f mm in %zu frames, the G-code arc %.4f mm", cut, moves.size(),
                   length);
  }
  return {};
}

namespace {

constexpr double kHalfPi = std::numbers::pi / 2;

// A number as the program writes it, and the value it then has.
double Written(double value) { return std::round(value * 1e4) / 1e4; }

std::string Number(double value) { return Sprintf("%.4f", Written(value)); }

// The letters of a plane's axes in right-handed order (XZ as Z, X), of the
// third axis and of the centre offsets along the first two.
struct PlaneLetters {
  char first, second, normal, firstOffset, secondOffset;
  const char* code;
};

PlaneLetters LettersOf(Plane plane) {
  switch (plane) {
    case Plane::XZ: return {'Z', 'X', 'Y', 'K', 'I', "G18"};
    case Plane::YZ: return {'Y', 'Z', 'X', 'J', 'K', "G19"};
    case Plane::XY: break;
  }
  return {'X', 'Y', 'Z', 'I', 'J', "G17"};
}

Point3 FromPlane(double first, double second, double depth, Plane plane) {
  switch (plane) {
    case Plane::XZ: return {second, depth, first};
    case Plane::YZ: return {depth, first, second};
    case Plane::XY: break;
  }
  return {first, second, depth};
}

double Between(ArcChoices& choose, double low, double high) {
  return low + (high - low) * choose.Next();
}

bool OneIn(ArcChoices& choose, int times) { return choose.Next() * times < 1; }

// Where an arc starts or ends: anywhere, or a hair beside an axis through
// its centre.
double AngleNear(ArcChoices& choose, double radius) {
  if (OneIn(choose, 2)) return Between(choose, -std::numbers::pi, std::numbers::pi);
  const double quarter = std::floor(Between(choose, 0, 4));
  const double hair = Between(choose, -0.015, 0.015);
  return quarter * kHalfPi + hair / radius;
}

}  // namespace

ArcProgram MakeArcProgram(ArcChoices& choose) {
  const Plane plane = static_cast<Plane>(static_cast<int>(Between(choose, 0, 3)));
  const PlaneLetters letters = LettersOf(plane);
  const double radius = std::exp(Between(choose, std::log(0.5), std::log(2000.0)));
  const double centreFirst = Between(choose, -300, 300);
  const double centreSecond = Between(choose, -300, 300);
  const double from = AngleNear(choose, radius);
  const bool whole = OneIn(choose, 8);
  const double to = whole ? from : AngleNear(choose, radius);
  const double depthFrom = Written(Between(choose, -30, 30));
  const double depthTo = OneIn(choose, 3) ? Written(depthFrom + Between(choose, -30, 30)) : depthFrom;

  const double startFirst = Written(centreFirst + radius * std::cos(from));
  const double startSecond = Written(centreSecond + radius * std::sin(from));
  const double offsetFirst = Written(centreFirst - startFirst);
  const double offsetSecond = Written(centreSecond - startSecond);
  const double endFirst = whole ? startFirst : Written(centreFirst + radius * std::cos(to));
  const double endSecond = whole ? startSecond : Written(centreSecond + radius * std::sin(to));

  ArcProgram program;
  program.arc.plane = plane;
  program.arc.clockwise = OneIn(choose, 2);
  program.arc.start = FromPlane(startFirst, startSecond, depthFrom, plane);
  program.arc.end = FromPlane(endFirst, endSecond, depthTo, plane);
  program.arc.centre = FromPlane(startFirst + offsetFirst, startSecond + offsetSecond, depthFrom, plane);
  program.gcode = Sprintf("G21 G90 %s\nG0 %c%s %c%s %c%s\nG1 F300\n", letters.code, letters.first,
                          Number(startFirst).c_str(), letters.second, Number(startSecond).c_str(),
                          letters.normal, Number(depthFrom).c_str());
  program.gcode += Sprintf("%s %c%s %c%s %c%s", program.arc.clockwise ? "G2" : "G3", letters.first,
                           Number(endFirst).c_str(), letters.second, Number(endSecond).c_str(),
                           letters.normal, Number(depthTo).c_str());
  // A radius instead of the centre, negative for the longer way round; not
  // near half a circle, where the radius's last digit moves the centre far.
  const double sweep = std::abs(std::remainder(to - from, 2 * std::numbers::pi));
  if (!whole && std::abs(sweep - std::numbers::pi / 2) < 1.4 && OneIn(choose, 3)) {
    const double onLeft = std::sin(to - from) > 0 ? 1 : -1;
    const double shorter = program.arc.clockwise ? -onLeft : onLeft;
    program.gcode += " R" + Number(shorter * radius) + "\n";
    program.arc.centre = FromPlane(centreFirst, centreSecond, depthFrom, plane);
  } else {
    program.gcode += Sprintf(" %c%s %c%s", letters.firstOffset, Number(offsetFirst).c_str(),
                             letters.secondOffset, Number(offsetSecond).c_str());
    if (OneIn(choose, 6)) {
      program.arc.turns = 2 + static_cast<int>(Between(choose, 0, 3));
      program.gcode += Sprintf(" P%d", program.arc.turns);
    }
    program.gcode += "\n";
  }
  return program;
}

}  // namespace h33
