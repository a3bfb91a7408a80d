#include "cli/splitanswers.h"

#include <algorithm>
#include <ostream>

#include "app/splitchecks.h"

namespace h33 {

SplitAnswers::SplitAnswers(std::ostream& out, std::ostream& err, std::optional<long> workingLimit,
                           const std::vector<std::string>& names, bool overwrite)
    : ConsoleDialogs(out, err), overwrite_(overwrite) {
  tapeLengthLimit = workingLimit;
  secondPartNames.assign(names.begin(), names.end());
}

Button SplitAnswers::Ask(DialogKind kind, const std::string& text,
                         std::initializer_list<Button> buttons) {
  // Without a tape size no split was asked for: its offer is declined unsaid.
  const bool question = std::find(buttons.begin(), buttons.end(), Button::No) != buttons.end();
  if (!tapeLengthLimit && question && !checkingName_) return Button::No;
  const bool goOn =
      checkingName_ ? overwrite_ : tapeLengthLimit && !secondPartNames.empty() && !refusedName_;
  if (!checkingName_ && question && !refusedName_ && secondPartNames.empty()) namesRanOut_ = true;
  answers.assign(1, goOn ? Button::Yes : Button::No);
  return ConsoleDialogs::Ask(kind, text, buttons);
}

std::optional<std::string> SplitAnswers::AskSecondPartName(const std::filesystem::path& splitting) {
  std::optional<std::string> name = ConsoleDialogs::AskSecondPartName(splitting);
  if (!name) return std::nullopt;
  checkingName_ = true;
  const bool accepted = CheckSecondPartName(*name, *this);
  checkingName_ = false;
  if (accepted) return name;
  refusedName_ = std::move(name);
  return std::nullopt;
}

bool SplitAnswers::ReportRefusal(std::ostream& err) const {
  if (!refusedName_) return false;
  err << "Файл " << *refusedName_
      << " уже существует и не переписан (перезапись разрешает --yes) - разбивка остановлена\n";
  return true;
}

bool CheckPartNames(const std::string& option, const std::vector<std::string>& names,
                    std::ostream& err) {
  for (const std::string& name : names) {
    if (name.empty()) {
      err << option << ": пустое имя части\n";
      return false;
    }
  }
  return true;
}

std::optional<long> CheckTapeSizeOption(const std::string& option, const std::string& text,
                                        std::ostream& err) {
  // The complaints of the size dialog, as errors of the option.
  ConsoleDialogs complaints(err, err);
  bool clearField = false;
  const std::optional<long> limit = CheckTapeLength(text, complaints, clearField);
  if (!limit) err << option << ": размер ленты задается целым числом байт\n";
  return limit;
}

}  // namespace h33
