#include "methods/ptp_input.h"

#include "format/numbers.h"
#include "format/textformat.h"
#include "format/words.h"

namespace h33 {

int ReadPtpFeed(const std::string& line) {
  const int feed = ParseInt(ReadWord(line, 'F'));
  if (feed < 0) {
    throw PtpInputError(Sprintf("Кадр\n%s\nсодержит отрицательную подачу.", line.c_str()));
  }
  return feed;
}

std::optional<std::string> PtpReader::Next() {
  std::string line;
  if (!reader_.ReadLine(line)) return std::nullopt;
  return line;
}

}  // namespace h33
