// Logical fonts: the face mapping, the pinned metric rule and what a font
// handle answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
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

// What the platform's fonts measure at lfHeight -11 (8 points at 96 DPI),
// regular and bold: the dialog faces have 13-pixel cells; Arial's stand-in
// has Arial's own 12.
TEST(Font, DialogFacesAtMinus11) {
  struct Case {
    const char* face;
    LONG cell, ascent, internalLeading;
    bool trueType;
  } cases[] = {
      {"MS Sans Serif", 13, 11, 2, false},  // the raster face
      {"MS Shell Dlg", 13, 11, 2, false},
      {"MS Shell Dlg 2", 13, 11, 2, true},
      {"Tahoma", 13, 11, 2, true},
      {"Arial", 12, 10, 1, true},
      {"Verdana", 13, 10, 2, true},
      {"Segoe UI", 13, 10, 2, true},
      {"Some Unknown Face", 13, 10, 2, true},
  };
  for (const Case& c : cases) {
    for (LONG weight : {FW_NORMAL, FW_BOLD}) {
      SCOPED_TRACE(std::string(c.face) + (weight == FW_BOLD ? " bold" : ""));
      LOGFONTA lf = logFont(c.face, -11, weight);
      HFONT font = CreateFontIndirect(&lf);
      ASSERT_NE(font, nullptr);
      TEXTMETRICA tm = metricsOf(font);
      EXPECT_EQ(tm.tmHeight, c.cell);
      EXPECT_EQ(tm.tmAscent, c.ascent);
      EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
      EXPECT_EQ(tm.tmInternalLeading, c.internalLeading);  // cell minus the 11-pixel character height
      EXPECT_EQ(tm.tmExternalLeading, 0);
      EXPECT_EQ(tm.tmWeight, weight);
      EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_SWISS);
      EXPECT_EQ((tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0, c.trueType);
      EXPECT_GT(tm.tmAveCharWidth, 0);
      EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
      DeleteObject(font);
    }
  }
}

