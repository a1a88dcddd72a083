// The settings file as the runtime reads it: every key's default and a
// value of its own, and the reading rules beyond the class library's INI
// semantics (button folder, window size in pixels or percent, windowwith,
// file keys joined to the settings folder), also from files of other
// AutoPlay tools.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RuntimeFixture.h"
#include "platform/classlib/Forms.h"
#include "runtime/Browser.h"

namespace {

class SettingsTest : public qvtest::RuntimeTest {
 protected:
  void TearDown() override {
    window.reset();
    qvtest::RuntimeTest::TearDown();
  }
  // Makes the main window (its creation handler runs) and reads the
  // settings as the start-up does.
  bool read(const std::string& arguments = "") {
    setProgram(programPath(), arguments);
    window.reset(qv::classlib::newForm<TBrowserWindow>(nullptr));
    return window->ReadSettings();
  }
  // Every field the settings fill, as text.
  std::map<std::string, std::string> fields() const {
    const TBrowserWindow& w = *window;
    auto b = [](bool v) { return std::string(v ? "1" : "0"); };
    return {
        {"SingleInstance", b(w.SingleInstance)},
        {"SplashDuration", std::to_string(w.SplashDuration)},
        {"IconFile", w.IconFile},
        {"WindowCaption", w.WindowCaption},
        {"AppCaption", w.AppCaption},
        {"DropShadow", b(w.DropShadow)},
        {"StartPage", w.StartPage},
        {"AltStartPage", w.AltStartPage},
        {"UseLanguageStartPage", b(w.UseLanguageStartPage)},
        {"IntroMusic", w.IntroMusic},
        {"LoopMusic", b(w.LoopMusic)},
        {"StopMusicOnClick", b(w.StopMusicOnClick)},
        {"BorderStyleText", w.BorderStyleText},
        {"Skin", w.Skin},
        {"SkinPosition", w.SkinPosition},
        {"ToolbarButtons", w.ToolbarButtons},
        {"ToolbarColor", std::to_string(static_cast<std::uint32_t>(w.ToolbarColor))},
        {"ButtonDir", w.ButtonDir},
        {"FullScreenMode", b(w.FullScreenMode)},
        {"WindowPosition", w.WindowPosition},
        {"WindowHeight", std::to_string(w.WindowHeight)},
        {"WindowWidth", std::to_string(w.WindowWidth)},
        {"SizeInPercent", b(w.SizeInPercent)},
        {"HideSplashScreen", b(w.HideSplashScreen)},
        {"FadeIn", std::to_string(w.FadeIn)},
        {"ContextMenu", w.ContextMenu},
        {"DefaultCursor", b(w.DefaultCursor)},
        {"NoScrollBars", b(w.NoScrollBars)},
        {"Requirements", w.Requirements},
        {"ExecuteExt", w.ExecuteExt},
        {"ForceOfflineMode", b(w.ForceOfflineMode)},
        {"InternalPopups", b(w.InternalPopups)},
        {"DisableScriptErrors", b(w.DisableScriptErrors)},
        {"HideHeaderFooter", b(w.HideHeaderFooter)},
        {"ShowStatusBar", b(w.ShowStatusBar)},
        {"SearchActive", b(w.SearchActive)},
        {"SearchIndexPath", w.SearchIndexPath},
        {"ResultTemplatePath", w.ResultTemplatePath},
    };
  }

