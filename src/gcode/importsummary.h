#pragma once

#include <string>
#include <vector>

namespace h33 {

// What the import left out of a program, each kind with how often and the
// first line: said to the user before the program is written, so that no
// liberty taken with the program goes unsaid. And how many arcs it wrote.
class ImportSummary {
 public:
  void WroteArcFrames(long count) { arcFrames_ = count; }
  long ArcFrames() const { return arcFrames_; }

  // One more of `what` ("пауза G4"), met at `line`.
  void LeftOut(const std::string& what, long line);

  bool Empty() const { return items_.empty(); }
  // "Пропущено при импорте: пауза G4 - 12 (первая в строке 30); ...", one
  // kind a line; empty when nothing was left out.
  std::string Text() const;

 private:
  struct Item {
    std::string what;
    long count = 0;
    long firstLine = 0;
  };
  std::vector<Item> items_;  // in the order first met
  long arcFrames_ = 0;
};

}  // namespace h33
