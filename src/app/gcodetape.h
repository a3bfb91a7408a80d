#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "format/outputfile.h"
#include "gcode/gcodeimport.h"
#include "methods/dialogs.h"
#include "methods/ptp_to_up.h"
#include "methods/runparameters.h"

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
               const ImportOptions& options, bool notesOrigins = false);

  // For a picture: a tape in the temporary folder, feeds in mm/min, which
  // knows the G-code line of each of its lines.
  static ImportedTape ForPicture(const std::filesystem::path& input);

  // The G-code line that tape line `tapeLine` was written for; nothing for
  // the start mark, or for a tape not made for a picture.
  std::optional<long> GcodeLine(std::uint32_t tapeLine) const;

  const std::filesystem::path& Path() const { return file_->TemporaryPath(); }
  const ImportSummary& Summary() const { return summary_; }
  ArcOutput Arcs() const { return arcs_; }

 private:
  std::unique_ptr<OutputFile> file_;
  ImportSummary summary_;
  ArcOutput arcs_ = ArcOutput::kQuadrants;
  std::vector<TapeLineOrigin> origins_;
};

// Who chose how arcs go on tape. The tool writes them quadrant by quadrant,
// and as chords when the machine cannot brake the quadrant arcs (tiny arcs
// in a row cannot brake within themselves); the user's choice is kept.
enum class ArcChoice { kAsAsked, kChordsWhereQuadrantsCannotBrake };

// How a refusal of cutter compensation (G41, G42) is met: the command says
// which option leaves it out; the window, which has no such option, asks.
enum class CompensationChoice { kByOption, kAskTheUser };

struct GcodeConversion {
  ConversionStatus status = ConversionStatus::kConverted;
  ArcOutput arcs = ArcOutput::kQuadrants;  // how the arcs went on the tape converted
};

// The Ptp->up method for a G-code program: the import (saying what was left
// out, and checking the tape as the run's input before anything is written),
// then the conversion of the tape into `output`. When the tool chooses the
// arcs and the machine cannot brake the quadrant arcs, the failed conversion
// shows nothing and writes nothing, and the program is imported again with
// the arcs as chords, said to the user, and converted. Nothing when the
// output is the G-code source itself or the import failed, after the box
// that says why, or when the user would not leave cutter compensation out.
std::optional<GcodeConversion> ConvertGcode(
    const RunParameters& parameters, const std::filesystem::path& input,
    const std::filesystem::path& output, const ImportOptions& options, ArcChoice choice,
    Dialogs& dialogs, CompensationChoice compensation = CompensationChoice::kByOption);

}  // namespace h33
