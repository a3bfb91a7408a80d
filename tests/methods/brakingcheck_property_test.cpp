// The braking check against the methods: what the Up->up correction or the
// Ptp->up conversion writes passes the check with the same machine values,
// but for the faults it keeps from its input.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/machines.h"
#include "format/bytesource.h"
#include "format/numbers.h"
#include "methods/brakingcheck.h"
#include "methods/correctionpolicy.h"
#include "methods/ptp_to_up.h"
#include "methods/uptoup.h"
#include "keptfaults.h"
#include "programgen.h"
#include "scripteddialogs.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

// The machines that brake; "None" (index 0) converts without braking.
constexpr int kFirstBrakingMachine = 1;
constexpr int kMachines = static_cast<int>(kMachinePresets.size());

std::vector<BrakingFinding> Findings(BrakingCheck check, const std::string& program) {
  MemorySource source(program);
  return check.Check(source);
}

// The generator's programs and the examples of the format.
std::vector<std::string> Programs(bench::ProgramFormat format) {
  std::vector<std::string> programs;
  for (std::uint64_t seed = 1; seed <= 4; ++seed) {
    MemorySink sink;
    bench::GenerateProgram(format, 40000, seed, sink);
    programs.push_back(sink.Bytes());
  }
  const char* extension = format == bench::ProgramFormat::kUp ? ".up" : ".ptp";
  for (const auto& entry : fs::directory_iterator(H33_EXAMPLES_DIR)) {
    if (entry.path().extension() == extension) programs.push_back(ReadBytes(entry.path()));
  }
  return programs;
}

TEST(BrakingCheckAgainstMethods, CorrectedProgramsPass) {
  int corrected = 0;
  for (const std::string& program : Programs(bench::ProgramFormat::kUp)) {
    for (int index = kFirstBrakingMachine; index < kMachines; ++index) {
      const MachineLimits machine = kMachinePresets[index].limits;
      ScriptedDialogs dialogs;
      MemorySource source(program);
      MemorySink output;
      if (UpToUpCorrection("p.up", "q.up", machine, dialogs).Run(source, output) !=
          CorrectionStatus::kCorrected) {
        continue;
      }
      ++corrected;
      const auto own = FindingsNotKept(Findings(BrakingCheck(machine), output.Bytes()),
                                       Findings(BrakingCheck(machine), program),
                                       CorrectionPolicy(machine).braking);
      EXPECT_TRUE(own.empty()) << kMachinePresets[index].name << ":\n" << ListFindings(own);
    }
  }
  EXPECT_GE(corrected, 20);
}

// A move of at most 0.21 mm runs at twice the speed limit: with a speed
// limit of 0 the correction writes F0000 into it, and the check names the
// move the machine cannot run.
TEST(BrakingCheckAgainstMethods, ASpeedLimitOfZeroStopsTheCorrectionsShortMoves) {
  const MachineLimits machine{0, 1200, 50};
  ScriptedDialogs dialogs;
  MemorySource source("N001G01X+001000F0660\nN002X+000020\nN003X+001000\n");
  MemorySink output;
  ASSERT_EQ(UpToUpCorrection("p.up", "q.up", machine, dialogs).Run(source, output),
            CorrectionStatus::kCorrected);
  const auto findings = Findings(BrakingCheck(machine), output.Bytes());
  ASSERT_EQ(findings.size(), 1u) << ListFindings(findings);
  EXPECT_EQ(findings[0].kind, BrakingFault::kZeroFeed);
  EXPECT_EQ(findings[0].frame, "N002X+000020F0000");
}

// The conversion rounds its cosines to three decimals and brakes by its own
// rules: its programs pass by those, and as `verify` judges them, by the
// correction's, too.
TEST(BrakingCheckAgainstMethods, ConvertedProgramsPassByEitherMethodsRules) {
  int converted = 0;
  for (const std::string& program : Programs(bench::ProgramFormat::kPtp)) {
    for (int index = kFirstBrakingMachine; index < kMachines; ++index) {
      const RunParameters parameters = PresetParameters(index);
      ScriptedDialogs dialogs;
      MemorySource source(program);
      MemorySink output;
      if (ConvertPtp(parameters, source, output, dialogs).status != ConversionStatus::kConverted) {
        continue;
      }
      ++converted;
      const auto own = Findings(BrakingCheck(ConversionPolicy(parameters)), output.Bytes());
      EXPECT_TRUE(own.empty()) << kMachinePresets[index].name << ":\n" << ListFindings(own);
      const auto byCorrection = Findings(BrakingCheck(parameters.machine), output.Bytes());
      EXPECT_TRUE(byCorrection.empty())
          << kMachinePresets[index].name << ":\n" << ListFindings(byCorrection);
    }
  }
  EXPECT_GE(converted, 16);
}

