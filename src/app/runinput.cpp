#include "app/runinput.h"

#include <memory>
#include <string>
#include <system_error>

#include "app/gcodetape.h"
#include "format/bytesource.h"
#include "format/devicename.h"
#include "format/formatcheck.h"
#include "format/pathtext.h"
#include "format/textformat.h"

namespace h33 {
namespace {

constexpr const char* kMissing = "Файл УП ->\n %s \n\n НЕ существует \n ..";
constexpr const char* kUnreadableCaption = "Проверка программы на формат H33 - > ошибка ...";
constexpr const char* kNotH33 =
    "Файл УП ->\n %s \n\n НЕ является программой ЧПУ H33 (Velta)\n Вычисления прерваны....";

// G-code given to a method that takes H33 programs: the way in is named.
constexpr const char* kGcodeHint =
    "\n\n Это G-код: его преобразует в программу H33 метод Ptp->up (команда h33 convert).";

// The feed words are left out: the conversion's input carries plain feeds.
constexpr FeedWordCheck kRunInputFeedWords = FeedWordCheck::kSkipped;

// The time of a regular file that opens, reads, passes the check and counts;
// nothing for any other.
std::optional<float> TimeOfCleanProgram(const std::filesystem::path& input,
                                        int acceleration_mm_s2) {
  std::error_code error;
  // Before the open, which would wait for a FIFO's writer.
  if (!std::filesystem::is_regular_file(input, error)) return std::nullopt;
  const std::unique_ptr<FileSource> source = FileSource::Open(input);
  if (!source) return std::nullopt;
  bool violated = false;
  FormatCheck check(kRunInputFeedWords, [&violated](const FormatViolation&) { violated = true; });
  try {
    const float seconds = TimeCounter(input, acceleration_mm_s2).CountTime(*source, nullptr, &check);
    if (!violated) return seconds;
  } catch (const RunError&) {
  }
  return std::nullopt;
}

}  // namespace

void ReportUnreadable(const std::filesystem::path& input, const std::string& reason,
                      Dialogs& dialogs) {
  dialogs.CaptionedBox(CannotOpenForReadingText(input) + reason, kUnreadableCaption);
}

bool CheckRunInput(const std::filesystem::path& input, Dialogs& dialogs,
                   const std::filesystem::path& shown) {
  const std::filesystem::path& named = shown.empty() ? input : shown;
  const std::string name = PathText(named);
  // Windows' device names ("NUL", "COM1") are no files that exist.
  if (const char* device = DeviceInput(input)) {
    ReportUnreadable(named, device, dialogs);
    return false;
  }
  std::error_code error;
  if (!std::filesystem::exists(input, error)) {
    dialogs.Ask(DialogKind::Error, Sprintf(kMissing, name.c_str()), {Button::Yes});
    return false;
  }
  // Before the open, which would wait for a FIFO's writer.
  const auto status = std::filesystem::status(input, error);
  if (!std::filesystem::is_regular_file(status) && !std::filesystem::is_directory(status)) {
    // Every method reads its input more than once (the check, the method, the
    // time count): a pipe, a FIFO or a device would give each pass other
    // bytes or none, and a FIFO would wait for a writer on every open.
    ReportUnreadable(named, kNotRegularInput, dialogs);
    return false;
  }
  std::string reason;
  const std::unique_ptr<FileSource> source = FileSource::Open(input, &reason);
  if (!source) {
    ReportUnreadable(named, reason, dialogs);
    return false;
  }
  int violations = 0;
  try {
    violations = CheckH33Format(*source, kRunInputFeedWords);
  } catch (const RunError& failure) {
    ReportUnreadable(named, failure.what(), dialogs);
    return false;
  }
  if (violations != 0) {
    const std::string hint = IsGcodeInput(input) ? kGcodeHint : "";
    dialogs.Ask(DialogKind::Error, Sprintf(kNotH33, name.c_str()) + hint, {Button::Yes});
    return false;
  }
  return true;
}

std::optional<TimeCount> CheckAndCountTime(const std::filesystem::path& input,
                                           int acceleration_mm_s2, Dialogs& dialogs) {
  if (const std::optional<float> seconds = TimeOfCleanProgram(input, acceleration_mm_s2)) {
    return TimeCount{TimeCountStatus::kCounted, *seconds, {}};
  }
  if (!CheckRunInput(input, dialogs)) return std::nullopt;
  return TimeCounter(input, acceleration_mm_s2).CountTime();
}

}  // namespace h33
