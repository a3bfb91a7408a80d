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
