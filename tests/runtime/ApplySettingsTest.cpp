// How the runtime shapes its main window from the settings before the
// message loop, seen from outside: the requirement libraries and the start
// page they lead to, size and position on the screen, the border, the skin's
// window region, the drop shadow and the About item of the system menus,
// and the intro music.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "BmpFile.h"
#include "RuntimeFixture.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/user/Menu.h"
#include "platform/os/user/Window.h"
#include "runtime/Browser.h"
#include "runtime/MessageTable.h"

namespace {

namespace fs = std::filesystem;

using qvtest::Rgb;
constexpr Rgb kMagenta{255, 0, 255};

// The skin of these tests: 60 x 40, magenta (the key colour, taken from the
// bottom-left pixel) around a blue card at (5,5)-(55,35) with a magenta hole
// at (30,20) and a red pixel on the magenta rim at (58,2).
std::vector<std::vector<Rgb>> skinPixels() {
  std::vector<std::vector<Rgb>> px(40, std::vector<Rgb>(60, kMagenta));
  for (int y = 5; y < 35; ++y)
    for (int x = 5; x < 55; ++x) px[y][x] = Rgb{30, 60, 160};
  px[20][30] = kMagenta;
  px[2][58] = Rgb{200, 0, 0};
  return px;
}

// Whether the window's system menu ends with a separator and the About item.
std::string aboutItem(HWND h) {
  HMENU menu = GetSystemMenu(h, FALSE);
  if (menu == nullptr) return "no menu";
  int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    if (GetMenuItemID(menu, i) != 1281) continue;
    char text[128] = {};
    GetMenuString(menu, i, text, sizeof text, MF_BYPOSITION);
    bool separated = i > 0 && (GetMenuState(menu, i - 1, MF_BYPOSITION) & MF_SEPARATOR);
    return std::string(separated ? "" : "(no separator) ") + text;
  }
  return "none";
}

class ApplySettingsTest : public qvtest::RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    unsetenv("QV_REQ_CALLS");
  }

  // A requirement library of the tests on the disc, under the disc's name.
  void placeLibrary(const std::string& lib, const std::string& discName) const {
    fs::copy_file(qvtest::testBin("lib_req_" + lib + ".so"), discHostPath(discName),
                  fs::copy_options::overwrite_existing);
  }

  std::string fileUrl(const std::string& relative) const {
    std::string url = "file:///" + discWindowsPath(relative);
    for (char& c : url)
      if (c == '\\') c = '/';
    return url;
  }

  // Runs the runtime; when its main window is up, `look` sees its handle and
  // the window is closed. False when the runtime ended before that.
  bool launchAndLook(const std::function<void(HWND)>& look = nullptr) {
    bool looked = false;
    at(100, [&] {
      if (BrowserWindow == nullptr || !BrowserWindow->HandleAllocated() ||
          !IsWindowVisible(BrowserWindow->Handle()))
        return;
      looked = true;
      if (look) look(BrowserWindow->Handle());
      closeMainWindow();
    });
    launch();
    return looked;
  }

  // The message texts expected for (id, disc-relative argument) pairs.
  std::vector<std::string> texts(const std::vector<std::pair<int, std::string>>& messages) const {
    std::vector<std::string> out;
    for (const auto& [id, arg] : messages) out.push_back(GetMessageText(id, arg.empty() ? "" : discWindowsPath(arg)));
    return out;
  }
  // The main window's class style and the About items of its and the
  // application's system menus, as the running runtime has them.
  bool lookAtShadowAndMenus(DWORD& ClassStyle, std::string& WindowItem, std::string& AppItem) {
    return launchAndLook([&](HWND h) {
      ClassStyle = GetClassLong(h, GCL_STYLE);
      WindowItem = aboutItem(h);
      AppItem = aboutItem(Application->Handle());
    });
  }
};

// --- Requirement libraries -------------------------------------------------

struct RequirementCase {
  const char* name;
  const char* keys;
  std::vector<std::pair<std::string, std::string>> libraries;  // test library, name on the disc
  std::vector<std::string> notLibraries;                       // files on the disc that are text
  std::vector<std::pair<int, std::string>> messages;           // id, disc-relative argument
  std::string calls;                                           // the libraries that ran, in order
  const char* page;                                            // the page shown; nullptr: the runtime ended
};
void PrintTo(const RequirementCase& c, std::ostream* os) { *os << c.name; }

