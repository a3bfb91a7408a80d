#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "format/bytesource.h"
#include "gcode/gcodeblock.h"
#include "gcode/importsummary.h"
#include "gcode/ptpwriter.h"

namespace h33 {

// Cutter radius compensation (G41, G42) refused: the tape would cut the
// programmed line, not the one offset by the tool's radius. Leaving it out
// is the user's choice to make; the command has an option for it, the
// window asks.
class CutterCompensationRefusal : public GcodeRefusal {
 public:
  explicit CutterCompensationRefusal(long line);
  long Line() const { return line_; }

 private:
  long line_;
};

struct ImportOptions {
  ArcOutput arcs = ArcOutput::kQuadrants;
  // Cutter radius compensation (G41, G42) is refused: the tape would cut
  // the programmed line, not the offset one. With this the words are left out
  // and said so.
  bool leaveOutCutterCompensation = false;
};

// Reads ISO G-code (RS-274: the dialect most post-processors write) and
// writes it as the PTP tape the conversion reads. What it cannot keep it
// either refuses (GcodeRefusal, naming the line) or leaves out and counts in
// the summary; nothing is dropped unsaid. Throws IoError when reading or
// writing fails.
ImportSummary ImportGcode(ByteSource& gcode, ByteSink& ptp, const ImportOptions& options);

// Where the tape's lines come from: the tape's lines from `tapeLine` (1 is
// the start mark) up to the next origin's were written for G-code line
// `gcodeLine`.
struct TapeLineOrigin {
  std::uint32_t tapeLine = 0;
  long gcodeLine = 0;
};

// The same, noting in `origins` where each run of tape lines comes from.
ImportSummary ImportGcode(ByteSource& gcode, ByteSink& ptp, const ImportOptions& options,
                          std::vector<TapeLineOrigin>& origins);

// G-code by its name: .nc .ngc .tap .gcode .cnc .iso, in any case.
bool HasGcodeName(const std::filesystem::path& file);

// G-code by what it holds, for a file named otherwise: among its first
// lines one with a decimal point, a comment ("(" or ";") or a blank between
// words, none of which a PTP tape or an H33 program has. Throws IoError.
bool LooksLikeGcode(ByteSource& source);

}  // namespace h33
