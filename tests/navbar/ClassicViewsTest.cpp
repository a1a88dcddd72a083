// The classic views 0 to 5 on the headless desktop: their registration,
// the geometry of the caption buttons around the active group, its
// minimum height and scroll buttons, activation by a caption click and by
// making a link visible, the default styles as data, and golden pictures of
// each view with visual styles absent and present.
#include "navbar/uiNavBarBaseViews.h"

#include <gtest/gtest.h>

#include <string>

#include "NavBarViewsFixture.h"
#include "lookandfeel/lkGeometry.h"
#include "navbar/uiNavBarOfficeViews.h"
#include "navbar/uiNavBarVSToolBoxViews.h"
#include "navbar/uiNavBarViewsFact.h"

namespace {

using navbartest::str;
using qv::desktop::ModuleProfile;

// Every unit of the classic views.
const qv::classlib::TUnitInfo* const kClassicUnits[] = {&uiNavBarBaseViewsUnit, &uiNavBarOfficeViewsUnit,
                                                         &uiNavBarVSToolBoxViewsUnit};
const qv::classlib::TUnitInfo kClassicViews{"ClassicViewsTest", kClassicUnits, nullptr, nullptr};

class ClassicViews : public navbartest::ViewsFixture {
 protected:
  void begin(int view, ModuleProfile styles = ModuleProfile::Absent) { start(view, styles, kClassicViews); }
};

// --- registration --------------------------------------------------------------------

TEST_F(ClassicViews, TheUnitsRegisterTheirViewsWithTheirPainters) {
  struct Row {
    int id;
    const char* name;
    TuiNavBarPainterClass painter;
    const char* viewInfo;
    const char* linkViewInfo;
  };
  const Row table[] = {
      {0, "BaseView", TuiNavBarBasePainter::PainterClass(), "TuiNavBarBaseViewInfo", "TuiNavBarLinkViewInfo"},
      {1, "FlatView", TuiNavBarFlatPainter::PainterClass(), "TuiNavBarBaseViewInfo", "TuiNavBarLinkViewInfo"},
      {2, "Office1View", TuiNavBarOffice1Painter::PainterClass(), "TuiNavBarOffice1ViewInfo",
       "TuiNavBarLinkViewInfo"},
      {3, "Office2View", TuiNavBarOffice2Painter::PainterClass(), "TuiNavBarOffice1ViewInfo",
       "TuiNavBarLinkViewInfo"},
      {4, "Office3View", TuiNavBarOffice3Painter::PainterClass(), "TuiNavBarOffice3ViewInfo",
       "TuiNavBarOffice3LinkViewInfo"},
      {5, "VSToolBoxView", TuiNavBarVSToolBoxPainter::PainterClass(), "TuiNavBarVSToolBoxViewInfo",
       "TuiNavBarVSToolBoxLinkViewInfo"}};
  begin(0);
  TuiNavBarViewsFactory* views = uiNavBarViewsFactory();
  EXPECT_EQ(views->GetCount(), 6);
  for (const Row& r : table) {
    SCOPED_TRACE(r.id);
    const int at = views->IndexOfID(r.id);
    ASSERT_GE(at, 0);
    EXPECT_EQ(views->Items(at)->Name, r.name);
    EXPECT_EQ(views->GetPainterClass(r.id), r.painter);
    bar->SetView(r.id);
    settle();
    EXPECT_STREQ(bar->GetPainter()->ClassName().c_str(), r.painter->Class->ClassName().c_str());
    EXPECT_STREQ(info()->ClassName().c_str(), r.viewInfo);
    EXPECT_STREQ(groupInfo(0)->ClassName().c_str(), "TuiNavBarGroupViewInfo");
    EXPECT_STREQ(groupInfo(0)->LinkInfos(0)->ClassName().c_str(), r.linkViewInfo);
  }
}

// Which helper painter draws each element: the base painter's choice, and
// where a view differs, its caption buttons and link selections.
TEST_F(ClassicViews, ThePaintersChooseTheirHelperPainters) {
  struct Row {
    int view;
    TuiBaseButtonPainterClass button;
    TuiBaseSelectionPainterClass selection;
  };
  const Row table[] = {{0, TuiNavBarButtonPainter::Class(), TuiNavBarSelectionPainter::Class()},
                       {1, TuiNavBarFlatButtonPainter::Class(), TuiNavBarSelectionPainter::Class()},
                       {2, TuiNavBarOfficeButtonPainter::Class(), TuiNavBarSelectionPainter::Class()},
                       {3, TuiNavBarOfficeButtonPainter::Class(), TuiNavBarUltraFlatSelectionPainter::Class()},
                       {4, TuiNavBarOfficeButtonPainter::Class(), TuiNavBarUltraFlatSelectionPainter::Class()},
                       {5, TuiNavBarVSToolBoxButtonPainter::Class(), TuiNavBarVSToolBoxSelectionPainter::Class()}};
  begin(0);
  for (const Row& r : table) {
    SCOPED_TRACE(r.view);
    bar->SetView(r.view);
    TuiNavBarPainter* p = bar->GetPainter();
    EXPECT_EQ(p->ButtonPainterClass(), r.button);
    EXPECT_EQ(p->SelectionPainterClass(), r.selection);
    EXPECT_EQ(p->BackgroundPainterClass(), TuiNavBarBackgroundPainter::Class());
    EXPECT_EQ(p->DropTargetGroupPainterClass(), TuiNavBarDropTargetGroupPainter::Class());
    EXPECT_EQ(p->DropTargetLinkPainterClass(), TuiNavBarDropTargetLinkPainter::Class());
    EXPECT_EQ(p->GroupBackgroundPainterClass(), TuiNavBarGroupBackgroundPainter::Class());
    EXPECT_EQ(p->GroupBorderPainterClass(), TuiBaseGroupBorderPainter::Class());
    EXPECT_EQ(p->ImagePainterClass(), TuiNavBarImagePainter::Class());
    EXPECT_EQ(p->ScrollButtonsPainterClass(), TuiNavBarScrollButtonsPainter::Class());
    EXPECT_EQ(p->SignPainterClass(), TuiBaseSignPainter::Class());
  }
}

// Each view's fixed metrics and switches, as the layout reads them.
TEST_F(ClassicViews, EachViewHasItsMetricsAndSwitches) {
  struct Row {
    int view;
    int captionAddon, spacing, linksMargin, largePadding;
    bool captionScrollButtons, largeLinkImages, wholeRectHits;
  };
  const Row table[] = {{0, 6, 0, 8, 6, false, true, false}, {1, 6, 0, 8, 6, false, true, false},
                       {2, 8, 1, 8, 6, false, true, false}, {3, 8, 1, 8, 6, false, true, false},
                       {4, 8, 1, 8, 16, false, true, true}, {5, 4, 1, 2, 6, true, false, true}};
  begin(0);
  for (const Row& r : table) {
    SCOPED_TRACE(r.view);
    bar->SetView(r.view);
    TuiNavBarViewInfo* v = bar->GetPainter()->ViewInfo();
    EXPECT_EQ(v->GroupCaptionHeightAddon(), r.captionAddon);
    EXPECT_EQ(v->DefaultGroupsSpacing(), r.spacing);
    EXPECT_EQ(v->LinksAreaMargin(), r.linksMargin);
    EXPECT_EQ(v->LargeLinkPadding(), r.largePadding);
    EXPECT_EQ(v->HasCaptionScrollButtons(), r.captionScrollButtons);
    EXPECT_EQ(v->AllowLargeLinkImages(), r.largeLinkImages);
    EXPECT_EQ(v->LinkHitByWholeRect(), r.wholeRectHits);
  }
}

// --- geometry ------------------------------------------------------------------------

// Captions are 6 + 13 pixels high; the first group's four links end at 119
// and its items area would end 8 below: the active group takes what is left
// of the 500 pixels, and the captions after it sit at the bottom.
TEST_F(ClassicViews, TheActiveGroupFillsTheBarBetweenTheCaptionsAboveAndBelowIt) {
  begin(0);
  struct Row {
    const char* what;
    TRect got;
    const char* expected;
  };
  {
    const Row table[] = {{"caption 1", groupInfo(0)->HeaderBounds, "0,0,177,19"},
                         {"items 1", groupInfo(0)->ClientBounds, "0,19,177,462"},
                         {"link 4", groupInfo(0)->LinkInfos(3)->Bounds, "0,96,176,119"},
                         {"caption 2", groupInfo(1)->HeaderBounds, "0,462,177,481"},
                         {"caption 3", groupInfo(2)->HeaderBounds, "0,481,177,500"}};
    for (const Row& r : table) EXPECT_EQ(str(r.got), r.expected) << r.what;
  }
  EXPECT_EQ(groupInfo(1)->LinkCount(), 0) << "only the active group lists its links";
  EXPECT_FALSE(info()->IsTopScrollButtonVisible());
  EXPECT_FALSE(info()->IsBottomScrollButtonVisible());
  // The last group active: every caption above it.
  bar->SetActiveGroup(groups[2]);
  settle();
  {
    const Row table[] = {{"caption 2", groupInfo(1)->HeaderBounds, "0,19,177,38"},
                         {"caption 3", groupInfo(2)->HeaderBounds, "0,38,177,57"},
                         {"items 3", groupInfo(2)->ClientBounds, "0,57,177,500"}};
    for (const Row& r : table) EXPECT_EQ(str(r.got), r.expected) << r.what;
  }
  // One visible group fills the whole bar.
  groups[0]->SetVisible(false);
  groups[1]->SetVisible(false);
  settle();
  ASSERT_EQ(info()->GroupCount(), 1);
  EXPECT_EQ(str(groupInfo(2)->Bounds), "0,0,177,500");
}

// The items area keeps at least 2 x 16 + 3 x 6 = 50 pixels for its two
// scroll buttons: at 107 pixels the three captions and 50 fit exactly;
// lower, the last captions go past the bottom.
TEST_F(ClassicViews, AShortBarKeepsTheActiveGroupsMinimumAndPushesTheLastCaptionsOut) {
  begin(0);
  struct Row {
    int height;
    int itemsBottom, lastBottom;
  };
  const Row table[] = {{108, 70, 108}, {107, 69, 107}, {106, 69, 107}, {60, 69, 107}};
  for (const Row& r : table) {
    SCOPED_TRACE(r.height);
    bar->SetHeight(r.height);
    settle();
    EXPECT_EQ(groupInfo(0)->ClientBounds.bottom, r.itemsBottom);
    EXPECT_EQ(groupInfo(2)->Bounds.bottom, r.lastBottom);
  }
}

// The minimum is the larger of the scroll buttons' 50 pixels and the top
// visible link's height plus the 8-pixel margin; 0 without an active
// group's view information.
TEST_F(ClassicViews, TheActiveGroupsMinimumHeightMakesRoomForItsTopVisibleLink) {
  begin(0);
  auto* base = static_cast<TuiNavBarBaseViewInfo*>(info());
  EXPECT_EQ(base->GetActiveGroupMinHeight(), 50) << "8 + 23 is less";
  // Large images: 3 + 32 + 4 + 13 + 3 = 55 high, with the margin 63.
  groups[0]->SetLinksUseSmallImages(false);
  settle();
  ASSERT_EQ(lkGetRectHeight(groupInfo(0)->LinkInfos(0)->Bounds), 55);
  EXPECT_EQ(base->GetActiveGroupMinHeight(), 63);
  bar->SetHeight(80);
  settle();
  EXPECT_EQ(lkGetRectHeight(groupInfo(0)->ClientBounds), 63);
  // Without captions only the active group is listed; hidden, nothing is.
  bar->SetShowGroupCaptions(false);
  groups[0]->SetVisible(false);
  groups[1]->SetVisible(false);
  groups[2]->SetVisible(false);
  settle();
  ASSERT_EQ(info()->GroupCount(), 0);
  EXPECT_EQ(base->GetActiveGroupMinHeight(), 0);
}

// At 107 pixels the items area is 19 to 69: two links show, the bottom
// button sits 6 pixels inside its bottom right corner; a click on it
// scrolls one link, and the top button comes.
TEST_F(ClassicViews, ScrollButtonsAppearWhenTheLinksDoNotFitAndAClickScrolls) {
  begin(0);
  bar->SetHeight(107);
  settle();
  EXPECT_FALSE(info()->IsTopScrollButtonVisible()) << "the first link is the top one";
  ASSERT_EQ(str(info()->DownButtonBounds()), "155,47,171,63");
  click(160, 55);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 1);
  settle();
  EXPECT_EQ(str(groupInfo(0)->LinkInfos(1)->Bounds), "0,27,176,50") << "link 2 starts the list";
  EXPECT_EQ(str(info()->UpButtonBounds()), "155,25,171,41");
  click(160, 55);
  click(160, 55);
  settle();
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 3);
  EXPECT_FALSE(info()->IsBottomScrollButtonVisible()) << "the last link is the top one";
  click(160, 30);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 2);
  // With room for every link, no button.
  groups[0]->SetTopVisibleLinkIndex(0);
  bar->SetHeight(500);
  settle();
  EXPECT_FALSE(info()->IsTopScrollButtonVisible());
  EXPECT_FALSE(info()->IsBottomScrollButtonVisible());
}