class RequirementTest : public ApplySettingsTest, public ::testing::WithParamInterface<RequirementCase> {};

TEST_P(RequirementTest, LeadsToItsPageOrEnd) {
  const RequirementCase& c = GetParam();
  writeDisc(c.keys);
  writePage("alt.html", "Alternative");
  for (const auto& [lib, name] : c.libraries) placeLibrary(lib, name);
  for (const auto& name : c.notLibraries) writeDiscFile(name, "MZ this is text, not a library\n");
  std::uintptr_t appWindow = 0;
  bool shown = launchAndLook([&](HWND) { appWindow = reinterpret_cast<std::uintptr_t>(Application->Handle()); });

  EXPECT_EQ(messageTexts(), texts(c.messages));
  // Each call is "name:handle"; the handle is the application window's.
  const char* raw = std::getenv("QV_REQ_CALLS");
  std::string calls;
  std::istringstream in(raw ? raw : "");
  for (std::string call; std::getline(in, call, ',');) {
    std::string name = call.substr(0, call.find(':'));
    calls += (calls.empty() ? "" : ",") + name;
    if (shown) {
      EXPECT_EQ(call.substr(call.find(':') + 1), std::to_string(appWindow)) << name;
    }
  }
  EXPECT_EQ(calls, c.calls);
  if (c.page == nullptr) {
    EXPECT_FALSE(shown);
    EXPECT_TRUE(navigations().empty());
  } else {
    EXPECT_TRUE(shown);
    EXPECT_EQ(navigations(), std::vector<std::string>{fileUrl(c.page)});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runtime, RequirementTest,
    ::testing::Values(
        RequirementCase{"Met", "requirements=zero", {{"zero", "zero.dll"}}, {}, {}, "zero", "index.html"},
        RequirementCase{"NotMetShowsTheAlternativePageAndALaterMetOneKeepsIt",
                        "requirements=minus5,zero\r\naltstartpage=alt.html",
                        {{"minus5", "minus5.dll"}, {"zero", "zero.dll"}}, {}, {}, "minus5,zero", "alt.html"},
        RequirementCase{"AboveZeroEndsWithoutAMessage", "requirements=plus1,zero\r\naltstartpage=alt.html",
                        {{"plus1", "plus1.dll"}, {"zero", "zero.dll"}}, {}, {}, "plus1", nullptr},
        RequirementCase{"MissingIsReportedAndSkipped", "requirements=gone,zero", {{"zero", "zero.dll"}}, {},
                        {{2, "gone.dll"}}, "zero", "index.html"},
        RequirementCase{"NotALibraryIsReportedAndNotMet", "requirements=junk\r\naltstartpage=alt.html", {},
                        {"junk.dll"}, {{2, "junk.dll"}}, "", "alt.html"},
        RequirementCase{"WithoutTheExportIsReportedNotCalledAndNotMet",
                        "requirements=noexport\r\naltstartpage=alt.html", {{"noexport", "noexport.dll"}}, {},
                        {{2, "noexport.dll"}}, "", "alt.html"},
        RequirementCase{"NotMetWithoutAnAlternativePageEnds", "requirements=minus5", {{"minus5", "minus5.dll"}}, {},
                        {{7, ""}}, "minus5", nullptr},
        RequirementCase{"NotMetWithAMissingAlternativePageEnds", "requirements=minus5\r\naltstartpage=gone.html",
                        {{"minus5", "minus5.dll"}}, {}, {{7, ""}}, "minus5", nullptr},
        RequirementCase{"ANameWithoutExtensionGetsDll", "requirements=req", {{"zero", "req.dll"}}, {}, {}, "zero",
                        "index.html"},
        RequirementCase{"ANameWithAnExtensionIsTakenAsItIs", "requirements=check.lib,gone.xyz,zero.dll",
                        {{"zero", "check.lib"}, {"minus5", "check.lib.dll"}, {"zero", "zero.dll"}}, {},
                        {{2, "gone.xyz"}}, "zero,zero", "index.html"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Size and position -----------------------------------------------------

constexpr int kCentred = INT32_MIN;
constexpr int kAny = INT32_MIN + 1;
constexpr int kNotTheKeys = INT32_MIN + 2;  // anything but the 640 x 480 of the size keys

struct GeometryCase {
  const char* name;
  const char* keys;
  int screenWidth, screenHeight;
  int clientWidth, clientHeight;  // kAny: not checked; kNotTheKeys
  int left, top;                  // kCentred: the outer size centred, truncating toward zero
  bool maximised;
};
void PrintTo(const GeometryCase& c, std::ostream* os) { *os << c.name; }

class GeometryTest : public ApplySettingsTest, public ::testing::WithParamInterface<GeometryCase> {};

TEST_P(GeometryTest, PlacesTheWindow) {
  const GeometryCase& c = GetParam();
  qv::desktop::profile().screenWidth = c.screenWidth;
  qv::desktop::profile().screenHeight = c.screenHeight;
  writeDisc(c.keys);
  writeDiscFile("skin.bmp", qvtest::bmpFile(skinPixels()));
  RECT window{}, client{};
  bool zoomed = false;
  ASSERT_TRUE(launchAndLook([&](HWND h) {
    GetWindowRect(h, &window);
    GetClientRect(h, &client);
    zoomed = IsZoomed(h);
  }));
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_EQ(zoomed, c.maximised);
  if (c.maximised) return;
  if (c.clientWidth == kNotTheKeys) {
    EXPECT_FALSE(client.right == 640 && client.bottom == 480);
  } else if (c.clientWidth != kAny) {
    EXPECT_EQ(client.right, c.clientWidth);
    EXPECT_EQ(client.bottom, c.clientHeight);
  }
  if (c.left == kAny) return;
  int outerWidth = window.right - window.left, outerHeight = window.bottom - window.top;
  EXPECT_EQ(window.left, c.left == kCentred ? (c.screenWidth - outerWidth) / 2 : c.left);
  EXPECT_EQ(window.top, c.top == kCentred ? (c.screenHeight - outerHeight) / 2 : c.top);
}

INSTANTIATE_TEST_SUITE_P(
    Runtime, GeometryTest,
    ::testing::Values(
        // No size keys: 400 wide and 600 high, centred.
        GeometryCase{"Defaults", "", 1024, 768, 400, 600, kCentred, kCentred, false},
        GeometryCase{"Pixels", "windowwidth=640\r\nwindowheight=480", 1024, 768, 640, 480, kCentred, kCentred, false},
        GeometryCase{"Percent", "windowwidth=50%\r\nwindowheight=25%", 1024, 768, 512, 192, kCentred, kCentred, false},
        // One "%" makes both percent: 60 of 768 is 460.8. (With "300" the
        // window would be three times the screen high, more than the desktop
        // lets a window be.)
        GeometryCase{"OnePercentSignMakesBothPercent", "windowwidth=50%\r\nwindowheight=60", 1024, 768, 512, 461,
                     kCentred, kCentred, false},
        // 1010 x 25% = 252.5 and 750 x 41% = 307.5: halves go to the even number.
        GeometryCase{"HalvesRoundToEvenDown", "windowwidth=25%\r\nwindowheight=43%", 1010, 750, 252, 322, kCentred,
                     kCentred, false},
        GeometryCase{"HalvesRoundToEvenUp", "windowwidth=35%\r\nwindowheight=41%", 1010, 750, 354, 308, kCentred,
                     kCentred, false},
        GeometryCase{"AtAPosition", "windowposition=10,20\r\nwindowwidth=300\r\nwindowheight=200", 1024, 768, 300, 200,
                     10, 20, false},
        GeometryCase{"WindowwithReplacesTheWidth", "windowwidth=640\r\nwindowwith=700\r\nwindowheight=480", 1024, 768,
                     700, 480, kCentred, kCentred, false},
        GeometryCase{"FullScreenMaximises", "fullscreen=1\r\nwindowwidth=300\r\nwindowheight=200", 1024, 768, kAny,
                     kAny, kAny, kAny, true},
        // A skin: the window is as large as what it holds, the picture and
        // the browser placed inside it; full screen neither maximises nor sizes.
        GeometryCase{"FullScreenWithASkinNeitherMaximisesNorSizes",
                     "fullscreen=1\r\nskin=skin.bmp\r\nskinposition=5,5,50,30\r\nwindowwidth=300\r\nwindowheight=200",
                     1024, 768, 60, 40, kAny, kAny, false},
        // A skin value naming a missing file: no skin, and the size keys are
        // ignored (the window keeps the desktop's default size); the position
        // is still set.
        GeometryCase{"AMissingSkinIgnoresTheSizeKeys",
                     "skin=missing.bmp\r\nwindowwidth=640\r\nwindowheight=480\r\nwindowposition=10,20", 1024, 768,
                     kNotTheKeys, kNotTheKeys, 10, 20, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A position that is not two whole numbers, "center" with a capital among
// them, ends the start-up with message 8 before any page is shown.
class InvalidPositionTest : public ApplySettingsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(InvalidPositionTest, EndsWithMessage8) {
  writeDisc(std::string("windowposition=") + GetParam());
  EXPECT_FALSE(launchAndLook());
  EXPECT_EQ(messageTexts(), std::vector<std::string>{GetMessageText(8)});
  EXPECT_TRUE(navigations().empty());
}

INSTANTIATE_TEST_SUITE_P(Runtime, InvalidPositionTest, ::testing::Values("10,abc", "Center", "10"));

// --- Border ----------------------------------------------------------------

struct BorderCase {
  const char* name;
  const char* keys;
  LONG present, absent;  // window style bits
};
void PrintTo(const BorderCase& c, std::ostream* os) { *os << c.name; }

class BorderTest : public ApplySettingsTest, public ::testing::WithParamInterface<BorderCase> {};

// A new border recreates the window after the About item was added: the
// item stays.
TEST_P(BorderTest, GivesTheWindowItsFrame) {
  const BorderCase& c = GetParam();
  writeDisc(c.keys);
  LONG style = 0;
  std::string item;
  ASSERT_TRUE(launchAndLook([&](HWND h) {
    style = GetWindowLong(h, GWL_STYLE);
    item = aboutItem(h);
  }));
  EXPECT_EQ(style & c.present, c.present);
  EXPECT_EQ(style & c.absent, 0);
  EXPECT_EQ(item, GetMessageText(5));
}

constexpr LONG kSizeable = WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

INSTANTIATE_TEST_SUITE_P(
    Runtime, BorderTest,
    ::testing::Values(BorderCase{"Default", "", kSizeable, 0},
                      BorderCase{"None", "borderstyle=none", 0, WS_CAPTION | WS_THICKFRAME},
                      BorderCase{"Dialog", "borderstyle=dialog", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 WS_THICKFRAME | WS_MAXIMIZEBOX},
                      // Compared exactly: any other word is the sizeable window.
                      BorderCase{"DialogWithACapital", "borderstyle=Dialog", kSizeable, 0},
                      BorderCase{"Window", "borderstyle=window", kSizeable, 0},
                      // The border follows the skin value, not the skin file.
                      BorderCase{"IgnoredWithASkinValue", "borderstyle=none\r\nskin=missing.bmp", kSizeable, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Skin ------------------------------------------------------------------

// The window keeps exactly the pixels of the skin that are not the key
// colour: the rim, the hole and the corners are cut away; no frame is left.
TEST_F(ApplySettingsTest, SkinCutsTheWindowToThePicture) {
  writeDisc("skin=skin.bmp\r\nskinposition=10,10,40,20");
  writeDiscFile("skin.bmp", qvtest::bmpFile(skinPixels()));
  std::vector<std::string> wrong;
  LONG style = 0;
  RECT client{};
  ASSERT_TRUE(launchAndLook([&](HWND h) {
    style = GetWindowLong(h, GWL_STYLE);
    GetClientRect(h, &client);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, rgn), ERROR);
    const auto px = skinPixels();
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x)
        if (bool(PtInRegion(rgn, x, y)) != (px[y][x] != kMagenta))
          wrong.push_back(std::to_string(x) + "," + std::to_string(y));
    EXPECT_FALSE(PtInRegion(rgn, 60, 0));
    EXPECT_FALSE(PtInRegion(rgn, 0, 40));
    DeleteObject(rgn);
  }));
  EXPECT_TRUE(wrong.empty()) << wrong.size() << " pixels wrong, first " << wrong.front();
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_EQ(client.right, 60);
  EXPECT_EQ(client.bottom, 40);
  EXPECT_TRUE(messageTexts().empty());
}

// A skin file that is there but is no picture ends the start-up with
// message 35 and a reason, before any page.
TEST_F(ApplySettingsTest, ASkinThatDoesNotLoadEndsWithMessage35) {
  writeDisc("skin=skin.bmp");
  writeDiscFile("skin.bmp", "BM but not a bitmap");
  EXPECT_FALSE(launchAndLook());
  std::vector<std::string> shown = messageTexts();
  ASSERT_EQ(shown.size(), 1u);
  std::string prefix = GetMessageText(35);
  EXPECT_EQ(shown[0].substr(0, prefix.size()), prefix);
  EXPECT_GT(shown[0].size(), prefix.size()) << "no reason given";
  EXPECT_TRUE(navigations().empty());
}

// --- Drop shadow and the About item ------------------------------------------

struct ShadowCase {
  const char* name;
  DWORD platform, major, minor;
  bool shadow;
};
void PrintTo(const ShadowCase& c, std::ostream* os) { *os << c.name; }

class DropShadowTest : public ApplySettingsTest, public ::testing::WithParamInterface<ShadowCase> {};

// The shadow comes by recreating the window, after the About item was added:
// the item must survive that.
TEST_P(DropShadowTest, FollowsTheWindowsVersionAndKeepsTheAboutItem) {
  const ShadowCase& c = GetParam();
  auto& p = qv::desktop::profile();
  p.osPlatformId = c.platform, p.osMajor = c.major, p.osMinor = c.minor;
  if (c.platform == 1) p.osCsdVersion = " A ";
  writeDisc("dropshadow=1");
  DWORD classStyle = 0;
  std::string windowItem, appItem;
  ASSERT_TRUE(lookAtShadowAndMenus(classStyle, windowItem, appItem));
  EXPECT_EQ((classStyle & CS_DROPSHADOW) != 0, c.shadow);
  EXPECT_EQ(windowItem, GetMessageText(5));
  EXPECT_EQ(appItem, GetMessageText(5));
}

INSTANTIATE_TEST_SUITE_P(Runtime, DropShadowTest,
                         ::testing::Values(ShadowCase{"Windows2000", 2, 5, 0, false},
                                           ShadowCase{"WindowsXP", 2, 5, 1, true},
                                           ShadowCase{"Server2003", 2, 5, 2, true},
                                           ShadowCase{"Vista", 2, 6, 0, true},
                                           ShadowCase{"Windows7", 2, 6, 1, true},
                                           ShadowCase{"Windows98SE", 1, 4, 10, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplySettingsTest, NoShadowUnlessAskedAndNoAboutItemWithHidesplashscreen) {
  writeDisc("hidesplashscreen=1");
  DWORD classStyle = 0;
  std::string windowItem, appItem;
  ASSERT_TRUE(lookAtShadowAndMenus(classStyle, windowItem, appItem));
  EXPECT_EQ(classStyle & CS_DROPSHADOW, 0u);
  EXPECT_EQ(windowItem, "none");
  EXPECT_EQ(appItem, "none");
}

// --- Intro music -----------------------------------------------------------

struct MusicCase {
  const char* name;
  const char* keys;
  bool file;
  std::vector<std::string> flags;  // of the sound events, in order
};
void PrintTo(const MusicCase& c, std::ostream* os) { *os << c.name; }

class IntroMusicTest : public ApplySettingsTest, public ::testing::WithParamInterface<MusicCase> {};

TEST_P(IntroMusicTest, PlaysAsynchronouslyOnceOrLooped) {
  const MusicCase& c = GetParam();
  if (c.file) writeDiscFile("intro.wav", "RIFF");
  writeDisc(c.keys);
  ASSERT_TRUE(launchAndLook());
  std::vector<std::string> flags;
  for (const auto& e : events("sound")) {
    EXPECT_EQ(e.fields[0], discWindowsPath("intro.wav"));
    flags.push_back(e.fields[1]);
  }
  EXPECT_EQ(flags, c.flags);
}

INSTANTIATE_TEST_SUITE_P(Runtime, IntroMusicTest,
                         ::testing::Values(MusicCase{"Once", "intromusic=intro.wav", true, {"0x22003"}},
                                           MusicCase{"Looped", "intromusic=intro.wav\r\nloopmusic=1", true, {"0x2200B"}},
                                           MusicCase{"MissingFile", "intromusic=intro.wav", false, {}},
                                           MusicCase{"NoMusicKey", "loopmusic=1", true, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
