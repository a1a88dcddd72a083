// The navigation bar's helper painters on small memory bitmaps: exact
// pixels of borders, bevels, frames, arrows, chevrons and sign bitmaps by
// state, the background's picture and gradient rules with and without
// GDI+, and the themed painters' fallbacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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
#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Region.h"

namespace {

using qv::desktop::ModuleProfile;
using qv::desktop::profile;

constexpr TColor kPaper = static_cast<TColor>(0x808080);

TColor rgb(int r, int g, int b) { return static_cast<TColor>(RGB(r, g, b)); }

std::string str(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class HelperPainters : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    canvas.reset();
    qv::classlib::FinalizeUnits();
    profile().gdiplus = true;
    profile().shellStyle = true;
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


// --- the GDI gradient's cells -------------------------------------------------------

TEST_F(HelperPainters, GradientCellsEndOnColour2AndAOnePixelDirectionKeepsColour1) {
  start();
  const TColor a = rgb(10, 20, 30), b = rgb(210, 120, 30);
  struct Row {
    TRect r;
    TuiBarStyleGradientMode mode;
    TPoint first, last;
    TColor firstColor, lastColor;
  };
  const Row table[] = {
      {{0, 0, 30, 4}, gmHorizontal, {0, 0}, {29, 3}, a, b},
      {{0, 0, 4, 30}, gmVertical, {0, 0}, {3, 29}, a, b},
      {{0, 0, 30, 30}, gmForwardDiagonal, {0, 0}, {29, 29}, a, b},
      {{0, 0, 30, 30}, gmBackwardDiagonal, {29, 0}, {0, 29}, a, b},
      // One pixel across the gradient's direction: nothing to spread over,
      // so the start colour rather than a - 1 from a zero divisor.
      {{0, 0, 1, 10}, gmHorizontal, {0, 0}, {0, 9}, a, a},
      {{0, 0, 10, 1}, gmVertical, {0, 0}, {9, 0}, a, a},
  };
  for (const Row& r : table) {
    SCOPED_TRACE(str(r.r) + " mode " + std::to_string(r.mode));
    paper(40, 40);
    FillGradientCells(c(), r.r, a, b, r.mode);
    EXPECT_EQ(px(r.first.x, r.first.y), r.firstColor);
    EXPECT_EQ(px(r.last.x, r.last.y), r.lastColor);
    EXPECT_EQ(px(r.r.right, r.r.bottom - 1), kPaper) << "nothing beyond the right edge";
  }
  // A wide rectangle still gets at most 256 columns of colour.
  paper(600, 1);
  FillGradientCells(c(), TRect{0, 0, 600, 1}, rgb(0, 0, 0), rgb(255, 255, 255), gmHorizontal);
  int changes = 0;
  for (int x = 1; x < 600; ++x) changes += px(x, 0) != px(x - 1, 0);
  EXPECT_LE(changes, 255);
  EXPECT_EQ(px(599, 0), rgb(255, 255, 255));
}

TEST_F(HelperPainters, APictureTilesFromTheTopLeftAndEqualOpaqueColoursCoverIt) {
  start();
  TPicture picture;
  TBitmap* tile = picture.Bitmap();
  tile->SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) tile->Canvas()->SetPixels(x, y, rgb(x * 100, y * 100, 7));
  paper(10, 10);
  TuiNavBarBackgroundPainter::Class()->DrawBackground(c(), TRect{1, 1, 8, 6}, &picture, true, clRed, clNone, clNone,
                                                      255, 255, gmHorizontal);
  EXPECT_EQ(px(1, 1), rgb(0, 0, 7));
  EXPECT_EQ(px(4, 3), rgb(0, 0, 7)) << "repeated from the tile's own corner";
  EXPECT_EQ(px(7, 5), rgb(0, 0, 7)) << "the last tile cut at the right and bottom";
  EXPECT_EQ(px(6, 2), rgb(200, 100, 7));
  EXPECT_EQ(px(8, 5), kPaper);
  EXPECT_EQ(px(1, 6), kPaper);
  // Two equal opaque colours fill over the picture.
  TuiNavBarBackgroundPainter::Class()->DrawBackground(c(), TRect{1, 1, 8, 6}, &picture, true, clRed, clBlue, clBlue,
                                                      255, 255, gmHorizontal);
  EXPECT_EQ(px(4, 3), clBlue);
}

// --- lines and frames -----------------------------------------------------------

TEST_F(HelperPainters, TheGroupBorderLeavesTheTopToTheCaption) {
  start();
  for (bool noTop : {false, true}) {
    paper(8, 6);
    TuiNavBarExplorerBarBorderPainter::Class()->DrawBorder(c(), TRect{1, 1, 7, 5}, clBlack, noTop);
    EXPECT_EQ(rowMarks(1, 0, 8), noTop ? ".x....x." : ".xxxxxx.");
    EXPECT_EQ(rowMarks(2, 0, 8), ".x....x.");
    EXPECT_EQ(rowMarks(4, 0, 8), ".xxxxxx.");
    EXPECT_EQ(rowMarks(5, 0, 8), "........");
  }
}

// Each painter by state: the colours at the outer top-left and bottom-right
// corners and the inner top-left corner (kPaper: untouched; the face is
// the colour col, since both of its colours are col).
TEST_F(HelperPainters, SelectionAndButtonFramesFollowTheState) {
  start();
  const TColor col = rgb(100, 150, 200);
  const TColor L20 = GetLightColor20(col), S20 = GetScaledColor20(col), L70 = GetLightColor70(col),
               S70 = GetScaledColor70(col);
  const TColor flatSel = GetNearestScreenColor(MixSystemColors(-2, 30, 72));
  const TColor flatPressed = GetNearestScreenColor(MixSystemColors(14, 44, 40));
  const TColor hl = static_cast<TColor>(ColorToRGB(clHighlight));
  const TuiNavBarDrawStates none{}, hot{nbsHotTracked}, pressed{nbsPressed}, selected{nbsSelected};
  struct Row {
    const char* what;
    std::function<void(TuiNavBarDrawStates)> draw;
    TuiNavBarDrawStates state;
    TColor topLeft, bottomRight, inner;
  };
  const TRect R{0, 0, 10, 8};
  const auto selection = [&](TuiBaseSelectionPainterClass P) {
    return [&, P](TuiNavBarDrawStates s) { P->DrawSelection(c(), R, col, s); };
  };
  const auto button = [&](TuiBaseButtonPainterClass P) {
    return [&, P](TuiNavBarDrawStates s) {
      P->DrawButton(c(), R, nullptr, col, col, 255, 255, gmHorizontal, clRed, s);
    };
  };
  const Row table[] = {
      {"selection", selection(TuiNavBarSelectionPainter::Class()), none, kPaper, kPaper, kPaper},
      {"selection", selection(TuiNavBarSelectionPainter::Class()), hot, L20, S20, kPaper},
      {"selection", selection(TuiNavBarSelectionPainter::Class()), selected, S20, L20, kPaper},
      {"selection", selection(TuiNavBarSelectionPainter::Class()), pressed, S20, L20, kPaper},
      {"ultra-flat", selection(TuiNavBarUltraFlatSelectionPainter::Class()), none, kPaper, kPaper, kPaper},
      {"ultra-flat", selection(TuiNavBarUltraFlatSelectionPainter::Class()), hot, hl, hl, flatSel},
      {"ultra-flat", selection(TuiNavBarUltraFlatSelectionPainter::Class()), selected, hl, hl, flatSel},
      {"ultra-flat", selection(TuiNavBarUltraFlatSelectionPainter::Class()), pressed, hl, hl, flatPressed},
      {"tool box", selection(TuiNavBarVSToolBoxSelectionPainter::Class()), hot, L20, S20, L70},
      {"tool box", selection(TuiNavBarVSToolBoxSelectionPainter::Class()), selected, S70, L70, kPaper},
      {"button", button(TuiNavBarButtonPainter::Class()), none, L20, S20, L70},
      {"button", button(TuiNavBarButtonPainter::Class()), pressed, S20, S20, S70},
      {"flat", button(TuiNavBarFlatButtonPainter::Class()), none, L20, S70, col},
      {"flat", button(TuiNavBarFlatButtonPainter::Class()), hot, L20, S20, col},
      {"flat", button(TuiNavBarFlatButtonPainter::Class()), pressed, S20, L20, S70},
      {"tool box button", button(TuiNavBarVSToolBoxButtonPainter::Class()), hot, L20, S20, L70},
      {"tool box button", button(TuiNavBarVSToolBoxButtonPainter::Class()), pressed, S20, L20, S70},
      {"office", button(TuiNavBarOfficeButtonPainter::Class()), none, L20, S20, col},
      {"office", button(TuiNavBarOfficeButtonPainter::Class()), hot, L20, S20, L70},
      {"office", button(TuiNavBarOfficeButtonPainter::Class()), pressed, S20, L20, S70},
      {"nav pane", button(TuiNavBarOffice11NavPaneButtonPainter::Class()), pressed, clRed, clRed, col},
      {"nav pane group", button(TuiNavBarOffice11NavPaneGroupButtonPainter::Class()), hot, clRed, col, col},
      {"explorer", button(TuiNavBarExplorerButtonPainter::Class()), pressed, col, col, col},
  };
  for (const Row& r : table) {
    SCOPED_TRACE(std::string(r.what) + " state " + std::to_string(r.state.Bits()));
    paper(12, 10);
    r.draw(r.state);
    EXPECT_EQ(px(0, 0), r.topLeft);
    EXPECT_EQ(px(9, 7), r.bottomRight);
    EXPECT_EQ(px(1, 1), r.inner);
    EXPECT_EQ(px(10, 8), kPaper) << "nothing outside";
  }
  // The active group's caption gets a black bottom line in the classic
  // button looks.
  for (TuiBaseButtonPainterClass P : {static_cast<TuiBaseButtonPainterClass>(TuiNavBarButtonPainter::Class()),
                                      static_cast<TuiBaseButtonPainterClass>(TuiNavBarFlatButtonPainter::Class()),
                                      static_cast<TuiBaseButtonPainterClass>(TuiNavBarOfficeButtonPainter::Class())}) {
    paper(12, 10);
    P->DrawButton(c(), R, nullptr, col, col, 255, 255, gmHorizontal, clRed, {nbsActive});
    EXPECT_EQ(px(5, 7), clBlack);
  }
}

// --- scroll buttons ---------------------------------------------------------------

TEST_F(HelperPainters, AScrollArrowIsSevenByFourOnASixteenPixelButtonAndGreyWhenDisabled) {
  start();
  const auto arrowRows = [&](bool down, TuiNavBarDrawStates state, TColor& colour) {
    paper(16, 16, clWhite);
    if (down)
      TuiNavBarScrollButtonsPainter::Class()->DrawBottomButton(c(), TRect{0, 0, 16, 16}, nullptr, clWhite, clWhite, 255,
                                                               255, gmHorizontal, clNone, state);
    else
      TuiNavBarScrollButtonsPainter::Class()->DrawTopButton(c(), TRect{0, 0, 16, 16}, nullptr, clWhite, clWhite, 255,
                                                            255, gmHorizontal, clNone, state);
    std::vector<std::string> rows;
    colour = clWhite;
    for (int y = 0; y < 16; ++y) {
      std::string line;
      for (int x = 0; x < 16; ++x) {
        const TColor p = px(x, y);
        line += p == clWhite ? '.' : 'x';
        if (p != clWhite) colour = p;
      }
      if (line.find('x') != std::string::npos) rows.push_back(line);
    }
    return rows;
  };
  // The arrow's extent: its rows, and the widest of them.
  const auto extent = [](const std::vector<std::string>& rows) {
    size_t wide = 0;
    for (const std::string& r : rows) wide = std::max(wide, r.find_last_of('x') - r.find('x') + 1);
    return std::to_string(wide) + "x" + std::to_string(rows.size());
  };
  TColor colour;
  const std::vector<std::string> down = arrowRows(true, {}, colour);
  EXPECT_EQ(colour, clBlack);
  EXPECT_EQ(extent(down), "7x4");
  EXPECT_EQ(down.front(), "....xxxxxxx.....") << "the down arrow's base on top";
  const std::vector<std::string> up = arrowRows(false, {}, colour);
  EXPECT_EQ(extent(up), "7x4");
  EXPECT_EQ(up.back(), "....xxxxxxx.....") << "the up arrow's base below";
  arrowRows(true, {nbsDisabled}, colour);
  EXPECT_EQ(colour, static_cast<TColor>(ColorToRGB(clGrayText)));
  // A button 3 pixels high has q = 0: a degenerate arrow, within the button.
  paper(16, 16);
  TuiNavBarScrollButtonsPainter::Class()->DrawBottomButton(c(), TRect{0, 0, 16, 3}, nullptr, clWhite, clWhite, 255,
                                                           255, gmHorizontal, clNone, {});
  for (int y = 3; y < 16; ++y) EXPECT_EQ(rowMarks(y, 0, 16).find('x'), std::string::npos) << y;
}

TEST_F(HelperPainters, ThemedScrollButtonsIgnoreTheDisabledStateAndFallBackWithoutATheme) {
  const auto draw = [&](TuiNavBarDrawStates state) {
    paper(16, 16, clWhite);
    TuiNavBarXPScrollButtonsPainter::Class()->DrawBottomButton(c(), TRect{0, 0, 16, 16}, nullptr, clWhite, clWhite,
                                                               255, 255, gmHorizontal, clNone, state);
    std::vector<TColor> all;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) all.push_back(px(x, y));
    SelectClipRgn(c()->Handle(), nullptr);
    return all;
  };
  start(ModuleProfile::Themed);
  const std::vector<TColor> normal = draw({}), disabled = draw({nbsDisabled});
  EXPECT_EQ(normal, disabled) << "no themed look for disabled";
  paper(16, 16, clWhite);
  TuiNavBarScrollButtonsPainter::Class()->DrawBottomButton(c(), TRect{0, 0, 16, 16}, nullptr, clWhite, clWhite, 255,
                                                           255, gmHorizontal, clNone, {});
  std::vector<TColor> classic;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) classic.push_back(px(x, y));
  EXPECT_NE(normal, classic) << "the theme's part, not the classic arrow";
  // The themed draw leaves the button out of the clip region.
  paper(20, 20, clWhite);
  TuiNavBarXPScrollButtonsPainter::Class()->DrawTopButton(c(), TRect{0, 0, 16, 16}, nullptr, clWhite, clWhite, 255,
                                                          255, gmHorizontal, clNone, {});
  c()->Brush()->SetColor(clRed);
  c()->FillRect(TRect{0, 0, 20, 20});
  EXPECT_NE(px(5, 5), clRed);
  EXPECT_EQ(px(18, 18), clRed);
}

