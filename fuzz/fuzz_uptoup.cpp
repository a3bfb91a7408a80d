// The Up->up correction on arbitrary programs and machine values.
//
// On any bytes: the run ends with a result, does not depend on how the bytes
// arrive, and shows one box that fits the result; a refused line (too long,
// a feed code below 1 mm/min) is named and nothing is written. On a tidy program (see
// TidyH33) also: every F word the correction reads back is a feed code within
// FeedMax, frames are numbered 001, 002 ... in order, the control sums are the
// sums of the input's increments, and the output holds the input's lines in
// their order but for numbers and feed words, dropped feed-only frames and
// inserted feed and stop frames, and the comparison of the two finds their
// moves alike.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "format/feedcode.h"
#include "format/frame.h"
#include "format/lineio.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "methods/correctiondiff.h"
#include "methods/uptoup.h"
#include "planning/framewindow.h"
#include "fuzzing.h"
#include "scripteddialogs.h"

namespace h33::fuzz {
namespace {

struct Outcome {
  CorrectionStatus result = CorrectionStatus::kCorrected;
  std::string output;
  std::vector<std::string> shown;
  TimeCount writtenTime;
};

Outcome Correct(const MachineLimits& machine, ByteSource& input) {
  ScriptedDialogs dialogs;
  MemorySink sink;
  UpToUpCorrection correction("p.up", "q.up", machine, dialogs);
  const CorrectionStatus result = correction.Run(input, sink);
  return {result, sink.Bytes(), dialogs.shown, correction.WrittenTime()};
}

std::string ControlSumsBox(const std::vector<std::string>& pieces) {
  ControlSums sums;
  for (const std::string& piece : pieces) sums.Add(Frame(piece));
  return "message: " +
         Sprintf("Контрольные суммы:\nSUMX =%10.2f mm\nSUMY =%10.2f mm\nSUMZ =%10.2f mm",
                 sums.X(), sums.Y(), sums.Z());
}

// A frame the correction inserts, once numbered.
bool IsInsertedFrame(std::string_view line) {
  line = WithoutLineFeed(line);
  return line.size() == 9 && line[0] == 'N' && line[4] == 'F' &&
         line.substr(1).find_first_not_of("0123456789", 4) == std::string_view::npos &&
         line.substr(1, 3).find_first_not_of("0123456789") == std::string_view::npos;
}

// What of a tidy line the correction keeps: all but its number and F words.
std::string Kept(std::string_view line) {
  std::string kept(WithoutLineFeed(line));
  if (kept.starts_with('N')) kept.erase(0, 4);
  for (std::size_t at; (at = kept.find('F')) != std::string::npos;) kept.erase(at, 5);
  return kept;
}

std::vector<std::string> KeptInput(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool dropped = i > 0 && Frame(lines[i]).IsFeedOnly();
    const bool endMark = i > 0 && i + 1 == lines.size() && lines[i] == "END";
    if (!dropped && !endMark && !IsInsertedFrame(lines[i])) kept.push_back(Kept(lines[i]));
  }
  return kept;
}

std::vector<std::string> KeptOutput(const std::vector<std::string>& lines) {
  std::vector<std::string> kept;
  for (const std::string& line : lines) {
    if (!IsInsertedFrame(line)) kept.push_back(Kept(line));
  }
  return kept;
}

void CheckTidyOutput(const MachineLimits& machine, const std::string& program,
                     const std::string& output) {
  std::string text = output;
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  Require(text.find('\r') == std::string::npos, "every line end is written as CR LF");
  const std::vector<std::string> lines = SplitLines(text);
  FrameCounter numbers(kH33NumberWrap);
  for (const std::string& line : lines) {
    const std::string_view feed = ReadWord(line, 'F');
    if (!feed.empty()) {
      Require(IsWrittenFeedCode(feed), "a feed word holds a feed code",
              [&] { return Shown(line); });
      Require(DecodeFeed(ParseInt(feed)) <= machine.feedMax_mm_min, "no feed exceeds FeedMax",
              [&] { return Sprintf("FeedMax %d: ", machine.feedMax_mm_min) + Shown(line); });
    }
    if (line.starts_with('N')) {
      Require(line.substr(1, 3) == Sprintf("%03ld", numbers.Take()), "frames are numbered in order",
              [&] { return Shown(line); });
    }
  }
  Require(KeptOutput(lines) == KeptInput(SplitLines(program)),
          "the output holds the input's lines in their order", [&] { return Shown(text); });
}

void CheckComparison(const std::string& program, const std::string& output) {
  MemorySource input(program), corrected(output);
  const CorrectionDiff diff = CompareCorrection(input, corrected, [](const FrameChange&) {});
  Require(diff.status == DiffStatus::kCorresponds, "a correction's moves are its input's", [&] {
    return Sprintf("input line %ld, output line %ld\n", diff.mismatch.inputLine, diff.mismatch.outputLine) +
           "input\n" + Shown(program) + "output\n" + Shown(output);
  });
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33;
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const std::uint8_t flags = bytes.Byte();
  const std::vector<std::size_t> chunks = ChunkSizes(bytes.Byte());
  // The values the run command and the command line let through.
  MachineLimits machine;
  machine.speedLimit_mm_min =
      static_cast<int>(flags & 2 ? bytes.Between(0, 1000000) : bytes.Between(0, 300));
  machine.feedMax_mm_min = static_cast<int>(bytes.Between(1, 9999));
  machine.acceleration_mm_s2 =
      static_cast<int>(flags & 4 ? bytes.Between(1, 1000000) : bytes.Between(1, 100));
  const bool tidy = flags & 1;
  const std::string program = tidy ? TidyH33(bytes.Rest()) : std::string(bytes.Rest());

  MemorySource whole(program);
  const Outcome outcome = Correct(machine, whole);
  ChunkedSource pieces(program, chunks);
  const Outcome again = Correct(machine, pieces);
  Require(outcome.result == again.result && outcome.output == again.output &&
              outcome.shown == again.shown,
          "the correction does not depend on how the bytes arrive");

  Require(outcome.shown.size() == 1, "a run shows one box");
  if (outcome.result == CorrectionStatus::kBrakingFailed) {
    Require(outcome.shown[0].starts_with("warning [Yes]: "), "a braking failure is a warning",
            outcome.shown[0]);
    return 0;
  }
  if (outcome.result == CorrectionStatus::kInputUnreadable) {
    Require(outcome.shown[0].starts_with("captioned <Ошибка в программе UpToUp>: Строка ") &&
                outcome.shown[0].ends_with("\nОбработка прервана."),
            "a refused line is named", outcome.shown[0]);
    // The writer's buffer holds all of an input this size: nothing reached the sink.
    Require(outcome.output.empty(), "a refused input writes nothing");
    return 0;
  }
  Require(outcome.result == CorrectionStatus::kCorrected,
          "a correction in memory succeeds, cannot brake or refuses a line");
  const std::vector<std::string> input = ReadPieces(program, kProgramLineLimit);
  const auto lineFeeds =
      static_cast<std::size_t>(std::count(outcome.output.begin(), outcome.output.end(), '\n'));
  Require(lineFeeds <= 2 * input.size(), "at most one frame is inserted after each frame");
  RequireTimeOfWritten(outcome.writtenTime, outcome.output, machine.acceleration_mm_s2);
  if (!tidy) return 0;
  Require(outcome.shown[0] == ControlSumsBox(input), "the control sums are the input's increments",
          outcome.shown[0]);
  CheckTidyOutput(machine, program, outcome.output);
  CheckComparison(program, outcome.output);
  return 0;
}
