// The painters of the looks: standard, flat, ultra-flat, Office 2003 and the
// native theme with and without visual styles. Exact pixels of the elements
// the navigation bar's scroll bar and the painters' own tables fix, as
// tables over painter and state; what a painter asks of the visual styles,
// as the stand-in recorded it.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "PainterSurface.h"
#include "lookandfeel/lkLookAndFeelPainters.h"
#include "lookandfeel/uiOffice11.h"
#include "lookandfeel/uiThemeManager.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/Window.h"

namespace {

using qv::desktop::ModuleProfile;
using qv::desktop::profile;
using qvtest::Legend;
using qvtest::rawPixels;
using qvtest::rows;
using qvtest::Surface;

using PainterClass = TlkLookAndFeelPainterClass;

PainterClass standard() { return TlkStandardLookAndFeelPainter::Class(); }
PainterClass flat() { return TlkFlatLookAndFeelPainter::Class(); }
PainterClass ultraFlat() { return TlkUltraFlatLookAndFeelPainter::Class(); }
PainterClass office11() { return TlkOffice11LookAndFeelPainter::Class(); }
PainterClass native() { return TlkWinXPLookAndFeelPainter::Class(); }

// The classic scheme's colours, as the pictures name them.
const Legend kClassic = {{clBtnFace, 'f'},   {clBtnHighlight, 'w'}, {clBtnShadow, 's'},
                         {cl3DDkShadow, 'd'}, {cl3DLight, 'l'},      {clBlack, 'k'},
                         {clWindow, 'W'},     {clHighlight, 'h'},    {clRed, 'r'}};

class Painters : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    // The classic scheme's 3-D light is its button face; a colour of its own
    // tells the rings apart.
    const INT element = COLOR_3DLIGHT;
    const COLORREF light = RGB(224, 224, 224);
    SetSysColors(1, &element, &light);
  }
  void TearDown() override {
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
    qv::modules::registerUxTheme();
  }
  // The painter unit and what it uses, on a desktop with or without visual
  // styles.
  void start(ModuleProfile styles = ModuleProfile::Absent) {
    profile().visualStyles = styles;
    profile().themesActive = styles == ModuleProfile::Themed;
    qv::modules::registerUxTheme();
    qv::classlib::InitializeUnit(lkLookAndFeelPaintersUnit);
  }
};

// --- the painters' own numbers --------------------------------------------------

TEST_F(Painters, StyleCodesKindsAndTheHotTrackingOfEachLook) {
  start();
  struct Row {
    PainterClass painter;
    const char* name;
    BYTE styleCode;
    TlkLookAndFeelKind kind;
    bool hotTrack;
  };
  const Row table[] = {
      {flat(), "TlkFlatLookAndFeelPainter", 0, lfFlat, false},
      {standard(), "TlkStandardLookAndFeelPainter", 1, lfStandard, false},
      {ultraFlat(), "TlkUltraFlatLookAndFeelPainter", 2, lfUltraFlat, true},
      {native(), "TlkWinXPLookAndFeelPainter", 3, lfStandard, true},
      {office11(), "TlkOffice11LookAndFeelPainter", 4, lfOffice11, true},
  };
  for (const Row& r : table) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.painter->ClassName(), r.name);
    EXPECT_EQ(r.painter->StyleCode(), r.styleCode);
    EXPECT_EQ(StyleCodeToLookAndFeelKind(r.painter->StyleCode()), r.kind);
    EXPECT_EQ(r.painter->ButtonsHotTrack(), r.hotTrack);
  }
  EXPECT_TRUE(native()->InheritsFrom(TlkStandardLookAndFeelPainter::StaticClass()));
  EXPECT_TRUE(office11()->InheritsFrom(TlkUltraFlatLookAndFeelPainter::StaticClass()));
}

