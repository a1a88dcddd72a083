// The Office 11 views on the headless desktop: view 12, the task pane, with
// its colours, default styles and shared resources; view 13, the
// navigation pane, with its layout, overflow panel, splitter dragged with
// the mouse, customization menu, hints and painting; golden pictures of
// both with visual styles absent and present.
#include "navbar/uiNavBarOffice11Views.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "NavBarViewsFixture.h"
#include "lookandfeel/uiOffice11.h"
#include "navbar/uiNavBarBaseViews.h"
#include "navbar/uiNavBarExplorerViews.h"
#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarVSToolBoxViews.h"
#include "navbar/uiNavBarViewsFact.h"
#include "navbar/uiNavBarXPViews.h"
#include "platform/classlib/Menus.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Raster.h"

namespace {

using qv::desktop::ModuleProfile;

class Office11Views : public navbartest::ViewsFixture {
 protected:
  void start(int view, ModuleProfile styles = ModuleProfile::Absent) {
    ViewsFixture::start(view, styles, uiNavBarOffice11ViewsUnit);
  }
};

// --- registration -------------------------------------------------------------------

TEST_F(Office11Views, TheUnitRegistersViews12And13AndRemovesThemAtItsEnd) {
  start(nbOffice11TaskPaneView);
  TuiNavBarViewsFactory* views = uiNavBarViewsFactory();
  const int at = views->IndexOfID(12);
  ASSERT_GE(at, 0);
  EXPECT_EQ(views->Items(at)->Name, "Office11TaskPaneView");
  EXPECT_EQ(views->GetPainterClass(12), TuiNavBarOffice11Painter::PainterClass());
  ASSERT_GE(views->IndexOfID(13), 0);
  EXPECT_EQ(views->Items(views->IndexOfID(13))->Name, "Office11NavigationPaneView");
  EXPECT_EQ(views->GetPainterClass(13), TuiNavBarOffice11NavPanePainter::PainterClass());
  EXPECT_NE(dynamic_cast<TuiNavBarOffice11ViewInfo*>(info()), nullptr);
  EXPECT_NE(dynamic_cast<TuiNavBarOffice11GroupViewInfo*>(groupInfo(0)), nullptr);
  EXPECT_NE(dynamic_cast<TuiNavBarOffice11LinkViewInfo*>(groupInfo(0)->LinkInfos(0)), nullptr);
  bar->SetView(nbOffice11NavigationPaneView);
  settle();
  EXPECT_NE(dynamic_cast<TuiNavBarOffice11NavPaneViewInfo*>(info()), nullptr);
  EXPECT_NE(dynamic_cast<TuiNavBarOffice11NavPaneGroupViewInfo*>(info()->GroupInfos(0)), nullptr);
  form.reset();
  // The unit's own end, while the registry it leaves still lives.
  uiNavBarOffice11ViewsUnit.Finalization();
  EXPECT_EQ(views->IndexOfID(12), -1);
  EXPECT_EQ(views->IndexOfID(13), -1);
  EXPECT_GE(views->IndexOfID(nbAdvExplorerBarView), 0) << "the other units' views stay";
  uiNavBarOffice11ViewsUnit.Initialization();  // the fixture's end shuts it down once more
}

// With every view unit started, the views are those of ids 0 to 13.
TEST_F(Office11Views, WithEveryViewUnitTheRegistryHoldsIds0To13) {
  for (const qv::classlib::TUnitInfo* unit : {&uiNavBarBaseViewsUnit, &uiNavBarOfficeViewsUnit, &uiNavBarExplorerViewsUnit,
                                              &uiNavBarXPViewsUnit, &uiNavBarVSToolBoxViewsUnit})
    qv::classlib::InitializeUnit(*unit);
  start(nbOffice11NavigationPaneView);
  TuiNavBarViewsFactory* views = uiNavBarViewsFactory();
  std::vector<int> ids;
  for (int i = 0; i < views->GetCount(); ++i) ids.push_back(views->Items(i)->ID);
  std::sort(ids.begin(), ids.end());
  std::vector<int> expected(14);
  for (int i = 0; i < 14; ++i) expected[static_cast<size_t>(i)] = i;
  EXPECT_EQ(ids, expected);
}

// --- view 12 ----------------------------------------------------------------------------

// The view holds the task pane's colour set and sign bitmaps while it is
// shown, and lets them go with its view information.
TEST_F(Office11Views, TheTaskPaneHoldsItsSignBitmapsWhileItIsShown) {
  start(nbExplorerBarView);
  ASSERT_EQ(Office11ExpandSignBitmap(), nullptr);
  bar->SetView(nbOffice11TaskPaneView);
  settle();
  EXPECT_NE(Office11ExpandSignBitmap(), nullptr);
  EXPECT_NE(Office11CollapseSignBitmap(), nullptr);
  bar->SetView(nbExplorerBarView);
  settle();
  EXPECT_EQ(Office11ExpandSignBitmap(), nullptr);
}

// Unset pairs (either colour clNone) take the set's colours; a pair the
// user sets wins.
TEST_F(Office11Views, TheTaskPaneTakesTheSetsColoursWhereTheStylesLeaveThemUnset) {
  start(nbOffice11TaskPaneView);
  const TuiOffice11ViewColors& c = Office11ViewColors();
  TuiNavBarViewInfo* v = info();
  TuiNavBarGroupViewInfo* g = groupInfo(0);
  TuiNavBarLinkViewInfo* l = g->LinkInfos(0);
  EXPECT_EQ(v->BackgroundBackColor(), c.Office11BackgroundColor1);
  EXPECT_EQ(v->BackgroundBackColor2(), c.Office11BackgroundColor2);
  EXPECT_EQ(v->BackgroundAlphaBlending(), 255);
  EXPECT_EQ(v->BackgroundGradientMode(), gmVertical);
  EXPECT_EQ(g->GetBackgroundBackColor(), c.Office11GroupBackgroundColor1);
  EXPECT_EQ(g->GetBackgroundBackColor2(), c.Office11GroupBackgroundColor2);
  EXPECT_EQ(g->GetBackgroundAlphaBlending2(), 255);
  EXPECT_EQ(g->GetBackgroundGradientMode(), gmVertical);
  EXPECT_EQ(g->GetCaptionBackColor(), c.Office11CaptionColor1);
  EXPECT_EQ(g->GetCaptionBackColor2(), c.Office11CaptionColor2);
  EXPECT_EQ(g->GetCaptionAlphaBlending(), 255);
  EXPECT_EQ(g->GetCaptionGradientMode(), gmHorizontal);
  EXPECT_EQ(g->GetBorderColor(), c.Office11GroupBorderColor);
  EXPECT_EQ(g->GetCaptionFontColor(), c.Office11CaptionTextColor);
  EXPECT_EQ(l->GetFontColor(), c.Office11LinkTextColor);
  for (TColor colour : {c.Office11BackgroundColor1, c.Office11CaptionColor1, c.Office11LinkTextColor})
    EXPECT_NE(colour, clNone);

  const TColor red = clRed, blue = clBlue;
  TuiNavBarStyleItem* caption = bar->Styles()->Add();
  caption->Style()->SetBackColor(red);  // one colour of the pair: still unset
  groups[0]->SetGroupStyle(2, caption);
  TuiNavBarStyleItem* background = bar->Styles()->Add();
  background->Style()->SetBackColor(red);
  background->Style()->SetBackColor2(blue);
  bar->SetStyleItem(0, background);
  TuiNavBarStyleItem* link = bar->Styles()->Add();
  link->Style()->Font()->SetColor(blue);
  items[0]->SetItemStyle(0, link);
  settle();
  g = groupInfo(0);
  EXPECT_EQ(g->GetCaptionBackColor(), c.Office11CaptionColor1);
  EXPECT_EQ(g->GetBorderColor(), c.Office11GroupBorderColor);
  EXPECT_EQ(info()->BackgroundBackColor(), red);
  EXPECT_EQ(info()->BackgroundBackColor2(), blue);
  EXPECT_EQ(g->LinkInfos(0)->GetFontColor(), blue);
  caption->Style()->SetBackColor2(blue);
  settle();
  EXPECT_EQ(groupInfo(0)->GetCaptionBackColor(), red);
  EXPECT_EQ(groupInfo(0)->GetBorderColor(), blue) << "the base border is caption colour 2";
}

TEST_F(Office11Views, TheTaskPaneAssignsItsDefaultStyles) {
  constexpr TColor kAny = navbartest::kAnyColour;
  struct Row {
    int style;
    TColor back, back2, font;
    int size;
    bool bold, underline;
  };
  const Row table[] = {
      {0, clNone, clNone, kAny, 0, false, false},      {4, clNone, clNone, kAny, 0, false, false},
      {6, clNone, clNone, clNone, 10, true, false},    {7, clNone, clNone, clNone, 10, true, false},
      {13, kAny, kAny, clNone, 0, false, false},       {14, kAny, kAny, clGrayText, 0, false, false},
      {15, kAny, kAny, clNone, 0, false, true},
  };
  start(nbOffice11TaskPaneView);
  for (const Row& r : table) {
    SCOPED_TRACE(r.style);
    TuiNavBarDefaultStyle* s = bar->DefaultStyles()->Styles(r.style);
    navbartest::expectStyleColours(s, r.back, r.back2, r.font);
    if (r.size) {
      EXPECT_EQ(s->Font()->Size(), r.size);
    }
    EXPECT_EQ(s->Font()->Style().Contains(fsBold), r.bold);
    EXPECT_EQ(s->Font()->Style().Contains(fsUnderline), r.underline);
  }
  EXPECT_EQ(bar->DefaultStyles()->Styles(13)->HAlignment(), haCenter);
}

// --- view 13 ------------------------------------------------------------------------------

class NavPane : public Office11Views {
 protected:
  void SetUp() override {
    Office11Views::SetUp();
    start(nbOffice11NavigationPaneView);
  }
  TuiNavBarOffice11NavPaneViewInfo* pane() { return dynamic_cast<TuiNavBarOffice11NavPaneViewInfo*>(info()); }
  // The groups of the overflow panel, in its order.
  std::vector<std::string> overflow() {
    std::vector<std::string> out;
    for (int i = 0; i < pane()->OverflowItemCount(); ++i) out.push_back(pane()->OverflowItems(i).Group->Caption());
    return out;
  }
  // The groups with a large button, in their order.
  std::vector<std::string> buttons() {
    std::vector<std::string> out;
    for (int i = 0; i < info()->GroupCount(); ++i)
      if (info()->GroupInfos(i)->ShowsCaption()) out.push_back(info()->GroupInfos(i)->SourceGroup()->Caption());
    return out;
  }
  TuiNavBarGroupViewInfo* content() { return info()->GroupInfos(0); }
  int buttonHeight() { return height(info()->GroupInfos(1)->Bounds); }
  static int height(const TRect& r) { return r.bottom - r.top; }
  static TPoint mid(const TRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  void resize(int width, int height) {
    bar->SetBounds(0, 0, width, height);
    settle();
  }
};

// Top to bottom without gaps: the header, the active group's links, the
// splitter, one large button per visible group, and the overflow panel at
// the bottom with its sign at the right.
TEST_F(NavPane, ThePaneStacksHeaderContentSplitterButtonsAndTheOverflowPanel) {
  TuiNavBarOffice11NavPaneViewInfo* p = pane();
  TFont header;
  header.SetName("Arial");
  header.SetSize(11);
  header.SetStyle({fsBold});
  const int headerHeight = 8 + GetFontItemHeight(&header);
  EXPECT_EQ(navbartest::str(p->HeaderBounds()), navbartest::str(TRect{1, 0, 176, headerHeight}));
  ASSERT_EQ(info()->GroupCount(), 4);
  EXPECT_EQ(content()->SourceGroup(), groups[0]);
  EXPECT_EQ(content()->LinkCount(), 4);
  EXPECT_FALSE(content()->IsCaptionVisible());
  EXPECT_EQ(content()->Bounds.top, headerHeight);
  EXPECT_EQ(p->SplitterBounds().top, content()->Bounds.bottom);
  EXPECT_EQ(height(p->SplitterBounds()), 7);
  EXPECT_EQ(buttons(), (std::vector<std::string>{"Project", "Design", "Extras"}));
  // A caption is 4 pixels higher than its font, or than its image (small,
  // 16 pixels, as groups take by default) with 4 above and below.
  TFont caption;
  caption.Assign(bar->DefaultStyles()->Styles(6)->Font());
  const int expected = std::max(4 + GetFontItemHeight(&caption), 16 + 8);
  int y = p->SplitterBounds().bottom;
  for (int i = 1; i < 4; ++i) {
    SCOPED_TRACE(i);
    const TRect& r = info()->GroupInfos(i)->HeaderBounds;
    EXPECT_EQ(navbartest::str(r), navbartest::str(TRect{1, y, 176, y + expected}));
    EXPECT_EQ(info()->GroupInfos(i)->HeaderImageBounds.top, y + 4);
    y = r.bottom;
  }
  EXPECT_EQ(navbartest::str(p->OverflowPanelBounds()), navbartest::str(TRect{1, y, 176, 500}));
  EXPECT_EQ(y, 500 - (16 + 8));
  EXPECT_EQ(navbartest::str(p->OverflowSignBounds()), navbartest::str(TRect{156, y + 1, 176, 499}));
  EXPECT_TRUE(overflow().empty());
  EXPECT_EQ(p->OverflowVisibleCount(), 0);
}

// The limit moves the last buttons into the panel, where they stand right
// of one another up to the sign, 4 pixels wider than their images; those
// that find no room wait in the menu.
TEST_F(NavPane, ButtonsOverTheLimitGoToTheOverflowPanelRightAlignedAtTheSign) {
  bar->SetNavigationPaneMaxVisibleGroups(1);
  settle();
  TuiNavBarOffice11NavPaneViewInfo* p = pane();
  EXPECT_EQ(buttons(), (std::vector<std::string>{"Project"}));
  EXPECT_EQ(overflow(), (std::vector<std::string>{"Design", "Extras"}));
  ASSERT_EQ(p->OverflowVisibleCount(), 2);
  const TRect& panel = p->OverflowPanelBounds();
  EXPECT_EQ(navbartest::str(p->OverflowItems(0).ButtonBounds),
            navbartest::str(TRect{116, panel.top + 1, 136, panel.bottom - 1}));
  EXPECT_EQ(navbartest::str(p->OverflowItems(1).ButtonBounds),
            navbartest::str(TRect{136, panel.top + 1, 156, panel.bottom - 1}));
  EXPECT_EQ(navbartest::str(p->OverflowItems(1).ImageBounds),
            navbartest::str(TRect{138, panel.top + 4, 154, panel.top + 20}));
  // The content takes the height the buttons left.
  EXPECT_EQ(p->SplitterBounds().top, content()->Bounds.bottom);
  EXPECT_EQ(info()->GroupInfos(1)->Bounds.bottom, panel.top);
  // Room for one button of three between x 1 and the sign at 39.
  bar->SetNavigationPaneMaxVisibleGroups(0);
  resize(60, 500);
  EXPECT_EQ(overflow(), (std::vector<std::string>{"Project", "Design", "Extras"}));
  p = pane();
  ASSERT_EQ(p->OverflowVisibleCount(), 1);
  EXPECT_EQ(navbartest::str(p->OverflowItems(0).ButtonBounds),
            navbartest::str(TRect{19, p->OverflowPanelBounds().top + 1, 39, 499}));
  EXPECT_EQ(height(p->OverflowItems(1).ButtonBounds), 0);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{18, 490}), -1);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{19, 490}), 0);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{39, 490}), -1) << "the sign";
}

