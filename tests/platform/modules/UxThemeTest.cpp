// The visual-styles stand-in: present per profile, themes by class list,
// deterministic drawing with its recorded calls, the values callers read,
// and the theme switch reaching hidden windows.
#include <gtest/gtest.h>

#include <vector>

#include "../os/gdi/GdiCanvas.h"
#include "DesktopTest.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Window.h"

using gditest::Canvas;
using qv::desktop::ModuleProfile;
using qv::desktop::profile;

namespace {

class UxTheme : public qvtest::DesktopTest {
 protected:
  void themed(const std::string& classes = {}) {
    profile().visualStyles = ModuleProfile::Themed;
    profile().themeClasses = classes;
  }
};

struct PresenceCase {
  const char* name;
  ModuleProfile styles;
  bool loads;
  bool active;
};

class UxThemePresence : public UxTheme, public ::testing::WithParamInterface<PresenceCase> {};

TEST_P(UxThemePresence, FollowsTheProfileThroughTheBoundEntryPoints) {
  const PresenceCase& c = GetParam();
  profile().visualStyles = c.styles;
  HMODULE lib = LoadLibrary("uxtheme.dll");
  ASSERT_EQ(lib != nullptr, c.loads);
  if (!lib) return;
  auto isActive = qv::os::procAs<BOOL (*)()>(GetProcAddress(lib, "IsThemeActive"));
  auto isAppThemed = qv::os::procAs<BOOL (*)()>(GetProcAddress(lib, "IsAppThemed"));
  auto open = qv::os::procAs<HTHEME (*)(HWND, LPCWSTR)>(GetProcAddress(lib, "OpenThemeData"));
  ASSERT_TRUE(isActive && isAppThemed && open);
  EXPECT_EQ(isActive() != FALSE, c.active);
  EXPECT_EQ(isAppThemed() != FALSE, c.active);
  HTHEME t = open(nullptr, u"Button");
  EXPECT_EQ(t != nullptr, c.active);
  if (t) CloseThemeData(t);
  FreeLibrary(lib);
}

INSTANTIATE_TEST_SUITE_P(Profiles, UxThemePresence,
                         ::testing::Values(PresenceCase{"Absent", ModuleProfile::Absent, false, false},
                                           PresenceCase{"Classic", ModuleProfile::Classic, true, false},
                                           PresenceCase{"Themed", ModuleProfile::Themed, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UxTheme, ExportsTheVersion6EntryPointsOnlyOnVersion6) {
  themed();
  HMODULE lib = LoadLibrary("UxTheme.dll");
  for (const char* name : {"GetThemePartSize", "GetThemeSysFont", "GetThemeIntList", "GetThemePropertyOrigin",
                           "EnableTheming", "DrawThemeBackgroundEx", "GetThemeSysColorBrush"})
    EXPECT_NE(GetProcAddress(lib, name), nullptr) << name;
  EXPECT_EQ(GetProcAddress(lib, "DrawThemeTextEx"), nullptr);
  EXPECT_EQ(GetProcAddress(lib, "BufferedPaintInit"), nullptr);
  FreeLibrary(lib);

  profile().osMajor = 6;
  qv::modules::registerUxTheme();
  lib = LoadLibrary("UxTheme.dll");
  EXPECT_NE(GetProcAddress(lib, "DrawThemeTextEx"), nullptr);
  EXPECT_NE(GetProcAddress(lib, "BufferedPaintSetAlpha"), nullptr);
  FreeLibrary(lib);
  profile().osMajor = 5;
  qv::modules::registerUxTheme();
}

struct OpenCase {
  const char* themeClasses;
  const char16_t* classList;
  const char* opened;  // "" for NULL
};

class OpenByClassList : public UxTheme, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenByClassList, TakesTheFirstClassTheThemeHas) {
  const OpenCase& c = GetParam();
  themed(c.themeClasses);
  HTHEME t = OpenThemeData(nullptr, c.classList);
  EXPECT_EQ(qv::modules::themeClassOf(t), c.opened);
  EXPECT_EQ(t != nullptr, *c.opened != '\0');
  if (t) {
    EXPECT_EQ(CloseThemeData(t), S_OK);
  }
}

INSTANTIATE_TEST_SUITE_P(Lists, OpenByClassList,
                         ::testing::Values(OpenCase{"", u"Button", "BUTTON"},
                                           OpenCase{"", u"explorerbar", "EXPLORERBAR"},
                                           OpenCase{"", u"Globals", "GLOBALS"},
                                           OpenCase{"", u"NoSuchClass;Tab", "TAB"},
                                           OpenCase{"", u"NoSuchClass", ""},
                                           OpenCase{"", u"", ""},
                                           OpenCase{"Button;ExplorerBar", u" Tab ; explorerBar", "EXPLORERBAR"},
                                           OpenCase{"Button;ExplorerBar", u"Tab", ""}));

TEST_F(UxTheme, DrawThemeBackgroundFillsAGradientInsideABorderAndRecordsTheCall) {
  themed();
  HTHEME t = OpenThemeData(nullptr, u"Tab");
  ASSERT_NE(t, nullptr);
  COLORREF fill = 0, end = 0, border = 0;
  ASSERT_EQ(GetThemeColor(t, 2, 3, TMT_FILLCOLOR, &fill), S_OK);
  ASSERT_EQ(GetThemeColor(t, 2, 3, TMT_GRADIENTCOLOR2, &end), S_OK);
  ASSERT_EQ(GetThemeColor(t, 2, 3, TMT_BORDERCOLOR, &border), S_OK);
  ASSERT_NE(fill, end);

  Canvas c(8, 8, RGB(1, 2, 3));
  const RECT r{1, 1, 7, 6};
  qv::modules::clearThemeCalls();
  ASSERT_EQ(DrawThemeBackground(t, c.dc(), 2, 3, &r, nullptr), S_OK);
  EXPECT_EQ(c.at(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(c.at(7, 6), RGB(1, 2, 3));
  EXPECT_EQ(c.at(1, 1), border);
  EXPECT_EQ(c.at(6, 5), border);
  EXPECT_EQ(c.at(2, 2), fill);   // first row inside the border
  EXPECT_EQ(c.at(5, 4), end);    // last row inside the border
  EXPECT_NE(c.at(3, 3), fill);   // in between
  EXPECT_NE(c.at(3, 3), end);

  ASSERT_EQ(qv::modules::themeCalls().size(), 1u);
  const auto& call = qv::modules::themeCalls()[0];
  EXPECT_EQ(call.function, "DrawThemeBackground");
  EXPECT_EQ(call.className, "TAB");
  EXPECT_EQ(call.part, 2);
  EXPECT_EQ(call.state, 3);
  EXPECT_EQ(call.rect.left, 1);
  EXPECT_EQ(call.rect.bottom, 6);

  // A rectangle far taller than the DC costs only the rows it shows.
  Canvas tall(4, 4);
  const RECT huge{0, -0x40000000, 4, 0x40000000};
  ASSERT_EQ(DrawThemeBackground(t, tall.dc(), 2, 3, &huge, nullptr), S_OK);
  EXPECT_EQ(tall.at(0, 2), border);
  EXPECT_NE(tall.at(2, 2), RGB(255, 255, 255));

  // The clip rectangle limits the drawing.
  Canvas clipped(8, 8, RGB(1, 2, 3));
  const RECT clip{0, 0, 3, 8};
  ASSERT_EQ(DrawThemeBackground(t, clipped.dc(), 2, 3, &r, &clip), S_OK);
  EXPECT_EQ(clipped.at(2, 2), fill);
  EXPECT_EQ(clipped.at(3, 2), RGB(1, 2, 3));
  CloseThemeData(t);
}

TEST_F(UxTheme, RoundedPartsLeaveTheirCornersToTheParent) {
  themed();
  HTHEME t = OpenThemeData(nullptr, u"Button");
  ASSERT_TRUE(IsThemeBackgroundPartiallyTransparent(t, 1, 1));
  EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(t, 5, 1));
  Canvas c(6, 6, RGB(9, 9, 9));
  const RECT r{0, 0, 6, 6};
  ASSERT_EQ(DrawThemeBackground(t, c.dc(), 1, 1, &r, nullptr), S_OK);
  EXPECT_EQ(c.at(0, 0), RGB(9, 9, 9));
  EXPECT_EQ(c.at(5, 5), RGB(9, 9, 9));
  EXPECT_NE(c.at(1, 0), RGB(9, 9, 9));

  HRGN rgn = nullptr;
  ASSERT_EQ(GetThemeBackgroundRegion(t, c.dc(), 1, 1, &r, &rgn), S_OK);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(rgn, 5, 0));
  EXPECT_TRUE(PtInRegion(rgn, 1, 0));
  DeleteObject(rgn);
  CloseThemeData(t);
}

TEST_F(UxTheme, SizesAndContentRectangles) {
  themed();
  HTHEME button = OpenThemeData(nullptr, u"Button");
  HTHEME tab = OpenThemeData(nullptr, u"Tab");
  const RECT box{0, 0, 10, 8};
  struct SizeCase {
    HTHEME theme;
    int part;
    const RECT* rect;
    THEMESIZE kind;
    LONG cx, cy;
  } cases[] = {
      {button, 3, nullptr, TS_TRUE, 13, 13},  // check box
      {button, 3, nullptr, TS_MIN, 13, 13},
      {button, 3, &box, TS_DRAW, 10, 8},      // cut to the rectangle
      {tab, 1, nullptr, TS_MIN, 2, 2},        // sizable: just the border
      {tab, 1, &box, TS_DRAW, 10, 8},
  };
  for (const SizeCase& c : cases) {
    SIZE s{-1, -1};
    ASSERT_EQ(GetThemePartSize(c.theme, nullptr, c.part, 1, c.rect, c.kind, &s), S_OK);
    EXPECT_EQ(s.cx, c.cx) << c.part << " " << c.kind;
    EXPECT_EQ(s.cy, c.cy) << c.part << " " << c.kind;
  }
  SIZE s;
  EXPECT_EQ(GetThemePartSize(button, nullptr, 1, 1, nullptr, static_cast<THEMESIZE>(7), &s), E_INVALIDARG);

  const RECT bounds{0, 0, 100, 100};
  RECT content, extent;
  ASSERT_EQ(GetThemeBackgroundContentRect(button, nullptr, 1, 1, &bounds, &content), S_OK);
  EXPECT_EQ(content.left, 3);
  EXPECT_EQ(content.bottom, 97);
  ASSERT_EQ(GetThemeBackgroundExtent(button, nullptr, 1, 1, &content, &extent), S_OK);
  EXPECT_EQ(extent.left, 0);
  EXPECT_EQ(extent.bottom, 100);
  ASSERT_EQ(GetThemeBackgroundContentRect(tab, nullptr, 1, 1, &bounds, &content), S_OK);
  EXPECT_EQ(content.left, 1);

  COLORREF colour;
  EXPECT_EQ(GetThemeColor(button, 1, 1, TMT_TEXTCOLOR, &colour), S_OK);
  EXPECT_EQ(colour, RGB(0, 0, 0));
  EXPECT_EQ(GetThemeColor(button, 1, 1, 9999, &colour), E_PROP_ID_UNSUPPORTED);
  EXPECT_EQ(GetThemeColor(nullptr, 1, 1, TMT_TEXTCOLOR, &colour), E_HANDLE);
  CloseThemeData(button);
  CloseThemeData(tab);
}

TEST_F(UxTheme, CurrentThemeNamesComeFromTheProfile) {
  themed();
  profile().themeColorName = "Metallic";
  WCHAR file[MAX_PATH], colour[64], size[64];
  ASSERT_EQ(GetCurrentThemeName(file, MAX_PATH, colour, 64, size, 64), S_OK);
  EXPECT_EQ(std::u16string(colour), u"Metallic");
  EXPECT_EQ(std::u16string(size), u"NormalSize");
  const std::u16string path(file);
  EXPECT_EQ(path.substr(path.rfind(u'\\') + 1), u"Luna.msstyles");

  WCHAR small[4];
  EXPECT_TRUE(FAILED(GetCurrentThemeName(nullptr, 0, small, 4, nullptr, 0)));
  EXPECT_EQ(std::u16string(small), u"Met");

  profile().visualStyles = ModuleProfile::Classic;
  EXPECT_TRUE(FAILED(GetCurrentThemeName(file, MAX_PATH, colour, 64, size, 64)));
}

std::vector<UINT>& seen() {
  static std::vector<UINT> s;
  return s;
}

LRESULT recordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_THEMECHANGED) seen().push_back(msg);
  return DefWindowProc(hwnd, msg, wp, lp);
}

