#include "programgen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <string_view>

#include "format/feedcode.h"
#include "format/frame.h"
#include "format/lineio.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33::bench {
namespace {

// splitmix64: the same sequence on every platform and standard library,
// unlike the <random> distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }

  long Between(long low, long high) {
    return low + static_cast<long>(Next() % static_cast<std::uint64_t>(high - low + 1));
  }

  bool Chance(int percent) { return Between(1, 100) <= percent; }

 private:
  std::uint64_t state_;
};

// Coordinates in 0.01 mm.
constexpr long kLeadMin = 500;
constexpr long kLeadMax = 2000;
constexpr long kShortMax = 14;  // both components ≤ 0.14 mm: the segment is under 0.2 mm
constexpr long kRadiusMin = 1000;
constexpr long kRadiusMax = 4000;

// Feeds in mm/min. Each codes exactly, so a program keeps the feed it names.
constexpr std::array<int, 9> kUpFeeds = {240, 300, 400, 500, 600, 660, 800, 1000, 1200};
constexpr int kPtpFeedMin = 200;
constexpr int kPtpFeedMax = 1200;
constexpr std::array<int, 4> kHighFeeds = {2000, 3000, 5000, 9900};
constexpr int kPlungeFeed = 300;
constexpr int kStartFeed = 660;

struct Move {
  long x = 0;
  long y = 0;
  long z = 0;
};

double Radians(long degrees) { return static_cast<double>(degrees) * std::numbers::pi / 180.0; }

class Generator {
 public:
  Generator(ProgramFormat format, std::uint64_t seed, ByteSink& sink, const ProgramExtras& extras)
      : format_(format), extras_(extras), random_(seed), writer_(sink) {}

  std::uint64_t Run(std::uint64_t bytes) {
    Opening();
    while (written_ < bytes) Block();
    Closing();
    writer_.Flush();
    return written_;
  }

 private:
  void Opening() {
    Line("%");
    Frame("G17S500M03");
    Frame("M08");
    straightG_ = true;
    Straight(Move{0, 0, -random_.Between(200, 800)}, kPlungeFeed);
    Straight(RandomMove(kLeadMin, kLeadMax), kStartFeed);
  }

  void Closing() {
    Lead();
    Frame("M05");
    Frame("M09");
    Frame("M30");
    if (format_ == ProgramFormat::kUp) Line("$");
  }

  // An extra is rolled for only where asked for: without extras the
  // random sequence, and so the program, is the benchmarks' own.
  bool Extra(int percent) { return percent > 0 && random_.Chance(percent); }

  void Block() {
    if (Extra(extras_.earlierRunPercent)) return EarlierRunFrame();
    const long pick = random_.Between(1, 100);
    if (pick <= 50) {
      Lines();
    } else if (pick <= 75) {
      Arcs();
    } else if (pick <= 85) {
      ShortSegments();
    } else if (pick <= 91) {
      Plunge();
    } else if (pick <= 97) {
      FeedOnly();
    } else {
      MFunctions();
    }
  }

  // A few straight moves of 2 to 30 mm, the first sometimes at a new feed.
  void Lines() {
    const long count = random_.Between(1, 6);
    for (long i = 0; i < count; ++i) {
      if (i == 0 && random_.Chance(20)) {
        ChangeFeed(RandomFeed());
      } else {
        Straight(RandomMove(200, 3000));
      }
    }
  }

  void Arcs() {
    const long count = random_.Between(1, 2);
    for (long i = 0; i < count; ++i) Arc();
    Straight(RandomMove(200, 1500));
  }

  void ShortSegments() {
    Lead();
    const long count = random_.Between(2, 8);
    for (long i = 0; i < count; ++i) {
      Move move;
      while (move.x == 0 && move.y == 0) {
        move.x = random_.Between(-kShortMax, kShortMax);
        move.y = random_.Between(-kShortMax, kShortMax);
      }
      Straight(move);
    }
    Straight(RandomMove(200, 1500));
  }

  // Down into the material slowly, then on at the feed in force before (never
  // faster than that, or going on would be a slow-down without a lead).
  void Plunge() {
    Lead();
    const int feed = feed_;
    Straight(Move{0, 0, -random_.Between(100, 1000)}, std::min(kPlungeFeed, feed));
    Straight(RandomMove(200, 3000), feed);
  }

  // A slower feed or a stop, so after a lead; the next move restates its feed.
  void EarlierRunFrame() {
    Lead();
    Line(random_.Chance(50) ? "N000F0610" : "N000F0000");
    Straight(RandomMove(200, 3000), feed_);
  }

  void FeedOnly() {
    Lead();
    const int feed = RandomFeed();
    Frame(FeedWord(feed));
    feed_ = feed;
    Straight(RandomMove(200, 3000));
  }

  // Spindle and coolant off and on again; the next move restates its feed.
  void MFunctions() {
    Lead();
    Frame("M05");
    Frame("M09");
    Frame(random_.Chance(50) ? "S800M03" : "M03");
    Frame("M08");
    straightG_ = true;
    Straight(RandomMove(200, 3000), feed_);
  }

  // Lower feeds come after a lead long enough to brake in.
  void ChangeFeed(int feed) {
    if (feed < feed_) Lead();
    Straight(RandomMove(200, 3000), feed);
  }

  void Lead() { Straight(RandomMove(kLeadMin, kLeadMax)); }

