// The application's loop reflects key messages to the class library control
// that holds the key's window (CN_KEYDOWN ...) before dispatching them; a
// nonzero answer keeps the key from the window. Controls take their
// messages through a replaceable WindowProc.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BareForm.h"
#include "DesktopTest.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/os/user/User.h"

namespace {

std::vector<std::string> g_foreign;

LRESULT foreignProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN) g_foreign.push_back("key " + std::to_string(wParam));
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

class KeyReflectionTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    g_foreign.clear();
    form = newBareForm(300, 200);
    panel = new TPanel(form);
    panel->SetBounds(10, 10, 200, 100);
    panel->SetParent(form);
    form->Show();
    WNDCLASSA wc{};
    wc.lpfnWndProc = foreignProc;
    wc.lpszClassName = "QvForeign";
    RegisterClass(&wc);
    // A window that is no control of ours, as an OLE object's window is.
    foreign = CreateWindowEx(0, "QvForeign", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, panel->Handle(), nullptr, nullptr,
                             nullptr);
    SetFocus(foreign);
    Application->ProcessMessages();
  }
  void TearDown() override {
    delete form;
    DesktopTest::TearDown();
  }
  void press(UINT vk) {
    qv::os::injectKey(vk, true);
    qv::os::injectKey(vk, false);
    Application->ProcessMessages();
  }

  TForm* form = nullptr;
  TPanel* panel = nullptr;
  HWND foreign = nullptr;
  // What the replaced procedures saw; they outlive the test body.
  std::vector<std::string> reflected;
  int seen = 0;
};

TEST_F(KeyReflectionTest, HoldingControlSeesTheKeyFirstAndMayTakeIt) {
  auto saved = panel->WindowProc;
  panel->WindowProc = [this, saved](TMessage& m) {
    if (m.Msg >= CN_KEYDOWN && m.Msg <= CN_DEADCHAR) {
      reflected.push_back(std::to_string(m.Msg - CN_BASE) + " " + std::to_string(m.WParam));
      m.Result = m.WParam == 'A' ? 1 : 0;
      return;
    }
    saved(m);
  };
  press('A');
  press('B');
  EXPECT_EQ(g_foreign, std::vector<std::string>{"key 66"});
  // The taken press leaves no character; B's release and character follow.
  EXPECT_EQ(reflected, (std::vector<std::string>{"256 65", "257 65", "256 66", "258 98", "257 66"}));
}

TEST_F(KeyReflectionTest, UnreplacedControlsLetKeysThroughAndPerformUsesWindowProc) {
  press('A');
  EXPECT_EQ(g_foreign, std::vector<std::string>{"key 65"});
  auto saved = panel->WindowProc;
  panel->WindowProc = [this, saved](TMessage& m) {
    if (m.Msg == WM_USER + 7) ++seen;
    saved(m);
  };
  panel->Perform(WM_USER + 7);
  SendMessage(panel->Handle(), WM_USER + 7, 0, 0);
  EXPECT_EQ(seen, 2);
}

}  // namespace
