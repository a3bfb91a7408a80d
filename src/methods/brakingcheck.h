#pragma once

#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "format/bytesource.h"
#include "format/frame.h"
#include "methods/brakingfinding.h"
#include "planning/machinelimits.h"
#include "planning/plannerpolicy.h"

namespace h33 {

enum class BrakingCheckStatus {
  kChecked,
  kCannotOpen,  // the file cannot be opened; `reason` says why
  kFailed,      // a read failed part way, or a line the methods refuse; `reason` is the message
};

struct BrakingCheckResult {
  BrakingCheckStatus status = BrakingCheckStatus::kChecked;
  std::vector<BrakingFinding> findings;  // in the order of the file's lines
  std::string reason;
};

// Told every finding as it is found, in the order of the file's lines.
using BrakingFindingHandler = std::function<void(const BrakingFinding&)>;

// Reads an H33 program as the machine runs it, every code decoded to the
// feed it makes the machine run, and lists every place where the machine
// cannot do what the program asks with the machine's values. The rules are
// the feed planner's, so a program the planner wrote passes:
// - a frame must be able to brake within its length to the lowest feed the
//   program asks for before the next move (a stop after the last one);
// - a corner is taken at the lowest feed in force around it, and that must
//   not exceed the junction feed of the two directions;
// - an arc must not exceed its circle limit, a move must not exceed FeedMax
//   nor stand at 0.
// The planner computes its limits before coding and writes the nearest code
// at or below them, so a feed is judged against the code of its limit, and
// a feed to brake to stands for every feed its code may have been written
// for.
//
// Where an arc meets a corner the check takes the direction the machine
// runs: the true tangent, perpendicular to the radius at the arc's start or
// end point in the arc's sense (planning/truetangent.h). The methods take
// it by their own rules (from the chord's signs or quadrant), exact on an
// arc within one quadrant, and hold a corner to the lower of their rule's
// junction feed and the true one, so they may write a corner slower than
// the machine needs, never faster. Judged by a rule instead, a line running
// on into a quarter arc from the circle's side would be a right angle. A
// corner's cosine is taken both exactly and to three decimals, as the two
// methods compute it, and the higher junction feed holds: the two differ by
// less than a code's step but may fall on either side of one.
class BrakingCheck {
 public:
  // Judged by the rules of the Up->up correction.
  explicit BrakingCheck(const MachineLimits& machine);
  // Judged by a method's own rules.
  explicit BrakingCheck(const PlannerPolicy& policy);

  BrakingCheckResult Check(const std::filesystem::path& file);

  // The same, each finding handed to `onFinding` as it is found and none
  // kept (the result's findings stay empty): a long program may have a
  // great many.
  BrakingCheckResult Check(const std::filesystem::path& file, const BrakingFindingHandler& onFinding);

  // The findings of the program `source` reads, to `onFinding`. Throws
  // IoError when the source fails, ProgramRefusal for a line longer than a
  // read or a code that is no feed.
  void Check(ByteSource& source, const BrakingFindingHandler& onFinding);

  // The same, the findings returned.
  std::vector<BrakingFinding> Check(ByteSource& source);

 private:
  struct Move {
    long line = 0;
    std::string text;
    FrameVector move;    // mm
    FrameVector centre;  // mm; present for an arc
    float chord = 0;     // mm
    int feed = 0;        // mm/min, as the machine runs it
    int arcSense = 0;
    Plane plane = Plane::XY;
  };

  static constexpr int kNothingBetween = std::numeric_limits<int>::max();

  void Start();
  // Takes frame_, read from the file's line `number`.
  void TakeFrame(long number);
  Move ReadMove(long number) const;
  void CheckOwnFeed(const Move& move);
  void CheckBraking(const Move& move, int nextFeed);
  std::optional<float> JunctionFeed(const Move& from, const Move& to) const;
  void CheckCorner(const Move& from, const Move& to, int cornerFeed);
  void CheckEnd();
  void Add(BrakingFault kind, const Move& at, int feed, int allowed, int next = 0);

  PlannerPolicy policy_;  // with the true tangent
  TangentRule methodTangent_;  // the method's own rule, for directions that are no numbers
  Frame frame_;  // the frame taken last
  const BrakingFindingHandler* onFinding_ = nullptr;  // during a check
  std::optional<Move> last_;  // the last move, until the frames after it are known
  int feed_ = 0;              // in force, mm/min
  bool feedStated_ = false;
  bool slowFrameNext_ = false;  // the frame taken last has a code above 4000
  int lowestSinceMove_ = kNothingBetween;  // over the frames after the last move
  int arcSense_ = 0;
  Plane plane_ = Plane::XY;
};

}  // namespace h33
