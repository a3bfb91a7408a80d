#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "app/statisticsview.h"
#include "format/fileinfo.h"
#include "format/pathtext.h"
#include "tempdir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace h33 {
namespace {

constexpr double kFeedMax = 1200;

ProgramStatistics Collect(std::string_view program, int formatViolations) {
  MemorySource source(program);
  return CollectStatistics(source, kFeedMax, formatViolations);
}

TEST(FileInformation, EmptyH33Program) {
  const ProgramStatistics s = Collect("", 0);
  EXPECT_EQ(s.lineCount, 0);
  EXPECT_TRUE(s.isH33);
  EXPECT_EQ(s.minFeed_mm_min, kFeedMax);
  EXPECT_EQ(s.maxFeed_mm_min, -kFeedMax);
  EXPECT_EQ(s.machiningTime_min, -1);
  for (int axis = 0; axis < 3; ++axis) {
    EXPECT_DOUBLE_EQ(s.minPosition[axis], 9999.99999);
    EXPECT_DOUBLE_EQ(s.maxPosition[axis], -9999.99999);
  }
}

TEST(FileInformation, H33ProgramIsIncrementalWithCodedFeedsInHundredths) {
  const ProgramStatistics s = Collect(
      "%\nN001G01X+001000Y-000500F0660\nN002X+001000\n"
      "N003G02X+000500Y+000500I+000000J+000500\n$\n",
      0);
  EXPECT_EQ(s.lineCount, 5);
  EXPECT_EQ(s.linearMoves, 2);
  EXPECT_EQ(s.arcMoves, 1);
  EXPECT_NEAR(s.pathLength_mm, (std::sqrt(125.0) * 100 + 1000 + std::sqrt(50.0) * 100) * 0.01, 1e-9);
  EXPECT_NEAR(s.minFeed_mm_min, 600, 1e-9);
  EXPECT_NEAR(s.maxFeed_mm_min, 600, 1e-9);
  EXPECT_DOUBLE_EQ(s.axisSums_mm[0], 25);
  EXPECT_DOUBLE_EQ(s.axisSums_mm[1], 0);
  EXPECT_DOUBLE_EQ(s.minPosition[0], 0);  // the "%" line stands at the origin
  EXPECT_DOUBLE_EQ(s.maxPosition[0], 25);
  EXPECT_DOUBLE_EQ(s.minPosition[1], -5);
  EXPECT_EQ(s.machiningTime_min, -1);
}

TEST(FileInformation, RapidMoveMakesFeedMaxTheFeedInForce) {
  const ProgramStatistics s = Collect("N001G01X+001000F0660\nN002G00Z+001000\n", 0);
  EXPECT_EQ(s.maxFeed_mm_min, kFeedMax);
  EXPECT_NEAR(s.minFeed_mm_min, 600, 1e-9);
  EXPECT_EQ(s.linearMoves, 2);
}

TEST(FileInformation, OtherProgramIsAbsoluteInMillimetresAndTimed) {
  const ProgramStatistics s = Collect("N1G01X10.Y0.F300.\nN2X10.Y20.\nN3G91X5.\n", 3);
  EXPECT_FALSE(s.isH33);
  EXPECT_EQ(s.formatViolations, 3);
  EXPECT_DOUBLE_EQ(s.pathLength_mm, 35);
  EXPECT_DOUBLE_EQ(s.machiningTime_min, 35.0 / 300);
  EXPECT_DOUBLE_EQ(s.axisSums_mm[0], 5);  // only the incremental line adds up
  EXPECT_DOUBLE_EQ(s.maxPosition[0], 15);
  EXPECT_DOUBLE_EQ(s.maxPosition[1], 20);
}

TEST(FileInformation, FeedFallbacks) {
  EXPECT_EQ(Collect("F300\nF0\n", 1).minFeed_mm_min, 300);        // the previous line's feed
  EXPECT_EQ(Collect("F0\n", 1).maxFeed_mm_min, kFeedMax);         // no previous feed
  EXPECT_EQ(Collect("N001F0000\n", 0).maxFeed_mm_min, kFeedMax);  // coded stop
  const ProgramStatistics none = Collect("N1X1\nN2X2\n", 1);
  EXPECT_EQ(none.minFeed_mm_min, kFeedMax);
  EXPECT_EQ(none.maxFeed_mm_min, -kFeedMax);
  EXPECT_EQ(none.machiningTime_min, 0);
}

TEST(FileInformation, EveryGWordCountsLeftToRight) {
  const ProgramStatistics s = Collect("G91G00X5\nG02G01X1\nG01G02X1\n", 1);
  EXPECT_DOUBLE_EQ(s.axisSums_mm[0], 7);
  EXPECT_EQ(s.maxFeed_mm_min, kFeedMax);
  EXPECT_EQ(s.linearMoves, 2);
  EXPECT_EQ(s.arcMoves, 1);
  EXPECT_EQ(Collect("G X10\n", 1).maxFeed_mm_min, kFeedMax);  // no number reads as G0
  EXPECT_EQ(Collect("X10G\n", 1).maxFeed_mm_min, -kFeedMax);  // a bare G is no word
}

TEST(FileInformation, LinesAsTheFormatCheckReadsThem) {
  EXPECT_EQ(Collect("N001X+000100\nN002X+000100", 0).lineCount, 1);
  EXPECT_EQ(Collect(std::string(300, 'A') + "\n", 0).lineCount, 3);
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
  EXPECT_GT(Collect(garbage + "\n", 1).lineCount, 0);
}

TEST(FileInformation, UnreadableFileLeavesTheRecordAlone) {
  TempDir dir;
  EXPECT_FALSE(GetFileInformation(dir / "missing.up", kFeedMax));
  EXPECT_FALSE(GetFileInformation(dir.Path(), kFeedMax));
}

TEST(FileInformation, TextKeepsALongPathWhole) {
  FileStamp stamp;
  stamp.size = 2048;
  stamp.modified.tm_year = 99;
  stamp.modified.tm_mon = 11;
  stamp.modified.tm_mday = 3;
  stamp.modified.tm_hour = 14;
  stamp.modified.tm_min = 30;
  stamp.modified.tm_sec = 7;
  stamp.accessed.tm_year = 110;
  stamp.accessed.tm_mday = 8;
  stamp.accessed.tm_wday = 5;
  stamp.accessed.tm_hour = 9;
  stamp.accessed.tm_min = 5;
  const std::string path = "/" + std::string(500, 'p') + ".up";
  EXPECT_EQ(FileInformationText(path, stamp),
            "Файл: " + path +
                " \n Дата изменения 12/3/1999 , 14:30:7\n Размер: 2.00 Kb ( 2048 bytes )\n"
                " Время последнего открытия:\n\t\t Fri Jan  8 09:05:00 2010\n ");
}

#ifdef _WIN32
// A UTC calendar time as a file time.
FILETIME FileTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME time{};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = hour;
  time.wMinute = minute;
  time.wSecond = second;
  FILETIME file{};
  EXPECT_TRUE(SystemTimeToFileTime(&time, &file));
  return file;
}

