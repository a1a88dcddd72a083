// The XP views on the headless desktop: their registration and helper
// painters, view 6's caption colours, caption buttons and default styles,
// the style's parts that views 6 and 7 draw, view 11's colours and fonts
// from the explorer bar's visual style and the shell's task-pane style,
// the fallbacks to the base views' look without visual styles, and golden
// pictures of each view with visual styles absent and present.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "NavBarViewsFixture.h"
#include "lookandfeel/uiUxTheme.h"
#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"
#include "navbar/uiNavBarXPViews.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/GdiPlus.h"
#include "platform/modules/UxTheme.h"

namespace {

using qv::desktop::ModuleProfile;
using qv::desktop::profile;

TColor rgb(int r, int g, int b) { return static_cast<TColor>(RGB(r, g, b)); }

// The colours of the shell's task-pane style sheet.
const TColor kSheetLink = rgb(0x21, 0x5D, 0xC6);
const TColor kSheetHover = rgb(0x42, 0x8E, 0xFF);
const TColor kWhite = rgb(255, 255, 255);

// The explorer bar theme's own answer, through a handle of our own.
TColor themeColour(int part, int state, int property) {
  HTHEME theme = uiUxTheme::OpenThemeData(nullptr, u"ExplorerBar");
  EXPECT_NE(theme, nullptr);
  COLORREF c = 0;
  EXPECT_EQ(uiUxTheme::GetThemeColor(theme, part, state, property, &c), S_OK);
  uiUxTheme::CloseThemeData(theme);
  return static_cast<TColor>(c);
}

class XPViews : public navbartest::ViewsFixture {
 protected:
  void TearDown() override {
    navbartest::ViewsFixture::TearDown();
    profile().shellStyle = true;
    profile().gdiplus = true;
    qv::modules::registerGdiPlus();
  }
  void start(int view, ModuleProfile styles = ModuleProfile::Absent) {
    navbartest::ViewsFixture::start(view, styles, uiNavBarXPViewsUnit);
  }
  // A fresh desktop, where the units start again, on another profile.
  void restart(int view, ModuleProfile styles) {
    navbartest::ViewsFixture::TearDown();
    navbartest::ViewsFixture::SetUp();
    start(view, styles);
  }
  void hover(const TPoint& p) {
    mouse(WM_MOUSEMOVE, p.x, p.y);
    settle();
  }
  TPoint linkPoint(int g, int l) {
    const TRect& r = groupInfo(g)->LinkInfos(l)->TextBounds;
    return {r.left + 3, (r.top + r.bottom) / 2};
  }
  // The scene of every view's picture: a hot link in group 1 and, pressed
  // without moving there, the caption of group 3.
  void hotLinkAndPressedCaption() {
    hover(linkPoint(0, 1));
    pressed = captionPoint(2);
    mouse(WM_LBUTTONDOWN, pressed.x, pressed.y, MK_LBUTTON);
    settle();
    ASSERT_EQ(bar->HotTrackedLink(), groups[0]->Links(1));
    ASSERT_EQ(bar->PressedGroup(), groups[2]);
  }
  void releaseCaption() { mouse(WM_LBUTTONUP, pressed.x, pressed.y); }

  TPoint pressed{0, 0};
};

int differingPixels(const qv::os::gdi::Image& a, const qv::os::gdi::Image& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int n = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) n += (a.at(x, y) & 0xFFFFFF) != (b.at(x, y) & 0xFFFFFF);
  return n;
}

// --- registration and helper painters ------------------------------------------------