TEST_F(HelperPainters, ThemedPaintersDrawTheClassicLookWithoutVisualStyles) {
  start();
  EXPECT_FALSE(TuiNavBarXPPainter::DrawThemeElement(c(), TRect{0, 0, 10, 10}, thkButton, 1, 1));
  const auto pixels = [&](TuiBaseButtonPainterClass P) {
    paper(12, 10);
    P->DrawButton(c(), TRect{0, 0, 10, 8}, nullptr, clBtnFace, clBtnFace, 255, 255, gmHorizontal, clNone,
                  {nbsHotTracked});
    std::vector<TColor> all;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 12; ++x) all.push_back(px(x, y));
    return all;
  };
  EXPECT_EQ(pixels(TuiNavBarXPButtonPainter::Class()), pixels(TuiNavBarOfficeButtonPainter::Class()));
  EXPECT_EQ(pixels(TuiNavBarXPExplorerBarButtonPainter::Class()), pixels(TuiNavBarExplorerButtonPainter::Class()));
}

// --- signs --------------------------------------------------------------------------

// On an 18-pixel sign cx = 8, cy = 9: the expanded group's chevrons point
// up, their apex alone on row 5; the collapsed group's point down, the
// apex alone on row 13.
TEST_F(HelperPainters, TheExplorerBarSignIsADoubleChevronMirroredWhenCollapsed) {
  start();
  struct Row {
    TuiNavBarDrawStates state;
    const char* row5;
    const char* row13;
  };
  const Row table[] = {{{nbsExpanded}, "........x.........", ".................."},
                       {{}, "..................", "........x........."}};
  for (const Row& r : table) {
    paper(18, 18);
    TuiNavBarExplorerBarSignPainter::Class()->DrawSign(c(), TRect{0, 0, 18, 18}, clBlack, clNone, clNone, r.state);
    EXPECT_EQ(rowMarks(5, 0, 18), r.row5);
    EXPECT_EQ(rowMarks(13, 0, 18), r.row13);
    EXPECT_EQ(px(0, 0), kPaper) << "no frame unless hot";
  }
  paper(18, 18);
  TuiNavBarExplorerBarSignPainter::Class()->DrawSign(c(), TRect{0, 0, 18, 18}, clBlack, clNone, clNone,
                                                     {nbsHotTracked});
  EXPECT_NE(px(0, 0), kPaper) << "the raised frame";
}

