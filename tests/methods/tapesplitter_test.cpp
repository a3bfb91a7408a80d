// The whole tape splitting procedure on files, with scripted answers.

#include "methods/tapesplitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

// Moves along one straight line and back: nothing for the correction to
// brake but the stops, so that the parts grow by little beyond the cut.
std::string LineProgram(int moves) {
  std::string program = "%\r\nN001S1000M03\r\nN002G01Z-000500F0660L01\r\n";
  int number = 3;
  for (int i = 0; i < moves; ++i) program += Sprintf("N%03dX+001000\r\n", number++);
  return program + Sprintf("N%03dX%+07d\r\nN%03dZ+000500\r\nN%03dM05\r\nN%03dM30\r\n$\r\n", number,
                           -1000 * moves, number + 1, number + 2, number + 3);
}

std::array<long, 3> ControlSums(const std::string& program) {
  std::array<long, 3> sums{};
  std::size_t from = 0;
  while (from < program.size()) {
    const std::size_t end = program.find('\n', from);
    const std::string_view line = std::string_view(program).substr(from, end - from);
    for (std::size_t axis = 0; axis < 3; ++axis)
      sums[axis] += ParseLong(ReadWord(line, "XYZ"[axis]));
    from = end == std::string::npos ? program.size() : end + 1;
  }
  return sums;
}

class Split : public testing::Test {
 protected:
  SplitOutcome Run(Dialogs& answering) {
    return TapeSplitter(dir / "p.up", {100, 1200, 50}, answering).Run();
  }
  SplitOutcome Run() { return Run(dialogs); }

  std::string Path(const char* name) const { return (dir / name).string(); }
  std::string LimitQuestion(long size) const {
    return Sprintf(
        "confirmation [Yes No]: Размер файла %s - %ld байт(а).\nЕсть ограничение на его "
        "длину?",
        Path("p.up").c_str(), size);
  }
  std::string CutQuestion(const char* name, long size, long tape) const {
    return Sprintf(
        "confirmation [Yes No]: Размер файла %s - %ld байт(а).\nРазбить его на "
        "два?\n(Размер первой части файла будет примерно %ld байт(а))",
        Path(name).c_str(), size, tape);
  }

  // The file to split, with the first two answers given: a limit, and a cut.
  void Prepare(const std::string& program, long limit) {
    source = program;
    dir.Write("p.up", program);
    dialogs.buttons = {Button::Yes, Button::Yes};
    dialogs.lengthLimits = {limit};
  }
  bool Shown(const std::string& start) const {
    return std::any_of(dialogs.shown.begin(), dialogs.shown.end(),
                       [&](const std::string& line) { return line.rfind(start, 0) == 0; });
  }
  void ExpectSourceUntouched() const {
    EXPECT_EQ(ReadBytes(dir / "p.up"), source);
    EXPECT_EQ(dir.Listing(), "p.up\n");
  }

  TempDir dir;
  ScriptedDialogs dialogs;
  std::string source;
};

TEST_F(Split, BelowTheLimitTheSplitIsFinishedAtOnce) {
  Prepare(LineProgram(3), 11600);
  dialogs.buttons = {Button::Yes};
  EXPECT_EQ(Run(), SplitOutcome::kFinished);
  const long size = static_cast<long>(source.size());
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{LimitQuestion(size), "length dialog",
                                                     "message: Разбивка закончена"}));
  ExpectSourceUntouched();
}

TEST_F(Split, AFileThatFitsExactlyIsNotCut) {
  // On tape every line end is two bytes, so the lines count the file's size.
  Prepare(LineProgram(3), 0);
  const long size = static_cast<long>(source.size());
  dialogs.lengthLimits = {size};
  dialogs.secondPartNames = {Path("q.up")};
  EXPECT_EQ(Run(), SplitOutcome::kFinished);
  EXPECT_EQ(dialogs.shown.back(), "message: Разбивка закончена");
  ExpectSourceUntouched();
}

