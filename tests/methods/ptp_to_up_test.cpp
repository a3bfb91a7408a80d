#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "app/machines.h"
#include "format/feedcode.h"
#include "format/textformat.h"
#include "format/words.h"
#include "ptp_testing.h"
#include "tempdir.h"

namespace h33 {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t end = text.find('\n', from);
    lines.push_back(text.substr(from, end == std::string::npos ? end : end - from));
    if (end == std::string::npos) break;
    from = end + 1;
  }
  return lines;
}

std::string Repeat(std::string_view line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

RunParameters Direct() {
  RunParameters parameters = TestMachine();
  parameters.brakes = false;
  return parameters;
}

TEST(Numbering, H33NumbersRunTo999ThenStartAgainOnBothPaths) {
  for (const RunParameters& parameters : {TestMachine(), Direct()}) {
    const std::vector<std::string> lines =
        Lines(Convert(Repeat("N5M08\n", 1000), parameters).output);
    ASSERT_EQ(lines.size(), 1000u);
    EXPECT_EQ(lines[0], "N001M08");
    EXPECT_EQ(lines[998], "N999M08");
    EXPECT_EQ(lines[999], "N001M08");
  }
}

TEST(Numbering, FreeNumbersWrapAt30000BufferedAnd100000Direct) {
  RunParameters buffered = TestMachine();
  buffered.freeNumbering = true;
  std::vector<std::string> lines = Lines(Convert(Repeat("N5M08\n", 30000), buffered).output);
  EXPECT_EQ(lines[0], "N00001M08");
  EXPECT_EQ(lines[29998], "N29999M08");
  EXPECT_EQ(lines[29999], "N00001M08");
  RunParameters direct = Direct();
  direct.freeNumbering = true;
  lines = Lines(Convert(Repeat("N5M08\n", 100000), direct).output);
  EXPECT_EQ(lines[29999], "N30000M08");
  EXPECT_EQ(lines[99998], "N99999M08");
  EXPECT_EQ(lines[99999], "N00001M08");
}

TEST(Numbering, LinesWithoutAnNWordTakeNoNumber) {
  EXPECT_EQ(Convert("%\nN9M08\n(X)\nN9M09\n").output, "%\nN001M08\n(X)\nN002M09\n");
}

TEST(EndMark, EndWithoutALineEndClosesOnlyTheBufferedConversion) {
  EXPECT_EQ(Convert("%\nN1X10000F500\nEND").output, "%\nN001X10000F0650\nN002F0000\n");
  EXPECT_EQ(Convert("%\nN1X10000F500\nEND", Direct()).output, "%\nN001X10000F0650\nEND");
  // With its line end it is an ordinary frame without motion.
  EXPECT_EQ(Convert("%\nN1X10000F500\nEND\n").output, "%\nN001X10000F0650\nN002F0000\nEND\n");
}

TEST(EmptyInput, GivesAnEmptyProgramWithZeroSums) {
  const Converted converted = Convert("");
  EXPECT_EQ(converted.status, ConversionStatus::kConverted);
  EXPECT_EQ(converted.output, "");
  EXPECT_EQ(converted.sums.X(), 0);
  EXPECT_EQ(Convert("", Direct()).output, "");
}

TEST(DirectPass, OnlyClampsAndCodesFeedsAndAddsNothing) {
  RunParameters direct = Direct();
  direct.machine.feedMax_mm_min = 1200;
  const Converted converted =
      Convert("%\nN1X1000F1500\nN2Y1000F500\nN3F300\nN4G02X1000Y-1000I0J1000\nN5M05\n", direct);
  EXPECT_EQ(converted.output,
            "%\nN001X1000F0712\nN002Y1000F0650\nN003F0630\nN004G02X1000Y-1000I0J1000\nN005M05\n");
  EXPECT_DOUBLE_EQ(converted.sums.X(), 20);
  EXPECT_DOUBLE_EQ(converted.sums.Y(), 0);
}

TEST(ControlSums, AddEveryTranslatedIncrement) {
  const Converted converted = Convert("%\nN1X1050Y-200Z5F500\nN2X-50Y-300\n");
  EXPECT_DOUBLE_EQ(converted.sums.X(), 10);
  EXPECT_DOUBLE_EQ(converted.sums.Y(), -5);
  EXPECT_DOUBLE_EQ(converted.sums.Z(), 0.05);
}

TEST(LongFrames, AreKeptWholeWhateverTheirLength) {
  const std::string comment(150, 'A');
  const std::string frame = "N1X10000" + comment + "\n";  // the F word goes in before the line end
  const std::vector<std::string> lines = Lines(Convert("%\nN1X10000F500\n" + frame).output);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "N002X10000" + comment);
}

