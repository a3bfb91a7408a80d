// Reports that cannot be written: every command's run fails when what it
// prints does not reach standard output, and says so on standard error.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "cli/runh33.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

// Standard output on a full disk or a closed pipe, unbuffered: each write fails.
class RefusingBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
  std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

// The same, buffered: the writes are taken and the failure only shows when
// they are flushed.
class UnflushableBuffer : public std::streambuf {
 public:
  bool Written() const { return !taken_.empty(); }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) taken_ += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    taken_.append(text, static_cast<std::size_t>(count));
    return count;
  }
  int sync() override { return taken_.empty() ? 0 : -1; }

 private:
  std::string taken_;
};

// A folder with the examples and the corrected pocket, for every command.
class ReportWrite : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"pocket.up", "corner.up"}) {
      fs::copy_file(fs::path(H33_EXAMPLES_DIR) / name, dir_ / name);
    }
    saved_ = fs::current_path();
    fs::current_path(dir_.Path());
    std::ostringstream out, err;
    ASSERT_EQ(RunH33({"correct", "pocket.up", "-o", "pocket-c.up"}, out, err), kExitOk)
        << err.str();
  }
  void TearDown() override { fs::current_path(saved_); }

  TempDir dir_;
  fs::path saved_;
};

const std::vector<std::vector<std::string>> kReportingRuns = {
    {"time", "pocket.up"},
    {"time", "pocket.up", "corner.up", "--json"},
    {"check", "pocket.up"},
    {"check", "corner.up", "--verbose"},
    {"info", "pocket.up"},
    {"info", "pocket.up", "--json"},
    {"info", "pocket.up", "--breakdown"},
    {"info", "pocket.up", "corner.up", "--no-file-info"},
    {"verify", "pocket.up"},
    {"verify", "corner.up", "--json"},
    {"diff", "pocket.up", "pocket-c.up"},
    {"correct", "corner.up", "-o", "corner-c.up"},
    {"correct", "corner.up", "-o", "-"},
    {"convert", "--help"},
    {"--version"},
};

std::string Shown(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += arg + ' ';
  return text;
}

TEST_F(ReportWrite, AReportThatCannotBeWrittenFailsTheRun) {
  for (const auto& args : kReportingRuns) {
    RefusingBuffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    EXPECT_EQ(RunH33(args, out, err), kExitBadInput) << Shown(args);
    EXPECT_TRUE(err.str().ends_with(std::string(kStandardOutputFailed) + '\n'))
        << Shown(args) << err.str();
    // Said once, even where the command itself noticed the failure first.
    EXPECT_EQ(err.str().find(kStandardOutputFailed), err.str().rfind(kStandardOutputFailed));
  }
}

TEST_F(ReportWrite, AFailureThatShowsOnlyInTheFlushFailsTheRunToo) {
  for (const auto& args : kReportingRuns) {
    UnflushableBuffer unflushable;
    std::ostream out(&unflushable);
    std::ostringstream err;
    EXPECT_EQ(RunH33(args, out, err), kExitBadInput) << Shown(args);
    EXPECT_TRUE(unflushable.Written()) << Shown(args);
    EXPECT_TRUE(err.str().ends_with(std::string(kStandardOutputFailed) + '\n'))
        << Shown(args) << err.str();
  }
}

// The split's questions and answers are its report.
TEST_F(ReportWrite, ASplitWhoseReportIsLostFailsAlthoughTheTapesAreCut) {
  RefusingBuffer refusing;
  std::ostream out(&refusing);
  std::ostringstream err;
  EXPECT_EQ(RunH33({"split", "pocket.up", "--limit", "300", "--names", "second.up,third.up"}, out,
                   err),
            kExitBadInput);
  EXPECT_TRUE(fs::exists(dir_ / "second.up"));
  EXPECT_TRUE(err.str().ends_with(std::string(kStandardOutputFailed) + '\n')) << err.str();
}

// Nothing to write, nothing that fails; and a refusal keeps its own code.
TEST_F(ReportWrite, QuietRunsAndRefusalsAreNotWriteFailures) {
  RefusingBuffer refusing;
  std::ostream out(&refusing);
  std::ostringstream err;
  EXPECT_EQ(RunH33({"-q", "time", "pocket.up"}, out, err), kExitOk);
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(RunH33({"time", "none.up"}, out, err), kExitBadInput);
  EXPECT_EQ(err.str().find(kStandardOutputFailed), std::string::npos) << err.str();
}

}  // namespace
}  // namespace h33