// Too short for the content's minimum of 50, the pane moves buttons, the
// last first, into the panel until it is covered; what they free beyond
// the deficit goes to the content.
TEST_F(NavPane, AShortPaneHidesButtonsLastFirstUntilTheContentHasItsMinimum) {
  const int full = pane()->OverflowPanelBounds().top - pane()->SplitterBounds().bottom;  // three buttons
  const int minimum = 50, header = pane()->HeaderBounds().bottom;
  // Every height from roomy to cramped: buttons leave one by one, never
  // before the content would go under its minimum.
  for (int client = 500; client >= 200; client -= 7) {
    SCOPED_TRACE(client);
    resize(177, client);
    TuiNavBarOffice11NavPaneViewInfo* p = pane();
    const int shown = static_cast<int>(buttons().size());
    const int contentHeight = height(content()->Bounds);
    EXPECT_GE(contentHeight, minimum);
    if (shown < 3) {
      EXPECT_LT(contentHeight, minimum + full / 3) << "a button too many went";
    }
    EXPECT_EQ(shown + p->OverflowItemCount(), 3);
    EXPECT_EQ(p->OverflowPanelBounds().bottom, client);
    EXPECT_EQ(content()->Bounds.top, header);
    EXPECT_EQ(p->SplitterBounds().top, content()->Bounds.bottom);
    EXPECT_EQ(info()->GroupInfos(info()->GroupCount() - 1)->Bounds.bottom, p->OverflowPanelBounds().top);
    if (p->OverflowItemCount() > 0) {
      EXPECT_EQ(p->OverflowItems(p->OverflowItemCount() - 1).Group, groups[2]);
    }
  }
}

