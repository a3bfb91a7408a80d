// Reading a G-code line: its words and numbers as the program means them,
// and refusals that name the cause in text a terminal can show.

#include <gtest/gtest.h>

#include <string>

#include "gcode/gcodeblock.h"

namespace h33 {
namespace {

std::string RefusalOf(const std::string& line) {
  try {
    ParseGcodeLine(line, 3);
  } catch (const GcodeRefusal& refusal) {
    return refusal.what();
  }
  return "accepted";
}

TEST(GcodeBlock, ReadsWordsAsAPostProcessorWritesThem) {
  const GcodeBlock block = ParseGcodeLine("n10 g1 x 12.5 Y-.25(comment X9)z+3 f100 ; X7", 4);
  ASSERT_EQ(block.words.size(), 6u);
  EXPECT_EQ(block.Value('X'), 12'500'000);
  EXPECT_EQ(block.Value('Y'), -250'000);
  EXPECT_EQ(block.Value('Z'), 3'000'000);
  EXPECT_EQ(block.Value('F'), 100'000'000);
  EXPECT_FALSE(block.blockDelete);
  // The seventh decimal rounds the sixth.
  EXPECT_EQ(ParseGcodeLine("X1.2345675 Y-0.0000004 Z0.9999999", 1).Value('X'), 1'234'568);
  EXPECT_EQ(ParseGcodeLine("X1.2345675 Y-0.0000004 Z0.9999999", 1).Value('Y'), 0);
  EXPECT_EQ(ParseGcodeLine("X1.2345675 Y-0.0000004 Z0.9999999", 1).Value('Z'), 1'000'000);
  // A comment ends where its own parentheses close.
  EXPECT_EQ(ParseGcodeLine("(Drill, 3mm (R)) X2", 1).Value('X'), 2'000'000);
  EXPECT_TRUE(ParseGcodeLine("/G0X1", 1).blockDelete);
  EXPECT_TRUE(ParseGcodeLine("%", 1).words.empty());
  EXPECT_TRUE(ParseGcodeLine("O1234 (PART)", 1).words.empty());
  EXPECT_EQ(CodeInTenths(90'100'000), 901);
  EXPECT_EQ(CodeInTenths(90'010'000), std::nullopt);
}

TEST(GcodeBlock, RefusesWhatItCannotRead) {
  for (const char* line :
       {"#1=5", "G1 X[1+2]", "G1 X", "G1 X10 (open", "G1 X10 (a (b)", "G1 X1 @", "O100 sub"}) {
    EXPECT_THROW(ParseGcodeLine(line, 7), GcodeRefusal) << line;
  }
  try {
    ParseGcodeLine("G1 X#1", 12);
  } catch (const GcodeRefusal& refusal) {
    EXPECT_EQ(std::string(refusal.what()).rfind("Строка 12: ", 0), 0u) << refusal.what();
  }
}

// Some generators write numbers with an exponent; the number is all of it,
// not a number and then an E word.
TEST(GcodeBlock, ReadsNumbersWithAnExponent) {
  EXPECT_EQ(ParseGcodeLine("X 1.5e-05", 1).Value('X'), 15);
  EXPECT_EQ(ParseGcodeLine("J -8.775e-05", 1).Value('J'), -88);  // the seventh decimal rounds
  EXPECT_EQ(ParseGcodeLine("X1.5E+01", 1).Value('X'), 15'000'000);
  EXPECT_EQ(ParseGcodeLine("X2e3", 1).Value('X'), 2'000'000'000);
  EXPECT_EQ(ParseGcodeLine("X-1.23456789E2", 1).Value('X'), -123'456'789);
  EXPECT_EQ(ParseGcodeLine("X.5e-6", 1).Value('X'), 1);
  EXPECT_EQ(ParseGcodeLine("X4e-7", 1).Value('X'), 0);
  EXPECT_EQ(ParseGcodeLine("X0e99999", 1).Value('X'), 0);
  for (const char* line : {"X1.5E+01", "X1.5e-05 Y2"}) {
    EXPECT_FALSE(ParseGcodeLine(line, 1).Has('E')) << line;
  }
  EXPECT_NE(RefusalOf("X1e7").find("слишком велико"), std::string::npos);
  EXPECT_NE(RefusalOf("X1e99999").find("слишком велико"), std::string::npos);
  // E is a word of its own after a blank, or without a digit after it.
  EXPECT_EQ(RefusalOf("G1 X1.5 Y1E"), "Строка 3: у слова E нет числа.");
  EXPECT_EQ(ParseGcodeLine("G1 X1.5 E2", 1).Value('E'), 2'000'000);
  EXPECT_EQ(ParseGcodeLine("G1 X1.5 E2", 1).Value('X'), 1'500'000);
}

TEST(GcodeBlock, NamesTheCauseOfARefusal) {
  // A program number of any length is no instruction.
  EXPECT_TRUE(ParseGcodeLine("O12345678 (PART)", 1).words.empty());
  EXPECT_TRUE(ParseGcodeLine("O1234567", 1).words.empty());
  EXPECT_EQ(RefusalOf("O (no number)"), "Строка 3: у слова O нет числа.");
  // The controller's control flow is named as such, not as a word without
  // a number.
  for (const char* line : {"IF[#1 GT 0]GOTO5", "GOTO 10", "WHILE [#1 LT 3] DO1", "END1"}) {
    const std::string refusal = RefusalOf(line);
    EXPECT_NE(refusal.find("переходы, циклы и условия"), std::string::npos) << refusal;
    EXPECT_NE(refusal.find(std::string(line).substr(0, 2)), std::string::npos) << refusal;
  }
  // A byte that is no printable text shows as an escape; UTF-8 text as it is.
  EXPECT_EQ(RefusalOf("G1 X1 \x01"), "Строка 3: непонятный символ '\\x01'.");
  EXPECT_EQ(RefusalOf("G1 \xEF\xBB"), "Строка 3: непонятный символ '\\xEF'.");
  EXPECT_EQ(RefusalOf("G1 \xC0\x80"), "Строка 3: непонятный символ '\\xC0'.");
  EXPECT_EQ(RefusalOf("G1 \xED\xA0\x80"), "Строка 3: непонятный символ '\\xED'.");
  EXPECT_EQ(RefusalOf("G1 \xD0\x96"), "Строка 3: непонятный символ 'Ж'.");
  EXPECT_EQ(RefusalOf("G1 \x7F"), "Строка 3: непонятный символ '\\x7F'.");
  EXPECT_EQ(RefusalOf("G1 \xE2\x82\xAC"), "Строка 3: непонятный символ '€'.");
}

TEST(GcodeBlock, KnowsTheTapeMark) {
  EXPECT_TRUE(ParseGcodeLine("%", 1).tapeMark);
  EXPECT_TRUE(ParseGcodeLine("  % end of tape", 1).tapeMark);
  EXPECT_FALSE(ParseGcodeLine("G0 X1", 1).tapeMark);
}

}  // namespace
}  // namespace h33
