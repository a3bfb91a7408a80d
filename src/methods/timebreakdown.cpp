#include "methods/timebreakdown.h"

#include "format/words.h"

namespace h33 {

void TimeParts::Add(const TimeParts& other) {
  cutting.seconds += other.cutting.seconds;
  cutting.length_mm += other.cutting.length_mm;
  rapid.seconds += other.rapid.seconds;
  rapid.length_mm += other.rapid.length_mm;
  braking_s += other.braking_s;
  untimedLength_mm += other.untimedLength_mm;
}

TimeBreakdownBuilder::TimeBreakdownBuilder(int feedMax_mm_min) : feedMax_mm_min_(feedMax_mm_min) {}

void TimeBreakdownBuilder::FrameTaken(const Frame& frame, long line) {
  const bool m06 = Contains(frame.Text(), "M06");
  if (!m06 && !frame.Has('T')) return;
  pending_.push_back({line, std::string(TrimBlanks(frame.Word('T'))), m06});
}

void TimeBreakdownBuilder::Apply(const ToolChange& change) {
  if (!change.tool.empty()) {
    lastTool_ = change.tool;
    byToolWord_.push_back({change.tool, change.line, {}});
  }
  if (change.m06) {
    anyM06_ = true;
    byM06_.push_back({lastTool_, change.line, {}});
  }
}

// The programmed feed's time is what the path takes at that feed; anything
// the counter adds is speeding up and braking.
TimeParts TimeBreakdownBuilder::FrameParts(const FrameTiming& timing) const {
  TimeParts parts;
  if (timing.feed_mm_min <= 0) {
    parts.untimedLength_mm = timing.length_mm;
    return parts;
  }
  const double atFeed_s = double{timing.length_mm} * 60 / timing.feed_mm_min;
  TimeShare& share = timing.feed_mm_min >= feedMax_mm_min_ ? parts.rapid : parts.cutting;
  share.seconds = atFeed_s;
  share.length_mm = timing.length_mm;
  parts.braking_s = timing.seconds - atFeed_s;
  return parts;
}

void TimeBreakdownBuilder::FrameTimed(const FrameTiming& timing) {
  while (!pending_.empty() && pending_.front().line <= timing.line) {
    Apply(pending_.front());
    pending_.pop_front();
  }
  if (timing.length_mm == 0) return;
  const TimeParts parts = FrameParts(timing);
  total_.Add(parts);
  byM06_.back().parts.Add(parts);
  byToolWord_.back().parts.Add(parts);
}

TimeBreakdown TimeBreakdownBuilder::Result(float counterTotal_s) const {
  TimeBreakdown breakdown;
  breakdown.total_s = counterTotal_s;
  breakdown.parts = total_;
  breakdown.tools = anyM06_ ? byM06_ : byToolWord_;
  // Before the first change nothing may have moved: no tool to name then.
  const ToolTime& first = breakdown.tools.front();
  if (breakdown.tools.size() > 1 && first.parts.Seconds() == 0 &&
      first.parts.cutting.length_mm + first.parts.rapid.length_mm + first.parts.untimedLength_mm == 0) {
    breakdown.tools.erase(breakdown.tools.begin());
  }
  return breakdown;
}

TimeBreakdownCount CountTimeBreakdown(const std::filesystem::path& file, int acceleration_mm_s2,
                                      int feedMax_mm_min) {
  TimeBreakdownBuilder builder(feedMax_mm_min);
  TimeBreakdownCount count;
  count.time = TimeCounter(file, acceleration_mm_s2).CountTime(&builder);
  if (count.time.status == TimeCountStatus::kCounted) count.breakdown = builder.Result(count.time.seconds);
  return count;
}

}  // namespace h33
