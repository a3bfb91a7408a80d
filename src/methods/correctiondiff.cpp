#include "methods/correctiondiff.h"

#include <vector>

#include "format/formatcheck.h"
#include "format/pathtext.h"
#include "format/refusal.h"
#include "format/textformat.h"
#include "methods/messages.h"
#include "methods/motionsteps.h"
#include "methods/sequencealign.h"

namespace h33 {
namespace {

constexpr const char* kPtpTape =
    "Файл %s - PTP-лента (подачи в мм/мин): сравниваются только программы H33 с кодами подач";

// The places of the frames no correction drops: all but the feed frames.
std::vector<std::size_t> KeptFrames(const std::vector<StepFrame>& frames) {
  std::vector<std::size_t> kept;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (!frames[i].feedOnly) kept.push_back(i);
  }
  return kept;
}

// Walks the two programs' steps side by side, keeping for each the line
// passed last and the feed in force.
class CorrectionWalk {
 public:
  explicit CorrectionWalk(const FrameChangeHandler& onChange) : onChange_(onChange) {}

  // False once the programs have ended or parted.
  bool Compare(const MotionStep& input, const MotionStep& output);

  CorrectionDiff& Result() { return diff_; }

 private:
  struct Side {
    long line = 0;
    int feed_mm_min = 0;
    void Pass(const StepFrame& frame) {
      line = frame.line;
      if (frame.feed_mm_min) feed_mm_min = *frame.feed_mm_min;
    }
  };

  void Report(FrameChangeKind kind, const StepFrame& frame, std::optional<int> oldFeed,
              std::optional<int> newFeed);
  void CompareBefore(const std::vector<StepFrame>& input, const std::vector<StepFrame>& output);
  void CompareRun(const std::vector<StepFrame>& input, std::size_t inputFrom, std::size_t inputTo,
                  const std::vector<StepFrame>& output, std::size_t outputFrom, std::size_t outputTo);
  void Dropped(const StepFrame& frame);
  void Inserted(const StepFrame& frame);
  void Kept(const StepFrame& input, const StepFrame& output);
  void CompareMove(const StepFrame& input, const StepFrame& output);

  const FrameChangeHandler& onChange_;
  Side input_, output_;
  CorrectionDiff diff_;
};

void CorrectionWalk::Report(FrameChangeKind kind, const StepFrame& frame, std::optional<int> oldFeed,
                            std::optional<int> newFeed) {
  ++diff_.counts[static_cast<std::size_t>(kind)];
  onChange_({kind, input_.line, output_.line, oldFeed, newFeed, frame.text});
}

void CorrectionWalk::Dropped(const StepFrame& frame) {
  input_.Pass(frame);
  Report(FrameChangeKind::kFrameDropped, frame, frame.feed_mm_min, std::nullopt);
}

void CorrectionWalk::Inserted(const StepFrame& frame) {
  output_.Pass(frame);
  FrameChangeKind kind = FrameChangeKind::kFrameInserted;
  if (frame.feedOnly) {
    kind = frame.feed_mm_min == 0 ? FrameChangeKind::kStopInserted : FrameChangeKind::kJunctionInserted;
  }
  Report(kind, frame, std::nullopt, frame.feed_mm_min);
}

void CorrectionWalk::Kept(const StepFrame& input, const StepFrame& output) {
  input_.Pass(input);
  output_.Pass(output);
  if (input.feed_mm_min != output.feed_mm_min) {
    Report(FrameChangeKind::kFeedWordChanged, output, input.feed_mm_min, output.feed_mm_min);
  }
}

// Frames between two kept frames without motion: feed frames of the same
// feed are the same frame, anything else was dropped or inserted.
void CorrectionWalk::CompareRun(const std::vector<StepFrame>& input, std::size_t inputFrom,
                                std::size_t inputTo, const std::vector<StepFrame>& output,
                                std::size_t outputFrom, std::size_t outputTo) {
  const auto sameFeedFrame = [&](std::size_t i, std::size_t j) {
    const StepFrame& a = input[inputFrom + i];
    const StepFrame& b = output[outputFrom + j];
    return a.feedOnly && b.feedOnly && a.feed_mm_min == b.feed_mm_min;
  };
  const auto steps = AlignSequences(inputTo - inputFrom, outputTo - outputFrom, sameFeedFrame);
  std::size_t i = inputFrom, j = outputFrom;
  for (const AlignStep step : steps) {
    if (step == AlignStep::kBoth) {
      input_.Pass(input[i++]);
      output_.Pass(output[j++]);
    } else if (step == AlignStep::kFirstOnly) {
      Dropped(input[i++]);
    } else {
      Inserted(output[j++]);
    }
  }
}

void CorrectionWalk::CompareBefore(const std::vector<StepFrame>& input,
                                   const std::vector<StepFrame>& output) {
  // Most moves follow one another directly.
  if (input.empty() && output.empty()) return;
  const std::vector<std::size_t> inputKept = KeptFrames(input), outputKept = KeptFrames(output);
  const auto sameBody = [&](std::size_t p, std::size_t q) {
    return input[inputKept[p]].body == output[outputKept[q]].body;
  };
  const auto steps = AlignSequences(inputKept.size(), outputKept.size(), sameBody);
  std::size_t i = 0, j = 0, p = 0, q = 0;
  for (const AlignStep step : steps) {
    if (step == AlignStep::kFirstOnly) {
      ++p;
    } else if (step == AlignStep::kSecondOnly) {
      ++q;
    } else {
      CompareRun(input, i, inputKept[p], output, j, outputKept[q]);
      Kept(input[inputKept[p]], output[outputKept[q]]);
      i = inputKept[p++] + 1;
      j = outputKept[q++] + 1;
    }
  }
  CompareRun(input, i, input.size(), output, j, output.size());
}

void CorrectionWalk::CompareMove(const StepFrame& input, const StepFrame& output) {
  ++diff_.moves;
  input_.Pass(input);
  output_.Pass(output);
  if (input_.feed_mm_min != output_.feed_mm_min) {
    Report(FrameChangeKind::kFeedChanged, output, input_.feed_mm_min, output_.feed_mm_min);
  } else if (output.feed_mm_min && !input.feed_mm_min) {
    Report(FrameChangeKind::kFeedRestated, output, input_.feed_mm_min, output_.feed_mm_min);
  }
  if (input.body != output.body) {
    Report(FrameChangeKind::kMoveWordsChanged, output, input_.feed_mm_min, output_.feed_mm_min);
  }
}

bool CorrectionWalk::Compare(const MotionStep& input, const MotionStep& output) {
  CompareBefore(input.before, output.before);
  if (!input.move && !output.move) return false;
  if (input.move && output.move && input.shape == output.shape) {
    CompareMove(*input.move, *output.move);
    return true;
  }
  diff_.status = DiffStatus::kDifferentMotion;
  MotionMismatch& mismatch = diff_.mismatch;
  if (input.move) mismatch.inputLine = input.move->line, mismatch.inputText = input.move->text;
  if (output.move) mismatch.outputLine = output.move->line, mismatch.outputText = output.move->text;
  return false;
}

}  // namespace