TEST_F(UxTheme, SwitchingTheThemeReachesHiddenWindowsAndRetargetsOpenHandles) {
  themed();
  WNDCLASSA wc{};
  wc.lpfnWndProc = recordingProc;
  wc.lpszClassName = "ThemeListener";
  ASSERT_NE(RegisterClass(&wc), 0);
  HWND hidden = CreateWindowEx(0, "ThemeListener", "", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hidden, nullptr);
  ASSERT_FALSE(IsWindowVisible(hidden));

  HTHEME t = OpenThemeData(hidden, u"Button");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(GetWindowTheme(hidden), t);
  seen().clear();

  qv::modules::ThemeProfile other;
  other.classes = "Tab";
  other.colorName = "Homestead";
  qv::modules::setThemeProfile(other);
  EXPECT_EQ(seen().size(), 1u);
  // The handle stays a handle but its class is gone from the new theme.
  Canvas c(4, 4);
  const RECT r{0, 0, 4, 4};
  EXPECT_EQ(DrawThemeBackground(t, c.dc(), 1, 1, &r, nullptr), E_HANDLE);
  WCHAR colour[32];
  ASSERT_EQ(GetCurrentThemeName(nullptr, 0, colour, 32, nullptr, 0), S_OK);
  EXPECT_EQ(std::u16string(colour), u"Homestead");

  qv::modules::setThemeProfile({});
  EXPECT_EQ(seen().size(), 2u);
  EXPECT_EQ(DrawThemeBackground(t, c.dc(), 1, 1, &r, nullptr), S_OK);

  qv::modules::ThemeProfile classic;
  classic.visualStyles = ModuleProfile::Classic;
  qv::modules::setThemeProfile(classic);
  EXPECT_EQ(seen().size(), 3u);
  EXPECT_FALSE(IsThemeActive());
  EXPECT_EQ(DrawThemeBackground(t, c.dc(), 1, 1, &r, nullptr), E_HANDLE);
  EXPECT_EQ(CloseThemeData(t), S_OK);
  EXPECT_EQ(CloseThemeData(t), E_HANDLE);
  DestroyWindow(hidden);
}