TEST_F(XPViews, TheUnitRegistersItsViewsWithTheirPaintersAndHelperPainters) {
  start(nbXPExplorerBarView);
  struct Row {
    int id;
    const char* name;
    TuiNavBarPainterClass painter;
    TuiBaseBackgroundPainterClass background;
    TuiBaseButtonPainterClass button;
    TuiBaseGroupBackgroundPainterClass groupBackground;
    TuiBaseScrollButtonsPainterClass scrollButtons;
    TuiBaseSelectionPainterClass selection;
    TuiBaseSignPainterClass sign;
  };
  const Row table[] = {
      {6, "XP1View", TuiNavBarXP1Painter::PainterClass(), TuiNavBarBackgroundPainter::Class(),
       TuiNavBarFlatButtonPainter::Class(), TuiNavBarGroupBackgroundPainter::Class(),
       TuiNavBarXPScrollButtonsPainter::Class(), TuiNavBarXPSelectionPainter::Class(), TuiBaseSignPainter::Class()},
      {7, "XP2View", TuiNavBarXP2Painter::PainterClass(), TuiNavBarXPBackgroundPainter::Class(),
       TuiNavBarXPButtonPainter::Class(), TuiNavBarXPGroupBackgroundPainter::Class(),
       TuiNavBarXPScrollButtonsPainter::Class(), TuiNavBarXPSelectionPainter::Class(), TuiBaseSignPainter::Class()},
      {11, "XPExplorerBarView", TuiNavBarXPExplorerBarPainter::PainterClass(),
       TuiNavBarXPExplorerBarBackgroundPainter::Class(), TuiNavBarXPExplorerBarButtonPainter::Class(),
       TuiNavBarGroupBackgroundPainter::Class(), TuiBaseScrollButtonsPainter::Class(), TuiBaseSelectionPainter::Class(),
       TuiNavBarXPExplorerBarSignPainter::Class()},
  };
  TuiNavBarViewsFactory* views = uiNavBarViewsFactory();
  for (const Row& r : table) {
    SCOPED_TRACE(r.id);
    const int at = views->IndexOfID(r.id);
    ASSERT_GE(at, 0);
    EXPECT_EQ(views->Items(at)->Name, r.name);
    EXPECT_EQ(views->GetPainterClass(r.id), r.painter);
    bar->SetView(r.id);
    settle();
    TuiNavBarPainter* p = bar->GetPainter();
    EXPECT_EQ(p->BackgroundPainterClass(), r.background);
    EXPECT_EQ(p->ButtonPainterClass(), r.button);
    EXPECT_EQ(p->GroupBackgroundPainterClass(), r.groupBackground);
    EXPECT_EQ(p->ScrollButtonsPainterClass(), r.scrollButtons);
    EXPECT_EQ(p->SelectionPainterClass(), r.selection);
    EXPECT_EQ(p->SignPainterClass(), r.sign);
  }
  // The view informations each painter makes, and the helper painters
  // each keeps of its base.
  struct Made {
    int id;
    const char *viewInfo, *groupViewInfo, *linkViewInfo;
    TuiBaseGroupBorderPainterClass border;
  };
  const Made made[] = {{6, "TuiNavBarXP1ViewInfo", "TuiNavBarXP1GroupViewInfo", "TuiNavBarLinkViewInfo",
                        TuiBaseGroupBorderPainter::Class()},
                       {7, "TuiNavBarOffice1ViewInfo", "TuiNavBarGroupViewInfo", "TuiNavBarLinkViewInfo",
                        TuiBaseGroupBorderPainter::Class()},
                       {11, "TuiNavBarXPExplorerBarViewInfo", "TuiNavBarXPExplorerBarGroupViewInfo",
                        "TuiNavBarXPExplorerBarLinkViewInfo", TuiNavBarExplorerBarBorderPainter::Class()}};
  for (const Made& m : made) {
    SCOPED_TRACE(m.id);
    bar->SetView(m.id);
    settle();
    EXPECT_EQ(info()->ClassName(), m.viewInfo);
    EXPECT_EQ(groupInfo(0)->ClassName(), m.groupViewInfo);
    EXPECT_EQ(groupInfo(0)->LinkInfos(0)->ClassName(), m.linkViewInfo);
    TuiNavBarPainter* p = bar->GetPainter();
    EXPECT_EQ(p->GroupBorderPainterClass(), m.border);
    EXPECT_EQ(p->ImagePainterClass(), TuiNavBarImagePainter::Class());
    EXPECT_EQ(p->DropTargetGroupPainterClass(), TuiNavBarDropTargetGroupPainter::Class());
    EXPECT_EQ(p->DropTargetLinkPainterClass(), TuiNavBarDropTargetLinkPainter::Class());
  }
}