std::vector<std::string> Arguments(const fs::path& cmd) {
  std::ifstream in(cmd);
  std::vector<std::string> args;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line != "-q") args.push_back(line);
  }
  return args;
}

// The machine values a case's command runs with: the preset, then the values given over it.
RunParameters CaseParameters(const std::vector<std::string>& args) {
  RunParameters parameters = PresetParameters(kDefaultMachineIndex);
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    const std::string& value = args[i + 1];
    if (args[i] == "--machine") {
      parameters = PresetParameters(FindMachinePreset(value).value_or(kDefaultMachineIndex));
    }
  }
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    const int value = ParseInt(args[i + 1]);
    if (args[i] == "--speed-limit") parameters.machine.speedLimit_mm_min = value;
    if (args[i] == "--feed-max") parameters.machine.feedMax_mm_min = value;
    if (args[i] == "--accel") parameters.machine.acceleration_mm_s2 = value;
  }
  return parameters;
}

bool Contains(const std::vector<std::string>& args, const std::string& word) {
  return std::find(args.begin(), args.end(), word) != args.end();
}

// The files a case's run writes (not those it leaves as they were), or its
// standard output where it writes the program there.
std::vector<fs::path> WrittenPrograms(const fs::path& folder,
                                      const std::vector<std::string>& args) {
  std::vector<fs::path> files;
  if (Contains(args, "-")) files.push_back(folder / "stdout");
  if (!fs::exists(folder / "expected")) return files;
  for (const auto& file : fs::directory_iterator(folder / "expected")) {
    const fs::path input = folder / file.path().filename();
    const bool unchanged = fs::exists(input) && ReadBytes(input) == ReadBytes(file.path());
    if (!unchanged) files.push_back(file.path());
  }
  return files;
}

// Every program a golden case of the methods writes: a conversion by its
// own rules and by the correction's, as `verify` judges it; a correction, a split (its tapes are corrected anew) and a
// conversion followed by a split by the correction's.
TEST(BrakingCheckAgainstMethods, GoldenOutputsPass) {
  int checked = 0;
  for (const auto& folder : fs::directory_iterator(H33_GOLDEN_DIR)) {
    const std::vector<std::string> args = Arguments(folder.path() / "cmd");
    const fs::path exit = folder.path() / "exit";
    if (args.empty() || (fs::exists(exit) && ParseInt(ReadBytes(exit)) != 0)) continue;
    const std::string& command = args[0];
    if (command != "correct" && command != "convert" && command != "split") continue;
    const RunParameters parameters = CaseParameters(args);
    if (!parameters.brakes) continue;
    const bool converted = command == "convert" && !Contains(args, "--split-limit");
    const PlannerPolicy rules =
        converted ? ConversionPolicy(parameters) : CorrectionPolicy(parameters.machine);
    // Only an H33 input can hold faults a method keeps.
    const fs::path input = folder.path() / args.at(1);
    const auto inputFindings = input.extension() == ".up"
                                   ? Findings(BrakingCheck(rules), ReadBytes(input))
                                   : std::vector<BrakingFinding>{};
    for (const fs::path& file : WrittenPrograms(folder.path(), args)) {
      ++checked;
      const auto own =
          FindingsNotKept(Findings(BrakingCheck(rules), ReadBytes(file)), inputFindings,
                          rules.braking);
      EXPECT_TRUE(own.empty()) << file << ":\n" << ListFindings(own);
      if (!converted) continue;
      const auto byVerify =
          FindingsNotKept(Findings(BrakingCheck(parameters.machine), ReadBytes(file)), {},
                          CorrectionPolicy(parameters.machine).braking);
      EXPECT_TRUE(byVerify.empty()) << file << " as verify judges it:\n" << ListFindings(byVerify);
    }
  }
  EXPECT_GE(checked, 20);
}

}  // namespace
}  // namespace h33
