// The word operations, the frame read once, the modal codes and the frame
// numbering on arbitrary lines.

#include <algorithm>
#include <climits>
#include <cstring>
#include <cstdint>
#include <string>
#include <string_view>

#include "format/frame.h"
#include "format/geometry.h"
#include "format/modalstate.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "fuzzing.h"

namespace h33::fuzz {
namespace {

constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kValueChars = "0123456789 +-.";

bool IsValueChar(char c) { return kValueChars.find(c) != std::string_view::npos; }

bool SameVector(const FrameVector& a, const FrameVector& b) {
  return std::memcmp(&a.x, &b.x, sizeof a.x) == 0 && std::memcmp(&a.y, &b.y, sizeof a.y) == 0 &&
         std::memcmp(&a.z, &b.z, sizeof a.z) == 0 && a.present == b.present;
}

void CheckReadWord(std::string_view line, char letter) {
  const std::string_view value = ReadWord(line, letter);
  const std::size_t at = line.find(letter);
  if (at == std::string_view::npos) return Require(value.empty(), "ReadWord of a missing letter");
  Require(value.data() == line.data() + at + 1, "ReadWord starts after the first occurrence");
  Require(std::all_of(value.begin(), value.end(), IsValueChar), "ReadWord holds value characters");
  const std::size_t end = at + 1 + value.size();
  Require(end == line.size() || !IsValueChar(line[end]), "ReadWord takes the whole value");
}

// Every other word is read as before: a value never runs into a letter, so
// replacing or inserting one word cannot change another.
void RequireOtherWordsKept(std::string_view before, std::string_view after, char letter) {
  for (const char other : kLetters) {
    if (other == letter) continue;
    Require(ReadWord(before, other) == ReadWord(after, other), "ReplaceWord keeps the other words",
            [&] { return Shown(before) + "\n--- became ---\n" + Shown(after); });
  }
}

void CheckReplaceWord(const std::string& line, char letter, const std::string& value) {
  std::string replaced = line;
  ReplaceWord(replaced, letter, value);
  RequireOtherWordsKept(line, replaced, letter);
  const std::string_view old = ReadWord(line, letter);
  if (!old.empty()) {
    Require(ReadWord(replaced, letter) == value, "ReplaceWord sets the value");
    Require(replaced.size() == line.size() - old.size() + value.size(),
            "ReplaceWord changes only the value");
    return;
  }
  const bool appended = line.find_first_of("<\r\n") == std::string::npos && !HasWord(line, 'L');
  Require(replaced.size() == line.size() + 1 + value.size() + (appended ? 1 : 0),
          "ReplaceWord inserts the word alone", [&] { return Shown(replaced); });
  if (appended) Require(replaced.ends_with('\n'), "an appended word ends its line");
  if (line.find(letter) == std::string::npos) {
    Require(ReadWord(replaced, letter) == value, "an inserted word reads back",
            [&] { return Shown(replaced); });
  }
  if (HasWord(line, 'L') && letter != 'L') {
    const std::string word = std::string(1, letter) + value + 'L';
    Require(replaced.find(word) != std::string::npos, "the L word stays after an inserted word",
            [&] { return Shown(replaced); });
  }
}

void CheckStripFeedWords(const std::string& line) {
  std::string stripped = line;
  StripFeedWords(stripped);
  Require(stripped.find('F') == std::string::npos, "StripFeedWords leaves no F",
          [&] { return Shown(stripped); });
  for (const char end : {'\r', '\n'}) {
    Require(std::count(line.begin(), line.end(), end) ==
                std::count(stripped.begin(), stripped.end(), end),
            "StripFeedWords keeps every line end", [&] { return Shown(stripped); });
  }
  const auto feeds = static_cast<std::size_t>(std::count(line.begin(), line.end(), 'F'));
  Require(stripped.size() + 5 * feeds >= line.size(), "StripFeedWords removes at most F and four");
  // What is left keeps its order.
  std::size_t at = 0;
  for (const char c : stripped) {
    at = line.find(c, at);
    Require(at != std::string::npos, "StripFeedWords keeps the order",
            [&] { return Shown(stripped); });
    ++at;
  }
}

void CheckH33Number(const std::string& line, long number) {
  std::string numbered = line;
  WriteH33Number(numbered, number);
  std::size_t content = line.size();
  while (content > 0 && (line[content - 1] == '\n' || line[content - 1] == '\r')) --content;
  if (content == 0) return Require(numbered == line, "a line without content takes no number");
  const std::string digits = Sprintf("%3.3ld", number);
  const std::size_t replaced = std::min<std::size_t>(3, content - 1);
  const std::string expected = line.substr(0, 1) + digits + line.substr(1 + replaced);
  Require(numbered == expected, "the number stands in characters 2 to 4",
          [&] { return Shown(line) + "\n--- became ---\n" + Shown(numbered); });
}

void CheckFrameCounter(long wrapAt, int takes) {
  FrameCounter counter(wrapAt);
  long previous = 0;
  for (int i = 0; i < takes; ++i) {
    const long number = counter.Take();
    Require(number >= 1 && number < wrapAt, "frame numbers stay below the wrap");
    Require(number == previous + 1 || (previous == wrapAt - 1 && number == 1),
            "frame numbers count up by one and restart at 1");
    previous = number;
  }
}

void CheckNumbers(std::string_view text) {
  const long wide = ParseLong(text);
  const int narrow = ParseInt(text);
  Require(narrow == std::clamp<long>(wide, INT_MIN, INT_MAX), "ParseInt saturates as ParseLong");
  const double real = ParseDouble(text);
  Require(real == real && ParseFloat(text) == ParseFloat(text), "numbers read are never NaN");
  if (wide != 0) Require((wide < 0) == (real < 0), "whole and real readings agree in sign");
}

// The frame read once gives what the word operations give one by one.
void CheckFrame(const std::string& line) {
  const Frame frame(line);
  for (const char letter : kLetters) {
    Require(frame.Word(letter) == ReadWord(line, letter), "Frame reads a word as ReadWord",
            [&] { return std::string(1, letter) + " in " + Shown(line); });
  }
  Require(SameVector(frame.Move(), ReadCoordinates(line)), "Frame's move is ReadCoordinates'");
  Require(SameVector(frame.ArcOffsets(), ReadArcOffsets(line)),
          "Frame's offsets are ReadArcOffsets'");
  for (const int code : {0, 1, 2, 3, 17, 18, 19}) {
    Require(frame.Codes().States(code) == ModalCodes(line).States(code),
            "Frame's scan finds the modal codes a search finds", [&] { return Shown(line); });
  }
}

// An edit made through the frame leaves it as a fresh reading of its text
// would be, and its text as the word operations would make it.
void RequireFreshReading(const Frame& edited, const std::string& expectedText) {
  const Frame fresh(expectedText);
  const auto show = [&] { return Shown(expectedText) + "\n--- edited frame ---\n" + Shown(edited.Text()); };
  Require(edited.Text() == expectedText, "an edit through the frame makes the word operation's text",
          show);
  for (const char letter : kLetters) {
    Require(edited.Word(letter) == fresh.Word(letter) &&
                edited.HasHiddenWord(letter) == fresh.HasHiddenWord(letter),
            "an edited frame reads its words as a fresh one", show);
  }
  for (const int code : {0, 1, 2, 3, 17, 18, 19}) {
    Require(edited.Codes().States(code) == fresh.Codes().States(code),
            "an edited frame states the codes of a fresh one", show);
  }
  Require(SameVector(edited.Move(), fresh.Move()) &&
              SameVector(edited.ArcOffsets(), fresh.ArcOffsets()) &&
              edited.IsFeedOnly() == fresh.IsFeedOnly(),
          "an edited frame has the move and class of a fresh one", show);
}

void CheckFrameEdits(const std::string& line, char letter, const std::string& value, long number) {
  Frame frame(line);
  std::string text = line;
  frame.SetWord(letter, value);
  ReplaceWord(text, letter, value);
  RequireFreshReading(frame, text);
  frame.SetH33Number(number);
  WriteH33Number(text, number);
  RequireFreshReading(frame, text);
  frame.EndLine();
  if (!text.ends_with('\n')) text += '\n';
  RequireFreshReading(frame, text);
}

// The one pass over the line finds what plain searches for each code find.
void CheckModalCodes(const std::string& line, int sense) {
  const auto has = [&](std::string_view code) { return line.find(code) != std::string::npos; };
  ModalState state;
  // G03, G19 and G00 in force: any code the line states shows.
  state.TakeLine("G03G19\n");
  state.TakeLine("G00\n");
  state.TakeLine(line);
  const int motion = has("G01") ? 1 : has("G02") ? 2 : 3;
  const int plane = has("G17") ? 17 : has("G18") ? 18 : 19;
  const bool rapid = !has("G01") && !has("G02") && !has("G03");
  const int senseAfter = has("G02") ? 2 : has("G03") ? 3 : sense;
  Require(state.Motion() == motion && state.PlaneCode() == plane && state.Rapid() == rapid,
          "ModalState finds its codes as substrings, the lowest winning", [&] { return Shown(line); });
  Require(ModalState::ArcSenseAfter(ModalCodes(line), sense) == senseAfter, "the sense as a single step");
  Require(ModalCodes(line).StatesInterpolation() == !rapid, "StatesInterpolation is G01..G03");
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const char letter = kLetters[bytes.Byte() % kLetters.size()];
  const long number = bytes.Word() % 2000;
  std::string value;
  for (int length = 1 + bytes.Byte() % 8; length > 0; --length) {
    value += kValueChars[bytes.Byte() % kValueChars.size()];
  }
  const std::string line(bytes.Rest());

  CheckReadWord(line, letter);
  CheckReplaceWord(line, letter, value);
  CheckStripFeedWords(line);
  CheckFrame(line);
  CheckFrameEdits(line, letter, value, number);
  CheckModalCodes(line, static_cast<int>(number % 4));
  CheckH33Number(line, number);
  CheckNumbers(line);
  CheckNumbers(h33::ReadWord(line, letter));
  CheckFrameCounter(2 + number % 40, static_cast<int>(number % 97));
  return 0;
}
