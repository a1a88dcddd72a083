// TCanvas on small bitmaps: drawing through the pen, brush and font, the
// lazy selection of objects, text modes, pixels and copies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BitmapPicture.h"
#include "DesktopTest.h"
#include "platform/classlib/Graphics.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/user/SysColors.h"

namespace {

class CanvasTest : public qvtest::DesktopTest {
 protected:
  // A white bitmap of the size.
  static void make(TBitmap& b, int w, int h, TColor fill = clWhite) { makeFilledBitmap(b, w, h, fill); }
  // The bitmap as rows of characters: one per pixel, from `legend`.
  static std::vector<std::string> picture(TBitmap& b, const std::vector<std::pair<TColor, char>>& legend) {
    return bitmapPicture(b, legend);
  }
};

TEST_F(CanvasTest, FillRectUsesTheBrushAndLeavesRightAndBottomOut) {
  TBitmap b;
  make(b, 5, 4);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(RECT{1, 1, 4, 3});
  EXPECT_EQ(picture(b, {{clWhite, '.'}, {clRed, 'R'}}), (std::vector<std::string>{".....", ".RRR.", ".RRR.", "....."}));
}

TEST_F(CanvasTest, RectangleFramesWithThePenAndFillsWithTheBrush) {
  TBitmap b;
  make(b, 6, 5);
  TCanvas* c = b.Canvas();
  c->Pen()->SetColor(clBlue);
  c->Brush()->SetColor(clRed);
  c->Rectangle(0, 0, 5, 4);
  EXPECT_EQ(picture(b, {{clWhite, '.'}, {clRed, 'R'}, {clBlue, 'B'}}),
            (std::vector<std::string>{"BBBBB.", "BRRRB.", "BRRRB.", "BBBBB.", "......"}));

  // A clear brush leaves the inside alone; a clear pen draws no frame.
  c->Brush()->SetStyle(bsClear);
  c->Pen()->SetColor(clLime);
  c->Rectangle(1, 1, 6, 5);
  c->Pen()->SetStyle(psClear);
  c->Brush()->SetColor(clBlack);
  c->Rectangle(0, 0, 3, 3);
  EXPECT_EQ(picture(b, {{clWhite, '.'}, {clRed, 'R'}, {clBlue, 'B'}, {clLime, 'G'}, {clBlack, 'K'}}),
            (std::vector<std::string>{"KKBBB.", "KKGGGG", "BGRRBG", "BGBBBG", ".GGGGG"}));
}

TEST_F(CanvasTest, ChangedObjectsAreSelectedAgainBeforeTheNextDrawing) {
  TBitmap b;
  make(b, 3, 1);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect(RECT{0, 0, 1, 1});
  EXPECT_TRUE(c->State().Contains(csBrushValid));
  c->Brush()->SetColor(clBlue);
  EXPECT_FALSE(c->State().Contains(csBrushValid));
  c->FillRect(RECT{1, 0, 2, 1});
  c->Pen()->SetColor(clLime);
  c->MoveTo(2, 0);
  c->LineTo(3, 0);
  EXPECT_EQ(picture(b, {{clRed, 'R'}, {clBlue, 'B'}, {clLime, 'G'}}), (std::vector<std::string>{"RBG"}));
}

TEST_F(CanvasTest, LinesLeaveOutTheEndPointAndMoveThePen) {
  TBitmap b;
  make(b, 5, 3);
  TCanvas* c = b.Canvas();
  c->Pen()->SetColor(clBlack);
  c->MoveTo(0, 1);
  c->LineTo(4, 1);
  EXPECT_EQ(c->PenPos().x, 4);
  c->Polyline({{0, 0}, {2, 0}, {2, 2}});
  EXPECT_EQ(picture(b, {{clWhite, '.'}, {clBlack, '#'}}), (std::vector<std::string>{"###..", "####.", "....."}));
}

TEST_F(CanvasTest, PenModeIsTheRasterOperation) {
  TBitmap b;
  make(b, 2, 1, clRed);
  TCanvas* c = b.Canvas();
  c->Pen()->SetColor(clWhite);
  c->Pen()->SetMode(pmXor);
  c->MoveTo(0, 0);
  c->LineTo(1, 0);
  EXPECT_EQ(c->Pixels(0, 0), clAqua);
  EXPECT_EQ(c->Pixels(1, 0), clRed);
}

TEST_F(CanvasTest, TextBackgroundFollowsTheBrushStyle) {
  struct Case {
    TBrushStyle style;
    int bkMode;
    TColor corner;  // the text cell's top-left pixel, above every glyph
  } cases[] = {{bsSolid, OPAQUE, clYellow}, {bsClear, TRANSPARENT, clWhite}};
  for (const auto& k : cases) {
    TBitmap b;
    make(b, 40, 20);
    TCanvas* c = b.Canvas();
    c->Font()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    if (k.style == bsClear) c->Brush()->SetStyle(bsClear);
    c->TextOut(2, 2, "Hg");
    EXPECT_EQ(GetBkMode(c->Handle()), k.bkMode);
    EXPECT_EQ(c->Pixels(2, 2), k.corner);
    SIZE e = c->TextExtent("Hg");
    EXPECT_EQ(c->PenPos().x, 2 + e.cx);
    // Something of the glyphs is black.
    bool ink = false;
    for (int y = 2; y < 2 + e.cy; ++y)
      for (int x = 2; x < 2 + e.cx; ++x) ink = ink || c->Pixels(x, y) == clBlack;
    EXPECT_TRUE(ink);
    EXPECT_EQ(c->Pixels(2 + e.cx, 2), clWhite);
  }
}

TEST_F(CanvasTest, TextMeasurementAndTextRect) {
  TBitmap b;
  make(b, 60, 20);
  TCanvas* c = b.Canvas();
  EXPECT_EQ(c->TextHeight("Ag"), 13);  // MS Sans Serif -11 at 96 DPI
  EXPECT_GT(c->TextWidth("WWW"), c->TextWidth("iii"));
  EXPECT_EQ(c->TextWidth(""), 0);

  RECT r{0, 0, 0, 0};
  std::string s = "Hello";
  c->TextRect(r, s, {tfCalcRect, tfSingleLine});
  EXPECT_EQ(r.right - r.left, c->TextWidth("Hello"));
  EXPECT_EQ(r.bottom - r.top, 13);

  // The clipped form paints the brush over the whole rectangle.
  c->Brush()->SetColor(clAqua);
  c->TextRect(RECT{10, 5, 20, 15}, 10, 5, "x");
  EXPECT_EQ(c->Pixels(19, 14), clAqua);
  EXPECT_EQ(c->Pixels(20, 14), clWhite);
}

TEST_F(CanvasTest, PixelsReadAndWrite) {
  TBitmap b;
  make(b, 2, 2);
  TCanvas* c = b.Canvas();
  c->SetPixels(1, 0, clBtnFace);
  EXPECT_EQ(static_cast<COLORREF>(c->Pixels(1, 0)), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(c->Pixels(0, 0), clWhite);
  EXPECT_EQ(static_cast<COLORREF>(c->Pixels(2, 0)), CLR_INVALID);
  EXPECT_EQ(static_cast<COLORREF>(c->Pixels(-1, 0)), CLR_INVALID);
}

TEST_F(CanvasTest, DrawingTellsOfChangingAndChanged) {
  TBitmap b;
  make(b, 4, 4);
  TCanvas* c = b.Canvas();
  std::string log;
  c->OnChanging = [&](TObject*) { log += "<"; };
  c->OnChange = [&](TObject*) { log += ">"; };
  c->FillRect(RECT{0, 0, 1, 1});
  c->SetPixels(0, 0, clRed);
  c->TextWidth("abc");  // measuring changes nothing
  c->MoveTo(1, 1);
  EXPECT_EQ(log, "<><>");
}

TEST_F(CanvasTest, ACanvasWithoutContextCannotDraw) {
  TCanvas c;
  try {
    c.FillRect(RECT{0, 0, 1, 1});
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
  }
  // A context of the caller's is used as it is.
  TBitmap b;
  make(b, 2, 2);
  c.SetHandle(b.Canvas()->Handle());
  c.Brush()->SetColor(clRed);
  c.FillRect(RECT{0, 0, 1, 1});
  c.SetHandle(nullptr);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
}

TEST_F(CanvasTest, ClipRectIsTheClipBox) {
  TBitmap b;
  make(b, 8, 6);
  RECT r = b.Canvas()->ClipRect();
  EXPECT_EQ(r.right, 8);
  EXPECT_EQ(r.bottom, 6);
}

TEST_F(CanvasTest, DrawLeavesTheTransparentColourOfATransparentBitmap) {
  TBitmap src;
  make(src, 3, 2, clBlue);
  src.Canvas()->SetPixels(0, 1, clFuchsia);  // bottom-left: the transparent colour
  src.Canvas()->SetPixels(1, 0, clFuchsia);
  TBitmap dst;
  make(dst, 4, 3, clLime);
  dst.Canvas()->Draw(1, 1, &src);
  EXPECT_EQ(picture(dst, {{clLime, '.'}, {clBlue, 'B'}, {clFuchsia, 'F'}}),
            (std::vector<std::string>{"....", ".BFB", ".FBB"}));

  src.SetTransparent(true);
  make(dst, 4, 3, clLime);
  dst.Canvas()->Draw(1, 1, &src);
  EXPECT_EQ(picture(dst, {{clLime, '.'}, {clBlue, 'B'}, {clFuchsia, 'F'}}),
            (std::vector<std::string>{"....", ".B.B", "..BB"}));

  // Stretched, the same pixels stay transparent.
  make(dst, 6, 4, clLime);
  dst.Canvas()->StretchDraw(RECT{0, 0, 6, 4}, &src);
  EXPECT_EQ(picture(dst, {{clLime, '.'}, {clBlue, 'B'}, {clFuchsia, 'F'}}),
            (std::vector<std::string>{"BB..BB", "BB..BB", "..BBBB", "..BBBB"}));
}

TEST_F(CanvasTest, CopyRectUsesCopyMode) {
  TBitmap src;
  make(src, 2, 1, clRed);
  src.Canvas()->SetPixels(1, 0, clWhite);
  struct Case {
    TCopyMode mode;
    TColor first, second;
  } cases[] = {{cmSrcCopy, clRed, clWhite}, {cmNotSrcCopy, clAqua, clBlack}, {cmSrcAnd, clBlack, clLime}};
  for (const auto& k : cases) {
    TBitmap dst;
    make(dst, 2, 1, clLime);
    dst.Canvas()->SetCopyMode(k.mode);
    dst.Canvas()->CopyRect(RECT{0, 0, 2, 1}, src.Canvas(), RECT{0, 0, 2, 1});
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), k.first) << std::hex << k.mode;
    EXPECT_EQ(dst.Canvas()->Pixels(1, 0), k.second) << std::hex << k.mode;
  }
}

