// The driver's commands on the front browser control's page: each reaches
// the page as a person's action (or a page script's request) would, and a
// command that finds nothing to act on is refused with a reason.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/browser/WebBrowser.h"
#include "platform/com/ComPtr.h"
#include "platform/desktop/Recorder.h"
#include "platform/driver/Driver.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Window.h"

namespace {

using qv::desktop::Recorder;

class BrowserCommandsTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    writeFile("disc/index.html",
              "<html><head><title>Start</title></head><body>"
              "<a href=\"second.html\">Second page</a>"
              "<form name=\"searchform\" action=\"results.html\">"
              "<input name=\"searchterm\" value=\"\"></form></body></html>");
    writeFile("disc/second.html", "<html><head><title>Second</title></head><body>Two</body></html>");
    writeFile("disc/results.html", "<html><body>Results</body></html>");
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "QvDriverHost";
    RegisterClass(&wc);
    host = CreateWindowEx(0, "QvDriverHost", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                          nullptr, nullptr, nullptr);
    wb = qv::browser::createWebBrowser();
    qv::com::ComPtr<IOleObject> ole;
    wb->QueryInterface(IID_IOleObject, ole.putVoid());
    RECT r{0, 0, 600, 400};
    ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, host, &r);
    qv::com::Variant url(qv::os::toWindowsPath(hostPath("disc/index.html")));
    wb->Navigate2(url.get(), nullptr, nullptr, nullptr, nullptr);
    qv::os::pumpMessages();
    Recorder::clearEvents();
  }
  void TearDown() override {
    qv::com::ComPtr<IOleObject> ole;
    wb->QueryInterface(IID_IOleObject, ole.putVoid());
    ole->Close(0);
    wb = nullptr;
    DestroyWindow(host);
    DesktopTest::TearDown();
  }
  // Runs one command and lets the page react; answers the refusal's reason.
  std::string run(const std::string& line) {
    std::string error;
    const bool ok = qv::desktop::runDriverCommand(line, error);
    qv::os::pumpMessages();
    return ok ? std::string() : (error.empty() ? "refused" : error);
  }
  std::vector<std::string> navigated() const {
    std::vector<std::string> out;
    for (const auto& e : Recorder::eventsOf("navigate")) out.push_back(e.fields.at(0));
    return out;
  }
  HWND host = nullptr;
  qv::com::ComPtr<IWebBrowser2> wb;
};

TEST_F(BrowserCommandsTest, LinkFieldAndSubmitActOnThePage) {
  EXPECT_EQ(run("link Second"), "");
  ASSERT_EQ(navigated().size(), 1u);
  EXPECT_NE(navigated()[0].find("second.html"), std::string::npos);

  wb->GoBack();
  qv::os::pumpMessages();
  Recorder::clearEvents();
  EXPECT_EQ(run("field searchterm cd rom"), "");
  EXPECT_EQ(run("submit searchform"), "");
  ASSERT_EQ(navigated().size(), 1u);
  EXPECT_NE(navigated()[0].find("results.html?searchterm=cd+rom"), std::string::npos) << navigated()[0];
}

TEST_F(BrowserCommandsTest, ScriptRequestsAndRightClickAreRaised) {
  EXPECT_EQ(run("open second.html width=300,height=200"), "");
  ASSERT_EQ(Recorder::eventsOf("newwindow").size(), 1u);
  EXPECT_NE(Recorder::eventsOf("newwindow")[0].fields.at(0).find("second.html"), std::string::npos);

  EXPECT_EQ(run("scripterror 12 5 0 file:///D:/index.html 'x' is undefined"), "");
  ASSERT_EQ(Recorder::eventsOf("scripterror").size(), 1u);
  EXPECT_EQ(Recorder::eventsOf("scripterror")[0].fields.at(0), "12");

  EXPECT_EQ(run("rclick-page 20 30"), "");
  EXPECT_EQ(Recorder::eventsOf("contextmenu").size(), 1u);
}

TEST_F(BrowserCommandsTest, CommandsThatFindNothingAreRefused) {
  struct Case {
    const char* line;
    const char* reason;
  } cases[] = {
      {"link Nowhere", "no link with Nowhere"},
      {"field nosuchfield x", "no field nosuchfield"},
      {"submit noform", "no form noform"},
      {"scripterror twelve 5 0 u m", "expected LINE CHARACTER CODE URL MESSAGE"},
      {"rclick-page 20", "expected X Y"},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.line), c.reason) << c.line;
  EXPECT_TRUE(navigated().empty());

  ShowWindow(host, SW_HIDE);
  EXPECT_EQ(run("link Second"), "no browser control");
}

}  // namespace
