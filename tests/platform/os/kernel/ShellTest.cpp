#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Kernel.h"
#include "platform/os/kernel/Registry.h"

namespace {

using qv::desktop::Recorder;
using Fields = std::vector<std::string>;

class ShellTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    writeFile("C/disc/INDEX.HTM", "<html>");
    writeFile("C/disc/manual.pdf", "%PDF");
    writeFile("C/disc/intro.wav", "RIFF");
    writeFile("C/disc/media/clip.avi", "RIFF");
  }
  std::string child() const { return qv::os::toWindowsPath(std::string(QV_TESTBIN) + "/prog_kernel_child"); }
  static int shell(const char* verb, const char* file, const char* params = nullptr, const char* dir = nullptr) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, verb, file, params, dir, SW_SHOW)));
  }
};

TEST_F(ShellTest, DocumentsAndUrlsAreRecordedWithThePlatformsResult) {
  struct Case {
    const char* verb;
    const char* file;
    const char* dir;
    int result;
  } cases[] = {
      {"open", "C:\\disc\\index.htm", nullptr, 42},
      {nullptr, "index.htm", "C:\\DISC", 42},  // relative to the folder given
      {"open", "http://www.example.com/", nullptr, 42},
      {"open", "mailto:info@example.com", nullptr, 42},
      {"play", "C:\\disc\\intro.wav", nullptr, 42},
      {"open", "C:\\disc\\media", nullptr, 42},  // a folder opens in a window
      {"open", "C:\\disc\\manual.pdf", nullptr, SE_ERR_NOASSOC},
      {"play", "C:\\disc\\index.htm", nullptr, SE_ERR_NOASSOC},
      {"open", "foo:bar", nullptr, SE_ERR_NOASSOC},
      {"open", "C:\\disc\\missing.htm", nullptr, SE_ERR_FNF},
      {"open", "C:\\nodir\\x.htm", nullptr, SE_ERR_PNF},
      {"open", "", nullptr, SE_ERR_FNF},
  };
  for (const auto& c : cases) EXPECT_EQ(shell(c.verb, c.file, nullptr, c.dir), c.result) << c.file;
  auto events = Recorder::eventsOf("shell");
  ASSERT_EQ(events.size(), std::size(cases));
  EXPECT_EQ(events[0].line(), "shell\topen\tC:\\\\disc\\\\index.htm\t\t\t5\t42");
  EXPECT_EQ(events[1].fields, (Fields{"", "index.htm", "", "C:\\DISC", "5", "42"}));
  EXPECT_TRUE(Recorder::eventsOf("exec").empty());  // no desktop: nothing started
}

TEST_F(ShellTest, TheRegistryGivesADocumentTypeItsVerbs) {
  HKEY k;
  ASSERT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, ".pdf", &k), ERROR_SUCCESS);
  const char progId[] = "AcroExch.Document";
  RegSetValueEx(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(progId), sizeof progId);
  RegCloseKey(k);
  ASSERT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, "AcroExch.Document\\shell\\open\\command", &k), ERROR_SUCCESS);
  RegCloseKey(k);
  EXPECT_EQ(shell("open", "C:\\disc\\manual.pdf"), 42);
  EXPECT_EQ(shell("print", "C:\\disc\\manual.pdf"), SE_ERR_NOASSOC);
}