namespace {

// A refusal names its line; with two programs read side by side it must
// also say whose line that is.
bool NextStep(MotionStepReader& reader, MotionStep& step, const std::string& name) {
  try {
    return reader.Next(step);
  } catch (const ProgramRefusal& refusal) {
    if (name.empty()) throw;
    throw ProgramRefusal(name + ": " + refusal.what());
  }
}

CorrectionDiff Compare(ByteSource& input, ByteSource& output, const FrameChangeHandler& onChange,
                       const std::string& inputName, const std::string& outputName) {
  MotionStepReader inputSteps(input), outputSteps(output);
  CorrectionWalk walk(onChange);
  MotionStep inputStep, outputStep;
  while (NextStep(inputSteps, inputStep, inputName) &&
         NextStep(outputSteps, outputStep, outputName) && walk.Compare(inputStep, outputStep)) {
  }
  return walk.Result();
}

}  // namespace

CorrectionDiff CompareCorrection(ByteSource& input, ByteSource& output,
                                 const FrameChangeHandler& onChange) {
  return Compare(input, output, onChange, {}, {});
}

CorrectionDiff CompareCorrection(const std::filesystem::path& input,
                                 const std::filesystem::path& output,
                                 const FrameChangeHandler& onChange) {
  CorrectionDiff diff;
  std::string reason;
  const auto inputSource = FileSource::Open(input, &reason);
  const auto outputSource = inputSource ? FileSource::Open(output, &reason) : nullptr;
  if (!inputSource || !outputSource) {
    diff.status = DiffStatus::kCannotOpen;
    diff.reason = Sprintf(kCannotOpenForReadingText, PathText(inputSource ? output : input).c_str(), reason.c_str());
    return diff;
  }
  for (const std::filesystem::path& program : {input, output}) {
    // A tape's F words that are no codes are refused with their line.
    if (!HasPtpName(program)) continue;
    diff.status = DiffStatus::kFailed;
    diff.reason = Sprintf(kPtpTape, PathText(program).c_str());
    return diff;
  }
  try {
    return Compare(*inputSource, *outputSource, onChange, PathText(input), PathText(output));
  } catch (const RunError& error) {
    diff.status = DiffStatus::kFailed;
    diff.reason = error.what();
    return diff;
  }
}

}  // namespace h33