// --- activation ----------------------------------------------------------------------

TEST_F(ClassicViews, ACaptionClickActivatesItsGroupAndNeverCollapsesIt) {
  begin(0);
  TPoint p = captionPoint(2);
  click(p.x, p.y);
  EXPECT_EQ(bar->ActiveGroupIndex(), 2);
  settle();
  EXPECT_EQ(groupInfo(2)->LinkCount(), 2);
  EXPECT_EQ(groupInfo(0)->LinkCount(), 0);
  p = captionPoint(2);
  click(p.x, p.y);
  EXPECT_EQ(bar->ActiveGroupIndex(), 2) << "the active group's caption keeps it active";
  settle();
  EXPECT_EQ(groupInfo(2)->LinkCount(), 2);
  // A veto keeps the active group.
  bar->OnActiveGroupChanging = [](TObject*, TuiNavBarGroup*, bool& AAllow) { AAllow = false; };
  p = captionPoint(0);
  click(p.x, p.y);
  EXPECT_EQ(bar->ActiveGroupIndex(), 2);
}

TEST_F(ClassicViews, MakingALinkVisibleActivatesItsGroupAndScrollsToItUnlessVetoed) {
  begin(0);
  TuiNavBarItemLink* help = groups[2]->Links(1);
  bool vetoed = true;
  bar->OnActiveGroupChanging = [&](TObject*, TuiNavBarGroup*, bool& AAllow) { AAllow = !vetoed; };
  info()->MakeLinkVisible(help);
  EXPECT_EQ(bar->ActiveGroupIndex(), 0);
  EXPECT_EQ(groups[2]->TopVisibleLinkIndex(), 0) << "no link object to scroll to";
  vetoed = false;
  info()->MakeLinkVisible(help);
  EXPECT_EQ(bar->ActiveGroupIndex(), 2);
  EXPECT_EQ(groups[2]->TopVisibleLinkIndex(), 1);
  settle();
  EXPECT_EQ(groupInfo(2)->LinkInfos(1)->Bounds.top, groupInfo(2)->ClientBounds.top + 8);
  // A group made visible becomes active.
  info()->MakeGroupVisible(groups[1]);
  EXPECT_EQ(bar->ActiveGroupIndex(), 1);
}

