// The navigation bar control on the headless desktop: its layout and hit
// tests as tables, the mouse, wheel and timers through injected input on
// the virtual clock, the active group and its veto, hints, freeing things
// while they are in use, the view registry, the scroll bar adapter, and a
// bar read from a form resource.
#include "navbar/uiNavBar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "navbar/uiNavBarConsts.h"
#include "navbar/uiNavBarViewsFact.h"
#include "platform/classlib/ActnList.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Clock.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/Window.h"

namespace {

using qv::desktop::Clock;

// --- two small views of our own -------------------------------------------------

// Like the classic views: only the active group shows its links, it fills
// the bar's height between the captions above and below it, and its links
// scroll under two scroll buttons.
class TClassicTestViewInfo : public TuiNavBarViewInfo {
  QV_CLASS(TClassicTestViewInfo, TuiNavBarViewInfo)
  using TuiNavBarViewInfo::TuiNavBarViewInfo;
  bool IsGroupExpanded(TuiNavBarGroup* AGroup) override { return AGroup == Control()->GetActiveGroup(); }
  void ExpandGroup(TuiNavBarGroup* AGroup) override { Control()->SetActiveGroup(AGroup); }
  void CalculateBounds() override {
    TuiNavBarViewInfo::CalculateBounds();
    TuiNavBarGroupViewInfo* active = ActiveGroupViewInfo();
    if (!active || GroupCount() == 0) return;
    const int extra = ClientHeight() - GroupInfos(GroupCount() - 1)->Bounds.bottom;
    active->StretchBounds(0, extra);
    for (int i = IndexOfGroupViewInfo(active) + 1; i < GroupCount(); ++i) GroupInfos(i)->OffsetBounds(0, extra);
    CalculateScrollButtonsBounds();
  }
};

class TClassicTestPainter : public TuiNavBarPainter {
  UI_NAVBAR_PAINTER_CLASS(TClassicTestPainter, TuiNavBarPainter)
  using TuiNavBarPainter::TuiNavBarPainter;
  TuiNavBarViewInfo* CreateViewInfo() override { return new TClassicTestViewInfo(this); }
};

// Like the explorer-bar views: every expanded group shows its links, and a
// caption click expands or collapses its group.
class TExplorerTestViewInfo : public TuiNavBarViewInfo {
  QV_CLASS(TExplorerTestViewInfo, TuiNavBarViewInfo)
  using TuiNavBarViewInfo::TuiNavBarViewInfo;
  bool GroupItemsVisible(TuiNavBarGroup* AGroup) override { return AGroup->Expanded(); }
  bool IsGroupExpanded(TuiNavBarGroup* AGroup) override { return AGroup->Expanded(); }
  void ExpandGroup(TuiNavBarGroup* AGroup) override { AGroup->SetExpanded(true); }
  void CollapseGroup(TuiNavBarGroup* AGroup) override { AGroup->SetExpanded(false); }
};

class TExplorerTestPainter : public TuiNavBarPainter {
  UI_NAVBAR_PAINTER_CLASS(TExplorerTestPainter, TuiNavBarPainter)
  using TuiNavBarPainter::TuiNavBarPainter;
  TuiNavBarViewInfo* CreateViewInfo() override { return new TExplorerTestViewInfo(this); }
};

constexpr int kClassicView = 0;
constexpr int kExplorerView = 1;

// --- the fixture ------------------------------------------------------------------

class NavBarControl : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    qv::classlib::InitializeUnit(uiNavBarUnit);
    RegisterView(kClassicView, "ClassicTestView", TClassicTestPainter::PainterClass());
    RegisterView(kExplorerView, "ExplorerTestView", TExplorerTestPainter::PainterClass());
    form.reset(TForm::CreateNew(nullptr));
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 600);
    bar = new TuiNavBar(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(0, 0, 177, 500);
    // Three groups of four, three and two links.
    const char* const captions[3][4] = {{"Project", "Optional", "Window", "Position"},
                                        {"Toolbar", "Skin", "Music", nullptr},
                                        {"Extensions", "Help", nullptr, nullptr}};
    for (int g = 0; g < 3; ++g) {
      TuiNavBarGroup* group = bar->Groups()->Add();
      group->SetCaption("Group " + std::to_string(g + 1));
      groups.push_back(group);
      for (const char* caption : captions[g]) {
        if (!caption) break;
        TuiNavBarItem* item = bar->Items()->Add();
        item->SetCaption(caption);
        item->OnClick = [this](TObject* Sender) { clicks.push_back(static_cast<TuiNavBarItem*>(Sender)->Caption()); };
        items.push_back(item);
        group->AddLink(item);
      }
    }
    form->Show();
    settle();
  }
  void TearDown() override {
    form.reset();
    UnregisterView(kClassicView);
    UnregisterView(kExplorerView);
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }

  // Paints whatever is pending, so that the layout is current.
  void settle() {
    qv::os::pumpMessages();
    bar->Repaint();
    qv::os::pumpMessages();
  }
  TuiNavBarViewInfo* info() { return bar->GetViewInfo(); }
  TuiNavBarGroupViewInfo* groupInfo(int g) { return info()->FindGroupViewInfo(groups[static_cast<size_t>(g)]); }
  TuiNavBarItemLink* link(int g, int l) { return groups[static_cast<size_t>(g)]->Links(l); }
  POINT screen(int x, int y) { return bar->ClientToScreen(TPoint{x, y}); }
  void mouse(UINT msg, int x, int y, WPARAM keys = 0) {
    qv::os::injectMouse(msg, screen(x, y), keys);
    qv::os::pumpMessages();
  }
  void click(int x, int y) {
    mouse(WM_MOUSEMOVE, x, y);
    mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    mouse(WM_LBUTTONUP, x, y);
  }
  static int textWidth(const std::string& s) {
    HDC dc = GetDC(nullptr);
    TFont font;
    HGDIOBJ old = SelectObject(dc, font.Handle());
    SIZE size{};
    GetTextExtentPoint32(dc, s.c_str(), static_cast<int>(s.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
  }

  std::unique_ptr<TForm> form;
  TuiNavBar* bar = nullptr;
  std::vector<TuiNavBarGroup*> groups;
  std::vector<TuiNavBarItem*> items;
  std::vector<std::string> clicks;
};

std::string str(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// --- layout ------------------------------------------------------------------------

// The default font is 13 pixels high: a caption is 6 + 13, a link with a
// small image 3 + 17 + 3 around its 16-pixel image, 8 pixels of margin
// above and below the links.
TEST_F(NavBarControl, TheClassicLayoutPlacesCaptionsLinksImagesAndScrollButtons) {
  ASSERT_EQ(bar->View(), 0);
  struct Row {
    const char* what;
    TRect got;
    TRect expected;
  };
  TuiNavBarGroupViewInfo* g1 = groupInfo(0);
  ASSERT_NE(g1, nullptr);
  ASSERT_EQ(g1->LinkCount(), 4);
  ASSERT_EQ(groupInfo(1)->LinkCount(), 0) << "only the active group lists its links";
  const int captionRight = [&] { return 24 + textWidth("Project"); }();
  const Row table[] = {
      {"caption 1", g1->HeaderBounds, {0, 0, 177, 19}},
      {"caption 1 text", g1->HeaderTextBounds, {2, 1, 175, 18}},
      {"items 1", g1->ClientBounds, {0, 19, 177, 462}},
      {"link 1", g1->LinkInfos(0)->Bounds, {0, 27, 176, 50}},
      {"link 1 image", g1->LinkInfos(0)->ImageBounds, {4, 30, 20, 46}},
      {"link 1 text", g1->LinkInfos(0)->TextBounds, {24, 30, captionRight, 47}},
      {"link 4", g1->LinkInfos(3)->Bounds, {0, 96, 176, 119}},
      {"caption 2", groupInfo(1)->HeaderBounds, {0, 462, 177, 481}},
      {"caption 3", groupInfo(2)->HeaderBounds, {0, 481, 177, 500}},
  };
  for (const Row& r : table) EXPECT_EQ(str(r.got), str(r.expected)) << r.what;
  // Everything fits: no scroll button.
  EXPECT_FALSE(info()->IsTopScrollButtonVisible());
  EXPECT_FALSE(info()->IsBottomScrollButtonVisible());
}

TEST_F(NavBarControl, HitTestsAnswerTheElementUnderAPointWithExclusiveRightAndBottomEdges) {
  struct Row {
    TPoint p;
    int group;       // caption at the point, -1 none
    int linkGroup;   // link at the point: group and index, -1 none
    int linkIndex;
  };
  const Row table[] = {
      {{5, 0}, 0, -1, -1},     {{176, 18}, 0, -1, -1},  {{177, 5}, -1, -1, -1},  {{5, 19}, -1, -1, -1},
      // The image and the caption, stretched back to the image, hit a link;
      // the gap left of the image does not.
      {{4, 30}, -1, 0, 0},     {{3, 30}, -1, -1, -1},   {{19, 45}, -1, 0, 0},    {{20, 35}, -1, 0, 0},
      {{4, 46}, -1, -1, -1},   {{30, 46}, -1, 0, 0},    {{30, 47}, -1, -1, -1},  {{24 + textWidth("Project") - 1, 35}, -1, 0, 0},
      {{24 + textWidth("Project"), 35}, -1, -1, -1},
      {{10, 100}, -1, 0, 3},   {{5, 462}, 1, -1, -1},   {{5, 499}, 2, -1, -1},
  };
  for (const Row& r : table) {
    SCOPED_TRACE(std::to_string(r.p.x) + "," + std::to_string(r.p.y));
    TuiNavBarGroup* group = bar->GetGroupAtCaptionPos(r.p);
    EXPECT_EQ(group, r.group < 0 ? nullptr : groups[static_cast<size_t>(r.group)]);
    TuiNavBarItemLink* l = bar->GetLinkAtSelectedPos(r.p);
    EXPECT_EQ(l, r.linkGroup < 0 ? nullptr : link(r.linkGroup, r.linkIndex));
  }
}

TEST_F(NavBarControl, SpacingWithoutCaptionsAndWithoutImageLists) {
  bar->SetSpaceBetweenGroups(5);
  settle();
  EXPECT_EQ(str(groupInfo(0)->HeaderBounds), "0,5,177,24");
  bar->SetSpaceBetweenGroups(-3);
  EXPECT_EQ(bar->SpaceBetweenGroups(), 0);
  bar->SetShowGroupCaptions(false);
  settle();
  ASSERT_EQ(info()->GroupCount(), 1) << "only the active group";
  EXPECT_EQ(str(groupInfo(0)->HeaderBounds), "0,0,177,0");
  EXPECT_EQ(info()->SmallImageWidth(), 16);
  EXPECT_EQ(info()->LargeImageHeight(), 32);
  bar->SetActiveGroup(nullptr);
  groups[0]->SetVisible(false);
  groups[1]->SetVisible(false);
  groups[2]->SetVisible(false);
  settle();
  EXPECT_EQ(info()->GroupCount(), 0);
  EXPECT_EQ(bar->GetGroupAtCaptionPos(TPoint{5, 5}), nullptr);
  EXPECT_EQ(bar->ActiveGroupIndex(), -1);
}

TEST_F(NavBarControl, ScrollButtonsShowWhileLinksOverflowTheActiveGroup) {
  bar->SetHeight(140);
  settle();
  TuiNavBarGroupViewInfo* g1 = groupInfo(0);
  // Two captions below leave 140 - 38 for the first group.
  EXPECT_EQ(str(g1->Bounds), "0,0,177,102");
  EXPECT_FALSE(info()->IsTopScrollButtonVisible()) << "the first link is the top one";
  ASSERT_TRUE(info()->IsBottomScrollButtonVisible());
  // At the items area's bottom right, 6 pixels in.
  EXPECT_EQ(str(info()->DownButtonBounds()), "155,80,171,96");
  groups[0]->SetTopVisibleLinkIndex(1);
  settle();
  EXPECT_TRUE(info()->IsTopScrollButtonVisible());
  EXPECT_EQ(str(info()->UpButtonBounds()), "155,25,171,41");
  EXPECT_EQ(str(g1->LinkInfos(1)->Bounds), "0,27,176,50") << "link 2 now starts the list";
  // A point on a scroll button never selects a link.
  EXPECT_EQ(bar->GetLinkAtSelectedPos(TPoint{160, 30}), nullptr);
}

// --- clicks and hot-tracking ----------------------------------------------------------

TEST_F(NavBarControl, AClickOnALinkRunsItsItemsOnClickOnce) {
  int linkClicks = 0;
  bar->OnLinkClick = [&](TObject*, TuiNavBarItemLink*) { ++linkClicks; };
  std::vector<std::string> events;
  bar->OnLinkPress = [&](TObject*, TuiNavBarItemLink* l) { events.push_back("press " + l->Item()->Caption()); };
  mouse(WM_MOUSEMOVE, 30, 35);
  EXPECT_EQ(bar->HotTrackedLink(), link(0, 0));
  mouse(WM_LBUTTONDOWN, 30, 35, MK_LBUTTON);
  EXPECT_EQ(bar->PressedLink(), link(0, 0));
  mouse(WM_LBUTTONUP, 30, 35);
  EXPECT_EQ(clicks, std::vector<std::string>{"Project"});
  EXPECT_EQ(linkClicks, 0) << "the item's OnClick answers for it";
  EXPECT_EQ(events, std::vector<std::string>{"press Project"});
  EXPECT_EQ(bar->PressedLink(), nullptr);
  // Without an OnClick the bar's OnLinkClick runs.
  items[1]->OnClick = nullptr;
  click(30, 58);
  EXPECT_EQ(linkClicks, 1);
  EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(NavBarControl, AReleaseOnAnotherLinkClicksThePressedOneAndOneOutsideTheBarClicksNothing) {
  // Without dragging, so that the move is only a move.
  bar->SetDragDropFlags(TuiNavBarDragDropFlags{});
  mouse(WM_MOUSEMOVE, 30, 35);
  mouse(WM_LBUTTONDOWN, 30, 35, MK_LBUTTON);
  mouse(WM_MOUSEMOVE, 30, 60, MK_LBUTTON);
  mouse(WM_LBUTTONUP, 30, 60);
  EXPECT_EQ(clicks, std::vector<std::string>{"Project"});
  clicks.clear();
  mouse(WM_MOUSEMOVE, 30, 35);
  mouse(WM_LBUTTONDOWN, 30, 35, MK_LBUTTON);
  mouse(WM_MOUSEMOVE, 300, 35, MK_LBUTTON);
  mouse(WM_LBUTTONUP, 300, 35);
  EXPECT_TRUE(clicks.empty()) << "moving off the bar backs out of the click";
  // Nothing of that press is left to drag or click later.
  EXPECT_EQ(bar->SourceLink(), nullptr);
}

TEST_F(NavBarControl, ADisabledItemNeitherPressesNorClicks) {
  items[0]->SetEnabled(false);
  settle();
  int presses = 0, linkClicks = 0;
  bar->OnLinkPress = [&](TObject*, TuiNavBarItemLink*) { ++presses; };
  bar->OnLinkClick = [&](TObject*, TuiNavBarItemLink*) { ++linkClicks; };
  click(30, 35);
  EXPECT_EQ(presses, 0);
  EXPECT_EQ(linkClicks, 0);
  EXPECT_TRUE(clicks.empty());
}

TEST_F(NavBarControl, AnItemWithAnActionRunsItsOnClickOrElseItsAction) {
  auto* actions = new TActionList(form.get());
  auto* action = new TAction(form.get());
  action->SetActionList(actions);
  int executed = 0;
  action->OnExecute = [&](TObject*) { ++executed; };
  // The item takes the action's caption, so the action names it.
  action->SetCaption("Project");
  items[0]->SetAction(action);
  click(30, 35);
  EXPECT_EQ(executed, 0) << "OnClick comes first";
  EXPECT_EQ(clicks.size(), 1u);
  items[0]->OnClick = nullptr;
  click(30, 35);
  EXPECT_EQ(executed, 1);
}

TEST_F(NavBarControl, HotTrackingFollowsTheMouseAndLeavesWithIt) {
  std::vector<std::string> hot;
  bar->OnLinkHotTrack = [&](TObject*, TuiNavBarItemLink* l) { hot.push_back(l ? l->Item()->Caption() : "-"); };
  bar->OnGroupHotTrack = [&](TObject*, TuiNavBarGroup* g) { hot.push_back(g ? g->Caption() : "no group"); };
  mouse(WM_MOUSEMOVE, 30, 35);
  mouse(WM_MOUSEMOVE, 30, 36);
  mouse(WM_MOUSEMOVE, 30, 58);
  mouse(WM_MOUSEMOVE, 30, 5);
  EXPECT_EQ(bar->HotTrackedGroup(), groups[0]);
  mouse(WM_MOUSEMOVE, 300, 5);
  EXPECT_EQ(bar->HotTrackedGroup(), nullptr);
  EXPECT_EQ(bar->HotPoint().x, -1);
  EXPECT_EQ(hot, (std::vector<std::string>{"Project", "Optional", "-", "Group 1"}));
  // A right press clears what is hot.
  mouse(WM_MOUSEMOVE, 30, 35);
  mouse(WM_RBUTTONDOWN, 30, 35, MK_RBUTTON);
  EXPECT_EQ(bar->HotTrackedLink(), nullptr);
}

// --- groups and the active group ------------------------------------------------------

TEST_F(NavBarControl, ACaptionClickMakesItsGroupActiveUnlessTheChangeIsVetoed) {
  std::vector<std::string> events;
  bool allow = true;
  bar->OnActiveGroupChanging = [&](TObject*, TuiNavBarGroup* g, bool& a) {
    events.push_back("changing " + g->Caption());
    a = allow;
  };
  bar->OnActiveGroupChanged = [&](TObject*) { events.push_back("changed " + bar->GetActiveGroup()->Caption()); };
  bar->OnGroupClick = [&](TObject*, TuiNavBarGroup* g) { events.push_back("click " + g->Caption()); };
  click(5, 470);
  EXPECT_EQ(bar->ActiveGroupIndex(), 1);
  allow = false;
  click(5, 490);
  EXPECT_EQ(bar->ActiveGroupIndex(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"click Group 2", "changing Group 2", "changed Group 2", "click Group 3",
                                              "changing Group 3"}));
  settle();
  EXPECT_EQ(groupInfo(1)->LinkCount(), 3) << "the new active group lists its links";
}

TEST_F(NavBarControl, TheActiveGroupIsTheFirstVisibleOneWhenTheStoredOneIsHidden) {
  bar->SetActiveGroupIndex(0);
  groups[0]->SetVisible(false);
  EXPECT_EQ(bar->GetActiveGroup(), groups[1]);
  bar->SetActiveGroupIndex(7);
  EXPECT_EQ(bar->GetActiveGroup(), groups[1]) << "an index outside the groups is ignored";
  bar->SetActiveGroupIndex(-1);
  EXPECT_EQ(bar->GetActiveGroup(), groups[1]);
}

TEST_F(NavBarControl, AFreedActiveGroupDoesNotStayActiveWhateverTheVeto) {
  bar->OnActiveGroupChanging = [](TObject*, TuiNavBarGroup*, bool& a) { a = false; };
  bar->SetActiveGroupIndex(1);  // vetoed: still group 1
  EXPECT_EQ(bar->ActiveGroupIndex(), 0);
  delete groups[0];
  groups.erase(groups.begin());
  EXPECT_EQ(bar->GetActiveGroup(), groups[0]);
  settle();
}

TEST_F(NavBarControl, InTheExplorerViewACaptionClickExpandsAndCollapsesItsGroup) {
  bar->SetView(kExplorerView);
  settle();
  EXPECT_EQ(groupInfo(1)->LinkCount(), 3) << "every expanded group lists its links";
  const int caption2 = groupInfo(1)->HeaderBounds.top + 5;
  click(5, caption2);
  EXPECT_FALSE(groups[1]->Expanded());
  settle();
  EXPECT_EQ(groupInfo(1)->LinkCount(), 0);
  EXPECT_EQ(groupInfo(2)->HeaderBounds.top, groupInfo(1)->HeaderBounds.bottom);
  click(5, caption2);
  EXPECT_TRUE(groups[1]->Expanded());
}

// --- scroll buttons, wheel and scroll bar ------------------------------------------------

TEST_F(NavBarControl, HoldingAScrollButtonScrollsAtOnceAndEvery300Milliseconds) {
  // 82 pixels for the first group: two links fit below the caption.
  bar->SetHeight(120);
  settle();
  ASSERT_EQ(str(info()->DownButtonBounds()), "155,60,171,76");
  mouse(WM_MOUSEMOVE, 160, 65);
  mouse(WM_LBUTTONDOWN, 160, 65, MK_LBUTTON);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 1) << "once at the press";
  qv::os::runFor(299);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 1);
  qv::os::runFor(1);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 2);
  // The last two links fit now: the bottom button is gone and with it the
  // repeat.
  settle();
  EXPECT_FALSE(info()->IsBottomScrollButtonVisible());
  qv::os::runFor(600);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 2);
  EXPECT_FALSE(bar->ScrollTimer()->Enabled());
  mouse(WM_LBUTTONUP, 160, 65);
  EXPECT_TRUE(clicks.empty()) << "a scroll button press clicks no link";
  // Moving off the held button stops the repeat at the next tick.
  groups[0]->SetTopVisibleLinkIndex(0);
  settle();
  mouse(WM_MOUSEMOVE, 160, 65);
  mouse(WM_LBUTTONDOWN, 160, 65, MK_LBUTTON);
  mouse(WM_MOUSEMOVE, 100, 65, MK_LBUTTON);
  qv::os::runFor(600);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 1);
  EXPECT_FALSE(bar->ScrollTimer()->Enabled());
  mouse(WM_LBUTTONUP, 100, 65);
  EXPECT_TRUE(clicks.empty());
}