// The raster face comes in three sizes; a bold one is overstruck one pixel
// to the right, so each character is one pixel wider and the font tells so
// in tmOverhang.
TEST(Font, RasterFaceSizesAndSyntheticBold) {
  struct Case {
    LONG height, cell, internalLeading;
  } cases[] = {
      {-11, 13, 2}, {13, 13, 2}, {-13, 16, 3}, {16, 16, 3}, {-16, 20, 4}, {20, 20, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    LOGFONTA lf = logFont("MS Sans Serif", c.height);
    EXPECT_EQ(qv::os::gdi::mapFace(lf).strike >= 0, true);
    HFONT font = CreateFontIndirect(&lf);
    TEXTMETRICA tm = metricsOf(font);
    EXPECT_EQ(tm.tmHeight, c.cell);
    EXPECT_EQ(tm.tmInternalLeading, c.internalLeading);
    DeleteObject(font);
  }
  // A size the raster face lacks is drawn with Tahoma at that size.
  LOGFONTA between = logFont("MS Sans Serif", -12);
  EXPECT_EQ(qv::os::gdi::mapFace(between).family, "Tahoma");
  EXPECT_EQ(metricsOf(CreateFontIndirect(&between)).tmHeight, 14);

  HDC dc = CreateCompatibleDC(nullptr);
  auto extentAndMetrics = [&](LONG weight, TEXTMETRICA& tm) {
    LOGFONTA lf = logFont("MS Sans Serif", -11, weight);
    HFONT font = CreateFontIndirect(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32(dc, "Anzeigedauer:", 13, &size);
    GetTextMetrics(dc, &tm);
    // The widest character, as the widths of the drawn glyphs give it.
    int widths[0xE0] = {};
    GetCharWidth32(dc, 0x20, 0xFF, widths);
    EXPECT_EQ(tm.tmMaxCharWidth, *std::max_element(std::begin(widths), std::end(widths)));
    SelectObject(dc, old);
    DeleteObject(font);
    return size.cx;
  };
  TEXTMETRICA regular{}, bold{};
  const LONG regularWidth = extentAndMetrics(FW_NORMAL, regular);
  const LONG boldWidth = extentAndMetrics(FW_BOLD, bold);
  EXPECT_EQ(regularWidth, 68);
  EXPECT_EQ(boldWidth, regularWidth + 13);
  EXPECT_EQ(regular.tmAveCharWidth, 5);
  EXPECT_EQ(regular.tmOverhang, 0);
  EXPECT_EQ(bold.tmAveCharWidth, regular.tmAveCharWidth + 1);
  EXPECT_EQ(bold.tmMaxCharWidth, regular.tmMaxCharWidth + 1);
  EXPECT_EQ(bold.tmOverhang, 1);
  DeleteDC(dc);
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
      {0, 16, 3},  // the default size
      // Absurd sizes are capped at a 1024-pixel character height.
      {INT32_MIN, 1236, 212},
      {100000, 1236, 212},
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
    bool shear, embolden;
  } cases[] = {
      {"MS Sans Serif", FW_NORMAL, 0, 0, "ms_sans_serif.ttf", false, false},
      {"ms shell dlg", FW_BOLD, 0, 0, "ms_sans_serif.ttf", false, true},
      {"MS Sans Serif", FW_NORMAL, 1, 0, "ms_sans_serif.ttf", true, false},
      {"MS Shell Dlg 2", FW_NORMAL, 0, 0, "tahoma.ttf", false, false},
      {"Tahoma", FW_SEMIBOLD, 0, 0, "tahomabd.ttf", false, false},
      {"Tahoma", 599, 0, 0, "tahoma.ttf", false, false},
      {"Tahoma", FW_NORMAL, 1, 0, "tahoma.ttf", true, false},
      {"Arial", FW_NORMAL, 0, 0, "LiberationSans-Regular.ttf", false, false},
      {"Arial", FW_BOLD, 1, 0, "LiberationSans-BoldItalic.ttf", false, false},
      {"Courier New", FW_NORMAL, 0, 0, "DejaVuSansMono.ttf", false, false},
      {"courier", FW_BOLD, 0, 0, "DejaVuSansMono-Bold.ttf", false, false},
      {"Verdana", FW_NORMAL, 0, 0, "DejaVuSans.ttf", false, false},
      {"Verdana", FW_NORMAL, 0, FIXED_PITCH, "DejaVuSansMono.ttf", false, false},
      {"Tahoma", FW_NORMAL, 0, FIXED_PITCH, "DejaVuSansMono.ttf", false, false},
      {"Times New Roman", FW_NORMAL, 0, 0, "DejaVuSerif.ttf", false, false},
      {"Times New Roman", FW_BOLD, 1, 0, "DejaVuSerif-BoldItalic.ttf", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.weight) + (c.italic ? " italic" : ""));
    LOGFONTA lf = logFont(c.face, -11, c.weight, c.italic);
    lf.lfPitchAndFamily = c.pitch;
    qv::os::gdi::FaceChoice choice = qv::os::gdi::mapFace(lf);
    EXPECT_EQ(choice.file.substr(choice.file.rfind('/') + 1), c.file);
    EXPECT_EQ(choice.shear, c.shear);
    EXPECT_EQ(choice.embolden, c.embolden);
  }
}

// Synthetic styles keep the glyph's advance and move its pixels: an
// overstruck glyph is one column wider, a slanted one leans right above the
// baseline.
TEST(Font, SyntheticItalicLeansTheRasterGlyph) {
  auto glyphOf = [](BYTE italic) {
    LOGFONTA lf = logFont("MS Sans Serif", -11, FW_NORMAL, italic);
    return qv::os::gdi::RealizedFont::get(lf)->glyph('l');
  };
  const qv::os::gdi::Glyph upright = glyphOf(0), slanted = glyphOf(1);
  EXPECT_EQ(slanted.advance, upright.advance);
  ASSERT_GT(upright.height, 6);
  ASSERT_EQ(slanted.height, upright.height);
  auto firstInk = [](const qv::os::gdi::Glyph& g, int row) {
    for (int x = 0; x < g.width; ++x)
      if (g.mask[static_cast<size_t>(row) * g.width + x]) return g.left + x;
    return -1000;
  };
  // The stem of "l" is one column upright; slanted, its top lies right of
  // its foot.
  EXPECT_EQ(firstInk(upright, 0), firstInk(upright, upright.height - 1));
  EXPECT_GT(firstInk(slanted, 0), firstInk(slanted, slanted.height - 1));
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