TEST_F(ShellTest, ProgramsReallyStartInTheFolderGiven) {
  const std::string report = hostPath("report.txt");
  const std::string params = "report " + report + " \"a b\"";
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = "open";
  const std::string file = child();
  info.lpFile = file.c_str();
  info.lpParameters = params.c_str();
  info.lpDirectory = "C:\\WINDOWS\\system32";
  info.nShow = SW_SHOW;
  ASSERT_TRUE(ShellExecuteExA(&info));
  EXPECT_GT(reinterpret_cast<INT_PTR>(info.hInstApp), 32);
  ASSERT_NE(info.hProcess, nullptr);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 20000), WAIT_OBJECT_0);
  CloseHandle(info.hProcess);
  const std::string cmd = "\"" + file + "\" " + params;
  EXPECT_EQ(readFile(report), cmd + "\n[a b]\ncwd=C:\\WINDOWS\\system32\n");
  ASSERT_EQ(Recorder::eventsOf("exec").size(), 1u);
  EXPECT_EQ(Recorder::eventsOf("exec")[0].fields, Fields{cmd});

  writeFile("C/fake.exe", "MZ");
  EXPECT_EQ(shell("open", "C:\\fake.exe"), ERROR_BAD_FORMAT);
  EXPECT_EQ(shell("play", file.c_str()), SE_ERR_NOASSOC);
}

TEST_F(ShellTest, FileOperationCopiesFilesPatternsAndFolders) {
  auto copy = [](const char* from, const char* to, FILEOP_FLAGS flags) {
    // Each list ends with an extra NUL.
    std::string f = std::string(from) + '\0', t = std::string(to) + '\0';
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_COPY;
    op.pFrom = f.c_str();
    op.pTo = t.c_str();
    op.fFlags = flags;
    return SHFileOperationA(&op);
  };
  // One file to a new name; missing folders are made.
  EXPECT_EQ(copy("C:\\disc\\index.htm", "C:\\out\\new\\start.htm", FOF_NOCONFIRMATION | FOF_SIMPLEPROGRESS), 0);
  EXPECT_EQ(readFile(hostPath("C/out/new/start.htm")), "<html>");
  // Into an existing folder, by pattern, and a whole folder.
  EXPECT_EQ(copy("C:\\disc\\*.wav", "C:\\out", 0), 0);
  EXPECT_TRUE(qv::os::fileExists("C:\\out\\intro.wav"));
  EXPECT_EQ(copy("C:\\disc\\media", "C:\\out", 0), 0);
  EXPECT_TRUE(qv::os::fileExists("C:\\out\\media\\clip.avi"));
  EXPECT_TRUE(Recorder::eventsOf("shellconfirm").empty());

  // Replacing asks first, unless told not to; the script answers.
  writeFile("C/out/start.htm", "old");
  Recorder::pushAnswer("shellconfirm", "no");
  EXPECT_EQ(copy("C:\\disc\\index.htm", "C:\\out\\start.htm", 0), 0);
  EXPECT_EQ(readFile(hostPath("C/out/start.htm")), "old");
  EXPECT_EQ(copy("C:\\disc\\index.htm", "C:\\out\\start.htm", 0), 0);  // no answer scripted: yes
  EXPECT_EQ(readFile(hostPath("C/out/start.htm")), "<html>");
  auto asked = Recorder::eventsOf("shellconfirm");
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].fields, (Fields{"replace", "C:\\out\\start.htm", "no"}));
  EXPECT_EQ(asked[1].fields[2], "yes");
  writeFile("C/out/start.htm", "old");
  EXPECT_EQ(copy("C:\\disc\\index.htm", "C:\\out\\start.htm", FOF_NOCONFIRMATION), 0);
  EXPECT_EQ(readFile(hostPath("C/out/start.htm")), "<html>");
  EXPECT_EQ(Recorder::eventsOf("shellconfirm").size(), 2u);

  // A copy that fails is reported by the shell, unless told not to.
  EXPECT_NE(copy("C:\\disc\\missing.htm", "C:\\out\\x.htm", FOF_NOCONFIRMATION), 0);
  EXPECT_FALSE(qv::os::fileExists("C:\\out\\x.htm"));
  EXPECT_NE(copy("C:\\disc\\missing.htm", "C:\\out\\x.htm", FOF_NOERRORUI), 0);
  auto reported = Recorder::eventsOf("shellerror");
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].fields, (Fields{"copy", "C:\\disc\\missing.htm", std::to_string(ERROR_FILE_NOT_FOUND)}));
}

