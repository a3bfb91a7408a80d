#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <limits>
#include <string>

#include "methods/brakingfinding.h"
#include "planning/machinelimits.h"

namespace h33 {

// The braking check's verdict on a program as the command prints it and the
// window shows it: the file and the machine's values it was judged with,
// the first `listed` findings one a line, then their number. Written as the
// findings come and holding none of them: a long program may have a great
// many. Nothing is written before the first finding or Finish, so a check
// that cannot start leaves no heading behind.
class BrakingReportWriter {
 public:
  BrakingReportWriter(std::ostream& out, const std::filesystem::path& file, const MachineLimits& machine,
                      std::size_t listed = std::numeric_limits<std::size_t>::max());

  void Take(const BrakingFinding& finding);
  void Finish();

  // Findings so far; a file without moves counts one.
  std::size_t Count() const { return count_; }

 private:
  void Start();

  std::ostream& out_;
  std::string heading_;  // until written
  std::size_t listed_;
  std::size_t count_ = 0;
  std::string nothingToCheck_;  // why, for a file without moves
};

}  // namespace h33