TEST(LongLines, ALineLongerThanTheLimitIsRefusedWithItsNumber) {
  const std::string tooLong = "N2X10000F500" + std::string(186, 'c') + "\n";  // 199 characters
  for (const RunParameters& parameters : {TestMachine(), Direct()}) {
    const Converted converted = Convert("%\nN1X10000F500\n" + tooLong, parameters);
    EXPECT_EQ(converted.status, ConversionStatus::kBadInput);
    ASSERT_FALSE(converted.shown.empty());
    EXPECT_NE(converted.shown.back().find("Строка 3 длиннее 198 символов"), std::string::npos)
        << converted.shown.back();
  }
}

// Renumbering lengthens "N1" to "N001": a line of the limit so lengthened
// would come back in pieces, and is refused rather than written.
TEST(LongLines, ALineOfExactlyTheLimitIsConvertedWholeAndNeverWrittenLonger) {
  const std::string line = "N001M08" + std::string(190, 'c') + "\n";  // 198 characters
  const std::string lengthened = "N1M08" + std::string(192, 'c') + "\n";
  for (const RunParameters& parameters : {TestMachine(), Direct()}) {
    EXPECT_EQ(Convert("%\n" + line + "N2M09\n", parameters).output, "%\n" + line + "N002M09\n");
    const Converted refused = Convert("%\n" + lengthened + "N2M09\n", parameters);
    EXPECT_EQ(refused.status, ConversionStatus::kBadInput);
    EXPECT_EQ(refused.output.find(std::string(192, 'c')), std::string::npos) << refused.output;
  }
}

TEST(BadInput, OddTextIsCarriedThroughWithoutHarm) {
  // Decimal points read as numbers; an X inside a comment followed by ")" is no word.
  EXPECT_EQ(Convert("%\nN1X1000.5F500.5\nN2M08(MAX)X100\n").output,
            "%\nN001X1000.5F0650\nN002F0000\nN003M08(MAX)X100\n");
}

TEST(BadInput, AFeedHiddenBehindAStrayFIsNeverWrittenUncoded) {
  for (const RunParameters& parameters : {TestMachine(), Direct()}) {
    const Converted converted = Convert("%\nN1X1000F500\nN2(F)X1000F300\n", parameters);
    EXPECT_EQ(converted.status, ConversionStatus::kBadInput);
    EXPECT_EQ(converted.shown, std::vector<std::string>{
                                   "error [OK]: Кадр\nN2(F)X1000F300\n\nсодержит подачу, которая "
                                   "не записана кодом H33.\nПреобразование прервано."});
  }
  EXPECT_EQ(Convert("%\nN1X1000F500\nN3X-F\n").status, ConversionStatus::kBadInput);
}

// Only the first F word is coded and limited: a second one would reach the
// controller as it stands, F0715 as 1500 mm/min on a machine for 1000.
TEST(BadInput, ASecondFeedWordIsNeverWrittenUncoded) {
  RunParameters parameters = PresetParameters(3);
  for (const bool brakes : {true, false}) {
    parameters.brakes = brakes;
    for (const char* frame : {"N2X1000F0F0715\n", "N2X1000F500Y10F0715\n", "N2X1000F-G01F0712\n"}) {
      const Converted converted = Convert(std::string("%\nN1X1000F500\n") + frame, parameters);
      EXPECT_EQ(converted.status, ConversionStatus::kBadInput) << frame;
      ASSERT_EQ(converted.shown.size(), 1u);
      EXPECT_TRUE(converted.shown[0].starts_with("error [OK]: Кадр\nN2X1000F")) << converted.shown[0];
    }
  }
}

