#pragma once

#include <string>

namespace h33 {

// The controller's four-digit feed code d1 d2 m1 m2: a lead digit, the decade
// digit 4 + (digits of the feed − 1) and the feed's two leading digits, so the
// coded feed is m × 10^(d2 − 5) mm/min.

// Feeds of 0 or less code as "0000". Feeds of 10000 and more have no
// four-digit code; callers keep feeds below that.
std::string EncodeFeed(int feed, int leadDigit = 0);

// A code above 4000 has 4000 taken off first. Codes whose decade digit is 10
// or more are no feed code; they saturate at the largest int instead of
// overflowing.
int DecodeFeed(int code);

// The real-valued decoding of the file information: 0405 gives 0.5.
double DecodeFeedReal(double code);

}  // namespace h33