TEST_F(NavPane, WithoutGroupCaptionsEveryButtonGoesToThePanelAndTheHeaderStays) {
  bar->SetShowGroupCaptions(false);
  settle();
  TuiNavBarOffice11NavPaneViewInfo* p = pane();
  EXPECT_TRUE(buttons().empty());
  EXPECT_EQ(overflow(), (std::vector<std::string>{"Project", "Design", "Extras"}));
  EXPECT_EQ(p->OverflowPanelBounds().top, p->SplitterBounds().bottom);
  EXPECT_EQ(p->OverflowPanelBounds().bottom, 500);
  EXPECT_GT(height(p->HeaderBounds()), 8);
}

TEST_F(NavPane, WithoutVisibleGroupsSplitterAndPanelSitAtTheBottomButNeverAboveTheHeader) {
  for (TuiNavBarGroup* g : groups) g->SetVisible(false);
  settle();
  TuiNavBarOffice11NavPaneViewInfo* p = pane();
  EXPECT_EQ(info()->GroupCount(), 0);
  EXPECT_EQ(p->OverflowPanelBounds().bottom, 500);
  EXPECT_EQ(p->SplitterBounds().bottom, p->OverflowPanelBounds().top);
  resize(177, 20);
  p = pane();
  EXPECT_EQ(p->SplitterBounds().top, p->HeaderBounds().bottom);
}

