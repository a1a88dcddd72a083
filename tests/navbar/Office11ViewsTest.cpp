// The Office 11 views on the headless desktop: view 12, the task pane, with
// its colours, default styles and shared resources; view 13, the
// navigation pane, with its layout, overflow panel, splitter dragged with
// the mouse, customization menu and painting; golden pictures of both with
// visual styles absent and present.
#include "navbar/uiNavBarOffice11Views.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "NavBarViewsFixture.h"
#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"

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
  EXPECT_NE(dynamic_cast<TuiNavBarOffice11ViewInfo*>(info()), nullptr);
  EXPECT_NE(dynamic_cast<TuiNavBarOffice11GroupViewInfo*>(groupInfo(0)), nullptr);
  EXPECT_NE(dynamic_cast<TuiNavBarOffice11LinkViewInfo*>(groupInfo(0)->LinkInfos(0)), nullptr);
  form.reset();
  qv::classlib::FinalizeUnits();
  EXPECT_EQ(views->IndexOfID(12), -1);
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
  constexpr TColor kAny = static_cast<TColor>(-1);
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
    if (r.back != kAny) {
      EXPECT_EQ(s->BackColor(), r.back);
      EXPECT_EQ(s->BackColor2(), r.back2);
    }
    if (r.font != kAny) {
      EXPECT_EQ(s->Font()->Color(), r.font);
    }
    if (r.size) {
      EXPECT_EQ(s->Font()->Size(), r.size);
    }
    EXPECT_EQ(s->Font()->Style().Contains(fsBold), r.bold);
    EXPECT_EQ(s->Font()->Style().Contains(fsUnderline), r.underline);
  }
  EXPECT_EQ(bar->DefaultStyles()->Styles(13)->HAlignment(), haCenter);
}

// --- golden pictures ----------------------------------------------------------------

// The bar as it shows on the screen in each view, without and with visual
// styles, with a hot link and a pressed caption as in every view's picture.
class Office11ViewsGolden : public Office11Views,
                            public ::testing::WithParamInterface<std::tuple<int, ModuleProfile>> {};

TEST_P(Office11ViewsGolden, TheBarLooksAsApproved) {
  const auto [view, styles] = GetParam();
  start(view, styles);
  const TRect& l = info()->ActiveGroupViewInfo()->LinkInfos(1)->TextBounds;
  mouse(WM_MOUSEMOVE, l.left + 3, (l.top + l.bottom) / 2);
  const TPoint c = captionPoint(2);
  mouse(WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
  settle();
  ASSERT_EQ(bar->HotTrackedLink(), groups[0]->Links(1));
  ASSERT_EQ(bar->PressedGroup(), groups[2]);
  navbartest::expectGolden(shot(), "office11_view" + std::to_string(view) +
                                       (styles == ModuleProfile::Themed ? "_themed" : "_classic") + ".png");
  mouse(WM_LBUTTONUP, c.x, c.y);
}

INSTANTIATE_TEST_SUITE_P(Views, Office11ViewsGolden,
                         ::testing::Combine(::testing::Values(12),
                                            ::testing::Values(ModuleProfile::Absent, ModuleProfile::Themed)),
                         [](const auto& info) {
                           return "View" + std::to_string(std::get<0>(info.param)) +
                                  (std::get<1>(info.param) == ModuleProfile::Themed ? "Themed" : "Classic");
                         });

}  // namespace