TEST_F(Painters, MetricsOfTheClassicLooks) {
  start();
  struct Row {
    PainterClass painter;
    int frame, borderDefault, borderNormal, captionOffset, pressedShift, treeExtent, headerFrame;
    TPoint sortMark;
    int footerInset;
  };
  // Visual styles absent: the native painter measures like the standard one,
  // except where it fixes its own numbers.
  const Row table[] = {
      {standard(), 2, 3, 2, 1, 1, 12, 1, {8, 7}, 1},
      {flat(), 1, 2, 1, 1, 1, 11, 1, {8, 7}, 1},
      {ultraFlat(), 1, 2, 1, 2, 0, 11, 1, {7, 8}, 2},
      {office11(), 1, 2, 1, 2, 0, 11, 1, {7, 8}, 2},
      {native(), 2, 2, 2, 2, 0, 12, 1, {7, 8}, 1},
  };
  for (const Row& r : table) {
    SCOPED_TRACE(r.painter->ClassName());
    EXPECT_EQ(r.painter->FrameBorderWidth(), r.frame);
    EXPECT_EQ(r.painter->ButtonBorderWidth(pdsDefault), r.borderDefault);
    EXPECT_EQ(r.painter->ButtonBorderWidth(pdsNormal), r.borderNormal);
    EXPECT_EQ(r.painter->ButtonCaptionOffset(), r.captionOffset);
    EXPECT_EQ(r.painter->ButtonPressedShift(), r.pressedShift);
    EXPECT_EQ(r.painter->TreeExpandButtonExtent(), r.treeExtent);
    EXPECT_EQ(r.painter->HeaderFrameWidth(), r.headerFrame);
    EXPECT_EQ(r.painter->SortMarkExtent().x, r.sortMark.x);
    EXPECT_EQ(r.painter->SortMarkExtent().y, r.sortMark.y);
    EXPECT_EQ(r.painter->FooterCellInset(), r.footerInset);
    EXPECT_EQ(r.painter->ScrollBarMinimalThumbSize(true), 8);
  }
  EXPECT_EQ(standard()->HeaderSectionFrameWidth(pdsPressed), 1);
  EXPECT_EQ(standard()->HeaderSectionFrameWidth(pdsNormal), 2);
  EXPECT_EQ(standard()->DefaultColor37(), clWindow);
  EXPECT_EQ(native()->DefaultColor37(), static_cast<TColor>(RGB(255, 255, 213)));
  EXPECT_EQ(ultraFlat()->DefaultColor34(), clBtnShadow);
  EXPECT_EQ(ultraFlat()->CloseCrossButtonExtent().y, standard()->CloseCrossButtonExtent().y + 1);
  EXPECT_EQ(ultraFlat()->FooterDrawnSides(), static_cast<TlkBorders>(lkbRight | lkbBottom));
}

TEST_F(Painters, UltraFlatButtonGroupsHaveWiderOuterBorders) {
  start();
  struct Row {
    int index, count;
    TRect widths;
  };
  const Row table[] = {
      {0, 3, {2, 2, 1, 2}}, {1, 3, {1, 2, 1, 2}}, {2, 3, {1, 2, 2, 2}},
      // A group of one gets only the wider left border.
      {0, 1, {2, 2, 1, 2}},
  };
  for (const Row& r : table) {
    SCOPED_TRACE(std::to_string(r.index) + " of " + std::to_string(r.count));
    const TRect w = ultraFlat()->ButtonGroupBorderWidths(r.index, r.count);
    EXPECT_EQ(w.left, r.widths.left);
    EXPECT_EQ(w.top, r.widths.top);
    EXPECT_EQ(w.right, r.widths.right);
    EXPECT_EQ(w.bottom, r.widths.bottom);
  }
  const TRect w = flat()->ButtonGroupBorderWidths(0, 3);
  EXPECT_EQ(w.left + w.top + w.right + w.bottom, 4) << "the base: one border width all round";
}

// --- buttons --------------------------------------------------------------------

