// Real CAM programs, drawn as the window draws a G-code file: the picture's
// path ends where the converted program's control sums say, which the
// cases' READMEs give as the G-code's own net displacement.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/gcodetape.h"
#include "format/bytesource.h"
#include "picture/toolpath.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

// "SUMX =      2.35 mm" and the like, from a golden case's standard output.
Point3 ControlSums(const fs::path& stdoutFile) {
  std::ifstream in(stdoutFile);
  Point3 sums;
  for (std::string line; std::getline(in, line);) {
    char axis = 0;
    double value = 0;
    // The sums are printed with a decimal point whatever the locale.
    if (std::sscanf(line.c_str(), " SUM%c = %lf", &axis, &value) != 2) continue;
    (axis == 'X' ? sums.x : axis == 'Y' ? sums.y : sums.z) = value;
  }
  return sums;
}

Point3 PictureEnd(const fs::path& gcode) {
  const ImportedTape tape = ImportedTape::ForPicture(gcode);
  const auto source = FileSource::Open(tape.Path());
  EXPECT_TRUE(source);
  ToolpathReader reader(*source, FeedUnits::kMmPerMinute);
  Point3 end;
  for (ToolpathMove move; reader.Next(move);) end = move.end;
  return end;
}

TEST(RealCamPrograms, PictureEndsWhereTheControlSumsSay) {
  int programs = 0;
  for (const auto& folder : fs::directory_iterator(H33_GOLDEN_DIR)) {
    if (!folder.path().filename().string().starts_with("convert-real-")) continue;
    for (const auto& file : fs::directory_iterator(folder.path())) {
      if (!HasGcodeName(file.path())) continue;
      const std::string name = file.path().filename().string();
      ++programs;
      const Point3 sums = ControlSums(folder.path() / "stdout");
      const Point3 end = PictureEnd(file.path());
      EXPECT_NEAR(end.x, sums.x, 1e-3) << name;
      EXPECT_NEAR(end.y, sums.y, 1e-3) << name;
      EXPECT_NEAR(end.z, sums.z, 1e-3) << name;
    }
  }
  EXPECT_GE(programs, 4);  // four CAM systems
}

}  // namespace
}  // namespace h33
