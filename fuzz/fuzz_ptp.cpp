// The Ptp->up conversion on arbitrary PTP programs, for every machine preset
// and for values of the user's own, with and without free numbering and the
// feed restore after arcs, through the braking window and the direct pass.
//
// On any bytes: values the conversion cannot work with are refused before
// anything is written; otherwise the run ends with a result that does not
// depend on how the bytes arrive, shows at most the one box of its result,
// and a finished program has the sums of the input's increments. On a tidy
// program (lines of at most 150 characters, no bare F) also: every F word is
// a feed code within FeedMax, every N word carries the next number, and the
// motion frames keep their coordinate words, in their order.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/machines.h"
#include "format/feedcode.h"
#include "format/lineio.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "methods/ptp_to_up.h"
#include "fuzzing.h"
#include "scripteddialogs.h"

namespace h33::fuzz {
namespace {

struct Outcome {
  ConversionResult result;
  std::string output;
  std::vector<std::string> shown;
};

Outcome Convert(const RunParameters& parameters, ByteSource& input) {
  ScriptedDialogs dialogs;
  MemorySink sink;
  const ConversionResult result = ConvertPtp(parameters, input, sink, dialogs);
  return {result, sink.Bytes(), dialogs.shown};
}

bool SameSums(const ControlSums& a, const ControlSums& b) {
  // Exact sums: the same input gives the same values, bit for bit.
  return a.X() == b.X() && a.Y() == b.Y() && a.Z() == b.Z();
}

bool Workable(const RunParameters& p) {
  return p.machine.feedMax_mm_min >= 1 && p.machine.feedMax_mm_min <= 9999 &&
         p.machine.speedLimit_mm_min >= 0 && p.machine.speedLimit_mm_min <= 1000000 &&
         p.machine.acceleration_mm_s2 >= 1 && p.machine.acceleration_mm_s2 <= 1000000;
}

RunParameters ChooseParameters(FuzzBytes& bytes) {
  const std::uint8_t flags = bytes.Byte();
  RunParameters parameters = PresetParameters(bytes.Byte() % kMachinePresets.size());
  if (flags & 1) parameters.freeNumbering = !parameters.freeNumbering;
  if (flags & 2) parameters.restoreAfterArc = !parameters.restoreAfterArc;
  if (flags & 4) {
    parameters.machine.speedLimit_mm_min = static_cast<int>(bytes.Between(-10, 3000));
    parameters.machine.feedMax_mm_min = static_cast<int>(bytes.Between(-10, 12000));
    parameters.machine.acceleration_mm_s2 = static_cast<int>(bytes.Between(-10, 1000));
  } else if (flags & 8) {
    parameters.machine.speedLimit_mm_min = static_cast<int>(bytes.Between(0, 1000000));
    parameters.machine.acceleration_mm_s2 = static_cast<int>(bytes.Between(1, 1000000));
  }
  if (flags & 16) parameters.arcChordLimit_mm = static_cast<float>(bytes.Byte());
  return parameters;
}

// Lines of at most 150 characters, so that none arrives in pieces, and no
// F without a value.
std::string TidyPtp(std::string_view bytes) {
  std::string program;
  for (const std::string& line : SplitLines(bytes)) {
    std::string body(WithoutLineFeed(line).substr(0, 150));
    for (std::size_t at = 0; (at = body.find('F', at)) != std::string::npos;) {
      if (ReadWord(std::string_view(body).substr(at), 'F').empty()) {
        body.erase(at, 1);
      } else {
        ++at;
      }
    }
    program += body;
    if (line.ends_with('\n')) program += '\n';
  }
  return program;
}

ControlSums InputSums(const std::vector<std::string>& pieces) {
  ControlSums sums;
  for (const std::string& piece : pieces) sums.Add(Frame(piece));
  return sums;
}

// The coordinate and centre words of the motion frames, in their order.
std::vector<std::array<std::string_view, 6>> Motions(const std::vector<std::string>& lines) {
  std::vector<std::array<std::string_view, 6>> motions;
  for (const std::string& line : lines) {
    if (!ReadCoordinates(line).present) continue;
    std::array<std::string_view, 6> words;
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = ReadWord(line, "XYZIJK"[i]);
    motions.push_back(words);
  }
  return motions;
}

void CheckTidyOutput(const RunParameters& parameters, const std::string& program,
                     const std::string& output) {
  std::string text = output;
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  const std::vector<std::string> lines = SplitLines(text);
  const bool direct = !parameters.brakes;
  FrameCounter numbers(!parameters.freeNumbering ? kH33NumberWrap : direct ? 100000 : 30000);
  for (const std::string& line : lines) {
    for (const std::string_view feed : FeedWords(line)) {
      Require(IsWrittenFeedCode(feed), "every F word holds a feed code",
              [&] { return Shown(line); });
      Require(DecodeFeed(ParseInt(feed)) <= parameters.machine.feedMax_mm_min,
              "no feed exceeds FeedMax", [&] {
                return Sprintf("FeedMax %d: ", parameters.machine.feedMax_mm_min) + Shown(line);
              });
    }
    if (HasWord(line, 'N')) {
      const long number = numbers.Take();
      const std::string expected =
          parameters.freeNumbering ? Sprintf("%05ld", number) : Sprintf("%03ld", number);
      Require(ReadWord(line, 'N') == expected, "frames are numbered in order",
              [&] { return Shown(line); });
    }
  }
  // The program's lines as every reader takes them, a lone CR ending one too
  // (tidy lines are too short to come in pieces).
  Require(Motions(lines) == Motions(ReadPieces(program, kProgramLineLimit)),
          "the motion frames keep their coordinates and order", [&] { return Shown(text); });
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33;
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const bool tidy = bytes.Byte() & 1;
  const std::vector<std::size_t> chunks = ChunkSizes(bytes.Byte());
  const RunParameters parameters = ChooseParameters(bytes);
  const std::string program = tidy ? TidyPtp(bytes.Rest()) : std::string(bytes.Rest());

  MemorySource whole(program);
  const Outcome outcome = Convert(parameters, whole);
  ChunkedSource pieces(program, chunks);
  const Outcome again = Convert(parameters, pieces);
  Require(outcome.result.status == again.result.status &&
              SameSums(outcome.result.sums, again.result.sums) && outcome.output == again.output &&
              outcome.shown == again.shown,
          "the conversion does not depend on how the bytes arrive");

  const ConversionStatus status = outcome.result.status;
  if (!Workable(parameters)) {
    Require(
        status == ConversionStatus::kRefused && outcome.output.empty() && outcome.shown.size() == 1,
        "values that cannot work are refused before anything is written");
    return 0;
  }
  switch (status) {
    case ConversionStatus::kConverted:
      Require(outcome.shown.empty(), "a finished conversion leaves the report to its caller");
      break;
    case ConversionStatus::kBrakingFailed:
      Require(outcome.shown.size() == 1 && outcome.shown[0].starts_with("captioned <kalvert>"),
              "a braking failure shows its box", outcome.shown.empty() ? "" : outcome.shown[0]);
      return 0;
    case ConversionStatus::kBadInput:
      Require(outcome.shown.size() == 1 && outcome.shown[0].starts_with("error [OK]: "),
              "refused input shows why");
      return 0;
    default:
      Violated("a conversion in memory converts, cannot brake or refuses the input");
  }
  Require(SameSums(outcome.result.sums, InputSums(ReadPieces(program, kProgramLineLimit))),
          "the control sums are the input's increments");
  RequireTimeOfWritten(outcome.result.writtenTime, outcome.output,
                       parameters.machine.acceleration_mm_s2);
  if (tidy) CheckTidyOutput(parameters, program, outcome.output);
  return 0;
}