TEST_F(CanvasTest, BrushCopyReplacesOneColourWithTheBrush) {
  TBitmap src;
  make(src, 3, 1, clRed);
  src.Canvas()->SetPixels(1, 0, clFuchsia);
  TBitmap dst;
  make(dst, 3, 1);
  dst.Canvas()->Brush()->SetColor(clYellow);
  dst.Canvas()->BrushCopy(RECT{0, 0, 3, 1}, &src, RECT{0, 0, 3, 1}, clFuchsia);
  EXPECT_EQ(picture(dst, {{clRed, 'R'}, {clYellow, 'Y'}}), (std::vector<std::string>{"RYR"}));
}

TEST_F(CanvasTest, PatternBrushFromABitmap) {
  TBitmap pattern;
  make(pattern, 2, 1, clRed);
  pattern.Canvas()->SetPixels(1, 0, clBlue);
  TBitmap b;
  make(b, 4, 1);
  b.Canvas()->Brush()->SetBitmap(&pattern);
  b.Canvas()->FillRect(RECT{0, 0, 4, 1});
  b.Canvas()->Brush()->SetBitmap(nullptr);
  EXPECT_EQ(picture(b, {{clRed, 'R'}, {clBlue, 'B'}}), (std::vector<std::string>{"RBRB"}));
}

TEST_F(CanvasTest, EllipseAndPolygonFillWithTheBrush) {
  TBitmap b;
  make(b, 7, 7);
  TCanvas* c = b.Canvas();
  c->Pen()->SetStyle(psClear);
  c->Brush()->SetColor(clBlack);
  c->Polygon({{0, 0}, {6, 0}, {0, 6}});
  EXPECT_EQ(c->Pixels(1, 1), clBlack);
  EXPECT_EQ(c->Pixels(5, 5), clWhite);
  make(b, 7, 7);
  c->Brush()->SetColor(clBlack);
  c->Ellipse(0, 0, 7, 7);
  EXPECT_EQ(c->Pixels(3, 3), clBlack);
  EXPECT_EQ(c->Pixels(0, 0), clWhite);
}

}  // namespace
