#include <cstdlib>
#include <string>

#include "DesktopTest.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/Kernel.h"

namespace {

using qv::desktop::profile;

class LocaleTest : public qvtest::DesktopTest {
 protected:
  static std::string info(LCID lcid, LCTYPE type) {
    char buf[64] = {};
    int n = GetLocaleInfoA(lcid, type, buf, sizeof buf);
    return n ? std::string(buf) : "<error " + std::to_string(GetLastError()) + ">";
  }
};

TEST_F(LocaleTest, LocaleValuesForTheDefaultsAndByLocaleId) {
  struct Case {
    LCID lcid;
    LCTYPE type;
    std::string value;
  } cases[] = {
      {LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, "DE"},
      {LOCALE_USER_DEFAULT, LOCALE_IMEASURE, "0"},
      {LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, "DEU"},
      {LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ","},
      {LOCALE_SYSTEM_DEFAULT, LOCALE_SENGLANGUAGE, "German"},
      {1031, LOCALE_SISO3166CTRYNAME, "DE"},
      {1033, LOCALE_SABBREVLANGNAME, "ENU"},
      {1033, LOCALE_SISO3166CTRYNAME, "US"},
      {1033, LOCALE_IMEASURE, "1"},
      {1033, LOCALE_SDECIMAL, "."},
      {1033, LOCALE_SENGLANGUAGE, "English"},
      {2055, LOCALE_SISO3166CTRYNAME, "CH"},
      {3079, LOCALE_SABBREVLANGNAME, "DEA"},
      {MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL), LOCALE_SISO3166CTRYNAME, "DE"},  // the language's default
      {MAKELCID(1033, SORT_DEFAULT), LOCALE_SISO639LANGNAME, "en"},
      {0x1234, LOCALE_SISO3166CTRYNAME, "<error 87>"},
      {1031, 0x7777, "<error 1004>"},
  };
  for (const auto& c : cases) EXPECT_EQ(info(c.lcid, c.type), c.value) << c.lcid << " " << c.type;
}

TEST_F(LocaleTest, LengthQueryAndTooSmallABuffer) {
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, nullptr, 0), 3);  // with the terminator
  char buf[3];
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, buf, 2), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME, buf, 3), 3);
  EXPECT_STREQ(buf, "DE");
}

TEST_F(LocaleTest, TheProfileIsTheUsersLocale) {
  EXPECT_EQ(GetUserDefaultLangID(), 1031);
  EXPECT_EQ(GetUserDefaultLCID(), 1031u);
  // A user setting applies to the user's locale, unless its defaults are asked for.
  profile().measure = "1";
  EXPECT_EQ(info(LOCALE_USER_DEFAULT, LOCALE_IMEASURE), "1");
  EXPECT_EQ(info(LOCALE_USER_DEFAULT, LOCALE_IMEASURE | LOCALE_NOUSEROVERRIDE), "0");
  EXPECT_EQ(info(1033, LOCALE_IMEASURE), "1");
  // Switching only the id gives that locale's values.
  profile().measure = qv::desktop::Profile{}.measure;
  profile().langId = 1033;
  profile().lcid = 1033;
  EXPECT_EQ(GetUserDefaultLangID(), 1033);
  EXPECT_EQ(info(LOCALE_USER_DEFAULT, LOCALE_SISO3166CTRYNAME), "US");
  EXPECT_EQ(info(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME), "ENU");
}

TEST_F(LocaleTest, VersionFromTheProfileBySize) {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  ASSERT_TRUE(GetVersionExA(&v));
  EXPECT_EQ(v.dwMajorVersion, 5u);
  EXPECT_EQ(v.dwMinorVersion, 1u);
  EXPECT_EQ(v.dwBuildNumber, 2600u);
  EXPECT_EQ(v.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_STREQ(v.szCSDVersion, "Service Pack 2");
  EXPECT_EQ(sizeof(OSVERSIONINFOA), 148u);
  EXPECT_EQ(sizeof(OSVERSIONINFOEXA), 156u);

  OSVERSIONINFOEXA ex{};
  ex.dwOSVersionInfoSize = sizeof ex;
  profile().osMajor = 6;
  profile().osMinor = 0;
  ASSERT_TRUE(GetVersionExA(&ex));
  EXPECT_EQ(ex.dwMajorVersion, 6u);
  EXPECT_EQ(ex.wServicePackMajor, 2);
  EXPECT_EQ(ex.wProductType, VER_NT_WORKSTATION);

  v.dwOSVersionInfoSize = sizeof v - 1;
  EXPECT_FALSE(GetVersionExA(&v));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(LocaleTest, TicksAndSleepRunOnTheVirtualClock) {
  EXPECT_EQ(GetTickCount(), 0u);
  Sleep(250);
  EXPECT_EQ(GetTickCount(), 250u);
  EXPECT_EQ(qv::desktop::Clock::now(), 250u);
  qv::desktop::Clock::useVirtual(0x100000005ull);  // 49.7 days later it wraps
  EXPECT_EQ(GetTickCount(), 5u);
}

TEST_F(LocaleTest, EnvironmentDescribesTheDesktop) {
  char buf[MAX_PATH];
  EXPECT_EQ(GetEnvironmentVariableA("windir", buf, MAX_PATH), 10u);
  EXPECT_STREQ(buf, "C:\\WINDOWS");
  EXPECT_GT(GetEnvironmentVariableA("TEMP", buf, MAX_PATH), 0u);
  EXPECT_STREQ(buf, "C:\\Documents and Settings\\User\\Local Settings\\Temp");
  setenv("QV_KERNEL_TEST_VAR", "abc", 1);
  EXPECT_EQ(GetEnvironmentVariableA("qv_kernel_test_var", buf, 3), 4u);  // too small: the size needed
  EXPECT_EQ(GetEnvironmentVariableA("qv_kernel_test_var", buf, 4), 3u);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(GetEnvironmentVariableA("QV_NO_SUCH_VARIABLE", buf, MAX_PATH), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND));
  // Setting keeps the existing name's case; a null value removes it.
  EXPECT_TRUE(SetEnvironmentVariableA("qv_kernel_test_var", "xyz"));
  EXPECT_STREQ(getenv("QV_KERNEL_TEST_VAR"), "xyz");
  EXPECT_TRUE(SetEnvironmentVariableA("QV_KERNEL_TEST_VAR", nullptr));
  EXPECT_EQ(GetEnvironmentVariableA("QV_KERNEL_TEST_VAR", buf, MAX_PATH), 0u);
  EXPECT_FALSE(SetEnvironmentVariableA("A=B", "x"));
}

}  // namespace