// The splitter dragged with the mouse: a drag past the first button's
// height below its middle shows one button fewer, one as far above shows
// one more; the release or the loss of the capture ends the drag.
TEST_F(NavPane, DraggingTheSplitterChangesTheNumberOfLargeButtons) {
  const int b = buttonHeight();
  TPoint s = mid(pane()->SplitterBounds());
  const int middle = pane()->SplitterBounds().top + 3;
  mouse(WM_MOUSEMOVE, s.x, s.y);
  mouse(WM_LBUTTONDOWN, s.x, s.y, MK_LBUTTON);
  ASSERT_TRUE(bar->SplitterDragging());
  mouse(WM_MOUSEMOVE, s.x, middle + b, MK_LBUTTON);
  settle();
  EXPECT_EQ(buttons().size(), 3u) << "on the threshold";
  mouse(WM_MOUSEMOVE, s.x, middle + b + 1, MK_LBUTTON);
  settle();
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), 2);
  EXPECT_EQ(buttons(), (std::vector<std::string>{"Project", "Design"}));
  EXPECT_EQ(overflow(), (std::vector<std::string>{"Extras"}));
  // The splitter went down with the drag; up from its new place.
  const int raised = pane()->SplitterBounds().top + 3 - b - 1;
  mouse(WM_MOUSEMOVE, s.x, raised, MK_LBUTTON);
  settle();
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), -1);
  EXPECT_EQ(buttons().size(), 3u);
  mouse(WM_LBUTTONUP, s.x, raised);
  EXPECT_FALSE(bar->SplitterDragging());

  s = mid(pane()->SplitterBounds());
  mouse(WM_MOUSEMOVE, s.x, s.y);
  mouse(WM_LBUTTONDOWN, s.x, s.y, MK_LBUTTON);
  ASSERT_TRUE(bar->SplitterDragging());
  ReleaseCapture();
  EXPECT_FALSE(bar->SplitterDragging());
  mouse(WM_MOUSEMOVE, s.x, 499, MK_LBUTTON);
  settle();
  EXPECT_EQ(buttons().size(), 3u) << "no drag after the capture went";
  mouse(WM_LBUTTONUP, s.x, 499);
}

TEST_F(NavPane, AClickOnAnOverflowButtonActivatesItsGroup) {
  bar->SetNavigationPaneMaxVisibleGroups(1);
  settle();
  const TPoint extras = mid(pane()->OverflowItems(1).ButtonBounds);
  click(extras.x, extras.y);
  settle();
  EXPECT_EQ(bar->GetActiveGroup(), groups[2]);
  EXPECT_EQ(content()->SourceGroup(), groups[2]);
  EXPECT_EQ(content()->LinkCount(), 2);
}

