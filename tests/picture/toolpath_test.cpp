#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "format/bytesource.h"
#include "format/fileinfo.h"
#include "picture/programpicture.h"
#include "picture/toolpath.h"
#include "tempdir.h"

namespace h33 {
namespace {

std::vector<ToolpathMove> ReadMoves(std::string_view program,
                                    FeedUnits units = FeedUnits::kFeedCode) {
  MemorySource source(program);
  ToolpathReader reader(source, units);
  std::vector<ToolpathMove> moves;
  ToolpathMove move;
  while (reader.Next(move)) moves.push_back(move);
  return moves;
}

std::vector<Point3> Flatten(const ToolpathMove& move, double tolerance = 0.001) {
  std::vector<Point3> points;
  FlattenMove(move, tolerance, points);
  return points;
}

double Distance(const Point3& a, const Point3& b) {
  return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

// Which side of the chord start→end a point lies in the XY plane: + left.
double SideOfChord(const ToolpathMove& move, const Point3& point) {
  return (move.end.x - move.start.x) * (point.y - move.start.y) -
         (move.end.y - move.start.y) * (point.x - move.start.x);
}

TEST(Toolpath, IncrementsBecomeAbsolutePointsWithFeedsAndChordLengths) {
  const auto moves = ReadMoves(
      "%\nN001G01X+001000F0660\nN002Y-000500Z+000200\nN003M05\nN004F0000\n"
      "N005G00X-001000\n");
  ASSERT_EQ(moves.size(), 4u);
  EXPECT_EQ(moves[0].kind, MoveKind::kLinear);
  EXPECT_EQ(moves[0].line, 2u);
  EXPECT_EQ(moves[0].feed, 600);
  EXPECT_DOUBLE_EQ(moves[1].end.x, 10);
  EXPECT_NEAR(moves[1].end.y, -5, 1e-6);
  EXPECT_NEAR(moves[1].end.z, 2, 1e-6);
  EXPECT_NEAR(moves[1].pathEnd, 10 + std::sqrt(29.0), 1e-5);
  EXPECT_EQ(moves[2].kind, MoveKind::kFeed);  // the stop frame
  EXPECT_EQ(moves[2].feed, 0);
  EXPECT_EQ(moves[2].pathStart, moves[2].pathEnd);
  EXPECT_EQ(moves[3].kind, MoveKind::kRapid);
  EXPECT_EQ(moves[3].line, 6u);
}

TEST(Toolpath, PtpFeedsArePlainMillimetresPerMinute) {
  const auto moves = ReadMoves("N001G01X+001000F650\nN002X+000100F0660\n", FeedUnits::kMmPerMinute);
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(moves[0].feed, 650);
  EXPECT_EQ(moves[1].feed, 660);
}

// A tape made from G-code states rapid moves at F99999; they have their own
// colour, and the cuts' colours span the cuts' feeds.
TEST(ProgramPicture, FeedColoursSpanTheCutsNotTheRapidMoves) {
  MemorySource source("%\nN001G00Z+000500F99999\nN002G01Z-000600F100\nN003X+001000F400\n"
                      "N004G00Z+000600F99999\n");
  PictureOptions options;
  options.units = FeedUnits::kMmPerMinute;
  const ProgramPicture picture = ReadProgramPicture(source, options);
  EXPECT_EQ(picture.motionFrames, 4u);
  EXPECT_EQ(picture.lowestFeed, 100);
  EXPECT_EQ(picture.highestFeed, 400);
}

// A part milled from above with one side arc opens on XY, not on the plane
// of its first arc; a program cutting in XZ opens there.
TEST(ProgramPicture, OpensOnThePlaneMostOfTheCuttingLiesIn) {
  const auto planeOf = [](const char* program) {
    MemorySource source(program);
    return ReadProgramPicture(source, {}).activePlane;
  };
  EXPECT_EQ(planeOf("N001G18G02X+001000Z+001000I-001000K+000000F0660\n"
                    "N002G17G01X+005000\nN003Y+005000\nN004X-005000\n"),
                    Plane::XY);
  EXPECT_EQ(planeOf("N001G01X+005000Z-001000F0660\nN002Z-005000\nN003X-005000Y+000100\n"),
            Plane::XZ);
  EXPECT_EQ(planeOf("N001G01Y+005000Z-001000F0660\nN002Z-005000\n"), Plane::YZ);
  EXPECT_EQ(planeOf("N001G00Z+010000F0660\n"), Plane::XY);
}

TEST(Toolpath, FullCircleReturnsToItsStartAroundItsCentre) {
  const auto moves = ReadMoves("N001G17G02X+000000Y+000000I+001000J+000000F0660\n");
  ASSERT_EQ(moves.size(), 1u);
  const ToolpathMove& circle = moves[0];
  EXPECT_EQ(circle.kind, MoveKind::kCircular);
  EXPECT_DOUBLE_EQ(circle.centre.x, -10);
  const auto points = Flatten(circle);
  ASSERT_GT(points.size(), 100u);
  EXPECT_DOUBLE_EQ(Distance(points.back(), circle.start), 0);
  double farthest = 0;
  for (const Point3& point : points) {
    EXPECT_NEAR(Distance(point, circle.centre), 10, 1e-9);
    farthest = std::max(farthest, Distance(point, circle.start));
  }
  EXPECT_NEAR(farthest, 20, 0.01);  // it went all the way round
}

TEST(Toolpath, ClockwiseAndCounterClockwiseQuartersBulgeToOppositeSides) {
  // The same chord (10, 10); each offset puts the centre a quarter turn away.
  const auto clockwise = ReadMoves("N001G02X+001000Y+001000I-001000J+000000\n");
  const auto counter = ReadMoves("N001G03X+001000Y+001000I+000000J-001000\n");
  ASSERT_EQ(clockwise.size(), 1u);
  ASSERT_EQ(counter.size(), 1u);
  const auto cwPoints = Flatten(clockwise[0]);
  const auto ccwPoints = Flatten(counter[0]);
  const Point3 cwMiddle = cwPoints[cwPoints.size() / 2];
  const Point3 ccwMiddle = ccwPoints[ccwPoints.size() / 2];
  EXPECT_GT(SideOfChord(clockwise[0], cwMiddle), 0);
  EXPECT_LT(SideOfChord(counter[0], ccwMiddle), 0);
  // A quarter, not three quarters: the bulge is the quarter's sagitta.
  const double sagitta = 10 * (1 - std::cos(std::numbers::pi / 4));
  for (const Point3& middle : {cwMiddle, ccwMiddle}) {
    EXPECT_NEAR(std::fabs(middle.x - middle.y) / std::sqrt(2.0), sagitta, 0.01);
  }
}

TEST(Toolpath, G18ArcsTurnAsSeenFromPlusY) {
  // In XY and in XZ the same offsets and chord; drawn with the first axis
  // right and the second up, G02 bulges up-left in XY and G03 does in XZ.
  const auto xy = ReadMoves("N001G17G02X+001000Y+001000I-001000J+000000\n");
  const auto xz = ReadMoves("N001G18G03X+001000Z+001000I-001000K+000000\n");
  const auto xyMiddle = Flatten(xy[0])[Flatten(xy[0]).size() / 2];
  const auto xzMiddle = Flatten(xz[0])[Flatten(xz[0]).size() / 2];
  const double sagitta = 10 * (1 - std::cos(std::numbers::pi / 4));
  EXPECT_NEAR((xyMiddle.y - xyMiddle.x) / std::sqrt(2.0), sagitta, 0.01);
  EXPECT_NEAR((xzMiddle.z - xzMiddle.x) / std::sqrt(2.0), sagitta, 0.01);
  // G02 in XZ takes the long way round the same centre.
  const auto longWay = ReadMoves("N001G18G02X+001000Z+001000I-001000K+000000\n");
  const auto points = Flatten(longWay[0]);
  EXPECT_NEAR(std::min_element(points.begin(), points.end(),
                               [](const Point3& a, const Point3& b) { return a.z < b.z; })->z,
              -10, 0.01);
}

TEST(Toolpath, SenseAndPlaneAreModal) {
  const auto moves = ReadMoves(
      "N001G18G03X+001000Z+001000I+000000K-001000\n"
      "N002X-001000Z-001000I+001000K+000000\n"
      "N003G19G02Y+001000Z+001000J-001000K+000000\n");
  ASSERT_EQ(moves.size(), 3u);
  EXPECT_EQ(moves[1].sense, 3);
  EXPECT_EQ(moves[1].plane, Plane::XZ);
  EXPECT_EQ(moves[2].sense, 2);
  EXPECT_EQ(moves[2].plane, Plane::YZ);
  // The XZ arc's centre comes from I and K, the YZ arc's from J and K.
  EXPECT_DOUBLE_EQ(moves[0].centre.x, 0);
  EXPECT_DOUBLE_EQ(moves[0].centre.z, 10);
  EXPECT_DOUBLE_EQ(moves[2].centre.y, 10);
  EXPECT_DOUBLE_EQ(moves[2].centre.z, 0);
  for (const ToolpathMove& move : moves) {
    for (const Point3& point : Flatten(move)) {
      EXPECT_NEAR(Distance(point, move.centre), 10, 1e-9) << move.line;
    }
  }
  // Each arc stays in its plane: the third coordinate does not move.
  for (const Point3& point : Flatten(moves[0])) EXPECT_EQ(point.y, 0);
  for (const Point3& point : Flatten(moves[2])) EXPECT_EQ(point.x, 0);
}

TEST(Toolpath, ProjectionsTakeThePlanesAxes) {
  const Point3 point{1, 2, 3};
  EXPECT_EQ(FirstAxis(point, Plane::XY), 1);
  EXPECT_EQ(SecondAxis(point, Plane::XY), 2);
  EXPECT_EQ(FirstAxis(point, Plane::XZ), 1);
  EXPECT_EQ(SecondAxis(point, Plane::XZ), 3);
  EXPECT_EQ(FirstAxis(point, Plane::YZ), 2);
  EXPECT_EQ(SecondAxis(point, Plane::YZ), 3);
}

TEST(Toolpath, HelixAndUnevenRadiusEndExactlyAtTheEndPoint) {
  // A helical quarter in XY, and an arc whose end lies off its start circle.
  const auto moves = ReadMoves(
      "N001G03X-001000Y+001000Z-000400I+001000J+000000\n"
      "N002G03X-001000Y-001500I+000000J+001000\n");
  ASSERT_EQ(moves.size(), 2u);
  for (const ToolpathMove& move : moves) {
    const auto points = Flatten(move);
    EXPECT_DOUBLE_EQ(Distance(points.back(), move.end), 0);
  }
  const auto helix = Flatten(moves[0]);
  EXPECT_NEAR(helix[helix.size() / 2].z, -2, 0.1);
}

// A radius of 10^13 mm wants billions of pieces at 0.001 mm: drawn with the
// most an arc gets, not with a count that overflowed.
TEST(Toolpath, AHugeArcIsDrawnWithBoundedPieces) {
  ToolpathMove arc;
  arc.kind = MoveKind::kCircular;
  arc.end = {2e13, 0, 0};
  arc.centre = {1e13, 0, 0};
  const auto points = Flatten(arc);
  EXPECT_EQ(points.size(), 4096u);
  EXPECT_DOUBLE_EQ(Distance(points.back(), arc.end), 0);
  EXPECT_GT(points[2048].y, 9e12);  // G02 in XY: over the top, clockwise
}

// The message names the line and the word as written.
void ExpectRefused(std::string_view program, std::uint32_t line, const std::string& word) {
  try {
    ReadMoves(program);
    ADD_FAILURE() << "read without complaint: " << program;
  } catch (const OutOfReachError& error) {
    EXPECT_EQ(error.Line(), line) << program;
    EXPECT_NE(std::string(error.what()).find("строка " + std::to_string(line) + ": слово " + word +
                                             " выходит за пределы станка"),
              std::string::npos)
        << error.what();
  }
}

TEST(ToolpathReach, PointsBeyondTheMachineAreRefusedByLineAndWord) {
  const std::string beyondFloat(39, '9');
  ExpectRefused("N001Y+" + beyondFloat + "\n", 1, "Y+" + beyondFloat);
  const std::string withinFloat = "123456789012345678901234567890123456789";
  ExpectRefused("%\nN001G01X+000100Y+" + withinFloat + "F0660\nN002X+000100\n", 2,
                "Y+" + withinFloat);
  ExpectRefused("N001Z-1100000000\n", 1, "Z-1100000000");
  // Each step within reach, the sum not: the step that leaves is named.
  ExpectRefused("N001X+0600000000\nN002Y+000100\nN003X+0600000000\n", 3, "X+0600000000");
  ExpectRefused("N001G02X+000100I+999999999999J+000000\n", 1, "I+999999999999");
  ExpectRefused("N001G18G03X+000100K-999999999999\n", 1, "K-999999999999");
}

TEST(ToolpathReach, TheWholeTableIsDrawnToItsEdges) {
  const auto moves = ReadMoves(
      "N001X+1000000000Y-1000000000\nN002X-2000000000\n"
      "N003G02X+1000000000Y+1000000000I+1000000000J+000000\n");
  ASSERT_EQ(moves.size(), 3u);
  EXPECT_DOUBLE_EQ(moves[1].end.x, -kMachineReach);
  EXPECT_DOUBLE_EQ(moves[2].centre.x, 0);  // the unsigned offset mended
  EXPECT_DOUBLE_EQ(moves[2].centre.y, -kMachineReach);
}

// Nothing a picture holds is out of the numbers, even at the machine's edges.
TEST(ToolpathReach, PictureGeometryIsFiniteAtTheEdges) {
  // Half circles of the table's radius around the origin, there and back.
  std::string program = "N001G01X+1000000000Z-1000000000F0660\n";
  for (int frame = 0; frame < 200; ++frame) {
    program += frame % 2 ? "N002G01X+2000000000F0000\n" : "N002G03X-2000000000I+1000000000F0999\n";
  }
  MemorySource source(program);
  PictureOptions options;
  options.path.pointCap = 4096;
  options.profileCap = 64;
  const ProgramPicture picture = ReadProgramPicture(source, options);
  ASSERT_FALSE(picture.path.Points().empty());
  for (const PathPoint& point : picture.path.Points()) {
    ASSERT_TRUE(std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z));
  }
  EXPECT_LE(picture.path.Points().size(), 4096u);
  EXPECT_LE(picture.profile.Samples().size(), 64u);
  for (const ProfileSample& sample : picture.profile.Samples()) {
    ASSERT_TRUE(std::isfinite(sample.path) && std::isfinite(sample.low) && std::isfinite(sample.high));
  }
  EXPECT_TRUE(std::isfinite(picture.profile.Length()));
  EXPECT_TRUE(std::isfinite(picture.path.Bounds().LargestSide()));
}

TEST(Toolpath, OffsetsWrittenWithoutSignsFindTheirCentre) {
  // The true start offset is (−10, 0); the file says +10.
  const auto moves = ReadMoves("N001G02X+001000Y+001000I+001000J+000000\n");
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_DOUBLE_EQ(moves[0].centre.x, 10);
  EXPECT_DOUBLE_EQ(moves[0].centre.y, 0);
}

TEST(Toolpath, ProfileLengthIsTheStatisticsPathLength) {
  const std::string program =
      "%\nN001G17S500M03\nN002G01Z-000500F0630\nN003X+004000F0660\n"
      "N004G03X+000500Y+000500I+000000J-000500\nN005G01Y+002000\nN006F0000\n"
      "N007G02X-000500Y+000500I-000500J+000000F0624\nN008X-003750Y-002537Z+000311\n"
      "N009G01Z+000500F0712\nN010M05\nN011M30\n$\n";
  TempDir dir;
  const auto file = dir.Write("program.up", program);
  const std::optional<ProgramStatistics> read = GetFileInformation(file, 1200);
  ASSERT_TRUE(read);
  const ProgramStatistics& statistics = *read;
  const auto picture = LoadProgramPicture(file, {});
  ASSERT_TRUE(picture);
  EXPECT_NEAR(picture->profile.Length(), statistics.pathLength_mm, 1e-5);
  EXPECT_EQ(picture->lines, 13u);
  EXPECT_EQ(picture->motionFrames, 7u);
  EXPECT_EQ(picture->lowestFeed, 240);
  EXPECT_EQ(picture->highestFeed, 1200);
}

TEST(Toolpath, FramesAreFoundAgainByLineAndByPathPastCheckpoints) {
  // Frame n moves 1 mm; every tenth line only sets a feed.
  std::string program;
  for (int line = 1; line <= 2500; ++line) {
    program += "N" + std::to_string(line) + (line % 10 ? "X+000100\r\n" : "F0660\r\n");
  }
  TempDir dir;
  const auto picture = LoadProgramPicture(dir.Write("long.up", program), {});
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->checkpoints.size(), 3u);
  const auto text = [&](std::uint32_t line) {
    const auto frame = FindFrameByLine(*picture, line);
    return frame ? frame->text : "-";
  };
  EXPECT_EQ(text(1), "N1X+000100");
  EXPECT_EQ(text(1024), "N1024X+000100");
  EXPECT_EQ(text(1030), "N1030F0660");
  EXPECT_EQ(text(2500), "N2500F0660");
  EXPECT_EQ(text(2501), "-");
  EXPECT_EQ(text(0), "-");

