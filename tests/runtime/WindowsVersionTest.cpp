// The Windows version classes, one row per reported version.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "runtime/windowsversion.h"

namespace {

class WindowsVersionTest : public qvtest::DesktopTest {};

struct Case {
  std::uint32_t platform, major, minor, build;
  const char* service;
  int expected;
};

TEST_F(WindowsVersionTest, ClassifiesReportedVersions) {
  const Case cases[] = {
      {1, 4, 0, 950, "", 1},       // 95
      {1, 4, 0, 950, " A ", 1},    // 95 with another letter
      {1, 4, 0, 1111, " B ", 2},   // 95 OSR2
      {1, 4, 0, 1111, "B", 1},     // the letter must be the second character
      {1, 4, 10, 1998, " ", 3},    // 98
      {1, 4, 10, 1998, " b", 3},   // letters compare exactly
      {1, 4, 10, 2222, " A ", 4},  // 98 SE
      // The 9x family reports 0x04 5A 0BB8 for Me 4.90.3000.
      {1, 4, 90, 3000, "", 5},               // Me
      {1, 4, 90, 2222, "", 0},               // 4.90 with another build
      {1, 5, 90, 3000, "", 0},               // another major in the build number
      {1, 4, 20, 0, "", 0},                  // an unknown 9x minor
      {2, 3, 51, 1057, "", 6},               // NT 3.51
      {2, 4, 0, 1381, "Service Pack 6", 7},  // NT 4
      {2, 5, 0, 2195, "", 8},                // 2000
      {2, 5, 1, 2600, "Service Pack 2", 9},  // XP
      {2, 5, 2, 3790, "", 10},               // Server 2003
      {2, 5, 3, 0, "", 0},
      {2, 6, 0, 6000, "", 11},  // Vista
      {2, 6, 1, 7601, "", 11},  // 7 reports 6.1
      {2, 6, 3, 9600, "", 11},
      {2, 7, 0, 0, "", 0},
      {2, 10, 0, 19045, "", 0},
      {0, 3, 10, 0, "", 0},  // Win32s
      {3, 5, 1, 0, "", 0},   // another platform
  };
  for (const Case& c : cases) {
    auto& p = qv::desktop::profile();
    p.osPlatformId = c.platform;
    p.osMajor = c.major;
    p.osMinor = c.minor;
    p.osBuild = c.build;
    p.osCsdVersion = c.service;
    EXPECT_EQ(GetWindowsVersion(), c.expected) << "platform " << c.platform << ", " << c.major << "." << c.minor
                                               << " build " << c.build << " \"" << c.service << "\"";
  }
}

}  // namespace