// The sign bitmap's pure blue takes the sign colour; the magenta key stays
// out; expanded groups show the collapse bitmap.
TEST_F(HelperPainters, TheAdvancedSignPaintsItsBitmapsBlueInTheSignColour) {
  start();
  AddRefExplorerBarColors();
  const TColor sign = rgb(0, 128, 0);
  for (bool expanded : {true, false}) {
    SCOPED_TRACE(expanded);
    TBitmap* source = expanded ? ExplorerBarCollapseSignBitmap() : ExplorerBarExpandSignBitmap();
    ASSERT_NE(source, nullptr);
    paper(22, 22);
    TuiBaseSignPainterClass painter = TuiNavBarAdvExplorerBarSignPainter::Class();
    painter->DrawSign(c(), TRect{0, 0, 22, 22}, sign, clNone, clNone,
                      expanded ? TuiNavBarDrawStates{nbsExpanded} : TuiNavBarDrawStates{});
    int blue = 0;
    for (int y = 0; y < 22; ++y)
      for (int x = 0; x < 22; ++x) {
        const COLORREF s = ColorToRGB(source->Canvas()->Pixels(x, y));
        const TColor expected = s == RGB(0, 0, 255)       ? sign
                                : s == RGB(255, 0, 255)   ? kPaper
                                : s == RGB(255, 255, 255) ? clWhite
                                                          : clNone;
        blue += s == RGB(0, 0, 255);
        if (expected != clNone) {
          EXPECT_EQ(px(x, y), expected) << x << "," << y;
        }
      }
    EXPECT_GT(blue, 10);
  }
  ReleaseExplorerBarColors();
}