// --- views 6 and 7 ---------------------------------------------------------------------

TEST_F(XPViews, View6AssignsItsDefaultStyles) {
  constexpr TColor kAny = navbartest::kAnyColour;
  struct Row {
    int style;
    TColor back, back2, font;
    TuiBarStyleHAlignment alignment;
  };
  const Row table[] = {{0, clAppWorkSpace, clAppWorkSpace, kAny, haLeft},
                       {4, clNone, clNone, kAny, haLeft},
                       {6, clNone, clNone, clCaptionText, haCenter},
                       {13, kAny, kAny, clBtnText, haCenter},
                       {14, kAny, kAny, clBtnShadow, haCenter}};
  start(nbXP1View);
  for (const Row& r : table) {
    SCOPED_TRACE(r.style);
    TuiNavBarDefaultStyle* s = bar->DefaultStyles()->Styles(r.style);
    navbartest::expectStyleColours(s, r.back, r.back2, r.font);
    EXPECT_EQ(s->HAlignment(), r.alignment);
  }
}

// Where the group's styles leave a pair unset (a style that sets only one
// colour of it included), view 6 takes the caption colours.
TEST_F(XPViews, View6TakesTheCaptionColoursWhereAPairIsUnset) {
  start(nbXP1View);
  hover(captionPoint(1));
  TuiNavBarGroupViewInfo* hot = groupInfo(1);
  TuiNavBarGroupViewInfo* resting = groupInfo(2);
  ASSERT_TRUE(hot->GetState().Contains(nbsHotTracked));
  for (TuiNavBarGroupViewInfo* g : {hot, resting}) {
    EXPECT_EQ(g->GetBackgroundBackColor(), GetLightColor40(clInactiveCaption));
    EXPECT_EQ(g->GetBackgroundBackColor2(), clInactiveCaption);
    EXPECT_EQ(g->GetBackgroundAlphaBlending(), 255);
    EXPECT_EQ(g->GetBackgroundAlphaBlending2(), 255);
    EXPECT_EQ(g->GetBackgroundGradientMode(), gmHorizontal);
    EXPECT_EQ(g->GetCaptionBackColor(), clActiveCaption);
    EXPECT_EQ(g->GetCaptionAlphaBlending(), 255);
    EXPECT_EQ(g->GetCaptionAlphaBlending2(), 255);
    EXPECT_EQ(g->GetCaptionGradientMode(), gmHorizontal);
  }
  // Only the hot-tracked group's caption keeps the full colour at its end.
  EXPECT_EQ(hot->GetCaptionBackColor2(), clActiveCaption);
  EXPECT_EQ(resting->GetCaptionBackColor2(), GetScaledColor60(clActiveCaption));

  TuiNavBarStyleItem* user = bar->Styles()->Add();
  user->Style()->SetBackColor(clRed);
  user->Style()->SetAlphaBlending(100);
  user->Style()->SetGradientMode(gmVertical);
  groups[2]->SetGroupStyle(0, user);  // background
  groups[2]->SetGroupStyle(2, user);  // header
  settle();
  EXPECT_EQ(groupInfo(2)->GetBackgroundBackColor(), GetLightColor40(clInactiveCaption)) << "half a pair is unset";
  EXPECT_EQ(groupInfo(2)->GetCaptionAlphaBlending(), 255);
  user->Style()->SetBackColor2(clBlue);
  settle();
  for (TuiNavBarGroupViewInfo* g = groupInfo(2); TColor c : {g->GetBackgroundBackColor(), g->GetCaptionBackColor()})
    EXPECT_EQ(c, clRed);
  EXPECT_EQ(groupInfo(2)->GetCaptionBackColor2(), clBlue);
  EXPECT_EQ(groupInfo(2)->GetCaptionAlphaBlending(), 100);
  EXPECT_EQ(groupInfo(2)->GetBackgroundGradientMode(), gmVertical);
}

