// The root painter: the class reference, the slots the scroll bar uses,
// exact pixels of a representative set of drawing slots on small memory
// bitmaps, the default colours, and descendants that override one slot.
#include "lookandfeel/lkLookAndFeelPainters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DesktopTest.h"
#include "PainterSurface.h"
#include "lookandfeel/lkGeometry.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/Metrics.h"

namespace {

using qvtest::Legend;
using qvtest::rows;
using qvtest::Surface;
using Painter = TlkCustomLookAndFeelPainter;

// A descendant that overrides nothing but its first default colour.
class TOneColourPainter : public TlkCustomLookAndFeelPainter {
  LK_PAINTER_CLASS(TOneColourPainter, TlkCustomLookAndFeelPainter)
  TColor DefaultColor1() const override { return clRed; }
};

// One that overrides the colours others follow.
class TFollowedColoursPainter : public TlkCustomLookAndFeelPainter {
  LK_PAINTER_CLASS(TFollowedColoursPainter, TlkCustomLookAndFeelPainter)
  TColor DefaultColor10() const override { return clRed; }
  TColor DefaultColor17() const override { return clLime; }
  TColor DefaultColor27() const override { return clBlue; }
};

// One with a button frame: a black ring, two pixels for a default button.
class TFramedPainter : public TlkCustomLookAndFeelPainter {
  LK_PAINTER_CLASS(TFramedPainter, TlkCustomLookAndFeelPainter)
  int ButtonBorderWidth(TlkPartDrawState AState) const override { return AState == pdsDefault ? 2 : 1; }
  TColor ButtonFaceColor(TlkPartDrawState AState) const override { return AState == pdsHot ? clYellow : clBtnFace; }
  void DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override {
    ACanvas->FrameRect(R, clBlack, ButtonBorderWidth(AState));
  }
};

// One whose bar parts fill their rects.
class TBarPainter : public TlkCustomLookAndFeelPainter {
  LK_PAINTER_CLASS(TBarPainter, TlkCustomLookAndFeelPainter)
  void DrawBarFirstPart(TlkCanvas* ACanvas, const TRect& R) const override { ACanvas->FillRectColor(R, clRed); }
  void DrawBarSecondPart(TlkCanvas* ACanvas, const TRect& R) const override { ACanvas->FillRectColor(R, clBlue); }
};

class PainterTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    qv::classlib::InitializeUnit(lkLookAndFeelPaintersUnit);
  }
  void TearDown() override {
    qv::classlib::FinalizeUnits();
    qvtest::DesktopTest::TearDown();
  }
  TlkLookAndFeelPainterClass base = TlkCustomLookAndFeelPainter::Class();
};

// --- the class reference ------------------------------------------------------

TEST_F(PainterTest, APainterClassIsOneInstanceWithTheClassLibrarysIdentity) {
  EXPECT_EQ(TlkCustomLookAndFeelPainter::Class(), base);
  EXPECT_EQ(base->ClassName(), "TlkCustomLookAndFeelPainter");
  EXPECT_EQ(base->ClassParent(), TObject::StaticClass());
  // Nothing makes a second instance, not even the class reference.
  EXPECT_EQ(TlkCustomLookAndFeelPainter::StaticClass()->Create(), nullptr);

  TlkLookAndFeelPainterClass derived = TOneColourPainter::Class();
  EXPECT_NE(derived, base);
  EXPECT_EQ(derived->ClassName(), "TOneColourPainter");
  EXPECT_TRUE(derived->InheritsFrom(TlkCustomLookAndFeelPainter::StaticClass()));
  EXPECT_FALSE(base->InheritsFrom(TOneColourPainter::StaticClass()));
}

// --- what the scroll bar uses --------------------------------------------------

