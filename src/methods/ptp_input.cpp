#include "ptp_input.h"

namespace h33 {

std::optional<std::string> PtpReader::Next() {
  std::string line;
  if (!reader_.ReadLine(line, kProgramLineLimit)) return std::nullopt;
  return line;
}

}  // namespace h33
