#include <gtest/gtest.h>

#include "app/splitchecks.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {
namespace {

TEST(CheckTapeLength, WholeNumbersGiveTheSizeLess200) {
  ScriptedDialogs dialogs;
  bool clear = true;
  EXPECT_EQ(CheckTapeLength("11800", dialogs, clear), 11600);
  EXPECT_FALSE(clear);
  EXPECT_EQ(CheckTapeLength("200", dialogs, clear), 0);
  EXPECT_EQ(CheckTapeLength("150", dialogs, clear), -50);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST(CheckTapeLength, EmptyFieldAsksForAValueAndKeepsTheText) {
  ScriptedDialogs dialogs;
  bool clear = true;
  EXPECT_FALSE(CheckTapeLength("", dialogs, clear));
  EXPECT_FALSE(clear);
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"message: Введите значение"});
}

TEST(CheckTapeLength, AnyCharacterButADigitEmptiesTheField) {
  for (const char* text : {"11 800", "-5", "+5", "1.5", "12abc", " 1"}) {
    ScriptedDialogs dialogs;
    bool clear = false;
    EXPECT_FALSE(CheckTapeLength(text, dialogs, clear)) << text;
    EXPECT_TRUE(clear) << text;
    EXPECT_EQ(dialogs.shown, std::vector<std::string>{"message: Введен неверный символ"});
  }
}

TEST(CheckTapeLength, HugeNumbersDoNotOverflow) {
  ScriptedDialogs dialogs;
  bool clear = false;
  EXPECT_GT(*CheckTapeLength(std::string(40, '9'), dialogs, clear), 0);
}

TEST(CheckSecondPartName, EmptyNameIsRefused) {
  ScriptedDialogs dialogs;
  EXPECT_FALSE(CheckSecondPartName("", dialogs));
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"message: Не задано имя файла"});
}

TEST(CheckSecondPartName, NewNameClosesAtOnce) {
  TempDir dir;
  ScriptedDialogs dialogs;
  EXPECT_TRUE(CheckSecondPartName((dir / "part2.up").string(), dialogs));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST(CheckSecondPartName, ExistingNameNeedsConsentToOverwrite) {
  TempDir dir;
  const std::string name = dir.Write("part2.up", "x").string();
  ScriptedDialogs dialogs;
  dialogs.buttons = {Button::No, Button::Yes};
  EXPECT_FALSE(CheckSecondPartName(name, dialogs));
  EXPECT_TRUE(CheckSecondPartName(name, dialogs));
  EXPECT_EQ(dialogs.shown,
            (std::vector<std::string>{
                "confirmation [Yes No]: Файл с таким именем уже существует\nПереписать его?",
                "message: Введите другое имя",
                "confirmation [Yes No]: Файл с таким именем уже существует\nПереписать его?"}));
}

}  // namespace
}  // namespace h33
