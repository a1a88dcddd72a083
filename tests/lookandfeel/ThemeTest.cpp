// Theme access: uxtheme.dll bound by name only where visual styles exist,
// missing pieces meaning unthemed drawing, one cached handle per kind, and
// a theme switch closing every cached handle before the listeners hear of it.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "lookandfeel/lkClasses.h"
#include "lookandfeel/lkGeometry.h"
#include "lookandfeel/uiThemeManager.h"
#include "lookandfeel/uiUxTheme.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/User.h"

using qv::desktop::ModuleProfile;
using qv::desktop::profile;

namespace {

const std::string kGerman =
    "Gr\xF6\xDF"
    "e";  // Windows-1252

// Every class the theme kinds open by default, plus the stand-in's globals.
constexpr const char* kAllKindClasses =
    "BUTTON;CLOCK;COMBOBOX;EDIT;EXPLORERBAR;HEADER;LISTBOX;LISTVIEW;MENU;PAGE;PROGRESS;REBAR;SCROLLBAR;SPIN;"
    "STARTPANEL;STATUS;TAB;TASKBAND;TASKBAR;TOOLBAR;TOOLTIP;TRACKBAR;TRAYNOTIFY;TREEVIEW;WINDOW;GLOBALS";

int Opens = 0;
int Closes = 0;
HTHEME CountingOpenThemeData(HWND hwnd, LPCWSTR classList) {
  ++Opens;
  return ::OpenThemeData(hwnd, classList);
}
HRESULT CountingCloseThemeData(HTHEME theme) {
  ++Closes;
  return ::CloseThemeData(theme);
}

// A uxtheme.dll that counts opens and closes and can lack entry points.
void registerSmallUxTheme(const std::set<std::string>& missing = {}) {
  using qv::os::StandInExport;
  Opens = Closes = 0;
  std::vector<StandInExport> all = {
      StandInExport::of("IsThemeActive", &::IsThemeActive),
      StandInExport::of("OpenThemeData", &CountingOpenThemeData),
      StandInExport::of("CloseThemeData", &CountingCloseThemeData),
      StandInExport::of("DrawThemeBackground", &::DrawThemeBackground),
      StandInExport::of("DrawThemeText", &::DrawThemeText),
      StandInExport::of("GetThemeColor", &::GetThemeColor),
  };
  qv::os::StandInModule m;
  m.fileName = "UxTheme.dll";
  for (auto& e : all)
    if (!missing.count(e.name)) m.exports.push_back(e);
  m.available = [] { return profile().visualStyles != ModuleProfile::Absent; };
  qv::os::registerStandInModule(std::move(m));
}

class Theme : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    stop();
    Application->OnException = nullptr;
    qvtest::DesktopTest::TearDown();
    // Back to the stand-in the profile describes, for the next test in this
    // process.
    qv::modules::registerUxTheme();
  }

  void start(ModuleProfile styles, const std::string& classes = kAllKindClasses) {
    profile().visualStyles = styles;
    profile().themeClasses = classes;
    uiUxTheme::Initialize();
    uiThemeManager::Initialize();
    started_ = true;
  }
  void stop() {
    if (!started_) return;
    started_ = false;
    uiThemeManager::Finalize();
    uiUxTheme::Finalize();
  }
  static void switchTheme(ModuleProfile styles, const std::string& classes = kAllKindClasses) {
    qv::modules::ThemeProfile t;
    t.visualStyles = styles;
    t.classes = classes;
    qv::modules::setThemeProfile(t);
  }
  static HWND receiverWindow() { return FindWindow("TPUtilWindow", nullptr); }

  bool started_ = false;
};

// ---------------------------------------------------------------------------
// Binding.

struct BindingCase {
  const char* name;
  DWORD major, minor;
  ModuleProfile styles;
  bool xpOrLater;
  bool loaded;
  bool themed;
  int boundEntryPoints;  // of the 52
};

class ThemeBinding : public Theme, public ::testing::WithParamInterface<BindingCase> {};