  // An arc in the XY plane of 15° to 160°; I, J is the start point relative to
  // the centre and X, Y the chord, so the end point relative to the centre is
  // I + X, J + Y, on the same circle within rounding.
  void Arc() {
    const bool clockwise = random_.Chance(50);
    const double radius = static_cast<double>(random_.Between(kRadiusMin, kRadiusMax));
    const long startAngle = random_.Between(0, 359);
    const long sweep = random_.Between(15, 160);
    const long endAngle = clockwise ? startAngle - sweep : startAngle + sweep;
    const long i = std::lround(radius * std::cos(Radians(startAngle)));
    const long j = std::lround(radius * std::sin(Radians(startAngle)));
    const long endX = std::lround(radius * std::cos(Radians(endAngle)));
    const long endY = std::lround(radius * std::sin(Radians(endAngle)));
    std::string words = clockwise ? "G02" : "G03";
    words += Sprintf("X%+6.6ldY%+6.6ldI%+6.6ldJ%+6.6ld", endX - i, endY - j, i, j);
    Frame(words);
    straightG_ = true;
  }

  // A move of about min to max in a random direction: mostly in the plane,
  // sometimes along Z alone or in space.
  Move RandomMove(long min, long max) {
    const double length = static_cast<double>(random_.Between(min, max));
    const long kind = random_.Between(1, 10);
    if (kind == 1)
      return Move{0, 0, random_.Chance(50) ? std::lround(length) : -std::lround(length)};
    const double angle = Radians(random_.Between(0, 359));
    Move move{std::lround(length * std::cos(angle)), std::lround(length * std::sin(angle)), 0};
    if (kind == 2) move.z = random_.Between(-min, min);
    if (move.x == 0 && move.y == 0 && move.z == 0) move.x = min;
    return move;
  }

  int RandomFeed() {
    if (Extra(extras_.highFeedPercent)) return kHighFeeds[random_.Between(0, kHighFeeds.size() - 1)];
    if (format_ != ProgramFormat::kUp) {
      return static_cast<int>(random_.Between(kPtpFeedMin, kPtpFeedMax));
    }
    return kUpFeeds[static_cast<std::size_t>(random_.Between(0, kUpFeeds.size() - 1))];
  }

  // A straight move; with a feed (above 0) it carries an F word.
  void Straight(const Move& move, int feed = 0) {
    std::string words = straightG_ ? "G01" : "";
    straightG_ = false;
    if (move.x != 0) words += Sprintf("X%+6.6ld", move.x);
    if (move.y != 0) words += Sprintf("Y%+6.6ld", move.y);
    if (move.z != 0) words += Sprintf("Z%+6.6ld", move.z);
    if (feed > 0) {
      words += FeedWord(feed);
      feed_ = feed;
    }
    if (Extra(extras_.lWordPercent)) words += "L001";
    Frame(words);
  }

  std::string FeedWord(int feed) const {
    if (format_ != ProgramFormat::kUp) return Sprintf("F%d", feed);
    std::string word = "F";
    word += EncodeFeed(feed);
    return word;
  }

  void Frame(std::string_view words) {
    if (format_ == ProgramFormat::kGcode) return Line(AsGcode(words));
    std::string frame = Sprintf("N%3.3ld", numbers_.Take());
    frame += words;
    Line(frame);
  }

  // A tape frame's words as a G-code block: the position reached instead of
  // the increment, the centre from the start instead of the start from the
  // centre.
  std::string AsGcode(std::string_view words) {
    const h33::Frame frame(words);
    std::string block;
    for (const char* code : {"G17", "G01", "G02", "G03"}) {
      if (words.find(code) != std::string_view::npos) block += std::string(code) + ' ';
    }
    if (frame.IsMotion()) {
      const FrameVector& move = frame.WrittenMove();
      position_.x += std::lround(move.x);
      position_.y += std::lround(move.y);
      position_.z += std::lround(move.z);
      const auto mm = [](long units) { return static_cast<double>(units) / 100; };
      block += Sprintf("X%.2f Y%.2f Z%.2f ", mm(position_.x), mm(position_.y), mm(position_.z));
    }
    if (frame.IsArc()) {
      const FrameVector& start = frame.WrittenArc();
      block += Sprintf("I%.2f J%.2f ", -start.x / 100.0, -start.y / 100.0);
    }
    for (const char letter : {'S', 'M', 'F'}) {
      if (frame.Has(letter)) block += std::string(1, letter) + std::string(frame.Word(letter)) + ' ';
    }
    if (!block.empty()) block.pop_back();
    return block;
  }

  void Line(std::string_view text) {
    writer_.Write(text);
    writer_.Write("\n");
    written_ += text.size() + 2;
  }

  ProgramFormat format_;
  ProgramExtras extras_;
  Random random_;
  LineWriter writer_;
  FrameCounter numbers_{kH33NumberWrap};
  std::uint64_t written_ = 0;
  Move position_;  // where a G-code program has come to
  int feed_ = 0;
  bool straightG_ = false;  // the next straight move states G01 (after an arc, at the start)
};

}  // namespace

std::uint64_t GenerateProgram(ProgramFormat format, std::uint64_t bytes, std::uint64_t seed,
                              ByteSink& sink, const ProgramExtras& extras) {
  return Generator(format, seed, sink, extras).Run(bytes);
}

std::string GenerateProgramText(ProgramFormat format, std::uint64_t bytes, std::uint64_t seed,
                                const ProgramExtras& extras) {
  MemorySink sink;
  GenerateProgram(format, bytes, seed, sink, extras);
  return sink.Bytes();
}

}  // namespace h33::bench
