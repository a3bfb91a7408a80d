#include "format/textformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace h33 {
namespace {

TEST(Sprintf, TextsOfAnyLengthWhole) {
  EXPECT_EQ(Sprintf("N%03ld", 7L), "N007");
  EXPECT_EQ(Sprintf("%s", ""), "");
  const std::string longText(1000, 'x');
  EXPECT_EQ(Sprintf("<%s>", longText.c_str()), "<" + longText + ">");
  const std::string edge(255, 'y');  // the longest text of the first pass, and one more
  EXPECT_EQ(Sprintf("%s", edge.c_str()), edge);
  EXPECT_EQ(Sprintf("%s!", edge.c_str()), edge + "!");
}

// Frame numbers and rounded cosines must come out byte for byte as printf
// writes them: the written program and the junction decisions depend on it.
TEST(FastFormats, GiveTheBytesOfPrintf) {
  for (const long number : {0L, 1L, 7L, 99L, 999L, 1000L, 99999L, 123456L, -5L}) {
    for (const int width : {0, 3, 5}) {
      EXPECT_EQ(ZeroPadded(number, width), Sprintf("%0*ld", width, number)) << number;
    }
  }
  // Halves of the last decimal, signed zeros and values past ±1 included.
  for (const double value : {0.0, -0.0, 0.0005, 0.0015, 0.0025, -0.0005, 0.9995, -0.9995, 1.0,
                             -1.0, 1.00049, 0.70710677, -0.70710677, 1e-9, -1e-9, 12345.6785}) {
    EXPECT_EQ(FixedDecimals(value, 3), Sprintf("%.3f", value)) << value;
  }
  std::mt19937 random(1);
  std::uniform_real_distribution<float> cosine(-1.01f, 1.01f);
  for (int i = 0; i < 100000; ++i) {
    const double value = cosine(random);  // a float's value, as the planner passes it
    ASSERT_EQ(FixedDecimals(value, 3), Sprintf("%.3f", value)) << value;
  }
}

}  // namespace
}  // namespace h33
