// The end of a run: the exit splash (the About box's top strip) for three
// ticks of 500 ms, or at once with hidesplashscreen, which also leaves the
// About item out of the system menus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RuntimeFixture.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "platform/os/kernel/CodePage.h"
#include "platform/os/user/User.h"
#include "runtime/About.h"
#include "runtime/Browser.h"

namespace {

using qv::desktop::Clock;

// The text of the About item in a system menu, or "" without one.
std::string aboutItem(HWND window) {
  char text[64] = {};
  HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr || GetMenuString(menu, static_cast<UINT>(SC_APPABOUT), text, sizeof text, MF_BYCOMMAND) <= 0)
    return "";
  return text;
}

class ExitTest : public qvtest::RuntimeTest {
 protected:
  // What the screen shows while the run ends, looked at whenever the
  // program waits.
  struct Look {
    std::uint64_t at;
    bool mainVisible;
    bool aboutVisible;
    TRect about;
  };
  std::vector<Look> looks;
  std::uint64_t closedAt = 1000;

  void watchTheEnd() {
    onIdle([this](int) {
      if (Clock::now() >= closedAt && BrowserWindow != nullptr && AboutBox != nullptr)
        looks.push_back({Clock::now(), IsWindowVisible(BrowserWindow->Handle()) != FALSE,
                         AboutBox->HandleAllocated() && IsWindowVisible(AboutBox->Handle()),
                         AboutBox->BoundsRect()});
      return false;
    });
  }
};

TEST_F(ExitTest, TheExitSplashStaysForThreeTicksCentredThenTheRunEnds) {
  writeDisc("showstatusbar=1\r\n");
  bool barsFreed = false;
  bool aboutVisibleAtEnd = true;
  bool timerAtEnd = true;
  at(closedAt, [this] { closeMainWindow(); });
  at(closedAt + 100, [&] {
    barsFreed = BrowserWindow->StatusBar == nullptr && BrowserWindow->Toolbar == nullptr;
    // The close that ends the run: what does the About box do then?
    TCloseEvent close = BrowserWindow->OnClose;
    BrowserWindow->OnClose = [&, close](TObject* Sender, TCloseAction& Action) {
      close(Sender, Action);
      if (Action != caFree) return;
      aboutVisibleAtEnd = IsWindowVisible(AboutBox->Handle()) != FALSE;
      timerAtEnd = AboutBox->ShutdownTimer->Enabled();
    };
  });
  watchTheEnd();
  launch();

  EXPECT_FALSE(timedOut());
  // The third tick's close ends the run: the close that follows the splash
  // does not show it again.
  EXPECT_EQ(Clock::now(), closedAt + 1500);
  ASSERT_FALSE(looks.empty());
  for (const Look& l : looks) {
    EXPECT_FALSE(l.mainVisible) << l.at;
    EXPECT_TRUE(l.aboutVisible) << l.at;
    EXPECT_EQ((std::vector<LONG>{l.about.left, l.about.top, l.about.right - l.about.left, l.about.bottom - l.about.top}),
              (std::vector<LONG>{(1024 - 212) / 2, (768 - 50) / 2, 212, 50}))
        << l.at;
  }
  EXPECT_EQ(looks.back().at, closedAt + 1000);
  EXPECT_TRUE(barsFreed);
  EXPECT_FALSE(aboutVisibleAtEnd);
  EXPECT_FALSE(timerAtEnd);
}

TEST_F(ExitTest, AMaximisedWindowIsMinimisedWhileTheSplashShows) {
  writeDisc("fullscreen=1\r\n");
  TWindowState before = wsNormal;
  TWindowState during = wsNormal;
  at(closedAt, [&] {
    before = BrowserWindow->WindowState();
    closeMainWindow();
  });
  at(closedAt + 600, [&] { during = BrowserWindow->WindowState(); });
  launch();
  EXPECT_EQ(before, wsMaximized);
  EXPECT_EQ(during, wsMinimized);
  EXPECT_EQ(Clock::now(), closedAt + 1500);
}

// The About item (message 5) after a separator in both system menus, and
// the exit splash, come and go together with hidesplashscreen.
class HideSplashScreenTest : public ExitTest, public ::testing::WithParamInterface<bool> {};

TEST_P(HideSplashScreenTest, DecidesTheAboutItemAndTheExitSplash) {
  const bool hide = GetParam();
  writeDisc(std::string("hidesplashscreen=") + (hide ? "1" : "0") + "\r\n");
  std::string windowItem, appItem;
  at(500, [&] {
    windowItem = aboutItem(BrowserWindow->Handle());
    appItem = aboutItem(Application->Handle());
  });
  at(closedAt, [this] { closeMainWindow(); });
  watchTheEnd();
  launch();

  std::string item = hide ? "" : qv::os::ansi(u8"Über Quorvel...");
  EXPECT_EQ(windowItem, item);
  EXPECT_EQ(appItem, item);
  EXPECT_EQ(Clock::now(), hide ? closedAt : closedAt + 1500);
  bool splashSeen = false;
  for (const Look& l : looks) splashSeen = splashSeen || l.aboutVisible;
  EXPECT_EQ(splashSeen, !hide);
  EXPECT_FALSE(timedOut());
}

INSTANTIATE_TEST_SUITE_P(OffOn, HideSplashScreenTest, ::testing::Bool());

// Closing twice while the splash shows still ends the run: the second
// request shows the splash anew, and the run ends three ticks after it.
TEST_F(ExitTest, ASecondCloseDuringTheSplashStillEnds) {
  writeDisc();
  at(closedAt, [this] { closeMainWindow(); });
  at(closedAt + 700, [] { BrowserWindow->Close(); });
  launch();
  EXPECT_FALSE(timedOut());
  EXPECT_EQ(events("msgbox").size(), 0u);
}

}  // namespace