// A feed below zero has no code: written as F0000 it would stop the machine
// on a motion frame, and every frame after it would run at that zero feed.
TEST(BadInput, ANegativeFeedIsRefused) {
  for (const RunParameters& parameters : {TestMachine(), Direct()}) {
    const Converted converted =
        Convert("%\nN1X1000F500\nN2X1000\nN3X-1000F-20\nN4Y1000\n", parameters);
    EXPECT_EQ(converted.status, ConversionStatus::kBadInput);
    EXPECT_EQ(converted.shown, std::vector<std::string>{
                                   "error [OK]: Кадр\nN3X-1000F-20\n\nсодержит отрицательную "
                                   "подачу.\nПреобразование прервано."});
  }
}

// Read as far as it looks like a number, "1e5" was coded from its first
// digit with the rest left behind (F0410e5); a feed below 1 was coded as a stop.
TEST(BadInput, AFeedThatIsNoPlainNumberOrBelowOneIsRefusedWithItsLine) {
  const std::pair<const char*, const char*> refused[] = {
      {"1e5", "F1e5 не является числом"},     {"12abc", "F12abc не является числом"},
      {"1.5.2", "F1.5.2 не является числом"}, {"100,5", "F100,5 не является числом"},
      {"0x10", "F0x10 не является числом"},  {"+-5", "F+-5 не является числом"},
      {"5 00", "F5 00 не является числом"},   {"0.5", "F0.5 меньше 1 мм/мин"},
      {".5", "F.5 меньше 1 мм/мин"},          {"-0.5", "F-0.5 меньше 1 мм/мин"},
  };
  for (const RunParameters& parameters : {TestMachine(), Direct()}) {
    for (const auto& [feed, says] : refused) {
      const Converted converted =
          Convert(Sprintf("%%\nN1X1000F500\nN2X1000F%s\nN3Y1000\n", feed), parameters);
      EXPECT_EQ(converted.status, ConversionStatus::kBadInput) << feed;
      EXPECT_EQ(converted.shown, std::vector<std::string>{Sprintf(
                                     "error [OK]: Строка 3: подача %s.\nПреобразование прервано.",
                                     says)});
    }
  }
  // A text without a digit reads as 0, as before.
  for (const char* feed : {"500.5", " 500 ", "+500", "0", "0.0", "1", "-", "."}) {
    EXPECT_EQ(Convert(Sprintf("%%\nN1X1000F%s\nN2M30\n", feed), Direct()).status,
              ConversionStatus::kConverted)
        << feed;
  }
}

TEST(BadInput, CrLfReadsAsLf) {
  const std::string program = "%\nN1X1000F500\nN2Y1000\nN3M05\n";
  std::string crlf;
  for (const char c : program) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(Convert(crlf).output, Convert(program).output);
}

TEST(BadInput, GarbageBytesNeverCrash) {
  std::mt19937 random(7);
  const std::string alphabet = "NGXYZIJKFMSLT0123456789+-. ()%\n\r\t\x01\xff";
  for (int round = 0; round < 300; ++round) {
    std::string bytes;
    const int size = static_cast<int>(random() % 3000);
    for (int i = 0; i < size; ++i) {
      bytes +=
          round % 3 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
    }
    for (const RunParameters& parameters : {TestMachine(), Direct()}) {
      const Converted converted = Convert(bytes, parameters);
      if (converted.status != ConversionStatus::kConverted) {
        EXPECT_EQ(converted.shown.size(), 1u);
      }
    }
  }
}

TEST(Parameters, FeedMaxThatCannotBeCodedIsRefusedBeforeWriting) {
  RunParameters parameters = TestMachine();
  parameters.machine.feedMax_mm_min = 10000;
  const Converted converted = Convert("%\nN1X10000F500\n", parameters);
  EXPECT_EQ(converted.status, ConversionStatus::kRefused);
  EXPECT_EQ(converted.output, "");
  ASSERT_EQ(converted.shown.size(), 1u);
  EXPECT_EQ(converted.shown[0],
            "error [OK]: Максимальная подача 10000 мм/мин не может быть записана кодом подачи H33: "
            "допустимо от 1 до 9999 мм/мин.\nПреобразование не выполнено.");
  parameters = TestMachine();
  parameters.machine.speedLimit_mm_min = 2000000000;  // twice that would not fit an int
  EXPECT_EQ(Convert("%\n", parameters).status, ConversionStatus::kRefused);
  parameters = TestMachine();
  parameters.machine.acceleration_mm_s2 = 0;
  EXPECT_EQ(Convert("%\n", parameters).status, ConversionStatus::kRefused);
}