// The caption button is lit from the left: it runs from the caption colour
// lightened to 40 % to the caption colour on a resting caption, and to the
// caption colour lightened to 80 % on the hot one.
TEST_F(XPViews, View6CaptionButtonsBrightenTowardsTheRightWhileHot) {
  profile().gdiplus = false;  // the banded gradient: one colour per column
  qv::modules::registerGdiPlus();
  start(nbXP1View);
  hover(captionPoint(1));
  ASSERT_EQ(bar->HotTrackedGroup(), groups[1]);
  const qv::os::gdi::Image image = shot();
  auto near = [](DWORD pixel, TColor want) {
    const COLORREF w = ColorToRGB(want);
    const int d[3] = {static_cast<int>(pixel >> 16 & 0xFF) - GetRValue(w),
                      static_cast<int>(pixel >> 8 & 0xFF) - GetGValue(w),
                      static_cast<int>(pixel & 0xFF) - GetBValue(w)};
    return std::abs(d[0]) <= 4 && std::abs(d[1]) <= 4 && std::abs(d[2]) <= 4;
  };
  struct Row {
    int group;
    TColor left, right;
  };
  const Row table[] = {{1, GetLightColor40(clActiveCaption), GetLightColor80(clActiveCaption)},
                       {2, GetLightColor40(clActiveCaption), clActiveCaption}};
  for (const Row& r : table) {
    SCOPED_TRACE(r.group);
    const TRect h = groupInfo(r.group)->HeaderBounds;
    const int y = (h.top + h.bottom) / 2;
    EXPECT_TRUE(near(image.at(h.left + 3, y), r.left)) << std::hex << image.at(h.left + 3, y);
    EXPECT_TRUE(near(image.at(h.right - 4, y), r.right)) << std::hex << image.at(h.right - 4, y);
  }
}

// Without visual styles the themed helper painters draw their classic
// parents' look: view 7 is view 2 to the pixel.
TEST_F(XPViews, View7WithoutVisualStylesPaintsAsView2) {
  for (ModuleProfile styles : {ModuleProfile::Absent, ModuleProfile::Classic}) {
    SCOPED_TRACE(static_cast<int>(styles));
    restart(nbOffice1View, styles);
    hotLinkAndPressedCaption();
    const qv::os::gdi::Image plain = shot();
    releaseCaption();
    makeBar(nbXP2View);
    hotLinkAndPressedCaption();
    const qv::os::gdi::Image xp = shot();
    releaseCaption();
    EXPECT_EQ(differingPixels(plain, xp), 0);
  }
}

// With visual styles the themed helper painters draw the style's parts:
// which part and state each element asks for.
TEST_F(XPViews, WithVisualStylesViews6And7DrawTheStylesParts) {
  struct Row {
    int view;
    std::vector<std::string> drawn, never;
  };
  const Row table[] = {
      // Flat caption buttons on a plain background; themed selections
      // (every link's, the hot one hot) and scroll buttons.
      {nbXP1View, {"TOOLBAR/1/1", "TOOLBAR/1/2", "SCROLLBAR/1/5"}, {"BUTTON", "TAB"}},
      // The tab's body behind the bar and the active group, buttons active,
      // normal and pressed.
      {nbXP2View,
       {"TAB/10/0", "BUTTON/1/5", "BUTTON/1/1", "BUTTON/1/3", "TOOLBAR/1/1", "TOOLBAR/1/2", "SCROLLBAR/1/5"},
       {}},
  };
  start(nbXP1View, ModuleProfile::Themed);
  for (const Row& r : table) {
    SCOPED_TRACE(r.view);
    makeBar(r.view);
    bar->SetHeight(130);  // too short for group 1's links: a down button
    settle();
    ASSERT_TRUE(info()->IsBottomScrollButtonVisible());
    hotLinkAndPressedCaption();
    qv::modules::clearThemeCalls();
    bar->Invalidate();
    settle();
    std::vector<std::string> calls;
    for (const qv::modules::ThemeCall& c : qv::modules::themeCalls())
      if (c.function == "DrawThemeBackground")
        calls.push_back(c.className + "/" + std::to_string(c.part) + "/" + std::to_string(c.state));
    for (const std::string& want : r.drawn) EXPECT_NE(std::find(calls.begin(), calls.end(), want), calls.end()) << want;
    for (const std::string& cls : r.never)
      for (const std::string& c : calls) EXPECT_NE(c.substr(0, cls.size() + 1), cls + "/") << c;
    releaseCaption();
  }
}

