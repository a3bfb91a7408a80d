#pragma once

#include <filesystem>
#include <string>

#include "picture/programpicture.h"

namespace h33 {

// Pictures written to files without a display: no Qt type shows here, so the
// command line's other commands stay free of it.

enum class PlotKind { kToolpath, kProfile };

struct PlotExport {
  PlotKind kind = PlotKind::kToolpath;
  Plane plane = Plane::XY;
  const ProgramPicture* program = nullptr;
  const ProgramPicture* input = nullptr;  // the profile's compare mode
  int width = 1200;
  int height = 900;
  std::string title;
};

// The picture's path tolerance for an image of this size: finer than a
// pixel, so thinning never shows.
PathPolyline::Options ExportPathOptions(int width, int height);

// How many pixels of the toolpath picture the path's thinning may stray:
// past one, a program of more detail than the picture's points can hold is
// drawn simplified. 0 for a profile.
double ThinningPixels(const PlotExport& plot);

// True for the names ExportPlot can write: *.png and *.svg, in any case
// (*.png only where Qt has no SVG writer).
bool IsPlotFileName(const std::filesystem::path& file);
// The kinds of picture file it writes, for messages: "*.png или *.svg".
const char* PlotFileKinds();

// Renders PNG or SVG by the file's extension and writes it through a
// temporary file, so a failed export leaves no half-written picture. Needs
// a running Qt GUI application (the offscreen platform will do). Throws
// IoError.
void ExportPlot(const PlotExport& plot, const std::filesystem::path& file);

}  // namespace h33