TEST_F(Painters, ButtonFramesOfTheClassicLooks) {
  start();
  struct Row {
    PainterClass painter;
    TlkPartDrawState state;
    std::string picture;
  };
  const Row table[] = {
      {standard(), pdsNormal, rows({"wwwwwd", "wlllsd", "wl..sd", "wl..sd", "wssssd", "dddddd"})},
      {standard(), pdsPressed, rows({"kkkkkk", "kssssk", "ks..sk", "ks..sk", "kssssk", "kkkkkk"})},
      {standard(), pdsDefault, rows({"kkkkkk", "kwwwdk", "kwlsdk", "kwssdk", "kddddk", "kkkkkk"})},
      {flat(), pdsNormal, rows({"wwwwws", "w....s", "w....s", "w....s", "w....s", "ssssss"})},
      {flat(), pdsPressed, rows({"sssssw", "s....w", "s....w", "s....w", "s....w", "wwwwww"})},
      {flat(), pdsDefault, rows({"kkkkkk", "kwwwsk", "kw..sk", "kw..sk", "kssssk", "kkkkkk"})},
      {ultraFlat(), pdsHot, rows({"hhhhhh", "h....h", "h....h", "h....h", "h....h", "hhhhhh"})},
      {ultraFlat(), pdsDisabled, rows({"ssssss", "s....s", "s....s", "s....s", "s....s", "ssssss"})},
  };
  Legend legend = kClassic;
  legend.insert(legend.begin(), {clRed, '.'});
  for (const Row& r : table) {
    SCOPED_TRACE(std::string(r.painter->ClassName()) + " state " + std::to_string(r.state));
    Surface s(6, 6, clRed);
    r.painter->DrawButtonFrame(s.get(), TRect{0, 0, 6, 6}, r.state);
    EXPECT_EQ(s.picture(legend), r.picture);
  }
}

TEST_F(Painters, UltraFlatFacesHotTrackWithHighlightMixes) {
  start();
  EXPECT_EQ(ultraFlat()->ButtonFaceColor(pdsNormal), clBtnFace);
  EXPECT_EQ(ultraFlat()->ButtonFaceColor(pdsHot), NearestScreenColor(SystemMixColor2()));
  EXPECT_EQ(ultraFlat()->ButtonFaceColor(pdsPressed), NearestScreenColor(SystemMixColor1()));
  EXPECT_NE(ultraFlat()->ButtonFaceColor(pdsHot), ultraFlat()->ButtonFaceColor(pdsPressed));
  EXPECT_EQ(ultraFlat()->ButtonGlyphColor(pdsPressed, clDefault), clHighlightText);
  EXPECT_EQ(ultraFlat()->ButtonGlyphColor(pdsDisabled, clDefault), clBtnShadow);
  EXPECT_EQ(ultraFlat()->ButtonGlyphState(pdsPressed), pdsNormal);
  const auto* uf = static_cast<const TlkUltraFlatLookAndFeelPainter*>(ultraFlat());
  EXPECT_EQ(uf->StateFrameColor(pdsNormal), clBtnShadow);
  EXPECT_EQ(uf->StateFrameColor(pdsHot), clHighlight);
  EXPECT_EQ(uf->TabFrameColor(), clBtnShadow);
  EXPECT_EQ(uf->TabEdgeColor(), clBtnText);
  EXPECT_EQ(uf->HighlightFrameColor(), clHighlight);
}

// --- scroll bars ---------------------------------------------------------------------

// One scroll bar part of a painter on a 17 x 17 surface that starts red, so
// that what a part leaves undrawn stays visible.
std::vector<DWORD> scrollPart(PainterClass APainter, TlkScrollBarArea AArea, TlkPartDrawState AState,
                              bool AHorizontal = false) {
  Surface s(17, 17, clRed);
  APainter->DrawScrollBarPart(s.get(), AHorizontal, TRect{0, 0, 17, 17}, AArea, AState);
  return rawPixels(s.bitmap);
}

TEST_F(Painters, HotScrollBarPartsLookNormalExceptInTheUltraFlatLook) {
  start();
  for (PainterClass p : {standard(), flat(), ultraFlat(), office11(), native()})
    for (TlkScrollBarArea area : {sbaTopLeftArrow, sbaBottomRightArrow, sbaThumb}) {
      SCOPED_TRACE(std::string(p->ClassName()) + " area " + std::to_string(area));
      const bool same = scrollPart(p, area, pdsHot) == scrollPart(p, area, pdsNormal);
      EXPECT_EQ(same, p != ultraFlat());
    }
}

TEST_F(Painters, DisabledThumbsAreNotDrawnInTheClassicLooks) {
  start();
  const std::vector<DWORD> untouched = scrollPart(TlkCustomLookAndFeelPainter::Class(), sbaThumb, pdsNormal);
  for (PainterClass p : {standard(), flat(), ultraFlat(), office11(), native()}) {
    SCOPED_TRACE(p->ClassName());
    EXPECT_EQ(scrollPart(p, sbaThumb, pdsDisabled), untouched);
    EXPECT_NE(scrollPart(p, sbaThumb, pdsNormal), untouched);
  }
}

