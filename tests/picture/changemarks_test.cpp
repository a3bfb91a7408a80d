#include <gtest/gtest.h>

#include <cmath>

#include "picture/programpicture.h"

namespace h33 {
namespace {

// Along X, a feed frame, a frame without motion, a quarter circle about the
// start back to the Y axis.
constexpr const char* kProgram =
    "N001G01X+001000F0660\nN002F0620\nN003M05\nN004G03X-001000Y+001000I+001000J+000000\n";

std::vector<ChangeMark> Marks(std::vector<ChangeMarkRequest> requests) {
  MemorySource source(kProgram);
  PictureOptions options;
  options.marks = std::move(requests);
  return ReadProgramPicture(source, options).marks;
}

void ExpectAt(const ChangeMark& mark, double x, double y, double path) {
  EXPECT_NEAR(mark.at.x, x, 0.06) << mark.line;
  EXPECT_NEAR(mark.at.y, y, 0.06) << mark.line;
  EXPECT_NEAR(mark.path, path, 1e-6) << mark.line;
}

TEST(ChangeMarks, StandWhereTheirFramesAre) {
  const double chord = std::sqrt(200.0);
  const auto marks = Marks({{9, ChangeMarkKind::kStop, false},
                            {4, ChangeMarkKind::kFeedRaised, false},
                            {3, ChangeMarkKind::kDropped, true},
                            {2, ChangeMarkKind::kJunction, false},
                            {1, ChangeMarkKind::kDropped, true},
                            {1, ChangeMarkKind::kFeedLowered, false}});
  ASSERT_EQ(marks.size(), 6u);
  ExpectAt(marks[0], 5, 0, 5);    // a move: its middle
  ExpectAt(marks[1], 10, 0, 10);  // after a move: its end
  ExpectAt(marks[2], 10, 0, 10);  // a feed frame: where it stands
  ExpectAt(marks[3], 10, 0, 10);  // after a line the pictures skip: where the program is then
  // An arc: the middle of the arc itself, not of its chord.
  ExpectAt(marks[4], 10 / std::sqrt(2.0), 10 / std::sqrt(2.0), 10 + chord / 2);
  ExpectAt(marks[5], 0, 10, 10 + chord);  // past the last line: the path's end
  EXPECT_EQ(marks[4].kind, ChangeMarkKind::kFeedRaised);
}

TEST(ChangeMarks, AreBoundedInNumber) {
  std::vector<ChangeMarkRequest> requests(ChangeMarkPlacer::kMostMarks + 10,
                                          {1, ChangeMarkKind::kJunction, false});
  EXPECT_EQ(Marks(std::move(requests)).size(), ChangeMarkPlacer::kMostMarks);
}

}  // namespace
}  // namespace h33