// The C library's local time of a moment: a road to the local time other
// than the one the statistics take.
std::tm CrtLocalTime(std::time_t time) {
  std::tm local{};
  EXPECT_EQ(localtime_s(&local, &time), 0);
  return local;
}

// The times Windows keeps for the file, set through the Windows API, in the
// local time of their own dates: one in winter, one in summer, so that a
// zone with daylight saving shows both offsets. The tests run under a zone
// with an offset (TZ in tests/CMakeLists.txt).
TEST(FileInformation, DatesAndSizeOfARealFile) {
  TempDir dir;
  const auto path = dir.Write("p.up", "N001X+000100\r\n");
  const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  const FILETIME accessed = FileTime(2010, 1, 18, 9, 5, 0);   // 1263805500
  const FILETIME written = FileTime(2010, 7, 18, 21, 5, 1);   // 1279487101
  ASSERT_TRUE(SetFileTime(file, nullptr, &accessed, &written));
  CloseHandle(file);

  const FileStamp stamp = ReadFileStamp(path);
  EXPECT_EQ(stamp.size, 14u);
  const std::tm modified = CrtLocalTime(1279487101);
  EXPECT_EQ(AsctimeText(stamp.modified), AsctimeText(modified));
  EXPECT_EQ(AsctimeText(stamp.accessed), AsctimeText(CrtLocalTime(1263805500)));
  if (const char* zone = std::getenv("TZ"); zone && std::string(zone) == "CET-1CEST") {
    EXPECT_EQ(AsctimeText(stamp.modified), "Sun Jul 18 23:05:01 2010\n");  // CEST, UTC+2
    EXPECT_EQ(AsctimeText(stamp.accessed), "Mon Jan 18 10:05:00 2010\n");  // CET, UTC+1
  }

  const std::optional<ProgramStatistics> statistics = GetFileInformation(path, kFeedMax);
  ASSERT_TRUE(statistics);
  EXPECT_EQ(statistics->informationText,
            "Файл: " + PathText(path) + " \n Дата изменения 7/" + std::to_string(modified.tm_mday) +
                "/2010 , " + std::to_string(modified.tm_hour) + ":" +
                std::to_string(modified.tm_min) + ":1\n Размер: 0.01 Kb ( 14 bytes )\n"
                " Время последнего открытия:\n\t\t " + AsctimeText(stamp.accessed) + " ");
  EXPECT_TRUE(statistics->isH33);
  EXPECT_EQ(statistics->lineCount, 1);
}

