// The feed code: coding, its two decodings and what they promise each other.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "fuzzing.h"

namespace h33::fuzz {
namespace {

// The feed cut to its two leading digits.
int TwoSignificantDigits(int feed) {
  int unit = 1;
  while (feed / unit >= 100) unit *= 10;
  return feed / unit * unit;
}

void CheckEncode(int feed, int leadDigit) {
  const std::string code = EncodeFeed(feed, leadDigit);
  const std::string seen = Sprintf("feed %d, lead digit %d: %s", feed, leadDigit, code.c_str());
  if (feed <= 0) return Require(code == "0000", "a feed of 0 or less codes as 0000", seen);
  if (feed > 9999)
    return Require(code.size() > 4, "a feed above 9999 has no four-digit code", seen);
  Require(code.size() == 4 && code.find_first_not_of("0123456789") == std::string::npos,
          "a feed code has four digits", seen);
  Require(code[0] == '0' + leadDigit, "the lead digit comes first", seen);
  // Reading takes 4000 off a code above it, so the lead digits 0 and 4 mean the same feed.
  if (leadDigit == 0 || leadDigit == 4) {
    Require(DecodeFeed(ParseInt(code)) == TwoSignificantDigits(feed),
            "decoding gives the feed cut to two significant digits", seen);
  }
  if (leadDigit == 0) {
    Require(IsWrittenFeedCode(code), "a written code codes back to itself", seen);
    Require(ClassifyFeedCode(code) == FeedCodeKind::kFeed, "a written code reads as a feed", seen);
  }
}

// What every tool refuses and what it reads: only a feed gives a feed of 1
// mm/min or more that a code can state, only 0000 stops.
void CheckClassification(std::string_view value) {
  const FeedCodeKind kind = ClassifyFeedCode(value);
  const std::string_view digits = TrimBlanks(value);
  const std::string seen = Sprintf("value '%s'", std::string(value).c_str());
  Require((kind == FeedCodeKind::kStop) == (digits == "0000"), "only 0000 is the stop", seen);
  Require(IsNonFeedCode(value) == (kind == FeedCodeKind::kBelowOne || kind == FeedCodeKind::kNoCode),
          "a value is a feed, the stop or refused", seen);
  if (kind != FeedCodeKind::kFeed) return;
  const int feed = DecodeFeed(ParseInt(digits));
  Require(digits.size() == 4 && feed >= 1 && feed <= 990000,
          "a feed code is four digits of a feed a code can state", seen);
}

// The whole-number and the real decoding of one code agree: below the decade
// digit 4 there is no whole feed, at 4 the whole decoding never gives 0.
void CheckDecodings(int code) {
  const int feed = DecodeFeed(code);
  const double real = DecodeFeedReal(code);
  const std::string seen = Sprintf("code %d: %d and %.17g", code, feed, real);
  Require(feed >= 0, "a decoded feed is never negative", seen);
  Require(real >= 0, "a real decoded feed is a number of 0 or more", seen);
  if (code < 0 || code > 9999) return;
  const int decade = (code > 4000 ? code - 4000 : code) / 100;
  if (decade <= 3) {
    Require(feed == 0 && real < 1, "codes below 0400 are no feed", seen);
  } else if (decade == 4) {
    Require(feed == std::max(1, static_cast<int>(std::floor(real + 1e-9))),
            "1 to 9 mm/min decode alike", seen);
  } else if (real < 2e9) {
    Require(std::fabs(feed - real) <= real * 1e-9, "both decodings give one feed", seen);
  }
  if (feed >= 1 && feed <= 9999) {
    Require(DecodeFeed(ParseInt(EncodeFeed(feed))) == feed, "a decoded feed codes exactly", seen);
  }
}

}  // namespace
}  // namespace h33::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace h33::fuzz;
  FuzzBytes bytes(data, size);
  const int lead = bytes.Byte() % 10;
  CheckEncode(static_cast<int>(bytes.Between(1, 9999)), lead);
  CheckEncode(static_cast<int>(bytes.Between(-2147483647L - 1, 2147483647L)), lead);
  CheckDecodings(static_cast<int>(bytes.Between(0, 9999)));
  CheckDecodings(static_cast<int>(bytes.Between(-2147483647L - 1, 2147483647L)));
  // A code as the methods read it from an F word of a line (at most 127
  // characters for the file information).
  const std::string_view value = h33::ReadWord(bytes.Rest().substr(0, 127), 'F');
  CheckDecodings(h33::ParseInt(value));
  if (!value.empty()) CheckClassification(value);
  Require(h33::DecodeFeedReal(h33::ParseDouble(value)) >= 0,
          "an F value's real decoding is a number of 0 or more");
  return 0;
}
