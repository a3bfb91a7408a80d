#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "format/numbers.h"
#include "format/textformat.h"

namespace h33 {
namespace {

TEST(ParseNumbers, ReadLikeScanf) {
  EXPECT_EQ(ParseFloat("+001500"), 1500.0f);
  EXPECT_EQ(ParseFloat("-000250 "), -250.0f);
  EXPECT_EQ(ParseFloat("  12.5"), 12.5f);
  EXPECT_EQ(ParseFloat("-.5"), -0.5f);
  EXPECT_EQ(ParseFloat("5."), 5.0f);
  EXPECT_EQ(ParseFloat("1.2.3"), 1.2f);
  EXPECT_EQ(ParseFloat("12 34"), 12.0f);
  EXPECT_EQ(ParseDouble("0.1"), 0.1);
  EXPECT_EQ(ParseInt("0660"), 660);
  EXPECT_EQ(ParseInt("12abc"), 12);
  EXPECT_EQ(ParseInt("  -7"), -7);
  EXPECT_EQ(ParseLong("+001500"), 1500L);
}

TEST(ParseNumbers, TextsWithoutANumberReadAsZero) {
  for (const char* text : {"", " ", "+", "-", "+-5", "--1", ".", " . ", "-.", "abc", "NaN0", "-nan",
                           "inf", "+Infinity"}) {
    EXPECT_EQ(ParseFloat(text), 0.0f) << text;
    EXPECT_EQ(ParseDouble(text), 0.0) << text;
    EXPECT_EQ(ParseInt(text), 0) << text;
  }
  EXPECT_EQ(ParseInt(".5"), 0);
}

TEST(ParseNumbers, OutOfRangeSaturates) {
  EXPECT_EQ(ParseInt("99999999999"), std::numeric_limits<int>::max());
  EXPECT_EQ(ParseInt("-99999999999"), std::numeric_limits<int>::min());
  EXPECT_EQ(ParseInt("-2147483648"), std::numeric_limits<int>::min());
  EXPECT_EQ(ParseInt("2147483648"), std::numeric_limits<int>::max());
  // Around the digits read without a range check and beyond what 64 bits
  // hold; a long has 32 bits on Windows.
  constexpr long kLongMax = std::numeric_limits<long>::max();
  constexpr long kLongMin = std::numeric_limits<long>::min();
  EXPECT_EQ(ParseLong("999999999999999999"), std::min<long long>(999999999999999999LL, kLongMax));
  EXPECT_EQ(ParseLong(std::to_string(kLongMax)), kLongMax);
  EXPECT_EQ(ParseLong(std::to_string(kLongMin)), kLongMin);
  EXPECT_EQ(ParseLong("99999999999999999999"), kLongMax);
  EXPECT_EQ(ParseLong("0000000000000000000000012"), 12L);
  EXPECT_TRUE(std::isinf(ParseFloat(std::string(60, '9'))));
  EXPECT_EQ(ParseFloat("0." + std::string(60, '0') + "1"), 0.0f);
}

TEST(ParseNumbers, TruncateToIntSaturates) {
  EXPECT_EQ(TruncateToInt(305.9), 305);
  EXPECT_EQ(TruncateToInt(-5.9), -5);
  EXPECT_EQ(TruncateToInt(1e30), std::numeric_limits<int>::max());
  EXPECT_EQ(TruncateToInt(-1e30), std::numeric_limits<int>::min());
  EXPECT_EQ(TruncateToInt(std::nan("")), 0);
}

// Under a Russian locale the C library's own %f reading takes "6.2" as 6;
// program words must read the same whatever the user's locale.
TEST(ParseNumbers, IndependentOfTheLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
#ifdef _WIN32
  // Windows' names for the Russian locale, the decimal comma with them.
  if (!std::setlocale(LC_ALL, "Russian_Russia.1251") && !std::setlocale(LC_ALL, "ru-RU") &&
      !std::setlocale(LC_ALL, "Russian")) {
    GTEST_SKIP() << "no Russian locale in this C runtime";
  }
#else
  if (!std::setlocale(LC_ALL, "ru_RU.UTF-8")) GTEST_SKIP() << "ru_RU.UTF-8 is not installed";
#endif
  ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
  EXPECT_EQ(ParseFloat("6.2"), 6.2f);
  EXPECT_EQ(ParseDouble("-0.25"), -0.25);
  // What the front ends do right after start-up: numbers print with a point.
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(Sprintf("%10.2f", 1.5), "      1.50");
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(Sprintf, FormatsTextsOfAnyLength) {
  EXPECT_EQ(Sprintf("%s=%3.3d", "N", 7), "N=007");
  const std::string longPath(2000, 'a');
  EXPECT_EQ(Sprintf("Файл %s", longPath.c_str()).size(), longPath.size() + 9);
  EXPECT_EQ(Sprintf("%s", ""), "");
}

}  // namespace
}  // namespace h33