TEST_P(ThemeBinding, LoadsOnlyFrom51AndAnswersUnthemedWithoutAnActiveTheme) {
  const BindingCase& c = GetParam();
  profile().osMajor = c.major;
  profile().osMinor = c.minor;
  qv::modules::registerUxTheme();
  start(c.styles);

  EXPECT_EQ(IsXPOrLater(), c.xpOrLater);
  EXPECT_EQ(IsUxThemeLoaded(), c.loaded);
  EXPECT_EQ(uiUxTheme::IsThemeActive() != FALSE, c.themed);
  EXPECT_EQ(AreThemesAvailable(0), c.themed);
  EXPECT_EQ(AreThemesAvailable(1u << thkScrollBar), c.themed);
  EXPECT_EQ(IsThemeKindAvailable(thkButton), c.themed);
  EXPECT_EQ(OpenThemeForKind(thkExplorerBar) != nullptr, c.themed);
  // The receiver window exists exactly while the library is loaded.
  EXPECT_EQ(receiverWindow() != nullptr, c.loaded);

  int bound = 0;
#define QV_COUNT_BOUND(Name) bound += uiUxTheme::EntryPoints().Name != nullptr;
  QV_UXTHEME_ENTRY_POINTS(QV_COUNT_BOUND)
#undef QV_COUNT_BOUND
  EXPECT_EQ(bound, c.boundEntryPoints);

  stop();
  EXPECT_FALSE(IsUxThemeLoaded());
  EXPECT_EQ(uiUxTheme::EntryPoints().OpenThemeData, nullptr);
  EXPECT_EQ(receiverWindow(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Systems, ThemeBinding,
                         ::testing::Values(
                             // 5.1 has every entry point but the six that came with 6.0.
                             BindingCase{"XPThemed", 5, 1, ModuleProfile::Themed, true, true, true, 46},
                             BindingCase{"XPClassic", 5, 1, ModuleProfile::Classic, true, true, false, 46},
                             BindingCase{"XPWithoutLibrary", 5, 1, ModuleProfile::Absent, true, false, false, 0},
                             // An installed uxtheme.dll is never loaded before 5.1.
                             BindingCase{"Windows2000WithLibrary", 5, 0, ModuleProfile::Themed, false, false, false, 0},
                             BindingCase{"Windows98WithLibrary", 4, 10, ModuleProfile::Themed, false, false, false, 0},
                             BindingCase{"VistaThemed", 6, 0, ModuleProfile::Themed, true, true, true, 52}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MissingCase {
  const char* missing;
  bool available;  // AreThemesAvailable(0)
  bool opens;      // the Button kind gets a handle
};

class ThemeMissingEntryPoint : public Theme, public ::testing::WithParamInterface<MissingCase> {};

// A painter either gets no handle and draws the classic look, or its themed
// call fails; nothing raises and a theme switch still goes through.
TEST_P(ThemeMissingEntryPoint, MeansUnthemedDrawingNeverAnError) {
  const MissingCase& c = GetParam();
  registerSmallUxTheme({c.missing});
  start(ModuleProfile::Themed);
  ASSERT_TRUE(IsUxThemeLoaded());
  EXPECT_EQ(AreThemesAvailable(0), c.available);
  HTHEME button = OpenThemeForKind(thkButton);
  EXPECT_EQ(button != nullptr, c.opens);
  EXPECT_EQ(IsThemeKindAvailable(thkButton), c.opens);

  if (button) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 10, 10);
    HGDIOBJ old = SelectObject(dc, bmp);
    const HRESULT drawn = uiUxTheme::DrawThemeBackground(button, dc, 1, 1, RECT{0, 0, 10, 10});
    EXPECT_EQ(FAILED(drawn), std::string(c.missing) == "DrawThemeBackground");
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }

  int heard = 0;
  TuiThemeChangedNotificator listener;
  listener.OnNotify = [&] { ++heard; };
  EXPECT_NO_THROW(switchTheme(ModuleProfile::Themed));
  EXPECT_EQ(heard, 1);
  // The switch let go of the cached handle even where it could not close it.
  const int opensBefore = Opens;
  OpenThemeForKind(thkButton);
  EXPECT_EQ(Opens, opensBefore + (c.opens ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(EntryPoints, ThemeMissingEntryPoint,
                         ::testing::Values(MissingCase{"IsThemeActive", false, false},
                                           MissingCase{"OpenThemeData", true, false},
                                           MissingCase{"CloseThemeData", true, true},
                                           MissingCase{"DrawThemeBackground", true, true}),
                         [](const auto& info) { return std::string(info.param.missing); });

TEST_F(Theme, WrappersPassThePlatformArguments) {
  start(ModuleProfile::Themed);
  HTHEME button = OpenThemeForKind(thkButton);
  ASSERT_NE(button, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 40, 20);
  HGDIOBJ old = SelectObject(dc, bmp);
  qv::modules::clearThemeCalls();

  RECT r{2, 3, 30, 15};
  EXPECT_EQ(uiUxTheme::DrawThemeBackground(button, dc, 1, 2, r), S_OK);
  // Windows-1252 text arrives unchanged through the wide call.
  EXPECT_EQ(uiUxTheme::DrawThemeText(button, dc, 1, 1, kGerman, -1, 0, 0, &r), S_OK);
  const auto& calls = qv::modules::themeCalls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].function, "DrawThemeBackground");
  EXPECT_EQ(calls[0].className, "BUTTON");
  EXPECT_EQ(calls[0].state, 2);
  EXPECT_EQ(calls[0].rect.right, 30);
  EXPECT_EQ(calls[1].text, kGerman);

  SIZE withoutRect{}, withRect{};
  EXPECT_EQ(uiUxTheme::GetThemePartSize(button, dc, 3, 1, TS_TRUE, &withoutRect), S_OK);
  EXPECT_EQ(uiUxTheme::GetThemePartSize(button, dc, 3, 1, &r, TS_TRUE, &withRect), S_OK);
  EXPECT_EQ(withoutRect.cx, 13);
  EXPECT_EQ(withRect.cy, 13);

  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

// ---------------------------------------------------------------------------
// The handle cache.

TEST_F(Theme, EachKindOpensItsDefaultClassList) {
  const char* expected[kThemeKindCount] = {
      "BUTTON",  "CLOCK",    "COMBOBOX", "EDIT",      "EXPLORERBAR", "HEADER",     "LISTBOX", "LISTVIEW", "MENU",
      "PAGE",    "PROGRESS", "REBAR",    "SCROLLBAR", "SPIN",        "STARTPANEL", "STATUS",  "TAB",      "TASKBAND",
      "TASKBAR", "TOOLBAR",  "TOOLTIP",  "TRACKBAR",  "TRAYNOTIFY",  "TREEVIEW",   "WINDOW"};
  start(ModuleProfile::Themed);
  for (int k = 0; k < kThemeKindCount; ++k)
    EXPECT_EQ(qv::modules::themeClassOf(OpenThemeForKind(static_cast<TuiThemeKind>(k))), expected[k]) << k;
  EXPECT_TRUE(AreThemesAvailable(0x1FFFFFFu));
}

TEST_F(Theme, OpensAKindOnceAndReopensOnlyForAnotherClassList) {
  registerSmallUxTheme();
  start(ModuleProfile::Themed);
  HTHEME first = OpenThemeForKind(thkExplorerBar);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(OpenThemeForKind(thkExplorerBar), first);
  EXPECT_TRUE(IsThemeKindAvailable(thkExplorerBar));
  EXPECT_EQ(OpenThemeForKind(thkExplorerBar, u"explorerbar"), first);
  EXPECT_EQ(Opens, 1);
  EXPECT_EQ(Closes, 0);

  HTHEME other = OpenThemeForKind(thkExplorerBar, u"Button");
  EXPECT_EQ(Opens, 2);
  EXPECT_EQ(Closes, 1);
  EXPECT_EQ(qv::modules::themeClassOf(other), "BUTTON");
  // The kind now stays with the list it was given.
  EXPECT_EQ(OpenThemeForKind(thkExplorerBar), other);
  EXPECT_EQ(Opens, 2);
}

TEST_F(Theme, AKindTheThemeLacksStaysClosedAndIsRetried) {
  registerSmallUxTheme();
  start(ModuleProfile::Themed, "BUTTON;SCROLLBAR");
  EXPECT_EQ(OpenThemeForKind(thkClock), nullptr);
  EXPECT_EQ(OpenThemeForKind(thkClock), nullptr);
  EXPECT_EQ(Opens, 2);
  EXPECT_TRUE(AreThemesAvailable(0));
  EXPECT_TRUE(AreThemesAvailable((1u << thkButton) | (1u << thkScrollBar)));
  EXPECT_FALSE(AreThemesAvailable((1u << thkButton) | (1u << thkClock)));
  // A class list that failed is not kept for the kind.
  EXPECT_EQ(OpenThemeForKind(thkButton, u"Clock"), nullptr);
  EXPECT_EQ(qv::modules::themeClassOf(OpenThemeForKind(thkButton)), "BUTTON");

  switchTheme(ModuleProfile::Themed, "BUTTON;SCROLLBAR;CLOCK");
  EXPECT_EQ(qv::modules::themeClassOf(OpenThemeForKind(thkClock)), "CLOCK");
}

TEST_F(Theme, CloseThemeForKindAnswersByState) {
  start(ModuleProfile::Classic);
  EXPECT_EQ(CloseThemeForKind(thkButton), 1);
  stop();

  start(ModuleProfile::Themed);
  EXPECT_EQ(CloseThemeForKind(thkButton), 0);
  HTHEME opened = OpenThemeForKind(thkButton, u"ToolBar");
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(CloseThemeForKind(thkButton), S_OK);
  EXPECT_EQ(qv::modules::themeClassOf(opened), "");
  // Closing forgets the class list: the kind's default opens next.
  EXPECT_EQ(qv::modules::themeClassOf(OpenThemeForKind(thkButton)), "BUTTON");
  // A value outside the kinds is no kind at all.
  EXPECT_EQ(OpenThemeForKind(static_cast<TuiThemeKind>(kThemeKindCount)), nullptr);
  EXPECT_EQ(CloseThemeForKind(static_cast<TuiThemeKind>(-1)), 0);
}

// ---------------------------------------------------------------------------
// Theme switches.

TEST_F(Theme, ASwitchClosesEveryCachedHandleBeforeTheListenersInOrder) {
  start(ModuleProfile::Themed);
  HTHEME button = OpenThemeForKind(thkButton);
  HTHEME toolbarAsButton = OpenThemeForKind(thkButton, u"ToolBar");
  HTHEME scroll = OpenThemeForKind(thkScrollBar);
  ASSERT_TRUE(button && toolbarAsButton && scroll);

  std::vector<std::string> heard;
  TuiThemeChangedNotificator first, second, silent, third;
  first.OnNotify = [&] {
    heard.push_back("first");
    EXPECT_EQ(qv::modules::themeClassOf(toolbarAsButton), "");
    EXPECT_EQ(qv::modules::themeClassOf(scroll), "");
    // Re-opening gets the new theme, and keeps the kind's class list.
    EXPECT_EQ(qv::modules::themeClassOf(OpenThemeForKind(thkButton)), "TOOLBAR");
  };
  second.OnNotify = [&] { heard.push_back("second"); };
  third.OnNotify = [&] { heard.push_back("third"); };

  switchTheme(ModuleProfile::Themed);
  EXPECT_EQ(heard, (std::vector<std::string>{"first", "second", "third"}));
  EXPECT_TRUE(AreThemesAvailable(0));
}

TEST_F(Theme, ASwitchRereadsWhetherThemesAreActive) {
  start(ModuleProfile::Classic);
  EXPECT_FALSE(AreThemesAvailable(0));
  bool availableWhenHeard = false;
  TuiThemeChangedNotificator listener;
  listener.OnNotify = [&] { availableWhenHeard = AreThemesAvailable(1u << thkButton); };

  switchTheme(ModuleProfile::Themed);
  EXPECT_TRUE(availableWhenHeard);
  HTHEME button = OpenThemeForKind(thkButton);
  ASSERT_NE(button, nullptr);

  switchTheme(ModuleProfile::Classic);
  EXPECT_FALSE(availableWhenHeard);
  EXPECT_FALSE(AreThemesAvailable(0));
  EXPECT_EQ(OpenThemeForKind(thkButton), nullptr);
  EXPECT_EQ(qv::modules::themeClassOf(button), "");
}

TEST_F(Theme, ListenersFreedOrMadeDuringASwitch) {
  start(ModuleProfile::Themed);
  std::vector<std::string> heard;
  auto* selfFreeing = new TuiThemeChangedNotificator;
  auto* freesLater = new TuiThemeChangedNotificator;
  auto* later = new TuiThemeChangedNotificator;
  TuiThemeChangedNotificator last;
  TuiThemeChangedNotificator* madeDuring = nullptr;

  selfFreeing->OnNotify = [&] {
    heard.push_back("selfFreeing");
    delete selfFreeing;
    selfFreeing = nullptr;
  };
  freesLater->OnNotify = [&] {
    heard.push_back("freesLater");
    delete later;
    later = nullptr;
    if (!madeDuring) {
      madeDuring = new TuiThemeChangedNotificator;
      madeDuring->OnNotify = [&] { heard.push_back("madeDuring"); };
    }
  };
  later->OnNotify = [&] { heard.push_back("later"); };
  last.OnNotify = [&] { heard.push_back("last"); };

  switchTheme(ModuleProfile::Themed);
  EXPECT_EQ(heard, (std::vector<std::string>{"selfFreeing", "freesLater", "last"}));

  heard.clear();
  switchTheme(ModuleProfile::Themed);
  EXPECT_EQ(heard, (std::vector<std::string>{"freesLater", "last", "madeDuring"}));
  delete freesLater;
  delete madeDuring;
}

TEST_F(Theme, AListenerExceptionGoesToTheApplicationAndEndsThatSwitch) {
  start(ModuleProfile::Themed);
  std::vector<std::string> reported;
  Application->OnException = [&](TObject*, Exception& E) { reported.push_back(E.Message()); };
  int afterCalls = 0;
  TuiThemeChangedNotificator failing, after;
  failing.OnNotify = [] { throw Exception("listener failed"); };
  after.OnNotify = [&] { ++afterCalls; };
  HTHEME button = OpenThemeForKind(thkButton);

  switchTheme(ModuleProfile::Themed);
  EXPECT_EQ(reported, (std::vector<std::string>{"listener failed"}));
  EXPECT_EQ(afterCalls, 0);
  EXPECT_EQ(qv::modules::themeClassOf(button), "");

  failing.OnNotify = nullptr;
  switchTheme(ModuleProfile::Themed);
  EXPECT_EQ(afterCalls, 1);
}

TEST_F(Theme, ListenersWithoutTheLibraryAreNeverCalled) {
  start(ModuleProfile::Absent);
  int calls = 0;
  TuiThemeChangedNotificator listener;
  listener.OnNotify = [&] { ++calls; };
  switchTheme(ModuleProfile::Themed);
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(AreThemesAvailable(0));
}

// ---------------------------------------------------------------------------
// Start-up and shut-down.

TEST_F(Theme, ShutDownClosesTheHandlesAndOutlivingListenersStaySafe) {
  start(ModuleProfile::Themed);
  // A nested start-up only counts.
  uiUxTheme::Initialize();
  uiThemeManager::Initialize();
  uiThemeManager::Finalize();
  uiUxTheme::Finalize();
  EXPECT_TRUE(IsUxThemeLoaded());
  HTHEME button = OpenThemeForKind(thkButton);
  ASSERT_NE(button, nullptr);

  int calls = 0;
  auto* outliving = new TuiThemeChangedNotificator;
  outliving->OnNotify = [&] { ++calls; };
  stop();
  EXPECT_EQ(qv::modules::themeClassOf(button), "");
  EXPECT_EQ(receiverWindow(), nullptr);
  EXPECT_FALSE(AreThemesAvailable(0));
  switchTheme(ModuleProfile::Themed);
  EXPECT_EQ(calls, 0);
  delete outliving;

  // The units start again after a full shut-down.
  start(ModuleProfile::Themed);
  EXPECT_NE(OpenThemeForKind(thkButton), nullptr);
}

}  // namespace

namespace {

// The units start after the ones they use and end in reverse: the theme
// manager's receiver exists only between its start and its end, and the
// library it reads from is bound before it and freed after it.
TEST_F(Theme, UnitsStartInTheLibrarysOrderAndEndInReverse) {
  profile().visualStyles = ModuleProfile::Themed;
  qv::classlib::InitializeUnit(uiThemeManagerUnit);
  EXPECT_TRUE(qv::classlib::UnitInitialized(lkClassesUnit));
  EXPECT_TRUE(qv::classlib::UnitInitialized(lkGeometryUnit));
  EXPECT_TRUE(qv::classlib::UnitInitialized(uiUxThemeUnit));
  EXPECT_TRUE(IsUxThemeLoaded());
  EXPECT_NE(receiverWindow(), nullptr);
  EXPECT_NE(GetClass("TlkRect"), nullptr);

  qv::classlib::FinalizeUnits();
  EXPECT_FALSE(qv::classlib::UnitInitialized(uiUxThemeUnit));
  EXPECT_FALSE(IsUxThemeLoaded());
  EXPECT_EQ(receiverWindow(), nullptr);
  EXPECT_EQ(GetClass("TlkRect"), nullptr);
}

}  // namespace
