#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "format/refusal.h"

namespace h33 {

// A G-code program line the import will not work on (a parameter, an
// expression, a word without a number); what() names the line.
class GcodeRefusal : public ProgramRefusal {
 public:
  using ProgramRefusal::ProgramRefusal;
};

// A number as written, kept exact: its value in millionths (decimals past
// the sixth are rounded half away from zero). An exponent ("1.5e-05") is
// part of the number.
using Millionths = std::int64_t;
inline constexpr Millionths kOne = 1'000'000;

// A word: an upper-case letter and its number.
struct GcodeWord {
  char letter = 0;
  Millionths value = 0;
};

// One line of a G-code program: its words in their order, without comments
// ("(...)" and everything after ";"), blanks, the program number "O..." and
// the tape mark "%".
struct GcodeBlock {
  long line = 0;
  bool blockDelete = false;  // the line starts with "/"
  bool tapeMark = false;     // the line is the tape mark "%", which starts and ends a program
  std::vector<GcodeWord> words;

  // The first word of the letter.
  std::optional<Millionths> Value(char letter) const;
  bool Has(char letter) const { return Value(letter).has_value(); }
};

// Reads one line (without its line end). Throws GcodeRefusal.
GcodeBlock ParseGcodeLine(std::string_view text, long line);

// A G or M code as tenths: G1 is 10, G90.1 is 901; nothing for a code with
// more than one decimal.
std::optional<int> CodeInTenths(Millionths value);

}  // namespace h33