TEST_F(PainterTest, ScrollBarSlotsAnswerNoHotTrackingAndAnEightPixelThumbAndDrawNothing) {
  EXPECT_FALSE(base->ButtonsHotTrack());
  EXPECT_EQ(base->ScrollBarMinimalThumbSize(true), 8);
  EXPECT_EQ(base->ScrollBarMinimalThumbSize(false), 8);

  // Whatever the area and state, the off-screen bitmap keeps what it held.
  Surface s(12, 12, clLime);
  const std::string before = s.picture({{clLime, 'g'}});
  for (bool horizontal : {false, true})
    for (int area = sbaNone; area <= sbaPageAfter; ++area)
      for (int state = pdsDefault; state <= pdsDisabled; ++state)
        base->DrawScrollBarPart(s.get(), horizontal, TRect{0, 0, 12, 12}, static_cast<TlkScrollBarArea>(area),
                                static_cast<TlkPartDrawState>(state));
  EXPECT_EQ(s.picture({{clLime, 'g'}}), before);
}

TEST_F(PainterTest, RoutinesMapStyleCodesAndScrollBarArrows) {
  const std::pair<BYTE, TlkLookAndFeelKind> kinds[] = {
      {0, lfFlat}, {1, lfStandard}, {2, lfUltraFlat}, {3, lfStandard}, {4, lfOffice11}, {9, lfStandard}};
  for (const auto& [code, kind] : kinds) EXPECT_EQ(StyleCodeToLookAndFeelKind(code), kind) << int(code);
  EXPECT_EQ(StyleCodeToLookAndFeelKind(base->StyleCode()), lfStandard);

  EXPECT_EQ(ScrollBarArrowHeading(false, sbaTopLeftArrow), ahUp);
  EXPECT_EQ(ScrollBarArrowHeading(false, sbaBottomRightArrow), ahDown);
  EXPECT_EQ(ScrollBarArrowHeading(true, sbaTopLeftArrow), ahLeft);
  EXPECT_EQ(ScrollBarArrowHeading(true, sbaBottomRightArrow), ahRight);
}

// --- values ----------------------------------------------------------------------

TEST_F(PainterTest, MetricsAndColoursOfTheBase) {
  const std::pair<int, int> ints[] = {
      {base->StyleCode(), 1},
      {base->FrameBorderWidth(), 0},
      {base->ButtonBorderWidth(pdsDefault), 0},
      {base->ButtonCaptionOffset(), 0},
      {base->ButtonPressedShift(), 0},
      {base->TreeExpandButtonExtent(), 0},
      {base->GroupExpandButtonExtent(), 15},
      {base->SmallExpandButtonExtent(), 9},
      {base->CheckFrameWidth(), 2},
      {base->HeaderFrameWidth(), 0},
      {base->HeaderHeightForFont(13), 17},
      {base->HeaderSectionFrameWidth(pdsPressed), 1},
      {static_cast<int>(base->HeaderDrawnSides(lkbLeft)), 15},
      {static_cast<int>(base->FooterDrawnSides()), 15},
      {base->FooterSeparatorLineWidth(), 1},
      {base->PopupFrameKind(), 1},
      {base->SplitterOption(), 1},
  };
  for (size_t i = 0; i < std::size(ints); ++i) EXPECT_EQ(ints[i].first, ints[i].second) << "row " << i;

  const std::pair<TPoint, TPoint> sizes[] = {
      {base->CheckBoxExtent(), {13, 13}},  // a cell of the platform's check box bitmap
      {base->FilterCheckBoxExtent(), {13, 13}},
      {base->CloseCrossButtonExtent(), {16, 14}},
      {base->FilterDropDownExtent(), {15, 0}},
      {base->SortMarkAreaSize(), {16, 0}},
      {base->ScrollBarSystemExtent(), {GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}},
  };
  for (size_t i = 0; i < std::size(sizes); ++i) {
    EXPECT_EQ(sizes[i].first.x, sizes[i].second.x) << "size " << i;
    EXPECT_EQ(sizes[i].first.y, sizes[i].second.y) << "size " << i;
  }

  EXPECT_EQ(base->ButtonGlyphColor(pdsDisabled, clRed), clBtnShadow);
  EXPECT_EQ(base->ButtonGlyphColor(pdsNormal, clDefault), clBtnText);
  EXPECT_EQ(base->ButtonGlyphColor(pdsHot, clRed), clRed);
  EXPECT_EQ(base->CheckFaceColor(pdsHot), clWindow);
  EXPECT_EQ(base->CheckFaceColor(pdsPressed), clBtnFace);
  EXPECT_EQ(base->CheckFaceColor(pdsDisabled), clBtnFace);
  EXPECT_EQ(base->FooterSeparatorLineColor(), clBtnShadow);

  // Deflating an 8 x 8 rect by 4 leaves nothing: the focus is the button.
  EXPECT_TRUE(RectsEqual(base->ButtonFocusBounds(nullptr, TRect{0, 0, 8, 8}), TRect{0, 0, 8, 8}));
  EXPECT_TRUE(RectsEqual(base->ButtonFocusBounds(nullptr, TRect{0, 0, 10, 9}), TRect{4, 4, 6, 5}));
}

