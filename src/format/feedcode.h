#pragma once

#include <string>
#include <string_view>

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

// How the value of an F word reads as a feed code. Every tool that reads a
// coded program asks this one question, so that none of them runs a move at
// a feed another one refuses.
enum class FeedCodeKind {
  kFeed,      // a feed of 1 mm/min or more
  kStop,      // 0000, the stop
  kBelowOne,  // four digits that decode below 1 mm/min: 0001 to 0399, 0500,
              // 4001 to 4399 and the like
  kNoCode,    // not four digits (F0, F000, F660, F0O60 read as F0), or a decade
              // digit of 10 or more (1000 to 4000, 5000 and up): a slip such as
              // F1660 for F0660 would otherwise run at an absurd feed, F000 as
              // the stop
};

// Blanks around the value (ReadWord takes them) do not count.
FeedCodeKind ClassifyFeedCode(std::string_view value);

// A code above 4000 (lead digit 4) runs at the feed of the code less 4000,
// and the controller follows its frame by a frame of its own: the frames
// after it run at 240 mm/min until a code of their own. Every tool reads
// such a code so: the time counter and the braking check take the frame
// into account, the comparison shows it, the correction refuses the code.
inline constexpr const char* kControllerSlowFrame = "N000F0624";
inline bool InsertsSlowFrame(int code) { return code > 4000; }

// A value that gives no feed to run at (kBelowOne or kNoCode): a method that
// took it would run a move at 0 or at no feed the machine has, so every
// method refuses it.
bool IsNonFeedCode(std::string_view value);

// The real-valued decoding of the file information: 0405 gives 0.5.
double DecodeFeedReal(double code);

}  // namespace h33