TEST_F(NavBarControl, TheWheelScrollsTheScrollBarByLinesOrWithCtrlByPages) {
  TuiNavBarScrollBar* sb = bar->ScrollBar();
  sb->SetScrollParams(0, 500, true, 200, 0);
  sb->SetVisible(true);
  sb->SmallChange = 18;
  std::vector<int> positions;
  sb->OnScroll = [&](TObject*, TScrollCode, int&) { positions.push_back(sb->Position()); };
  // The wheel goes to the focused window; a click gives the bar the focus.
  click(100, 470);
  ASSERT_EQ(GetFocus(), bar->Handle());
  const auto wheel = [&](int delta, WPARAM keys) {
    qv::os::injectMouse(WM_MOUSEWHEEL, screen(30, 35), MAKEWPARAM(keys, static_cast<WORD>(delta)));
    qv::os::pumpMessages();
  };
  wheel(-120, 0);
  qv::os::injectKey(VK_CONTROL, true);
  wheel(-120, MK_CONTROL);
  qv::os::injectKey(VK_CONTROL, false);
  qv::os::pumpMessages();
  wheel(120, 0);
  EXPECT_EQ(positions, (std::vector<int>{18, 218, 200}));
}

TEST_F(NavBarControl, TheScrollBarAdapterKeepsThePositionWithinItsRange) {
  TuiNavBarScrollBar* sb = bar->ScrollBar();
  EXPECT_EQ(sb->Min(), 0);
  EXPECT_EQ(sb->Max(), 100);
  EXPECT_FALSE(sb->Visible());
  sb->SetScrollParams(0, 500, true, 200, 450);
  EXPECT_EQ(sb->Position(), 300);
  EXPECT_THROW(sb->SetScrollParams(0, 100, true, 200, 0), EInvalidOperation);
  EXPECT_EQ(sb->Max(), 500) << "a refused range changes nothing";
  sb->SetScrollParams(0, 500, true, 200, 290);
  sb->SmallChange = 18;
  int reported = 0;
  sb->OnScroll = [&](TObject*, TScrollCode, int& p) { reported = p; };
  int pos = 0;
  sb->Scroll(nullptr, scLineDown, pos);
  EXPECT_EQ(sb->Position(), 300);
  EXPECT_EQ(reported, 308) << "the event hears the position before it is kept in range";
  sb->Scroll(nullptr, scTop, pos);
  EXPECT_EQ(sb->Position(), 0);
}

