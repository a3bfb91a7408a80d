#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "methods/timecount.h"
#include "methods/timecountobserver.h"

namespace h33 {

// Time and path of one kind of move.
struct TimeShare {
  double seconds = 0;
  double length_mm = 0;
};

// The counter's time of some frames, by what it was spent on.
struct TimeParts {
  // Moves below the machine's highest feed, each as long as its path takes
  // at its programmed feed.
  TimeShare cutting;
  // Moves at the highest feed or above: the rapid moves, which an H33
  // program codes as feeds like any other.
  TimeShare rapid;
  // What the counter adds to that: speeding up and braking at every feed
  // change, corner and stop.
  double braking_s = 0;
  // Moves the counter gives no time: no feed in force yet.
  double untimedLength_mm = 0;

  double Seconds() const { return cutting.seconds + rapid.seconds + braking_s; }
  void Add(const TimeParts& other);
};

// The frames between two tool changes.
struct ToolTime {
  std::string tool;    // the T word's value; empty before the first tool change
  long firstLine = 0;  // the line of the change; 1 for the program's start
  TimeParts parts;
};

// The time counter's total, split by tool and by kind of move. The parts
// are sums of the very frame times the counter added up.
struct TimeBreakdown {
  float total_s = 0;  // the counter's own total
  TimeParts parts;
  std::vector<ToolTime> tools;
};

// Sums what the time counter reports into a breakdown. A tool change is an
// M06 (read as the controller reads codes, anywhere in the line) naming the
// last T word; a program without M06 changes tools at every T word.
class TimeBreakdownBuilder : public TimeCountObserver {
 public:
  explicit TimeBreakdownBuilder(int feedMax_mm_min);

  void FrameTaken(const Frame& frame, long line) override;
  void FrameTimed(const FrameTiming& timing) override;

  // The breakdown of the frames timed so far, with the counter's total.
  TimeBreakdown Result(float counterTotal_s) const;

 private:
  struct ToolChange {
    long line;
    std::string tool;  // the T word of the line, empty when it has none
    bool m06;
  };

  void Apply(const ToolChange& change);
  TimeParts FrameParts(const FrameTiming& timing) const;

  int feedMax_mm_min_;
  // Changes read but not yet reached by the frames timed.
  std::deque<ToolChange> pending_;
  std::string lastTool_;
  bool anyM06_ = false;
  TimeParts total_;
  std::vector<ToolTime> byM06_{ToolTime{{}, 1, {}}};
  std::vector<ToolTime> byToolWord_{ToolTime{{}, 1, {}}};
};

struct TimeBreakdownCount {
  TimeCount time;
  TimeBreakdown breakdown;  // when the time was counted
};

// Counts the file's time once, with the breakdown built along.
TimeBreakdownCount CountTimeBreakdown(const std::filesystem::path& file, int acceleration_mm_s2,
                                      int feedMax_mm_min);

}  // namespace h33