// The sign opens the customization menu at the pointer; its items follow
// the pane's state, and each does what it says.
TEST_F(NavPane, TheSignOpensTheCustomizationMenu) {
  bar->SetNavigationPaneMaxVisibleGroups(0);
  resize(60, 500);  // room for the Project button only
  qv::desktop::Recorder::clearEvents();
  const TPoint sign = mid(pane()->OverflowSignBounds());
  click(sign.x, sign.y);
  const auto shown = qv::desktop::Recorder::eventsOf("popupmenu");
  ASSERT_EQ(shown.size(), 1u);
  const TPoint at = bar->ClientToScreen(sign);
  EXPECT_EQ(shown[0].fields[0], std::to_string(at.x));
  EXPECT_EQ(shown[0].fields[1], std::to_string(at.y));
  TMenuItem* root = pane()->OverflowMenu()->Items();
  struct Row {
    const char* caption;
    bool enabled, checked;
    int image;  // the fixture's small images are 0 to 2; the menu's own follow
  };
  const Row rows[] = {{"Show &More Buttons", true, false, 3},  {"Show &Fewer Buttons", false, false, 4},
                      {"&Add or Remove Buttons", true, false, -1}, {"-", true, false, -1},
                      {"Design", true, false, 5},              {"Extras", true, false, 5}};
  ASSERT_EQ(root->Count(), 6);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(rows[i].caption);
    EXPECT_EQ(root->Items(i)->Caption(), rows[i].caption);
    EXPECT_EQ(root->Items(i)->Enabled(), rows[i].enabled);
    EXPECT_EQ(root->Items(i)->Checked(), rows[i].checked);
    EXPECT_EQ(root->Items(i)->ImageIndex(), rows[i].image);
  }
  TMenuItem* buttonsItem = root->Items(2);
  ASSERT_EQ(buttonsItem->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(buttonsItem->Items(i)->Caption(), groups[static_cast<size_t>(i)]->Caption());
    EXPECT_TRUE(buttonsItem->Items(i)->Checked());
  }
  EXPECT_EQ(pane()->OverflowImages()->Count(), 3) << "up, down and the default group image";

  // An entry after the separator activates its group.
  root->Items(5)->Click();
  EXPECT_EQ(bar->GetActiveGroup(), groups[2]);
  // "Add or Remove Buttons" hides the group at the sub-item's place.
  buttonsItem->Items(1)->Click();
  EXPECT_FALSE(groups[1]->Visible());
  EXPECT_FALSE(buttonsItem->Items(1)->Checked());
  buttonsItem->Items(1)->Click();
  EXPECT_TRUE(groups[1]->Visible());
  // One more button each time, no limit once all are back.
  root->Items(0)->Click();
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), 1);
  bar->SetNavigationPaneMaxVisibleGroups(2);
  root->Items(0)->Click();
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), -1) << "one hidden: More shows all";
  // The menu is built each time it opens; with no button hidden, More is off.
  pane()->BuildCustomizationMenu();
  EXPECT_FALSE(root->Items(0)->Enabled());
  ASSERT_TRUE(root->Items(1)->Enabled());
  root->Items(1)->Click();
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), 2) << "Fewer from no limit";
}

TEST_F(NavPane, TheMenuIsAnsweredThroughTheDesktop) {
  bar->SetNavigationPaneMaxVisibleGroups(2);
  settle();
  qv::desktop::Recorder::pushAnswer("popupmenu", "Show &More Buttons");
  const TPoint sign = mid(pane()->OverflowSignBounds());
  click(sign.x, sign.y);
  settle();
  EXPECT_EQ(bar->NavigationPaneMaxVisibleGroups(), -1);
}

// Hints of the panel: the sign's and each button's; between the buttons
// there is no group, so no hint and nothing looked up.
TEST_F(NavPane, ThePanelsHintsNameTheSignAndTheButtonsGroup) {
  bar->SetNavigationPaneMaxVisibleGroups(1);
  settle();
  SetForegroundWindow(form->Handle());
  std::vector<TuiNavBarGroup*> asked;
  bar->OnCalcNavigationPaneOverflowPanelHintRect = [&](TObject*, TuiNavBarGroup* AGroup, TuiNavBarViewInfo*, TRect&) {
    asked.push_back(AGroup);
  };
  struct Case {
    const char* name;
    TPoint at;
    std::string hint;
    TuiNavBarGroup* group;
  };
  const Case cases[] = {{"the sign", mid(pane()->OverflowSignBounds()), "Configure buttons", nullptr},
                        {"a button", mid(pane()->OverflowItems(1).ButtonBounds), "Extras", groups[2]}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    asked.clear();
    mouse(WM_MOUSEMOVE, 20, 490);
    mouse(WM_MOUSEMOVE, c.at.x, c.at.y);
    qv::os::runFor(1000);
    ASSERT_TRUE(bar->HintShown());
    EXPECT_EQ(info()->CurrentHint(), c.hint);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], c.group);
  }
  mouse(WM_MOUSEMOVE, 20, 490);
  EXPECT_EQ(bar->HotTrackedOverflowItemIndex(), -1);
  qv::os::runFor(1000);
  EXPECT_FALSE(bar->HintShown());
  EXPECT_EQ(pane()->GetOverflowHintText(), "");
}

