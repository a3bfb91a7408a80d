// The braking check on arbitrary programs and machine values, and on what
// the Up->up correction writes from them.
//
// On any bytes the check ends with findings or a refusal of the line the
// methods refuse too; the correction refuses a code above 4000 besides,
// which the check reads with the controller's frame after it. On a tidy
// program (see TidyH33) whatever the correction writes passes the check
// with the same machine values, but for the faults it keeps from its input
// (a move with no feed to run at, the first frame's arc), which the check
// finds in the input.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "format/refusal.h"
#include "format/textformat.h"
#include "methods/brakingcheck.h"
#include "methods/correctionpolicy.h"
#include "methods/uptoup.h"
#include "fuzzing.h"
#include "keptfaults.h"
#include "scripteddialogs.h"

namespace h33::fuzz {
namespace {

// The findings, or nothing when the program is refused.
std::optional<std::vector<BrakingFinding>> Findings(const MachineLimits& machine,
                                                   const std::string& program) {
  MemorySource source(program);
  try {
    return BrakingCheck(machine).Check(source);
  } catch (const ProgramRefusal&) {
    return std::nullopt;
  }
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33;
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const std::uint8_t flags = bytes.Byte();
  // The values the run command and the command line let through, but a
  // speed limit of 0: a move of at most 0.21 mm runs at twice the speed
  // limit, so the correction writes F0000 into it, and the check rightly
  // names a move the machine cannot run.
  MachineLimits machine;
  machine.speedLimit_mm_min =
      static_cast<int>(flags & 2 ? bytes.Between(1, 9999) : bytes.Between(1, 300));
  machine.feedMax_mm_min = static_cast<int>(bytes.Between(1, 9999));
  machine.acceleration_mm_s2 =
      static_cast<int>(flags & 4 ? bytes.Between(1, 1000000) : bytes.Between(1, 100));
  const bool tidy = flags & 1;
  const std::string program = tidy ? TidyH33(bytes.Rest()) : std::string(bytes.Rest());

  const auto input = Findings(machine, program);
  // Every reader takes the same lines whatever the line ends.
  const auto fromLone = Findings(machine, WithLoneCarriageReturns(program));
  Require(fromLone.has_value() == input.has_value() &&
              (!input || ListFindings(*fromLone) == ListFindings(*input)),
          "the findings do not depend on the line ends");
  // Nothing checked is no pass.
  Require(!input || !input->empty() || program.find_first_of("XYZ") != std::string::npos,
          "a program without a move does not pass");
  ScriptedDialogs dialogs;
  MemorySource source(program);
  MemorySink sink;
  const CorrectionStatus status =
      UpToUpCorrection("p.up", "q.up", machine, dialogs).Run(source, sink);
  // In memory nothing fails to read: the correction is unreadable only for a refused line.
  // The check reads a code above 4000 with the controller's frame after it,
  // which the correction refuses.
  const bool unreadable = status == CorrectionStatus::kInputUnreadable;
  const bool slowFrameCode =
      unreadable && dialogs.shown.back().find("с первой цифрой 4") != std::string::npos;
  // A frame the correction would write longer than a read is its output's
  // fault, not its input's.
  const bool grownFrame =
      unreadable && dialogs.shown.back().find("с записанной подачей длиннее") != std::string::npos;
  Require(input.has_value() != unreadable || status == CorrectionStatus::kBrakingFailed ||
              (input.has_value() && (slowFrameCode || grownFrame)),
          "the check refuses what the correction refuses");
  // Numbering overwrites the three characters after a line's first, so in
  // a frame whose N word does not stand first it may overwrite an X: only
  // a tidy program's frames reach the machine as the correction braked them.
  if (status != CorrectionStatus::kCorrected || !tidy) return 0;
  const auto output = Findings(machine, sink.Bytes());
  Require(output.has_value(), "the check reads what the correction writes",
          [&] { return Shown(sink.Bytes()); });
  const std::vector<BrakingFinding> own =
      FindingsNotKept(*output, *input, CorrectionPolicy(machine).braking);
  Require(own.empty(), "the correction's output passes the check but for faults of its input",
          [&] {
            return ListFindings(own) + "in\n" + Shown(sink.Bytes()) + "written from\n" +
                   Shown(program) +
                   Sprintf("with speed limit %d, FeedMax %d, acceleration %d",
                           machine.speedLimit_mm_min, machine.feedMax_mm_min,
                           machine.acceleration_mm_s2);
          });
  return 0;
}
