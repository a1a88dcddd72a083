#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/Kernel.h"

using qv::os::ansi;

namespace {

// UTF-8 bytes as the host names files.
std::string utf8(std::u8string_view s) { return std::string(reinterpret_cast<const char*>(s.data()), s.size()); }

std::string backslashed(std::string s) {
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

class PathsTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    c_ = hostPath("C");
    writeFile("C/Disc/INDEX.HTM", "<html>");
    writeFile("C/Mixed/readme.txt", "lower");
    writeFile("C/Mixed/README.TXT", "upper");
    writeFile("C/" + utf8(u8"Größe.txt"), "umlaut");
    writeFile("disc/AUTORUN.INF", "[autorun]");
    qv::desktop::profile().drives['D'] = hostPath("disc");
  }
  std::string c_;
};

TEST_F(PathsTest, PlatformPathsMapToHostFilesIgnoringCase) {
  const std::string z = "Z:" + backslashed(tempDir());
  struct Case {
    std::string path;
    std::optional<std::string> host;
  } cases[] = {
      {"C:\\disc\\index.htm", c_ + "/Disc/INDEX.HTM"},
      {"c:/DISC//Index.Htm", c_ + "/Disc/INDEX.HTM"},  // both separators, doubled, small drive letter
      {"C:\\disc\\..\\Disc\\.\\index.htm", c_ + "/Disc/INDEX.HTM"},
      {"C:\\Disc\\new file.txt", c_ + "/Disc/new file.txt"},  // a new name keeps its spelling
      {"C:\\disc\\NEW\\Sub\\x.TXT", c_ + "/Disc/NEW/Sub/x.TXT"},
      {"C:\\Mixed\\README.TXT", c_ + "/Mixed/README.TXT"},  // an exact match wins
      {"C:\\Mixed\\readme.txt", c_ + "/Mixed/readme.txt"},
      {"C:\\" + ansi(u8"GRÖßE.TXT"), c_ + "/" + utf8(u8"Größe.txt")},  // Windows-1252 case rules, UTF-8 host name
      {"D:\\autorun.inf", hostPath("disc/AUTORUN.INF")},               // a drive from the profile
      {"d:autorun.inf", hostPath("disc/AUTORUN.INF")},
      {z + "\\c\\DISC\\index.htm", c_ + "/Disc/INDEX.HTM"},    // Z: is the host root
      {hostPath("C/Disc/INDEX.HTM"), c_ + "/Disc/INDEX.HTM"},  // host absolute path as it is
      {"Z:\\", "/"},
      {"C:\\", c_},
      {"Q:\\file.txt", std::nullopt},  // unmapped drive
      {"", std::nullopt},
      {"C:\\a*b.txt", std::nullopt},
      {"C:\\a\"b", std::nullopt},
      {"\\\\server\\share\\x", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(qv::os::toHostPath(c.path), c.host) << c.path;
}

TEST_F(PathsTest, HostPathsGetTheirDriveLetter) {
  struct Case {
    std::string host, windows;
  } cases[] = {
      {c_ + "/Disc/INDEX.HTM", "C:\\Disc\\INDEX.HTM"},
      {c_, "C:\\"},
      {c_ + "/" + utf8(u8"Größe.txt"), "C:\\" + ansi(u8"Größe.txt")},
      {hostPath("disc/AUTORUN.INF"), "D:\\AUTORUN.INF"},
      {"/usr/bin/", "Z:\\usr\\bin"},
      {"/", "Z:\\"},
      {hostPath("elsewhere/x"), "Z:" + backslashed(tempDir()) + "\\elsewhere\\x"},
  };
  for (const auto& c : cases) EXPECT_EQ(qv::os::toWindowsPath(c.host), c.windows) << c.host;
}

TEST_F(PathsTest, AFolderIsNoFile) {
  EXPECT_FALSE(qv::os::fileExists("C:\\Disc"));
  EXPECT_TRUE(qv::os::directoryExists("c:\\disc\\"));
  EXPECT_TRUE(qv::os::fileExists("C:\\DISC\\index.htm"));
  EXPECT_FALSE(qv::os::directoryExists("C:\\DISC\\index.htm"));
  EXPECT_FALSE(qv::os::fileExists("C:\\Disc\\index.htm\\"));
  EXPECT_EQ(GetFileAttributesA("C:\\disc") & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(CreateFileA("C:\\disc", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(PathsTest, RelativePathsCountFromTheCurrentDirectory) {
  ASSERT_TRUE(SetCurrentDirectoryA("c:\\DISC"));
  EXPECT_EQ(qv::os::currentDirectory(), "C:\\DISC");
  EXPECT_EQ(qv::os::toHostPath("index.htm"), c_ + "/Disc/INDEX.HTM");
  EXPECT_EQ(qv::os::toHostPath("\\Mixed\\README.TXT"), c_ + "/Mixed/README.TXT");

  struct Case {
    std::string in, full;
  } cases[] = {
      {"index.htm", "C:\\DISC\\index.htm"},
      {"..\\WINDOWS", "C:\\WINDOWS"},
      {"\\x\\y", "C:\\x\\y"},
      {"C:z", "C:\\DISC\\z"},            // the current directory of its drive
      {"D:y", "D:\\y"},                  // another drive: its root
      {"C:\\a\\b.\\c ", "C:\\a\\b\\c"},  // trailing dots and blanks dropped
      {"C:\\dir\\", "C:\\dir\\"},
      {"C:\\..\\..\\x", "C:\\x"},
      {"/usr", "Z:\\usr"},
  };
  char buf[MAX_PATH];
  for (const auto& c : cases) {
    LPSTR part = nullptr;
    DWORD n = GetFullPathNameA(c.in.c_str(), MAX_PATH, buf, &part);
    EXPECT_EQ(std::string(buf), c.full) << c.in;
    EXPECT_EQ(n, c.full.size()) << c.in;
    if (c.full.back() == '\\')
      EXPECT_EQ(part, nullptr) << c.in;
    else
      EXPECT_STREQ(part, c.full.substr(c.full.rfind('\\') + 1).c_str()) << c.in;
  }
  // Too small a buffer: the size needed, terminator included.
  EXPECT_EQ(GetFullPathNameA("index.htm", 5, buf, nullptr), std::string("C:\\DISC\\index.htm").size() + 1);

  EXPECT_FALSE(SetCurrentDirectoryA("C:\\Disc\\INDEX.HTM"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
  EXPECT_FALSE(SetCurrentDirectoryA("C:\\missing"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(qv::os::currentDirectory(), "C:\\DISC");
}

TEST_F(PathsTest, SystemFoldersAreOnDriveC) {
  char buf[MAX_PATH];
  EXPECT_EQ(GetWindowsDirectoryA(buf, MAX_PATH), 10u);
  EXPECT_STREQ(buf, "C:\\WINDOWS");
  EXPECT_EQ(GetSystemDirectoryA(buf, MAX_PATH), 19u);
  EXPECT_STREQ(buf, "C:\\WINDOWS\\system32");
  EXPECT_EQ(GetWindowsDirectoryA(buf, 10), 11u);  // no room for the terminator

  const std::string temp = "C:\\Documents and Settings\\User\\Local Settings\\Temp\\";
  EXPECT_EQ(GetTempPathA(MAX_PATH, buf), temp.size());
  EXPECT_EQ(std::string(buf), temp);
  EXPECT_TRUE(qv::os::directoryExists(temp));
}

TEST_F(PathsTest, TempFileNamesCountUpFromTheTickCountAndMakeTheFile) {
  char buf[MAX_PATH];
  const std::string temp = "C:\\Documents and Settings\\User\\Local Settings\\Temp\\";
  qv::desktop::Clock::useVirtual(0x51A2B);  // only the low word counts

  EXPECT_EQ(GetTempFileNameA(temp.c_str(), "~", 0, buf), 0x1A2Bu);
  EXPECT_EQ(std::string(buf), temp + "~1A2B.tmp");
  auto host = qv::os::toHostPath(buf);
  ASSERT_TRUE(host);
  struct stat sb;
  ASSERT_EQ(stat(host->c_str(), &sb), 0);
  EXPECT_EQ(sb.st_size, 0);

  EXPECT_EQ(GetTempFileNameA(temp.c_str(), "~", 0, buf), 0x1A2Cu);  // the first one is taken
  EXPECT_EQ(std::string(buf), temp + "~1A2C.tmp");

  // No trailing backslash, a prefix cut to three characters.
  EXPECT_EQ(GetTempFileNameA("C:\\WINDOWS", "qvlaunch", 0, buf), 0x1A2Bu);
  EXPECT_STREQ(buf, "C:\\WINDOWS\\qvl1A2B.tmp");

  // A number given: only the name, no file.
  EXPECT_EQ(GetTempFileNameA(temp.c_str(), "~", 0x12345, buf), 0x2345u);
  EXPECT_EQ(std::string(buf), temp + "~2345.tmp");
  EXPECT_FALSE(qv::os::fileExists(buf));

  // Number 0 is never used.
  qv::desktop::Clock::useVirtual(0x20000);
  EXPECT_EQ(GetTempFileNameA(temp.c_str(), "~", 0, buf), 1u);
  EXPECT_EQ(std::string(buf), temp + "~0001.tmp");

  EXPECT_EQ(GetTempFileNameA("C:\\no such folder", "~", 0, buf), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
}

TEST(CommandLine, SplitsByTheRuntimeRules) {
  struct Case {
    std::string text;
    std::vector<std::string> args;
  } cases[] = {
      {"prog a b", {"prog", "a", "b"}},
      {"\"C:\\Program Files\\q.exe\" x", {"C:\\Program Files\\q.exe", "x"}},
      {"C:\\dir\\q.exe \"a b\"  c", {"C:\\dir\\q.exe", "a b", "c"}},
      {"p \"abc\" d e", {"p", "abc", "d", "e"}},
      {"p a\\\\b d\"e f\"g h", {"p", "a\\\\b", "de fg", "h"}},  // backslashes alone are plain
      {"p a\\\\\\\"b c d", {"p", "a\\\"b", "c", "d"}},          // 2n+1 backslashes: n and a quote
      {"p a\\\\\\\\\"b c\" d e", {"p", "a\\\\b c", "d", "e"}},  // 2n backslashes: n, the quote groups
      {"p a\"b\"\" c d", {"p", "ab\" c d"}},                    // "" inside quotes is a quote
      {"p \"\" x", {"p", "", "x"}},
      {"  p  \t x  ", {"p", "x"}},
      {"\"C:\\a b\\\" x", {"C:\\a b\\", "x"}},  // the program name knows no escapes
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(qv::os::splitCommandLine(c.text), c.args) << c.text;
}

TEST_F(PathsTest, TheCommandLineQuotesWhatNeedsIt) {
  std::string prog = hostPath("C/Program Files/qv.exe");
  std::string umlaut = utf8(u8"Größe");
  std::vector<std::string> storage{prog, "plain", "with space", "quo\"te", "", umlaut};
  std::vector<char*> argv;
  for (auto& s : storage) argv.push_back(s.data());
  qv::os::setCommandLine(static_cast<int>(argv.size()), argv.data());
  const std::string expected =
      "\"C:\\Program Files\\qv.exe\" plain \"with space\" \"quo\\\"te\" \"\" " + ansi(u8"Größe");
  EXPECT_EQ(std::string(GetCommandLineA()), expected);
  EXPECT_EQ(
      qv::os::splitCommandLine(GetCommandLineA()),
      (std::vector<std::string>{"C:\\Program Files\\qv.exe", "plain", "with space", "quo\"te", "", ansi(u8"Größe")}));
  qv::os::setCommandLineText("x.exe y");
  EXPECT_STREQ(GetCommandLineA(), "x.exe y");
}

}  // namespace