// Buttons by state: hot-pressed for the hot active group, pressed for the
// active one, hot for a hot one, else the plain buttons' (entries 66 to 73
// of the Office 2003 set).
TEST_F(NavPane, ButtonsTakeTheirColoursByState) {
  const TOffice11ColorSet& set = Office11ColorSet();
  auto colours = [&](int g) {
    TuiNavBarGroupViewInfo* b = info()->GroupInfos(g + 1);
    return std::make_pair(b->GetCaptionBackColor(), b->GetCaptionBackColor2());
  };
  EXPECT_EQ(colours(1), std::make_pair(set[66], set[67]));
  EXPECT_EQ(colours(0), std::make_pair(set[70], set[71]));
  const TPoint design = mid(info()->GroupInfos(2)->HeaderBounds), project = mid(info()->GroupInfos(1)->HeaderBounds);
  mouse(WM_MOUSEMOVE, design.x, design.y);
  settle();
  EXPECT_EQ(colours(1), std::make_pair(set[68], set[69]));
  mouse(WM_MOUSEMOVE, project.x, project.y);
  settle();
  EXPECT_EQ(colours(0), std::make_pair(set[72], set[73]));
  EXPECT_EQ(info()->ButtonBorderColor(), set[65]);
  EXPECT_EQ(info()->NavigationPaneHeaderBackColor(), set[74]);
  EXPECT_EQ(info()->NavigationPaneHeaderBackColor2(), set[75]);
  EXPECT_EQ(info()->NavigationPaneHeaderFontColor(), set[76]);
  EXPECT_EQ(info()->OverflowPanelBackColor(), set[66]);
  EXPECT_EQ(info()->SplitterBackColor(), set[77]) << "no colour scheme without visual styles";
  EXPECT_EQ(info()->SplitterBackColor2(), set[78]);
}

TEST_F(NavPane, ThePaneAssignsItsDefaultStyles) {
  constexpr TColor kAny = navbartest::kAnyColour;
  struct Row {
    int style;
    TColor back, font;
    bool bold;
  };
  const Row table[] = {{0, clWindow, kAny, false},        {1, clNone, kAny, false},
                       {4, clWindow, kAny, false},        {6, clNone, kAny, true},
                       {13, kAny, clWindowText, false},   {14, kAny, clGrayText, false},
                       {19, clNone, clNone, true}};
  for (const Row& r : table) {
    SCOPED_TRACE(r.style);
    TuiNavBarDefaultStyle* s = bar->DefaultStyles()->Styles(r.style);
    navbartest::expectStyleColours(s, r.back, r.back, r.font);
    EXPECT_EQ(s->Font()->Style().Contains(fsBold), r.bold);
  }
  EXPECT_EQ(bar->DefaultStyles()->Styles(13)->HAlignment(), haCenter);
  EXPECT_EQ(bar->DefaultStyles()->Styles(14)->HAlignment(), haCenter) << "a copy of the item style";
  EXPECT_EQ(bar->DefaultStyles()->Styles(19)->Font()->Name(), "Arial");
  EXPECT_EQ(bar->DefaultStyles()->Styles(19)->Font()->Size(), 11);
}

TEST_F(NavPane, ADropOnTheActiveGroupsOwnButtonGoesBeforeTheContentsFirstLink) {
  TuiNavBarGroupViewInfo* group = nullptr;
  TuiNavBarLinkViewInfo *after = nullptr, *before = nullptr;
  const TPoint own = mid(info()->GroupInfos(1)->HeaderBounds);
  EXPECT_EQ(info()->GetDropTargetInfo(own, group, after, before), 0);
  EXPECT_EQ(group, content());
  EXPECT_EQ(after, content()->LinkInfos(0));
  EXPECT_EQ(before, nullptr);
  const TPoint other = mid(info()->GroupInfos(2)->HeaderBounds);
  info()->GetDropTargetInfo(other, group, after, before);
  EXPECT_EQ(group, info()->GroupInfos(2)) << "another group's button stays itself";
}

// The menu's items drawn one by one: the image column in the button
// colours, a selected item framed in the border colour, the separator's
// line; an image index outside the lists draws no image.
TEST_F(NavPane, MenuItemsAreDrawnWithTheirImageColumnAndNoImageForANegativeIndex) {
  auto* painter = dynamic_cast<TuiNavBarOffice11NavPanePainter*>(bar->GetPainter());
  ASSERT_NE(painter, nullptr);
  const TOffice11ColorSet& set = Office11ColorSet();
  TBitmap canvas;
  canvas.SetSize(120, 22);
  auto pixel = [&](int x, int y) { return static_cast<TColor>(GetPixel(canvas.Canvas()->Handle(), x, y)); };
  auto rgb = [](TColor c) { return static_cast<TColor>(ColorToRGB(c)); };
  painter->DrawMenuItem(canvas.Canvas(), TRect{0, 0, 120, 22}, 0, "Design", -1, images.get());
  // The column runs in cells from the first button colour to the second.
  auto near = [](TColor a, TColor b) {
    for (int shift : {0, 8, 16})
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 4) return false;
    return true;
  };
  EXPECT_TRUE(near(pixel(0, 11), rgb(set[66]))) << "column start";
  EXPECT_TRUE(near(pixel(21, 11), rgb(set[67]))) << "column end";
  EXPECT_EQ(pixel(22, 11), rgb(clMenu)) << "the column is 2 x 3 + 16 wide";
  EXPECT_EQ(pixel(11, 11), pixel(11, 3)) << "no image in the column";
  EXPECT_EQ(pixel(100, 2), rgb(clMenu));
  painter->DrawMenuItem(canvas.Canvas(), TRect{0, 0, 120, 22}, 0, "Design", 1, images.get());
  EXPECT_EQ(pixel(3 + 8, 3 + 8), static_cast<TColor>(RGB(40, 150, 60))) << "image 1 at 3, 3";
  painter->DrawMenuItem(canvas.Canvas(), TRect{0, 0, 120, 22}, nbMenuItemSelected, "Design", -5, images.get());
  EXPECT_EQ(pixel(1, 1), rgb(set[65])) << "selected: framed 1 pixel in";
  EXPECT_NE(pixel(60, 11), rgb(clMenu)) << "selected: the hot face";
  painter->DrawMenuItem(canvas.Canvas(), TRect{0, 0, 120, 22}, 0, "-", -1, nullptr);
  EXPECT_EQ(pixel(60, 11), ScaleColorByPercent(set[67], 80)) << "the separator line";
  EXPECT_EQ(pixel(60, 10), rgb(clMenu));
}