// A hidden item's link before the one made visible has no link object but
// still counts in the group's links: the link ends up at the top all the
// same.
TEST_F(ClassicViews, ALinkMadeVisibleBehindAHiddenItemComesToTheTop) {
  begin(0);
  items[1]->SetVisible(false);
  settle();
  TuiNavBarItemLink* position = groups[0]->Links(3);
  info()->MakeLinkVisible(position);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 3);
  settle();
  TuiNavBarLinkViewInfo* shown = info()->FindLinkViewInfo(position);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->Bounds.top, groupInfo(0)->ClientBounds.top + 8);
}

// --- the Office and tool-box views ----------------------------------------------------

// The Office views: captions 8 + 13 high, a pixel above and between the
// groups. The tool-box view: captions 4 + 13 high, links 2 below them, and
// the active caption and the one after it shortened by 17 + 2 for the
// scroll buttons beside them.
TEST_F(ClassicViews, TheOfficeAndToolBoxViewsLayOutTheirCaptionsAndLinks) {
  struct Row {
    int view;
    const char* caption1;
    const char* items1;
    const char* link1;
    const char* caption2;
    const char* caption3;
  };
  const Row table[] = {
      {2, "0,1,177,22", "0,22,177,456", "0,30,176,53", "0,457,177,478", "0,479,177,500"},
      {4, "0,1,177,22", "0,22,177,456", "0,30,176,53", "0,457,177,478", "0,479,177,500"},
      {5, "0,1,158,18", "0,18,177,464", "0,20,176,43", "0,465,158,482", "0,483,177,500"},
  };
  begin(0);
  for (const Row& r : table) {
    SCOPED_TRACE(r.view);
    bar->SetView(r.view);
    settle();
    EXPECT_EQ(str(groupInfo(0)->HeaderBounds), r.caption1);
    EXPECT_EQ(str(groupInfo(0)->ClientBounds), r.items1);
    EXPECT_EQ(str(groupInfo(0)->LinkInfos(0)->Bounds), r.link1);
    EXPECT_EQ(str(groupInfo(1)->HeaderBounds), r.caption2);
    EXPECT_EQ(str(groupInfo(2)->HeaderBounds), r.caption3);
  }
}