TEST_F(Split, DecliningAnyQuestionLeavesTheFileAlone) {
  Prepare(LineProgram(12), 100);
  const long size = static_cast<long>(source.size());
  dialogs.buttons = {Button::No};
  EXPECT_EQ(Run(), SplitOutcome::kFinished);
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{LimitQuestion(size)});

  dialogs = ScriptedDialogs();
  dialogs.buttons = {Button::Yes};
  dialogs.lengthLimits = {std::nullopt};
  EXPECT_EQ(Run(), SplitOutcome::kFinished);
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{LimitQuestion(size), "length dialog"}));

  // The name dialog closed without OK asks the cut question again.
  dialogs = ScriptedDialogs();
  dialogs.buttons = {Button::Yes, Button::Yes, Button::No};
  dialogs.lengthLimits = {100};
  dialogs.secondPartNames = {std::nullopt};
  EXPECT_EQ(Run(), SplitOutcome::kFinished);
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{LimitQuestion(size), "length dialog",
                                                     CutQuestion("p.up", size, 300), "name dialog",
                                                     CutQuestion("p.up", size, 300)}));
  ExpectSourceUntouched();
}

TEST_F(Split, TheFileItselfIsRefusedUnderAnyName) {
  Prepare(LineProgram(12), 100);
  fs::create_directories(dir / "sub");
#ifdef _WIN32
  fs::create_hard_link(dir / "p.up", dir / "link.up");  // no symbolic links here
#else
  fs::create_symlink(dir / "p.up", dir / "link.up");
#endif
  const std::vector<std::string> names = {Path("p.up"), (dir / "sub" / ".." / "p.up").string(),
                                          Path("link.up")};
  dialogs.buttons = {Button::Yes, Button::Yes, Button::Yes, Button::Yes, Button::No};
  for (const std::string& name : names) dialogs.secondPartNames.push_back(name);
  EXPECT_EQ(Run(), SplitOutcome::kNameRefused);
  const std::string refusal = "message: Нельзя затирать файл " + Path("p.up");
  EXPECT_EQ(std::count(dialogs.shown.begin(), dialogs.shown.end(), refusal), 3);
  EXPECT_EQ(dialogs.shown.back(), CutQuestion("p.up", static_cast<long>(source.size()), 300));
  EXPECT_EQ(ReadBytes(dir / "p.up"), source);
  EXPECT_EQ(dir.Listing(), "link.up\np.up\nsub\n");
}

// Each tape cut before holds a piece of the program: a later part may not
// take its name either.
TEST_F(Split, AnEarlierTapeIsRefusedAsALaterPart) {
  Prepare(LineProgram(150), 600);
  dialogs.buttons = {Button::Yes, Button::Yes, Button::Yes, Button::No};
  dialogs.secondPartNames = {Path("q.up"), Path("p.up")};
  EXPECT_EQ(Run(), SplitOutcome::kNameRefused);
  EXPECT_TRUE(Shown("message: Нельзя затирать файл " + Path("p.up")));
  const std::string first = ReadBytes(dir / "p.up");
  EXPECT_EQ(first.substr(first.size() - 3), "$\r\n");
  EXPECT_LE(first.size(), 800u);
  EXPECT_EQ(dir.Listing(), "p.up\nq.up\n");
}

