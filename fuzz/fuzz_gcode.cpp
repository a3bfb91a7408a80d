// The G-code import on arbitrary bytes, with each way of writing arcs and
// cutter compensation left out or refused: the run ends with a tape or a
// refusal, whatever the bytes and however they arrive, and a tape passes the
// format check (plain feeds aside) for the conversion to read.

#include <cstdint>
#include <string>

#include "format/bytesource.h"
#include "format/formatcheck.h"
#include "gcode/gcodeimport.h"
#include "fuzzing.h"

namespace h33::fuzz {
namespace {

struct Outcome {
  std::string tape;
  std::string said;  // the summary, or the refusal
  bool refused = false;
};

Outcome Import(ByteSource& source, const ImportOptions& options) {
  MemorySink sink;
  try {
    return {sink.Bytes(), ImportGcode(source, sink, options).Text(), false};
  } catch (const ProgramRefusal& refusal) {
    return {{}, refusal.what(), true};
  }
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33;
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const std::uint8_t flags = bytes.Byte();
  const std::vector<std::size_t> chunks = ChunkSizes(bytes.Byte());
  ImportOptions options;
  options.arcs = flags % 3 == 0 ? ArcOutput::kQuadrants : flags % 3 == 1 ? ArcOutput::kWhole
                                                                         : ArcOutput::kChords;
  options.leaveOutCutterCompensation = (flags & 4) != 0;
  const std::string program(bytes.Rest());

  MemorySource whole(program);
  const Outcome outcome = Import(whole, options);
  ChunkedSource pieces(program, chunks);
  const Outcome again = Import(pieces, options);
  Require(outcome.tape == again.tape && outcome.said == again.said,
          "the import does not depend on how the bytes arrive");
  if (outcome.refused) {
    Require(outcome.said.starts_with("Строка "), "a refusal names its line", outcome.said);
    return 0;
  }
  MemorySource tape(outcome.tape);
  Require(CheckH33Format(tape, FeedWordCheck::kSkipped) == 0,
          "the tape passes the format check, plain feeds aside", [&] { return Shown(outcome.tape); });
  return 0;
}
