// Arcs from the import, chosen by the fuzzer: any plane, sense, radius and
// cut points a hair from the axes, in every arc mode. Every arc frame on tape
// sweeps, in the G-code's sense, what the G-code arc sweeps between its two
// points, and the tape cuts the arc's length, within the 0.01 mm grid.

#include <cstdint>
#include <string>

#include "arcfaithfulness.h"
#include "format/bytesource.h"
#include "format/refusal.h"
#include "gcode/gcodeimport.h"
#include "fuzzing.h"

namespace h33::fuzz {
namespace {

class FuzzChoices : public ArcChoices {
 public:
  explicit FuzzChoices(FuzzBytes& bytes) : bytes_(bytes) {}
  double Next() override { return bytes_.Word() / 65536.0; }

 private:
  FuzzBytes& bytes_;
};

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33;
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const std::uint8_t mode = bytes.Byte() % 3;
  const ArcOutput arcs = mode == 0 ? ArcOutput::kQuadrants : mode == 1 ? ArcOutput::kWhole
                                                                      : ArcOutput::kChords;
  FuzzChoices choose(bytes);
  const ArcProgram program = MakeArcProgram(choose);
  MemorySource source(program.gcode);
  MemorySink sink;
  try {
    ImportGcode(source, sink, ImportOptions{arcs, false});
  } catch (const ProgramRefusal& refusal) {
    Violated("an arc on its circle within the machine's reach is taken", program.gcode + refusal.what());
  }
  const std::string fault = ArcUnfaithfulness(program.arc, sink.Bytes());
  Require(fault.empty(), "every arc frame sweeps what the G-code arc sweeps",
          [&] { return fault + "\n" + program.gcode + sink.Bytes(); });
  return 0;
}
