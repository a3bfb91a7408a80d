#include <gtest/gtest.h>

#include "methods/timemessage.h"

namespace h33 {
namespace {

TEST(TimeMessage, ShortFormBelowAnHour) {
  EXPECT_EQ(TimeMessage(3599),
            "\nВремя выполнения ->\n       3599 секунд = 59.98 минут");
  EXPECT_EQ(TimeMessage(0), "\nВремя выполнения ->\n          0 секунд = 0.00 минут");
}

TEST(TimeMessage, HoursComeFromTheTruncatedWholeMinutes) {
  EXPECT_EQ(TimeMessage(3600),
            "\nВремя выполнения ->\n       3600 секунд = 60.00 минут = [ 1 ч 0.0 мин ]");
  EXPECT_EQ(TimeMessage(5430),
            "\nВремя выполнения ->\n       5430 секунд = 90.50 минут = [ 1 ч 30.5 мин ]");
  EXPECT_EQ(TimeMessage(7199.9f),
            "\nВремя выполнения ->\n       7200 секунд = 120.00 минут = [ 1 ч 60.0 мин ]");
}

}  // namespace
}  // namespace h33
