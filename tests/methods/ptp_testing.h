#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "methods/ptp_to_up.h"
#include "scripteddialogs.h"

namespace h33 {

// The shop's test machine: reversal at 50 mm/min, 5 mm/s², feeds up to 9999.
inline RunParameters TestMachine() {
  RunParameters parameters;
  parameters.machine.speedLimit_mm_min = 50;
  parameters.machine.feedMax_mm_min = 9999;
  parameters.machine.acceleration_mm_s2 = 5;
  parameters.brakes = true;
  return parameters;
}

struct Converted {
  ConversionStatus status;
  std::string output;  // CR LF read back as LF
  ControlSums sums;
  std::vector<std::string> shown;
};

inline Converted Convert(std::string_view ptp, const RunParameters& parameters = TestMachine()) {
  MemorySource input(ptp);
  MemorySink output;
  ScriptedDialogs dialogs;
  const ConversionResult result = ConvertPtp(parameters, input, output, dialogs);
  std::string text;
  for (std::size_t i = 0; i < output.Bytes().size(); ++i) {
    const bool lineEnd = output.Bytes().compare(i, 2, "\r\n") == 0;
    if (!lineEnd) text += output.Bytes()[i];
  }
  return {result.status, text, result.sums, dialogs.shown};
}

}  // namespace h33
