// The runtime's build of TWebHost: the application keyboard filter that the
// first control installs. Alt+Left and Alt+Right, the About command and a
// left click in the browser become system commands for the main form; Tab
// and Ctrl keys of the page go to the browser's in-place active object.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../WebHostFixture.h"
#include "platform/os/user/User.h"

namespace qvtest {
namespace {

using qv::browserhost::SC_APPABOUT;
using qv::browserhost::SC_APPBACK;
using qv::browserhost::SC_APPCLICK;
using qv::browserhost::SC_APPFORWARD;

class KeyboardFilterTest : public WebHostTest {
 protected:
  void SetUp() override {
    WebHostTest::SetUp();
    Application->SetMainForm(form);
    auto saved = form->WindowProc;
    form->WindowProc = [this, saved](TMessage& m) {
      if (m.Msg == WM_SYSCOMMAND && m.WParam >= SC_APPABOUT && m.WParam <= SC_APPCLICK) {
        commands.push_back(m.WParam);
        return;
      }
      saved(m);
    };
    host->OnTranslateAccelerator = [this](const MSG* m, const GUID*, DWORD) {
      offered.push_back(m->wParam);
      return S_FALSE;
    };
    go("index.html");
    SetFocus(browser()->window());
  }
  void TearDown() override {
    Application->SetMainForm(nullptr);
    WebHostTest::TearDown();
  }
  static void run() { Application->ProcessMessages(); }
  static void press(std::initializer_list<UINT> keys) {
    for (UINT k : keys) qv::os::injectKey(k, true);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) qv::os::injectKey(*it, false);
    run();
  }
  std::string focused() const { return browser()->document()->activeElement()->name(); }

  std::vector<WPARAM> commands;
  std::vector<WPARAM> offered;
  std::vector<std::string> arrived;
};

TEST_F(KeyboardFilterTest, AltArrowsSendOneCommandPerPressAndNeverReachThePage) {
  EXPECT_TRUE(qv::browserhost::FilterInstalled());
  go("page2.html");
  SetFocus(browser()->window());
  offered.clear();
  press({VK_MENU, VK_LEFT});
  EXPECT_EQ(commands, std::vector<WPARAM>{SC_APPBACK});
  // The browser's own Alt+Left would have gone back.
  EXPECT_EQ(browser()->document()->title(), "Two");
  press({VK_MENU, VK_RIGHT});
  EXPECT_EQ(commands, (std::vector<WPARAM>{SC_APPBACK, SC_APPFORWARD}));
  for (WPARAM k : offered) EXPECT_TRUE(k != VK_LEFT && k != VK_RIGHT) << k;
  // Without Alt the arrows are the page's.
  press({VK_LEFT});
  EXPECT_EQ(commands.size(), 2u);
}

TEST_F(KeyboardFilterTest, MessagesThatCarryNoKeyCodeAreNotTakenForArrows) {
  qv::os::injectKey(VK_MENU, true);
  run();
  auto saved = form->WindowProc;
  form->WindowProc = [this, saved](TMessage& m) {
    if (m.Msg == WM_USER + 1 || m.Msg == WM_SYSCHAR) arrived.push_back(std::to_string(m.WParam));
    saved(m);
  };
  // A posted message whose wParam happens to be 37, and Alt+'%'.
  PostMessage(form->Handle(), WM_USER + 1, VK_LEFT, 0);
  PostMessage(form->Handle(), WM_SYSCHAR, '%', 0);
  run();
  EXPECT_EQ(arrived, (std::vector<std::string>{"37", "37"}));
  EXPECT_TRUE(commands.empty());
  qv::os::injectKey(VK_MENU, false);
  run();
}

TEST_F(KeyboardFilterTest, TabInAFormFieldMovesTheFocusInsideThePage) {
  browser()->document()->setActiveElement(browser()->document()->elementsByName("searchterm").at(0));
  press({VK_TAB});
  // Round from the last field to the first link.
  EXPECT_EQ(browser()->document()->activeElement()->id(), "two");
  press({VK_SHIFT, VK_TAB});
  EXPECT_EQ(focused(), "searchterm");
  EXPECT_TRUE(commands.empty());
}

TEST_F(KeyboardFilterTest, CtrlCCopiesTheSelection) {
  browser()->document()->setSelectionText("two");
  press({VK_CONTROL, 'C'});
  const auto copies = qv::desktop::Recorder::eventsOf("clipboard");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].fields.at(0), "two");
}

TEST_F(KeyboardFilterTest, LeftClickInTheBrowserSendsAppClickAndThePageStillGetsIt) {
  const auto link = browser()->elementBox(browser()->document()->elementById("two"));
  ASSERT_TRUE(link);
  POINT at{(link->left + link->right) / 2, (link->top + link->bottom) / 2};
  ClientToScreen(browser()->window(), &at);
  qv::os::injectClick(at);
  run();
  EXPECT_EQ(commands, std::vector<WPARAM>{SC_APPCLICK});
  EXPECT_EQ(browser()->document()->title(), "Two");
}

TEST_F(KeyboardFilterTest, AboutCommandInTheQueueIsSentToTheMainFormOnce) {
  PostMessage(browser()->window(), WM_SYSCOMMAND, SC_APPABOUT, 0);
  run();
  EXPECT_EQ(commands, std::vector<WPARAM>{SC_APPABOUT});
}

TEST_F(KeyboardFilterTest, OnlyTheInstallingControlRemovesTheFilter) {
  // A fresh start: the application's own handler is kept while the filter
  // is in and comes back when the filter goes.
  delete host;
  host = nullptr;
  EXPECT_FALSE(qv::browserhost::FilterInstalled());
  int ownHandler = 0;
  Application->OnMessage = [&](MSG&, bool&) { ++ownHandler; };
  auto* first = new TWebHost(form);
  first->SetParent(form);
  EXPECT_TRUE(qv::browserhost::FilterInstalled());

  auto* popup = new TWebHost(form);  // as a popup window's control
  delete popup;
  EXPECT_TRUE(qv::browserhost::FilterInstalled());
  SetFocus(first->Handle());
  press({VK_MENU, VK_LEFT});
  EXPECT_EQ(commands, std::vector<WPARAM>{SC_APPBACK});
  EXPECT_EQ(ownHandler, 0);

  delete first;
  EXPECT_FALSE(qv::browserhost::FilterInstalled());
  press({VK_MENU, VK_LEFT});
  EXPECT_EQ(commands.size(), 1u);
  EXPECT_GT(ownHandler, 0);
}

}  // namespace
}  // namespace qvtest
