// The time counter on arbitrary programs and accelerations: it counts a time
// or refuses a move at a code that is no feed or bytes no text holds, the
// same whichever way the bytes arrive and whatever the line ends (LF, CR LF
// or a lone CR). The breakdown built along leaves the count as it was, and
// its parts add up to it.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/timebreakdownview.h"
#include "format/refusal.h"
#include "format/textformat.h"
#include "methods/timebreakdown.h"
#include "methods/timecount.h"
#include "methods/timemessage.h"
#include "fuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33;
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const std::vector<std::size_t> chunks = ChunkSizes(bytes.Byte());
  // The window normalises the field to a positive number, the command line
  // takes at least 1.
  const bool extreme = bytes.Byte() & 1;
  const int acceleration =
      static_cast<int>(extreme ? bytes.Between(1, 2147483647) : bytes.Between(1, 200));
  const std::string_view program = bytes.Rest();

  MemorySource whole(program);
  ChunkedSource pieces(program, chunks);
  const std::string macintosh = WithLoneCarriageReturns(program);
  MemorySource lone(macintosh);
  float seconds = 0;
  try {
    seconds = TimeCounter("p.up", acceleration).CountTime(whole);
  } catch (const ProgramRefusal& refusal) {
    // A move at a code that is no feed, a NUL byte, a byte-order mark:
    // refused whichever way the bytes come.
    Require(std::string_view(refusal.what()).starts_with("Строка "), "a refusal names the line",
            refusal.what());
    ByteSource* const others[] = {&pieces, &lone};
    for (ByteSource* source : others) {
      try {
        TimeCounter("p.up", acceleration).CountTime(*source);
      } catch (const ProgramRefusal& same) {
        Require(std::string_view(same.what()) == refusal.what(),
                "the refusal depends neither on how the bytes arrive nor on the line ends",
                same.what());
        continue;
      }
      Violated("the refusal depends neither on how the bytes arrive nor on the line ends");
    }
    return 0;
  }
  const float again = TimeCounter("p.up", acceleration).CountTime(pieces);
  const float fromLone = TimeCounter("p.up", acceleration).CountTime(lone);
  Require(std::memcmp(&seconds, &fromLone, sizeof seconds) == 0,
          "the time does not depend on the line ends",
          [&] { return Sprintf("%.9g s and %.9g s", double{seconds}, double{fromLone}); });

  const std::string seen =
      Sprintf("acceleration %d: %.9g s and %.9g s", acceleration, double{seconds}, double{again});
  Require(seconds >= 0, "the time is a number of 0 or more", seen);
  Require(std::memcmp(&seconds, &again, sizeof seconds) == 0,
          "the time does not depend on how the bytes arrive", seen);
  Require(!TimeMessage(seconds).empty(), "the time is reported");

  ChunkedSource observed(program, chunks);
  TimeBreakdownBuilder breakdown(1200);
  const float counted = TimeCounter("p.up", acceleration).CountTime(observed, &breakdown);
  Require(std::memcmp(&seconds, &counted, sizeof seconds) == 0,
          "the breakdown leaves the count as it was", seen);
  const TimeBreakdown parts = breakdown.Result(counted);
  const double sum = parts.parts.Seconds();
  if (std::isfinite(sum) && std::isfinite(seconds)) {
    Require(std::fabs(sum - seconds) <= 0.5 + 1e-3 * seconds, "the parts add up to the count",
            [&] { return Sprintf("%s, parts %.9g s", seen.c_str(), sum); });
  }
  const ShownTimeParts shown = ShowTimeBreakdown(parts).total;
  Require(shown.cutting_s + shown.rapid_s + shown.braking_s == shown.total_s,
          "the shown parts add up to the shown total", seen);
  return 0;
}
