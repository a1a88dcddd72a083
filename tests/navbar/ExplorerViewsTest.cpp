// The explorer-bar views 8, 9 and 10 on the headless desktop: their
// registration, geometry, scroll bar, expanding and collapsing, view 10's
// colours and default styles, and golden pictures of each view with visual
// styles absent and present.
#include "navbar/uiNavBarExplorerViews.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "navbar/uiNavBarGraphics.h"
#include "navbar/uiNavBarViewsFact.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/Screen.h"

namespace {

using qv::desktop::ModuleProfile;
using qv::desktop::profile;

std::string str(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class ExplorerViews : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    form.reset();
    images.reset();
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
    qv::modules::registerUxTheme();
  }

  // A 177 x 500 bar in a view, with three groups of four, three and two
  // links, each link with a small image; group 2 collapsed.
  void start(int view, ModuleProfile styles = ModuleProfile::Absent) {
    profile().visualStyles = styles;
    profile().themesActive = styles == ModuleProfile::Themed;
    profile().themeColorName = "NormalColor";
    profile().themeFileName = "Luna.msstyles";
    qv::modules::registerUxTheme();
    qv::classlib::InitializeUnit(uiNavBarExplorerViewsUnit);
    makeBar(view);
  }
  // The bar anew in a view, on the desktop as it is.
  void makeBar(int view) {
    form.reset();
    groups.clear();
    items.clear();
    images = std::make_unique<TCustomImageList>(16, 16);
    const TColor colours[3] = {static_cast<TColor>(RGB(200, 60, 40)), static_cast<TColor>(RGB(40, 150, 60)),
                               static_cast<TColor>(RGB(50, 80, 200))};
    for (TColor c : colours) {
      TBitmap picture;
      picture.SetSize(16, 16);
      picture.Canvas()->Brush()->SetColor(clWhite);
      picture.Canvas()->FillRect(TRect{0, 0, 16, 16});
      picture.Canvas()->Brush()->SetColor(c);
      picture.Canvas()->FillRect(TRect{2, 2, 14, 14});
      images->Add(&picture, nullptr);
    }
    form.reset(TForm::CreateNew(nullptr));
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 400, 600);
    bar = new TuiNavBar(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(0, 0, 177, 500);
    bar->SetSmallImages(images.get());
    bar->SetDragDropFlags({});
    const char* const captions[3][4] = {{"Project", "Optional", "Window", "Position"},
                                        {"Toolbar", "Skin", "Music", nullptr},
                                        {"Extensions", "Help", nullptr, nullptr}};
    const char* const groupCaptions[3] = {"Project", "Design", "Extras"};
    for (int g = 0; g < 3; ++g) {
      TuiNavBarGroup* group = bar->Groups()->Add();
      group->SetCaption(groupCaptions[g]);
      groups.push_back(group);
      int n = 0;
      for (const char* caption : captions[g]) {
        if (!caption) break;
        TuiNavBarItem* item = bar->Items()->Add();
        item->SetCaption(caption);
        item->SetSmallImageIndex(n++ % 3);
        items.push_back(item);
        group->AddLink(item);
      }
    }
    groups[1]->SetExpanded(false);
    bar->SetView(view);
    form->Show();
    settle();
  }
  void settle() {
    qv::os::pumpMessages();
    bar->Repaint();
    qv::os::pumpMessages();
  }
  TuiNavBarViewInfo* info() { return bar->GetViewInfo(); }
  TuiNavBarGroupViewInfo* groupInfo(int g) { return info()->FindGroupViewInfo(groups[static_cast<size_t>(g)]); }
  void mouse(UINT msg, int x, int y, WPARAM keys = 0) {
    qv::os::injectMouse(msg, bar->ClientToScreen(TPoint{x, y}), keys);
    qv::os::pumpMessages();
  }
  void click(int x, int y) {
    mouse(WM_MOUSEMOVE, x, y);
    mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    mouse(WM_LBUTTONUP, x, y);
  }
  TPoint captionPoint(int g) {
    const TRect& r = groupInfo(g)->HeaderBounds;
    return {r.left + 20, (r.top + r.bottom) / 2};
  }
  static int fontHeight(TFont* AFont) { return GetFontItemHeight(AFont); }

  std::unique_ptr<TCustomImageList> images;
  std::unique_ptr<TForm> form;
  TuiNavBar* bar = nullptr;
  std::vector<TuiNavBarGroup*> groups;
  std::vector<TuiNavBarItem*> items;
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
  constexpr TColor kAny = static_cast<TColor>(-1);
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
    if (r.back != kAny) {
      EXPECT_EQ(s->BackColor(), r.back);
      EXPECT_EQ(s->BackColor2(), r.back2);
    }
    if (r.font != kAny) {
      EXPECT_EQ(s->Font()->Color(), r.font);
    }
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

// The bar as it shows on the screen, against a PNG kept beside the tests.
// A picture that differs, or is not there yet, is written to the build's
// test folder to be looked at; only a person copies it over the kept one.
class ExplorerViewsGolden : public ExplorerViews,
                            public ::testing::WithParamInterface<std::tuple<int, ModuleProfile>> {};

TEST_P(ExplorerViewsGolden, TheBarLooksAsApproved) {
  const auto [view, styles] = GetParam();
  start(view, styles);
  // A hot link in group 1 and, pressed without moving there, the caption
  // of group 3.
  const TRect& l = groupInfo(0)->LinkInfos(1)->TextBounds;
  mouse(WM_MOUSEMOVE, l.left + 3, (l.top + l.bottom) / 2);
  const TPoint c = captionPoint(2);
  mouse(WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
  settle();
  ASSERT_EQ(bar->HotTrackedLink(), groups[0]->Links(1));
  ASSERT_EQ(bar->PressedGroup(), groups[2]);

  qv::os::gdi::Image shot;
  ASSERT_TRUE(qv::os::windowImage(bar->Handle(), shot));
  const std::string name = "explorer_view" + std::to_string(view) +
                           (styles == ModuleProfile::Themed ? "_themed" : "_classic") + ".png";
  const std::string kept = std::string(QV_SOURCE_DIR) + "/tests/navbar/golden/" + name;
  std::ifstream in(kept, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  qv::os::gdi::Image approved;
  const bool have = !bytes.empty() && qv::os::gdi::decodePng(bytes.data(), bytes.size(), approved);
  bool same = have && approved.width == shot.width && approved.height == shot.height;
  int firstX = -1, firstY = -1;
  for (int y = 0; same && y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x)
      if ((approved.at(x, y) & 0xFFFFFF) != (shot.at(x, y) & 0xFFFFFF)) {
        same = false, firstX = x, firstY = y;
        break;
      }
  if (!same) {
    const std::string out = std::string(QV_TESTBIN) + "/golden-" + name;
    const std::vector<std::uint8_t> png = qv::os::gdi::encodePng(shot);
    std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                               static_cast<std::streamsize>(png.size()));
    ADD_FAILURE() << (have ? "differs from " : "no approved picture ") << kept << " (first at " << firstX << ","
                  << firstY << "); this run's picture: " << out;
  }
  mouse(WM_LBUTTONUP, c.x, c.y);
}

INSTANTIATE_TEST_SUITE_P(Views, ExplorerViewsGolden,
                         ::testing::Combine(::testing::Values(8, 9, 10),
                                            ::testing::Values(ModuleProfile::Absent, ModuleProfile::Themed)),
                         [](const auto& info) {
                           return "View" + std::to_string(std::get<0>(info.param)) +
                                  (std::get<1>(info.param) == ModuleProfile::Themed ? "Themed" : "Classic");
                         });

}  // namespace