// Views 4 and 5 select and hit a link over its whole rectangle (1 pixel in
// for the selection); the others over its image (2 pixels out) and caption.
TEST_F(ClassicViews, Views4And5SelectAndHitALinkByItsWholeRectangle) {
  begin(0);
  for (int view = 0; view <= 5; ++view) {
    SCOPED_TRACE(view);
    bar->SetView(view);
    settle();
    TuiNavBarLinkViewInfo* link = groupInfo(0)->LinkInfos(1);
    const bool whole = view >= 4;
    const TRect expected = whole ? lkGrowRect(link->Bounds, -1, -1, -1, -1) : lkGrowRect(link->ImageBounds, 2, 2, 2, 2);
    EXPECT_EQ(str(link->GetSelectionRect()), str(expected));
    // Right of the caption, inside the link: its last pixel and the first
    // outside.
    const int y = (link->Bounds.top + link->Bounds.bottom) / 2;
    EXPECT_EQ(bar->GetLinkAtSelectedPos(TPoint{link->Bounds.right - 1, y}), whole ? groups[0]->Links(1) : nullptr);
    EXPECT_EQ(bar->GetLinkAtSelectedPos(TPoint{link->Bounds.right, y}), nullptr);
  }
}

// At 140 pixels the tool-box view's first group ends at 104, above its
// last link: the bottom button is the square right of the caption below.
TEST_F(ClassicViews, TheToolBoxScrollButtonsSitBesideTheCaptions) {
  begin(5);
  bar->SetHeight(140);
  settle();
  ASSERT_EQ(str(groupInfo(1)->HeaderBounds), "0,105,158,122");
  EXPECT_FALSE(info()->IsTopScrollButtonVisible());
  ASSERT_EQ(str(info()->DownButtonBounds()), "160,105,177,122");
  click(168, 113);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 1);
  settle();
  EXPECT_EQ(str(info()->UpButtonBounds()), "160,1,177,18");
  EXPECT_EQ(str(groupInfo(0)->LinkInfos(1)->Bounds), "0,20,176,43");
  click(168, 9);
  EXPECT_EQ(groups[0]->TopVisibleLinkIndex(), 0);
  // The last group active: its bottom button sits beside the bottom of its
  // items area, and only its own caption is shortened.
  bar->SetHeight(500);
  bar->SetActiveGroup(groups[2]);
  settle();
  EXPECT_EQ(str(groupInfo(1)->HeaderBounds), "0,19,177,36");
  EXPECT_EQ(str(groupInfo(2)->HeaderBounds), "0,37,158,54");
  EXPECT_EQ(str(groupInfo(2)->ClientBounds), "0,54,177,500");
  EXPECT_EQ(str(info()->CalculateBottomScrollButtonRect()), "160,483,177,500");
}