TEST(Parameters, FieldsReadTheLeadingSignedDigits) {
  EXPECT_EQ(ReadParameterField("007"), 7);
  EXPECT_EQ(ReadParameterField("  -12мм"), -12);
  EXPECT_EQ(ReadParameterField("+5"), 5);
  EXPECT_EQ(ReadParameterField("мм"), 0);
  EXPECT_EQ(ReadParameterField(""), 0);
}

class FailingSource : public ByteSource {
 public:
  std::size_t Read(char* buffer, std::size_t size) override {
    if (served_) throw IoError("ошибка чтения");
    served_ = true;
    const std::string_view start = "%\nN1X10000F500\nN2";
    const std::size_t count = std::min(size, start.size());
    start.copy(buffer, count);
    return count;
  }

 private:
  bool served_ = false;
};

TEST(Failures, ReadErrorsReachTheCaller) {
  FailingSource input;
  MemorySink output;
  ScriptedDialogs dialogs;
  EXPECT_THROW(ConvertPtp(TestMachine(), input, output, dialogs), IoError);
}

class PtpToUpFiles : public testing::Test {
 protected:
  PtpToUpFiles() { dialogs.buttons = {Button::No}; }  // no tape size limit

  ConversionStatus Run(const std::string& input, const std::string& output,
                       const RunParameters& parameters = TestMachine()) {
    return PtpToUp(parameters, dir / input, dir / output, dialogs);
  }

  TempDir dir;
  ScriptedDialogs dialogs;
};

TEST_F(PtpToUpFiles, ReportsSumsAndTimeOfTheWrittenProgram) {
  dir.Write("in.ptp", "%\nN1X10000F600\n");
  EXPECT_EQ(Run("in.ptp", "out.up"), ConversionStatus::kConverted);
  EXPECT_EQ(ReadBytes(dir / "out.up"), "%\r\nN001X10000F0660\r\nN002F0000\r\n");
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0],
            "confirmation [OK]: Создан файл " + (dir / "out.up").string() +
                " \nКонтрольные суммы:\n\tSUMX =    100.00 mm\n\tSUMY =      0.00 mm\n\tSUMZ =  "
                "    0.00 mm\n\nВремя выполнения ->\n         12 секунд = 0.20 минут");
  EXPECT_EQ(dir.Listing(), "in.ptp\nout.up\n");
}

TEST_F(PtpToUpFiles, TheNewProgramIsOfferedForSplitting) {
  dir.Write("in.ptp", "%\nN1X10000F600\nN2X10000\nN3X10000\n");
  dialogs.buttons = {Button::Yes, Button::Yes, Button::No};
  dialogs.lengthLimits = {45};
  dialogs.secondPartNames = {(dir / "b.up").string()};
  EXPECT_EQ(Run("in.ptp", "out.up"), ConversionStatus::kConverted);
  EXPECT_EQ(dialogs.shown[1], "confirmation [Yes No]: Размер файла " + (dir / "out.up").string() +
                                  " - 55 байт(а).\nЕсть ограничение на его длину?");
  EXPECT_EQ(dialogs.shown.back(), "message: Разбивка закончена");
  EXPECT_EQ(dir.Listing(), "b.up\nin.ptp\nout.up\n");
}

TEST_F(PtpToUpFiles, AFailedSplitLeavesTheNewProgramWhole) {
  dir.Write("in.ptp", "%\nN1X10000F600\nN2X10000\nN3X10000\n");
  dialogs.buttons = {Button::Yes, Button::Yes};
  dialogs.lengthLimits = {20};
  dialogs.secondPartNames = {(dir / "no" / "b.up").string()};
  EXPECT_EQ(Run("in.ptp", "out.up"), ConversionStatus::kSplitFailed);
  EXPECT_EQ(ReadBytes(dir / "out.up"), "%\r\nN001X10000F0660\r\nN002X10000\r\nN003X10000\r\nN004F0000\r\n");
  EXPECT_EQ(dir.Listing(), "in.ptp\nout.up\n");
}

