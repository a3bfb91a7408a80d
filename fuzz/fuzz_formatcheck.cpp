// The format check and the file information on arbitrary files.

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/statisticsview.h"
#include "format/fileinfo.h"
#include "format/formatcheck.h"
#include "format/frame.h"
#include "format/lineio.h"
#include "format/textformat.h"
#include "fuzzing.h"

namespace h33::fuzz {
namespace {

bool Same(double a, double b) { return a == b || (a != a && b != b); }

bool Same(const ProgramStatistics& a, const ProgramStatistics& b) {
  bool same = Same(a.machiningTime_min, b.machiningTime_min) && Same(a.pathLength_mm, b.pathLength_mm) &&
              a.lineCount == b.lineCount && a.linearMoves == b.linearMoves &&
              a.arcMoves == b.arcMoves && Same(a.minFeed_mm_min, b.minFeed_mm_min) &&
              Same(a.maxFeed_mm_min, b.maxFeed_mm_min) && a.isH33 == b.isH33 &&
              a.formatViolations == b.formatViolations;
  for (std::size_t axis = 0; axis < 3; ++axis) {
    same = same && Same(a.minPosition[axis], b.minPosition[axis]) &&
           Same(a.maxPosition[axis], b.maxPosition[axis]) &&
           Same(a.axisSums_mm[axis], b.axisSums_mm[axis]);
  }
  return same;
}

// Lines the two read-only passes examine: the pieces of 127 characters, but
// not a last line that runs into the end of the file without a line end.
int ExaminedLines(std::string_view program) {
  const std::vector<std::string> pieces = ReadPieces(program, kCheckLineLimit);
  if (pieces.empty()) return 0;
  const std::string& last = pieces.back();
  const bool reachedEnd = !last.ends_with('\n') && last.size() < kCheckLineLimit;
  return static_cast<int>(pieces.size()) - (reachedEnd ? 1 : 0);
}

// A method's pass feeds the check its own 198-character pieces: the check
// finds what it finds in the file, in the same order.
void CheckFedByAMethod(std::string_view program) {
  std::vector<std::string> direct, fed;
  MemorySource file(program);
  ForEachH33Violation(file, FeedWordCheck::kChecked,
                      [&](const FormatViolation& violation) { direct.push_back(DescribeViolation(violation)); });
  MemorySource again(program);
  LineReader reader(again);
  FormatCheck check(FeedWordCheck::kChecked,
                    [&](const FormatViolation& violation) { fed.push_back(DescribeViolation(violation)); });
  for (std::string piece; reader.ReadLine(piece, kProgramLineLimit);) check.Take(Frame(piece));
  Require(fed == direct, "the check fed a method's pieces finds what it finds in the file",
          [&] { return Shown(program); });
}

void CheckViolations(std::string_view program, const std::vector<std::size_t>& chunks) {
  MemorySource whole(program);
  const int count = CheckH33Format(whole);
  ChunkedSource pieces(program, chunks);
  Require(CheckH33Format(pieces) == count, "the check does not depend on how the bytes arrive");
  MemorySource again(program);
  const int withoutFeeds = CheckH33Format(again, FeedWordCheck::kSkipped);
  Require(withoutFeeds >= 0 && withoutFeeds <= count, "skipping the feed check finds no more");

  MemorySource walked(program);
  int visits = 0;
  long line = 1;
  ForEachH33Violation(walked, FeedWordCheck::kChecked, [&](const FormatViolation& violation) {
    Require(violation.line >= line, "violations come in the order of the lines");
    line = violation.line;
    Require(!DescribeViolation(violation).empty(), "every violation is described");
    ++visits;
  });
  Require(visits == count, "the count is the number of violations");
  const std::string macintosh = WithLoneCarriageReturns(program);
  MemorySource lone(macintosh);
  Require(CheckH33Format(lone) == count, "the check does not depend on the line ends");
  Require(visits == 0 || line <= ExaminedLines(program), "violations lie on examined lines");
  CheckFedByAMethod(program);
}

void CheckStatistics(std::string_view program, const std::vector<std::size_t>& chunks,
                     double feedMax) {
  MemorySource check(program);
  const int violations = CheckH33Format(check);
  MemorySource whole(program);
  const ProgramStatistics statistics = CollectStatistics(whole, feedMax, violations);
  ChunkedSource pieces(program, chunks);
  Require(Same(statistics, CollectStatistics(pieces, feedMax, violations)),
          "the statistics do not depend on how the bytes arrive");
  const std::string macintosh = WithLoneCarriageReturns(program);
  MemorySource lone(macintosh);
  Require(Same(statistics, CollectStatistics(lone, feedMax, violations)),
          "the statistics do not depend on the line ends");

  const std::string seen = Sprintf("FeedMax %g: lines %d, min feed %g, max feed %g, time %g",
                                   feedMax, statistics.lineCount, statistics.minFeed_mm_min,
                                   statistics.maxFeed_mm_min, statistics.machiningTime_min);
  Require(statistics.lineCount == ExaminedLines(program), "every examined line is counted", seen);
  Require(statistics.linearMoves >= 0 && statistics.arcMoves >= 0 &&
              statistics.linearMoves + statistics.arcMoves <= statistics.lineCount,
          "moves are counted once per line", seen);
  Require(statistics.minFeed_mm_min >= 0 && statistics.minFeed_mm_min <= feedMax, "MinFeed is at most FeedMax",
          seen);
  Require(statistics.maxFeed_mm_min >= -feedMax, "MaxFeed is at least -FeedMax", seen);
  Require(
      statistics.isH33 == (violations == 0 ? 1 : 0) && statistics.formatViolations == violations,
      "an H33 program is one without violations", seen);
  if (statistics.isH33) {
    Require(statistics.machiningTime_min == -1, "an H33 program is timed by the time counter", seen);
  } else {
    Require(!(statistics.machiningTime_min < 0), "a machining time is never negative", seen);
  }
  Require(!(statistics.pathLength_mm < 0), "a path length is never negative", seen);
  if (statistics.lineCount == 0) {
    Require(statistics.minFeed_mm_min == feedMax && statistics.maxFeed_mm_min == -feedMax, "no line, no feed",
            seen);
  }
  const StatisticsView view = MakeStatisticsView(statistics, statistics.machiningTime_min, ",");
  Require(!StatisticsText(view).empty(), "the statistics are shown");
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const std::vector<std::size_t> chunks = ChunkSizes(bytes.Byte());
  const auto feedMax = static_cast<double>(bytes.Between(1, 9999));
  const std::string_view program = bytes.Rest();
  CheckViolations(program, chunks);
  CheckStatistics(program, chunks, feedMax);
  return 0;
}
