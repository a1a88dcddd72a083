// The navigation pane's splitter and overflow panel as the control drives
// them, through injected input on the headless desktop: a view of our own
// reports a splitter, an overflow panel with two buttons and a sign at
// fixed places, so the control's rules show apart from any view's layout.
#include "navbar/uiNavBar.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "navbar/uiNavBarViewsFact.h"
#include "platform/classlib/Forms.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Window.h"

namespace {

// The splitter spans y 200 to 206; a move below 233 or above 173 (its
// middle, 203, plus or minus 30) asks for one button fewer or more. The
// overflow panel is y 460 to 499 with the buttons of groups 4 and 5 at x
// 100 and 120 (20 wide) and the sign at x 157 to 176.
class TPaneTestViewInfo : public TuiNavBarViewInfo {
  QV_CLASS(TPaneTestViewInfo, TuiNavBarViewInfo)
  using TuiNavBarViewInfo::TuiNavBarViewInfo;

  static TRect Splitter() { return TRect{0, 200, 177, 207}; }
  static TRect Panel() { return TRect{0, 460, 177, 500}; }
  static TRect Sign() { return TRect{157, 461, 177, 499}; }
  static TRect Button(int i) { return TRect{100 + 20 * i, 461, 120 + 20 * i, 499}; }

  bool IsPtNavigationPaneSplitter(const TPoint& P) override { return in(Splitter(), P); }
  bool IsPtNavigationPaneOverflowPanel(const TPoint& P) override { return in(Panel(), P); }
  bool IsPtNavigationPaneOverflowPanelSign(const TPoint& P) override { return in(Sign(), P); }
  bool IsSplitterDraggedDown(const TPoint& P) override { return P.y > 203 + 30; }
  bool IsSplitterDraggedUp(const TPoint& P) override { return P.y < 203 - 30; }
  int GetNavigationPaneOverflowPanelItemIndexAtPos(const TPoint& P) override {
    for (int i = 0; i < 2; ++i)
      if (in(Button(i), P)) return i;
    return -1;
  }
  TuiNavBarGroup* GetNavigationPaneOverflowPanelGroupAtPos(const TPoint& P) override {
    const int i = GetNavigationPaneOverflowPanelItemIndexAtPos(P);
    return i == -1 ? nullptr : Control()->Groups()->Items(3 + i);
  }
  void ShowPopupMenu(int X, int Y) override { menus.push_back(TPoint{X, Y}); }

  std::vector<TPoint> menus;

 private:
  static bool in(const TRect& R, const TPoint& P) { return PtInRect(&R, P) != 0; }
};

class TPaneTestPainter : public TuiNavBarPainter {
  UI_NAVBAR_PAINTER_CLASS(TPaneTestPainter, TuiNavBarPainter)
  using TuiNavBarPainter::TuiNavBarPainter;
  TuiNavBarViewInfo* CreateViewInfo() override { return new TPaneTestViewInfo(this); }
};

// A bar whose loading a test can begin and end.
class TLoadingNavBar : public TuiNavBar {
  QV_CLASS(TLoadingNavBar, TuiNavBar)
  using TuiNavBar::TuiNavBar;
  void beginLoading() { FComponentState.Include(csLoading); }
  void endLoading() { Loaded(); }
};

constexpr int kPaneView = 0;

class NavPaneControl : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    qv::classlib::InitializeUnit(uiNavBarUnit);
    RegisterView(kPaneView, "PaneTestView", TPaneTestPainter::PainterClass());
    form.reset(TForm::CreateNew(nullptr));
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 600);
    bar = new TLoadingNavBar(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(0, 0, 177, 500);
    bar->SetDragDropFlags({});
    for (int g = 0; g < 5; ++g) {
      TuiNavBarGroup* group = bar->Groups()->Add();
      group->SetCaption("Group " + std::to_string(g + 1));
      groups.push_back(group);
    }
    bar->SetActiveGroup(groups[0]);
    bar->OnActiveGroupChanged = [this](TObject*) { changes.push_back(bar->GetActiveGroup()); };
    form->Show();
    settle();
  }
  void TearDown() override {
    form.reset();
    UnregisterView(kPaneView);
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }
  void settle() {
    qv::os::pumpMessages();
    bar->Repaint();
    qv::os::pumpMessages();
  }
  TPaneTestViewInfo* info() { return dynamic_cast<TPaneTestViewInfo*>(bar->GetViewInfo()); }
  // Each input is handled and painted before the next, as a person's hand
  // is slower than the bar.
  void mouse(UINT msg, int x, int y, WPARAM keys = 0) {
    qv::os::injectMouse(msg, bar->ClientToScreen(TPoint{x, y}), keys);
    settle();
  }
  void moveTo(int x, int y) { mouse(WM_MOUSEMOVE, x, y); }
  void dragTo(int x, int y) { mouse(WM_MOUSEMOVE, x, y, MK_LBUTTON); }
  void press(int x, int y) {
    moveTo(x, y);
    mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
  }
  void release(int x, int y) {
    dragTo(x, y);
    mouse(WM_LBUTTONUP, x, y);
  }
  static TPoint mid(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

  std::unique_ptr<TForm> form;
  TLoadingNavBar* bar = nullptr;
  std::vector<TuiNavBarGroup*> groups;
  std::vector<TuiNavBarGroup*> changes;
};

