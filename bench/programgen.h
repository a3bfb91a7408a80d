#pragma once

#include <cstdint>

#include "format/bytesource.h"

namespace h33::bench {

enum class ProgramFormat {
  kUp,   // feeds as four-digit feed codes
  kPtp,  // feeds as plain mm/min
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
                              ByteSink& sink);

}  // namespace h33::bench
