// Logical fonts: the face mapping, the pinned metric rule and what a font
// handle answers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/gdi/FontEngine.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Text.h"

namespace {

LOGFONTA logFont(const char* face, LONG height, LONG weight = FW_NORMAL, BYTE italic = 0) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

// Metrics of a font selected into a memory DC.
TEXTMETRICA metricsOf(HFONT font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA tm{};
  EXPECT_TRUE(GetTextMetrics(dc, &tm));
  SelectObject(dc, old);
  DeleteDC(dc);
  return tm;
}

}  // namespace

TEST(Font, DialogFacesAtMinus11Give13PixelCells) {
  for (const char* face : {"MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "Arial", "Verdana", "Segoe UI",
                           "Some Unknown Face"}) {
    for (LONG weight : {FW_NORMAL, FW_BOLD}) {
      SCOPED_TRACE(std::string(face) + (weight == FW_BOLD ? " bold" : ""));
      LOGFONTA lf = logFont(face, -11, weight);
      HFONT font = CreateFontIndirect(&lf);
      ASSERT_NE(font, nullptr);
      TEXTMETRICA tm = metricsOf(font);
      EXPECT_EQ(tm.tmHeight, 13);
      EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
      EXPECT_EQ(tm.tmInternalLeading, 2);  // cell minus the 11-pixel character height
      EXPECT_EQ(tm.tmExternalLeading, 0);
      EXPECT_EQ(tm.tmWeight, weight);
      EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_SWISS);
      EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
      EXPECT_GT(tm.tmAveCharWidth, 0);
      EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
      DeleteObject(font);
    }
  }
}

TEST(Font, HeightSignSelectsCharacterOrCellHeight) {
  struct Case {
    LONG height;
    LONG cell;
    LONG internalLeading;
  } cases[] = {
      {-11, 13, 2},  // character height 11
      {13, 13, 2},   // cell height 13 asks for the same font
      {-16, 19, 3},
      {0, 16, 2},  // the default size
      // Absurd sizes are capped at a 1024-pixel character height.
      {INT32_MIN, 1192, 168},
      {100000, 1192, 168},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    LOGFONTA lf = logFont("Tahoma", c.height);
    HFONT font = CreateFontIndirect(&lf);
    TEXTMETRICA tm = metricsOf(font);
    EXPECT_EQ(tm.tmHeight, c.cell);
    EXPECT_EQ(tm.tmInternalLeading, c.internalLeading);
    DeleteObject(font);
  }
}

TEST(Font, FaceMapping) {
  struct Case {
    const char* face;
    LONG weight;
    BYTE italic;
    BYTE pitch;
    const char* file;
  } cases[] = {
      {"MS Sans Serif", FW_NORMAL, 0, 0, "DejaVuSans.ttf"},
      {"Tahoma", FW_SEMIBOLD, 0, 0, "DejaVuSans-Bold.ttf"},
      {"Tahoma", 599, 0, 0, "DejaVuSans.ttf"},
      {"Arial", FW_NORMAL, 1, 0, "DejaVuSans-Oblique.ttf"},
      {"Courier New", FW_NORMAL, 0, 0, "DejaVuSansMono.ttf"},
      {"courier", FW_BOLD, 0, 0, "DejaVuSansMono-Bold.ttf"},
      {"Verdana", FW_NORMAL, 0, FIXED_PITCH, "DejaVuSansMono.ttf"},
      {"Times New Roman", FW_NORMAL, 0, 0, "DejaVuSerif.ttf"},
      {"Times New Roman", FW_BOLD, 1, 0, "DejaVuSerif-BoldItalic.ttf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    LOGFONTA lf = logFont(c.face, -11, c.weight, c.italic);
    lf.lfPitchAndFamily = c.pitch;
    qv::os::gdi::FaceChoice choice = qv::os::gdi::mapFace(lf);
    EXPECT_EQ(choice.file.substr(choice.file.rfind('/') + 1), c.file);
    EXPECT_FALSE(choice.shear);
  }
}

TEST(Font, MonospaceFaceHasEqualAdvancesAndFixedPitchFlag) {
  LOGFONTA lf = logFont("Courier New", -13);
  HFONT font = CreateFontIndirect(&lf);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, font);
  INT widths[3];
  ASSERT_TRUE(GetCharWidth32(dc, 'i', 'k', widths));
  EXPECT_EQ(widths[0], widths[1]);
  EXPECT_EQ(widths[1], widths[2]);
  TEXTMETRICA tm{};
  GetTextMetrics(dc, &tm);
  // The flag's meaning is inverted: clear for a fixed-pitch font.
  EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
  EXPECT_EQ(tm.tmAveCharWidth, widths[0]);
  DeleteDC(dc);
  DeleteObject(font);
}

TEST(Font, HandleAnswersGetObjectWithItsLogFont) {
  HFONT font = CreateFont(-12, 0, 0, 0, FW_BOLD, TRUE, TRUE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObject(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
  LOGFONTA lf{};
  ASSERT_EQ(GetObject(font, sizeof lf, &lf), static_cast<int>(sizeof(LOGFONTA)));
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");

  TEXTMETRICA tm = metricsOf(font);
  EXPECT_NE(tm.tmItalic, 0);
  EXPECT_NE(tm.tmUnderlined, 0);
  EXPECT_EQ(tm.tmStruckOut, 0);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(GetObject(font, sizeof lf, &lf), 0);
  EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
}

TEST(Font, StockFonts) {
  struct Case {
    int index;
    LONG height;
    const char* face;
  } cases[] = {
      {DEFAULT_GUI_FONT, -11, "MS Shell Dlg"},
      {ANSI_VAR_FONT, 12, "MS Sans Serif"},
      {SYSTEM_FONT, 16, "System"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    HGDIOBJ font = GetStockObject(c.index);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetStockObject(c.index), font);
    LOGFONTA lf{};
    ASSERT_EQ(GetObject(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, c.height);
    EXPECT_STREQ(lf.lfFaceName, c.face);
    DeleteObject(font);  // ignored for stock objects
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  }
  EXPECT_EQ(metricsOf(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))).tmHeight, 13);
}

TEST(Font, TextFaceIsTheRequestedNameAndDcDefaultsToSystemFont) {
  HDC dc = CreateCompatibleDC(nullptr);
  char name[LF_FACESIZE];
  EXPECT_EQ(GetTextFace(dc, sizeof name, name), 7);
  EXPECT_STREQ(name, "System");
  LOGFONTA lf = logFont("MS Shell Dlg 2", -11);
  HFONT font = CreateFontIndirect(&lf);
  SelectObject(dc, font);
  EXPECT_EQ(GetTextFace(dc, 0, nullptr), 15);
  EXPECT_EQ(GetTextFace(dc, 6, name), 6);
  EXPECT_STREQ(name, "MS Sh");
  DeleteDC(dc);
  DeleteObject(font);
}
