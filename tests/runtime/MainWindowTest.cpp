// The running main window: the browser's events as the window answers
// them, the system commands, the status bar, the fade-in and the start
// splash.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BmpFile.h"
#include "RuntimeFixture.h"
#include "browserhost/WebHost.h"
#include "platform/browser/WebBrowser.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Registry.h"
#include "platform/desktop/Clock.h"
#include "platform/os/user/User.h"
#include "runtime/About.h"
#include "runtime/Browser.h"
#include "runtime/Splash.h"

namespace {

using qv::browser::WebBrowser;

std::vector<LONG> edges(const TRect& r) { return {r.left, r.top, r.right, r.bottom}; }


class MainWindowTest : public qvtest::RuntimeTest {
 protected:
  // The browser control the main window shows its pages in.
  static WebBrowser* page() {
    if (BrowserWindow == nullptr || BrowserWindow->WebBrowser == nullptr) return nullptr;
    return qv::browser::webBrowserOf(BrowserWindow->WebBrowser->DefaultInterface());
  }
  // Runs the disc; `steps` run one after the other a second apart once the
  // start page has loaded, then the main window is closed.
  void runSteps(std::vector<std::function<void()>> steps) {
    std::uint64_t t = qv::desktop::Clock::now() + 1000;
    for (auto& s : steps) {
      at(t, std::move(s));
      t += 1000;
    }
    at(t, [this] { closeMainWindow(); });
    launch();
  }
};

TEST_F(MainWindowTest, TheStatusBarShowsTheStatusTextBelowTheBrowser) {
  writeSettings("startpage=index.html\r\nshowstatusbar=1\r\nhidesplashscreen=1\r\n");
  writePage("index.html", "Start", "<a href=\"next.html\">next</a>");
  std::string text;
  TRect browser{}, bar{}, client{};
  runSteps({[&] {
    page()->hover(page()->document()->findLink("next"));
    text = BrowserWindow->StatusBar->SimpleText();
    browser = BrowserWindow->WebBrowser->BoundsRect();
    bar = BrowserWindow->StatusBar->BoundsRect();
    client = BrowserWindow->ClientRect();
  }});
  EXPECT_TRUE(text.size() > 10 && text.compare(text.size() - 10, 10, "/next.html") == 0) << text;
  EXPECT_EQ(browser.bottom, bar.top);
  EXPECT_EQ(bar.bottom, client.bottom);
  EXPECT_EQ(browser.right, client.right);
}

TEST_F(MainWindowTest, WithoutShowStatusBarThereIsNoStatusBar) {
  writeDisc("hidesplashscreen=1\r\n");
  bool none = false;
  TRect browser{}, client{};
  runSteps({[&] {
    none = BrowserWindow->StatusBar == nullptr;
    browser = BrowserWindow->WebBrowser->BoundsRect();
    client = BrowserWindow->ClientRect();
  }});
  EXPECT_TRUE(none);
  EXPECT_EQ(edges(browser), edges(client));
}

// Back and forward follow the browser's command states; the system commands
// of the keyboard filter act only when the direction is available.
TEST_F(MainWindowTest, BackAndForwardFollowTheCommandStates) {
  writeDisc("hidesplashscreen=1\r\n");
  writePage("index.html", "Start", "<a href=\"next.html\">next</a>");
  writePage("next.html", "Next");
  std::vector<std::pair<bool, bool>> states;  // back, forward
  auto note = [&] { states.push_back({BrowserWindow->BackEnabled, BrowserWindow->ForwardEnabled}); };
  auto command = [](WPARAM c) { SendMessage(BrowserWindow->Handle(), WM_SYSCOMMAND, c, 0); };
  runSteps({[&] { note(), command(SC_APPFORWARD), page()->clickLinkText("next"); },
            [&] { note(), command(SC_APPBACK); },
            [&] { note(), command(SC_APPBACK); },
            [&] { note(), command(SC_APPFORWARD); },
            [&] { note(); }});
  EXPECT_EQ(states, (std::vector<std::pair<bool, bool>>{{false, false}, {true, false}, {false, true},
                                                         {false, true}, {true, false}}));
  ASSERT_EQ(navigations().size(), 4u);
  for (int i : {0, 2}) EXPECT_NE(navigations()[i].find("/index.html"), std::string::npos) << i;
  for (int i : {1, 3}) EXPECT_NE(navigations()[i].find("/next.html"), std::string::npos) << i;
}

TEST_F(MainWindowTest, APageThatClosesItsWindowEndsTheRun) {
  writeDisc("hidesplashscreen=1\r\n");
  at(1000, [] { page()->windowClose(); });
  launch();
  EXPECT_FALSE(timedOut());
  EXPECT_LT(qv::desktop::Clock::now(), 2000u);
}

// A switch of the settings, off and on.
class MainWindowSwitchTest : public MainWindowTest, public ::testing::WithParamInterface<bool> {
 protected:
  static std::string value() { return GetParam() ? "1" : "0"; }
};

TEST_P(MainWindowSwitchTest, ScriptErrorDialogsFollowDisableScriptErrors) {
  writeDisc("hidesplashscreen=1\r\ndisablescripterrors=" + value() + "\r\n");
  runSteps({[] { page()->scriptError(3, 7, 0, "x is not defined", "file:///index.html"); }});
  EXPECT_EQ(events("scripterror").size(), GetParam() ? 0u : 1u);
}

// A click in the page (command 1284) stops the intro music only with
// stopmusiconclick.
TEST_P(MainWindowSwitchTest, AClickStopsTheMusicOnlyWithStopMusicOnClick) {
  writeDisc("hidesplashscreen=1\r\nintromusic=intro.wav\r\nstopmusiconclick=" + value() + "\r\n");
  writeDiscFile("intro.wav", "RIFF");
  runSteps({[] { SendMessage(BrowserWindow->Handle(), WM_SYSCOMMAND, SC_APPCLICK, 0); }});
  auto sounds = events("sound");
  ASSERT_EQ(sounds.size(), GetParam() ? 2u : 1u);
  EXPECT_EQ(sounds[0].fields[0], discWindowsPath("intro.wav"));
  if (GetParam()) {
    EXPECT_EQ(sounds[1].fields[0], "");
  }
}

INSTANTIATE_TEST_SUITE_P(OffOn, MainWindowSwitchTest, ::testing::Bool());

// The context menu rule: "full" always, "simple" only for selected text (or
// without a document), anything else never.
struct MenuCase {
  const char* rule;
  const char* selection;
  bool shown;
};

class ContextMenuTest : public MainWindowTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(ContextMenuTest, FollowsTheContextMenuRule) {
  writeDisc(std::string("hidesplashscreen=1\r\ncontextmenu=") + GetParam().rule + "\r\n");
  runSteps({[] {
    page()->document()->setSelectionText(GetParam().selection);
    page()->rightClick(POINT{20, 20});
  }});
  EXPECT_EQ(events("contextmenu").size(), GetParam().shown ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Rules, ContextMenuTest,
                         ::testing::Values(MenuCase{"full", "", true}, MenuCase{"simple", "Welcome", true},
                                           MenuCase{"simple", "", false}, MenuCase{"none", "Welcome", false}));

// After each page: the default cursor, the captions from the page's title
// when the settings give none, the search form made visible.
struct DocumentCase {
  const char* keys;
  const char* title;
  const char* cursor;
  const char* caption;
  const char* appTitle;
};

class DocumentCompleteTest : public MainWindowTest, public ::testing::WithParamInterface<DocumentCase> {};

TEST_P(DocumentCompleteTest, PreparesEachPage) {
  writeDisc(std::string("hidesplashscreen=1\r\n") + GetParam().keys);
  writePage("index.html", GetParam().title,
            "<form name=\"searchform\" style=\"visibility: hidden\"><input name=\"searchterm\"></form>");
  std::string cursor, visibility, caption, title;
  runSteps({[&] {
    auto* doc = page()->document().get();
    cursor = doc->body()->style().get("cursor");
    visibility = doc->elementsByName("searchform").at(0)->style().get("visibility");
    caption = BrowserWindow->Caption();
    title = Application->Title();
  }});
  EXPECT_EQ(cursor, GetParam().cursor);
  EXPECT_EQ(visibility, "visible");
  EXPECT_EQ(caption, GetParam().caption);
  EXPECT_EQ(title, GetParam().appTitle);
}

INSTANTIATE_TEST_SUITE_P(Pages, DocumentCompleteTest,
                         ::testing::Values(DocumentCase{"", "Disc start", "default", "Disc start", "Disc start"},
                                           DocumentCase{"defaultcursor=0\r\n", "", "", "Qvlaunch", "Qvlaunch"},
                                           DocumentCase{"windowcaption=Menu\r\n", "Disc start", "default", "Menu",
                                                        "Menu"},
                                           DocumentCase{"windowcaption=Menu\r\nappcaption=Disc\r\n", "Disc start",
                                                        "default", "Menu", "Disc"}));

// Another program holds the foreground while the menu starts (the platform
// lets the menu take it): the first page to complete brings the menu to the
// front; a later page leaves the foreground where the user put it.
TEST_F(MainWindowTest, TheFirstCompletedPageBringsTheMenuToTheFront) {
  setProfileValue("foreground.other", "1");
  SystemParametersInfo(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
  writeSettings("startpage=index.html\r\nhidesplashscreen=1\r\n");
  writePage("index.html", "Start", "<a href=\"next.html\">next</a>");
  writePage("next.html", "Next");
  HWND other = qv::os::foreignForegroundWindow();
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(GetForegroundWindow(), other);
  bool frontAfterFirst = false, frontAfterNext = true;
  runSteps({[&] {
              frontAfterFirst = GetForegroundWindow() == BrowserWindow->Handle();
              SetForegroundWindow(other);
              page()->clickLinkText("next");
            },
            [&] { frontAfterNext = GetForegroundWindow() == BrowserWindow->Handle(); }});
  EXPECT_TRUE(frontAfterFirst);
  EXPECT_FALSE(frontAfterNext);
  EXPECT_EQ(navigations().size(), 2u);
}

// A 16 x 16 icon of 32 bits per pixel.
std::string iconFile() {
  std::string out;
  auto u16 = [&](unsigned v) { out += static_cast<char>(v & 0xFF), out += static_cast<char>((v >> 8) & 0xFF); };
  auto u32 = [&](unsigned v) { u16(v & 0xFFFF), u16(v >> 16); };
  const unsigned image = 40 + 16 * 16 * 4 + 16 * 4;
  u16(0), u16(1), u16(1);
  out += static_cast<char>(16), out += static_cast<char>(16), out += '\0', out += '\0';
  u16(1), u16(32), u32(image), u32(6 + 16);
  u32(40), u32(16), u32(32), u16(1), u16(32), u32(0), u32(16 * 16 * 4), u32(0), u32(0), u32(0), u32(0);
  for (int i = 0; i < 16 * 16; ++i) out += "\x20\x40\xC0\xFF";
  out.append(16 * 4, '\0');
  return out;
}

TEST_F(MainWindowTest, TheIconOfTheSettingsBecomesTheWindowsAndTheApplications) {
  writeDiscFile("autorun.inf", "[autorun]\r\nicon=disc.ico\r\n[quorvel]\r\nstartpage=index.html\r\nhidesplashscreen=1\r\n");
  writePage("index.html");
  writeDiscFile("disc.ico", iconFile());
  HICON window = nullptr;
  LRESULT app = 0;
  runSteps({[&] {
    window = BrowserWindow->Icon()->Handle();
    app = SendMessage(Application->Handle(), WM_GETICON, ICON_BIG, 0);
  }});
  EXPECT_NE(window, nullptr);
  // The application holds its own copy of the icon and shows it.
  EXPECT_NE(app, 0);
  EXPECT_EQ(app, reinterpret_cast<LRESULT>(Application->Icon()->Handle()));
}

TEST_F(MainWindowTest, TheTemporaryResultsPageGoesAfterTheNextPage) {
  writeDisc("hidesplashscreen=1\r\n");
  writePage("next.html", "Next");
  std::string results = writeFile("C/results.tmp", "<html></html>");
  runSteps({[&] {
              BrowserWindow->TempPageName = qv::os::toWindowsPath(results);
              BrowserWindow->TempPagePending = true;
              BrowserWindow->WebBrowser->NavigateTo(discWindowsPath("next.html"));
            },
            [&] {
              // One that cannot be deleted is reported.
              BrowserWindow->TempPageName = discWindowsPath("gone.tmp");
              BrowserWindow->TempPagePending = true;
              BrowserWindow->WebBrowser->NavigateTo(discWindowsPath("index.html"));
            }});
  EXPECT_FALSE(std::filesystem::exists(results));
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Die tempor\xE4re Suchergebnisseite (\"" +
                                                     discWindowsPath("gone.tmp") +
                                                     "\") konnte nicht mehr gel\xF6scht werden!"});
}

TEST_F(MainWindowTest, FadeInTakesThirteenTicks) {
  writeDisc("hidesplashscreen=1\r\nfadein=1\r\n");
  std::vector<int> alpha;
  bool blendAtStart = false;
  bool blendAtEnd = true;
  bool timerAtEnd = true;
  at(0, [&] {
    blendAtStart = BrowserWindow->AlphaBlend() && BrowserWindow->AlphaBlendValue() == 0;
    TTimer* timer = BrowserWindow->FadeTimer;
    TNotifyEvent tick = timer->OnTimer;
    timer->SetOnTimer([&alpha, tick](TObject* Sender) {
      tick(Sender);
      alpha.push_back(BrowserWindow->AlphaBlendValue());
    });
  });
  at(1000, [&] {
    blendAtEnd = BrowserWindow->AlphaBlend();
    timerAtEnd = BrowserWindow->FadeTimer->Enabled();
    closeMainWindow();
  });
  launch();
  EXPECT_TRUE(blendAtStart);
  EXPECT_EQ(alpha, (std::vector<int>{20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240, 255}));
  EXPECT_FALSE(blendAtEnd);
  EXPECT_FALSE(timerAtEnd);
}

// The start splash shows its picture until splashscreentime ticks of a
// second have passed; the page comes after it.
struct SplashCase {
  int ticks;
  std::uint64_t closedBy;
};

class StartSplashTest : public MainWindowTest, public ::testing::WithParamInterface<SplashCase> {};

TEST_P(StartSplashTest, StaysForItsTicks) {
  writeDisc("hidesplashscreen=1\r\nsplashscreenimg=splash.bmp\r\nsplashscreentime=" +
            std::to_string(GetParam().ticks) + "\r\n");
  writeDiscFile("splash.bmp", qvtest::bmpFile(120, 80, {0x20, 0x80, 0x40}));
  std::vector<std::uint64_t> shownAt;
  TRect splashClient{};
  std::uint64_t firstPage = 0;
  onIdle([&](int) {
    for (int i = 0; i < Screen->CustomFormCount(); ++i) {
      auto* splash = dynamic_cast<TSplashScreen*>(Screen->CustomForms(i));
      if (splash != nullptr && splash->Visible()) {
        shownAt.push_back(qv::desktop::Clock::now());
        splashClient = splash->ClientRect();
      }
    }
    if (firstPage == 0 && !navigations().empty()) {
      firstPage = qv::desktop::Clock::now();
      closeMainWindow();
      return true;
    }
    return false;
  });
  launch();
  ASSERT_FALSE(shownAt.empty());
  EXPECT_EQ(shownAt.front(), 0u);
  EXPECT_LT(shownAt.back(), GetParam().closedBy);
  EXPECT_GE(firstPage, GetParam().closedBy);
  EXPECT_EQ(edges(splashClient), (std::vector<LONG>{0, 0, 120, 80}));
  EXPECT_TRUE(messageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(Ticks, StartSplashTest,
                         ::testing::Values(SplashCase{3, 3000}, SplashCase{1, 1000}, SplashCase{0, 1000}));

// The About item of the system menu (command 1281) shows the About box in
// its full form, modally, stay-on-top, with the runtime's own version (the
// version block the program carries) and the browser's from the registry.
TEST_F(MainWindowTest, TheAboutCommandShowsTheFullAboutBox) {
  writeDisc("hidesplashscreen=0\r\n");
  {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Software\\Microsoft\\Internet Explorer", true));
    reg.WriteString("Version", "6.0.2900.2180");
  }
  bool modal = false;
  bool onTop = false;
  int height = 0;
  std::string version, ieVersion;
  bool madeAtStart = true;
  at(1000, [&] {
    // Until it is first shown the box is not made at all.
    madeAtStart = AboutBox != nullptr || FindWindow("TAboutBox", nullptr) != nullptr;
    PostMessage(BrowserWindow->Handle(), WM_SYSCOMMAND, SC_APPABOUT, 0);
  });
  at(1500, [&] {
    modal = AboutBox->FormState().Contains(fsModal);
    onTop = AboutBox->FormStyle() == fsStayOnTop;
    height = AboutBox->ClientHeight();
    version = AboutBox->VersionLabel->Caption();
    ieVersion = AboutBox->IEVersionLabel->Caption();
    AboutBox->SetModalResult(mrOk);
  });
  at(2000, [this] { closeMainWindow(); });
  launch();
  EXPECT_FALSE(madeAtStart);
  EXPECT_TRUE(modal);
  EXPECT_TRUE(onTop);
  EXPECT_EQ(height, 393);
  EXPECT_EQ(version, "Version 1.0.0");
  EXPECT_EQ(ieVersion, "IE: 6.0.2900.2180");
}

// An exception that reaches the message loop (here the browser refusing to
// go forward without a page to go to) is reported with message 18 and ends
// the run.
TEST_F(MainWindowTest, AnErrorInTheMessageLoopEndsTheRunWithMessage18) {
  writeDisc("hidesplashscreen=1\r\n");
  at(1000, [] {
    BrowserWindow->ForwardEnabled = true;
    PostMessage(BrowserWindow->Handle(), WM_SYSCOMMAND, SC_APPFORWARD, 0);
  });
  launch();
  ASSERT_EQ(messageTexts().size(), 1u);
  EXPECT_EQ(messageTexts()[0].rfind("Ein unerwarteter Fehler ist aufgereten!\rDebug Information: \"", 0), 0u)
      << messageTexts()[0];
  EXPECT_FALSE(timedOut());
}

}  // namespace
