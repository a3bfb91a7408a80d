// The tape splitter's copy and cut on arbitrary programs and tape sizes, and
// the correction of both parts as the splitter runs it.
//
// On any bytes: the copy does not depend on how the bytes arrive; the cut
// comes exactly where the count of the lines read passes the limit; the first
// tape holds the lines before it unchanged and ends the program; the second
// one starts a program; or the copy refuses a line, naming it, whichever way
// the bytes arrive. On a tidy program (see TidyH33) also: the second tape
// ends with the lines after the cut, its first move changed at most by a feed
// word, the first tape brings the tool back to where the program starts, and
// both tapes together move the tool as far as the program does. A program
// with a line too long to be one frame is refused, whatever else it holds.

#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "format/lineio.h"
#include "format/numbers.h"
#include "format/refusal.h"
#include "format/textformat.h"
#include "format/words.h"
#include "methods/tapecopy.h"
#include "methods/uptoup.h"
#include "fuzzing.h"
#include "scripteddialogs.h"

namespace h33::fuzz {
namespace {

struct Tapes {
  std::string first;
  std::string second;
  bool cut = false;
  std::string refusal;  // why the program was refused, naming its line
};

Tapes Copy(ByteSource& source, long limit) {
  MemorySink first;
  MemorySink second;
  LineWriter firstWriter(first);
  LineWriter secondWriter(second);
  TapeCopy copy(firstWriter, secondWriter, limit, "");
  try {
    const bool cut = copy.Copy(source);
    firstWriter.Flush();
    secondWriter.Flush();
    return {first.Bytes(), second.Bytes(), cut, {}};
  } catch (const ProgramRefusal& refusal) {
    return {{}, {}, false, refusal.what()};
  }
}

// A line the reader hands out in pieces: every piece but the last of the
// program ends its line.
bool HasLongLine(const std::vector<std::string>& pieces) {
  for (std::size_t piece = 0; piece + 1 < pieces.size(); ++piece) {
    if (!pieces[piece].ends_with('\n')) return true;
  }
  return false;
}

// Lines as the tape writer puts them on disk.
std::string OnTape(const std::vector<std::string>& lines, std::size_t from, std::size_t to) {
  std::string tape;
  for (std::size_t i = from; i < to; ++i) {
    for (const char c : lines[i]) tape += c == '\n' ? std::string("\r\n") : std::string(1, c);
  }
  return tape;
}

// How many lines go to the first tape: those whose count, each line as read
// plus one, stays within the limit.
std::size_t LinesBeforeCut(const std::vector<std::string>& pieces, long limit) {
  long long count = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    count += static_cast<long long>(pieces[i].size()) + 1;
    if (count > limit) return i;
  }
  return pieces.size();
}

// An F word appended to a last line brings its own line end.
std::string WithoutFirstFeedWord(std::string_view text) {
  std::string line(WithoutLineFeed(text));
  const std::string_view value = ReadWord(line, 'F');
  if (!value.empty())
    line.erase(static_cast<std::size_t>(value.data() - line.data()) - 1, value.size() + 1);
  return line;
}

// The sums of the X, Y and Z words in 0.01 mm; nothing when a value
// saturates or a sum overflows, as the splitter's offsets then saturate.
std::optional<std::array<long, 3>> Displacement(const std::vector<std::string>& lines) {
  std::array<long, 3> sums{};
  for (const std::string& line : lines) {
    for (std::size_t axis = 0; axis < 3; ++axis) {
      const std::string_view word = ReadWord(line, "XYZ"[axis]);
      if (word.empty()) continue;
      const long value = ParseLong(word);
      if (value == LONG_MAX || value == LONG_MIN ||
          __builtin_add_overflow(sums[axis], value, &sums[axis])) {
        return std::nullopt;
      }
    }
  }
  return sums;
}

std::vector<std::string> TapeLines(const std::string& tape) {
  std::string text = tape;
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  return SplitLines(text);
}

void CheckTidyCut(const std::vector<std::string>& lines, std::size_t cutAt, const Tapes& tapes) {
  std::size_t firstMove = cutAt;
  while (firstMove < lines.size() && !ReadCoordinates(lines[firstMove]).present) ++firstMove;
  const std::string rest =
      OnTape(lines, firstMove < lines.size() ? firstMove + 1 : cutAt, lines.size());
  Require(tapes.second.ends_with(rest), "the second tape ends with the lines after the cut");
  const std::vector<std::string> second = TapeLines(tapes.second);
  if (firstMove < lines.size()) {
    const std::size_t restLines = lines.size() - firstMove - 1;
    Require(second.size() > restLines, "the first move after the cut is on the second tape");
    const std::string& move = second[second.size() - restLines - 1];
    Require(WithoutFirstFeedWord(move) == WithoutFirstFeedWord(lines[firstMove]),
            "the first move after the cut gains at most a feed word", [&] { return Shown(move); });
  }
  std::vector<std::string> both = TapeLines(tapes.first);
  if (const auto firstTapeMove = Displacement(both)) {
    Require(*firstTapeMove == std::array<long, 3>{}, "the first tape ends where the program starts",
            [&] { return Shown(tapes.first); });
  }
  both.insert(both.end(), second.begin(), second.end());
  const auto program = Displacement(lines);
  const auto tapesMove = Displacement(both);
  if (program && tapesMove) {
    Require(*program == *tapesMove, "both tapes together move as far as the program",
            [&] { return Shown(tapes.first) + "\n---\n" + Shown(tapes.second); });
  }
}

void CheckCorrection(const std::string& tape, int feedMax) {
  ScriptedDialogs dialogs;
  MemorySource input(tape);
  MemorySink output;
  const CorrectionStatus result =
      UpToUpCorrection("tmp.ptp", "part.up", {100, feedMax, 50}, dialogs).Run(input, output);
  // The feed stated on the first move after the cut can make a line just
  // under the limit too long for the correction, which then refuses it.
  // It refuses, too, a frame it would write longer than a read.
  const bool grown = HasLongLine(ReadPieces(tape, kProgramLineLimit)) ||
                     (!dialogs.shown.empty() &&
                      dialogs.shown.back().find("с записанной подачей длиннее") != std::string::npos);
  Require(result == CorrectionStatus::kCorrected || result == CorrectionStatus::kBrakingFailed ||
              (grown && result == CorrectionStatus::kInputUnreadable),
          "a part is corrected or cannot brake", [&] { return Shown(tape) + dialogs.shown.back(); });
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33;
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const std::uint8_t flags = bytes.Byte();
  const std::vector<std::size_t> chunks = ChunkSizes(bytes.Byte());
  // The length dialog takes any whole number and keeps it less 200 bytes.
  const long limit = flags & 2 ? bytes.Between(-200, 2000000000) : bytes.Between(-200, 2000);
  const int feedMax = static_cast<int>(bytes.Between(1, 9999));
  const bool tidy = flags & 1;
  const std::string program = tidy ? TidyH33(bytes.Rest()) : std::string(bytes.Rest());

  MemorySource whole(program);
  const Tapes tapes = Copy(whole, limit);
  ChunkedSource pieces(program, chunks);
  const Tapes again = Copy(pieces, limit);
  Require(tapes.first == again.first && tapes.second == again.second && tapes.cut == again.cut &&
              tapes.refusal == again.refusal,
          "the copy does not depend on how the bytes arrive");
  const std::vector<std::string> lines = ReadPieces(program, kProgramLineLimit);
  Require(!HasLongLine(lines) || !tapes.refusal.empty(), "a line too long for one frame is refused");
  if (!tapes.refusal.empty()) {
    // A line too long or a feed code below 1 mm/min: the split stops there.
    Require(tapes.refusal.starts_with("Строка "), "a refusal names the line", tapes.refusal);
    return 0;
  }
  const std::size_t cutAt = LinesBeforeCut(lines, limit);
  Require(tapes.cut == (cutAt < lines.size()), "the cut comes when the count passes the limit",
          Sprintf("limit %ld", limit));
  Require(tapes.first.starts_with(OnTape(lines, 0, cutAt)),
          "the first tape holds the lines before the cut unchanged");
  Require(tapes.second.starts_with("%\r\n"), "the second tape starts a program");
  if (!tapes.cut) {
    // The second tape is thrown away then.
    Require(tapes.first == OnTape(lines, 0, lines.size()),
            "a program within the limit stays whole on the first tape");
    return 0;
  }
  Require(tapes.first.ends_with("N000M30\r\n$\r\n"), "the first tape ends its program");
  if (tidy) CheckTidyCut(lines, cutAt, tapes);
  CheckCorrection(tapes.first, feedMax);
  CheckCorrection(tapes.second, feedMax);
  return 0;
}
