// The control's in-place active object: the keys a host's loop hands over
// before dispatching them (Tab through the page's links and form controls,
// Ctrl+C), with the host's own accelerator hook asked once per key.
#include "BrowserHarness.h"
#include "platform/desktop/Recorder.h"

namespace qvtest {
namespace {

using qv::com::ComPtr;

class AcceleratorTest : public BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    writeFile("site/form.html",
              "<html><body><a id=\"link\" href=\"PAGE2.HTML\">two</a><a name=\"anchor\">no href</a>"
              "<form name=\"f\"><input type=\"hidden\" name=\"h\"><input id=\"text\" name=\"t\">"
              "<input id=\"off\" name=\"o\" disabled><input id=\"skip\" tabindex=\"-1\">"
              "<select id=\"choice\" name=\"s\"><option>1</option></select>"
              "<textarea id=\"area\" name=\"a\"></textarea></form></body></html>");
    go(windowsPath("site/form.html"));
    ASSERT_EQ(wb->QueryInterface(IID_IOleInPlaceActiveObject, active.putVoid()), S_OK);
  }
  // The keyboard as the next key message will find it.
  static void hold(std::initializer_list<int> keys) {
    BYTE state[256] = {};
    for (int k : keys) state[k] = 0x80;
    SetKeyboardState(state);
  }
  HRESULT key(WPARAM vk, UINT message = WM_KEYDOWN) {
    MSG m{control->window(), message, vk, 0, 0, {0, 0}};
    return active->TranslateAccelerator(&m);
  }
  std::string focused() const { return control->document()->activeElement()->id(); }

  ComPtr<IOleInPlaceActiveObject> active;
};

TEST_F(AcceleratorTest, TabWalksTheLinksAndFormControlsRoundThePage) {
  EXPECT_EQ(focused(), "");  // the body
  std::vector<std::string> forward;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(key(VK_TAB), S_OK);
    forward.push_back(focused());
  }
  EXPECT_EQ(forward, (std::vector<std::string>{"link", "text", "choice", "area", "link"}));
  hold({VK_SHIFT});
  EXPECT_EQ(key(VK_TAB), S_OK);
  EXPECT_EQ(focused(), "area");
  // Releases are no accelerators; nor is Tab with Ctrl.
  hold({});
  EXPECT_EQ(key(VK_TAB, WM_KEYUP), S_FALSE);
  hold({VK_CONTROL});
  EXPECT_EQ(key(VK_TAB), S_FALSE);
  EXPECT_EQ(focused(), "area");
}

TEST_F(AcceleratorTest, CtrlCCopiesTheSelection) {
  control->document()->setSelectionText("two");
  EXPECT_EQ(key('C'), S_FALSE);  // without Ctrl a plain letter
  EXPECT_TRUE(qv::desktop::Recorder::eventsOf("clipboard").empty());
  hold({VK_CONTROL});
  EXPECT_EQ(key('C'), S_OK);
  const auto copies = qv::desktop::Recorder::eventsOf("clipboard");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].fields.at(0), "two");
}

TEST_F(AcceleratorTest, HostHookSeesEachKeyOnce) {
  // A key the control leaves alone goes on to its window, which does not ask
  // the host a second time.
  site->calls.clear();
  PostMessage(control->window(), WM_KEYDOWN, VK_F5, 0);
  MSG m{};
  ASSERT_TRUE(PeekMessage(&m, control->window(), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(active->TranslateAccelerator(&m), S_FALSE);
  DispatchMessage(&m);
  EXPECT_EQ(site->callsStarting("TranslateAccelerator"),
            std::vector<std::string>{"TranslateAccelerator " + std::to_string(VK_F5)});
  // Dispatched without the loop's hand-over, the window asks.
  site->calls.clear();
  SendMessage(control->window(), WM_KEYDOWN, VK_F5, 0);
  EXPECT_EQ(site->callsStarting("TranslateAccelerator").size(), 1u);
}

}  // namespace
}  // namespace qvtest
