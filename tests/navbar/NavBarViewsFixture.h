// A real navigation bar on the headless desktop for the tests of its views:
// the same three groups in every view, so the views' pictures can be set
// side by side, and the comparison of a picture with its approved PNG.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "DesktopTest.h"
#include "navbar/uiNavBar.h"
#include "navbar/uiNavBarGraphics.h"
#include "platform/classlib/Forms.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Screen.h"

namespace navbartest {

inline std::string str(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class ViewsFixture : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    form.reset();
    images.reset();
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
    qv::modules::registerUxTheme();
  }

  // The desktop with visual styles absent or present, the unit that
  // registers the views started, and the bar made in a view.
  void start(int view, qv::desktop::ModuleProfile styles, const qv::classlib::TUnitInfo& unit) {
    qv::desktop::profile().visualStyles = styles;
    qv::desktop::profile().themesActive = styles == qv::desktop::ModuleProfile::Themed;
    qv::desktop::profile().themeColorName = "NormalColor";
    qv::desktop::profile().themeFileName = "Luna.msstyles";
    qv::modules::registerUxTheme();
    qv::classlib::InitializeUnit(unit);
    makeBar(view);
  }
  // A 177 x 500 bar in a view, with three groups of four, three and two
  // links, each link with a small image; group 2 collapsed.
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
  // The bar as it shows on the screen.
  qv::os::gdi::Image shot() {
    qv::os::gdi::Image image;
    EXPECT_TRUE(qv::os::windowImage(bar->Handle(), image));
    return image;
  }
  // The bar made in a view as every view's golden picture shows it: a hot
  // link in group 1 and, pressed without moving there, the caption of group
  // 3; compared with KIND_viewN_classic.png or _themed.png, then let go.
  void expectViewGolden(const std::string& AKind, int AView, qv::desktop::ModuleProfile AStyles);

  std::unique_ptr<TCustomImageList> images;
  std::unique_ptr<TForm> form;
  TuiNavBar* bar = nullptr;
  std::vector<TuiNavBarGroup*> groups;
  std::vector<TuiNavBarItem*> items;
};

// A picture against the PNG of that name kept in tests/navbar/golden/. A
// picture that differs, or is not there yet, is written to the build's test
// folder to be looked at; only a person copies it over the kept one.
inline void expectGolden(const qv::os::gdi::Image& shot, const std::string& name) {
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
  if (same) return;
  const std::string out = std::string(QV_TESTBIN) + "/golden-" + name;
  const std::vector<std::uint8_t> png = qv::os::gdi::encodePng(shot);
  std::ofstream(out, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  ADD_FAILURE() << (have ? "differs from " : "no approved picture ") << kept << " (first at " << firstX << ","
                << firstY << "); this run's picture: " << out;
}

inline void ViewsFixture::expectViewGolden(const std::string& AKind, int AView, qv::desktop::ModuleProfile AStyles) {
  const TRect& l = groupInfo(0)->LinkInfos(1)->TextBounds;
  mouse(WM_MOUSEMOVE, l.left + 3, (l.top + l.bottom) / 2);
  const TPoint c = captionPoint(2);
  mouse(WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
  settle();
  EXPECT_EQ(bar->HotTrackedLink(), groups[0]->Links(1));
  EXPECT_EQ(bar->PressedGroup(), groups[2]);
  expectGolden(shot(), AKind + "_view" + std::to_string(AView) +
                           (AStyles == qv::desktop::ModuleProfile::Themed ? "_themed" : "_classic") + ".png");
  mouse(WM_LBUTTONUP, c.x, c.y);
}

// A default style's colours against a view's table; kAnyColour where the
// view leaves a value as the reset made it.
constexpr TColor kAnyColour = static_cast<TColor>(-1);
inline void expectStyleColours(TuiNavBarDefaultStyle* s, TColor back, TColor back2, TColor font) {
  if (back != kAnyColour) {
    EXPECT_EQ(s->BackColor(), back);
    EXPECT_EQ(s->BackColor2(), back2);
  }
  if (font != kAnyColour) {
    EXPECT_EQ(s->Font()->Color(), font);
  }
}

// The name of a golden-picture case over (view, visual styles).
inline std::string goldenCaseName(
    const ::testing::TestParamInfo<std::tuple<int, qv::desktop::ModuleProfile>>& info) {
  return "View" + std::to_string(std::get<0>(info.param)) +
         (std::get<1>(info.param) == qv::desktop::ModuleProfile::Themed ? "Themed" : "Classic");
}

}  // namespace navbartest
