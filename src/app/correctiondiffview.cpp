#include "app/correctiondiffview.h"

#include <numeric>

#include "format/textformat.h"

namespace h33 {
namespace {

std::string Place(long line, bool own) {
  if (own) return std::to_string(line);
  return line == 0 ? "в начале" : "после " + std::to_string(line);
}

std::string FeedWord(const std::optional<int>& feed_mm_min) {
  return feed_mm_min ? std::to_string(*feed_mm_min) + " мм/мин" : "нет";
}

std::string What(const FrameChange& change) {
  const int oldFeed = change.oldFeed_mm_min.value_or(0);
  const int newFeed = change.newFeed_mm_min.value_or(0);
  switch (change.kind) {
    case FrameChangeKind::kFeedChanged:
      return Sprintf("подача %d -> %d мм/мин", oldFeed, newFeed);
    case FrameChangeKind::kFeedRestated:
      return Sprintf("подача %d мм/мин записана снова", newFeed);
    case FrameChangeKind::kJunctionInserted:
      return Sprintf("вставлен кадр подачи на стыке, %d мм/мин", newFeed);
    case FrameChangeKind::kStopInserted:
      return "вставлен останов";
    case FrameChangeKind::kFrameInserted:
      return "вставлен кадр";
    case FrameChangeKind::kFrameDropped:
      return change.oldFeed_mm_min ? Sprintf("удалён кадр с подачей %d мм/мин", oldFeed) : "удалён кадр";
    case FrameChangeKind::kFeedWordChanged:
      return "слово F кадра без перемещения: " + FeedWord(change.oldFeed_mm_min) + " -> " +
             FeedWord(change.newFeed_mm_min);
    case FrameChangeKind::kMoveWordsChanged:
      return "изменены слова кадра перемещения, кроме N и F";
  }
  return {};
}

std::string MismatchText(const MotionMismatch& mismatch) {
  const auto move = [](const char* program, long line, const std::string& text) {
    if (line == 0) return Sprintf("%s: перемещений больше нет", program);
    return Sprintf("%s: строка %ld, %s", program, line, text.c_str());
  };
  return "Перемещения различаются, программы не соответствуют друг другу.\n  " +
         move("вход", mismatch.inputLine, mismatch.inputText) + "\n  " +
         move("выход", mismatch.outputLine, mismatch.outputText) + "\n";
}

}  // namespace

FrameChangeRow DescribeFrameChange(const FrameChange& change) {
  const bool inserted = change.kind == FrameChangeKind::kJunctionInserted ||
                        change.kind == FrameChangeKind::kStopInserted ||
                        change.kind == FrameChangeKind::kFrameInserted;
  const bool dropped = change.kind == FrameChangeKind::kFrameDropped;
  return {Place(change.inputLine, !inserted), Place(change.outputLine, !dropped), What(change),
          change.text};
}

std::string CorrectionDiffSummary(const CorrectionDiff& diff) {
  if (diff.status == DiffStatus::kDifferentMotion) return MismatchText(diff.mismatch);
  const auto count = [&diff](FrameChangeKind kind) { return diff.Count(kind); };
  const long changes = std::accumulate(diff.counts.begin(), diff.counts.end(), 0L);
  if (changes == 0) return Sprintf("Перемещения совпадают: %ld.\nИзменений нет.\n", diff.moves);
  // Words of a move that no correction touches: told only when changed.
  const long moveWords = count(FrameChangeKind::kMoveWordsChanged);
  return Sprintf(
      "Перемещения совпадают: %ld.\n"
      "Подача изменена: %ld, записана снова: %ld.\n"
      "Вставлено кадров подачи на стыках: %ld, остановов: %ld, других кадров: %ld.\n"
      "Удалено кадров: %ld.\n"
      "Изменено слов F в кадрах без перемещения: %ld.\n",
      diff.moves, count(FrameChangeKind::kFeedChanged), count(FrameChangeKind::kFeedRestated),
      count(FrameChangeKind::kJunctionInserted), count(FrameChangeKind::kStopInserted),
      count(FrameChangeKind::kFrameInserted), count(FrameChangeKind::kFrameDropped),
      count(FrameChangeKind::kFeedWordChanged)) +
         (moveWords == 0 ? "" : Sprintf("Кадров перемещения с другими изменёнными словами (кроме N и F): %ld.\n", moveWords));
}

}  // namespace h33
