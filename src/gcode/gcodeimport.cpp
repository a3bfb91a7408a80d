#include "gcode/gcodeimport.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/lineio.h"
#include "format/pathtext.h"
#include "format/textformat.h"

namespace h33 {
namespace {

// Lines longer than this are no G-code a post-processor writes.
constexpr std::size_t kLineLimit = 4096;
// A peck drill goes back down to this far above where the last peck ended:
// the controller's own parameter, which a program does not state.
constexpr Length kPeckClearance = kLengthPerMm;

enum Axis : std::size_t { kX = 0, kY = 1, kZ = 2 };

// A plane's two axes, in the order in which a positive arc turns from the
// first towards the second, and its normal.
struct PlaneIndices {
  std::size_t first, second, normal;
};

PlaneIndices IndicesOf(Plane plane) {
  switch (plane) {
    case Plane::XZ: return {kX, kZ, kY};
    case Plane::YZ: return {kY, kZ, kX};
    case Plane::XY: break;
  }
  return {kX, kY, kZ};
}

[[noreturn]] void Refuse(long line, const std::string& why) {
  throw GcodeRefusal(Sprintf("Строка %ld: %s.", line, why.c_str()));
}

std::string CodeText(int tenths) {
  return tenths % 10 == 0 ? Sprintf("%d", tenths / 10) : Sprintf("%d.%d", tenths / 10, tenths % 10);
}

// The codes of one letter in a block, as tenths.
std::vector<int> Codes(const GcodeBlock& block, char letter) {
  std::vector<int> codes;
  for (const GcodeWord& word : block.words) {
    if (word.letter != letter) continue;
    const std::optional<int> code = CodeInTenths(word.value);
    if (!code) Refuse(block.line, Sprintf("код %c с дробной частью не известен", letter));
    codes.push_back(*code);
  }
  return codes;
}

[[noreturn]] void RefuseUnknownCode(long line, int tenths, bool withMove) {
  Refuse(line, "неизвестный код G" + CodeText(tenths) +
                   (withMove ? " в кадре с перемещением" : " не поддерживается"));
}

bool Contains(const std::vector<int>& codes, int code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// Beyond any program's turns or repeats; it bounds what one block writes
// (a helix of many turns as chords is hundreds of frames a turn).
constexpr Millionths kMostCount = 9999;

// A count (the turns P of an arc, the repeats L of a drilling cycle): a
// whole number from 1 to 9999; 1 when the block has none.
long Count(const GcodeBlock& block, char letter, const char* what) {
  const std::optional<Millionths> value = block.Value(letter);
  if (!value) return 1;
  if (*value < kOne || *value % kOne != 0) {
    Refuse(block.line, Sprintf("%s %c должно быть целым числом не меньше 1", what, letter));
  }
  if (*value > kMostCount * kOne) {
    Refuse(block.line, Sprintf("%s %c больше %lld", what, letter, static_cast<long long>(kMostCount)));
  }
  return static_cast<long>(*value / kOne);
}

// A program rounds its end points and centres to its last digit, so an
// arc's two radii may differ by that much: up to 0.02 mm (a program rounded
// to the tape's 0.01 mm), or 0.1 % of the radius (an inch program of three
// decimals with a wide arc).
double RadiusTolerance(double radius) {
  return std::max(2.0 * kLengthPerTapeUnit, radius / 1000);
}

// The centre moved along the chord's perpendicular bisector to where start
// and end are equally far from it, the nearest such point to `centre`: the
// arc on its true circle. Not farther than four times the radii differ,
// though: an arc that ends a hair before its start, or sweeps a hair, has a
// chord so short that its bisector lies far from the centre the program
// means. Such a centre stays where it is, and the tape's own centre evens
// the radii out on its grid.
Point OnBisector(const Point& start, const Point& end, Point centre, const PlaneIndices& axes) {
  const std::size_t first = axes.first, second = axes.second;
  const double chordFirst = static_cast<double>(end[first] - start[first]);
  const double chordSecond = static_cast<double>(end[second] - start[second]);
  const double chordSquared = chordFirst * chordFirst + chordSecond * chordSecond;
  if (chordSquared == 0) return centre;
  const auto fromMiddle = [&](std::size_t axis) {
    return static_cast<double>(centre[axis]) -
           (static_cast<double>(start[axis]) + static_cast<double>(end[axis])) / 2;
  };
  const double along =
      (fromMiddle(first) * chordFirst + fromMiddle(second) * chordSecond) / chordSquared;
  const auto radiusTo = [&](const Point& point) {
    return std::hypot(static_cast<double>(point[first] - centre[first]),
                      static_cast<double>(point[second] - centre[second]));
  };
  const double mismatch = std::abs(radiusTo(start) - radiusTo(end));
  const double farthest = std::max(4 * mismatch, static_cast<double>(kLengthPerTapeUnit));
  if (std::abs(along) * std::sqrt(chordSquared) > farthest) return centre;
  centre[first] -= std::llround(along * chordFirst);
  centre[second] -= std::llround(along * chordSecond);
  return centre;
}

}  // namespace

CutterCompensationRefusal::CutterCompensationRefusal(long line)
    : GcodeRefusal(Sprintf("Строка %ld: коррекция на радиус инструмента G41, G42 не поддерживается "
                           "(её можно пропустить ключом --leave-out-cutter-compensation).",
                           line)),
      line_(line) {}

namespace {

class Interpreter {
 public:
  Interpreter(ByteSink& ptp, const ImportOptions& options)
      : writer_(ptp, options.arcs), options_(options) {}