TEST_F(Painters, StandardScrollBarArrowsMoveTheirGlyphAndFlattenTheirBorderWhenPressed) {
  start();
  Surface normal(9, 9, clRed), pressed(9, 9, clRed);
  standard()->DrawScrollBarPart(normal.get(), false, TRect{0, 0, 9, 9}, sbaTopLeftArrow, pdsNormal);
  standard()->DrawScrollBarPart(pressed.get(), false, TRect{0, 0, 9, 9}, sbaTopLeftArrow, pdsPressed);
  const Legend legend = kClassic;  // the glyph is black: 'k'
  // The border: raised rings when up, a flat shadow ring when pressed.
  const std::string up = normal.picture(legend), down = pressed.picture(legend);
  EXPECT_EQ(up.substr(0, 20), "ffffffffd|fwwwwwwsd|") << up;
  EXPECT_EQ(up.substr(80, 9), "ddddddddd") << up;
  EXPECT_EQ(down.substr(0, 20), "sssssssss|sfffffffs|") << down;
  EXPECT_EQ(down.substr(80, 9), "sssssssss") << down;
  // The glyph one pixel right and down.
  const auto glyphBox = [&](const std::string& picture) {
    int top = 99, left = 99;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 9; ++x)
        if (picture[static_cast<size_t>(y * 10 + x)] == 'k') top = std::min(top, y), left = std::min(left, x);
    return std::make_pair(left, top);
  };
  const auto [upLeft, upTop] = glyphBox(up);
  const auto [downLeft, downTop] = glyphBox(down);
  ASSERT_LT(upTop, 99) << up;
  EXPECT_EQ(downLeft, upLeft + 1);
  EXPECT_EQ(downTop, upTop + 1);
}

TEST_F(Painters, PageAreasShowTheNormalOrThePressedPattern) {
  start();
  const Legend legend = {{clBtnFace, 'f'}, {clBtnHighlight, 'w'}, {cl3DDkShadow, 'd'}, {clBlack, 'k'}};
  for (PainterClass p : {standard(), flat(), ultraFlat()}) {
    SCOPED_TRACE(p->ClassName());
    for (TlkPartDrawState state : {pdsNormal, pdsHot, pdsDisabled}) {
      Surface s(4, 2, clRed);
      p->DrawScrollBarPart(s.get(), true, TRect{0, 0, 4, 2}, sbaPageBefore, state);
      EXPECT_EQ(s.picture(legend), rows({"fwfw", "wfwf"}));
    }
    Surface s(4, 2, clRed);
    p->DrawScrollBarPart(s.get(), true, TRect{0, 0, 4, 2}, sbaPageAfter, pdsPressed);
    EXPECT_EQ(s.picture(legend), rows({"kdkd", "dkdk"}));
  }
}

