#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "format/bytesource.h"

namespace h33 {

// What a braking correction may have done to a frame.
enum class FrameChangeKind {
  kFeedChanged,       // a move runs at another feed
  kFeedRestated,      // a move got the feed in force written again
  kJunctionInserted,  // a feed frame slowing the machine down at a corner
  kStopInserted,      // an F0000 frame: the machine stops there
  kFrameInserted,     // any other frame the corrected program adds
  kFrameDropped,      // a frame of the input the corrected program has not
  kFeedWordChanged,   // a frame without motion lost, got or changed its F word
  kMoveWordsChanged,  // a move lost, got or changed a word other than N and F
};
inline constexpr std::size_t kFrameChangeKinds = 8;

struct FrameChange {
  FrameChangeKind kind = FrameChangeKind::kFeedChanged;
  // The frame's line in each program. An inserted frame has no input line:
  // inputLine is that of the input frame it follows (0 before the first);
  // likewise outputLine for a dropped frame.
  long inputLine = 0;
  long outputLine = 0;
  // mm/min: the feed in force before and after for a move; the F word's
  // feed, none without one, for a frame without motion.
  std::optional<int> oldFeed_mm_min, newFeed_mm_min;
  // The frame without its line end: the corrected program's, the input's
  // for a dropped frame.
  std::string text;
};

enum class DiffStatus {
  kCorresponds,      // the same moves in the same order, whatever the changes
  kDifferentMotion,  // see `mismatch`
  kCannotOpen,       // `reason` says why
  kFailed,           // a read failed part way, or a line too long; `reason`
};

// The first moves of the two programs that part: line 0 and no text for a
// program that has ended there.
struct MotionMismatch {
  long inputLine = 0, outputLine = 0;
  std::string inputText, outputText;
};

struct CorrectionDiff {
  DiffStatus status = DiffStatus::kCorresponds;
  std::string reason;
  long moves = 0;  // moves found alike
  std::array<long, kFrameChangeKinds> counts{};  // changes by kind
  MotionMismatch mismatch;

  long Count(FrameChangeKind kind) const { return counts[static_cast<std::size_t>(kind)]; }
};

// Told every change as it is found, in the order of the programs.
using FrameChangeHandler = std::function<void(const FrameChange&)>;

// Compares a program with its correction frame by frame. The two are
// matched by their moves; between two moves, the frames without motion are
// matched by their text without N and F words, and feed frames (F0000
// stops among them) by their feed. A move whose other words differ (an M
// function, G00 for G01) is a change. Stops at the first move that goes
// elsewhere. Throws IoError, ProgramRefusal for a line too long to be a
// frame or a code that is no feed.
CorrectionDiff CompareCorrection(ByteSource& input, ByteSource& output,
                                 const FrameChangeHandler& onChange);

// The same for two files; reports a file that cannot be read, and a PTP
// tape by its name (HasPtpName), in the result.
CorrectionDiff CompareCorrection(const std::filesystem::path& input,
                                 const std::filesystem::path& output,
                                 const FrameChangeHandler& onChange);

}  // namespace h33
