// The radio button glyphs generated for every look from the platform's own
// radio button: their keys, their class colours and their regeneration.
#include <gtest/gtest.h>

#include <string>

#include "DesktopTest.h"
#include "PainterSurface.h"
#include "lookandfeel/lkLookAndFeelPainters.h"
#include "lookandfeel/uiOffice11.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/Window.h"

namespace {

using qvtest::rawPixels;
using qvtest::Surface;

class RadioGlyphs : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    qv::classlib::InitializeUnit(lkLookAndFeelPaintersUnit);
  }
  void TearDown() override {
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }
  // The glyph drawn on a red surface: what shows at a point of the glyph.
  static COLORREF pixel(TlkLookAndFeelKind kind, TlkPartDrawState state, bool checked, bool flagA, bool flagB,
                      int x, int y) {
    Surface s(12, 12, clRed);
    SharedRadioGlyphs()->PaintGlyph(s.get(), 0, 0, kind, state, checked, flagA, flagB, clDefault);
    return ColorToRGB(s->Canvas()->Pixels(x, y));
  }
};

// The platform's glyph is 12 x 12 in its 13 x 13 cell: ring at the edge, the
// dot in the middle, the body between.
constexpr int kCentre = 6;
constexpr int kBody = 3;  // on the row through the centre, inside the ring
constexpr int kRingLeft = 0;

TEST_F(RadioGlyphs, KeysRunFromZeroTo127AndEveryKeyHasItsImage) {
  EXPECT_EQ(TlkRadioButtonImageList::GlyphKey(lfFlat, pdsNormal, false, false, false), 0);
  EXPECT_EQ(TlkRadioButtonImageList::GlyphKey(lfOffice11, pdsDisabled, true, true, true), 127);
  EXPECT_EQ(TlkRadioButtonImageList::GlyphKey(lfStandard, pdsHot, true, false, true), 2 + 8 + 4 + 32 - 1);
  TlkRadioButtonImageList* glyphs = SharedRadioGlyphs();
  EXPECT_EQ(glyphs->Count(), 128);
  EXPECT_EQ(glyphs->ImageSize().x, 12);
  EXPECT_EQ(glyphs->ImageSize().y, 12);
  EXPECT_EQ(glyphs->GlyphIndex(lfFlat, pdsDefault, false, false, false), -1);
  EXPECT_EQ(SharedRadioGlyphs(), glyphs) << "one shared cache";
  EXPECT_EQ(TlkFlatLookAndFeelPainter::Class()->RadioGlyphExtent().x, 12);
}

TEST_F(RadioGlyphs, TheDotHasTheBodyColourUnlessChecked) {
  struct Row {
    TlkLookAndFeelKind kind;
    TlkPartDrawState state;
    bool checked;
    TColor dot, body;
  };
  const TColor office11Disabled = Office11ColorSet()[52];
  const Row table[] = {
      {lfStandard, pdsNormal, false, clWindow, clWindow},
      {lfStandard, pdsNormal, true, clWindowText, clWindow},
      {lfStandard, pdsPressed, false, clBtnFace, clBtnFace},
      {lfFlat, pdsDisabled, true, clBtnShadow, clBtnFace},
      {lfUltraFlat, pdsHot, false, NearestScreenColor(SystemMixColor2()), NearestScreenColor(SystemMixColor2())},
      {lfOffice11, pdsNormal, false, clWindow, clWindow},
      {lfOffice11, pdsDisabled, true, office11Disabled, clBtnFace},
      {lfOffice11, pdsHot, false, Office11ColorSet()[42], Office11ColorSet()[42]},
  };
  for (const Row& r : table) {
    SCOPED_TRACE("kind " + std::to_string(r.kind) + " state " + std::to_string(r.state));
    EXPECT_EQ(pixel(r.kind, r.state, r.checked, false, false, kCentre, kCentre), ColorToRGB(r.dot));
    EXPECT_EQ(pixel(r.kind, r.state, r.checked, false, false, kBody, kCentre), ColorToRGB(r.body));
  }
}

TEST_F(RadioGlyphs, RingsLightUpByStateAndFlags) {
  struct Row {
    TlkLookAndFeelKind kind;
    TlkPartDrawState state;
    bool flagA, flagB;
    TColor ring;
  };
  const Row table[] = {
      {lfStandard, pdsNormal, false, false, clBtnShadow},
      {lfUltraFlat, pdsNormal, false, false, clBtnShadow},
      {lfUltraFlat, pdsHot, false, false, clHighlight},
      {lfUltraFlat, pdsNormal, false, true, clHighlight},
      // Flag B lights a ring only while the glyph is enabled, flag A always.
      {lfUltraFlat, pdsDisabled, false, true, clBtnShadow},
      {lfUltraFlat, pdsDisabled, true, false, clHighlight},
      {lfOffice11, pdsNormal, false, false, clBtnText},
      {lfOffice11, pdsPressed, false, false, Office11ColorSet()[41]},
      {lfOffice11, pdsDisabled, true, true, Office11ColorSet()[52]},
  };
  for (const Row& r : table) {
    SCOPED_TRACE("kind " + std::to_string(r.kind) + " state " + std::to_string(r.state) + " flags " +
                 std::to_string(r.flagA) + std::to_string(r.flagB));
    EXPECT_EQ(pixel(r.kind, r.state, false, r.flagA, r.flagB, kRingLeft, kCentre), ColorToRGB(r.ring));
  }
}

TEST_F(RadioGlyphs, OutsideTheRoundShapeTheCanvasShowsOrTheBackgroundColour) {
  EXPECT_EQ(pixel(lfStandard, pdsNormal, false, false, false, 0, 0), ColorToRGB(clRed));
  Surface s(12, 12, clRed);
  SharedRadioGlyphs()->PaintGlyph(s.get(), 0, 0, lfStandard, pdsNormal, false, false, false, clLime);
  EXPECT_EQ(s->Canvas()->Pixels(0, 0), clLime);
  EXPECT_EQ(s->Canvas()->Pixels(kCentre, kCentre), static_cast<TColor>(ColorToRGB(clWindow)));
}

TEST_F(RadioGlyphs, TheNativePainterWithoutVisualStylesDrawsTheStandardGlyphs) {
  Surface byNative(12, 12, clRed), byStandard(12, 12, clRed);
  TlkWinXPLookAndFeelPainter::Class()->DrawRadioGlyph(byNative.get(), TPoint{0, 0}, pdsNormal, true, false, false,
                                                      clDefault);
  TlkStandardLookAndFeelPainter::Class()->DrawRadioGlyph(byStandard.get(), TPoint{0, 0}, pdsNormal, true, false,
                                                         false, clDefault);
  EXPECT_EQ(rawPixels(byNative.bitmap), rawPixels(byStandard.bitmap));
  EXPECT_EQ(TlkWinXPLookAndFeelPainter::Class()->RadioGlyphExtent().x, 12);
}

TEST_F(RadioGlyphs, AfterASystemColourChangeTheNextGlyphShowsTheNewColours) {
  ASSERT_EQ(pixel(lfStandard, pdsNormal, false, false, false, kBody, kCentre), ColorToRGB(clWindow));
  const INT element = COLOR_WINDOW;
  const COLORREF cream = RGB(255, 250, 220);
  SetSysColors(1, &element, &cream);
  SendMessage(lkSystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(pixel(lfStandard, pdsNormal, false, false, false, kBody, kCentre), cream);
}

}  // namespace