TEST_F(PtpToUpFiles, EmptyInputGivesAnEmptyProgram) {
  dir.Write("in.ptp", "");
  EXPECT_EQ(Run("in.ptp", "out.up"), ConversionStatus::kConverted);
  EXPECT_EQ(ReadBytes(dir / "out.up"), "");
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_NE(dialogs.shown[0].find("SUMX =      0.00 mm"), std::string::npos);
  EXPECT_NE(dialogs.shown[0].find(" 0 секунд = 0.00 минут"), std::string::npos);
}

TEST_F(PtpToUpFiles, HoursAppearFromAnHourOn) {
  EXPECT_EQ(
      ConversionMessage("p.up", {}, 4000).substr(ConversionMessage("p.up", {}, 4000).rfind('=')),
      "= [ 1 ч 6.7 мин ]");
}

TEST_F(PtpToUpFiles, BrakingFailureStopsWithoutResultAndKeepsTheOldProgram) {
  // A short circle before the end of the program would have to stop dead.
  dir.Write("in.ptp", "%\nN1X10000F500\nN2G02X1000Y-1000I0J1000\n");
  dir.Write("out.up", "old");
  EXPECT_EQ(Run("in.ptp", "out.up"), ConversionStatus::kBrakingFailed);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].rfind("captioned <kalvert>: В кадре c круговой", 0), 0u);
  EXPECT_EQ(ReadBytes(dir / "out.up"), "old");
  EXPECT_EQ(dir.Listing(), "in.ptp\nout.up\n");
}

TEST_F(PtpToUpFiles, RefusalsComeBeforeAnythingIsWritten) {
  dir.Write("in.ptp", "%\nN1X10000F500\n");
  RunParameters uncodable = TestMachine();
  uncodable.machine.feedMax_mm_min = 12000;
  EXPECT_EQ(Run("in.ptp", "out.up", uncodable), ConversionStatus::kRefused);
  EXPECT_EQ(Run("in.ptp", "./in.ptp"), ConversionStatus::kRefused);
  EXPECT_EQ(dialogs.shown.back(),
            "error [Yes]: Имя исходного файла УП ->\n " + (dir / "in.ptp").string() +
                " \n совпадает с  вновь формируемым\n Преобразование прервано..");
  EXPECT_EQ(ReadBytes(dir / "in.ptp"), "%\nN1X10000F500\n");
  EXPECT_EQ(dir.Listing(), "in.ptp\n");
}

TEST_F(PtpToUpFiles, UnreadableInputAndUncreatableOutputAreReported) {
  EXPECT_EQ(Run("missing.ptp", "out.up"), ConversionStatus::kInputUnreadable);
  EXPECT_EQ(Run(".", "out.up"), ConversionStatus::kInputUnreadable);
  dir.Write("in.ptp", "%\n");
  EXPECT_EQ(Run("in.ptp", "no/such/dir/out.up"), ConversionStatus::kOutputUncreatable);
  // Each names the file and the system's reason.
  const std::string cannotOpen =
      "captioned <Ошибка в программе>: Не могу открыть ptp-файл -> kalvert::PtpToUp\n";
  EXPECT_EQ(dialogs.shown,
            (std::vector<std::string>{
                cannotOpen + (dir / "missing.ptp").string() + ": No such file or directory",
                cannotOpen + (dir / ".").string() + ": это каталог, а не файл",
                "captioned <Ошибка в программе>: Не могу создать up-файл -> kalvert::PtpToUp\nне "
                "удается создать файл " +
                    (dir / "no/such/dir/out.up").string() + ": No such file or directory"}));
  EXPECT_EQ(dir.Listing(), "in.ptp\n");
}

TEST_F(PtpToUpFiles, AnOutputNameTakenByADirectoryIsRefused) {
  dir.Write("in.ptp", "%\nN1X10000F500\n");
  std::filesystem::create_directories(dir / "out.up" / "keep");
  EXPECT_EQ(Run("in.ptp", "out.up"), ConversionStatus::kOutputUncreatable);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0],
            "captioned <Ошибка в программе>: Не могу создать up-файл -> kalvert::PtpToUp\nне "
            "удается записать файл " +
                (dir / "out.up").string() + ": это каталог, а не файл");
  EXPECT_EQ(dir.Listing(), "in.ptp\nout.up\n");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "out.up" / "keep"));
}

}  // namespace
}  // namespace h33