TEST_F(ShellTest, SpecialFoldersAreOnDriveCAndExist) {
  struct Case {
    int csidl;
    std::string path;
  } cases[] = {
      {CSIDL_PERSONAL, "C:\\Documents and Settings\\User\\My Documents"},
      {CSIDL_DESKTOPDIRECTORY, "C:\\Documents and Settings\\User\\Desktop"},
      {CSIDL_APPDATA, "C:\\Documents and Settings\\User\\Application Data"},
      {CSIDL_WINDOWS, "C:\\WINDOWS"},
      {CSIDL_SYSTEM, "C:\\WINDOWS\\system32"},
      {CSIDL_PROGRAM_FILES, "C:\\Program Files"},
  };
  char buf[MAX_PATH];
  for (const auto& c : cases) {
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, buf, c.csidl, FALSE)) << c.csidl;
    EXPECT_EQ(std::string(buf), c.path);
    EXPECT_TRUE(qv::os::directoryExists(buf)) << buf;
    EXPECT_EQ(SHGetFolderPathA(nullptr, c.csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buf), S_OK);
    EXPECT_EQ(std::string(buf), c.path);
  }
  // Through an item id list, as the shell hands folders out.
  LPITEMIDLIST list = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &list), S_OK);
  ASSERT_TRUE(SHGetPathFromIDListA(list, buf));
  EXPECT_STREQ(buf, "C:\\Documents and Settings\\User\\My Documents");
  ILFree(list);
  const BYTE empty[4] = {};
  EXPECT_FALSE(SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(empty), buf));

  EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, buf, 0x7F, FALSE));
  EXPECT_EQ(SHGetFolderPathA(nullptr, 0x7F, nullptr, 0, buf), E_INVALIDARG);
}

TEST_F(ShellTest, SoundsAreRecordedAndMissingFilesFallBackToTheDefault) {
  const DWORD intro = SND_FILENAME | SND_NODEFAULT | SND_ASYNC | SND_NOWAIT;
  EXPECT_TRUE(PlaySoundA("C:\\disc\\INTRO.WAV", nullptr, intro));
  EXPECT_TRUE(PlaySoundA("C:\\disc\\intro.wav", nullptr, intro | SND_LOOP));
  EXPECT_FALSE(PlaySoundA("C:\\disc\\missing.wav", nullptr, intro));
  EXPECT_TRUE(PlaySoundA("C:\\disc\\missing.wav", nullptr, SND_FILENAME | SND_ASYNC));  // the default sound plays
  EXPECT_TRUE(PlaySoundA(nullptr, nullptr, SND_ASYNC));
  EXPECT_TRUE(sndPlaySoundA("C:\\disc\\intro.wav", SND_ASYNC));
  EXPECT_FALSE(sndPlaySoundA("C:\\disc\\missing.wav", SND_ASYNC | SND_NODEFAULT));
  EXPECT_TRUE(sndPlaySoundA(nullptr, 0));
  EXPECT_TRUE(PlaySoundA("SystemAsterisk", nullptr, SND_ALIAS | SND_NODEFAULT));
  EXPECT_FALSE(PlaySoundA("NoSuchEvent", nullptr, SND_ALIAS | SND_NODEFAULT));
  std::vector<std::string> lines;
  for (const auto& e : Recorder::eventsOf("sound")) lines.push_back(e.line());
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "sound\tC:\\\\disc\\\\INTRO.WAV\t0x22003",
                       "sound\tC:\\\\disc\\\\intro.wav\t0x2200B",
                       "sound\tC:\\\\disc\\\\missing.wav\t0x22003",
                       "sound\tC:\\\\disc\\\\missing.wav\t0x20001",
                       "sound\t\t0x1",
                       "sound\tC:\\\\disc\\\\intro.wav\t0x1",
                       "sound\tC:\\\\disc\\\\missing.wav\t0x3",
                       "sound\t\t0x0",
                       "sound\tSystemAsterisk\t0x10002",
                       "sound\tNoSuchEvent\t0x10002",
                   }));
}

}  // namespace