TEST_F(PainterTest, DefaultColoursAsATable) {
  using Slot = TColor (TlkCustomLookAndFeelPainter::*)() const;
  const Slot slots[59] = {
      &Painter::DefaultColor1,  &Painter::DefaultColor2,  &Painter::DefaultColor3,  &Painter::DefaultColor4,
      &Painter::DefaultColor5,  &Painter::DefaultColor6,  &Painter::DefaultColor7,  &Painter::DefaultColor8,
      &Painter::DefaultColor9,  &Painter::DefaultColor10, &Painter::DefaultColor11, &Painter::DefaultColor12,
      &Painter::DefaultColor13, &Painter::DefaultColor14, &Painter::DefaultColor15, &Painter::DefaultColor16,
      &Painter::DefaultColor17, &Painter::DefaultColor18, &Painter::DefaultColor19, &Painter::DefaultColor20,
      &Painter::DefaultColor21, &Painter::DefaultColor22, &Painter::DefaultColor23, &Painter::DefaultColor24,
      &Painter::DefaultColor25, &Painter::DefaultColor26, &Painter::DefaultColor27, &Painter::DefaultColor28,
      &Painter::DefaultColor29, &Painter::DefaultColor30, &Painter::DefaultColor31, &Painter::DefaultColor32,
      &Painter::DefaultColor33, &Painter::DefaultColor34, &Painter::DefaultColor35, &Painter::DefaultColor36,
      &Painter::DefaultColor37, &Painter::DefaultColor38, &Painter::DefaultColor39, &Painter::DefaultColor40,
      &Painter::DefaultColor41, &Painter::DefaultColor42, &Painter::DefaultColor43, &Painter::DefaultColor44,
      &Painter::DefaultColor45, &Painter::DefaultColor46, &Painter::DefaultColor47, &Painter::DefaultColor48,
      &Painter::DefaultColor49, &Painter::DefaultColor50, &Painter::DefaultColor51, &Painter::DefaultColor52,
      &Painter::DefaultColor53, &Painter::DefaultColor54, &Painter::DefaultColor55, &Painter::DefaultColor56,
      &Painter::DefaultColor57, &Painter::DefaultColor58, &Painter::DefaultColor59};
  const TColor W = clWindow, WT = clWindowText, S = clBtnShadow, H = clBtnHighlight, T = clBtnText, F = clBtnFace;
  const TColor expected[59] = {
      W,  W,  W,  WT, S,  H,  T,  F,  T,  S,                                        // 1-10
      S,  F,  F,  T,  S,  F,  F,  T,  clBlue, F,                                    // 11-20
      T,  clBlue, S, F, F, clDefault, clBlack, clBlack, F, clHighlight,             // 21-30
      clHighlightText, W, WT, static_cast<TColor>(RGB(161, 157, 157)), F, F,        // 31-36
      static_cast<TColor>(RGB(255, 255, 213)), WT, clHighlight, clHighlightText,    // 37-40
      F,  F,  T,  F,  clWhite, clBlack, F, T, clWhite, clBlack,                     // 41-50
      clBlack, clBlack, static_cast<TColor>(RGB(207, 207, 207)), clWhite, S,        // 51-55
      static_cast<TColor>(RGB(166, 202, 240)), clNavy, S, S};                       // 56-59
  // Each slot's pointer is taken into a local before the call: GCC 12 under
  // UBSan miscompiles a call straight through an element of the array.
  for (int i = 0; i < 59; ++i) {
    const auto slot = slots[i];
    EXPECT_EQ((base->*slot)(), expected[i]) << "DefaultColor" << i + 1;
  }

  // An override changes its slot and those that follow it, nothing else.
  const auto changed = [&](TlkLookAndFeelPainterClass painter) {
    std::vector<int> result;
    for (int i = 0; i < 59; ++i) {
      const auto slot = slots[i];
      if ((painter->*slot)() != (base->*slot)()) result.push_back(i + 1);
    }
    return result;
  };
  EXPECT_EQ(changed(TOneColourPainter::Class()), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(changed(TFollowedColoursPainter::Class()), (std::vector<int>{10, 17, 23, 25, 27, 28}));
}

// --- arrows ------------------------------------------------------------------------

TEST_F(PainterTest, FilledArrowsPointEachWayInTheirSquare) {
  const Legend legend = {{clWhite, '.'}, {clRed, '#'}};
  struct Case {
    TlkArrowHeading heading;
    std::string picture;
  };
  // A 13 x 9 rect: the square is columns 2 to 10, n = 3. The platform
  // fills the pixels whose top-left corners lie inside the triangle, right
  // and bottom edges out, so the fill keeps within the three sides the pen
  // strokes and the arrows come out symmetric.
  const Case cases[] = {
      {ahUp, rows({".............", ".............", ".............", "......#......", ".....###.....",
                   "....#####....", ".............", ".............", "............."})},
      {ahDown, rows({".............", ".............", ".............", "....#####....", ".....###.....",
                     "......#......", ".............", ".............", "............."})},
      {ahLeft, rows({".............", ".............", ".......#.....", "......##.....", ".....###.....",
                     "......##.....", ".......#.....", ".............", "............."})},
      {ahRight, rows({".............", ".............", ".....#.......", ".....##......", ".....###.....",
                      ".....##......", ".....#.......", ".............", "............."})},
  };
  for (const Case& c : cases) {
    Surface s(13, 9, clWhite);
    base->DrawFilledArrow(s.get(), TRect{0, 0, 13, 9}, clRed, c.heading);
    EXPECT_EQ(s.picture(legend), c.picture) << int(c.heading);
  }
}

TEST_F(PainterTest, ArrowButtonsUseTheWholeRectAndStateArrowsEmbossWhenDisabled) {
  const Legend legend = {{clWhite, '.'}, {clBtnFace, 'f'}, {clBtnText, '#'}, {clBtnShadow, 's'}, {clLime, 'g'}};
  // Not square-fitted: n = 4 from the width 13; the apex row is
  // half(9 - 4) = 3, halves rounding away from zero.
  Surface button(13, 9, clWhite);
  base->DrawArrowButton(button.get(), TRect{0, 0, 13, 9}, false, ahUp, pdsNormal);
  EXPECT_EQ(button.picture(legend), rows({"fffffffffffff", "fffffffffffff", "fffffffffffff", "ffffff#ffffff",
                                          "fffff###fffff", "ffff#####ffff", "fff#######fff", "fffffffffffff",
                                          "fffffffffffff"}));

  // Disabled: the highlight copy one pixel right and down, the shadow over it.
  Surface arrow(9, 9, clLime);
  base->DrawStateArrow(arrow.get(), TRect{0, 0, 9, 9}, ahUp, pdsDisabled);
  EXPECT_EQ(arrow.picture({{clLime, 'g'}, {clBtnHighlight, 'h'}, {clBtnShadow, 's'}}),
            rows({"ggggggggg", "ggggggggg", "ggggggggg", "ggggsgggg", "gggsssggg", "ggsssssgg", "ggghhhhhg",
                  "ggggggggg", "ggggggggg"}));
}

TEST_F(PainterTest, DropDownGlyphIsAnOddTriangleCentredLow) {
  Surface s(10, 8, clWhite);
  // a = 5, b = 3; first point (2, half(8 - 3) = 3).
  base->DrawDropDownGlyph(s.get(), TRect{0, 0, 10, 8}, clRed);
  EXPECT_EQ(s.picture({{clWhite, '.'}, {clRed, '#'}}),
            rows({"..........", "..........", "..........", "..#####...", "...###....", "....#.....",
                  "..........", ".........."}));
}

// --- buttons -----------------------------------------------------------------------

TEST_F(PainterTest, PushButtonsFrameThenFillInsideTheStatesBorder) {
  const Legend legend = {{clBlack, 'K'}, {clBtnFace, 'f'}, {clYellow, 'y'}};
  TlkLookAndFeelPainterClass framed = TFramedPainter::Class();
  struct Case {
    TlkPartDrawState state;
    std::string picture;
  };
  const Case cases[] = {
      {pdsDefault, rows({"KKKKKK", "KKKKKK", "KKffKK", "KKffKK", "KKKKKK", "KKKKKK"})},
      {pdsNormal, rows({"KKKKKK", "KffffK", "KffffK", "KffffK", "KffffK", "KKKKKK"})},
      {pdsHot, rows({"KKKKKK", "KyyyyK", "KyyyyK", "KyyyyK", "KyyyyK", "KKKKKK"})},
      {pdsPressed, rows({"KKKKKK", "KffffK", "KffffK", "KffffK", "KffffK", "KKKKKK"})},
  };
  for (const Case& c : cases) {
    Surface s(6, 6, clWhite);
    framed->DrawCaptionlessButton(s.get(), TRect{0, 0, 6, 6}, c.state, 1, 0, clDefault);
    EXPECT_EQ(s.picture(legend), c.picture) << int(c.state);
  }
  // The base has no frame: its body is the face alone, in every state.
  for (int state = pdsDefault; state <= pdsDisabled; ++state) {
    Surface s(4, 3, clWhite);
    base->DrawButtonBody(s.get(), TRect{0, 0, 4, 3}, static_cast<TlkPartDrawState>(state));
    EXPECT_EQ(s.picture(legend), "ffff|ffff|ffff") << state;
  }
}

TEST_F(PainterTest, CaptionsOfOddOrSmallButtonsSitOnePixelHigher) {
  // The caption rect loses its last row on odd heights and gains a row
  // above below 18 pixels: 16 and 17 lay out alike, as do 18 and 19, and
  // 17 sits one pixel above 18.
  int top[20] = {};
  for (int height : {16, 17, 18, 19}) {
    Surface s(40, height, clWhite);
    base->DrawPushButton(s.get(), TRect{0, 0, 40, height}, "Ab", pdsNormal, true, clWhite, clBlack, false);
    top[height] = s.inkRows(clWhite).first;
  }
  EXPECT_EQ(top[16], top[17]);
  EXPECT_EQ(top[18], top[19]);
  EXPECT_EQ(top[17] + 1, top[18]);
}

TEST_F(PainterTest, CheckBoxesFillTheFaceAndDrawAThreePixelTick) {
  const Legend legend = {{clLime, '.'}, {clWindow, 'w'}, {clBtnFace, 'f'}, {clBtnText, '#'}, {clGrayText, 'g'}};
  Surface checked(13, 13, clLime);
  base->DrawCheckBox(checked.get(), TRect{0, 0, 13, 13}, pdsNormal, true, clDefault);
  EXPECT_EQ(checked.picture(legend),
            rows({".............", ".............", "..wwwwwwwww..", "..wwwwwww#w..", "..wwwwww##w..",
                  "..w#www###w..", "..w##w###ww..", "..w#####www..", "..ww###wwww..", "..www#wwwww..",
                  "..wwwwwwwww..", ".............", "............."}));

  Surface disabled(13, 13, clLime);
  base->DrawCheckBox(disabled.get(), TRect{0, 0, 13, 13}, pdsDisabled, true, clDefault);
  EXPECT_EQ(disabled.picture(legend),
            rows({".............", ".............", "..fffffffff..", "..fffffffgf..", "..ffffffggf..",
                  "..fgfffgggf..", "..fggfgggff..", "..fgggggfff..", "..ffgggffff..", "..fffgfffff..",
                  "..fffffffff..", ".............", "............."}));

  // A clear brush keeps the face as it is.
  Surface clear(13, 13, clLime);
  clear->Brush()->SetStyle(bsClear);
  base->DrawCheckMark(clear.get(), TRect{2, 2, 11, 11}, clBtnText, false, pdsNormal);
  EXPECT_EQ(clear.inkRows(clLime).first, -1);
}

TEST_F(PainterTest, ExpandButtonsShowPlusOrMinusAndChevrons) {
  const Legend legend = {{clWhite, '.'}, {clRed, 'r'}, {clYellow, 'y'}, {clBtnText, '#'}, {clBtnFace, 'f'}};
  Surface plus(9, 9, clWhite);
  base->DrawSmallExpandButton(plus.get(), TRect{0, 0, 9, 9}, clRed, clYellow, false);
  EXPECT_EQ(plus.picture(legend), rows({"rrrrrrrrr", "ryyyyyyyr", "ryyy#yyyr", "ryyy#yyyr", "ry#####yr",
                                        "ryyy#yyyr", "ryyy#yyyr", "ryyyyyyyr", "rrrrrrrrr"}));
  // Expanded, and with a clDefault fill that leaves the inside alone.
  Surface minus(9, 9, clWhite);
  base->DrawSmallExpandButton(minus.get(), TRect{0, 0, 9, 9}, clRed, clDefault, true);
  EXPECT_EQ(minus.picture(legend), rows({"rrrrrrrrr", "r.......r", "r.......r", "r.......r", "r.#####.r",
                                         "r.......r", "r.......r", "r.......r", "rrrrrrrrr"}));

  // Two chevrons, two lines thick, pointing up when expanded.
  Surface group(15, 15, clWhite);
  base->DrawGroupExpandButton(group.get(), TRect{0, 0, 15, 15}, true, pdsNormal);
  EXPECT_EQ(group.picture(legend),
            rows({"fffffffffffffff", "fffffffffffffff", "fffffffffffffff", "fffffff#fffffff", "ffffff###ffffff",
                  "fffff##f##fffff", "ffff##fff##ffff", "ffff#ff#ff#ffff", "ffffff###ffffff", "fffff##f##fffff",
                  "ffff##fff##ffff", "ffff#fffff#ffff", "fffffffffffffff", "fffffffffffffff", "fffffffffffffff"}));
}

// --- size grip and backgrounds ----------------------------------------------------------

TEST_F(PainterTest, SizeGripAreaIsTheColourUnderThePlatformsGrip) {
  Surface painted(16, 16, clWhite);
  base->DrawSizeGripArea(painted.get(), TRect{0, 0, 16, 16}, clLime);

  Surface expected(16, 16, clLime);
  RECT r{0, 0, 16, 16};
  DrawFrameControl(expected->Handle(), &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  const Legend legend = {{clLime, 'g'}, {clWhite, '.'}, {clBtnShadow, 's'}, {clBtnHighlight, 'h'}};
  EXPECT_EQ(painted.picture(legend), expected.picture(legend));
  EXPECT_NE(painted.picture(legend).find('s'), std::string::npos);

  // An empty rect draws nothing.
  Surface empty(16, 16, clWhite);
  base->DrawSizeGripArea(empty.get(), TRect{0, 0, 0, 16}, clLime);
  EXPECT_EQ(empty.inkRows(clWhite).first, -1);
}

TEST_F(PainterTest, BackgroundsFillWithTheColourOrThePatternOrNothing) {
  const Legend legend = {{clWhite, '.'}, {clRed, 'r'}, {clBlue, 'b'}};
  TBitmap pattern;
  pattern.SetPixelFormat(pf32bit);
  pattern.SetSize(2, 1);
  pattern.Canvas()->SetPixels(0, 0, clRed);
  pattern.Canvas()->SetPixels(1, 0, clBlue);

  Surface opaque(4, 1, clWhite);
  base->PaintBackground(opaque.get(), TRect{0, 0, 4, 1}, false, clRed, &pattern);
  EXPECT_EQ(opaque.picture(legend), "rrrr");

  Surface tiled(4, 1, clWhite);
  base->PaintBackground(tiled.get(), TRect{0, 0, 4, 1}, true, clRed, &pattern);
  EXPECT_EQ(tiled.picture(legend), "rbrb");

  Surface left(4, 1, clWhite);
  base->PaintBackground(left.get(), TRect{0, 0, 4, 1}, true, clRed, nullptr);
  base->PaintBackground(left.get(), TRect{0, 0, 4, 1}, false, clNone, nullptr);
  EXPECT_EQ(left.picture(legend), "....");
}

// --- a bar with a caption ---------------------------------------------------------------

TEST_F(PainterTest, BarCaptionsAreDrawnAcrossTheBarAndThePartsKeepTheirPlaces) {
  TlkLookAndFeelPainterClass bar = TBarPainter::Class();
  const Legend legend = {{clWhite, '.'}, {clRed, 'r'}, {clBlue, 'b'}};
  // Without a caption the parts are drawn where they are asked for.
  Surface plain(4, 3, clWhite);
  bar->DrawBarWithCaption(plain.get(), TRect{1, 0, 4, 3}, TRect{1, 1, 4, 2}, TRect{0, 0, 0, 0}, "", 0);
  EXPECT_EQ(plain.picture(legend), ".bbb|.rrr|.bbb");

  // With one the caption runs along a tall bar: its ink is taller than
  // wide, and the parts stay where they were.
  Surface s(30, 80, clWhite);
  s->Font()->SetColor(clBlack);
  bar->DrawBarWithCaption(s.get(), TRect{5, 0, 25, 80}, TRect{5, 70, 25, 80}, TRect{5, 0, 25, 70}, "Caption", 0);
  const std::string picture = s.picture({{clWhite, '.'}, {clRed, 'r'}, {clBlue, 'b'}, {clBlack, 'K'}});
  int left = 30, right = -1, top = 80, bottom = -1;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 30; ++x) {
      const char c = picture[static_cast<size_t>(y * 31 + x)];
      if (c == '.') {
        EXPECT_TRUE(x < 5 || x >= 25) << x << "," << y;
      }
      if (c == 'r') {
        EXPECT_GE(y, 70) << x << "," << y;
      }
      if (c != 'K') continue;
      left = std::min(left, x);
      right = std::max(right, x + 1);
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  ASSERT_GT(right, left);
  EXPECT_GT(bottom - top, 2 * (right - left));
  EXPECT_LE(bottom, 70);
}

// --- clock face --------------------------------------------------------------------------

TEST_F(PainterTest, ClockFaceKeepsItsMarksAndTheCallersClip) {
  // Centre (21, 21), radii 19.
  Surface s(42, 42, clWhite);
  HRGN clip = CreateRectRgn(0, 0, 42, 42);
  SelectClipRgn(s->Handle(), clip);
  DeleteObject(clip);
  // Three o'clock: the hour hand points right, the minute and second
  // hands (0 s, drawn last) up.
  base->DrawClockFace(s.get(), TRect{0, 0, 42, 42}, clYellow, EncodeTime(3, 0, 0, 0));
  const auto colourAt = [&](int x, int y) { return s->Canvas()->Pixels(x, y); };
  // The twelve o'clock mark at (21, 2): teal in the middle, aqua on the
  // top and left, button text on the bottom and right.
  EXPECT_EQ(colourAt(21, 2), ColorToRGB(clTeal));
  EXPECT_EQ(colourAt(20, 1), ColorToRGB(clAqua));
  EXPECT_EQ(colourAt(22, 3), ColorToRGB(clBtnText));
  EXPECT_EQ(colourAt(21, 10), ColorToRGB(clRed));   // second hand
  EXPECT_EQ(colourAt(30, 21), ColorToRGB(clTeal));  // hour hand
  EXPECT_EQ(colourAt(8, 30), ColorToRGB(clYellow)); // the face
  // The marks were spared only while the face was filled.
  s->FillRectColor(TRect{0, 0, 42, 42}, clBlue);
  EXPECT_EQ(colourAt(21, 2), ColorToRGB(clBlue));
}

}  // namespace