// The sizes the layout is made of, as data.
TEST_F(NavPane, ThePanesMetrics) {
  TuiNavBarOffice11NavPaneViewInfo* p = pane();
  struct Row {
    const char* name;
    int actual, expected;
  };
  const Row rows[] = {
      {"GroupCaptionHeightAddon", p->GroupCaptionHeightAddon(), 4},
      {"GroupCaptionImageIndent", p->GroupCaptionImageIndent(), 4},
      {"DefaultGroupsSpacing", p->DefaultGroupsSpacing(), 0},
      {"GroupEdgeOffset", p->GroupEdgeOffset(), 1},
      {"HasGroupCaptionImage", p->HasGroupCaptionImage(), 1},
      {"AllowIconView", p->AllowIconView(), 0},
      {"ExtendCaptionForImage", p->ExtendCaptionForImage(), 1},
      {"ResizeChangeType is a recreate", p->ResizeChangeType() == doRecreate, 1},
      {"GetOverflowItemPadding", p->GetOverflowItemPadding(), 2},
      {"GetOverflowSignWidth", p->GetOverflowSignWidth(), 20},
      {"GetOverflowPanelHeightAddition", p->GetOverflowPanelHeightAddition(), 8},
      {"GetMenuImageMargin", p->GetMenuImageMargin(), 3},
      {"GetMenuTextIndent", p->GetMenuTextIndent(), 4},
      {"GetOverflowSignGap", p->GetOverflowSignGap(), 0},
      {"GetSplitterHeight", p->GetSplitterHeight(), 7},
      {"GetOverflowImageWidth (small images)", p->GetOverflowImageWidth(), 16},
      {"GetOverflowImageHeight (small images)", p->GetOverflowImageHeight(), 16},
      {"GetOverflowPanelHeight", p->GetOverflowPanelHeight(), 16 + 8},
  };
  for (const Row& r : rows) EXPECT_EQ(r.actual, r.expected) << r.name;
  EXPECT_EQ(navbartest::str(p->GetOverflowPanelMargins()), navbartest::str(TRect{0, 0, 0, 0}));
  EXPECT_EQ(p->GetOverflowImages(), images.get());
  // Large images without a large list: 32 x 32.
  bar->SetNavigationPaneOverflowPanelUseSmallImages(false);
  settle();
  EXPECT_EQ(pane()->GetOverflowImageWidth(), 32);
  EXPECT_EQ(pane()->GetOverflowPanelHeight(), 32 + 8);
  EXPECT_EQ(pane()->GetOverflowImages(), nullptr);
}

// Three buttons fit exactly when the content keeps its minimum of 50; one
// pixel less sends the last to the panel, and what it frees beyond that
// pixel goes to the content.
TEST_F(NavPane, OnePixelTooShortSendsTheLastButtonToThePanel) {
  const int b = buttonHeight(), header = pane()->HeaderBounds().bottom, panel = pane()->GetOverflowPanelHeight();
  const int fits = header + 50 + 7 + 3 * b + panel;
  resize(177, fits);
  EXPECT_EQ(buttons(), (std::vector<std::string>{"Project", "Design", "Extras"}));
  EXPECT_EQ(height(content()->Bounds), 50);
  EXPECT_TRUE(overflow().empty());
  resize(177, fits - 1);
  EXPECT_EQ(buttons(), (std::vector<std::string>{"Project", "Design"}));
  EXPECT_EQ(overflow(), (std::vector<std::string>{"Extras"}));
  EXPECT_EQ(height(content()->Bounds), 50 - 1 + b);
  EXPECT_EQ(pane()->OverflowPanelBounds().bottom, fits - 1);
  EXPECT_EQ(pane()->OverflowVisibleCount(), 1);
}

// Every hit test on the first and the last pixel of its rectangle and one
// past them.
TEST_F(NavPane, HitTestsHoldFromTheFirstToTheLastPixel) {
  bar->SetNavigationPaneMaxVisibleGroups(1);
  settle();
  TuiNavBarOffice11NavPaneViewInfo* p = pane();
  using Test = bool (TuiNavBarOffice11NavPaneViewInfo::*)(const TPoint&);
  struct Row {
    const char* name;
    Test test;
    TRect r;
  };
  const Row rows[] = {
      {"header", &TuiNavBarOffice11NavPaneViewInfo::IsPtNavigationPaneHeader, p->HeaderBounds()},
      {"splitter", &TuiNavBarOffice11NavPaneViewInfo::IsPtNavigationPaneSplitter, p->SplitterBounds()},
      {"panel", &TuiNavBarOffice11NavPaneViewInfo::IsPtNavigationPaneOverflowPanel, p->OverflowPanelBounds()},
      {"sign", &TuiNavBarOffice11NavPaneViewInfo::IsPtNavigationPaneOverflowPanelSign, p->OverflowSignBounds()},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_TRUE(r.r.right > r.r.left && r.r.bottom > r.r.top);
    EXPECT_TRUE((p->*r.test)(TPoint{r.r.left, r.r.top}));
    EXPECT_TRUE((p->*r.test)(TPoint{r.r.right - 1, r.r.bottom - 1}));
    EXPECT_FALSE((p->*r.test)(TPoint{r.r.right, r.r.bottom - 1}));
    EXPECT_FALSE((p->*r.test)(TPoint{r.r.right - 1, r.r.bottom}));
    EXPECT_FALSE((p->*r.test)(TPoint{r.r.left - 1, r.r.top}));
    EXPECT_FALSE((p->*r.test)(TPoint{r.r.left, r.r.top - 1}));
  }
  const TRect& first = p->OverflowItems(0).ButtonBounds;
  const TRect& last = p->OverflowItems(1).ButtonBounds;
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{first.left - 1, first.top}), -1);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{first.left, first.top}), 0);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{first.left, first.top - 1}), -1);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{first.right - 1, first.bottom - 1}), 0);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{last.left, last.top}), 1);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{last.right - 1, last.bottom - 1}), 1);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelItemIndexAtPos(TPoint{last.right - 1, last.bottom}), -1);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelGroupAtPos(TPoint{last.left, last.top}), groups[2]);
  EXPECT_EQ(p->GetNavigationPaneOverflowPanelGroupAtPos(TPoint{first.left - 1, first.top}), nullptr);
}