TEST(FileInformation, AMissingFileReadsAsTheEpoch) {
  TempDir dir;
  const FileStamp stamp = ReadFileStamp(dir / "none.up");
  EXPECT_EQ(stamp.size, 0u);
  EXPECT_EQ(AsctimeText(stamp.modified), AsctimeText(CrtLocalTime(0)));
}
#else
// Local time is UTC while it lives.
class UtcZone {
 public:
  UtcZone() {
    if (const char* zone = std::getenv("TZ")) saved_ = zone;
    setenv("TZ", "UTC0", 1);
    tzset();
  }
  ~UtcZone() {
    if (saved_.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", saved_.c_str(), 1);
    }
    tzset();
  }

 private:
  std::string saved_;
};

TEST(FileInformation, DatesAndSizeOfARealFile) {
  using namespace std::chrono;
  const UtcZone utc;
  TempDir dir;
  const auto path = dir.Write("p.up", "N001X+000100\n");
  std::filesystem::last_write_time(
      path, file_clock::from_sys(sys_days(2010y / January / 18) + 9h + 5min + 1s));
  const timespec times[2] = {{1263805500, 0}, {0, UTIME_OMIT}};  // access: 09:05:00
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

  const std::optional<ProgramStatistics> statistics = GetFileInformation(path, kFeedMax);
  ASSERT_TRUE(statistics);
  EXPECT_EQ(statistics->informationText,
            "Файл: " + path.string() +
                " \n Дата изменения 1/18/2010 , 9:5:1\n Размер: 0.01 Kb ( 13 bytes )\n"
                " Время последнего открытия:\n\t\t Mon Jan 18 09:05:00 2010\n ");
  EXPECT_TRUE(statistics->isH33);
  EXPECT_EQ(statistics->lineCount, 1);
}
#endif

TEST(StatisticsView, NumbersInTheWindowsPatterns) {
  ProgramStatistics s;
  s.pathLength_mm = 1234.567;
  s.minFeed_mm_min = -0.001;
  s.lineCount = 17;
  s.isH33 = true;
  s.minPosition = {-5, 0, -0.004};
  s.axisSums_mm = {1e6, 0, 0};
  const StatisticsView view = MakeStatisticsView(s, 0.27005, ",");
  EXPECT_EQ(view.time, "0,27");
  EXPECT_EQ(view.distance, "1234,57");
  EXPECT_EQ(view.minFeed, "0,00");
  EXPECT_EQ(view.frames, "17");
  EXPECT_EQ(view.type, "H33 (VELTA)");
  EXPECT_EQ(view.extents[0][0], " Габариты ");
  EXPECT_EQ(view.extents[3][0], " Сумма ");
  EXPECT_EQ(view.extents[1][1], "-5,00");
  EXPECT_EQ(view.extents[1][3], "0,00");
  EXPECT_EQ(view.extents[3][1], "1000000,00");  // no grouping
}

}  // namespace
}  // namespace h33
