// Devices are no program files, whatever their name or type.

#include "format/devicename.h"

#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "format/bytesource.h"
#include "tempdir.h"

namespace h33 {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kNullDevice = "NUL";
#else
constexpr const char* kNullDevice = "/dev/null";
#endif

TEST(DeviceInput, DevicesAreRefusedFilesAndPipesAreNot) {
  TempDir dir;
  EXPECT_STREQ(DeviceInput(kNullDevice), kNotRegularInput);
#ifdef _WIN32
  for (const char* name : {"nul", "Nul.up", "COM1", "com3.txt", "LPT1", "CON", "CONIN$",
                           R"(\\.\COM1)", R"(\\.\pipe\h33)"}) {
    EXPECT_STREQ(DeviceInput(name), kNotRegularInput) << name;
  }
  // Names that only look alike are files.
  for (const char* name : {"console.up", "com10.up", "nul-x.up"}) {
    EXPECT_EQ(DeviceInput(dir.Write(name, "%\r\n")), nullptr) << name;
  }
#else
  EXPECT_STREQ(DeviceInput("/dev/zero"), kNotRegularInput);
  // A FIFO is read once into a copy; "NUL" is a name like any other here.
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(DeviceInput(dir / "fifo"), nullptr);
  EXPECT_EQ(DeviceInput(dir.Write("NUL", "%\r\n")), nullptr);
#endif
  EXPECT_EQ(DeviceInput(dir.Write("p.up", "%\r\n")), nullptr);
  EXPECT_EQ(DeviceInput(dir.Path()), nullptr);
  EXPECT_EQ(DeviceInput(dir / "missing.up"), nullptr);
}

// Every reader opens through FileSource: it refuses a device before opening
// it, since a serial port's open may wait for its line.
TEST(DeviceInput, AFileSourceRefusesADeviceWithTheReason) {
  std::string reason;
  EXPECT_FALSE(FileSource::Open(kNullDevice, &reason));
  EXPECT_EQ(reason, kNotRegularInput);
}

}  // namespace
}  // namespace h33
