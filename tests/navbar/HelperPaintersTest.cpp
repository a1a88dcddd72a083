// The navigation bar's helper painters on small memory bitmaps: exact
// pixels of borders, bevels, frames, arrows, chevrons and sign bitmaps by
// state, the background's picture and gradient rules with and without
// GDI+, and the themed painters' fallbacks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "lookandfeel/uiGDIPlusAPI.h"
#include "lookandfeel/uiOffice11.h"
#include "navbar/uiNavBarGraphics.h"
#include "platform/classlib/Jpeg.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/GdiPlus.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Region.h"

namespace {

using qv::desktop::ModuleProfile;
using qv::desktop::profile;

constexpr TColor kPaper = static_cast<TColor>(0x808080);

TColor rgb(int r, int g, int b) { return static_cast<TColor>(RGB(r, g, b)); }

class HelperPainters : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    canvas.reset();
    qv::classlib::FinalizeUnits();
    profile().gdiplus = true;
    profile().visualStyles = ModuleProfile::Absent;
    profile().themesActive = false;
    qv::modules::registerUxTheme();
    qv::modules::registerGdiPlus();
    qvtest::DesktopTest::TearDown();
  }
  void start(ModuleProfile styles = ModuleProfile::Absent, bool gdiplus = true) {
    profile().visualStyles = styles;
    profile().themesActive = styles == ModuleProfile::Themed;
    profile().themeColorName = "NormalColor";
    profile().themeFileName = "Luna.msstyles";
    profile().gdiplus = gdiplus;
    qv::modules::registerUxTheme();
    qv::modules::registerGdiPlus();
    qv::classlib::InitializeUnit(uiNavBarGraphicsUnit);
    paper(40, 40);
  }
  // A fresh bitmap of one colour.
  void paper(int w, int h, TColor c = kPaper) {
    canvas = std::make_unique<TBitmap>();
    canvas->SetPixelFormat(pf32bit);
    canvas->SetSize(w, h);
    canvas->Canvas()->Brush()->SetColor(c);
    canvas->Canvas()->FillRect(TRect{0, 0, w, h});
  }
  TCanvas* c() { return canvas->Canvas(); }
  TColor px(int x, int y) { return c()->Pixels(x, y); }
  // The pixels of a row or column that are not the paper, as "x" marks.
  std::string rowMarks(int y, int x0, int x1) {
    std::string s;
    for (int x = x0; x < x1; ++x) s += px(x, y) == kPaper ? '.' : 'x';
    return s;
  }

  std::unique_ptr<TBitmap> canvas;
};

// --- backgrounds ------------------------------------------------------------------

class HelperPaintersGdiPlus : public HelperPainters, public ::testing::WithParamInterface<bool> {};

TEST_P(HelperPaintersGdiPlus, AGradientRunsFromColour1ToColour2) {
  start(ModuleProfile::Absent, GetParam());
  ASSERT_EQ(uiIsGDIPlusAvailable(), GetParam());
  paper(100, 10);
  TuiNavBarBackgroundPainter::Class()->DrawBackground(c(), TRect{0, 0, 100, 10}, nullptr, false, clNone, rgb(0, 0, 0),
                                                      rgb(200, 100, 0), 255, 255, gmHorizontal);
  EXPECT_LE(GetRValue(ColorToRGB(px(0, 5))), 4);
  EXPECT_GE(GetRValue(ColorToRGB(px(99, 5))), 196);
  EXPECT_NEAR(GetRValue(ColorToRGB(px(50, 5))), 100, 4);
  EXPECT_EQ(px(50, 0), px(50, 9)) << "horizontal: one colour per column";
}

// Both alphas 0: GDI+ draws the colours fully transparent, plain GDI draws
// nothing at all; either way the fill colour of step 1 stays.
TEST_P(HelperPaintersGdiPlus, AFullyTransparentGradientLeavesTheFillColour) {
  start(ModuleProfile::Absent, GetParam());
  paper(20, 20);
  TuiNavBarBackgroundPainter::Class()->DrawBackground(c(), TRect{0, 0, 20, 20}, nullptr, true, clRed, clBlack, clWhite,
                                                      0, 0, gmVertical);
  EXPECT_EQ(px(0, 0), clRed);
  EXPECT_EQ(px(19, 19), clRed);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithout, HelperPaintersGdiPlus, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "GdiPlus" : "Gdi"; });

// The advanced explorer bar's caption: two corners of two pixels and one
// below left out at the top, and no clip region left behind.
TEST_F(HelperPainters, TheAdvancedExplorerButtonRoundsItsTopCornersAndClearsTheClip) {
  start();
  paper(10, 6);
  TuiNavBarAdvExplorerButtonPainter::Class()->DrawButton(c(), TRect{0, 0, 10, 6}, nullptr, clWhite, clWhite, 255, 255,
                                                         gmHorizontal, clNone, {});
  EXPECT_EQ(rowMarks(0, 0, 10), "..xxxxxx..");
  EXPECT_EQ(rowMarks(1, 0, 10), ".xxxxxxxx.");
  EXPECT_EQ(rowMarks(2, 0, 10), "xxxxxxxxxx");
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c()->Handle(), rgn), 0) << "no clip region";
  DeleteObject(rgn);
  // The Office 11 task pane's caption draws the same.
  paper(10, 6);
  TuiNavBarOffice11ButtonPainter::Class()->DrawButton(c(), TRect{0, 0, 10, 6}, nullptr, clWhite, rgb(0, 0, 200), 255,
                                                      255, gmHorizontal, clNone, {});
  EXPECT_EQ(rowMarks(0, 0, 10), "..xxxxxx..");
}

}  // namespace
