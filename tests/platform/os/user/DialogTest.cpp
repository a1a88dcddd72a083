// IsDialogMessage: which messages are the dialog's, Tab through its tab
// stops, and everything else dispatched by the routine itself.
#include "UserFixture.h"

using namespace usertest;

namespace {

class DialogTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    dlg = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 400, 400});
    first = make(WS_CHILD | WS_VISIBLE | WS_TABSTOP, {10, 10, 100, 30}, dlg);
    make(WS_CHILD | WS_VISIBLE, {10, 40, 100, 60}, dlg);  // no tab stop
    make(WS_CHILD | WS_TABSTOP, {10, 70, 100, 90}, dlg);  // hidden
    make(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_DISABLED, {10, 100, 100, 120}, dlg);
    last = make(WS_CHILD | WS_VISIBLE | WS_TABSTOP, {10, 130, 100, 150}, dlg);
    other = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {500, 100, 700, 300});
    qv::os::pumpMessages();
    log().clear();
  }
  static BOOL tab(HWND dlg, HWND to, bool shift = false) {
    BYTE state[256] = {};
    if (shift) state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    MSG m{to, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    return IsDialogMessage(dlg, &m);
  }
  HWND dlg = nullptr, first = nullptr, last = nullptr, other = nullptr;
};

TEST_F(DialogTest, OnlyTheDialogsOwnMessagesAreTakenAndTheyAreDispatched) {
  MSG outside{other, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {0, 0}};
  EXPECT_FALSE(IsDialogMessage(dlg, &outside));
  EXPECT_FALSE(IsDialogMessage(nullptr, &outside));
  EXPECT_TRUE(log().empty());

  MSG click{first, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4), 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessage(dlg, &click));
  MSG own{dlg, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
  EXPECT_TRUE(IsDialogMessage(dlg, &own));
  EXPECT_EQ(names({WM_LBUTTONDOWN, WM_KEYDOWN}), (std::vector<std::string>{"WM_LBUTTONDOWN", "WM_KEYDOWN"}));
  EXPECT_EQ(names({WM_LBUTTONDOWN}, first).size(), 1u);
}

TEST_F(DialogTest, TabMovesTheFocusRoundTheVisibleEnabledTabStops) {
  SetFocus(first);
  EXPECT_TRUE(tab(dlg, first));
  EXPECT_EQ(GetFocus(), last);
  EXPECT_TRUE(tab(dlg, last));
  EXPECT_EQ(GetFocus(), first);
  EXPECT_TRUE(tab(dlg, first, true));
  EXPECT_EQ(GetFocus(), last);
  EXPECT_TRUE(names({WM_KEYDOWN}).empty());
  // Without a starting control: the ends of the order (the z order).
  HWND start = GetNextDlgTabItem(dlg, nullptr, FALSE);
  EXPECT_TRUE(start == first || start == last);
  EXPECT_EQ(GetNextDlgTabItem(dlg, nullptr, TRUE), start == first ? last : first);
  EXPECT_EQ(GetNextDlgTabItem(other, nullptr, FALSE), nullptr);
}

TEST_F(DialogTest, ControlThatWantsTabGetsTheKey) {
  onMessage([this](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (h != first || msg != WM_GETDLGCODE) return false;
    result = DLGC_WANTTAB;
    return true;
  });
  SetFocus(first);
  EXPECT_TRUE(tab(dlg, first));
  EXPECT_EQ(GetFocus(), first);
  EXPECT_EQ(names({WM_KEYDOWN}, first), std::vector<std::string>{"WM_KEYDOWN"});
}

}  // namespace