// --- splitter ------------------------------------------------------------------------

TEST_F(NavPaneControl, DraggingTheSplitterDownHidesOneButtonPerMoveAndUpShowsThemAgain) {
  press(50, 203);
  ASSERT_TRUE(bar->SplitterDragging());
  dragTo(50, 233);
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), -1) << "on the threshold is not past it";
  // Each qualifying move is one step: 5 visible groups, no limit, then 4.
  const int down[] = {4, 3, 2, 1, 0, 0};
  for (int i = 0; i < 6; ++i) {
    dragTo(50, 234 + i);
    EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), down[i]) << "move " << i;
  }
  EXPECT_EQ(bar->GetHiddenGroupCount(), 5);
  dragTo(50, 173);
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), 0) << "on the threshold is not past it";
  // Up again: the limit that would show every group becomes no limit, not 5.
  const int up[] = {1, 2, 3, 4, -1, -1};
  for (int i = 0; i < 6; ++i) {
    dragTo(50, 172 - i);
    EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), up[i]) << "move " << i;
  }
  release(50, 172);
  EXPECT_FALSE(bar->SplitterDragging());
  moveTo(50, 260);
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), -1) << "a move after the release drags nothing";
}

TEST_F(NavPaneControl, ALimitAboveTheVisibleGroupsStepsDownFromTheirCount) {
  groups[4]->SetVisible(false);
  bar->SetNavigationPaneMaxVisibleGroups(7);
  EXPECT_EQ(bar->GetVisibleGroupCount(), 4);
  EXPECT_EQ(bar->GetHiddenGroupCount(), 0);
  press(50, 203);
  dragTo(50, 240);
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), 3);
  dragTo(50, 100);
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), -1) << "4 of 4 is no limit";
}

TEST_F(NavPaneControl, LosingTheMouseCaptureEndsTheDrag) {
  std::unique_ptr<TForm> otherForm(TForm::CreateNew(nullptr));
  otherForm->SetBounds(500, 0, 50, 50);
  otherForm->Show();
  HWND other = otherForm->Handle();
  struct Case {
    const char* name;
    std::function<void()> lose;
  };
  const Case cases[] = {{"another window takes it", [&] { SetCapture(other); }},
                        {"it is released", [] { ReleaseCapture(); }},
                        {"the mode is cancelled", [&] { SendMessage(bar->Handle(), WM_CANCELMODE, 0, 0); }}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    press(50, 203);
    ASSERT_TRUE(bar->SplitterDragging());
    ASSERT_EQ(GetCapture(), bar->Handle());
    c.lose();
    EXPECT_FALSE(bar->SplitterDragging());
    // The bar hears moves again only once the pointer is over it.
    ReleaseCapture();
    dragTo(50, 260);
    EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), -1);
    mouse(WM_LBUTTONUP, 50, 260);
  }
}

// The cursor is chosen before the bar hears the move, from where the
// pointer was: a hand's moves come in runs, so a second move settles it.
TEST_F(NavPaneControl, WithoutGroupCaptionsTheSplitterResizesNothingAndKeepsTheArrow) {
  moveTo(50, 203);
  moveTo(50, 204);
  EXPECT_EQ(GetCursor(), qv::classlib::cursorHandle(crVSplit)) << "on the splitter";
  moveTo(50, 150);
  moveTo(50, 151);
  EXPECT_NE(GetCursor(), qv::classlib::cursorHandle(crVSplit)) << "off the splitter";
  bar->SetShowGroupCaptions(false);
  settle();
  moveTo(50, 203);
  moveTo(50, 204);
  EXPECT_NE(GetCursor(), qv::classlib::cursorHandle(crVSplit));
  press(50, 203);
  dragTo(50, 300);
  dragTo(50, 100);
  release(50, 100);
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), -1);
}

TEST_F(NavPaneControl, WhileLoadingNoGroupIsHiddenWhateverTheLimit) {
  bar->beginLoading();
  bar->SetNavigationPaneMaxVisibleGroups(2);
  EXPECT_EQ(bar->GetHiddenGroupCount(), 0);
  bar->endLoading();
  EXPECT_EQ(bar->GetHiddenGroupCount(), 3);
  groups[0]->SetVisible(false);
  EXPECT_EQ(bar->GetHiddenGroupCount(), 2) << "only visible groups count";
}

