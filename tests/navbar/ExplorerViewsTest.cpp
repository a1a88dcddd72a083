// The explorer-bar views 8, 9 and 10 on the headless desktop: their
// registration, geometry, scroll bar, expanding and collapsing, view 10's
// colours and default styles, and golden pictures of each view with visual
// styles absent and present.
#include "navbar/uiNavBarExplorerViews.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "NavBarViewsFixture.h"
#include "navbar/uiNavBarViewsFact.h"
#include "platform/os/user/Metrics.h"

namespace {

using navbartest::str;
using qv::desktop::ModuleProfile;

class ExplorerViews : public navbartest::ViewsFixture {
 protected:
  void start(int view, ModuleProfile styles = ModuleProfile::Absent) {
    ViewsFixture::start(view, styles, uiNavBarExplorerViewsUnit);
  }
  static int fontHeight(TFont* AFont) { return GetFontItemHeight(AFont); }
};

// --- registration ---------------------------------------------------------------

TEST_F(ExplorerViews, TheUnitRegistersViews8To10AndRemovesThemAtItsEnd) {
  start(nbExplorerBarView);
  struct Row {
    int id;
    const char* name;
    TuiNavBarPainterClass painter;
  };
  const Row table[] = {{8, "ExplorerBarView", TuiNavBarExplorerBarPainter::PainterClass()},
                       {9, "UltraFlatExplorerBarView", TuiNavBarUltraFlatExplorerBarPainter::PainterClass()},
                       {10, "AdvExplorerBarView", TuiNavBarAdvExplorerBarPainter::PainterClass()}};
  TuiNavBarViewsFactory* views = uiNavBarViewsFactory();
  for (const Row& r : table) {
    const int at = views->IndexOfID(r.id);
    ASSERT_GE(at, 0) << r.id;
    EXPECT_EQ(views->Items(at)->Name, r.name);
    EXPECT_EQ(views->GetPainterClass(r.id), r.painter);
  }
  // Each view's painter makes its own view information, and view 10 its
  // own group and link view information.
  for (int id : {8, 9, 10}) {
    bar->SetView(id);
    settle();
    EXPECT_EQ(dynamic_cast<TuiNavBarAdvExplorerBarViewInfo*>(info()) != nullptr, id == 10) << id;
    EXPECT_NE(dynamic_cast<TuiNavBarExplorerBarViewInfo*>(info()), nullptr) << id;
    EXPECT_EQ(dynamic_cast<TuiNavBarAdvExplorerBarGroupViewInfo*>(groupInfo(0)) != nullptr, id == 10) << id;
    EXPECT_EQ(dynamic_cast<TuiNavBarAdvExplorerBarLinkViewInfo*>(groupInfo(0)->LinkInfos(0)) != nullptr, id == 10)
        << id;
  }
}

// --- geometry ----------------------------------------------------------------------

// Groups start 4 pixels down and 4 apart, 10 pixels in from each side; a
// caption is 12 pixels higher than its bold font; the sign is a square of 18
// (22 in view 10) with m = (caption - sign) / 2 above (+1) and right of it.
TEST_F(ExplorerViews, GroupsStackWithTheirCaptionsSignsAndOnlyExpandedLinks) {
  start(8);
  for (int view : {8, 10}) {
    SCOPED_TRACE(view);
    makeBar(view);
    const int caption = 12 + fontHeight(groupInfo(0)->GetCaptionFont());
    const int sign = view == 10 ? 22 : 18, m = (caption - sign) / 2;
    TuiNavBarGroupViewInfo* g1 = groupInfo(0);
    TuiNavBarGroupViewInfo* g2 = groupInfo(1);
    TuiNavBarGroupViewInfo* g3 = groupInfo(2);
    ASSERT_NE(g3, nullptr);
    EXPECT_EQ(str(g1->HeaderBounds), str(TRect{10, 4, 167, 4 + caption}));
    EXPECT_EQ(str(g1->HeaderSignBounds), str(TRect{167 - m - sign, 4 + m + 1, 167 - m, 4 + m + 1 + sign}));
    EXPECT_EQ(g1->HeaderTextBounds.right, 167 - m - sign - m);
    EXPECT_EQ(g1->LinkCount(), 4);
    EXPECT_EQ(g2->LinkCount(), 0) << "a collapsed group lists no links";
    EXPECT_EQ(g2->Bounds.top, g1->Bounds.bottom + 4);
    EXPECT_EQ(g2->Bounds.bottom, g2->HeaderBounds.bottom) << "nothing below a collapsed caption";
    EXPECT_EQ(g3->Bounds.top, g2->Bounds.bottom + 4);
    EXPECT_EQ(g3->LinkCount(), 2);
    EXPECT_FALSE(bar->ScrollBar()->Visible());
  }
}

TEST_F(ExplorerViews, WithoutGroupCaptionsEveryGroupStaysListed) {
  start(nbExplorerBarView);
  bar->SetShowGroupCaptions(false);
  settle();
  ASSERT_EQ(info()->GroupCount(), 3);
  EXPECT_EQ(groupInfo(0)->HeaderBounds.top, groupInfo(0)->HeaderBounds.bottom);
  EXPECT_EQ(groupInfo(2)->LinkCount(), 2);
}

// --- the scroll bar ------------------------------------------------------------------

TEST_F(ExplorerViews, TheScrollBarShowsExactlyWhenTheGroupsDoNotFit) {
  start(nbExplorerBarView);
  groups[1]->SetExpanded(true);
  settle();
  const int needed = groupInfo(2)->Bounds.bottom + 4;
  ASSERT_LT(needed, 500);
  // Fits exactly: hidden; one pixel less: shown.
  bar->SetBounds(0, 0, 177, needed);
  settle();
  EXPECT_FALSE(bar->ScrollBar()->Visible());
  bar->SetBounds(0, 0, 177, needed - 1);
  settle();
  ASSERT_TRUE(bar->ScrollBar()->Visible());
  // Shown, it takes its width from the client area and the layout ran
  // again at that width.
  const int narrow = 177 - GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(bar->ClientWidth(), narrow);
  EXPECT_EQ(groupInfo(0)->HeaderBounds.right, narrow - 10);
  const int height = groupInfo(2)->Bounds.bottom + 4, client = needed - 1;
  const int page = static_cast<int>(std::lround(static_cast<double>(client) * client / height));
  EXPECT_EQ(bar->ScrollBar()->Page(), page);
  EXPECT_EQ(bar->ScrollBar()->Max(), height - client + page);
  EXPECT_EQ(bar->ScrollBar()->SmallChange, 18);
  // The position moves every group up by as much.
  const int top = groupInfo(0)->Bounds.top;
  bar->ScrollBar()->SetPosition(1);
  bar->InvalidateAll(doRecalc);
  settle();
  EXPECT_EQ(groupInfo(0)->Bounds.top, top - 1);
  // No groups at all: hidden.
  while (bar->Groups()->Count() > 0) delete bar->Groups()->Items(0);
  settle();
  EXPECT_FALSE(bar->ScrollBar()->Visible());
}

// --- expanding and collapsing -----------------------------------------------------------

TEST_F(ExplorerViews, ACaptionClickTogglesOnlyAnExpandableGroup) {
  start(nbExplorerBarView);
  TPoint p = captionPoint(0);
  click(p.x, p.y);
  EXPECT_FALSE(groups[0]->Expanded());
  p = captionPoint(0);
  click(p.x, p.y);
  EXPECT_TRUE(groups[0]->Expanded());
  groups[1]->SetExpandable(false);
  p = captionPoint(1);
  click(p.x, p.y);
  EXPECT_FALSE(groups[1]->Expanded()) << "a group that may not expand ignores the click";
  // Making one of its links visible expands it all the same.
  info()->MakeLinkVisible(groups[1]->Links(1));
  EXPECT_TRUE(groups[1]->Expanded());
  settle();
  EXPECT_EQ(groupInfo(1)->LinkCount(), 3);
}

TEST_F(ExplorerViews, MakingALinkVisibleScrollsItToTwoPixelsBelowTheTop) {
  start(nbExplorerBarView);
  bar->SetBounds(0, 0, 177, 150);
  settle();
  ASSERT_TRUE(bar->ScrollBar()->Visible());
  TuiNavBarItemLink* last = groups[2]->Links(1);
  info()->MakeLinkVisible(last);
  settle();
  const TuiNavBarLinkViewInfo* shown = info()->FindLinkViewInfo(last);
  ASSERT_NE(shown, nullptr);
  // Either at 2 pixels below the top or, at the end of the range, as far as
  // the scroll bar goes.
  TuiNavBarScrollBar* sb = bar->ScrollBar();
  if (sb->Position() < sb->Max() - sb->Page())
    EXPECT_EQ(shown->Bounds.top, 2);
  else
    EXPECT_LE(shown->Bounds.bottom, bar->ClientHeight());
  EXPECT_GT(sb->Position(), 0);
}

// --- view 10's colours and the default styles -----------------------------------------------

TEST_F(ExplorerViews, View10TakesTheSharedColoursWhereAPairOrAFontColourIsUnset) {
  start(nbAdvExplorerBarView);
  const TuiExplorerBarColors& c = ExplorerBarColors();
  TuiNavBarGroupViewInfo* g = groupInfo(0);
  EXPECT_EQ(info()->BackgroundBackColor(), c.BackgroundColor1);
  EXPECT_EQ(info()->BackgroundBackColor2(), c.BackgroundColor2);
  EXPECT_EQ(info()->BackgroundGradientMode(), gmVertical);
  EXPECT_EQ(info()->BackgroundAlphaBlending(), 255);
  EXPECT_EQ(g->GetBackgroundBackColor(), c.GroupBackgroundColor);
  EXPECT_EQ(g->GetBackgroundBackColor2(), c.GroupBackgroundColor);
  EXPECT_EQ(g->GetBackgroundGradientMode(), gmHorizontal);
  EXPECT_EQ(g->GetCaptionBackColor(), c.CaptionColor1);
  EXPECT_EQ(g->GetCaptionBackColor2(), c.CaptionColor2);
  EXPECT_EQ(g->GetCaptionFontColor(), c.CaptionTextColor);
  EXPECT_EQ(g->GetCaptionSignColor(), c.CaptionSignColor);
  EXPECT_EQ(g->LinkInfos(0)->GetFontColor(), c.LinkTextColor);

  // A header style that sets only BackColor still leaves the pair unset.
  TuiNavBarStyleItem* header = bar->Styles()->Add();
  header->Style()->SetBackColor(clRed);
  groups[0]->SetGroupStyle(2, header);
  settle();
  EXPECT_EQ(groupInfo(0)->GetCaptionBackColor(), c.CaptionColor1);
  header->Style()->SetBackColor2(clBlue);
  settle();
  EXPECT_EQ(groupInfo(0)->GetCaptionBackColor(), clRed);
  EXPECT_EQ(groupInfo(0)->GetCaptionBackColor2(), clBlue);
  EXPECT_EQ(groupInfo(0)->GetBorderColor(), clBlue) << "a set caption pair gives the base border";

  // A disabled link whose font colour is unset: the link colour at 40 %.
  items[1]->SetEnabled(false);
  settle();
  EXPECT_EQ(groupInfo(0)->LinkInfos(1)->GetFontColor(), GetLightColor40(c.LinkTextColor));
}

TEST_F(ExplorerViews, View10BordersWhiteExceptOnAWhiteClientArea) {
  start(nbAdvExplorerBarView);
  EXPECT_EQ(groupInfo(0)->GetBorderColor(), static_cast<TColor>(0xFFFFFF));
  TuiNavBarStyleItem* background = bar->Styles()->Add();
  // A new style is white already: set it away and back so that it counts.
  for (TColor c : {clRed, clWhite}) {
    background->Style()->SetBackColor(c);
    background->Style()->SetBackColor2(c);
  }
  groups[0]->SetGroupStyle(0, background);
  settle();
  EXPECT_EQ(groupInfo(0)->GetBorderColor(), GetLightColor40(clHighlight));
}

TEST_F(ExplorerViews, TheViewsAssignTheirDefaultStyles) {
  // Item styles keep the reset's back colours, which these views leave
  // alone: kAny.
  constexpr TColor kAny = navbartest::kAnyColour;
  struct Row {
    int view;
    int style;
    TColor back, back2, font;
    bool bold, underline;
  };
  const Row table[] = {
      {8, 0, clWindow, clWindow, kAny, false, false},
      {8, 4, clWindow, clWindow, kAny, false, false},
      {8, 6, clBtnFace, clBtnFace, clBtnText, true, false},
      {8, 7, clActiveCaption, clActiveCaption, clCaptionText, true, false},
      {8, 13, kAny, kAny, clWindowText, false, false},
      {8, 14, kAny, kAny, clGrayText, false, false},
      {8, 15, kAny, kAny, clWindowText, false, true},
      {10, 0, clNone, clNone, kAny, false, false},
      {10, 4, clNone, clNone, kAny, false, false},
      {10, 6, clNone, clNone, clNone, true, false},
      {10, 7, clNone, clNone, clNone, true, false},
      {10, 13, kAny, kAny, clNone, false, false},
      {10, 14, kAny, kAny, clNone, false, false},
      {10, 15, kAny, kAny, clNone, false, true},
  };
  start(8);
  int shown = 8;
  for (const Row& r : table) {
    if (r.view != shown) makeBar(shown = r.view);
    SCOPED_TRACE(std::to_string(r.view) + "/" + std::to_string(r.style));
    TuiNavBarDefaultStyle* s = bar->DefaultStyles()->Styles(r.style);
    navbartest::expectStyleColours(s, r.back, r.back2, r.font);
    EXPECT_EQ(s->Font()->Style().Contains(fsBold), r.bold);
    EXPECT_EQ(s->Font()->Style().Contains(fsUnderline), r.underline);
  }
  EXPECT_EQ(bar->DefaultStyles()->Styles(13)->HAlignment(), haCenter);
}

TEST(ExplorerViewsStateColor, HotPressedAndSelectedTakeTheHotColourDisabledTheLightenedOne) {
  const TColor normal = static_cast<TColor>(RGB(100, 0, 200)), hot = static_cast<TColor>(RGB(1, 2, 3));
  struct Row {
    TuiNavBarDrawStates state;
    TColor expected;
  };
  const Row table[] = {{{}, normal},
                       {{nbsHotTracked}, hot},
                       {{nbsPressed}, hot},
                       {{nbsSelected}, hot},
                       {{nbsExpanded, nbsSpecial}, normal},
                       {{nbsDisabled, nbsHotTracked}, GetLightColor40(normal)}};
  for (const Row& r : table) EXPECT_EQ(SelectStateColor(normal, hot, r.state), r.expected);
}

// --- golden pictures -------------------------------------------------------------------

class ExplorerViewsGolden : public ExplorerViews,
                            public ::testing::WithParamInterface<std::tuple<int, ModuleProfile>> {};

TEST_P(ExplorerViewsGolden, TheBarLooksAsApproved) {
  const auto [view, styles] = GetParam();
  start(view, styles);
  expectViewGolden("explorer", view, styles);
}

INSTANTIATE_TEST_SUITE_P(Views, ExplorerViewsGolden,
                         ::testing::Combine(::testing::Values(8, 9, 10),
                                            ::testing::Values(ModuleProfile::Absent, ModuleProfile::Themed)),
                         navbartest::goldenCaseName);

}  // namespace
