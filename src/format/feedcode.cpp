#include "format/feedcode.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {

std::string EncodeFeed(int feed, int leadDigit) {
  if (feed <= 0) return "0000";
  int exponent = 0;
  for (int rest = feed; rest >= 10; rest /= 10) ++exponent;
  int mantissa = feed;
  switch (exponent) {
    case 0: mantissa = feed * 10; break;
    case 1: break;
    case 2: mantissa = feed / 10; break;
    case 3: mantissa = feed / 100; break;
    default: break;
  }
  // Every feed a program can carry takes this path; it is on the hot path of
  // both methods, so the four digits are written directly.
  if (exponent <= 3 && leadDigit >= 0 && leadDigit <= 9) {
    return {static_cast<char>('0' + leadDigit), static_cast<char>('4' + exponent),
            static_cast<char>('0' + mantissa / 10), static_cast<char>('0' + mantissa % 10)};
  }
  return Sprintf("%1d%1d%2.2d", leadDigit, exponent + 4, mantissa);
}

int DecodeFeed(int code) {
  if (code > 4000) code -= 4000;
  const int exponent = code / 100;
  // 10^(exponent − 5) × (code mod 100) truncated: below the decade digit 4
  // that is a fraction of 1.
  if (exponent < 4) return 0;
  if (exponent == 4) {
    const int feed = (code - 400) / 10;
    return feed == 0 ? 1 : feed;
  }
  const long long mantissa = code % 100;
  if (mantissa == 0) return 0;
  long long feed = mantissa;
  for (int power = 5; power < exponent; ++power) {
    feed *= 10;
    if (feed > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  }
  return static_cast<int>(feed);
}

int CodedFeed(int feed) {
  return DecodeFeed(ParseInt(EncodeFeed(std::min(feed, kLargestCodedFeed))));
}

int HighestFeedCodedAs(int codedFeed) {
  if (codedFeed <= 0) return codedFeed;
  long long step = 1;
  for (int rest = codedFeed; rest >= 100; rest /= 10) step *= 10;
  const long long highest = codedFeed + step - 1;
  return static_cast<int>(std::min<long long>(highest, std::numeric_limits<int>::max()));
}

FeedCodeKind ClassifyFeedCode(std::string_view value) {
  const std::string_view digits = TrimBlanks(value);
  if (digits.size() != 4) return FeedCodeKind::kNoCode;
  int code = 0;
  for (const char digit : digits) {
    if (digit < '0' || digit > '9') return FeedCodeKind::kNoCode;
    code = code * 10 + (digit - '0');
  }
  if (code == 0) return FeedCodeKind::kStop;
  // 4000 itself is not reduced, so it has the decade digit 40.
  const int decade = (code > 4000 ? code - 4000 : code) / 100;
  if (decade >= 10) return FeedCodeKind::kNoCode;
  return DecodeFeed(code) < 1 ? FeedCodeKind::kBelowOne : FeedCodeKind::kFeed;
}

bool IsNonFeedCode(std::string_view value) {
  const FeedCodeKind kind = ClassifyFeedCode(value);
  return kind == FeedCodeKind::kBelowOne || kind == FeedCodeKind::kNoCode;
}

double DecodeFeedReal(double code) {
  if (code < 0) code = 0;
  const double value = (code > 4000 ? code - 4000 : code) * 0.01;
  const double decade = std::trunc(value);
  const double mantissa = value - decade;
  // A whole value has no mantissa; testing first keeps 10^huge × 0 from giving NaN.
  return mantissa == 0 ? 0.0 : std::pow(10.0, decade - 3) * mantissa;
}

}  // namespace h33
