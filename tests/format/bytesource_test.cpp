#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "bytesource.h"
#include "tempdir.h"

namespace h33 {
namespace {

TEST(FileSource, ReadsAFileWhole) {
  TempDir dir;
  const auto path = dir.Write("a.up", "N001\r\nN002");
  const auto source = FileSource::Open(path);
  ASSERT_TRUE(source);
  char buffer[64];
  EXPECT_EQ(source->Read(buffer, sizeof buffer), 10u);
  EXPECT_EQ(source->Read(buffer, sizeof buffer), 0u);
}

TEST(FileSource, RefusesWhatIsNoReadableFile) {
  TempDir dir;
  std::string reason;
  EXPECT_FALSE(FileSource::Open(dir / "missing.up", &reason));
  EXPECT_FALSE(reason.empty());
  reason.clear();
  EXPECT_FALSE(FileSource::Open(dir.Path(), &reason));
  EXPECT_FALSE(reason.empty());
}

}  // namespace
}  // namespace h33
