#pragma once

#include <optional>
#include <string>

#include "methods/dialogs.h"

namespace h33 {

// The checks the two split dialogs make before they close with OK. Each
// complaint is a plain message through `dialogs`; the dialog then stays open.

// What the tape size field takes off the size for the working limit.
inline constexpr long kTapeSizeReserve = 200;

// The tape size field: the working limit (size less 200 bytes) when the text
// is a whole number of decimal digits. `clearField` is set when the text must
// be emptied (a character that is not a digit).
std::optional<long> CheckTapeLength(const std::string& text, Dialogs& dialogs, bool& clearField);

// The second part's name field: true when the dialog may close with OK. An
// existing file is only accepted after the user agrees to overwrite it.
bool CheckSecondPartName(const std::string& name, Dialogs& dialogs);

}  // namespace h33