  // Takes the block; notes in `origins`, when given, where the frames it
  // writes come from.
  void Take(const GcodeBlock& block, std::vector<TapeLineOrigin>* origins);
  // After M02 or M30 the program is over: what follows is only listed.
  bool Ended() const { return ended_; }
  void SkipAfterEnd(long line) { summary_.LeftOut("кадр после конца программы (M02, M30)", line); }
  ImportSummary Finish();

 private:
  void TakeBlock(const GcodeBlock& block);
  Length ToLength(Millionths value) const { return value * (inches_ ? 254 : 10); }
  void CheckLetters(const GcodeBlock& block);
  void TakeUnits(const std::vector<int>& g);
  void TakeFeedSpindleTool(const GcodeBlock& block, const std::vector<int>& m);
  void TakeMachineFunctions(const GcodeBlock& block, const std::vector<int>& m);
  // False when the block's axis words are no move (G4, G28, G30, G53, G92).
  bool TakeModalCodes(const GcodeBlock& block, const std::vector<int>& g);
  void Move(const GcodeBlock& block, long repeats);
  Point Target(const GcodeBlock& block) const;
  void ArcMove(const GcodeBlock& block, const Point& target);
  Point ArcCentre(const GcodeBlock& block, const Point& target, bool positive) const;
  Point RadiusCentre(const GcodeBlock& block, const Point& target, bool positive) const;
  Point VectorCentre(const GcodeBlock& block, const Point& target) const;
  // A drilling cycle is on and the block names where (or its R plane).
  bool RunsCycle(const GcodeBlock& block) const {
    return cycle_ != 0 && (block.Has('X') || block.Has('Y') || block.Has('Z') || block.Has('R'));
  }
  void Cycle(const GcodeBlock& block, const Point& target);
  void TakeStops(const std::vector<int>& m);
  int FeedFor(long line) const;

