// The designer's build of TWebHost: no application keyboard filter, and on a
// control loaded from a form resource its own window procedure, which hands
// the class library's reflected keys to the browser and lets OnCloseQuery
// keep the browser window.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DesktopTest.h"
#include "browserhost/WebHost.h"
#include "platform/browser/WebBrowser.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/User.h"

namespace {

constexpr const char* kForm = R"(object HostForm: TForm
  Left = 0
  Top = 0
  Width = 400
  Height = 300
  object WelcomeBrowser: TWebHost
    Left = 0
    Top = 0
    Width = 300
    Height = 200
  end
end
)";

class WindowProcTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    writeFile("site/form.html",
              "<html><body><a id=\"link\" href=\"form.html\">again</a>"
              "<form><input id=\"first\" name=\"a\"><input id=\"second\" name=\"b\"></form></body></html>");
    Application->OnMessage = [this](MSG&, bool&) { ++earlierHandlerCalls; };
    form.reset(TForm::CreateNew(nullptr));
    qv::classlib::readComponentText(kForm, form.get());
    host = dynamic_cast<TWebHost*>(form->FindComponent("WelcomeBrowser"));
    ASSERT_NE(host, nullptr);
    form->Show();
    host->OnTranslateAccelerator = [this](const MSG* m, const GUID*, DWORD) {
      offered += std::to_string(m->wParam) + " ";
      return S_FALSE;
    };
    host->NavigateTo(qv::os::toWindowsPath(hostPath("site/form.html")));
    Application->ProcessMessages();
  }
  void TearDown() override {
    form.reset();
    qv::os::pumpMessages();
    DesktopTest::TearDown();
  }
  qv::browser::WebBrowser* browser() const { return qv::browser::webBrowserOf(host->DefaultInterface()); }
  std::string focused() const { return browser()->document()->activeElement()->id(); }

  std::unique_ptr<TForm> form;
  TWebHost* host = nullptr;
  std::string offered;
  int earlierHandlerCalls = 0;
};

TEST_F(WindowProcTest, DesignersBuildInstallsNoFilter) {
  EXPECT_FALSE(qv::browserhost::FilterInstalled());
  // The application's own handler still sees the messages.
  EXPECT_GT(earlierHandlerCalls, 0);
}

TEST_F(WindowProcTest, ReflectedKeysGoToTheBrowserExceptTheTypingKeys) {
  struct Case {
    WPARAM key;
    LPARAM lParam;
    LRESULT result;
    const char* offered;
  };
  constexpr LPARAM kExtended = LPARAM{1} << 24;
  const Case cases[] = {
      {VK_TAB, 0, 1, "9 "},         // taken: the focus moves
      {'X', 0, 0, "88 "},           // offered, left to the window
      {VK_LEFT, 0, 0, "37 "},       // the keypad's 4 without Num Lock
      {VK_LEFT, kExtended, 0, ""},  // the arrow key itself
      {VK_RIGHT, kExtended, 0, ""}, {VK_BACK, 0, 0, ""}, {VK_RETURN, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    offered.clear();
    EXPECT_EQ(SendMessage(host->Handle(), CN_KEYDOWN, c.key, c.lParam), c.result);
    EXPECT_EQ(offered, c.offered);
  }
  EXPECT_EQ(focused(), "link");
}

TEST_F(WindowProcTest, TabTypedInThePageMovesTheFocusThroughTheReflection) {
  browser()->document()->setActiveElement(browser()->document()->elementById("first"));
  SetFocus(browser()->window());
  qv::os::injectKey(VK_TAB, true);
  qv::os::injectKey(VK_TAB, false);
  Application->ProcessMessages();
  EXPECT_EQ(focused(), "second");
}

TEST_F(WindowProcTest, OnCloseQueryDecidesWhetherTheBrowserWindowCloses) {
  int asked = 0;
  host->OnCloseQuery = [&](TObject* Sender, bool& CanClose) {
    EXPECT_EQ(Sender, host);
    ++asked;
    CanClose = false;
  };
  HWND window = host->Handle();
  SendMessage(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(IsWindow(window));

  host->OnCloseQuery = [&](TObject*, bool&) { ++asked; };
  SendMessage(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowProcTest, ControlMadeInCodeHasNoWindowProcedureOfItsOwn) {
  auto* made = new TWebHost(form.get());
  made->SetParent(form.get());
  bool asked = false;
  made->OnCloseQuery = [&](TObject*, bool& CanClose) {
    asked = true;
    CanClose = false;
  };
  EXPECT_EQ(SendMessage(made->Handle(), CN_KEYDOWN, VK_TAB, 0), 0);
  SendMessage(made->Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(asked);
}

}  // namespace
