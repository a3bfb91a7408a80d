#include <gtest/gtest.h>

#include <string>

#include "format/controlsums.h"
#include "format/decimalsum.h"
#include "format/textformat.h"

namespace h33 {
namespace {

std::string Printed(double millimetres) { return Sprintf("%10.2f", millimetres); }

TEST(ControlSums, AProgramThatReturnsExactlySumsToZero) {
  // In single precision these moves left 0.01 mm over.
  ControlSums sums;
  for (const char* move : {"X-681664", "X-955277", "X-934563", "X-824304", "X-884051",
                           "X+999999", "X+999999", "X+999999", "X+999999", "X+279863"}) {
    sums.Add(Frame(std::string("N001G01") + move + "F0660\n"));
  }
  EXPECT_EQ(Printed(sums.X()), "      0.00");
  EXPECT_EQ(sums.X(), 0.0);
}

TEST(ControlSums, ManySmallStepsDoNotDrift) {
  ControlSums sums;
  for (int i = 0; i < 100000; ++i) sums.Add(Frame("N001X+000001Y-000001Z+000000\n"));
  EXPECT_EQ(Printed(sums.X()), "   1000.00");
  EXPECT_EQ(Printed(sums.Y()), "  -1000.00");
  EXPECT_EQ(Printed(sums.Z()), "      0.00");
}

TEST(DecimalSum, ReadsTextsAsParseDoubleDoesButExactly) {
  DecimalSum sum;
  for (int i = 0; i < 10; ++i) sum.Add(" 0.1 ");
  EXPECT_EQ(sum.Value(), 1.0);
  DecimalSum mixed;
  for (const char* text : {"12.5", "-.5", "5.", "+-5", "", ".", "1-2", "0.0000019"}) {
    mixed.Add(text);
  }
  // 12.5 − 0.5 + 5 + 1, the rest no number; the seventh decimal is dropped.
  EXPECT_EQ(mixed.Value(), 18.000001);
  DecimalSum whole;
  for (const char* text : {"+000100", "-000250 ", " +7", "-", "12 34", "999999999999",
                           "-999999999999", "0000000000000000000003"}) {
    whole.Add(text);
  }
  // 100 − 250 + 7 + 12, twelve nines and back, and 3 behind many zeros.
  EXPECT_EQ(whole.Value(), -128.0);
}

TEST(DecimalSum, GarbageSaturatesInsteadOfOverflowing) {
  DecimalSum sum;
  for (int i = 0; i < 5; ++i) sum.Add("+99999999999999999999999");
  EXPECT_EQ(sum.Value(), 4e12);
  sum.Add("-99999999999999999999999");
  EXPECT_EQ(sum.Value(), 0.0);
}

}  // namespace
}  // namespace h33