  PtpWriter writer_;
  ImportOptions options_;
  ImportSummary summary_;
  bool inches_ = false;
  bool absolute_ = true;
  bool absoluteArcCentre_ = false;
  Plane plane_ = Plane::XY;
  int motion_ = -1;  // 0..3, or -1 before any
  int cycle_ = 0;    // 73, 81, 82, 83, 85, 86, 89 or 0
  bool returnToInitial_ = true;
  Point offset_{};  // a program coordinate is a position less the offset
  Point setOffset_{};  // the offset G92 set last, which G92.2 suspends and G92.3 restores
  int feed_mm_min_ = 0;
  long spindle_ = 0;
  bool spindleOn_ = false;
  const char* spindleDirection_ = "M03";
  std::optional<long> tool_;
  std::optional<int> workOffset_;
  bool ended_ = false;
  // The canned cycle's modal values and its initial level.
  std::optional<Millionths> cycleR_, cycleZ_, cycleQ_;
  Length initialZ_ = 0;
};

void Interpreter::Take(const GcodeBlock& block, std::vector<TapeLineOrigin>* origins) {
  const std::uint32_t framesBefore = writer_.FramesWritten();
  TakeBlock(block);
  // The tape's line 1 is the start mark: frame k stands on line k + 1.
  if (origins && writer_.FramesWritten() > framesBefore) {
    origins->push_back({framesBefore + 2, block.line});
  }
}

// A block's words act in this order, whatever order they are written in:
// 1. the units (G20, G21, G70, G71), so that the block's own F is read in them;
// 2. feed, spindle speed and tool number;
// 3. tool change, spindle and coolant (M6, M3, M4, M5, M8, M9);
// 4. the modes (plane, distance, offsets, cycles) and the non-moving codes;
// 5. the motion, repeated L times for a drilling cycle;
// 6. stops and the program's end (M0, M1, M2, M30).
void Interpreter::TakeBlock(const GcodeBlock& block) {
  if (block.words.empty()) return;
  CheckLetters(block);
  const std::vector<int> g = Codes(block, 'G');
  const std::vector<int> m = Codes(block, 'M');
  try {
    TakeUnits(g);
    TakeFeedSpindleTool(block, m);
    TakeMachineFunctions(block, m);
    const bool moves = TakeModalCodes(block, g);
    const long repeats = Count(block, 'L', "число повторов цикла");
    if (repeats != 1 && !(moves && RunsCycle(block))) {
      Refuse(block.line, "повторы (L) бывают только у постоянного цикла");
    }
    if (moves) Move(block, repeats);
    TakeStops(m);
  } catch (const GcodeRefusal&) {
    throw;
  } catch (const ProgramRefusal& refusal) {
    // The tape's own limits, met while writing the block.
    Refuse(block.line, refusal.what());
  }
}

void Interpreter::CheckLetters(const GcodeBlock& block) {
  for (const GcodeWord& word : block.words) {
    const char letter = word.letter;
    if (letter == 'A' || letter == 'B' || letter == 'C') {
      Refuse(block.line, Sprintf("поворотная ось %c: у станка H33 её нет", letter));
    }
    if (letter == 'U' || letter == 'V' || letter == 'W') {
      Refuse(block.line, Sprintf("дополнительная ось %c: у станка H33 её нет", letter));
    }
    if (std::strchr("GMXYZIJKRFSTPQLNHDK", letter) == nullptr) {
      summary_.LeftOut(Sprintf("слово %c", letter), block.line);
    }
  }
}

void Interpreter::TakeUnits(const std::vector<int>& g) {
  for (const int code : g) {
    // G70, G71 are G20, G21 in the DIN dialects and on older controls.
    if (code == 200 || code == 700) inches_ = true;
    if (code == 210 || code == 710) inches_ = false;
  }
}

void Interpreter::TakeFeedSpindleTool(const GcodeBlock& block, const std::vector<int>& m) {
  if (const auto feed = block.Value('F')) {
    // mm/min, whole, as the tape states feeds; inches per minute × 25.4.
    const double mmPerMin = static_cast<double>(*feed) / kOne * (inches_ ? 25.4 : 1.0);
    feed_mm_min_ = static_cast<int>(std::min(std::llround(mmPerMin), 99999LL));
    if (*feed > 0 && feed_mm_min_ < 1) feed_mm_min_ = 1;
  }
  if (const auto speed = block.Value('S')) {
    spindle_ = static_cast<long>(std::llround(static_cast<double>(*speed) / kOne));
    if (spindleOn_ && !Contains(m, 30) && !Contains(m, 40)) writer_.Words(Sprintf("S%ld", spindle_));
  }
  if (const auto tool = block.Value('T')) tool_ = static_cast<long>(*tool / kOne);
}

void Interpreter::TakeMachineFunctions(const GcodeBlock& block, const std::vector<int>& m) {
  for (const int code : m) {
    switch (code) {
      case 60:
        writer_.Words(tool_ ? Sprintf("M06T%02ld", *tool_) : std::string("M06"));
        break;
      case 30:
      case 40:
        spindleOn_ = true;
        spindleDirection_ = code == 30 ? "M03" : "M04";
        writer_.Words(spindle_ > 0 ? Sprintf("S%ld%s", spindle_, spindleDirection_)
                                   : std::string(spindleDirection_));
        break;
      case 50:
        spindleOn_ = false;
        writer_.Words("M05");
        break;
      case 70:
        summary_.LeftOut("охлаждение туманом M07 (у станка есть только M08)", block.line);
        break;
      case 80: writer_.Words("M08"); break;
      case 90: writer_.Words("M09"); break;
      case 0: case 10: case 20: case 300: break;  // after the motion
      case 970: case 980: case 990:
        Refuse(block.line, "подпрограммы (M97, M98, M99) не поддерживаются");
      default:
        summary_.LeftOut("код M" + CodeText(code), block.line);
    }
  }
}

bool Interpreter::TakeModalCodes(const GcodeBlock& block, const std::vector<int>& g) {
  const bool axisWords = block.Has('X') || block.Has('Y') || block.Has('Z');
  bool moves = true;
  bool viaPoint = false;
  bool homesZ = false;
  for (const int code : g) {
    switch (code) {
      case 0: case 10: case 20: case 30:
        motion_ = code / 10;
        cycle_ = 0;
        break;
      case 40:
        summary_.LeftOut("пауза G4", block.line);
        moves = false;
        break;
      case 100: Refuse(block.line, "установка смещений G10 не поддерживается");
      // Rotation, polar coordinates, scaling and mirroring would cut another
      // part; what only cancels them is nothing, as they are never on.
      case 680: case 681: case 682:
        Refuse(block.line, "поворот системы координат G68 не поддерживается");
      case 160: Refuse(block.line, "полярные координаты G16 не поддерживаются");
      case 510: Refuse(block.line, "масштабирование G51 не поддерживается");
      case 511: Refuse(block.line, "зеркальное отображение G51.1 не поддерживается");
      case 150: case 501: case 690: break;
      // G50 with axis words sets the coordinates on some controls.
      case 500:
        if (axisWords) Refuse(block.line, "код G50 с координатами не поддерживается");
        break;
      case 170: plane_ = Plane::XY; break;
      case 180: plane_ = Plane::XZ; break;
      case 190: plane_ = Plane::YZ; break;
      case 200: case 700: case 210: case 710: break;  // taken first
      case 280: case 300:
        summary_.LeftOut("возврат в исходную точку G28, G30 (после промежуточной точки)",
                         block.line);
        viaPoint = axisWords;
        // Without axis words every axis goes home, Z with them.
        homesZ = block.Has('Z') || !axisWords;
        moves = false;
        break;
      case 530:
        summary_.LeftOut("перемещение в координатах станка G53", block.line);
        homesZ = block.Has('Z');
        moves = false;
        break;
      case 400: break;
      case 410: case 420:
        if (!options_.leaveOutCutterCompensation) throw CutterCompensationRefusal(block.line);
        summary_.LeftOut("коррекция на радиус G41, G42", block.line);
        break;
      case 430: case 440: case 490:
        summary_.LeftOut("коррекция на длину инструмента G43, G44, G49", block.line);
        break;
      case 540: case 550: case 560: case 570: case 580: case 590: case 591: case 592: case 593:
        if (workOffset_ && *workOffset_ != code) {
          Refuse(block.line, "смена системы координат детали (G54..G59): её смещение неизвестно");
        }
        workOffset_ = code;
        break;
      case 610: case 611: case 640:
        summary_.LeftOut("режим точного останова или сглаживания G61, G64", block.line);
        break;
      // Look-ahead, smoothing and exact stop: the path is the same. G5 and
      // G5.1 are a spline in some dialects: with axis words they move.
      case 50: case 51:
        if (axisWords) RefuseUnknownCode(block.line, code, true);
        summary_.LeftOut("код G" + CodeText(code), block.line);
        break;
      case 80: case 90: case 1870:
        summary_.LeftOut("код G" + CodeText(code), block.line);
        break;
      // G80 ends the cycle and the motion before it holds again, as the
      // controllers most posts write for take it: "G80" then "Z10." is a
      // rapid move when G0 came before the cycle.
      case 800: cycle_ = 0; break;
      case 730: case 810: case 820: case 830: case 850: case 860: case 890:
        if (cycle_ == 0) initialZ_ = writer_.Position()[kZ];
        cycle_ = code / 10;
        break;
      case 900: absolute_ = true; break;
      case 910: absolute_ = false; break;
      case 901: absoluteArcCentre_ = true; break;
      case 911: absoluteArcCentre_ = false; break;
      case 920:
        for (const std::size_t axis : {kX, kY, kZ}) {
          if (const auto value = block.Value("XYZ"[axis])) {
            offset_[axis] = writer_.Position()[axis] - ToLength(*value);
          }
        }
        setOffset_ = offset_;
        moves = false;
        break;
      case 921: offset_ = setOffset_ = {}; moves = false; break;
      case 922: offset_ = {}; moves = false; break;
      case 923: offset_ = setOffset_; moves = false; break;
      case 930: Refuse(block.line, "подача в обратном времени G93 не поддерживается");
      case 940: break;
      case 950: Refuse(block.line, "подача на оборот G95 не поддерживается");
      case 980: returnToInitial_ = true; break;
      case 990: returnToInitial_ = false; break;
      // A code not known here may move the tool (a pocket, a tapping cycle,
      // a macro call) or change what later blocks mean.
      default:
        RefuseUnknownCode(block.line, code, axisWords);
    }
  }
  // G28 and G30 go first to the point their axis words name, in the part's
  // coordinates as the block's own G90/G91 states them, then home. That
  // first leg is kept, rapid: it is the retract ("G28 Z10."). The home is
  // the machine's, unknown on tape, and left out.
  if (viaPoint) writer_.Straight(Target(block), 0, true);
  // A Z going home (or to a machine position) goes up, out of the part,
  // before the moves after it ("G53 G0 Z0" before a tool change): left
  // out, the next rapid move would run at the cutting depth. The tape rises
  // as far as the program has been up so far, which is clear of the part.
  if (homesZ && writer_.HighestZ() > writer_.Position()[kZ]) {
    Point up = writer_.Position();
    up[kZ] = writer_.HighestZ();
    if (writer_.Straight(up, 0, true)) {
      summary_.LeftOut("Z станка (G28, G30, G53) - заменён подъёмом на наибольшую высоту программы",
                       block.line);
    }
  }
  return moves;
}

Point Interpreter::Target(const GcodeBlock& block) const {
  Point target = writer_.Position();
  for (const std::size_t axis : {kX, kY, kZ}) {
    if (const auto value = block.Value("XYZ"[axis])) {
      target[axis] = absolute_ ? ToLength(*value) + offset_[axis] : target[axis] + ToLength(*value);
    }
  }
  return target;
}

int Interpreter::FeedFor(long line) const {
  if (feed_mm_min_ <= 0) Refuse(line, "перемещение с подачей, а подача F не задана");
  return feed_mm_min_;
}

void Interpreter::Move(const GcodeBlock& block, long repeats) {
  const bool axisWords = block.Has('X') || block.Has('Y') || block.Has('Z');
  const bool arcWords = block.Has('I') || block.Has('J') || block.Has('K') || block.Has('R');
  if (RunsCycle(block)) {
    // Each repeat goes from where the last one ended: under G91 it steps on
    // by the block's X, Y; under G90 it drills the same hole again.
    for (long repeat = 0; repeat < repeats; ++repeat) Cycle(block, Target(block));
    return;
  }
  if (cycle_ != 0) return;
  if (!axisWords && !(arcWords && (motion_ == 2 || motion_ == 3))) return;
  if (motion_ < 0) Refuse(block.line, "перемещение без кода движения (G0, G1, G2, G3)");
  const Point target = Target(block);
  if (motion_ <= 1) {
    const bool moves = target != writer_.Position();
    if (!writer_.Straight(target, motion_ == 0 ? 0 : FeedFor(block.line), motion_ == 0) && moves) {
      summary_.LeftOut("перемещение короче 0.005 мм (вошло в следующее)", block.line);
    }
  } else {
    ArcMove(block, target);
  }
}

void Interpreter::ArcMove(const GcodeBlock& block, const Point& target) {
  // G03 turns anticlockwise seen from the positive end of the plane's
  // normal; in the XZ plane taken as X, Z that is clockwise.
  const bool positive = (motion_ == 3) != (plane_ == Plane::XZ);
  const Point centre = ArcCentre(block, target, positive);
  const long turns = Count(block, 'P', "число витков дуги");
  const long asChords = writer_.ArcsAsChords();
  writer_.Arc(target, centre, positive, plane_, FeedFor(block.line), turns);
  if (writer_.ArcsAsChords() != asChords) {
    summary_.LeftOut("дуга радиусом больше 9999.99 мм, записанная хордами", block.line);
  }
}

Point Interpreter::ArcCentre(const GcodeBlock& block, const Point& target, bool positive) const {
  return block.Has('R') ? RadiusCentre(block, target, positive) : VectorCentre(block, target);
}

Point Interpreter::RadiusCentre(const GcodeBlock& block, const Point& target, bool positive) const {
  const PlaneIndices axes = IndicesOf(plane_);
  const std::size_t first = axes.first, second = axes.second;
  const Point& start = writer_.Position();
  Point centre = start;
  const double dx = static_cast<double>(target[first] - start[first]);
  const double dy = static_cast<double>(target[second] - start[second]);
  const double chord = std::hypot(dx, dy);
  const double radius = static_cast<double>(ToLength(*block.Value('R')));
  if (chord == 0) Refuse(block.line, "полная окружность задана радиусом R: центр не определён");
  const double half = chord / 2;
  if (std::abs(radius) < half - kLengthPerTapeUnit) {
    Refuse(block.line, "радиус R меньше половины хорды дуги");
  }
  const double height = std::sqrt(std::max(0.0, radius * radius - half * half));
  // Left of the chord for a positive turn of at most half a circle; a
  // negative R asks for the longer way round.
  const double side = (positive ? 1 : -1) * (radius < 0 ? -1 : 1);
  centre[first] = start[first] + std::llround(dx / 2 - side * height * dy / chord);
  centre[second] = start[second] + std::llround(dy / 2 + side * height * dx / chord);
  return centre;
}

// The centre of I, J, K, moved onto the arc's true circle when the program's
// rounding put the end a little off it.
Point Interpreter::VectorCentre(const GcodeBlock& block, const Point& target) const {
  const PlaneIndices axes = IndicesOf(plane_);
  const std::size_t first = axes.first, second = axes.second;
  const Point& start = writer_.Position();
  const auto centreAt = [&](bool absolute) {
    Point centre = start;
    for (const std::size_t axis : {first, second}) {
      const Millionths offset = block.Value("IJK"[axis]).value_or(0);
      centre[axis] = absolute ? ToLength(offset) + offset_[axis] : start[axis] + ToLength(offset);
    }
    return centre;
  };
  // How much farther the end is from the centre than the start, and how
  // much the arc's rounding may explain.
  const auto mismatch = [&](const Point& centre) {
    const double startRadius = std::hypot(static_cast<double>(start[first] - centre[first]),
                                          static_cast<double>(start[second] - centre[second]));
    const double endRadius = std::hypot(static_cast<double>(target[first] - centre[first]),
                                        static_cast<double>(target[second] - centre[second]));
    return std::array<double, 3>{startRadius, endRadius,
                                 std::abs(startRadius - endRadius) -
                                     RadiusTolerance(std::max(startRadius, endRadius))};
  };
  const Point centre = centreAt(absoluteArcCentre_);
  const auto [startRadius, endRadius, beyond] = mismatch(centre);
  if (beyond > 0) {
    const bool fitsAbsolute = !absoluteArcCentre_ && mismatch(centreAt(true))[2] <= 0;
    Refuse(block.line, Sprintf("конец дуги не лежит на её окружности (радиусы %.4f и %.4f мм)%s",
                               startRadius / kLengthPerMm, endRadius / kLengthPerMm,
                               fitsAbsolute ? "; центр подошёл бы как абсолютные координаты "
                                              "I, J, K (G90.1)"
                                            : ""));
  }
  if (startRadius == 0) Refuse(block.line, "дуга нулевого радиуса");
  return OnBisector(start, target, centre, axes);
}

// A drilling cycle at the target's X, Y: to the R plane, into the hole as
// the cycle does it, and back to the initial level (G98) or the R plane (G99).
void Interpreter::Cycle(const GcodeBlock& block, const Point& target) {
  if (plane_ != Plane::XY) Refuse(block.line, "постоянный цикл вне плоскости G17");
  if (const auto r = block.Value('R')) cycleR_ = *r;
  if (const auto z = block.Value('Z')) cycleZ_ = *z;
  if (const auto q = block.Value('Q')) cycleQ_ = *q;
  if (!cycleR_ || !cycleZ_) Refuse(block.line, "в постоянном цикле не заданы R и Z");
  const Length rLevel = absolute_ ? ToLength(*cycleR_) + offset_[kZ] : initialZ_ + ToLength(*cycleR_);
  const Length bottom = absolute_ ? ToLength(*cycleZ_) + offset_[kZ] : rLevel + ToLength(*cycleZ_);
  const Length clearance = returnToInitial_ ? std::max(initialZ_, rLevel) : rLevel;
  const int feed = FeedFor(block.line);
  const auto at = [&](Length z) { return Point{target[kX], target[kY], z}; };
  const auto rapid = [&](Length z) { writer_.Straight(at(z), 0, true); };
  const auto cut = [&](Length z) { writer_.Straight(at(z), feed, false); };

  writer_.Straight({target[kX], target[kY], writer_.Position()[kZ]}, 0, true);
  rapid(rLevel);
  if (cycle_ == 73 || cycle_ == 83) {
    const Length peck = cycleQ_ ? ToLength(std::abs(*cycleQ_)) : 0;
    if (peck == 0) Refuse(block.line, "в цикле G73, G83 не задана глубина шага Q");
    constexpr Length kMostPecks = 10000;
    if ((rLevel - bottom) / peck > kMostPecks) {
      Refuse(block.line, "шаг Q так мал, что отверстие заняло бы больше 10000 шагов");
    }
    // G83 goes back to the R plane after each peck, G73 only a little.
    for (Length depth = rLevel; depth > bottom;) {
      depth = std::max(bottom, depth - peck);
      cut(depth);
      if (depth == bottom) break;
      if (cycle_ == 83) rapid(rLevel);
      rapid(std::min(rLevel, depth + kPeckClearance));
    }
  } else {
    cut(bottom);
  }
  if (cycle_ == 82 || cycle_ == 89) summary_.LeftOut("пауза на дне отверстия (G82, G89)", block.line);
  if (cycle_ == 85 || cycle_ == 89) {
    cut(rLevel);
    if (clearance != rLevel) rapid(clearance);
  } else if (cycle_ == 86) {
    writer_.Words("M05");
    rapid(clearance);
    writer_.Words(spindle_ > 0 ? Sprintf("S%ld%s", spindle_, spindleDirection_)
                               : std::string(spindleDirection_));
  } else {
    rapid(clearance);
  }
}

void Interpreter::TakeStops(const std::vector<int>& m) {
  for (const int code : m) {
    if (code == 0) writer_.Words("M00");
    if (code == 10) writer_.Words("M01");
    if (code == 20 || code == 300) {
      writer_.Words("M30");
      ended_ = true;
    }
  }
}

ImportSummary Interpreter::Finish() {
  writer_.Finish();
  summary_.WroteArcFrames(writer_.ArcFrames());
  return summary_;
}

}  // namespace

namespace {

// After the program's end a line is only looked at: a tool list or a note
// there is no instruction, whatever it holds.
enum class AfterEnd { kNothing, kTapeMark, kSkipped };

AfterEnd LookAfterEnd(std::string_view text, long line) {
  try {
    const GcodeBlock block = ParseGcodeLine(text, line);
    if (block.tapeMark) return AfterEnd::kTapeMark;
    return block.words.empty() ? AfterEnd::kNothing : AfterEnd::kSkipped;
  } catch (const GcodeRefusal&) {
    return AfterEnd::kSkipped;
  }
}

// Editors on Windows start a UTF-8 file with its byte-order mark.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

ImportSummary Import(ByteSource& gcode, ByteSink& ptp, const ImportOptions& options,
                     std::vector<TapeLineOrigin>* origins) {
  LineReader reader(gcode);
  Interpreter interpreter(ptp, options);
  long number = 0;
  // The tape mark "%" starts the program; a second one, or one after the
  // program's first words, ends it, and nothing after it is read.
  bool marked = false;
  bool begun = false;
  for (std::string line; reader.ReadLine(line, kLineLimit);) {
    ++number;
    if (!line.ends_with('\n') && line.size() == kLineLimit) {
      throw GcodeRefusal(Sprintf("Строка %ld длиннее %zu символов.", number, kLineLimit));
    }
    if (line.find('\0') != std::string::npos) {
      throw GcodeRefusal(Sprintf("Строка %ld содержит нулевой байт: это не текст G-кода.", number));
    }
    if (line.ends_with('\n')) line.pop_back();
    if (number == 1 && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
    if (interpreter.Ended()) {
      const AfterEnd after = LookAfterEnd(line, number);
      if (after == AfterEnd::kTapeMark) break;
      if (after == AfterEnd::kSkipped) interpreter.SkipAfterEnd(number);
      continue;
    }
    const GcodeBlock block = ParseGcodeLine(line, number);
    if (block.tapeMark) {
      if (marked || begun) break;
      marked = true;
    }
    begun = begun || !block.words.empty();
    interpreter.Take(block, origins);
  }
  return interpreter.Finish();
}

}  // namespace

ImportSummary ImportGcode(ByteSource& gcode, ByteSink& ptp, const ImportOptions& options) {
  return Import(gcode, ptp, options, nullptr);
}

ImportSummary ImportGcode(ByteSource& gcode, ByteSink& ptp, const ImportOptions& options,
                          std::vector<TapeLineOrigin>& origins) {
  return Import(gcode, ptp, options, &origins);
}

bool LooksLikeGcode(ByteSource& source) {
  constexpr int kLinesLookedAt = 100;
  LineReader reader(source);
  std::string line;
  for (int count = 0; count < kLinesLookedAt && reader.ReadLine(line, kLineLimit); ++count) {
    if (line.find_first_of(".(;") != std::string::npos) return true;
    for (std::size_t at = 1; at + 1 < line.size(); ++at) {
      const auto isAlpha = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
      if (line[at] == ' ' && std::isdigit(static_cast<unsigned char>(line[at - 1])) &&
          isAlpha(line[at + 1])) {
        return true;
      }
    }
  }
  return false;
}

bool HasGcodeName(const std::filesystem::path& file) {
  std::string extension = PathText(file.extension());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* known : {".nc", ".ngc", ".tap", ".gcode", ".cnc", ".iso"}) {
    if (extension == known) return true;
  }
  return false;
}

}  // namespace h33