// --- hints --------------------------------------------------------------------------

TEST_F(NavBarControl, AHintShowsAfterASecondOnAHintedLinkAndGoesWithAKey) {
  bar->SetShowLinksHint(true);
  items[0]->SetHint("Open the project page|long help");
  SetForegroundWindow(form->Handle());
  mouse(WM_MOUSEMOVE, 30, 35);
  qv::os::runFor(999);
  EXPECT_FALSE(bar->HintShown());
  qv::os::runFor(1);
  ASSERT_TRUE(bar->HintShown());
  EXPECT_EQ(bar->HintWindow()->Caption(), "Open the project page");
  EXPECT_TRUE(IsWindowVisible(bar->HintWindow()->Handle()));
  // Placed right of the pointer, on the screen.
  RECT r{};
  GetWindowRect(bar->HintWindow()->Handle(), &r);
  EXPECT_EQ(r.left, screen(30, 35).x + 20);
  bar->SetFocus();
  qv::os::injectKey('A', true);
  qv::os::pumpMessages();
  EXPECT_FALSE(bar->HintShown());
  EXPECT_FALSE(IsWindowVisible(bar->HintWindow()->Handle()));
}

TEST_F(NavBarControl, AHintIsKeptOnTheWorkAreaAndAnEmptyOneShowsNoWindow) {
  bar->HintWindow()->ShowHint(TRect{1000, -20, 1100, 0}, "edge");
  RECT r{};
  GetWindowRect(bar->HintWindow()->Handle(), &r);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.top, 0);
  bar->SetShowLinksHint(true);
  SetForegroundWindow(form->Handle());
  mouse(WM_MOUSEMOVE, 30, 58);  // "Optional" has no hint
  qv::os::runFor(1000);
  EXPECT_FALSE(bar->HintShown());
}

