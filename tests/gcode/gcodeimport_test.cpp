// The G-code import: reading the language, and what must hold for any
// program: exact positions (the increments add up to the net displacement),
// arcs that end on their circles, a tape the format check and the conversion
// take.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "format/bytesource.h"
#include "format/formatcheck.h"
#include "format/frame.h"
#include "format/textformat.h"
#include "gcode/gcodeimport.h"

namespace h33 {
namespace {

struct Imported {
  std::vector<std::string> frames;  // the tape's lines after "%", without line ends
  std::string tape;
  std::string summary;
};

Imported Import(const std::string& gcode, const ImportOptions& options = {}) {
  MemorySource source(gcode);
  MemorySink sink;
  const ImportSummary summary = ImportGcode(source, sink, options);
  Imported imported{{}, sink.Bytes(), summary.Text()};
  std::string text = sink.Bytes();
  std::erase(text, '\r');
  for (std::size_t from = text.find('\n') + 1; from < text.size();) {
    const std::size_t end = text.find('\n', from);
    imported.frames.push_back(text.substr(from, end - from));
    from = end + 1;
  }
  return imported;
}

std::string Refusal(const std::string& gcode, const ImportOptions& options = {}) {
  try {
    Import(gcode, options);
  } catch (const GcodeRefusal& refusal) {
    return refusal.what();
  } catch (const ProgramRefusal& refusal) {
    return refusal.what();
  }
  return "accepted";
}

// What real posts write: "G80" then an axis word moves as the motion before
// the cycle did; an arc too wide for an arc vector goes on tape as chords.
TEST(GcodeImport, TakesWhatRealPostsWrite) {
  const Imported afterCycle =
      Import("G0 Z10\nG81 X10 Y0 Z-1 R1 F100\nG80\nZ20\n");
  // Back up from the initial level as the G0 before the cycle: no G01.
  EXPECT_EQ(afterCycle.frames.back(), "N006Z+001000") << afterCycle.tape;
  const Imported wide = Import("G1 X0 Y0 F100\nG2 X84 Y0 I42 J-47483\n");
  for (const std::string& frame : wide.frames) {
    EXPECT_EQ(frame.find('I'), std::string::npos) << frame;
  }
  EXPECT_EQ(wide.frames.size(), 2u);  // the arc rises 0.019 mm off its chord
  EXPECT_NE(wide.summary.find("хордами"), std::string::npos) << wide.summary;
  // G28's intermediate point in the block's own G91: "Z0" stays where the
  // tool is, it is no plunge to the part's zero; and Z going home rises to
  // the program's highest point so far, so the next rapid move runs clear.
  const Imported home = Import("G0 Z5\nG1 Z-1 F100\nG28 G91 Z0\nG90 G0 X10\n");
  ASSERT_EQ(home.frames.size(), 4u) << home.tape;
  EXPECT_EQ(home.frames[2], "N003G00Z+000600F99999") << home.tape;
  EXPECT_EQ(home.frames[3], "N004X+001000") << home.tape;
  EXPECT_NE(home.summary.find("заменён подъёмом на наибольшую высоту"), std::string::npos) << home.summary;
  // A bare G28 sends every axis home, Z with them.
  const Imported bare = Import("G0 Z5\nG1 Z-1 F100\nG28\nG0 X10\n");
  ASSERT_EQ(bare.frames.size(), 4u) << bare.tape;
  EXPECT_EQ(bare.frames[2], "N003G00Z+000600F99999") << bare.tape;
}

// The picture names a frame by the G-code line it was written for.
TEST(GcodeImport, NotesWhereTheTapesLinesComeFrom) {
  MemorySource source("G21 G90\nG0 Z5\n(a comment)\nG1 X10 F100\nG2 X20 Y10 I10 J0\nM30\n");
  MemorySink sink;
  std::vector<TapeLineOrigin> origins;
  ImportGcode(source, sink, {}, origins);
  // Tape lines: "%", Z5 (G-code line 2), X10 (4), the quarter arc (5),
  // M30 (6).
  ASSERT_EQ(origins.size(), 4u) << sink.Bytes();
  const std::vector<std::pair<std::uint32_t, long>> expected = {{2, 2}, {3, 4}, {4, 5}, {5, 6}};
  for (std::size_t at = 0; at < origins.size(); ++at) {
    EXPECT_EQ(origins[at].tapeLine, expected[at].first) << at;
    EXPECT_EQ(origins[at].gcodeLine, expected[at].second) << at;
  }
}

TEST(GcodeImport, RefusesWhatWouldChangeThePart) {
  const auto says = [](const std::string& gcode, const char* text) {
    const std::string refusal = Refusal(gcode);
    EXPECT_NE(refusal.find(text), std::string::npos) << gcode << "\n" << refusal;
  };
  says("G1 G41 D1 X10 F100\n", "G41");
  says("G95 G1 X10 F0.1\n", "G95");
  says("G93 G1 X10 F2\n", "G93");
  says("G1 X10 A90 F100\n", "A");
  says("G1 X10\n", "подача F не задана");
  says("X10\n", "без кода движения");
  says("G1 G7 X10 F100\n", "G7");
  says("G55\nG56 G0 X1\n", "смена системы координат");
  says("G2 X10 Y0 I3 J0 F100\n", "не лежит на её окружности");
  says("G2 X0 Y0 R5 F100\n", "полная окружность");
  says("M98 P100\n", "M98");
  for (const char* axis : {"U", "V", "W"}) {
    says(std::string("G1 X10 ") + axis + "5 F100\n", (std::string("ось ") + axis).c_str());
  }
  says("G68 X0 Y0 R45\n", "поворот системы координат G68");
  says("G68 R45\n", "G68");
  says("G16\n", "полярные координаты G16");
  says("G51 P2\n", "масштабирование G51");
  says("G51.1 X0\n", "зеркальное");
  says("G50 X100 Z50\n", "G50");
  says("G10 L2 P1 X0 Y0\n", "установка смещений G10");
  says("IF[#1 GT 0]GOTO5\n", "переходы, циклы и условия");
  // A code not known moves the tool its own way, or changes the blocks after it.
  says("G1 F100\nG12 I5\n", "неизвестный код G12");
  says("G84 Z-5 R1\n", "G84");
  says("G84\nX10 Y10\n", "неизвестный код G84");
  says("M97 P100\n", "M97");
  // Look-ahead and smoothing leave the path as it is.
  EXPECT_EQ(Import("G5.1 Q1\nG8 P1\nG187 P1\nG9 G1 X1 F100\n").frames,
            Import("G1 X1 F100\n").frames);
  // A centre that would fit as absolute coordinates is said to.
  const std::string absolute = Refusal("G1 X10 F100\nG2 X20 Y0 I15 J0\n");
  EXPECT_EQ(absolute, "Строка 2: конец дуги не лежит на её окружности (радиусы 15.0000 и "
                      "5.0000 мм); центр подошёл бы как абсолютные координаты I, J, K (G90.1).");
  EXPECT_EQ(Refusal("G1 X10 F100\nG2 X20 Y0 I3 J0\n").find("G90.1"), std::string::npos);
  ImportOptions leaveOut;
  leaveOut.leaveOutCutterCompensation = true;
  EXPECT_NE(Import("G41 D1 G1 X10 F100\nG40\n", leaveOut).summary.find("G41"), std::string::npos);
}

// The tape's lines that hold a word, as the tape writes them.
std::vector<std::string> FramesWith(const Imported& imported, const std::string& word) {
  std::vector<std::string> frames;
  for (const std::string& frame : imported.frames) {
    if (frame.find(word) != std::string::npos) frames.push_back(frame);
  }
  return frames;
}

// The sum of one axis' increments on tape, in 0.01 mm.
long Sum(const Imported& imported, char axis) {
  long sum = 0;
  for (const std::string& frame : imported.frames) {
    const std::size_t at = frame.find(axis);
    if (at != std::string::npos) sum += std::stol(frame.substr(at + 1, 7));
  }
  return sum;
}

// A helix of P turns drops its Z over all of them, evenly.
TEST(GcodeImport, CutsEveryTurnOfAHelix) {
  const Imported helix = Import("G1 X10 Y0 Z0 F100\nG3 X10 Y0 Z-3 I-10 J0 P3\n");
  const std::vector<std::string> quarters = FramesWith(helix, "Z-000025");
  EXPECT_EQ(quarters.size(), 12u) << helix.tape;
  EXPECT_EQ(Sum(helix, 'Z'), -300) << helix.tape;
  // A quarter and one more turn: five quarters, a fifth of the drop each.
  const Imported more = Import("G1 X10 Y0 Z0 F100\nG3 X0 Y10 Z-5 I-10 J0 P2\n");
  EXPECT_EQ(FramesWith(more, "Z-000100").size(), 5u) << more.tape;
  EXPECT_EQ(Sum(more, 'X'), 0) << more.tape;
  // Clockwise in XZ, the normal Y dropping over two turns.
  const Imported side = Import("G1 X10 F100\nG18 G2 X10 Y-2 Z0 I-10 K0 P2\n");
  EXPECT_EQ(FramesWith(side, "Y-000025").size(), 8u) << side.tape;
  EXPECT_EQ(Import("G1 X10 F100\nG3 X-10 I-10 P1\n").frames,
            Import("G1 X10 F100\nG3 X-10 I-10\n").frames);
  for (const char* turns : {"P0", "P-2", "P1.5"}) {
    const std::string refusal = Refusal(std::string("G1 X10 F100\nG3 X-10 I-10 ") + turns + "\n");
    EXPECT_EQ(refusal, "Строка 2: число витков дуги P должно быть целым числом не меньше 1.") << turns;
  }
  // Bounded: as chords, each turn of a wide helix is hundreds of frames.
  EXPECT_EQ(Refusal("G1 X10 F100\nG3 X-10 I-10 P10000\n"), "Строка 2: число витков дуги P больше 9999.");
  EXPECT_EQ(Refusal("G0 Z5\nG81 X1 Z-1 R1 F100 L10000\n"),
            "Строка 2: число повторов цикла L больше 9999.");
}

// "X10 L3" under G91 drills three holes 10 mm apart, under G90 one hole
// three times; L is refused where it would repeat nothing.
TEST(GcodeImport, RepeatsADrillingCycle) {
  const Imported row = Import("G0 Z5\nG91 G81 X0 Y0 Z-3 R-4 F100\nX10 L3\n");
  EXPECT_EQ(FramesWith(row, "Z-000300").size(), 4u) << row.tape;
  EXPECT_EQ(FramesWith(row, "X+001000").size(), 3u) << row.tape;
  EXPECT_EQ(Sum(row, 'X'), 3000) << row.tape;
  const Imported again = Import("G0 Z5\nG90 G81 X10 Y0 Z-2 R1 F100 L3\n");
  EXPECT_EQ(FramesWith(again, "Z-000300").size(), 3u) << again.tape;
  EXPECT_EQ(Sum(again, 'X'), 1000) << again.tape;
  for (const char* repeats : {"L0", "L-1", "L1.5"}) {
    EXPECT_EQ(Refusal(std::string("G0 Z5\nG81 X1 Z-1 R1 F100\nX2 ") + repeats + "\n"),
              "Строка 3: число повторов цикла L должно быть целым числом не меньше 1.")
        << repeats;
  }
  EXPECT_NE(Refusal("G1 X10 F100 L2\n").find("только у постоянного цикла"), std::string::npos);
  EXPECT_NE(Refusal("G1 F100\nX10 L2\n").find("только у постоянного цикла"), std::string::npos);
  EXPECT_EQ(Import("G1 X10 F100 L1\n").frames, Import("G1 X10 F100\n").frames);
}

// The tape mark starts and ends the program; after M02, M30 a tool list or a
// note is no instruction.
TEST(GcodeImport, ReadsUpToTheProgramsEnd) {
  const Imported marked = Import("%\nO1\nG0 X1\n%\nG0 X50\n?? tool list ??\n");
  EXPECT_EQ(marked.frames, (std::vector<std::string>{"N001G00X+000100F99999"})) << marked.tape;
  EXPECT_EQ(Import("G0 X1\n%\nG0 X50\n").frames, marked.frames);
  const Imported ended = Import("G0 X1\nM30\nT1 D=6.0 CR=0 (flat)\n\n(the end)\nG0 X50\n%\n@@\n");
  EXPECT_EQ(ended.frames.size(), 2u) << ended.tape;
  EXPECT_NE(ended.summary.find("кадр после конца программы (M02, M30) - 2 (впервые в строке 3)"),
            std::string::npos)
      << ended.summary;
  // The mark of a UTF-8 file is no text of the program.
  EXPECT_EQ(Import("\xEF\xBB\xBFG0 X1\r\n").frames, marked.frames);
}

// The units, offsets and planes the program states, kept as it means them.
TEST(GcodeImport, KeepsWhatTheModalCodesMean) {
  EXPECT_EQ(Import("G70\nG1 X1 F10\nG71 X2\n").frames,
            (std::vector<std::string>{"N001G01X+002540F254", "N002X-002340"}));
  // The units act before the feed of their own block.
  EXPECT_EQ(Import("G1 G20 X1 F10\n").frames, (std::vector<std::string>{"N001G01X+002540F254"}));
  EXPECT_EQ(Import("G20\nF10 G21 G1 X1\n").frames,
            (std::vector<std::string>{"N001G01X+000100F10"}));
  EXPECT_EQ(Import("G1 X1.5E+01 F1E2\n").frames, (std::vector<std::string>{"N001G01X+001500F100"}));
  // G92.2 suspends the offset G92 set, G92.3 takes it back.
  const Imported offsets = Import("G0 X10\nG92 X0\nG92.2\nG0 X5\nG92.3\nG0 X5\nG92.1\nX0\n");
  EXPECT_EQ(offsets.frames,
            (std::vector<std::string>{"N001G00X+001000F99999", "N002X-000500", "N003X+001000",
                                      "N004X-001500"}));
  // G69, G15, G50 only cancel what is never on.
  EXPECT_EQ(Import("G69 G15 G50 G50.1\nG0 X1\n").frames, Import("G0 X1\n").frames);
}

// The two radii of an arc differ by the program's rounding: 0.02 mm, or
// 0.1 % of a wide arc; the arc then goes on its true circle.
TEST(GcodeImport, TakesAnArcOffItsCircleByItsRounding) {
  // 35.236 in is 895 mm; the end written with three decimals, 0.03 mm off.
  const Imported wide = Import("G20 G1 X0 Y0 F10\nG3 X10.000 Y1.450 I0 J35.236\n");
  ASSERT_FALSE(wide.frames.empty());
  for (const std::string& line : wide.frames) {
    const Frame frame(line);
    if (!frame.IsArc()) continue;
    const FrameVector move = frame.WrittenMove();
    const FrameVector start = frame.WrittenArc();
    EXPECT_LE(std::abs(std::hypot(start.x, start.y) -
                       std::hypot(start.x + move.x, start.y + move.y)),
              1.0)
        << line;
  }
  // 100 mm: 0.09 mm is within its 0.1 %, 0.11 mm is not; 10 mm: 0.02 mm.
  EXPECT_EQ(Refusal("G1 X0 F100\nG2 X200.09 Y0 I100 J0\n"), "accepted");
  EXPECT_NE(Refusal("G1 X0 F100\nG2 X200.11 Y0 I100 J0\n").find("не лежит"), std::string::npos);
  EXPECT_EQ(Refusal("G1 X0 F100\nG2 X20.02 Y0 I10 J0\n"), "accepted");
  EXPECT_NE(Refusal("G1 X0 F100\nG2 X20.025 Y0 I10 J0\n").find("не лежит"), std::string::npos);
}

// Each plane's two senses: G2 clockwise seen from the positive end of the
// plane's normal (XZ from +Y), on tape as G02.
TEST(GcodeImport, TurnsArcsOfEachPlaneTheWayTheProgramSays) {
  struct Case {
    const char* program;
    const char* firstQuarter;
  };
  const Case cases[] = {
      {"G17 G2 X20 Y0 I10 J0", "N001G02X+001000Y+001000I-001000J+000000F100"},
      {"G17 G3 X20 Y0 I10 J0", "N001G03X+001000Y-001000I-001000J+000000F100"},
      {"G18 G2 X20 Z0 I10 K0", "N001G18G02X+001000Z-001000I-001000K+000000F100"},
      {"G18 G3 X20 Z0 I10 K0", "N001G18G03X+001000Z+001000I-001000K+000000F100"},
      {"G19 G2 Y20 Z0 J10 K0", "N001G19G02Y+001000Z+001000J-001000K+000000F100"},
      {"G19 G3 Y20 Z0 J10 K0", "N001G19G03Y+001000Z-001000J-001000K+000000F100"},
  };
  for (const Case& arc : cases) {
    const Imported half = Import(std::string(arc.program) + " F100\n");
    ASSERT_EQ(half.frames.size(), 2u) << half.tape;
    EXPECT_EQ(half.frames[0], arc.firstQuarter) << arc.program;
  }
}

// G98 goes back to the higher of the initial level and the R plane; the
// arc centre mode stays when the distance mode changes.
TEST(GcodeImport, KeepsModesApart) {
  const Imported high = Import("G0 Z1\nG98 G81 X10 Y0 Z-2 R5 F100\n");
  EXPECT_EQ(high.frames.back(), "N005G00Z+000700F99999") << high.tape;
  const Imported low = Import("G0 Z8\nG98 G81 X10 Y0 Z-2 R5 F100\n");
  EXPECT_EQ(low.frames.back(), "N005G00Z+001000F99999") << low.tape;
  const Imported centres = Import("G90.1 G1 X10 Y0 F100\nG91\nG3 X-10 Y10 I0 J0\n");
  ASSERT_EQ(centres.frames.size(), 2u) << centres.tape;
  EXPECT_EQ(centres.frames[1], "N002G03X-001000Y+001000I+001000J+000000") << centres.tape;
}

// Random programs of straight moves and arcs, absolute and incremental, in
// mm and in inches, in the three planes.
std::string RandomProgram(unsigned seed) {
  std::mt19937 random(seed);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const auto number = [&](double range) {
    return std::uniform_real_distribution<double>(-range, range)(random);
  };
  std::string program = pick(0, 1) ? "G20\n" : "G21\n";
  program += "G1 F200\n";
  for (int i = 0; i < 300; ++i) {
    const int kind = pick(0, 9);
    if (kind == 0) program += pick(0, 1) ? "G90\n" : "G91\n";
    if (kind == 1) program += Sprintf("G%d\n", pick(17, 19));
    if (kind <= 5) {
      program += Sprintf("G%d X%.4f Y%.4f Z%.4f\n", pick(0, 1), number(200), number(200), number(50));
    } else {
      // An arc about a centre at I, J, K from the start: the end a turn away
      // on the same circle.
      const double radius = 1 + std::abs(number(100));
      const double from = number(std::numbers::pi), to = number(std::numbers::pi);
      program += Sprintf("G91 G17 G%d X%.6f Y%.6f I%.6f J%.6f\n", pick(2, 3),
                         radius * (std::cos(to) - std::cos(from)),
                         radius * (std::sin(to) - std::sin(from)), -radius * std::cos(from),
                         -radius * std::sin(from));
    }
  }
  return program;
}

TEST(GcodeImport, IncrementsAddUpAndArcsEndOnTheirCircles) {
  for (const ArcOutput arcs : {ArcOutput::kQuadrants, ArcOutput::kWhole, ArcOutput::kChords}) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
      ImportOptions options;
      options.arcs = arcs;
      const std::string program = RandomProgram(seed);
      const Imported tape = Import(program, options);
      // The same program once more with a last absolute move home: the sums
      // of everything written must then be 0, exactly.
      const Imported home = Import(program + "G90 G0 X0 Y0 Z0\n", options);
      std::array<long, 3> sums{};
      for (const std::string& line : home.frames) {
        const Frame frame(line);
        const FrameVector& written = frame.WrittenMove();
        const float increments[3] = {written.x, written.y, written.z};
        for (std::size_t axis = 0; axis < 3; ++axis) sums[axis] += std::lround(increments[axis]);
        if (!frame.IsArc()) continue;
        const FrameVector move = frame.WrittenMove();
        const FrameVector start = frame.WrittenArc();
        const double startRadius = std::hypot(start.x, start.y, start.z);
        const double endRadius = std::hypot(start.x + move.x, start.y + move.y, start.z + move.z);
        EXPECT_LE(std::abs(startRadius - endRadius), 1.0) << line;  // 0.01 mm
      }
      EXPECT_EQ(sums, (std::array<long, 3>{0, 0, 0})) << "seed " << seed;

      MemorySource check(tape.tape);
      EXPECT_EQ(CheckH33Format(check, FeedWordCheck::kSkipped), 0) << "seed " << seed;
    }
  }
}

}  // namespace
}  // namespace h33
