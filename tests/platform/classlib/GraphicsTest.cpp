// Colours, cursors and the graphics objects (font, pen, brush).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Pen.h"
#include "platform/os/user/SysColors.h"

namespace {

class GraphicsTest : public qvtest::DesktopTest {};

TEST_F(GraphicsTest, ColorToRGBResolvesSystemColoursAndPassesTheRest) {
  struct Case {
    TColor colour;
    COLORREF want;
  } cases[] = {
      {clBtnFace, GetSysColor(COLOR_BTNFACE)},
      {clWindowText, GetSysColor(COLOR_WINDOWTEXT)},
      {clHighlight, GetSysColor(COLOR_HIGHLIGHT)},
      {clMenuBar, GetSysColor(COLOR_MENUBAR)},
      // The older system-colour form with only the top bit set.
      {static_cast<TColor>(0x8000000Fu), GetSysColor(COLOR_BTNFACE)},
      {clNone, 0x1FFFFFFFu},
      {clDefault, 0x20000000u},
      {clRed, RGB(255, 0, 0)},
      {clMoneyGreen, RGB(0xC0, 0xDC, 0xC0)},
  };
  for (const auto& c : cases) EXPECT_EQ(ColorToRGB(c.colour), c.want) << std::hex << c.colour;
  EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0xFF00000Fu);
}

TEST_F(GraphicsTest, ColorToRGBFollowsAChangedSystemColour) {
  INT element = COLOR_BTNFACE;
  COLORREF value = RGB(1, 2, 3);
  ASSERT_TRUE(SetSysColors(1, &element, &value));
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(1, 2, 3));
}

TEST_F(GraphicsTest, ColourIdentifiersAndNumbers) {
  struct Case {
    TColor colour;
    const char* text;
  } cases[] = {{clBtnFace, "clBtnFace"},       {clNone, "clNone"},   {clDefault, "clDefault"},
               {clBlack, "clBlack"},           {clCream, "clCream"}, {cl3DDkShadow, "cl3DDkShadow"},
               {0x00123456, "$00123456"},      {static_cast<TColor>(0xFF0000FFu), "$FF0000FF"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ColorToString(c.colour), c.text);
    EXPECT_EQ(StringToColor(c.text), c.colour) << c.text;
  }
  EXPECT_EQ(StringToColor("CLWINDOW"), clWindow);
  EXPECT_EQ(StringToColor("255"), 255);
  EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);

  std::vector<std::string> names;
  GetColorValues([&](const std::string& s) { names.push_back(s); });
  ASSERT_EQ(names.size(), 52u);
  EXPECT_EQ(names.front(), "clBlack");
  EXPECT_EQ(names.back(), "clWindowText");
}

TEST_F(GraphicsTest, CursorIdentifiers) {
  std::string s;
  EXPECT_TRUE(CursorToIdent(crHandPoint, s));
  EXPECT_EQ(s, "crHandPoint");
  int c = 0;
  EXPECT_TRUE(IdentToCursor("crsizeall", c));
  EXPECT_EQ(c, -22);
  EXPECT_EQ(CursorToString(5), "5");
  EXPECT_EQ(StringToCursor("crDefault"), 0);
  EXPECT_EQ(StringToCursor("-21"), crHandPoint);
}

TEST_F(GraphicsTest, ColourAndCursorIdentifiersReachStreaming) {
  auto toIdent = FindIntToIdent(qv::classlib::namedIntegerType("TColor"));
  ASSERT_TRUE(toIdent);
  std::string s;
  EXPECT_TRUE(toIdent(clBtnFace, s));
  EXPECT_EQ(s, "clBtnFace");
  auto toCursor = FindIdentToInt(qv::classlib::namedIntegerType("TCursor"));
  ASSERT_TRUE(toCursor);
  int c = 0;
  EXPECT_TRUE(toCursor("crHandPoint", c));
  EXPECT_EQ(c, crHandPoint);
}

TEST_F(GraphicsTest, FontSizeAndHeightAtNinetySixDpi) {
  TFont font;
  EXPECT_EQ(font.Name(), "MS Sans Serif");
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Size(), 8);
  EXPECT_EQ(font.Color(), clWindowText);

  // Height -13 is 9.75 points: the platform's MulDiv rounds it to 10.
  struct Case {
    int height;
    int size;
  } heights[] = {{-11, 8}, {-13, 10}, {-16, 12}, {-12, 9}, {-19, 14}, {13, -10}};
  for (const auto& c : heights) {
    font.SetHeight(c.height);
    EXPECT_EQ(font.Size(), c.size) << c.height;
  }
  struct SizeCase {
    int size;
    int height;
  } sizes[] = {{8, -11}, {9, -12}, {10, -13}, {12, -16}, {14, -19}};
  for (const auto& c : sizes) {
    font.SetSize(c.size);
    EXPECT_EQ(font.Height(), c.height) << c.size;
  }
}

LOGFONTA logFontOf(HFONT h) {
  LOGFONTA lf{};
  EXPECT_EQ(GetObject(h, sizeof lf, &lf), static_cast<int>(sizeof lf));
  return lf;
}

