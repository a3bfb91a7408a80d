#pragma once

#include <string>

namespace h33 {

// The controller's four-digit feed code d1 d2 m1 m2: a lead digit, the decade
// digit 4 + (digits of the feed − 1) and the feed's two leading digits, so the
// coded feed is m × 10^(d2 − 5) mm/min.

// Feeds of 0 or less code as "0000". Feeds of 10000 and more have no
// four-digit code; callers keep feeds below that.
std::string EncodeFeed(int feed, int leadDigit = 0);

// The largest feed a four-digit code carries.
inline constexpr int kLargestCodedFeed = 9999;

// The feed (mm/min) the machine runs where a program states `feed` in a
// code: its two significant digits. A feed above the largest code's is
// taken as the largest.
int CodedFeed(int feed);

// The highest feed whose code runs at `codedFeed`, a feed as a code runs
// it: a feed computed before coding may lie up to one step of the code's
// second digit above what the code runs at.
int HighestFeedCodedAs(int codedFeed);

// A code above 4000 has 4000 taken off first. Codes whose decade digit is 10
// or more are no feed code; they saturate at the largest int instead of
// overflowing.
int DecodeFeed(int code);

// A code that decodes below 1 mm/min without being the stop code 0000
// (0001 to 0399, 0500, 1000, 4001 to 4399, negative codes and the like):
// it gives no feed to run at, and a method that took it would run a motion
// frame at 0, so every method refuses it.
bool IsNonFeedCode(int code);

// The real-valued decoding of the file information: 0405 gives 0.5.
double DecodeFeedReal(double code);

}  // namespace h33