// The splitter's drag rules on both sides of each threshold: the first
// button's height from the splitter's middle, or 20 pixels up when there
// is no button.
TEST_F(NavPane, TheSplitterDragRulesOnBothSidesOfTheirThresholds) {
  TuiNavBarOffice11NavPaneViewInfo* p = pane();
  const int middle = p->SplitterBounds().top + 3, b = buttonHeight();
  EXPECT_FALSE(p->IsSplitterDraggedDown(TPoint{10, middle + b}));
  EXPECT_TRUE(p->IsSplitterDraggedDown(TPoint{10, middle + b + 1}));
  EXPECT_FALSE(p->IsSplitterDraggedUp(TPoint{10, middle - b}));
  EXPECT_TRUE(p->IsSplitterDraggedUp(TPoint{10, middle - b - 1}));
  // Only the content: never down, and up past 20 pixels.
  bar->SetNavigationPaneMaxVisibleGroups(0);
  settle();
  p = pane();
  ASSERT_EQ(info()->GroupCount(), 1);
  const int m = p->SplitterBounds().top + 3;
  EXPECT_FALSE(p->IsSplitterDraggedDown(TPoint{10, 499}));
  EXPECT_FALSE(p->IsSplitterDraggedUp(TPoint{10, m - 20}));
  EXPECT_TRUE(p->IsSplitterDraggedUp(TPoint{10, m - 21}));
}

// An overflow button whose group's image index is negative or past the
// list shows the default group picture, as one without an image does; a
// valid index shows its own image.
TEST_F(NavPane, AnOverflowImageOutsideTheListShowsTheDefaultGroupPicture) {
  bar->SetNavigationPaneMaxVisibleGroups(1);
  settle();
  auto imageOf = [&](int index) {
    groups[2]->SetSmallImageIndex(index);
    settle();
    const TRect r = pane()->OverflowItems(1).ImageBounds;
    const qv::os::gdi::Image image = shot();
    std::vector<uint32_t> out;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) out.push_back(image.at(x, y));
    return out;
  };
  const std::vector<uint32_t> none = imageOf(-1);
  EXPECT_EQ(imageOf(-5), none);
  EXPECT_EQ(imageOf(3), none) << "past the three images";
  EXPECT_EQ(imageOf(1000), none);
  const std::vector<uint32_t> own = imageOf(1);
  EXPECT_NE(own, none);
  // The default picture is drawn, not a bare button.
  groups[2]->SetSmallImageIndex(-1);
  settle();
  const TRect r = pane()->OverflowItems(1).ImageBounds;
  const qv::os::gdi::Image image = shot();
  bool varies = false;
  for (int y = r.top; y < r.bottom && !varies; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (image.at(x, y) != image.at(r.left, r.top)) varies = true;
  EXPECT_TRUE(varies);
}

// In the panel but over no button (no button hot), the hint is empty and
// reads no entry.
TEST_F(NavPane, TheHintBetweenTheButtonsIsEmpty) {
  bar->SetNavigationPaneMaxVisibleGroups(1);
  settle();
  const TRect& panel = pane()->OverflowPanelBounds();
  mouse(WM_MOUSEMOVE, panel.left + 2, (panel.top + panel.bottom) / 2);
  EXPECT_EQ(bar->HotTrackedOverflowItemIndex(), -1);
  EXPECT_FALSE(bar->OverflowSignHotTracked());
  EXPECT_EQ(pane()->GetOverflowHintText(), "");
}

// --- golden pictures ----------------------------------------------------------------

// The bar as it shows on the screen in each view, without and with visual
// styles, with a hot link and a pressed caption as in every view's picture.
class Office11ViewsGolden : public Office11Views,
                            public ::testing::WithParamInterface<std::tuple<int, ModuleProfile>> {};

TEST_P(Office11ViewsGolden, TheBarLooksAsApproved) {
  const auto [view, styles] = GetParam();
  start(view, styles);
  expectViewGolden("office11", view, styles);
}

INSTANTIATE_TEST_SUITE_P(Views, Office11ViewsGolden,
                         ::testing::Combine(::testing::Values(12, 13),
                                            ::testing::Values(ModuleProfile::Absent, ModuleProfile::Themed)),
                         navbartest::goldenCaseName);

}  // namespace
