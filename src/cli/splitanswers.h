#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/consoledialogs.h"

namespace h33 {

// The tape splitter's questions answered from the command's options: the
// size question from the tape size given, each name question from the next
// name, and the overwrite question of an existing name from --yes. Both
// Yes/No questions of the splitter are answered Yes while a size is given,
// names are left and no name has been refused; then No, which ends the split.
class SplitAnswers : public ConsoleDialogs {
 public:
  SplitAnswers(std::ostream& out, std::ostream& err, std::optional<long> workingLimit,
               const std::vector<std::string>& names, bool overwrite);

  Button Ask(DialogKind kind, const std::string& text,
             std::initializer_list<Button> buttons) override;
  // The name is checked as the name dialog checks it before it closes.
  std::optional<std::string> AskSecondPartName(const std::filesystem::path& splitting) override;

  // Says which existing file stopped the split because overwriting it was
  // not allowed; false when none did.
  bool ReportRefusal(std::ostream& err) const;

  // True when a part was offered for cutting after the last name was used.
  bool NamesRanOut() const { return namesRanOut_; }

 private:
  bool overwrite_;
  bool namesRanOut_ = false;
  bool checkingName_ = false;
  std::optional<std::string> refusedName_;
};

// Part names must not be empty; otherwise says so on `err`.
bool CheckPartNames(const std::string& option, const std::vector<std::string>& names,
                    std::ostream& err);

// The tape size option checked as the size dialog checks its field: the
// working limit, or nothing after the complaint on `err`.
std::optional<long> CheckTapeSizeOption(const std::string& option, const std::string& text,
                                        std::ostream& err);

}  // namespace h33