// --- view 11 ---------------------------------------------------------------------------

// Without a theme that opens the explorer bar, view 11 is view 8 to the
// pixel: the same metrics, colours and fonts, and helper painters that fall
// back to view 8's drawing. The shell style module is there all the same.
TEST_F(XPViews, View11WithoutVisualStylesPaintsAsView8) {
  for (ModuleProfile styles : {ModuleProfile::Absent, ModuleProfile::Classic}) {
    SCOPED_TRACE(static_cast<int>(styles));
    restart(nbExplorerBarView, styles);
    hotLinkAndPressedCaption();
    const qv::os::gdi::Image plain = shot();
    const TRect sign8 = groupInfo(0)->HeaderSignBounds;
    releaseCaption();
    makeBar(nbXPExplorerBarView);
    ASSERT_TRUE(IsShellStyleLoaded());
    EXPECT_EQ(info()->GroupCaptionSignSize(), 18);
    EXPECT_EQ(groupInfo(0)->HeaderSignBounds.right - groupInfo(0)->HeaderSignBounds.left, 18);
    EXPECT_EQ(groupInfo(0)->HeaderSignBounds.top, sign8.top);
    hotLinkAndPressedCaption();
    const qv::os::gdi::Image xp = shot();
    releaseCaption();
    EXPECT_EQ(differingPixels(plain, xp), 0);
  }
}

TEST_F(XPViews, View11TakesItsColoursFromTheExplorerBarTheme) {
  start(nbXPExplorerBarView, ModuleProfile::Themed);
  bar->SetShowSpecialGroup(true);  // the active group, group 1
  // A user's group style that the theme overrides whole.
  TuiNavBarStyleItem* user = bar->Styles()->Add();
  user->Style()->SetBackColor(clRed);
  user->Style()->SetBackColor2(clBlue);
  user->Style()->SetAlphaBlending(100);
  user->Style()->SetAlphaBlending2(100);
  user->Style()->SetGradientMode(gmForwardDiagonal);
  for (TuiNavBarGroup* g : groups) {
    g->SetGroupStyle(0, user);  // background
    g->SetGroupStyle(2, user);  // header
  }
  settle();
  TuiNavBarViewInfo* v = info();
  EXPECT_EQ(v->BackgroundBackColor(), themeColour(1, -1, 3810));
  EXPECT_EQ(v->BackgroundBackColor2(), themeColour(1, -1, 3811));
  EXPECT_EQ(v->BackgroundAlphaBlending(), 255);
  EXPECT_EQ(v->BackgroundAlphaBlending2(), 255);
  EXPECT_EQ(v->BackgroundGradientMode(), gmVertical);
  for (int g : {0, 1}) {
    SCOPED_TRACE(g);
    TuiNavBarGroupViewInfo* gi = groupInfo(g);
    EXPECT_EQ(gi->GetState().Contains(nbsSpecial), g == 0);
    EXPECT_EQ(gi->GetBackgroundBackColor(), themeColour(5, 0, 3802));
    EXPECT_EQ(gi->GetBackgroundBackColor2(), themeColour(5, 0, 3802));
    EXPECT_EQ(gi->GetBackgroundAlphaBlending(), 255);
    EXPECT_EQ(gi->GetBackgroundAlphaBlending2(), 255);
    EXPECT_EQ(gi->GetBackgroundGradientMode(), gmHorizontal);
    const int head = g == 0 ? 12 : 8;
    EXPECT_EQ(gi->GetCaptionBackColor(), themeColour(head, 0, 3802));
    EXPECT_EQ(gi->GetCaptionBackColor2(), themeColour(head, 0, 3802));
    EXPECT_EQ(gi->GetCaptionAlphaBlending(), 255);
    EXPECT_EQ(gi->GetCaptionAlphaBlending2(), 255);
    EXPECT_EQ(gi->GetCaptionGradientMode(), gmHorizontal);
    EXPECT_EQ(gi->GetBorderColor(), kWhite) << "the task pane's border";
  }
  EXPECT_NE(themeColour(12, 0, 3802), themeColour(8, 0, 3802));
  // The theme's larger sign.
  EXPECT_EQ(v->GroupCaptionSignSize(), 22);
  EXPECT_EQ(groupInfo(0)->HeaderSignBounds.right - groupInfo(0)->HeaderSignBounds.left, 22);

  // Without the shell style the border is the theme's own.
  profile().shellStyle = false;
  makeBar(nbXPExplorerBarView);
  ASSERT_FALSE(IsShellStyleLoaded());
  EXPECT_EQ(groupInfo(0)->GetBorderColor(), themeColour(5, 0, 3801));
  EXPECT_EQ(groupInfo(0)->GetCaptionBackColor(), themeColour(8, 0, 3802));
}

