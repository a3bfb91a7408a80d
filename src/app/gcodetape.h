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

// A G-code program imported into a PTP tape: a scratch file beside a given
// name, removed with this object.
class ImportedTape {
 public:
  // Imports `input` into a tape beside `besides`. Throws ProgramRefusal for
  // a line the import refuses, IoError when a file fails.
  ImportedTape(const std::filesystem::path& input, const std::filesystem::path& besides,
               const ImportOptions& options);

  // For a picture: a tape in the temporary folder, feeds in mm/min.
  static ImportedTape ForPicture(const std::filesystem::path& input);

  const std::filesystem::path& Path() const { return file_->TemporaryPath(); }
  const ImportSummary& Summary() const { return summary_; }

 private:
  std::unique_ptr<OutputFile> file_;
  ImportSummary summary_;
};

// The import ahead of a conversion into `output`: it says what was left out
// and checks the tape as the run's input before anything is converted or
// written; nothing after the box that says why it could not.
std::optional<ImportedTape> ImportForConversion(const std::filesystem::path& input,
                                                const std::filesystem::path& output,
                                                const ImportOptions& options, Dialogs& dialogs);

}  // namespace h33