TEST_F(Split, EachRemainderIsOfferedUnderItsOwnNameUntilItFits) {
  Prepare(LineProgram(150), 600);
  const std::vector<std::string> parts = {"p.up", "q.up", "r.up", "s.up", "t.up", "u.up", "v.up"};
  dialogs.buttons.assign(parts.size() + 1, Button::Yes);
  for (std::size_t i = 1; i < parts.size(); ++i)
    dialogs.secondPartNames.push_back(Path(parts[i].c_str()));
  EXPECT_EQ(Run(), SplitOutcome::kFinished);
  EXPECT_EQ(dialogs.shown.back(), "message: Разбивка закончена");
  std::string listing;
  std::array<long, 3> sums{};
  for (std::size_t i = 0; i < parts.size() && fs::exists(dir / parts[i]); ++i) {
    listing += parts[i] + "\n";
    const std::string program = ReadBytes(dir / parts[i]);
    // Each part is a program of its own, and all but the last fit the tape.
    EXPECT_EQ(program.rfind("%\r\nN001S1000M03\r\n", 0), 0u) << parts[i];
    EXPECT_EQ(program.substr(program.size() - 3), "$\r\n") << parts[i];
    if (i + 1 < parts.size() && fs::exists(dir / parts[i + 1])) {
      EXPECT_LE(program.size(), 800u) << parts[i];
    }
    const std::array<long, 3> partSums = ControlSums(program);
    for (std::size_t axis = 0; axis < 3; ++axis) sums[axis] += partSums[axis];
  }
  EXPECT_EQ(dir.Listing(), listing);
  EXPECT_EQ(listing, "p.up\nq.up\nr.up\ns.up\nt.up\n");
  // The return and approach moves cancel: the parts together move as the program does.
  EXPECT_EQ(sums, ControlSums(source));
  // Each remainder is asked about under its own name.
  EXPECT_TRUE(Shown("confirmation [Yes No]: Размер файла " + Path("q.up") + " - "));
  EXPECT_TRUE(Shown("confirmation [Yes No]: Размер файла " + Path("r.up") + " - "));
}

// A remainder restates the switch-ons and approaches the cut: on a tape too
// short for that, cutting it again gives no shorter remainder, and the cuts
// would never end. The program itself may grow into its first remainder.
TEST_F(Split, ACutThatLeavesNoShorterRemainderIsRefused) {
  Prepare(LineProgram(3), 60);
  dialogs.buttons = {Button::Yes, Button::Yes, Button::Yes};
  dialogs.secondPartNames = {Path("q.up"), Path("r.up")};
  EXPECT_EQ(Run(), SplitOutcome::kStopped);
  ASSERT_FALSE(dialogs.shown.empty());
  const std::string& refusal = dialogs.shown.back();
  EXPECT_EQ(refusal.rfind("error [OK]: Разбивка файла " + Path("q.up") +
                              " прервана: при таком размере ленты остаток (",
                          0),
            0u)
      << refusal;
  // The remainder is as it was; the first tape, cut before, is named.
  EXPECT_NE(refusal.find("Файл не изменен.\nЛенты, уже записанные при этой разбивке: " +
                         Path("p.up") + "."),
            std::string::npos)
      << refusal;
  EXPECT_EQ(dir.Listing(), "p.up\nq.up\n");
}

// Nothing is cut when the tape cannot hold the program's start, one move and
// the closing frames; the length named as the smallest does.
TEST_F(Split, ATapeTooShortForOneMoveIsRefusedBeforeAnythingIsAskedOrWritten) {
  for (const long limit : {-200L, 0L, 41L}) {
    Prepare(LineProgram(3), limit);
    dialogs.secondPartNames = {Path("q.up")};
    EXPECT_EQ(Run(), SplitOutcome::kTapeTooShort) << limit;
    // Refused before the cut and its name are asked for: the limit's
    // question and dialog, then the refusal.
    EXPECT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.secondPartNames.size(), 1u);
    EXPECT_EQ(dialogs.shown.back(),
              Sprintf("error [OK]: Разбивка файла %s невозможна: на ленту в %ld байт(а) не "
                      "помещается ни один кадр перемещения вместе с началом программы и "
                      "завершающими кадрами. Наименьший размер ленты для этого файла - 242 "
                      "байт(а).\nФайл не изменен.",
                      Path("p.up").c_str(), limit + 200));
    ExpectSourceUntouched();
    dialogs.shown.clear();
  }
  Prepare(LineProgram(3), 42);
  dialogs.buttons = {Button::Yes, Button::Yes, Button::No};
  dialogs.secondPartNames = {Path("q.up")};
  EXPECT_EQ(Run(), SplitOutcome::kFinished);  // the remainder fits a tape as well
  EXPECT_LE(fs::file_size(dir / "p.up"), 242u);
  EXPECT_LE(fs::file_size(dir / "q.up"), 242u);
}

