#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "format/frame.h"
#include "format/words.h"

namespace h33 {
namespace {

// Lines with the reading quirks: repeated and bare letters, blanks in values,
// points, lone signs, lower case, no line end, nothing at all.
constexpr std::string_view kLines[] = {
    "N001G01X+000100Y-000200F0660\n",
    "N001G01X+000100 Y-000200\n",
    "N1X+000001X+000002\n",
    "N1FXF0660\n",
    "N1X1.5.-+7Y-Z+\n",
    "n1x5X7\r\n",
    "N012G02X+001000Y+001000I-001000J+000000F0712L001",
    "N1G18G03X+001000Z+001000I+000000K-001000\n",
    "N000F0624\n",
    "X\n",
    "",
};

bool SameBits(const FrameVector& a, const FrameVector& b) {
  return std::memcmp(&a.x, &b.x, sizeof a.x) == 0 && std::memcmp(&a.y, &b.y, sizeof a.y) == 0 &&
         std::memcmp(&a.z, &b.z, sizeof a.z) == 0 && a.present == b.present;
}

TEST(Frame, ReadsEveryWordAsReadWordDoes) {
  for (const std::string_view line : kLines) {
    const Frame frame(line);
    EXPECT_EQ(frame.Text(), line);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      const std::string_view expected = ReadWord(line, letter);
      const std::string_view word = frame.Word(letter);
      EXPECT_EQ(word, expected) << line << " " << letter;
      EXPECT_EQ(frame.Has(letter), !expected.empty()) << line << " " << letter;
      if (!word.empty()) {  // the same place in the text
        EXPECT_EQ(word.data() - frame.Text().data(), expected.data() - line.data()) << line;
      }
    }
    EXPECT_EQ(frame.FeedText(), ReadWord(line, 'F'));
    EXPECT_FALSE(frame.Has('a'));
  }
}

TEST(Frame, NumbersAreBitForBitThoseOfTheGeometryReaders) {
  for (const std::string_view line : kLines) {
    const std::string text(line);
    const Frame frame(line);
    EXPECT_TRUE(SameBits(frame.Move(), ReadCoordinates(text))) << line;
    EXPECT_TRUE(SameBits(frame.ArcOffsets(), ReadArcOffsets(text))) << line;
  }
  const FrameVector written = Frame("N1X+000300Y-000400Z+\n").WrittenMove();
  EXPECT_EQ(written.x, 300);
  EXPECT_EQ(written.y, -400);
  EXPECT_EQ(written.z, 0);
  EXPECT_TRUE(written.present);
}

TEST(Frame, ClassesOfFrame) {
  const Frame arc("N1G02X+001000I+001000\n");
  EXPECT_TRUE(arc.IsMotion());
  EXPECT_TRUE(arc.IsArc());
  const Frame line("N1G02X+001000\n");  // no I, J, K: a straight line whatever its G code
  EXPECT_TRUE(line.IsMotion());
  EXPECT_FALSE(line.IsArc());
  const Frame offsetsOnly("N1I+001000F0660\n");
  EXPECT_FALSE(offsetsOnly.IsMotion());
  EXPECT_FALSE(offsetsOnly.IsArc());
  EXPECT_TRUE(offsetsOnly.IsFeedOnly());
  EXPECT_TRUE(Frame("N000F0624\n").IsFeedOnly());
  EXPECT_FALSE(Frame("N000G40F0624\n").IsFeedOnly());
  EXPECT_FALSE(Frame("N000X\n").IsMotion());  // a bare letter is no word
}

// What the look-ahead drops whole: an F word, no X, Y, Z, M, L or G word,
// and no modal G code read as a substring.
TEST(FeedOnlyFrame, AnFWordAndNothingTheControllerActsOnBesides) {
  constexpr std::string_view kFeedOnly[] = {"N000F0624\n", "N000F0000\n", "N005F0624S100T01\n",
                                            "N005F0624X\n",  // a bare X is no motion
                                            "N005F0624G\n", "N005F0624I+000100\n", "F0624"};
  constexpr std::string_view kOthers[] = {"N005F0624M05\n", "N005F0624L001\n", "N005G40F0624\n",
                                          "N005X+000100F0624\n", "N005Z+000100F0624\n", "N005M05\n",
                                          "N005F\n", "N005FXF0624\n", "",
                                          "N005GG03F0630\n",  // no G word, yet it states G03
                                          "N005GG17F0630\n"};
  for (const std::string_view line : kFeedOnly) EXPECT_TRUE(Frame(line).IsFeedOnly()) << line;
  for (const std::string_view line : kOthers) EXPECT_FALSE(Frame(line).IsFeedOnly()) << line;
}

TEST(Frame, AssigningAgainForgetsTheOldWords) {
  Frame frame("N001G02X+000100I+000100F0660L001\n");
  frame.Assign("N001G02X+000100I+000100F0624L001\n");
  EXPECT_EQ(frame.FeedText(), "0624");
  EXPECT_EQ(frame.Word('L'), "001");
  frame.Assign("N002M05\n");
  EXPECT_FALSE(frame.Has('X'));
  EXPECT_FALSE(frame.Has('F'));
  EXPECT_FALSE(frame.IsMotion());
  EXPECT_FALSE(frame.ArcOffsets().present);
  EXPECT_EQ(frame.Word('M'), "05");
}

// An edit through the frame must leave it as a fresh reading of the text the
// word operations make: the planner edits frames and never reads them again.
void ExpectFreshReading(const Frame& edited, const std::string& text) {
  const Frame fresh(text);
  EXPECT_EQ(edited.Text(), text);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    EXPECT_EQ(edited.Word(letter), fresh.Word(letter)) << text << " " << letter;
    EXPECT_EQ(edited.HasHiddenWord(letter), fresh.HasHiddenWord(letter)) << text << " " << letter;
  }
  EXPECT_TRUE(SameBits(edited.Move(), fresh.Move())) << text;
  EXPECT_TRUE(SameBits(edited.ArcOffsets(), fresh.ArcOffsets())) << text;
}