TEST_F(Painters, PagePatternsFollowTheSystemColours) {
  start();
  const INT element = COLOR_BTNFACE;
  const COLORREF teal = RGB(0, 128, 128);
  SetSysColors(1, &element, &teal);
  SendMessage(lkSystemPaletteListenerWindow(), WM_SYSCOLORCHANGE, 0, 0);
  Surface s(2, 1, clRed);
  flat()->DrawScrollBarPart(s.get(), true, TRect{0, 0, 2, 1}, sbaPageBefore, pdsNormal);
  EXPECT_EQ(s->Canvas()->Pixels(0, 0), static_cast<TColor>(teal));
  EXPECT_EQ(s->Canvas()->Pixels(1, 0), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
}

TEST_F(Painters, FlatArrowsSitInsideTheFrameAndUltraFlatOnesUseTheWholeButton) {
  start();
  // The glyph's extent across the bar: the flat one is measured on the
  // button less its one-pixel border.
  const auto glyphWidth = [](PainterClass p) {
    Surface s(17, 17, clRed);
    p->DrawScrollBarPart(s.get(), false, TRect{0, 0, 17, 17}, sbaBottomRightArrow, pdsNormal);
    const auto px = rawPixels(s.bitmap);
    const DWORD ink = ColorToARGB(clBtnText, 0) & 0xFFFFFF;
    // Inside the one-pixel frame, which the ultra-flat look draws in the
    // glyph's colour.
    int left = 99, right = -1;
    for (int y = 1; y < 16; ++y)
      for (int x = 1; x < 16; ++x)
        if ((px[static_cast<size_t>(y * 17 + x)] & 0xFFFFFF) == ink) left = std::min(left, x), right = std::max(right, x);
    return right - left + 1;
  };
  // n = (extent - 1) div 4 + 1 pixels deep, 2n - 1 wide.
  EXPECT_EQ(glyphWidth(flat()), 2 * ((15 - 1) / 4 + 1) - 1);
  EXPECT_EQ(glyphWidth(ultraFlat()), 2 * ((17 - 1) / 4 + 1) - 1);
}

// --- the group expand button, headers and trees ------------------------------------

TEST_F(Painters, TheStandardGroupExpandButtonIsTheFlatLooksButton) {
  start();
  Surface byStandard(15, 15, clRed), byFlat(15, 15, clRed), byBase(15, 15, clRed);
  standard()->DrawGroupExpandButton(byStandard.get(), TRect{0, 0, 15, 15}, true, pdsNormal);
  flat()->DrawGroupExpandButton(byFlat.get(), TRect{0, 0, 15, 15}, true, pdsNormal);
  TlkCustomLookAndFeelPainter::Class()->DrawGroupExpandButton(byBase.get(), TRect{0, 0, 15, 15}, true, pdsNormal);
  EXPECT_EQ(rawPixels(byStandard.bitmap), rawPixels(byFlat.bitmap));
  EXPECT_NE(rawPixels(byStandard.bitmap), rawPixels(byBase.bitmap)) << "the flat frame is drawn";
}

TEST_F(Painters, HeaderNeighboursChangeOnlyTheLeftAndRightEdges) {
  start();
  Legend legend = kClassic;
  legend.insert(legend.begin(), {clRed, '.'});
  const auto frame = [&](PainterClass p, TlkBorders neighbours) {
    Surface s(5, 6, clRed);
    p->DrawHeaderFrame(s.get(), TRect{0, 0, 5, 6}, neighbours, lkAllBorders);
    return s.picture(legend);
  };
  for (PainterClass p : {standard(), flat()}) {
    SCOPED_TRACE(p->ClassName());
    EXPECT_EQ(frame(p, 0), rows({"wwwws", "w...s", "w...s", "w...s", "w...s", "sssss"}));
    EXPECT_EQ(frame(p, lkbLeft | lkbRight),
              rows({"wwwww", "f...f", "w...s", "w...s", "f...f", "sssss"}));
    EXPECT_EQ(frame(p, lkbTop | lkbBottom), frame(p, 0));
  }
}

TEST_F(Painters, TreeExpandButtonsAreExcludedFromTheClipAfterDrawing) {
  start();
  for (PainterClass p : {standard(), flat(), ultraFlat()}) {
    SCOPED_TRACE(p->ClassName());
    Surface s(13, 13, clRed);
    p->DrawTreeExpandButton(s.get(), TRect{1, 1, 12, 12}, clDefault, false);
    s->FillRectColor(TRect{0, 0, 13, 13}, clLime);
    SelectClipRgn(s->Handle(), nullptr);
    EXPECT_EQ(s->Canvas()->Pixels(0, 0), clLime);
    EXPECT_EQ(s->Canvas()->Pixels(6, 6), static_cast<TColor>(ColorToRGB(clBtnText))) << "the cross survives";
  }
}

// --- Office 2003 --------------------------------------------------------------------

TEST_F(Painters, Office2003TakesItsColoursFromTheSharedSet) {
  start();
  const TOffice11ColorSet& set = Office11ColorSet();
  // The roles' entries, once, as data.
  struct Row {
    const char* role;
    TColor got;
    int entry;
  };
  const TlkOffice11LookAndFeelPainter* p = static_cast<const TlkOffice11LookAndFeelPainter*>(office11());
  const Row table[] = {
      {"normal face", p->ButtonFaceColor(pdsNormal), 0},
      {"hot face", p->ButtonFaceColor(pdsHot), 42},
      {"pressed face", p->ButtonFaceColor(pdsPressed), 44},
      {"glyph", p->ButtonGlyphColor(pdsNormal, clDefault), 51},
      {"disabled glyph", p->ButtonGlyphColor(pdsDisabled, clDefault), 52},
      {"highlight frame", p->HighlightFrameColor(), 41},
      {"header line 1", p->HeaderLineColor1(), 58},
      {"header line 2", p->HeaderLineColor2(), 60},
      {"header line 3", p->HeaderLineColor3(), 28},
      {"shadow", p->DefaultColor5(), 57},
      {"light", p->DefaultColor6(), 61},
      {"dark header", p->DefaultColor12(), 59},
      {"default colour 34", p->DefaultColor34(), 55},
  };
  for (const Row& r : table) EXPECT_EQ(r.got, set[r.entry]) << r.role;
  EXPECT_EQ(p->ButtonFaceColor(pdsDisabled), clBtnFace);
  EXPECT_EQ(p->HeaderMixColor(), MixColorsByPercent(set[59], set[58], 50));
  EXPECT_EQ(p->DefaultColor17(), p->HeaderMixColor());
  EXPECT_EQ(p->DefaultColor9(), p->DefaultColor18());
  EXPECT_EQ(p->StateFrameColor(pdsNormal), set[60]);
  EXPECT_EQ(p->StateFrameColor(pdsHot), set[41]);
  // Without an XP scheme a pressed face is a highlight mix: its glyph is the
  // highlight text colour.
  ASSERT_FALSE(IsXPSchemeActive());
  EXPECT_EQ(p->ButtonGlyphColor(pdsPressed, clDefault), clHighlightText);
}

TEST_F(Painters, Office2003ExpandButtonsTakeTheirCornersFromTheCanvasUnderThem) {
  start();
  const TOffice11ColorSet& set = Office11ColorSet();
  for (TColor background : {clWhite, clNavy}) {
    SCOPED_TRACE(background);
    Surface s(13, 13, background);
    office11()->DrawTreeExpandButton(s.get(), TRect{1, 1, 12, 12}, clDefault, false);
    EXPECT_EQ(s->Canvas()->Pixels(1, 1),
              MixColorsByPercent(TOffice11ColorSet::ExpandButtonCornerColor1, background, 25));
    const TColor far = MixColorsByPercent(TOffice11ColorSet::ExpandButtonCornerColor2, background, 25);
    EXPECT_EQ(s->Canvas()->Pixels(11, 11), far);
    EXPECT_EQ(s->Canvas()->Pixels(1, 11), far);
    EXPECT_EQ(s->Canvas()->Pixels(11, 1), far);
    EXPECT_EQ(s->Canvas()->Pixels(6, 6), set.ExpandButtonPlusBitmap->Canvas()->Pixels(5, 5));
  }
}

// --- the native theme -----------------------------------------------------------------

TEST_F(Painters, WithoutVisualStylesTheNativePainterDrawsTheStandardLook) {
  start(ModuleProfile::Absent);
  for (TlkScrollBarArea area : {sbaTopLeftArrow, sbaBottomRightArrow, sbaThumb, sbaPageBefore, sbaPageAfter})
    for (TlkPartDrawState state : {pdsNormal, pdsHot, pdsPressed, pdsDisabled}) {
      SCOPED_TRACE("area " + std::to_string(area) + " state " + std::to_string(state));
      EXPECT_EQ(scrollPart(native(), area, state), scrollPart(standard(), area, state));
      EXPECT_EQ(scrollPart(office11(), area, state), scrollPart(standard(), area, state));
    }
  Surface a(20, 16, clRed), b(20, 16, clRed);
  native()->DrawButtonFrame(a.get(), TRect{0, 0, 20, 16}, pdsNormal);
  standard()->DrawButtonFrame(b.get(), TRect{0, 0, 20, 16}, pdsNormal);
  EXPECT_EQ(rawPixels(a.bitmap), rawPixels(b.bitmap));
  EXPECT_EQ(native()->CheckFrameWidth(), 2);
  EXPECT_TRUE(qv::modules::themeCalls().empty());
}

struct ThemedCall {
  std::string function, className;
  int part, state;
};

std::vector<ThemedCall> recordedCalls() {
  std::vector<ThemedCall> calls;
  for (const auto& c : qv::modules::themeCalls()) calls.push_back({c.function, c.className, c.part, c.state});
  return calls;
}

std::string describe(const std::vector<ThemedCall>& calls) {
  std::string s;
  for (const auto& c : calls)
    s += c.function + " " + c.className + " " + std::to_string(c.part) + "/" + std::to_string(c.state) + "; ";
  return s;
}

TEST_F(Painters, WithVisualStylesTheScrollBarIsDrawnFromTheThemesParts) {
  start(ModuleProfile::Themed);
  struct Row {
    TlkScrollBarArea area;
    bool horizontal;
    TlkPartDrawState state;
    std::string calls;
  };
  const Row table[] = {
      // Arrows: four states per heading (up, down, left, right).
      {sbaTopLeftArrow, false, pdsNormal, "DrawThemeBackground SCROLLBAR 1/1; "},
      {sbaBottomRightArrow, false, pdsHot, "DrawThemeBackground SCROLLBAR 1/6; "},
      {sbaTopLeftArrow, true, pdsPressed, "DrawThemeBackground SCROLLBAR 1/11; "},
      {sbaBottomRightArrow, true, pdsDisabled, "DrawThemeBackground SCROLLBAR 1/16; "},
      // The thumb and its gripper, drawn also when disabled.
      {sbaThumb, false, pdsNormal, "DrawThemeBackground SCROLLBAR 3/1; DrawThemeBackground SCROLLBAR 9/0; "},
      {sbaThumb, true, pdsDisabled, "DrawThemeBackground SCROLLBAR 2/4; DrawThemeBackground SCROLLBAR 8/0; "},
      // Page areas by orientation and side.
      {sbaPageBefore, false, pdsPressed, "DrawThemeBackground SCROLLBAR 6/3; "},
      {sbaPageAfter, false, pdsNormal, "DrawThemeBackground SCROLLBAR 7/1; "},
      {sbaPageBefore, true, pdsHot, "DrawThemeBackground SCROLLBAR 4/2; "},
      {sbaPageAfter, true, pdsDisabled, "DrawThemeBackground SCROLLBAR 5/4; "},
  };
  for (const Row& r : table)
    for (PainterClass p : {native(), office11()}) {
      SCOPED_TRACE(std::string(p->ClassName()) + " area " + std::to_string(r.area));
      qv::modules::clearThemeCalls();
      Surface s(17, 17, clRed);
      p->DrawScrollBarPart(s.get(), r.horizontal, TRect{0, 0, 17, 17}, r.area, r.state);
      EXPECT_EQ(describe(recordedCalls()), r.calls);
    }
  // The thumb is never shorter than the gripper's true size and four.
  EXPECT_EQ(native()->ScrollBarMinimalThumbSize(true), 17 + 4);
}

TEST_F(Painters, WithVisualStylesPaintersStatesMapToTheThemesStates) {
  start(ModuleProfile::Themed);
  struct Row {
    const char* element;
    std::function<void(TlkCanvas*, TlkPartDrawState)> draw;
    const char* className;
    int part;
    std::vector<int> states;  // for pdsDefault .. pdsDisabled
  };
  const TRect r{0, 0, 20, 20};
  const Row table[] = {
      {"push button", [&](TlkCanvas* c, TlkPartDrawState s) { native()->DrawButtonBody(c, r, s); }, "BUTTON", 1,
       {5, 1, 2, 3, 4}},
      {"navigator button", [&](TlkCanvas* c, TlkPartDrawState s) { native()->DrawNavigatorButton(c, r, s); },
       "TOOLBAR", 1, {2, 2, 5, 3, 4}},
      {"close button", [&](TlkCanvas* c, TlkPartDrawState s) { native()->DrawCloseCrossButton(c, r, s); }, "WINDOW",
       19, {1, 1, 2, 3, 4}},
      {"drop down", [&](TlkCanvas* c, TlkPartDrawState s) { native()->DrawFilterDropDown(c, r, s, false); },
       "COMBOBOX", 1, {1, 1, 2, 3, 4}},
      {"group expand", [&](TlkCanvas* c, TlkPartDrawState s) { native()->DrawGroupExpandButton(c, r, false, s); },
       "EXPLORERBAR", 7, {6, 1, 2, 3, 1}},
      {"checked box", [&](TlkCanvas* c, TlkPartDrawState s) { native()->DrawCheckMark(c, r, clDefault, true, s); },
       "BUTTON", 3, {5, 5, 6, 7, 8}},
      {"radio", [&](TlkCanvas* c, TlkPartDrawState s) {
         native()->DrawRadioGlyph(c, TPoint{0, 0}, s, false, false, false, clDefault);
       },
       "BUTTON", 2, {1, 1, 2, 3, 4}},
  };
  for (const Row& row : table) {
    SCOPED_TRACE(row.element);
    for (int state = pdsDefault; state <= pdsDisabled; ++state) {
      qv::modules::clearThemeCalls();
      Surface s(20, 20, clRed);
      row.draw(s.get(), static_cast<TlkPartDrawState>(state));
      const auto calls = recordedCalls();
      ASSERT_FALSE(calls.empty()) << "state " << state;
      EXPECT_EQ(calls[0].className, row.className);
      EXPECT_EQ(calls[0].part, row.part);
      EXPECT_EQ(calls[0].state, row.states[static_cast<size_t>(state)]) << "state " << state;
    }
  }
  // The expanded group button is part 6; the themed check box has no frame.
  qv::modules::clearThemeCalls();
  Surface s(20, 20, clRed);
  native()->DrawGroupExpandButton(s.get(), r, true, pdsHot);
  EXPECT_EQ(describe(recordedCalls()), "DrawThemeBackground EXPLORERBAR 6/2; ");
  EXPECT_EQ(native()->CheckFrameWidth(), 0);
  EXPECT_EQ(native()->TreeExpandButtonExtent(), 9);
  EXPECT_EQ(native()->GroupExpandButtonExtent(), 22);
  EXPECT_EQ(native()->RadioGlyphExtent().x, 13);
}

TEST_F(Painters, ThemedColoursComeFromTheThemesProperties) {
  start(ModuleProfile::Themed);
  HTHEME button = OpenThemeForKind(thkButton);
  HTHEME combo = OpenThemeForKind(thkComboBox);
  COLORREF fill = 0, text = 0, border = 0;
  ASSERT_EQ(uiUxTheme::GetThemeColor(button, 1, 2, 204, &fill), S_OK);
  ASSERT_EQ(uiUxTheme::GetThemeColor(button, 1, 1, 3803, &text), S_OK);
  ASSERT_EQ(uiUxTheme::GetThemeColor(combo, 1, 1, 3801, &border), S_OK);
  EXPECT_EQ(native()->ButtonFaceColor(pdsHot), static_cast<TColor>(fill));
  EXPECT_EQ(native()->ButtonGlyphColor(pdsNormal, clDefault), static_cast<TColor>(text));
  EXPECT_EQ(native()->DefaultColor34(), static_cast<TColor>(border));
  // Content insets of the push button on 100 x 100: three pixels.
  EXPECT_EQ(native()->ButtonBorderWidth(pdsNormal), 3);
}

// --- unit resources --------------------------------------------------------------------

struct CountingListener : IlkLookAndFeelPainterListener {
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  void PainterChanged() override {}
};

TEST_F(Painters, TheNamedPainterListIsEmptyAndKeepsEachListenerOnce) {
  start();
  TlkExtendedStylePainters* list = NamedPainterList();
  ASSERT_NE(list, nullptr);
  TlkLookAndFeelPainterClass found = flat();
  EXPECT_FALSE(list->FindPainterByName("Standard", found));
  EXPECT_EQ(found, flat()) << "a failed lookup leaves the output alone";
  EXPECT_EQ(list->IndexOfName(""), -1);
  CountingListener a, b;
  list->AddPainterListener(&a);
  list->AddPainterListener(&a);
  list->AddPainterListener(&b);
  EXPECT_EQ(list->PainterListenerCount(), 2);
  list->RemovePainterListener(&a);
  list->RemovePainterListener(&a);
  EXPECT_EQ(list->PainterListenerCount(), 1);
  qv::classlib::FinalizeUnits();
  EXPECT_EQ(NamedPainterList(), nullptr);
}

TEST_F(Painters, RowIndicatorGlyphsComeFromTheProgramsBitmaps) {
  start();
  TCustomImageList* images = lkRowIndicatorImages();
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(images->Count(), 6);
  Surface s(16, 16, clRed);
  standard()->DrawRowIndicatorGlyph(s.get(), TRect{0, 0, 16, 16}, 1);
  // The arrow's black, centred; the white around it lets the canvas show.
  EXPECT_EQ(s->Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(s->Canvas()->Pixels(2 + 4, 2 + 5), clBlack);
  EXPECT_EQ(s->Canvas()->Pixels(2 + 1, 2 + 1), clRed);
}

}  // namespace