TEST_F(UxTheme, WindowsAndTheApplicationCanOptOut) {
  themed();
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProc;
  wc.lpszClassName = "OptOut";
  RegisterClass(&wc);
  HWND w = CreateWindowEx(0, "OptOut", "", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(SetWindowTheme(w, nullptr, u""), S_OK);
  EXPECT_EQ(OpenThemeData(w, u"Button"), nullptr);
  HTHEME t = OpenThemeData(nullptr, u"Button");
  EXPECT_NE(t, nullptr);
  CloseThemeData(t);

  SetThemeAppProperties(STAP_ALLOW_NONCLIENT);
  EXPECT_FALSE(IsAppThemed());
  EXPECT_TRUE(IsThemeActive());
  EXPECT_EQ(OpenThemeData(nullptr, u"Button"), nullptr);
  DestroyWindow(w);
}

TEST_F(UxTheme, DrawThemeTextUsesTheThemeTextColourAndIsRecorded) {
  themed();
  HTHEME t = OpenThemeData(nullptr, u"Button");
  Canvas c(40, 20);
  const RECT r{0, 0, 40, 20};
  qv::modules::clearThemeCalls();
  ASSERT_EQ(DrawThemeText(t, c.dc(), 1, 1, u"Ab", -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, &r), S_OK);
  bool black = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) black = black || c.at(x, y) == RGB(0, 0, 0);
  EXPECT_TRUE(black);
  ASSERT_EQ(qv::modules::themeCalls().size(), 1u);
  EXPECT_EQ(qv::modules::themeCalls()[0].text, "Ab");
  CloseThemeData(t);
}