// --- freeing while in use ------------------------------------------------------------

TEST_F(NavBarControl, AnItemOrItsGroupFreedFromItsOwnOnClickLeavesNothingDangling) {
  items[0]->OnClick = [this](TObject* Sender) {
    delete static_cast<TuiNavBarItem*>(Sender);
    items[0] = nullptr;
  };
  click(30, 35);
  settle();
  EXPECT_EQ(groups[0]->LinkCount(), 3);
  items[1]->OnClick = [this](TObject*) {
    delete groups[0];
    groups[0] = nullptr;
  };
  click(30, 35);  // "Optional" is the first link now
  settle();
  EXPECT_EQ(bar->Groups()->Count(), 2);
  EXPECT_EQ(bar->PressedLink(), nullptr);
  EXPECT_EQ(bar->HotTrackedLink(), nullptr);
}

TEST_F(NavBarControl, AGroupRemovedWhileHotPressedOrTheSourceOfAPressIsForgotten) {
  mouse(WM_MOUSEMOVE, 5, 5);
  mouse(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
  ASSERT_EQ(bar->HotTrackedGroup(), groups[0]);
  ASSERT_EQ(bar->PressedGroup(), groups[0]);
  ASSERT_EQ(bar->SourceGroup(), groups[0]);
  delete groups[0];
  EXPECT_EQ(bar->HotTrackedGroup(), nullptr);
  EXPECT_EQ(bar->PressedGroup(), nullptr);
  EXPECT_EQ(bar->SourceGroup(), nullptr);
  mouse(WM_MOUSEMOVE, 5, 10, MK_LBUTTON);
  mouse(WM_LBUTTONUP, 5, 10);
  settle();
}

TEST_F(NavBarControl, TheBarFreedWithAHintOrATimerPendingLeavesNoTimerBehind) {
  bar->SetShowLinksHint(true);
  items[0]->SetHint("hint");
  SetForegroundWindow(form->Handle());
  mouse(WM_MOUSEMOVE, 30, 35);
  ASSERT_TRUE(bar->HintTimer()->Enabled());
  bar->SetHeight(140);
  settle();
  mouse(WM_MOUSEMOVE, 160, 85);
  mouse(WM_LBUTTONDOWN, 160, 85, MK_LBUTTON);
  delete bar;
  bar = nullptr;
  qv::os::runFor(2000);
  SUCCEED() << "nothing ticked into the freed bar";
}

// --- views, painting and streaming ----------------------------------------------------------

TEST_F(NavBarControl, ViewsAreLookedUpByIdAndClampedToTheRegisteredRange) {
  EXPECT_EQ(uiNavBarViewsFactory()->GetCount(), 2);
  bar->SetView(20);
  EXPECT_EQ(bar->View(), 1);
  EXPECT_STREQ(bar->GetPainter()->ClassName().c_str(), "TExplorerTestPainter");
  bar->SetView(-3);
  EXPECT_EQ(bar->View(), 0);
  EXPECT_FALSE(bar->ScrollBar()->Visible());
  // The scroll bar's look follows the view.
  EXPECT_EQ(bar->ScrollBar()->ScrollBar()->LookAndFeel()->Kind(), lfStandard);
}

TEST_F(NavBarControl, TheRegistryRefusesADuplicateIdAndAnUnknownOne) {
  TuiNavBarViewsFactory* views = uiNavBarViewsFactory();
  try {
    views->RegisterView(1, "Again", TClassicTestPainter::PainterClass());
    FAIL() << "a duplicate id";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "ID of view = 1 is already exists.");
  }
  EXPECT_EQ(views->GetCount(), 2);
  try {
    views->GetPainterClass(14);
    FAIL() << "an unknown id";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot find view with ID = 14.");
  }
  views->UnregisterView(9);
  EXPECT_EQ(views->GetCount(), 2);
  EXPECT_EQ(views->IndexOfID(1), 1);
  EXPECT_NE(GetClass("TExplorerTestPainter"), nullptr) << "registered for form streaming";
}

