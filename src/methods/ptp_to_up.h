#pragma once

#include <filesystem>
#include <string>

#include "format/bytesource.h"
#include "methods/dialogs.h"
#include "methods/ptp_translate.h"
#include "methods/runparameters.h"
#include "methods/timecount.h"

namespace h33 {

enum class ConversionStatus {
  kConverted,
  kBrakingFailed,  // the machine cannot brake in time; the message was shown
  kRefused,        // parameters or names that cannot work
  kBadInput,       // a feed word the controller would misread
  kInputUnreadable,
  kOutputUncreatable,
  kIoFailed,  // reading or writing failed part way
  kSplitFailed,  // converted; the tape split offered afterwards did not complete
};

struct ConversionResult {
  ConversionStatus status = ConversionStatus::kConverted;
  ControlSums sums;
  TimeCount writtenTime;  // of the program as written, counted while writing it
};

// Machining values the conversion can work with; otherwise shows why not.
bool CheckConversionParameters(const RunParameters& parameters, Dialogs& dialogs);

// False after the box that says so when `output` is `input` under another
// spelling (a path with "./" or "..", a symbolic or a hard link): the
// conversion would replace its own source. Asked before anything is read,
// whatever the input's kind (a PTP tape, G-code).
bool CheckOutputIsNotInput(const std::filesystem::path& input,
                           const std::filesystem::path& output, Dialogs& dialogs);

// Converts a PTP program into an H33 program: through the braking window, or
// with machine index 0 directly, only coding and clamping the feeds. Frames
// are numbered afresh. Writes only to `output`; the caller keeps or discards
// it by the status. Throws IoError when reading or writing fails.
ConversionResult ConvertPtp(const RunParameters& parameters, ByteSource& input, ByteSink& output,
                            Dialogs& dialogs);

// The Ptp->up method: converts the input file into the output file, which is
// replaced only when the whole conversion succeeds, then reports the control
// sums and the execution time.
ConversionStatus PtpToUp(const RunParameters& parameters, const std::filesystem::path& inputName,
                         const std::filesystem::path& outputName, Dialogs& dialogs);

// The same once the input is open: from its bytes as `input` reads them.
ConversionStatus PtpToUp(const RunParameters& parameters, ByteSource& input,
                         const std::filesystem::path& outputName, Dialogs& dialogs);

// The report shown after a conversion.
std::string ConversionMessage(const std::filesystem::path& outputName, const ControlSums& sums,
                              float seconds);

}  // namespace h33