// Without its bitmaps (nobody holds the set) a sign painter reads nothing
// and draws nothing.
TEST_F(HelperPainters, SignPaintersDrawNothingWithoutTheirBitmaps) {
  start();
  ASSERT_EQ(ExplorerBarCollapseSignBitmap(), nullptr);
  for (TuiBaseSignPainterClass P :
       {static_cast<TuiBaseSignPainterClass>(TuiNavBarAdvExplorerBarSignPainter::Class()),
        static_cast<TuiBaseSignPainterClass>(TuiNavBarOffice11SignPainter::Class())})
    for (TuiNavBarDrawStates state : {TuiNavBarDrawStates{}, TuiNavBarDrawStates{nbsExpanded}}) {
      paper(22, 22);
      P->DrawSign(c(), TRect{0, 0, 22, 22}, clBlack, clRed, clBlue, state);
      for (int y = 0; y < 22; ++y) EXPECT_EQ(rowMarks(y, 0, 22), std::string(22, '.'));
    }
}

// The Office 11 sign runs from colour 1 on its brightest shade to colour 2
// on its darkest; black and the key stay. A sign of one shade has no range:
// colour 1, not the result of a division by zero.
TEST_F(HelperPainters, TheOffice11SignSpreadsItsShadesFromColour1ToColour2) {
  start();
  AddRefOffice11ViewColors();
  TBitmap* sign = Office11CollapseSignBitmap();
  ASSERT_NE(sign, nullptr);
  sign->SetPixelFormat(pf32bit);
  struct Row {
    int light, dark;
    TColor atLight, atDark;
  };
  const Row table[] = {{200, 50, clRed, clBlue}, {120, 120, clRed, clRed}};
  for (const Row& r : table) {
    sign->Canvas()->SetPixels(2, 2, rgb(r.light, r.light, r.light));
    sign->Canvas()->SetPixels(3, 2, rgb(r.dark, r.dark, r.dark));
    paper(16, 16);
    TuiNavBarOffice11SignPainter::Class()->DrawSign(c(), TRect{0, 0, 16, 16}, clNone, clRed, clBlue, {nbsExpanded});
    EXPECT_EQ(ColorToRGB(px(2, 2)), ColorToRGB(GetNearestScreenColor(r.atLight))) << r.light;
    EXPECT_EQ(ColorToRGB(px(3, 2)), ColorToRGB(GetNearestScreenColor(r.atDark))) << r.dark;
    EXPECT_EQ(px(0, 0), kPaper);
  }
  ReleaseOffice11ViewColors();
}