// Every move reverses the one before: the correction adds a junction frame
// to each, so a tape cut where the lines reach the limit comes out longer
// than the tape. The cut is made earlier instead.
TEST_F(Split, EveryTapeFitsTheTapeLengthAfterItsCorrection) {
  std::string program = "%\r\nN001S500M03\r\n";
  for (int move = 2; move < 300; ++move) {
    program += Sprintf("N%03dG01X%c001000Y+000200F0660\r\n", move % 1000, move % 2 ? '+' : '-');
  }
  Prepare(program + "N999M05\r\nN999M30\r\n", 1800);
  dialogs.buttons.assign(20, Button::Yes);
  dialogs.secondPartNames = {Path("q.up"), Path("r.up"), Path("s.up"), Path("t.up"),
                             Path("u.up"), Path("v.up"), Path("w.up")};
  EXPECT_EQ(Run(), SplitOutcome::kFinished);
  for (const char* tape : {"p.up", "q.up", "r.up", "s.up"}) {
    EXPECT_LE(fs::file_size(dir / tape), 2000u) << tape;
  }
}

TEST_F(Split, AProgramWithoutMovesIsNotCut) {
  std::string program = "%\r\n";
  for (int i = 1; i <= 30; ++i) program += Sprintf("N%03dM08\r\n", i);
  Prepare(program + "$\r\n", 100);
  dialogs.secondPartNames = {Path("q.up")};
  EXPECT_EQ(Run(), SplitOutcome::kTapeTooShort);
  EXPECT_EQ(dialogs.shown.back(), "error [OK]: Разбивка файла " + Path("p.up") +
                                      " невозможна: в нем нет ни одного кадра перемещения.\nФайл "
                                      "не изменен.");
  ExpectSourceUntouched();
}

TEST_F(Split, TheRemainderIsLeftWhenNoNameIsGivenForIt) {
  Prepare(LineProgram(150), 600);
  dialogs.buttons = {Button::Yes, Button::Yes, Button::No};
  dialogs.secondPartNames = {Path("q.up")};
  EXPECT_EQ(Run(), SplitOutcome::kDeclined);
  const long remainder = static_cast<long>(fs::file_size(dir / "q.up"));
  EXPECT_EQ(dialogs.shown.back(), CutQuestion("q.up", remainder, 800));
  EXPECT_EQ(dir.Listing(), "p.up\nq.up\n");
  EXPECT_LE(fs::file_size(dir / "p.up"), 800u);
}

// Every failure leaves the file being split as it was and nothing beside it.
constexpr const char* kArcBeforeTheCut =
    "%\r\nN001M03\r\nN002X+001000F0660\r\nN003G02X+000500Y-000500I+000000J-000500\r\n"
    "N004X+001000\r\nN005X+001000\r\nN006M05\r\n";
constexpr long kArcOnTheFirstTape = 72;
constexpr const char* kArcAfterTheCut =
    "%\r\nN001X+001000F0660\r\nN002X+001000\r\nN003X+001000\r\n"
    "N004G02X+000500Y-000500I+000000J-000500\r\nN005M05\r\n";

TEST_F(Split, APartThatCannotBrakeStopsTheSplit) {
  Prepare(kArcBeforeTheCut, kArcOnTheFirstTape);
  dialogs.secondPartNames = {Path("q.up")};
  EXPECT_EQ(Run(), SplitOutcome::kBrakingFailed);
  EXPECT_EQ(dialogs.shown.back(), "error [OK]: Разбивка файла " + Path("p.up") +
                                      " прервана: не удалось скорректировать первую часть.\n"
                                      "Файл не изменен.");
  ExpectSourceUntouched();

  dialogs = ScriptedDialogs();
  Prepare(kArcAfterTheCut, 50);
  dir.Write("q.up", "old");
  dialogs.secondPartNames = {Path("q.up")};
  EXPECT_EQ(Run(), SplitOutcome::kBrakingFailed);
  EXPECT_NE(dialogs.shown.back().find("не удалось скорректировать вторую часть"),
            std::string::npos);
  EXPECT_EQ(ReadBytes(dir / "p.up"), source);
  EXPECT_EQ(ReadBytes(dir / "q.up"), "old");
  EXPECT_EQ(dir.Listing(), "p.up\nq.up\n");
}