// A group made active before the bar is laid out again has no view
// information yet: its scroll buttons are empty and disabled rather than
// read from nothing.
TEST_F(ClassicViews, TheToolBoxScrollButtonsOfAnActiveGroupNotYetLaidOutAreEmpty) {
  begin(5);
  TuiNavBarGroup* added = bar->Groups()->Add();
  added->AddLink(items[0]);
  bar->SetActiveGroup(added);
  ASSERT_EQ(info()->ActiveGroupViewInfo(), nullptr);
  EXPECT_EQ(str(info()->CalculateTopScrollButtonRect()), "0,0,0,0");
  EXPECT_EQ(str(info()->CalculateBottomScrollButtonRect()), "0,0,0,0");
  EXPECT_TRUE(info()->TopScrollButtonState().Contains(nbsDisabled));
  EXPECT_TRUE(info()->BottomScrollButtonState().Contains(nbsDisabled));
  settle();
  ASSERT_NE(info()->ActiveGroupViewInfo(), nullptr);
  EXPECT_EQ(str(info()->CalculateTopScrollButtonRect()), "160,55,177,72");
}

// The tool-box view's link hint: the caption when the item has no hint,
// over the link's selection rectangle, widened to the whole text when the
// caption is cut short; the window shows the link drawn whole.
TEST_F(ClassicViews, TheToolBoxHintIsTheLinkDrawnWhole) {
  begin(5);
  bar->SetShowLinksHint(true);
  items[1]->SetCaption("Optional settings of the start menu");
  items[2]->SetHint("Window|the window's settings");
  settle();
  SetForegroundWindow(form->Handle());
  struct Row {
    int link;
    const char* hint;
    bool widened;
  };
  const Row table[] = {{0, "Project", false}, {1, "Optional settings of the start menu", true}, {2, "Window", false}};
  for (const Row& r : table) {
    SCOPED_TRACE(r.link);
    TuiNavBarLinkViewInfo* link = groupInfo(0)->LinkInfos(r.link);
    const TRect selection = link->GetSelectionRect();
    mouse(WM_MOUSEMOVE, 150, (link->Bounds.top + link->Bounds.bottom) / 2);
    qv::os::runFor(1000);
    ASSERT_TRUE(bar->HintShown());
    EXPECT_EQ(bar->HintWindow()->Caption(), r.hint);
    RECT shown{};
    GetWindowRect(bar->HintWindow()->Handle(), &shown);
    const TPoint origin = bar->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(shown.left, origin.x + selection.left);
    EXPECT_EQ(shown.top, origin.y + selection.top);
    EXPECT_EQ(shown.bottom, origin.y + selection.bottom);
    if (!r.widened) {
      EXPECT_EQ(shown.right, origin.x + selection.right);
      continue;
    }
    EXPECT_GT(shown.right, origin.x + selection.right);
    // Black text right of where the bar cuts the caption, inside the frame:
    // drawn whole.
    qv::os::gdi::Image hint;
    ASSERT_TRUE(qv::os::windowImage(bar->HintWindow()->Handle(), hint));
    ASSERT_EQ(ColorToRGB(clBtnText), 0u);
    bool beyond = false;
    for (int y = 2; y < hint.height - 2 && !beyond; ++y)
      for (int x = selection.right - selection.left; x < hint.width - 2 && !beyond; ++x)
        beyond = (hint.at(x, y) & 0xFFFFFF) == 0;
    EXPECT_TRUE(beyond);
    mouse(WM_MOUSEMOVE, 150, 300);
  }
}

