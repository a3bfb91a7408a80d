#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "format/bytesource.h"

namespace h33 {

// What the statistics window shows about an NC program, H33 or not. Lengths
// and positions are in mm, feeds in mm/min, times in minutes.
struct ProgramStatistics {
  double machiningTime_min = 0;  // path / feed; −1 for an H33 program, timed by TimeCounter
  double pathLength_mm = 0;
  int lineCount = 0;
  int linearMoves = 0;  // X, Y or Z under G00/G01
  int arcMoves = 0;     // X, Y or Z under G02/G03
  double minFeed_mm_min = 0;  // at most FeedMax
  double maxFeed_mm_min = 0;  // −FeedMax when no line had a feed
  std::array<double, 3> minPosition{};  // X, Y, Z; 999999.999 (before H33 scaling) when none
  std::array<double, 3> maxPosition{};
  std::string informationText;  // path, dates and size, see FileInformationText
  bool isH33 = false;
  int formatViolations = 0;  // CheckH33Format with the feed checked
  std::array<double, 3> axisSums_mm{};  // increments read in incremental mode: the control sums
};

// Walks the program's lines as the format check reads them and fills every
// field but informationText. `formatViolations` is the program's format
// check result: 0 makes it an H33 program (incremental, coded feeds, 0.01 mm).
// Throws IoError when the source fails part way.
ProgramStatistics CollectStatistics(ByteSource& source, double feedMax, int formatViolations);

// A file's size and its last modification and access times in local time.
struct FileStamp {
  std::uintmax_t size = 0;
  std::tm modified{};
  std::tm accessed{};
};

// What the file system says; a value it cannot give reads as 0 (the epoch).
FileStamp ReadFileStamp(const std::filesystem::path& path);

// "Mon Jan 18 09:05:00 2010\n": the C library's classic date form.
std::string AsctimeText(const std::tm& time);

// Path, modification date and time (month/day/year), size and last access
// time. The path is kept whole, however long.
std::string FileInformationText(const std::filesystem::path& path, const FileStamp& stamp);

// The file's statistics; none when the file cannot be opened. Throws
// IoError when reading fails part way. Nothing is printed: callers report
// with CannotOpenForReadingText.
std::optional<ProgramStatistics> GetFileInformation(const std::filesystem::path& path,
                                                    double feedMax);

}  // namespace h33
