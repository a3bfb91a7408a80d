#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "format/bytesource.h"
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

TEST(FileSource, AFileCutShortWhileItIsReadIsAnError) {
  TempDir dir;
  const auto path = dir.Write("a.up", std::string(100000, 'x'));
  const auto source = FileSource::Open(path);
  std::string buffer(16384, '\0');
  EXPECT_EQ(source->Read(buffer.data(), buffer.size()), buffer.size());
  std::filesystem::resize_file(path, 20000);
  EXPECT_THROW(
      while (source->Read(buffer.data(), buffer.size()) > 0) {}, IoError);
  // Reading on from a place further in ends without complaint.
  const auto resumed = FileSource::Open(path);
  resumed->Seek(19000);
  EXPECT_EQ(resumed->Read(buffer.data(), buffer.size()), 1000u);
  EXPECT_EQ(resumed->Read(buffer.data(), buffer.size()), 0u);
  // A file that grows is read to its end.
  const auto growing = FileSource::Open(dir.Write("b.up", "N001\n"));
  std::ofstream(dir / "b.up", std::ios::binary | std::ios::app) << "N002\n";
  EXPECT_EQ(growing->Read(buffer.data(), buffer.size()), 10u);
  EXPECT_EQ(growing->Read(buffer.data(), buffer.size()), 0u);
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