// Styled: the task pane's fonts and colours; a hot caption keeps its font
// without the underline, a disabled link loses it and turns lighter.
TEST_F(XPViews, View11TakesTheTaskPaneFontsWhileStyled) {
  start(nbXPExplorerBarView, ModuleProfile::Themed);
  bar->SetShowSpecialGroup(true);
  settle();
  struct Font {
    TColor colour;
    bool bold, underline;
  };
  auto font = [](TFont* f, TColor colour) {
    return Font{colour, f->Style().Contains(fsBold), f->Style().Contains(fsUnderline)};
  };
  auto expectFont = [](const Font& got, const Font& want, const char* what) {
    EXPECT_EQ(got.colour, want.colour) << what;
    EXPECT_EQ(got.bold, want.bold) << what;
    EXPECT_EQ(got.underline, want.underline) << what;
  };
  TuiNavBarGroupViewInfo* special = groupInfo(0);
  TuiNavBarGroupViewInfo* plain = groupInfo(2);
  expectFont(font(plain->GetCaptionFont(), plain->GetCaptionFontColor()), {kSheetLink, true, false}, "caption");
  expectFont(font(special->GetCaptionFont(), special->GetCaptionFontColor()), {kWhite, true, false}, "special caption");
  TuiNavBarLinkViewInfo* link = groupInfo(2)->LinkInfos(0);
  expectFont(font(link->GetFont(), link->GetFontColor()), {kSheetLink, false, false}, "link");

  // Hot: the hover rule, whose underline a caption never shows.
  hover(captionPoint(2));
  plain = groupInfo(2);
  ASSERT_TRUE(plain->GetState().Contains(nbsHotTracked));
  expectFont(font(plain->GetCaptionFont(), plain->GetCaptionFontColor()), {kSheetHover, true, false}, "hot caption");
  hover(linkPoint(2, 0));
  link = groupInfo(2)->LinkInfos(0);
  ASSERT_TRUE(link->GetState().Contains(nbsHotTracked));
  expectFont(font(link->GetFont(), link->GetFontColor()), {kSheetHover, false, true}, "hot link");
  // Disabled while hot, and disabled alone.
  items[7]->SetEnabled(false);
  settle();
  link = groupInfo(2)->LinkInfos(0);
  ASSERT_TRUE(link->GetState().Contains(nbsHotTracked));
  expectFont(font(link->GetFont(), link->GetFontColor()), {GetLightColor80(kSheetHover), false, false},
             "disabled hot link");
  items[8]->SetEnabled(false);
  settle();
  link = groupInfo(2)->LinkInfos(1);
  expectFont(font(link->GetFont(), link->GetFontColor()), {GetLightColor80(kSheetLink), false, false}, "disabled link");

  // Without the shell style: the bar's own fonts, as in view 8.
  profile().shellStyle = false;
  makeBar(nbXPExplorerBarView);
  bar->SetShowSpecialGroup(true);
  settle();
  expectFont(font(groupInfo(2)->GetCaptionFont(), groupInfo(2)->GetCaptionFontColor()), {clBtnText, true, false},
             "caption without the shell style");
  expectFont(font(groupInfo(0)->GetCaptionFont(), groupInfo(0)->GetCaptionFontColor()), {clCaptionText, true, false},
             "special caption without the shell style");
  link = groupInfo(2)->LinkInfos(0);
  expectFont(font(link->GetFont(), link->GetFontColor()), {clWindowText, false, false}, "link without the shell style");
}

