#include "picture/toolpath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

#include "format/feedcode.h"
#include "format/numbers.h"

namespace h33 {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// End and start radii of a sound arc differ by rounding to 0.01 mm only.
constexpr double kRadiusSlack = 0.02;  // mm
constexpr int kMostArcPieces = 4096;

// A point in a plane's own axes: (first, second) in the plane, `depth` along
// the third axis.
struct PlanePoint {
  double first = 0, second = 0, depth = 0;
};

PlanePoint ToPlane(const Point3& point, Plane plane) {
  switch (plane) {
    case Plane::XZ: return {point.x, point.z, point.y};
    case Plane::YZ: return {point.y, point.z, point.x};
    case Plane::XY: break;
  }
  return {point.x, point.y, point.z};
}

Point3 FromPlane(const PlanePoint& point, Plane plane) {
  switch (plane) {
    case Plane::XZ: return {point.first, point.depth, point.second};
    case Plane::YZ: return {point.depth, point.first, point.second};
    case Plane::XY: break;
  }
  return {point.first, point.second, point.depth};
}

double RadiusMismatch(double startFirst, double startSecond, double chordFirst,
                      double chordSecond) {
  return std::fabs(std::hypot(startFirst + chordFirst, startSecond + chordSecond) -
                   std::hypot(startFirst, startSecond));
}

// Some post-processors write the centre offsets without their signs. When the
// written signs put the end point off the start circle and other signs put it
// on, those signs are meant.
void MendOffsetSigns(PlanePoint& offsets, const PlanePoint& chord) {
  const double radius = std::hypot(offsets.first, offsets.second);
  const double slack = kRadiusSlack + radius * 1e-3;
  if (RadiusMismatch(offsets.first, offsets.second, chord.first, chord.second) <= slack) return;
  constexpr std::array<std::pair<double, double>, 3> kSigns{{{-1, 1}, {1, -1}, {-1, -1}}};
  for (const auto& [signFirst, signSecond] : kSigns) {
    const double first = signFirst * offsets.first;
    const double second = signSecond * offsets.second;
    if (RadiusMismatch(first, second, chord.first, chord.second) <= slack) {
      offsets.first = first;
      offsets.second = second;
      return;
    }
  }
}

Point3 ToPoint(const FrameVector& vector) { return {vector.x, vector.y, vector.z}; }

Point3 Add(const Point3& a, const Point3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

std::string OutOfReachText(std::uint32_t line, const std::string& word) {
  return "строка " + std::to_string(line) + ": слово " + word +
         " выходит за пределы станка: точка дальше " +
         std::to_string(static_cast<long long>(kMachineReach)) + " мм от начала программы";
}

}  // namespace

OutOfReachError::OutOfReachError(std::uint32_t line, const std::string& word)
    : std::runtime_error(OutOfReachText(line, word)), line_(line) {}

// `letters` name the words that place the point's x, y and z.
void ToolpathReader::CheckReach(const Point3& point, const char* letters) const {
  const double axes[] = {point.x, point.y, point.z};
  for (std::size_t axis = 0; axis < 3; ++axis) {
    // Written so that a NaN fails it too.
    if (std::fabs(axes[axis]) <= kMachineReach) continue;
    const char letter = letters[axis];
    throw OutOfReachError(line_, letter + std::string(frame_.Word(letter)));
  }
}

double ChordLength(const FrameVector& chord) {
  return std::sqrt(double{chord.x} * chord.x + double{chord.y} * chord.y + double{chord.z} * chord.z);
}

double FirstAxis(const Point3& point, Plane plane) { return ToPlane(point, plane).first; }
double SecondAxis(const Point3& point, Plane plane) { return ToPlane(point, plane).second; }

ToolpathReader::ToolpathReader(ByteSource& source, FeedUnits units)
    : reader_(source), units_(units) {}

ToolpathReader::ToolpathReader(ByteSource& source, FeedUnits units, std::uint32_t line,
                               const LineCheckpoint& from)
    : reader_(source),
      units_(units),
      recordsCheckpoints_(false),
      line_(line),
      position_(from.position),
      path_(from.path),
      feed_(from.feed),
      modal_(from.modal) {}

bool ToolpathReader::TakeFeed() {
  const std::string_view word = frame_.FeedText();
  if (word.empty()) return false;
  const int value = ParseInt(word);
  feed_ = std::max(0, units_ == FeedUnits::kFeedCode ? DecodeFeed(value) : value);
  return true;
}

bool ToolpathReader::Next(ToolpathMove& move) {
  for (;;) {
    if (recordsCheckpoints_ && line_ % kLineCheckpointStride == 0 &&
        checkpoints_.size() == line_ / kLineCheckpointStride) {
      checkpoints_.push_back({reader_.Consumed(), path_, position_, feed_, modal_});
    }
    if (!reader_.ReadLine(text_, kProgramLineLimit)) return false;
    ++line_;
    frame_.Assign(text_);
    modal_.Take(frame_.Codes());
    const bool feedSet = TakeFeed();
    const FrameVector chord = frame_.Move();
    if (!chord.present && !feedSet) continue;

    move = ToolpathMove{};
    move.line = line_;
    move.feed = feed_;
    move.plane = modal_.ActivePlane();
    move.sense = modal_.ArcSense();
    move.start = position_;
    move.pathStart = path_;
    if (chord.present) {
      position_ = Add(position_, ToPoint(chord));
      CheckReach(position_, "XYZ");
      path_ += ChordLength(chord);
      const FrameVector offsets = frame_.ArcOffsets();
      if (offsets.present) {
        PlanePoint inPlane = ToPlane(ToPoint(offsets), move.plane);
        MendOffsetSigns(inPlane, ToPlane(ToPoint(chord), move.plane));
        const PlanePoint start = ToPlane(move.start, move.plane);
        move.centre = FromPlane(
            {start.first - inPlane.first, start.second - inPlane.second, start.depth}, move.plane);
        CheckReach(move.centre, "IJK");
        move.kind = MoveKind::kCircular;
      } else {
        move.kind = modal_.Rapid() ? MoveKind::kRapid : MoveKind::kLinear;
      }
    } else {
      move.kind = MoveKind::kFeed;
    }
    move.end = position_;
    move.pathEnd = path_;
    return true;
  }
}

void FlattenMove(const ToolpathMove& move, double tolerance, std::vector<Point3>& points) {
  if (move.kind != MoveKind::kCircular) {
    points.push_back(move.end);
    return;
  }
  const PlanePoint start = ToPlane(move.start, move.plane);
  const PlanePoint end = ToPlane(move.end, move.plane);
  const PlanePoint centre = ToPlane(move.centre, move.plane);
  const double startRadius = std::hypot(start.first - centre.first, start.second - centre.second);
  const double endRadius = std::hypot(end.first - centre.first, end.second - centre.second);
  if (startRadius == 0 || endRadius == 0) {
    points.push_back(move.end);
    return;
  }
  const double startAngle = std::atan2(start.second - centre.second, start.first - centre.first);
  const double endAngle = std::atan2(end.second - centre.second, end.first - centre.first);
  const bool closed = start.first == end.first && start.second == end.second;
  // G02 turns clockwise seen from the positive end of the plane's normal. XY
  // (seen from +Z) and YZ (from +X) are drawn that way round; XZ is drawn
  // with X right and Z up, as seen from −Y, so there G02 turns the other way.
  const bool positive = (move.sense == 3) != (move.plane == Plane::XZ);
  // Positive sweeps in (0, 2π], negative ones in [−2π, 0).
  double sweep = closed ? (positive ? kTwoPi : -kTwoPi) : std::remainder(endAngle - startAngle, kTwoPi);
  if (positive && sweep <= 0) sweep += kTwoPi;
  if (!positive && sweep >= 0) sweep -= kTwoPi;

  const double radius = std::max(startRadius, endRadius);
  const double cosine = std::clamp(1 - tolerance / radius, -1.0, 1.0);
  const double step = std::max(2 * std::acos(cosine), 1e-9);
  // Bounded before the conversion: a huge radius asks for more pieces than an
  // int holds, and a NaN sweep for none.
  const double wanted = std::ceil(std::fabs(sweep) / step);
  const int pieces = wanted > kMostArcPieces ? kMostArcPieces
                     : wanted >= 1           ? static_cast<int>(wanted)
                                             : 1;
  for (int piece = 1; piece < pieces; ++piece) {
    const double t = static_cast<double>(piece) / pieces;
    const double angle = startAngle + t * sweep;
    const double r = startRadius + t * (endRadius - startRadius);
    points.push_back(FromPlane({centre.first + r * std::cos(angle),
                                centre.second + r * std::sin(angle),
                                start.depth + t * (end.depth - start.depth)},
                               move.plane));
  }
  points.push_back(move.end);
}

}  // namespace h33
