#include "format/fileinfo.h"

#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <string_view>

#include "format/decimalsum.h"
#include "format/feedcode.h"
#include "format/formatcheck.h"
#include "format/lineio.h"
#include "format/modalstate.h"
#include "format/numbers.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {
namespace {

using Axes = std::array<double, 3>;

constexpr std::string_view kAxisLetters = "XYZ";
constexpr double kNoPosition = 999999.999;
constexpr double kH33Unit = 0.01;         // mm per coordinate unit
constexpr double kSmallestFeed = 0.01;    // an F value below this is no feed
constexpr double kSlowestTimedFeed = 0.1;

// One pass over the lines, holding the modal state the lines change.
class StatisticsWalk {
 public:
  StatisticsWalk(double feedMax, int formatViolations);
  void TakeLine(std::string_view line);
  ProgramStatistics Finish();

 private:
  void TakeGWords(std::string_view line);
  bool TakePositions(std::string_view line);
  void TakeFeed(std::string_view line);
  void TakeExtentsAndFeeds();

  const double feedMax_;
  const bool isH33_;
  ModalState modal_;
  double feed_;
  double previousFeed_;
  Axes position_{};
  Axes previous_{};
  // The axis sums are the control sums: added exactly, so that a program
  // that returns to its start shows 0.
  std::array<DecimalSum, 3> axisSums_;
  ProgramStatistics result_;
};

StatisticsWalk::StatisticsWalk(double feedMax, int formatViolations)
    : feedMax_(feedMax),
      isH33_(formatViolations == 0),
      modal_(isH33_ ? DistanceMode::kIncremental : DistanceMode::kAbsolute),
      feed_(-feedMax),
      previousFeed_(-feedMax) {
  result_.minFeed_mm_min = feedMax;
  result_.maxFeed_mm_min = -feedMax;
  result_.minPosition.fill(kNoPosition);
  result_.maxPosition.fill(-kNoPosition);
  result_.isH33 = isH33_;
  result_.formatViolations = formatViolations;
}

// Any NC program is read here, not only H33 ones, so G codes are read as
// words, not as the H33 passes' substrings: every G word of the line counts,
// left to right, as a number ("G1" is G01, "G 2" is G02), and the last one
// of a group wins. "G91G00" switches to incremental and then to rapid
// traverse; "G02G01" leaves G01.
void StatisticsWalk::TakeGWords(std::string_view line) {
  for (std::size_t at = line.find('G'); at != std::string_view::npos;
       at = line.find('G', at + 1)) {
    const std::string_view value = WordValueAt(line, at);
    if (value.empty()) continue;
    const int code = ParseInt(value);
    if (code == 0) feed_ = feedMax_;  // rapid traverse
    modal_.TakeCode(code);
  }
}

bool StatisticsWalk::TakePositions(std::string_view line) {
  const bool incremental = modal_.Incremental();
  if (incremental) position_.fill(0);
  bool moves = false;
  for (std::size_t axis = 0; axis < kAxisLetters.size(); ++axis) {
    const std::string_view value = ReadWord(line, kAxisLetters[axis]);
    if (value.empty()) continue;
    position_[axis] = ParseDouble(value);
    if (incremental) axisSums_[axis].Add(value);
    moves = true;
  }
  return moves;
}

void StatisticsWalk::TakeFeed(std::string_view line) {
  const std::string_view value = ReadWord(line, 'F');
  if (value.empty()) return;
  double feed = ParseDouble(value);
  if (isH33_) feed = DecodeFeedReal(feed);
  if (feed < kSmallestFeed) feed = previousFeed_ < kSmallestFeed ? feedMax_ : previousFeed_;
  feed_ = feed;
}

void StatisticsWalk::TakeExtentsAndFeeds() {
  for (std::size_t axis = 0; axis < position_.size(); ++axis) {
    result_.minPosition[axis] = std::min(result_.minPosition[axis], position_[axis]);
    result_.maxPosition[axis] = std::max(result_.maxPosition[axis], position_[axis]);
  }
  result_.maxFeed_mm_min = std::max(result_.maxFeed_mm_min, feed_);
  // The −FeedMax of "no feed yet" is the only negative feed in force.
  if (feed_ >= 0) result_.minFeed_mm_min = std::min(result_.minFeed_mm_min, feed_);
}

void StatisticsWalk::TakeLine(std::string_view line) {
  TakeGWords(line);
  const bool moves = TakePositions(line);
  TakeFeed(line);
  if (moves && !modal_.Circular()) ++result_.linearMoves;
  if (moves && modal_.Circular()) ++result_.arcMoves;
  if (modal_.Incremental()) {
    for (std::size_t axis = 0; axis < position_.size(); ++axis) {
      position_[axis] += previous_[axis];
    }
  }
  double squares = 0;
  for (std::size_t axis = 0; axis < position_.size(); ++axis) {
    const double step = position_[axis] - previous_[axis];
    squares += step * step;
  }
  const double distance = std::sqrt(squares);
  result_.pathLength_mm += distance;
  if (feed_ >= kSlowestTimedFeed) result_.machiningTime_min += distance / feed_;
  TakeExtentsAndFeeds();
  previous_ = position_;
  previousFeed_ = feed_;
  ++result_.lineCount;
}

ProgramStatistics StatisticsWalk::Finish() {
  result_.minFeed_mm_min = std::fabs(result_.minFeed_mm_min);
  for (std::size_t axis = 0; axis < axisSums_.size(); ++axis) {
    result_.axisSums_mm[axis] = axisSums_[axis].Value();
  }
  if (isH33_) {
    result_.pathLength_mm *= kH33Unit;
    for (Axes* axes : {&result_.minPosition, &result_.maxPosition, &result_.axisSums_mm}) {
      for (double& value : *axes) value *= kH33Unit;
    }
    result_.machiningTime_min = -1;
  }
  return result_;
}

std::tm LocalTime(std::time_t time) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &time);
#else
  localtime_r(&time, &local);