// --- hints, images and drop targets ---------------------------------------------------

TEST_F(HelperPainters, NothingIsDrawnForAnEmptyHintOrAnImageOutsideTheList) {
  start();
  paper(20, 20);
  TuiNavBarHintPainter::Class()->DrawHint(c(), TRect{0, 0, 20, 20}, "", nullptr, clRed, clRed, 255, 255,
                                          gmHorizontal, nullptr);
  TCustomImageList list(4, 4);
  TBitmap picture;
  picture.SetSize(4, 4);
  picture.Canvas()->Brush()->SetColor(clLime);
  picture.Canvas()->FillRect(TRect{0, 0, 4, 4});
  list.Add(&picture, nullptr);
  for (int index : {-1, 1}) TuiNavBarImagePainter::Class()->DrawImage(c(), &list, index, TRect{2, 2, 6, 6}, true);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(rowMarks(y, 0, 20), std::string(20, '.'));
  TuiNavBarImagePainter::Class()->DrawImage(c(), &list, 0, TRect{2, 2, 6, 6}, true);
  EXPECT_EQ(px(2, 2), clLime);
  EXPECT_EQ(px(5, 5), clLime);
  EXPECT_EQ(px(6, 6), kPaper);
}

TEST_F(HelperPainters, TheLinkDropMarkIsTwoTrianglesJoinedByALine) {
  start();
  paper(30, 12);
  TuiNavBarDropTargetLinkPainter::Class()->DrawDropTargetLink(c(), {4, 5}, {0, 1}, {0, 9}, {24, 5}, {28, 1}, {28, 9},
                                                              clBlack);
  EXPECT_EQ(px(1, 5), clBlack) << "left triangle";
  EXPECT_EQ(px(27, 5), clBlack) << "right triangle";
  EXPECT_EQ(px(14, 5), clBlack) << "the joining line";
  EXPECT_EQ(px(14, 3), kPaper);
}

