#include "ptp_input.h"

#include "textformat.h"

namespace h33 {

std::optional<std::string> PtpReader::Next() {
  std::string line;
  if (!reader_.ReadLine(line, kProgramLineLimit)) return std::nullopt;
  // A full read without its line end was cut, unless nothing follows it.
  if (lineCut_) {
    throw PtpInputError(Sprintf("Строка %ld PTP-файла длиннее %zu символов и не может быть кадром.",
                                lineNumber_, kProgramLineLimit - 1));
  }
  ++lineNumber_;
  lineCut_ = line.size() == kProgramLineLimit && line.back() != '\n';
  return line;
}

}  // namespace h33
