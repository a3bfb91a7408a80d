#include "methods/ptp_braking.h"

#include <gtest/gtest.h>

#include "ptp_testing.h"

namespace h33 {
namespace {

const BrakingRules kRules = ConversionBrakingRules(TestMachine());

WindowRow Row(std::string_view text, int feed, float length) { return {Frame(text), feed, length}; }

TEST(BrakeWindow, LowersOnlyWhatCannotBrakeInTime) {
  // From 600 over 10 mm the machine brakes from 848 mm/min.
  FrameWindow window{Row("%\n", 0, 0), Row("N1X1000F800\n", 800, 10),
                     Row("N2X1000F600\n", 600, 10)};
  ScriptedDialogs dialogs;
  EXPECT_TRUE(BrakeWindow(window, 2, kRules, dialogs));
  EXPECT_EQ(window[1].feed, 800);
  window[1] = Row("N1X1000F1000\n", 1000, 10);
  EXPECT_TRUE(BrakeWindow(window, 2, kRules, dialogs));
  EXPECT_EQ(window[1].feed, 848);
  EXPECT_EQ(window[1].frame.Text(), "N1X1000F0684\n");
  // A stop after 0.5 mm: 60·sqrt(5) = 134.
  FrameWindow stop{Row("%\n", 0, 0), Row("N1X50F1000\n", 1000, 0.5f), Row("N000F0000\n", 0, 0)};
  EXPECT_TRUE(BrakeWindow(stop, 2, kRules, dialogs));
  EXPECT_EQ(stop[1].feed, 134);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST(BrakeWindow, FramesWithMOrSWordsShieldTheFramesBeforeThem) {
  FrameWindow window{Row("%\n", 0, 0), Row("N1X1000F1000\n", 1000, 10),
                     Row("N2S200X50F1000\n", 1000, 0.5f), Row("N000F0000\n", 0, 0)};
  ScriptedDialogs dialogs;
  EXPECT_TRUE(BrakeWindow(window, 3, kRules, dialogs));
  EXPECT_EQ(window[2].feed, 1000);
  EXPECT_EQ(window[1].feed, 1000);
}

TEST(BrakeWindow, ShortCircleBeforeAStopFailsInTheKalvertBox) {
  FrameWindow window{Row("%\n", 0, 0), Row("N1G02X1000Y-1000I0J1000F0660\n", 600, 14.1f),
                     Row("N000F0000\n", 0, 0)};
  ScriptedDialogs dialogs;
  EXPECT_FALSE(BrakeWindow(window, 2, kRules, dialogs));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0],
            "captioned <kalvert>: В кадре c круговой интерполяцией N1G02X1000Y-1000I0J1000F0660\n"
            "               недопустимое торможение до 0. Скорректируйте исходную программу.\n"
            " Как Решение:\n\t 1.вывод окружности линейными отрезками\n"
            "\t 2.убрать галочку восстановления скорости на окружности");
}

TEST(BrakeWindow, TwoStopsAfterAStandingShortCircleFail) {
  FrameWindow window{Row("%\n", 0, 0), Row("N1G02X1000Y-1000I0J1000F0\n", 0, 14.1f),
                     Row("N000F0000\n", 0, 0)};
  ScriptedDialogs dialogs;
  EXPECT_FALSE(BrakeWindow(window, 2, kRules, dialogs));
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST(BrakeWindow, LoweringRowZeroFailsNamingTheFrameBeforeTheStart) {
  FrameWindow window{Row("N1X1000F900\n", 900, 10), Row("N2X1000F240\n", 240, 10)};
  ScriptedDialogs dialogs;
  EXPECT_FALSE(BrakeWindow(window, 1, kRules, dialogs));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(
      dialogs.shown[0],
      "captioned <kalvert>: Слишком маленькая подача в кадре:\nN1X1000F0664\n \n \t  Станок не "
      "успевает затормозиться в предыдущих 18-и кадрах.\n \t  Скорректируйте исходную "
      "программу.\n Как Решение: \n\t 1.вывод окружности линейными отрезками\n\t 2.убрать "
      "галочку восстановления скорости на окружности");
  ScriptedDialogs quiet;
  EXPECT_TRUE(BrakeWindow(window, 0, kRules, quiet));
}

}  // namespace
}  // namespace h33
