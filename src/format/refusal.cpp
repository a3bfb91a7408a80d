#include "format/refusal.h"

#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {
namespace {

// Notepad saves in Unicode when asked to or when the text has letters the
// ANSI code page lacks; its "Save as" sets the encoding back.
constexpr const char* kNulByte =
    "Строка %ld содержит нулевой байт: файл не является простым текстом (возможно, он сохранён "
    "в Юникоде, UTF-16). Сохраните файл в кодировке ANSI (ASCII): в Блокноте - Сохранить как, "
    "кодировка ANSI.";
constexpr const char* kByteOrderMark =
    "Строка 1 начинается с метки порядка байтов %s: файл сохранён в Юникоде, а не простым "
    "текстом. Сохраните файл в кодировке ANSI (ASCII): в Блокноте - Сохранить как, кодировка "
    "ANSI.";

// What a value that is no code should have been. The word is shown as the
// methods read it, so the typo F0O60 shows as F0: the line number finds it.
constexpr const char* kNoCode =
    "Строка %ld: слово F%s не является кодом подачи H33 (четыре цифры, первая 0 или 4, "
    "вторая от 4 до 9, например F0660).";
constexpr const char* kBelowOne = "Строка %ld: код подачи F%s задаёт подачу меньше 1 мм/мин.";
constexpr const char* kMoveAtNoCode =
    "Строка %ld: перемещение идёт со словом F%s, которое не является кодом подачи H33 (четыре "
    "цифры, первая 0 или 4, вторая от 4 до 9, например F0660).";
// The moves after the frame run at 240 mm/min only while the frame keeps
// its lead digit; the correction writes every code with the lead digit 0.
constexpr const char* kSlowFrameCode =
    "Строка %ld: код подачи F%s с первой цифрой 4: после этого кадра станок сам выполняет кадр "
    "N000F0624 (240 мм/мин), а коррекция пишет коды с первой цифрой 0. Запишите код с первой "
    "цифрой 0, а подачу 240 мм/мин (F0624) - в следующем кадре с перемещением.";
constexpr const char* kHiddenFeed =
    "Строка %ld: кадр содержит подачу, которая не записана кодом H33 (буква F без кода подачи "
    "или второе слово F).";
constexpr const char* kMoveBelowOne =
    "Строка %ld: перемещение идёт с кодом подачи F%s, который задаёт подачу меньше 1 мм/мин.";

// A NUL byte: no program text has one, a file saved as UTF-16 has one in
// every other byte.
ProgramRefusal NulByte(long lineNumber) { return ProgramRefusal(Sprintf(kNulByte, lineNumber)); }

// A byte-order mark of UTF-8 or UTF-16 at the start: the file was saved in
// Unicode, not as the plain text a program is.
void RefuseByteOrderMark(std::string_view firstLine) {
  const char* encoding = nullptr;
  if (firstLine.starts_with("\xEF\xBB\xBF")) encoding = "UTF-8";
  // UTF-32 little-endian starts the same way.
  if (firstLine.starts_with("\xFF\xFE") || firstLine.starts_with("\xFE\xFF")) encoding = "UTF-16";
  if (encoding != nullptr) throw ProgramRefusal(Sprintf(kByteOrderMark, encoding));
}

}  // namespace

ProgramRefusal LineTooLong(long lineNumber) {
  return ProgramRefusal(
      Sprintf("Строка %ld длиннее 198 символов (с концом строки): кадр не читается целиком.",
              lineNumber));
}

ProgramRefusal FrameGrownTooLong(const Frame& frame) {
  std::string_view text = frame.Text();
  if (text.ends_with('\n')) text.remove_suffix(1);
  const std::string line = frame.SourceLine() > 0 ? Sprintf("Строка %ld: кадр", frame.SourceLine())
                                                  : std::string("Кадр");
  return ProgramRefusal(Sprintf("%s\n%s\nс записанной подачей длиннее 198 символов (с концом "
                                "строки): кадр не читался бы целиком. Сократите его.",
                                line.c_str(), std::string(text).c_str()));
}

void RefuseNonText(std::string_view line, long lineNumber) {
  if (lineNumber == 1) RefuseByteOrderMark(line);
  if (line.find('\0') != std::string_view::npos) throw NulByte(lineNumber);
}

void RefuseNonFeedCode(const Frame& frame, long lineNumber) {
  const std::string_view code = frame.FeedText();
  if (code.empty() || !IsNonFeedCode(code)) return;
  const char* format = ClassifyFeedCode(code) == FeedCodeKind::kNoCode ? kNoCode : kBelowOne;
  throw ProgramRefusal(Sprintf(format, lineNumber, std::string(TrimBlanks(code)).c_str()));
}

void RefuseSlowFrameCode(const Frame& frame, long lineNumber) {
  const std::string_view code = frame.FeedText();
  if (code.empty() || ClassifyFeedCode(code) != FeedCodeKind::kFeed) return;
  if (!InsertsSlowFrame(ParseInt(code))) return;
  throw ProgramRefusal(Sprintf(kSlowFrameCode, lineNumber, std::string(TrimBlanks(code)).c_str()));
}

void RefuseHiddenFeedWord(const Frame& frame, long lineNumber) {
  const bool bareFeedLetter = !frame.Has('F') && frame.Text().find('F') != std::string::npos;
  if (bareFeedLetter || frame.HasHiddenWord('F')) throw ProgramRefusal(Sprintf(kHiddenFeed, lineNumber));
}

ProgramRefusal MoveAtNonFeedCode(std::string_view value, long lineNumber) {
  const char* format =
      ClassifyFeedCode(value) == FeedCodeKind::kNoCode ? kMoveAtNoCode : kMoveBelowOne;
  return ProgramRefusal(Sprintf(format, lineNumber, std::string(TrimBlanks(value)).c_str()));
}

}  // namespace h33
