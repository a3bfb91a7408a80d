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
#include "scripteddialogs.h"
#include "tempdir.h"

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

// The window has no option to leave cutter compensation out: it asks, and
// converts without it only when told to.
TEST(GcodeConversion, TheWindowAsksBeforeLeavingOutCutterCompensation) {
  const TempDir dir;
  const fs::path input = dir.Write("comp.nc", "G21 G90\nG41 D1 G1 X10 F300\nY10\nG40 X0\nM30\n");
  RunParameters parameters;
  parameters.machine = {100, 1200, 50};
  parameters.inputFile = input;
  for (const Button answer : {Button::No, Button::Yes}) {
    SCOPED_TRACE(answer == Button::Yes ? "Yes" : "No");
    const fs::path output = dir / (answer == Button::Yes ? "yes.up" : "no.up");
    parameters.outputFile = output;
    ScriptedDialogs dialogs;
    dialogs.buttons = {answer, Button::No};
    const std::optional<GcodeConversion> conversion =
        ConvertGcode(parameters, input, output, ImportOptions{}, ArcChoice::kAsAsked, dialogs,
                     CompensationChoice::kAskTheUser);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_NE(dialogs.shown.front().find("Строка 2: коррекция на радиус инструмента G41, G42.\n"),
              std::string::npos)
        << dialogs.shown.front();
    EXPECT_EQ(dialogs.shown.front().find("--leave-out"), std::string::npos);
    EXPECT_EQ(conversion.has_value(), answer == Button::Yes);
    EXPECT_EQ(fs::exists(output), answer == Button::Yes);
  }
  // The command's refusal names its option, and asks nothing.
  ScriptedDialogs dialogs;
  EXPECT_FALSE(ConvertGcode(parameters, input, dir / "cli.up", ImportOptions{}, ArcChoice::kAsAsked,
                            dialogs));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].find("--leave-out-cutter-compensation"), std::string::npos);
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