  // Lines 1 to 9 hold the path 0 to 9, lines 11 to 19 the path 9 to 18...
  const auto at = [&](double path) {
    const auto frame = FindFrameByPath(*picture, path);
    return frame ? frame->line : 0u;
  };
  EXPECT_EQ(at(0), 1u);
  EXPECT_EQ(at(8.5), 9u);
  EXPECT_EQ(at(9), 11u);
  EXPECT_EQ(at(920.5), 1023u);  // 102 feed frames before it
  EXPECT_EQ(at(921.5), 1024u);
  EXPECT_EQ(at(922.5), 1025u);
  EXPECT_EQ(at(1e9), 2499u);
  const auto frame = FindFrameByPath(*picture, 922.5);
  ASSERT_TRUE(frame);
  EXPECT_DOUBLE_EQ(frame->pathStart, 922);
  EXPECT_DOUBLE_EQ(frame->pathEnd, 923);
}

// A frame read again from the checkpoint before it carries the plane, sense,
// rapid mode, feed and position the whole read gave it.
TEST(Toolpath, AMoveReadAgainPastCheckpointsIsTheMoveOfTheWholeRead) {
  // Eight lines a round: each checkpoint's line is an arc that takes its
  // plane, sense and feed from the line before.
  constexpr std::array<const char*, 8> kLines{
      "X+000100Z+000100I+000000K+000100", "G01X+000250F0660",
      "G17G02X+000100Y+000100I+000100J+000000", "G00Y-000300",
      "F0630", "G19G01Y+000100Z-000100F0712",
      "M05", "G18G03F0640"};
  std::string program;
  for (int line = 0; line < 3000; ++line) {
    program += "N" + std::to_string(line + 1) + kLines[static_cast<std::size_t>(line) % kLines.size()] + "\r\n";
  }
  TempDir dir;
  const auto picture = LoadProgramPicture(dir.Write("long.up", program), {});
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->checkpoints.size(), 3u);
  for (const ToolpathMove& whole : ReadMoves(program)) {
    if (whole.line % 97 != 0 && whole.line % 1024 > 8) continue;
    const auto again = FindMoveByLine(*picture, whole.line);
    ASSERT_TRUE(again) << whole.line;
    EXPECT_EQ(again->kind, whole.kind) << whole.line;
    EXPECT_EQ(again->plane, whole.plane) << whole.line;
    EXPECT_EQ(again->sense, whole.sense) << whole.line;
    EXPECT_EQ(again->feed, whole.feed) << whole.line;
    EXPECT_DOUBLE_EQ(Distance(again->start, whole.start), 0) << whole.line;
    EXPECT_DOUBLE_EQ(Distance(again->end, whole.end), 0) << whole.line;
    EXPECT_DOUBLE_EQ(Distance(again->centre, whole.centre), 0) << whole.line;
    EXPECT_DOUBLE_EQ(again->pathEnd, whole.pathEnd) << whole.line;
  }
  EXPECT_FALSE(FindMoveByLine(*picture, 7));  // M05 moves nothing
  EXPECT_FALSE(FindMoveByLine(*picture, 3001));
  MemorySource source(program);
  EXPECT_FALSE(FindMoveByLine(ReadProgramPicture(source, {}), 1));  // no file to read again
}