// The themed explorer bar's sign: over a loaded caption bitmap, its own
// alpha blends it onto the canvas, each channel ((sign a + (255 - a)
// canvas) >> 8) + 1; without the theme the classic chevrons stand in.
TEST_F(HelperPainters, TheThemedExplorerSignBlendsTheShellBitmapByItsAlpha) {
  profile().shellStyle = true;
  start(ModuleProfile::Themed);
  AddRefXPExplorerBarStyle();
  TBitmap* shell = ShellStyleBitmap(ssbCollapse);
  ASSERT_NE(shell, nullptr);
  ASSERT_NE(ShellStyleBitmap(ssbCaptionBackground), nullptr);
  TBitmap sign;
  sign.SetPixelFormat(pf32bit);
  sign.SetSize(shell->Width(), shell->Height());
  BitBlt(sign.Canvas()->Handle(), 0, 0, shell->Width(), shell->Height(), shell->Canvas()->Handle(), 0, 0, SRCCOPY);
  paper(30, 30);
  TuiNavBarXPExplorerBarSignPainter::Class()->DrawSign(c(), TRect{2, 2, 24, 24}, clBlack, clNone, clNone,
                                                       {nbsExpanded});
  int blended = 0;
  for (int y = 0; y < sign.Height(); ++y) {
    const DWORD* line = static_cast<const DWORD*>(sign.ScanLine(y));
    for (int x = 0; x < sign.Width(); ++x) {
      const DWORD a = line[x] >> 24;
      const auto channel = [&](int shift) {
        return static_cast<int>((((((line[x] >> shift) & 0xFF) * a + (255 - a) * 128) >> 8) + 1) & 0xFF);
      };
      const TColor expected = rgb(channel(16), channel(8), channel(0));
      blended += a > 0;
      EXPECT_EQ(px(2 + x, 2 + y), expected) << x << "," << y;
    }
  }
  EXPECT_GT(blended, 0);
  EXPECT_EQ(px(1, 1), kPaper);
  ReleaseXPExplorerBarStyle();
}