TEST_F(NavBarControl, PaintingIsDeferredAndWaitsForTheEndOfALock) {
  TuiNavBarPainter* painter = bar->GetPainter();
  EXPECT_FALSE(painter->RebuildPending());
  bar->SetLocked(true);
  bar->InvalidateAll(doRecreate);
  settle();
  EXPECT_TRUE(painter->RebuildPending()) << "kept while locked";
  bar->SetLocked(false);
  settle();
  EXPECT_FALSE(painter->RebuildPending());
  bar->InvalidateAll(doRedraw);
  EXPECT_FALSE(painter->RelayoutPending());
  EXPECT_TRUE(painter->RepaintPending());
}

// A form whose methods the bar's events name.
class TBarForm : public TForm {
  QV_CLASS(TBarForm, TForm)
  // Without a resource of its own: the test reads one into it.
  explicit TBarForm(TComponent* AOwner) : TForm(AOwner, TCreateNew{}) {}
  void BarLinkClick(TObject*, TuiNavBarItemLink* ALink) { calls.push_back("link " + ALink->Item()->Caption()); }
  void BarGroupChanged(TObject*) { calls.push_back("changed"); }
  std::vector<std::string> calls;
  QV_PUBLISHED(TBarForm) {
    P.Method("BarLinkClick", &TBarForm::BarLinkClick);
    P.Method("BarGroupChanged", &TBarForm::BarGroupChanged);
  }
};
QV_DEFINE_PUBLISHED(TBarForm)

