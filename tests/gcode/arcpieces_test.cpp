// Arcs on tape: whatever the arc mode, the plane, the sense and where the
// cut points fall, the tape's arc frames sweep what the G-code arc sweeps,
// never a piece the other way round.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "arcfaithfulness.h"
#include "format/bytesource.h"
#include "gcode/gcodeimport.h"

namespace h33 {
namespace {

class RandomChoices : public ArcChoices {
 public:
  explicit RandomChoices(unsigned seed) : random_(seed) {}
  double Next() override { return uniform_(random_); }

 private:
  std::mt19937 random_;
  std::uniform_real_distribution<double> uniform_{0.0, 1.0};
};

std::string Tape(const std::string& gcode, ArcOutput arcs) {
  MemorySource source(gcode);
  MemorySink sink;
  ImportGcode(source, sink, ImportOptions{arcs, false});
  return sink.Bytes();
}

TEST(ArcPieces, EveryArcFrameSweepsWhatTheGcodeArcSweeps) {
  RandomChoices choose(20261208);
  for (int count = 0; count < 4000; ++count) {
    const ArcProgram program = MakeArcProgram(choose);
    for (const ArcOutput arcs : {ArcOutput::kQuadrants, ArcOutput::kWhole, ArcOutput::kChords}) {
      const std::string tape = Tape(program.gcode, arcs);
      const std::string fault = ArcUnfaithfulness(program.arc, tape);
      ASSERT_EQ(fault, "") << "arc mode " << static_cast<int>(arcs) << "\n"
                           << program.gcode << tape;
    }
  }
}

// Cut points a hair from an arc's ends. A whole circle of radius 21.29 that
// starts 0.0023 mm beside the axis through its centre: its first quadrant
// piece is shorter than the grid, and rounded it turned into a second whole
// circle. A circle that ends 0.006 mm before its start, written whole: its
// ends round to one point, and it vanished from the tape. A helix that ends
// 0.0085 mm before its start, its end off the circle by the program's last
// digit: a centre put on the bisector of so short a chord moved 0.3 mm.
TEST(ArcPieces, ArcsThatEndAHairFromAnAxisOrFromTheirStart) {
  struct Case {
    const char* gcode;
    ArcOutput arcs;
    ExactArc arc;
  };
  const Case cases[] = {
      {"G0 X-276.3484 Y148.915\nG1 F300\nG3 X-276.3484 Y148.915 I0.0023 J21.2917\n",
       ArcOutput::kQuadrants,
       {{-276.3484, 148.915, 0}, {-276.3484, 148.915, 0}, {-276.3461, 170.2067, 0}}},
      {"G19 G0 X5.906 Y136.3455 Z177.578\nG1 F300\nG3 Y136.3455 Z177.5839 J10.5488 K-0.0071\n",
       ArcOutput::kWhole,
       {{5.906, 136.3455, 177.578}, {5.906, 136.3455, 177.5839}, {5.906, 146.8943, 177.5709},
        Plane::YZ}},
      {"G19 G0 X-10.943 Y-52.067 Z115.1783\nG1 F300\nG2 Y-52.0585 Z115.1782 X3.5371 J0.0144 "
       "K55.5087\n",
       ArcOutput::kQuadrants,
       {{-10.943, -52.067, 115.1783}, {3.5371, -52.0585, 115.1782}, {0, -52.0526, 170.687},
        Plane::YZ, true}},
  };
  for (const Case& test : cases) {
    const std::string tape = Tape(test.gcode, test.arcs);
    EXPECT_EQ(ArcUnfaithfulness(test.arc, tape), "") << test.gcode << tape;
  }
}

}  // namespace
}  // namespace h33