TEST(Frame, EditsKeepTheReadingInStepWithTheText) {
  struct Edit {
    char letter;
    const char* value;
  };
  // Longer and shorter values, an empty one (the word becomes bare), a
  // missing word (inserted before L, '<' or the line end), a coordinate, the
  // arc vector's words (the arc's offsets follow them).
  constexpr Edit kEdits[] = {{'F', "0624"},    {'F', "12345678"}, {'F', ""},        {'N', "7"},
                             {'X', "-000050"}, {'S', "100"},      {'G', "03"},      {'I', "-000100"},
                             {'J', "+2"},      {'K', "-000300"}};
  for (const std::string_view line : kLines) {
    for (const Edit& edit : kEdits) {
      Frame frame(line);
      std::string text(line);
      frame.SetWord(edit.letter, edit.value);
      ReplaceWord(text, edit.letter, edit.value);
      ExpectFreshReading(frame, text);
      for (const long number : {5L, 1234L}) {
        frame.SetH33Number(number);
        WriteH33Number(text, number);
        ExpectFreshReading(frame, text);
      }
    }
  }
}

TEST(Frame, ALaterOccurrenceWithAValueIsAHiddenWord) {
  EXPECT_TRUE(Frame("N1F0660X1F0700\n").HasHiddenWord('F'));
  EXPECT_TRUE(Frame("N1FX1F0700\n").HasHiddenWord('F'));  // behind a bare F
  EXPECT_FALSE(Frame("N1F0660X1F\n").HasHiddenWord('F'));
  EXPECT_FALSE(Frame("N1F0660\n").HasHiddenWord('F'));
}

TEST(Frame, ModalCodesComeWithTheScan) {
  const Frame frame("N1GG03G18X1G00\n");
  EXPECT_TRUE(frame.Codes().States(3));
  EXPECT_TRUE(frame.Codes().States(18));
  EXPECT_TRUE(frame.Codes().States(0));
  EXPECT_FALSE(frame.Codes().States(1));
  EXPECT_FALSE(Frame("N1G2X1\n").Codes().Any());
}

}  // namespace
}  // namespace h33