// --- default styles ------------------------------------------------------------------

// Font colours of styles whose back colours the views leave at the reset's
// white: kAny.
constexpr TColor kAny = navbartest::kAnyColour;
struct StyleRow {
  int view, style;
  TColor back, back2, font;
  TuiBarStyleHAlignment align;
};
const StyleRow kStyles[] = {
    {0, 0, clAppWorkSpace, clAppWorkSpace, kAny, haLeft},
    {0, 4, clAppWorkSpace, clAppWorkSpace, kAny, haLeft},
    {0, 6, clBtnFace, clBtnFace, clBtnText, haCenter},
    {0, 7, clBtnFace, clBtnFace, clBtnText, haCenter},
    {0, 13, kAny, kAny, clBtnHighlight, haCenter},
    {0, 14, kAny, kAny, clBtnText, haCenter},
    {1, 0, clAppWorkSpace, clAppWorkSpace, kAny, haLeft},
    {1, 13, kAny, kAny, clBtnHighlight, haCenter},
    {2, 0, clBtnFace, clBtnFace, kAny, haLeft},
    {2, 4, clBtnFace, clBtnFace, kAny, haLeft},
    {2, 6, clBtnFace, clBtnFace, clBtnText, haCenter},
    {2, 7, clBtnFace, clBtnFace, clBtnText, haCenter},
    {2, 13, kAny, kAny, clBtnText, haCenter},
    {2, 14, kAny, kAny, clBtnShadow, haCenter},
    {3, 6, clBtnFace, clBtnFace, clBtnText, haCenter},
    {3, 14, kAny, kAny, clBtnShadow, haCenter},
    {4, 0, clBtnFace, clBtnFace, kAny, haLeft},
    {4, 14, kAny, kAny, clBtnShadow, haCenter},
    {5, 0, clBtnFace, clBtnFace, kAny, haLeft},
    {5, 4, clBtnFace, clBtnFace, kAny, haLeft},
    {5, 6, clBtnFace, clBtnFace, clBtnText, haLeft},
    {5, 7, clBtnFace, clBtnFace, clBtnText, haLeft},
    {5, 13, kAny, kAny, clBtnText, haCenter},
    {5, 14, kAny, kAny, clBtnShadow, haCenter},
};

