#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "app/runinput.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {
namespace {

std::vector<std::string> Shown(const std::filesystem::path& input, bool expected) {
  ScriptedDialogs dialogs;
  EXPECT_EQ(CheckRunInput(input, dialogs), expected) << input;
  return dialogs.shown;
}

TEST(RunInput, PassesH33ProgramsAndPtpFilesWithPlainFeeds) {
  const TempDir dir;
  EXPECT_TRUE(Shown(dir.Write("p.up", "%\r\nN001G01X+001000F0660\r\n"), true).empty());
  EXPECT_TRUE(Shown(dir.Write("p.ptp", "%\nN1G01X+001000F1500\nN2M05\n"), true).empty());
  EXPECT_TRUE(Shown(dir.Write("empty.up", ""), true).empty());
}

// A method for H33 programs given G-code says which method takes it; a
// program that is no G-code gets no such hint.
TEST(RunInput, NamesTheWayInForGcode) {
  const TempDir dir;
  const std::string gcode = dir.Write("part.nc", "G21 G90\nG0 X10.5 Y2\nM30\n").string();
  EXPECT_EQ(Shown(gcode, false),
            std::vector<std::string>{"error [Yes]: Файл УП ->\n " + gcode +
                                     " \n\n НЕ является программой ЧПУ H33 (Velta)\n "
                                     "Вычисления прерваны....\n\n Это G-код: его преобразует в "
                                     "программу H33 метод Ptp->up (команда h33 convert)."});
  const std::vector<std::string> plain = Shown(dir.Write("p.up", "N001G01X10.5\n"), false);
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].find("G-код"), std::string::npos) << plain[0];
}

TEST(RunInput, RefusesWhatNoMethodCanRunOn) {
  const TempDir dir;
  const std::string missing = (dir / "none.up").string();
  EXPECT_EQ(Shown(missing, false),
            std::vector<std::string>{"error [Yes]: Файл УП ->\n " + missing +
                                     " \n\n НЕ существует \n .."});
  const std::string directory = dir.Path().string();
  EXPECT_EQ(Shown(directory, false),
            std::vector<std::string>{
                "captioned <Проверка программы на формат H33 - > ошибка ...>: "
                "Невозможно открыть файл:\n " + directory + " \n на 'чтение' \nэто каталог, а не файл"});
#ifdef _WIN32
  // No FIFOs in a Windows folder; a pipe comes as standard input ("-").
#else
  // A FIFO would give the check its bytes and the method none, or wait for
  // a writer at every open.
  const std::filesystem::path fifo = dir / "fifo.up";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Shown(fifo.string(), false),
            std::vector<std::string>{
                "captioned <Проверка программы на формат H33 - > ошибка ...>: "
                "Невозможно открыть файл:\n " + fifo.string() + " \n на 'чтение' \nэто не обычный "
                "файл (канал или устройство): программу из него нельзя прочитать несколько раз"});
#endif
  // Decimal points: a PTP file as the post-processor writes it for other machines.
  const std::string points = dir.Write("points.ptp", "%\nN1G00X10.Y20.\nN2M30\n").string();
  EXPECT_EQ(Shown(points, false),
            std::vector<std::string>{"error [Yes]: Файл УП ->\n " + points +
                                     " \n\n НЕ является программой ЧПУ H33 (Velta)\n "
                                     "Вычисления прерваны...."});
}

}  // namespace
}  // namespace h33