#endif
  return local;
}

#ifdef _WIN32
// A file time in the local time of its own date, as Explorer shows it: the
// daylight saving time of that date, not of today.
std::tm LocalTime(const FILETIME& utc) {
  SYSTEMTIME universal{};
  SYSTEMTIME local{};
  if (!FileTimeToSystemTime(&utc, &universal) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    return LocalTime(std::time_t{0});
  }
  std::tm time{};
  time.tm_year = local.wYear - 1900;
  time.tm_mon = local.wMonth - 1;
  time.tm_mday = local.wDay;
  time.tm_wday = local.wDayOfWeek;
  time.tm_hour = local.wHour;
  time.tm_min = local.wMinute;
  time.tm_sec = local.wSecond;
  time.tm_isdst = -1;
  return time;
}
#else
std::time_t LastAccessTime(const std::filesystem::path& path) {
  struct stat status{};
  return ::stat(path.c_str(), &status) == 0 ? status.st_atime : 0;
}

std::time_t ToTimeT(std::filesystem::file_time_type time) {
  const auto system = std::chrono::file_clock::to_sys(time);
  return std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(system));
}
#endif

}  // namespace

ProgramStatistics CollectStatistics(ByteSource& source, double feedMax, int formatViolations) {
  StatisticsWalk walk(feedMax, formatViolations);
  LineReader reader(source);
  std::string line;
  // An unterminated last line is left out, as the format check leaves it.
  while (reader.ReadLine(line, kCheckLineLimit) && !reader.AtEof()) walk.TakeLine(line);
  return walk.Finish();
}

FileStamp ReadFileStamp(const std::filesystem::path& path) {
  FileStamp stamp;
#ifdef _WIN32
  // What Explorer shows: the size and times of the file's directory entry,
  // read by its UTF-16 name in one call.
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    stamp.modified = stamp.accessed = LocalTime(std::time_t{0});
    return stamp;
  }
  stamp.size = (std::uintmax_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  stamp.modified = LocalTime(data.ftLastWriteTime);
  stamp.accessed = LocalTime(data.ftLastAccessTime);
  return stamp;
#else
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  stamp.size = error ? 0 : size;
  const auto written = std::filesystem::last_write_time(path, error);
  stamp.modified = LocalTime(error ? 0 : ToTimeT(written));
  stamp.accessed = LocalTime(LastAccessTime(path));
  return stamp;
#endif
}

std::string AsctimeText(const std::tm& time) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int day = std::clamp(time.tm_wday, 0, 6);
  const int month = std::clamp(time.tm_mon, 0, 11);
  return Sprintf("%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[day], kMonths[month], time.tm_mday,
                 time.tm_hour, time.tm_min, time.tm_sec, 1900 + time.tm_year);
}

std::string FileInformationText(const std::filesystem::path& path, const FileStamp& stamp) {
  const std::tm& modified = stamp.modified;
  // long long: Windows' long has 32 bits, and a size past 2 GB would be cut.
  const auto bytes = static_cast<long long>(std::min<std::uintmax_t>(stamp.size, LLONG_MAX));
  return Sprintf(
      // One piece, so that the template can be found as the user sees it.
      "Файл: %s \n Дата изменения %u/%u/%u , %u:%u:%u\n Размер: %.2lf Kb ( %lld bytes )\n Время последнего открытия:\n\t\t %s ",
      PathText(path).c_str(), static_cast<unsigned>(modified.tm_mon + 1),
      static_cast<unsigned>(modified.tm_mday), static_cast<unsigned>(modified.tm_year + 1900),
      static_cast<unsigned>(modified.tm_hour), static_cast<unsigned>(modified.tm_min),
      static_cast<unsigned>(modified.tm_sec), static_cast<double>(stamp.size) / 1024.0, bytes,
      AsctimeText(stamp.accessed).c_str());
}

std::optional<ProgramStatistics> GetFileInformation(const std::filesystem::path& path,
                                                    double feedMax) {
  // The times as they were before this reading: opening the file may count
  // as an access (it does under Wine).
  const FileStamp stamp = ReadFileStamp(path);
  const auto source = FileSource::Open(path);
  if (!source) return std::nullopt;
  const std::optional<int> violations = CheckH33Format(path);
  if (!violations) return std::nullopt;
  ProgramStatistics statistics = CollectStatistics(*source, feedMax, *violations);
  statistics.informationText = FileInformationText(path, stamp);
  return statistics;
}

}  // namespace h33