TEST_F(GraphicsTest, FontHandleIsRecreatedFromTheProperties) {
  TFont font;
  int changes = 0;
  font.OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &font);
    EXPECT_FALSE(font.HandleAllocated());  // listeners that ask get the new font
    ++changes;
  };
  LOGFONTA lf = logFontOf(font.Handle());
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");

  font.SetStyle({fsBold, fsUnderline});
  font.SetName("Tahoma");
  font.SetSize(10);
  EXPECT_EQ(changes, 3);
  lf = logFontOf(font.Handle());
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfItalic, 0);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");

  // Setting the same value again is no change.
  font.SetName("Tahoma");
  EXPECT_EQ(changes, 3);
  font.OnChange = nullptr;
  font.SetColor(clRed);
  EXPECT_TRUE(font.HandleAllocated());  // the colour is not part of the font handle
}

TEST_F(GraphicsTest, FontSetHandleTakesTheDescription) {
  HFONT h = CreateFont(-16, 0, 0, 0, FW_BOLD, 1, 0, 0, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH, "Arial");
  TFont font;
  font.SetHandle(h);
  EXPECT_EQ(font.Height(), -16);
  EXPECT_EQ(font.Name(), "Arial");
  EXPECT_TRUE(font.Style() == (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(font.Charset(), ANSI_CHARSET);
  EXPECT_EQ(font.Pitch(), fpFixed);
  DeleteObject(h);
}

TEST_F(GraphicsTest, AssignCopiesBetweenObjectsOfOneKindOnly) {
  TFont a, b;
  a.SetName("Arial");
  a.SetSize(12);
  a.SetColor(clBlue);
  a.SetStyle({fsItalic});
  b.Assign(&a);
  EXPECT_EQ(b.Name(), "Arial");
  EXPECT_EQ(b.Height(), -16);
  EXPECT_EQ(b.Color(), clBlue);
  EXPECT_TRUE(b.Style() == TFontStyles{fsItalic});

  TPen p, q;
  p.SetColor(clRed);
  p.SetWidth(3);
  p.SetStyle(psDot);
  p.SetMode(pmXor);
  q.Assign(&p);
  EXPECT_EQ(q.Color(), clRed);
  EXPECT_EQ(q.Width(), 3);
  EXPECT_EQ(q.Style(), psDot);
  EXPECT_EQ(q.Mode(), pmXor);

  TBrush r, s;
  r.SetColor(clLime);
  r.SetStyle(bsCross);
  s.Assign(&r);
  EXPECT_EQ(s.Color(), clLime);
  EXPECT_EQ(s.Style(), bsCross);

  EXPECT_THROW(a.Assign(&p), EConvertError);
}

TEST_F(GraphicsTest, PenAndBrushHandles) {
  TPen pen;
  pen.SetColor(clBtnShadow);
  pen.SetWidth(2);
  pen.SetStyle(psClear);
  LOGPEN lp{};
  ASSERT_EQ(GetObject(pen.Handle(), sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_NULL));
  EXPECT_EQ(lp.lopnWidth.x, 2);
  EXPECT_EQ(lp.lopnColor, GetSysColor(COLOR_BTNSHADOW));

  struct Case {
    TBrushStyle style;
    UINT lbStyle;
    ULONG_PTR hatch;
  } cases[] = {{bsSolid, BS_SOLID, 0}, {bsClear, BS_NULL, 0}, {bsHorizontal, BS_HATCHED, HS_HORIZONTAL},
               {bsDiagCross, BS_HATCHED, HS_DIAGCROSS}};
  for (const auto& c : cases) {
    TBrush brush;
    brush.SetColor(clRed);
    brush.SetStyle(c.style);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObject(brush.Handle(), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, c.lbStyle) << c.style;
    if (c.lbStyle == BS_HATCHED) {
      EXPECT_EQ(lb.lbHatch, c.hatch) << c.style;
    }
  }
}

TEST_F(GraphicsTest, ClearBrushTurnsSolidWithAColourAndWhiteWhenCleared) {
  TBrush brush;
  brush.SetColor(clRed);
  brush.SetStyle(bsClear);
  EXPECT_EQ(brush.Color(), clWhite);
  brush.SetColor(clBlue);
  EXPECT_EQ(brush.Style(), bsSolid);
}

TEST_F(GraphicsTest, FontPenAndBrushArePublished) {
  TFont font;
  std::vector<std::string> names;
  for (PPropInfo p : GetPropList(&font)) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
  SetOrdProp(&font, "Height", -16);
  EXPECT_EQ(font.Size(), 12);
  SetSetProp(&font, "Style", "[fsBold]");
  EXPECT_TRUE(font.Style() == TFontStyles{fsBold});

  TPen pen;
  SetEnumProp(&pen, "Mode", "pmNotXor");
  EXPECT_EQ(pen.Mode(), pmNotXor);
  TBrush brush;
  EXPECT_EQ(GetEnumProp(&brush, "Style"), "bsSolid");
}

}  // namespace