  std::unique_ptr<TBrowserWindow> window;
};

// One key of the settings: where it is, a value that is not the default,
// the field it fills, and what that field holds without the key and with
// the value ("{dir}" is the settings folder).
struct KeyCase {
  const char* section;
  const char* key;
  const char* value;
  const char* field;
  const char* byDefault;
  const char* read;
};

const KeyCase kKeys[] = {
    {"quorvel", "singleinstance", "1", "SingleInstance", "0", "1"},
    {"quorvel", "splashscreentime", "5", "SplashDuration", "2", "5"},
    {"autorun", "icon", "disc.ico", "IconFile", "", "disc.ico"},
    {"quorvel", "windowcaption", "Disc menu", "WindowCaption", "", "Disc menu"},
    {"quorvel", "appcaption", "Disc", "AppCaption", "", "Disc"},
    {"quorvel", "dropshadow", "1", "DropShadow", "0", "1"},
    {"quorvel", "startpage", "index.html", "StartPage", "", "DE\\index.html"},
    {"quorvel", "altstartpage", "alt.html", "AltStartPage", "", "alt.html"},
    {"quorvel", "uselanguagestartpage", "1", "UseLanguageStartPage", "0", "1"},
    {"quorvel", "intromusic", "intro.wav", "IntroMusic", "", "intro.wav"},
    {"quorvel", "loopmusic", "1", "LoopMusic", "0", "1"},
    {"quorvel", "stopmusiconclick", "1", "StopMusicOnClick", "0", "1"},
    {"quorvel", "borderstyle", "dialog", "BorderStyleText", "window", "dialog"},
    {"quorvel", "skin", "skin.bmp", "Skin", "", "skin.bmp"},
    {"quorvel", "skinposition", "10,20,300,200", "SkinPosition", "0,0,100,100", "10,20,300,200"},
    {"quorvel", "toolbar", "exit,print", "ToolbarButtons", "", "exit,print"},
    {"quorvel", "toolbarcolor", "0x00FF8000", "ToolbarColor", "4278190095", "16744448"},
    {"quorvel", "buttondir", "images", "ButtonDir", "buttons\\", "images\\"},
    {"quorvel", "fullscreen", "1", "FullScreenMode", "0", "1"},
    {"quorvel", "windowposition", "10,20", "WindowPosition", "center", "10,20"},
    {"quorvel", "windowheight", "480", "WindowHeight", "600", "480"},
    {"quorvel", "windowwidth", "640", "WindowWidth", "400", "640"},
    {"quorvel", "hidesplashscreen", "1", "HideSplashScreen", "0", "1"},
    {"quorvel", "fadein", "1", "FadeIn", "0", "1"},
    {"quorvel", "contextmenu", "simple", "ContextMenu", "none", "simple"},
    {"quorvel", "defaultcursor", "0", "DefaultCursor", "1", "0"},
    {"quorvel", "noscrollbars", "0", "NoScrollBars", "1", "0"},
    {"quorvel", "requirements", "check,more.dll", "Requirements", "", "check,more.dll"},
    {"quorvel", "executeext", "exe,pdf", "ExecuteExt", "exe", "exe,pdf"},
    {"quorvel", "forceofflinemode", "1", "ForceOfflineMode", "0", "1"},
    {"quorvel", "internalpopups", "0", "InternalPopups", "1", "0"},
    {"quorvel", "disablescripterrors", "1", "DisableScriptErrors", "0", "1"},
    {"quorvel", "hideheaderfooter", "1", "HideHeaderFooter", "0", "1"},
    {"quorvel", "showstatusbar", "1", "ShowStatusBar", "0", "1"},
    {"fulltextsearchengine", "active", "1", "SearchActive", "0", "1"},
    {"fulltextsearchengine", "index", "Index.qvix", "SearchIndexPath", "{dir}", "{dir}Index.qvix"},
    {"fulltextsearchengine", "resulttemplate", "result.html", "ResultTemplatePath", "{dir}", "{dir}result.html"},
};

std::string expand(const std::string& text, const std::string& dir) {
  std::string out = text;
  if (auto at = out.find("{dir}"); at != std::string::npos) out.replace(at, 5, dir);
  return out;
}

TEST_F(SettingsTest, AFileWithoutTheRuntimesSectionsGivesEveryDefault) {
  writeSettings(nullptr);
  ASSERT_TRUE(read());
  auto f = fields();
  for (const KeyCase& k : kKeys) EXPECT_EQ(f[k.field], expand(k.byDefault, discWindowsPath())) << k.key;
  EXPECT_EQ(window->SettingsFile, discWindowsPath("autorun.inf"));
  EXPECT_EQ(window->IniDir, discWindowsPath());
}

TEST_F(SettingsTest, EveryKeyIsReadFromItsSection) {
  std::map<std::string, std::string> sections;
  for (const KeyCase& k : kKeys) sections[k.section] += std::string(k.key) + "=" + k.value + "\r\n";
  std::string text;
  for (const auto& [name, lines] : sections) text += "[" + name + "]\r\n" + lines;
  writeDiscFile("autorun.inf", text);
  // The language start page exists for the user's country (DE), and the
  // active search finds its index.
  writePage("DE/index.html");
  writeDiscFile("Index.qvix", "");
  ASSERT_TRUE(read());
  auto f = fields();
  for (const KeyCase& k : kKeys) EXPECT_EQ(f[k.field], expand(k.read, discWindowsPath())) << k.key;
  EXPECT_TRUE(messageTexts().empty());
}

// The window size: pixels unless either value has a percent sign, which
// makes both percent; the last character of a value with "%" goes, and
// windowwith, when present, replaces the width.
struct SizeCase {
  const char* keys;
  int height, width;
  bool percent;
};

class WindowSizeTest : public SettingsTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(WindowSizeTest, IsReadInPixelsOrPercent) {
  writeSettings(GetParam().keys);
  ASSERT_TRUE(read());
  EXPECT_EQ(window->WindowHeight, GetParam().height);
  EXPECT_EQ(window->WindowWidth, GetParam().width);
  EXPECT_EQ(window->SizeInPercent, GetParam().percent);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowSizeTest,
                         ::testing::Values(SizeCase{"", 600, 400, false},
                                           SizeCase{"windowheight=300\r\nwindowwidth=500\r\n", 300, 500, false},
                                           SizeCase{"windowheight=300\r\nwindowwidth=50%\r\n", 300, 50, true},
                                           SizeCase{"windowheight=75%\r\n", 75, 400, true},
                                           SizeCase{"windowwidth=50%\r\nwindowwith=70\r\n", 600, 70, true},
                                           SizeCase{"windowwith=900\r\n", 600, 900, false},
                                           SizeCase{"windowwidth=0x20\r\n", 600, 32, false}));

struct ButtonDirCase {
  const char* value;
  const char* read;
};

class ButtonDirTest : public SettingsTest, public ::testing::WithParamInterface<ButtonDirCase> {};

TEST_P(ButtonDirTest, EndsInASeparator) {
  writeSettings((std::string("buttondir=") + GetParam().value + "\r\n").c_str());
  ASSERT_TRUE(read());
  EXPECT_EQ(window->ButtonDir, GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Folders, ButtonDirTest,
                         ::testing::Values(ButtonDirCase{"img", "img\\"}, ButtonDirCase{"img\\", "img\\"},
                                           ButtonDirCase{"img/", "img/"}, ButtonDirCase{"a\\b", "a\\b\\"},
                                           ButtonDirCase{"", ""}));

TEST_F(SettingsTest, NumbersAndBooleansFollowTheIniRules) {
  writeSettings("singleinstance=0x10\r\nfadein=soon\r\nsplashscreentime=0x3\r\ndefaultcursor=\r\n"
                "hideheaderfooter=-1\r\n");
  ASSERT_TRUE(read());
  EXPECT_TRUE(window->SingleInstance);   // hexadecimal, not 0
  EXPECT_EQ(window->FadeIn, 0);          // not a number: the default
  EXPECT_EQ(window->SplashDuration, 3);
  EXPECT_TRUE(window->DefaultCursor);    // empty: the default
  EXPECT_TRUE(window->HideHeaderFooter);
}

TEST_F(SettingsTest, TheLanguageStartPageIsTakenOnlyWhenItExists) {
  writeSettings("startpage=index.html\r\nuselanguagestartpage=1\r\n");
  ASSERT_TRUE(read());
  EXPECT_EQ(window->StartPage, "index.html");
}

// A settings file another AutoPlay tool wrote: comments, quoted values,
// sections and keys of its own and a value beyond the reader's 2048-byte
// buffer are read by the INI rules, and the runtime's keys come through.
TEST_F(SettingsTest, AFileOfAnotherAutoPlayToolIsReadWithoutHarm) {
  std::string longValue(3000, 'x');
  writeDiscFile("autorun.inf",
                "; made by another tool\r\n"
                "[AutoRun]\r\nOPEN=\"setup.exe\" /auto\r\nICON=\"disc.ico\"\r\nlabel=My Disc\r\n"
                "[AutoPlay]\r\nButton1=Install\r\n"
                "[Quorvel]\r\n; the menu\r\nStartPage=index.html\r\nwindowcaption='Quoted'\r\n"
                "appcaption=" + longValue + "\r\nfadein=20\r\nunknownkey=1\r\n"
                "[fulltextsearchengine]\r\nindex=\"Index.qvix\"\r\n");
  ASSERT_TRUE(read());
  EXPECT_EQ(window->StartPage, "index.html");
  EXPECT_EQ(window->IconFile, "disc.ico");
  EXPECT_EQ(window->WindowCaption, "Quoted");
  EXPECT_EQ(window->AppCaption, std::string(2047, 'x'));
  EXPECT_EQ(window->FadeIn, 20);
  EXPECT_EQ(window->SearchIndexPath, discWindowsPath("Index.qvix"));
  EXPECT_TRUE(messageTexts().empty());
}

// A project saved under another name is found through the one argument;
// the file keys then count from that file's folder.
TEST_F(SettingsTest, FileKeysCountFromTheSettingsFilesFolder) {
  writeFile("project/menu.ini", "[fulltextsearchengine]\r\nindex=idx\\Index.qvix\r\n");
  ASSERT_TRUE(read("\"" + qv::os::toWindowsPath(hostPath("project/menu.ini")) + "\""));
  std::string folder = qv::os::toWindowsPath(hostPath("project")) + "\\";
  EXPECT_EQ(window->IniDir, folder);
  EXPECT_EQ(window->SearchIndexPath, folder + "idx\\Index.qvix");
}

}  // namespace
