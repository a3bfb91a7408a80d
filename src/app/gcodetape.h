#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "format/outputfile.h"
#include "gcode/gcodeimport.h"
#include "methods/dialogs.h"

namespace h33 {

// Whether a run's input is G-code: by its name, or, unless it is named as a
// PTP tape or an H33 program, by what it holds.
bool IsGcodeInput(const std::filesystem::path& input);

// A G-code program imported into a PTP tape for the conversion: a scratch
// file beside the program to be written, removed with this object.
class ImportedTape {
 public:
  // Imports `input`, says what was left out, and checks the tape as the
  // run's input, before anything is converted or written; nothing after the
  // box that says why it could not.
  static std::optional<ImportedTape> Import(const std::filesystem::path& input,
                                            const std::filesystem::path& output,
                                            const ImportOptions& options, Dialogs& dialogs);

  const std::filesystem::path& Path() const { return file_->TemporaryPath(); }
  const ImportSummary& Summary() const { return summary_; }

 private:
  std::unique_ptr<OutputFile> file_;
  ImportSummary summary_;
};

}  // namespace h33
