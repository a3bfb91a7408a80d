#pragma once

#include <cstdint>
#include <string>

#include "format/bytesource.h"

namespace h33::bench {

enum class ProgramFormat {
  kUp,   // feeds as four-digit feed codes
  kPtp,  // feeds as plain mm/min
  kGcode,  // the same program as ISO G-code: absolute positions in mm with
           // decimals, arc centres relative to the start, feeds in mm/min
};

// Frames beyond the benchmarks' programs, for the tests that run the methods
// over generated programs: each a percentage of the blocks or moves that get
// one. With none (the default) the program is the benchmarks' own.
struct ProgramExtras {
  // A frame an earlier correction inserted, after a lead: a junction feed
  // N000F0610 or a stop N000F0000, as in a program corrected twice.
  int earlierRunPercent = 0;
  // A feed code above every machine's FeedMax (2000 to 9900 mm/min), which
  // the methods hold to FeedMax.
  int highFeedPercent = 0;
  // An L word on a straight move.
  int lWordPercent = 0;
};

// Writes a machining program of at least `bytes` bytes (overshooting by one
// block and the closing frames) with CR LF line ends: straight moves, arcs,
// runs of short segments, feed changes, feed-only frames and M function
// frames, numbered 001 to 999 and round again. The same seed gives the same
// bytes.
//
// The program stays within what the braking passes can handle with the
// default machine (acceleration 50 mm/s², feeds up to 1200 mm/min): a straight
// lead of 5 mm or more stands before every slow-down (lower feed, short
// segments, feed-only and M frames, the end), an arc is always followed by a
// straight move, and arc radii of 10 mm or more keep the arc feed limit above
// every feed used. Returns the number of bytes written.
std::uint64_t GenerateProgram(ProgramFormat format, std::uint64_t bytes, std::uint64_t seed,
                              ByteSink& sink, const ProgramExtras& extras = {});

// The same program as text, CR LF line ends and all.
std::string GenerateProgramText(ProgramFormat format, std::uint64_t bytes, std::uint64_t seed,
                                const ProgramExtras& extras = {});

}  // namespace h33::bench