// --- overflow panel ---------------------------------------------------------------

// Where a press and its release land decide what happens: only a release on
// the pressed button activates its group, only one on the pressed sign opens
// the menu.
TEST_F(NavPaneControl, APressAndReleaseOnTheSameButtonActivatesItsGroupAndOnTheSignOpensTheMenu) {
  enum Spot { Button1, Button2, Sign, BarePanel };
  const TPoint at[] = {mid(TPaneTestViewInfo::Button(0)), mid(TPaneTestViewInfo::Button(1)),
                       mid(TPaneTestViewInfo::Sign()), TPoint{20, 480}};
  struct Case {
    const char* name;
    Spot down, up;
    int activated;  // group index, -1 for none
    bool menu;
  };
  const Case cases[] = {
      {"button 1 to button 1", Button1, Button1, 3, false}, {"button 2 to button 2", Button2, Button2, 4, false},
      {"button 1 to button 2", Button1, Button2, -1, false}, {"button 1 to the sign", Button1, Sign, -1, false},
      {"sign to sign", Sign, Sign, -1, true},                {"sign to button 1", Sign, Button1, -1, false},
      {"sign to the bare panel", Sign, BarePanel, -1, false}, {"bare panel to button 1", BarePanel, Button1, -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bar->SetActiveGroup(groups[0]);
    changes.clear();
    info()->menus.clear();
    press(at[c.down].x, at[c.down].y);
    EXPECT_EQ(bar->PressedOverflowItemIndex(), c.down == Button1 ? 0 : c.down == Button2 ? 1 : -1);
    EXPECT_EQ(bar->OverflowSignPressed(), c.down == Sign);
    release(at[c.up].x, at[c.up].y);
    if (c.activated == -1) {
      EXPECT_TRUE(changes.empty());
      EXPECT_EQ(bar->GetActiveGroup(), groups[0]);
    } else {
      ASSERT_EQ(changes.size(), 1u);
      EXPECT_EQ(changes[0], groups[static_cast<size_t>(c.activated)]);
    }
    ASSERT_EQ(info()->menus.size(), c.menu ? 1u : 0u);
    if (c.menu) {
      const TPoint screen = bar->ClientToScreen(at[Sign]);
      EXPECT_EQ(info()->menus[0].x, screen.x);
      EXPECT_EQ(info()->menus[0].y, screen.y);
    }
    EXPECT_EQ(bar->PressedOverflowItemIndex(), -1);
    EXPECT_FALSE(bar->OverflowSignPressed());
    EXPECT_FALSE(bar->OverflowSignHotTracked());
  }
}

TEST_F(NavPaneControl, HotButtonsAndSignFollowTheMouseStartTheirHintAndLeaveWithIt) {
  const TPoint b1 = mid(TPaneTestViewInfo::Button(1)), sign = mid(TPaneTestViewInfo::Sign());
  moveTo(b1.x, b1.y);
  EXPECT_EQ(bar->HotTrackedOverflowItemIndex(), 1);
  EXPECT_FALSE(bar->OverflowSignHotTracked());
  EXPECT_TRUE(bar->HintTimer()->Enabled());
  EXPECT_EQ(GetCursor(), qv::classlib::cursorHandle(bar->HotTrackedGroupCursor()));
  moveTo(sign.x, sign.y);
  EXPECT_EQ(bar->HotTrackedOverflowItemIndex(), -1);
  EXPECT_TRUE(bar->OverflowSignHotTracked());
  moveTo(20, 480);
  EXPECT_FALSE(bar->OverflowSignHotTracked());
  EXPECT_FALSE(bar->HintTimer()->Enabled()) << "nothing hot, no hint";
  // A right press and the pointer leaving the bar let the button go.
  moveTo(b1.x, b1.y);
  mouse(WM_RBUTTONDOWN, b1.x, b1.y, MK_RBUTTON);
  EXPECT_EQ(bar->HotTrackedOverflowItemIndex(), -1);
  mouse(WM_RBUTTONUP, b1.x, b1.y);
  moveTo(b1.x - 20, b1.y);
  EXPECT_EQ(bar->HotTrackedOverflowItemIndex(), 0);
  moveTo(300, 300);
  EXPECT_EQ(bar->HotTrackedOverflowItemIndex(), -1);
  // Without overflow hints a hot button starts no hint.
  bar->SetShowNavigationPaneOverflowPanelHints(false);
  moveTo(b1.x, b1.y);
  EXPECT_EQ(bar->HotTrackedOverflowItemIndex(), 1);
  EXPECT_FALSE(bar->HintTimer()->Enabled());
}

}  // namespace
