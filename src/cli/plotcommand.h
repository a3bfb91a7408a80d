#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace h33 {

// Runs the h33-plot command with its arguments (without the program name):
// a toolpath or feed profile picture of a program, as PNG or SVG. Needs a
// running Qt GUI application; exit codes as h33's.
int RunH33Plot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace h33