TEST_F(HelperPainters, TheThemedExplorerPaintersFallBackWithoutTheTheme) {
  profile().shellStyle = true;
  start();
  AddRefXPExplorerBarStyle();
  const auto pixels = [&](TuiBaseSignPainterClass P) {
    paper(22, 22);
    P->DrawSign(c(), TRect{0, 0, 18, 18}, clBlack, clNone, clNone, {nbsExpanded});
    std::vector<TColor> all;
    for (int y = 0; y < 22; ++y)
      for (int x = 0; x < 22; ++x) all.push_back(px(x, y));
    return all;
  };
  EXPECT_EQ(pixels(TuiNavBarXPExplorerBarSignPainter::Class()), pixels(TuiNavBarExplorerBarSignPainter::Class()));
  paper(10, 10);
  TuiNavBarXPExplorerBarBackgroundPainter::Class()->DrawBackground(c(), TRect{0, 0, 10, 10}, nullptr, true, clRed,
                                                                   clBlue, clBlue, 255, 255, gmVertical);
  EXPECT_EQ(px(5, 5), clBlue);
  ReleaseXPExplorerBarStyle();
}

class HelperPaintersDropGroup : public HelperPainters, public ::testing::WithParamInterface<bool> {};

// With GDI+ a translucent fill, else a frame of a two-pixel pen in colour 1.
TEST_P(HelperPaintersDropGroup, TheGroupDropMarkIsATranslucentFillOrAFrame) {
  start(ModuleProfile::Absent, GetParam());
  paper(20, 20);
  TuiNavBarDropTargetGroupPainter::Class()->DrawDropTargetGroup(c(), TRect{2, 2, 18, 18}, clBlue, clBlue, 60, 60,
                                                                gmHorizontal);
  if (GetParam()) {
    EXPECT_NE(px(10, 10), kPaper);
    EXPECT_NE(px(10, 10), clBlue) << "translucent";
  } else {
    EXPECT_EQ(px(10, 10), kPaper);
    // The two-pixel pen is centred on the outline's thin line, the odd pixel
    // to the top left: columns 1-2 and 16-17, rows 1-2 and 16-17.
    const int row[] = {0, 1, 2, 3, 15, 16, 17, 18};
    const bool blue[] = {false, true, true, false, false, true, true, false};
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(px(row[i], 10) == clBlue, blue[i]) << "column " << row[i];
      EXPECT_EQ(px(10, row[i]) == clBlue, blue[i]) << "row " << row[i];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(WithAndWithout, HelperPaintersDropGroup, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "GdiPlus" : "Gdi"; });

}  // namespace