TEST_F(ClassicViews, TheViewsAssignTheirDefaultStyles) {
  begin(0);
  int shown = 0;
  for (const StyleRow& r : kStyles) {
    if (r.view != shown) bar->SetView(shown = r.view);
    SCOPED_TRACE(std::to_string(r.view) + "/" + std::to_string(r.style));
    TuiNavBarDefaultStyle* s = bar->DefaultStyles()->Styles(r.style);
    navbartest::expectStyleColours(s, r.back, r.back2, r.font);
    EXPECT_EQ(s->HAlignment(), r.align);
  }
}

// --- golden pictures -----------------------------------------------------------------

class ClassicViewsGolden : public ClassicViews,
                           public ::testing::WithParamInterface<std::tuple<int, ModuleProfile>> {};

TEST_P(ClassicViewsGolden, TheBarLooksAsApproved) {
  const auto [view, styles] = GetParam();
  begin(view, styles);
  expectViewGolden("classic", view, styles);
}

INSTANTIATE_TEST_SUITE_P(Views, ClassicViewsGolden,
                         ::testing::Combine(::testing::Values(0, 1, 2, 3, 4, 5),
                                            ::testing::Values(ModuleProfile::Absent, ModuleProfile::Themed)),
                         navbartest::goldenCaseName);

}  // namespace