// The parent paints a marker at its own (11, 6), which is (1, 1) of a child
// placed at (10, 5).
LRESULT markingParent(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    SetPixel(reinterpret_cast<HDC>(wp), 11, 6, RGB(255, 0, 0));
    return 1;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

TEST_F(UxTheme, DrawThemeParentBackgroundLetsTheParentPaintAtTheChildsOffset) {
  themed();
  WNDCLASSA wc{};
  wc.lpfnWndProc = markingParent;
  wc.lpszClassName = "MarkingParent";
  RegisterClass(&wc);
  WNDCLASSA child{};
  child.lpfnWndProc = DefWindowProc;
  child.lpszClassName = "PlainChild";
  RegisterClass(&child);
  HWND parent = CreateWindowEx(0, "MarkingParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40, nullptr, nullptr, nullptr, nullptr);
  HWND kid = CreateWindowEx(0, "PlainChild", "", WS_CHILD | WS_VISIBLE, 10, 5, 20, 20, parent, nullptr, nullptr, nullptr);
  ASSERT_NE(kid, nullptr);
  Canvas canvas(20, 20);  // stands in for the child's DC
  HDC dc = canvas.dc();
  const RECT r{0, 0, 20, 20};
  ASSERT_EQ(DrawThemeParentBackground(kid, dc, &r), S_OK);
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
  POINT org;
  GetViewportOrgEx(dc, &org);
  EXPECT_EQ(org.x, 0);  // the child's DC is as it was
  EXPECT_EQ(DrawThemeParentBackground(nullptr, dc, &r), E_INVALIDARG);
  DestroyWindow(parent);
}

}  // namespace