TEST_F(NavBarControl, ABarFromAFormResourceLoadsItsGroupsLinksAndActiveGroup) {
  RegisterClasses({TBarForm::StaticClass()});
  auto* barForm = new TBarForm(nullptr);
  form.reset(barForm);
  bar = nullptr;
  qv::classlib::readComponentText(R"(object F: TForm
  Left = 0
  Top = 0
  Width = 300
  Height = 500
  object Bar: TuiNavBar
    Left = 0
    Top = 0
    Width = 177
    Height = 400
    ActiveGroupIndex = 1
    View = 1
    OnActiveGroupChanged = BarGroupChanged
    OnLinkClick = BarLinkClick
    object BarGroup1: TuiNavBarGroup
      Caption = 'First'
      Links = <
        item
          Item = BarItem1
        end>
    end
    object BarGroup2: TuiNavBarGroup
      Caption = 'Second'
      Links = <
        item
          Item = BarItem2
        end
        item
          Item = BarItem3
        end>
    end
    object BarGroup3: TuiNavBarGroup
      Caption = 'Third'
      Expanded = False
    end
    object BarItem1: TuiNavBarItem
      Caption = 'One'
    end
    object BarItem2: TuiNavBarItem
      Caption = 'Two'
    end
    object BarItem3: TuiNavBarItem
      Caption = 'Three'
    end
  end
end
)",
                                  form.get());
  auto* loaded = dynamic_cast<TuiNavBar*>(form->FindComponent("Bar"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Groups()->Count(), 3);
  EXPECT_EQ(loaded->ActiveGroupIndex(), 1);
  EXPECT_EQ(loaded->View(), 1);
  form->Show();
  qv::os::pumpMessages();
  loaded->Repaint();
  TuiNavBarViewInfo* vi = loaded->GetViewInfo();
  ASSERT_EQ(vi->GroupCount(), 3);
  EXPECT_EQ(vi->GroupInfos(1)->LinkCount(), 2);
  EXPECT_EQ(vi->GroupInfos(2)->LinkCount(), 0) << "collapsed";
  EXPECT_EQ(vi->GroupInfos(1)->LinkInfos(1)->SourceItem()->Caption(), "Three");
  EXPECT_TRUE(barForm->calls.empty()) << "loading raises no event";
  // The events the resource names run: a link click, a change of the
  // active group.
  const POINT at = loaded->ClientToScreen(TPoint{30, vi->GroupInfos(1)->LinkInfos(1)->TextBounds.top + 2});
  qv::os::injectMouse(WM_MOUSEMOVE, at);
  qv::os::injectMouse(WM_LBUTTONDOWN, at, MK_LBUTTON);
  qv::os::injectMouse(WM_LBUTTONUP, at);
  qv::os::pumpMessages();
  loaded->SetActiveGroupIndex(2);
  EXPECT_EQ(barForm->calls, (std::vector<std::string>{"link Three", "changed"}));
  // Written out, the bar holds what it read, its wiring too.
  const std::string text = qv::classlib::writeComponentText(form.get());
  for (const char* line : {"ActiveGroupIndex = 2", "View = 1", "OnActiveGroupChanged = BarGroupChanged",
                           "OnLinkClick = BarLinkClick", "Item = BarItem3", "Caption = 'Third'"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

}  // namespace