// The program is read again for each frame pointed at; a file that fails to
// read meanwhile shows no frame instead of ending the window.
TEST(Toolpath, AFileThatFailsAfterDrawingShowsNoFrame) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows: no file that opens and then fails to read (/proc/self/mem), "
                  "nor a symbolic link to one";
#endif
  if (!std::filesystem::exists("/proc/self/mem")) GTEST_SKIP() << "no file that fails to read";
  TempDir dir;
  const auto file = dir.Write("program.up", "N001X+000100\r\nN002Y+000100\r\n");
  const auto picture = LoadProgramPicture(file, {});
  ASSERT_TRUE(picture);
  std::filesystem::remove(file);
  std::filesystem::create_symlink("/proc/self/mem", file);
  EXPECT_FALSE(FindFrameByLine(*picture, 2));
  EXPECT_FALSE(FindFrameByPath(*picture, 1.5));
  EXPECT_FALSE(FindMoveByLine(*picture, 2));
  EXPECT_FALSE(ReadPathAgain(*picture, {}));
}

TEST(Toolpath, UnreadableFileGivesNoPictureAndAReason) {
  TempDir dir;
  std::string reason;
  EXPECT_FALSE(LoadProgramPicture(dir / "missing.up", {}, &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(LoadProgramPicture(dir.Path(), {}, &reason));
}

}  // namespace
}  // namespace h33