TEST_F(Split, ASecondPartThatCannotBeWrittenStopsTheSplit) {
  Prepare(LineProgram(12), 100);
  dialogs.secondPartNames = {Path("no/such/q.up")};
  EXPECT_EQ(Run(), SplitOutcome::kFailed);
  EXPECT_EQ(
      dialogs.shown.back().rfind("error [OK]: Разбивка файла " + Path("p.up") +
                                     " прервана: не удается создать файл " + Path("no/such/q.up"),
                                 0),
      0u);
  ExpectSourceUntouched();

  // A directory under the name is only found when the part is moved there.
  dialogs = ScriptedDialogs();
  Prepare(LineProgram(12), 100);
  fs::create_directories(dir / "q.up");
  dialogs.buttons.push_back(Button::Yes);  // it exists: overwrite
  dialogs.secondPartNames = {Path("q.up")};
  EXPECT_EQ(Run(), SplitOutcome::kFailed);
  EXPECT_EQ(
      dialogs.shown.back().rfind("error [OK]: Разбивка файла " + Path("p.up") + " прервана: ", 0),
      0u);
  EXPECT_EQ(ReadBytes(dir / "p.up"), source);
  EXPECT_EQ(dir.Listing(), "p.up\nq.up\n");
  EXPECT_TRUE(fs::is_empty(dir / "q.up"));
}

// Answers as scripted, and runs an action when the correction of the second
// part has reported its sums, just before the parts move into place.
class InterruptingDialogs : public ScriptedDialogs {
 public:
  void Message(const std::string& text) override {
    ScriptedDialogs::Message(text);
    if (text.rfind("Контрольные суммы", 0) == 0 && ++sums_ == 2) action();
  }
  std::function<void()> action;

 private:
  int sums_ = 0;
};

TEST_F(Split, ASecondPartIsWithdrawnWhenTheFirstCannotReplaceTheFile) {
  Prepare(LineProgram(12), 100);
  InterruptingDialogs interrupting;
  interrupting.buttons = dialogs.buttons;
  interrupting.lengthLimits = dialogs.lengthLimits;
  interrupting.secondPartNames = {Path("q.up")};
  interrupting.action = [this] {
    fs::remove(dir / "p.up");
    fs::create_directories(dir / "p.up");
    dir.Write("p.up/keep", "");
  };
  EXPECT_EQ(Run(interrupting), SplitOutcome::kFailed);
  EXPECT_EQ(dir.Listing(), "p.up\n");
  EXPECT_TRUE(fs::exists(dir / "p.up" / "keep"));
}

// The second name held a file already: it holds it again.
TEST_F(Split, AnEarlierFileAtTheSecondNameIsKeptWhenTheFirstCannotReplaceTheFile) {
  Prepare(LineProgram(12), 100);
  dir.Write("q.up", "earlier q");
  InterruptingDialogs interrupting;
  interrupting.buttons = dialogs.buttons;
  interrupting.lengthLimits = dialogs.lengthLimits;
  interrupting.secondPartNames = {Path("q.up")};
  interrupting.action = [this] {
    fs::remove(dir / "p.up");
    fs::create_directories(dir / "p.up");
  };
  EXPECT_EQ(Run(interrupting), SplitOutcome::kFailed);
  EXPECT_EQ(dir.Listing(), "p.up\nq.up\n");
  EXPECT_EQ(ReadBytes(dir / "q.up"), "earlier q");
}

TEST_F(Split, AMissingFileIsReported) {
  EXPECT_EQ(Run(), SplitOutcome::kFailed);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(
      dialogs.shown[0].rfind("error [OK]: Не удается определить размер файла " + Path("p.up"), 0),
      0u);
  EXPECT_EQ(dir.Listing(), "");
}

}  // namespace
}  // namespace h33
