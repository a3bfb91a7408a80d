#include <gtest/gtest.h>

#include <string>

#include "format/words.h"

namespace h33 {
namespace {

TEST(ReadWord, ValueRunsOverDigitsBlanksSignsAndPoints) {
  EXPECT_EQ(ReadWord("N001G01X+000100\n", 'X'), "+000100");
  EXPECT_EQ(ReadWord("N001G01X+000100 Y-000200\n", 'X'), "+000100 ");
  EXPECT_EQ(ReadWord("X1.5.-+7Y", 'X'), "1.5.-+7");
  EXPECT_EQ(ReadWord("N001G01X+000100", 'X'), "+000100");  // no line end
}

TEST(ReadWord, MissingOrBareLetterIsNoWord) {
  EXPECT_TRUE(ReadWord("N001G01X+000100\n", 'F').empty());
  EXPECT_TRUE(ReadWord("N001G01X+000100F\n", 'F').empty());
  EXPECT_TRUE(ReadWord("N001G01X+000100F", 'F').empty());
  EXPECT_TRUE(ReadWord("", 'F').empty());
  EXPECT_FALSE(HasWord("N001M05\n", 'X'));
}

TEST(ReadWord, OnlyTheFirstOccurrenceCounts) {
  EXPECT_EQ(ReadWord("N1X+000001X+000002\n", 'X'), "+000001");
  // A bare first occurrence hides a real word later in the line.
  EXPECT_TRUE(ReadWord("N1FXF0660\n", 'F').empty());
  EXPECT_EQ(ReadWord("n1x5X7\n", 'X'), "7");  // letters are case-sensitive
}

TEST(ReplaceWord, ReplacesAnExistingValueKeepingWhatFollows) {
  std::string line = "N005X+000100F0660\n";
  ReplaceWord(line, 'F', "0624");
  EXPECT_EQ(line, "N005X+000100F0624\n");
  line = "N005F60X+000100\n";
  ReplaceWord(line, 'F', "0624");
  EXPECT_EQ(line, "N005F0624X+000100\n");
}

TEST(ReplaceWord, InsertsBeforeTheLWordSoItStaysLast) {
  std::string line = "N005X+000100L001\n";
  ReplaceWord(line, 'F', "0624");
  EXPECT_EQ(line, "N005X+000100F0624L001\n");
}

TEST(ReplaceWord, InsertsBeforeAngleBracketThenCarriageReturnThenLineFeed) {
  std::string line = "N005X+000100<comment>\n";
  ReplaceWord(line, 'F', "0624");
  EXPECT_EQ(line, "N005X+000100F0624<comment>\n");
  line = "N005X+000100\r\n";
  ReplaceWord(line, 'F', "0624");
  EXPECT_EQ(line, "N005X+000100F0624\r\n");
  line = "N005X+000100\n";
  ReplaceWord(line, 'F', "0624");
  EXPECT_EQ(line, "N005X+000100F0624\n");
}

TEST(ReplaceWord, AppendsWithALineEndWhenTheLineHasNone) {
  std::string line = "N005X+000100";
  ReplaceWord(line, 'F', "0624");
  EXPECT_EQ(line, "N005X+000100F0624\n");
}

TEST(ReplaceWord, BareLetterIsNotReplacedButANewWordInserted) {
  std::string line = "N005FX+000100\n";
  ReplaceWord(line, 'F', "0624");
  EXPECT_EQ(line, "N005FX+000100F0624\n");
}

TEST(StripFeedWords, RemovesEachFWithFourCharacters) {
  std::string line = "N020M05F0624\n";
  StripFeedWords(line);
  EXPECT_EQ(line, "N020M05\n");
  line = "N020F0660M05F0624L001\n";
  StripFeedWords(line);
  EXPECT_EQ(line, "N020M05L001\n");
}

TEST(StripFeedWords, NeverRemovesTheLineEndOrReadsPastTheLine) {
  std::string line = "N020M05F06\n";
  StripFeedWords(line);
  EXPECT_EQ(line, "N020M05\n");
  line = "N020M05F06\r\n";
  StripFeedWords(line);
  EXPECT_EQ(line, "N020M05\r\n");
  line = "N020M05F0";
  StripFeedWords(line);
  EXPECT_EQ(line, "N020M05");
  line = "F";
  StripFeedWords(line);
  EXPECT_EQ(line, "");
}

TEST(StripFeedWords, AnFInsideTheFourCharactersGoesWithThem) {
  std::string line = "N1FFABCDE\n";
  StripFeedWords(line);
  EXPECT_EQ(line, "N1DE\n");
}

TEST(StripFeedWords, LongLinesAreKeptWhole) {
  std::string line = "N020" + std::string(300, 'M') + "F0624\n";
  StripFeedWords(line);
  EXPECT_EQ(line, "N020" + std::string(300, 'M') + "\n");
}

TEST(FrameNumbering, H33CounterWrapsFrom999To1) {
  FrameCounter counter(kH33NumberWrap);
  long last = 0;
  for (int i = 0; i < 999; ++i) last = counter.Take();
  EXPECT_EQ(last, 999);
  EXPECT_EQ(counter.Take(), 1);  // the thousandth frame
  EXPECT_EQ(counter.Take(), 2);
}

TEST(FrameNumbering, FreeCountersWrapAtTheirLimit) {
  FrameCounter counter(30000);
  long last = 0;
  for (int i = 0; i < 29999; ++i) last = counter.Take();
  EXPECT_EQ(last, 29999);
  EXPECT_EQ(counter.Take(), 1);
}

TEST(FrameNumbering, OverwritesTheThreeCharactersAfterTheFirst) {
  std::string line = "N000F0610\n";
  WriteH33Number(line, 7);
  EXPECT_EQ(line, "N007F0610\n");
  line = "N12345X+000100\n";  // five digits keep their last two
  WriteH33Number(line, 1);
  EXPECT_EQ(line, "N00145X+000100\n");
}

TEST(FrameNumbering, ShortLinesKeepTheirLineEnd) {
  std::string line = "N5\n";
  WriteH33Number(line, 12);
  EXPECT_EQ(line, "N012\n");
  line = "N5\r\n";
  WriteH33Number(line, 12);
  EXPECT_EQ(line, "N012\r\n");
  line = "N";
  WriteH33Number(line, 12);
  EXPECT_EQ(line, "N012");
}

}  // namespace
}  // namespace h33
