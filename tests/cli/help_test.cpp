// The commands' help speaks Russian, as every other message does, and keeps
// its columns with Cyrillic in them.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/texttable.h"
#include "cli/runh33.h"

namespace h33 {
namespace {

const std::vector<std::vector<std::string>> kHelps = {
    {"--help"},           {"time", "--help"},    {"check", "--help"},
    {"info", "--help"},   {"convert", "--help"}, {"correct", "-h"},
    {"split", "--help"},  {"diff", "--help"},    {"verify", "--help"},
};

std::string Help(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  EXPECT_EQ(RunH33(args, out, err), kExitOk) << args[0];
  EXPECT_EQ(err.str(), "") << args[0];
  return out.str();
}

TEST(Help, HasNoWordsOfTheOptionParsersOwn) {
  for (const auto& args : kHelps) {
    const std::string help = Help(args);
    for (const char* english : {"Usage", "Options", "OPTIONS", "Positionals", "Subcommand",
                                "SUBCOMMAND", "REQUIRED", "TEXT", "INT", "Needs", "Excludes",
                                "Print this help", "Display program version", " in ["}) {
      EXPECT_EQ(help.find(english), std::string::npos)
          << args[0] << ": " << english << "\n" << help;
    }
  }
  EXPECT_NE(Help({"convert", "--help"}).find("--split-limit ТЕКСТ (только вместе с --split-names)"),
            std::string::npos);
  EXPECT_NE(Help({"info", "--help"}).find("--feed-max ЧИСЛО=1200"), std::string::npos);
}

// A description beside its option starts in the same column on every line,
// however many bytes the letters before it take.
TEST(Help, DescriptionsStartInOneColumn) {
  for (const auto& args : kHelps) {
    std::istringstream lines(Help(args));
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("  -", 0) != 0) continue;
      const std::size_t gap = line.find("  ", 2);
      if (gap == std::string::npos) continue;  // the description on the next line
      const std::size_t description = line.find_first_not_of(' ', gap);
      EXPECT_EQ(DisplayWidth(line.substr(0, description)), 30u) << args[0] << ": " << line;
    }
  }
}

}  // namespace
}  // namespace h33