// A switch of visual style shows at the next paint, and the task-pane
// style is loaded anew for the new one.
TEST_F(XPViews, View11FollowsASwitchOfVisualStyle) {
  start(nbXPExplorerBarView, ModuleProfile::Themed);
  ASSERT_EQ(info()->GroupCaptionSignSize(), 22);
  qv::modules::ThemeProfile classic;
  classic.visualStyles = ModuleProfile::Classic;
  qv::modules::setThemeProfile(classic);
  settle();
  EXPECT_EQ(info()->GroupCaptionSignSize(), 18);
  EXPECT_EQ(groupInfo(0)->HeaderSignBounds.right - groupInfo(0)->HeaderSignBounds.left, 18);
  EXPECT_EQ(groupInfo(2)->GetCaptionBackColor(), clBtnFace);
  EXPECT_EQ(groupInfo(2)->GetCaptionFontColor(), clBtnText);
  // Back to the theme, now on a shell without its style module: the style
  // is loaded anew and gives nothing, so the bar's fonts stay.
  profile().shellStyle = false;
  qv::modules::setThemeProfile({});
  settle();
  EXPECT_FALSE(IsShellStyleLoaded());
  EXPECT_EQ(XPExplorerBarStyleRefCount(), 1);
  EXPECT_EQ(groupInfo(2)->GetCaptionBackColor(), themeColour(8, 0, 3802));
  EXPECT_EQ(groupInfo(2)->GetCaptionFontColor(), clBtnText);
  EXPECT_EQ(groupInfo(2)->GetBorderColor(), themeColour(5, 0, 3801));
}

TEST_F(XPViews, View11HoldsTheTaskPaneStyleWhileItsViewInformationLives) {
  start(nbExplorerBarView, ModuleProfile::Themed);
  EXPECT_EQ(XPExplorerBarStyleRefCount(), 0);
  bar->SetView(nbXPExplorerBarView);
  settle();
  EXPECT_EQ(XPExplorerBarStyleRefCount(), 1);
  auto* second = new TuiNavBar(form.get());
  second->SetParent(form.get());
  second->SetBounds(200, 0, 177, 300);
  second->SetView(nbXPExplorerBarView);
  settle();
  EXPECT_EQ(XPExplorerBarStyleRefCount(), 2);
  bar->SetView(nbExplorerBarView);
  settle();
  EXPECT_EQ(XPExplorerBarStyleRefCount(), 1);
  EXPECT_TRUE(IsShellStyleLoaded());
  delete second;
  EXPECT_EQ(XPExplorerBarStyleRefCount(), 0);
  EXPECT_FALSE(IsShellStyleLoaded());
  EXPECT_EQ(ShellStyleLinkFont(), nullptr);
}

// --- golden pictures -------------------------------------------------------------------

class XPViewsGolden : public XPViews, public ::testing::WithParamInterface<std::tuple<int, ModuleProfile>> {};

TEST_P(XPViewsGolden, TheBarLooksAsApproved) {
  const auto [view, styles] = GetParam();
  start(view, styles);
  expectViewGolden("xp", view, styles);
}

INSTANTIATE_TEST_SUITE_P(Views, XPViewsGolden,
                         ::testing::Combine(::testing::Values(6, 7, 11),
                                            ::testing::Values(ModuleProfile::Absent, ModuleProfile::Themed)),
                         navbartest::goldenCaseName);

}  // namespace
