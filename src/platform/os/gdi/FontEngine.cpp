#include "platform/os/gdi/FontEngine.h"

#include <ft2build.h>

#include "platform/os/kernel/CodePage.h"
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <iterator>
#include <map>
#include <tuple>

namespace qv::os::gdi {

namespace {

const char* const kDejaVuDir = "/usr/share/fonts/truetype/dejavu/";
const char* const kWineDir = "/usr/share/wine/fonts/";
const char* const kLiberationDir = "/usr/share/fonts/truetype/liberation2/";

// The raster face's strikes: cell height and character height (8, 10 and
// 12 points at 96 DPI), the sizes the platform's "MS Sans Serif" comes in.
struct RasterSize {
  int cell;
  int em;
};
constexpr RasterSize kRasterSizes[] = {{13, 11}, {16, 13}, {20, 16}};

// How far a synthetic italic leans: 7/32 of a pixel per row above the
// baseline, about 12 degrees.
constexpr int kShearNum = 7, kShearDen = 32;

FT_Library library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return lib;
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

std::string faceNameOf(const LOGFONTA& lf) { return std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE)); }

// Round half away from zero, as the platform's scaling does.
// Glyph masks are kept as a byte per pixel; a larger request is absurd for
// a screen and would only exhaust memory.
constexpr long long kMaxEm = 1024;

int floorDiv(int num, int den) { return num >= 0 ? num / den : -((-num + den - 1) / den); }

int roundDiv(long long num, long long den) {
  if (den == 0) return 0;
  bool neg = (num < 0) != (den < 0);
  long long a = num < 0 ? -num : num, b = den < 0 ? -den : den;
  long long q = (2 * a + b) / (2 * b);
  return static_cast<int>(neg ? -q : q);
}

}  // namespace

std::uint32_t codepointOf(unsigned char c) { return qv::os::ansiToCodepoint(c); }

namespace {

// The raster strike that a request asks for, or -1 when it asks for a size
// the raster face lacks.
int rasterStrikeFor(LONG lfHeight) {
  const LONG cell = lfHeight == 0 ? 16 : lfHeight;
  for (int i = 0; i < static_cast<int>(std::size(kRasterSizes)); ++i)
    if ((cell > 0 && cell == kRasterSizes[i].cell) || (cell < 0 && -cell == kRasterSizes[i].em)) return i;
  return -1;
}

void chooseTahoma(FaceChoice& c) {
  c.family = "Tahoma";
  c.pitchAndFamily = FF_SWISS | TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE;
  c.file = std::string(kWineDir) + (c.bold ? "tahomabd.ttf" : "tahoma.ttf");
  c.shear = c.italic;
}

}  // namespace

FaceChoice mapFace(const LOGFONTA& lf) {
  std::string name = lower(faceNameOf(lf));
  enum { Sans, Mono, Serif, Raster, Tahoma, Arial } family = Sans;
  if (name == "courier new" || name == "courier" || name == "fixedsys" || name == "terminal" ||
      name == "lucida console" || name == "consolas")
    family = Mono;
  else if (name == "times new roman" || name == "times" || name == "ms serif")
    family = Serif;
  else if (name.empty() && (lf.lfPitchAndFamily & 0xF0) == FF_ROMAN)
    family = Serif;
  else if (name == "ms sans serif" || name == "ms shell dlg")
    family = Raster;
  else if (name == "tahoma" || name == "ms shell dlg 2")
    family = Tahoma;
  else if (name == "arial")
    family = Arial;
  if ((lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || (name.empty() && (lf.lfPitchAndFamily & 0xF0) == FF_MODERN))
    family = Mono;

  FaceChoice c;
  c.bold = lf.lfWeight >= FW_SEMIBOLD;
  c.italic = lf.lfItalic != 0;
  if (family == Raster) {
    const int strike = rasterStrikeFor(lf.lfHeight);
    const std::string file = std::string(kWineDir) + "ms_sans_serif.ttf";
    if (strike >= 0 && fileExists(file)) {
      c.family = "MS Sans Serif";
      c.pitchAndFamily = FF_SWISS | TMPF_FIXED_PITCH;
      c.file = file;
      c.strike = strike;
      c.strikeEm = kRasterSizes[strike].em;
      c.embolden = c.bold;
      c.shear = c.italic;
      return c;
    }
    family = Tahoma;
  }
  if (family == Tahoma) {
    chooseTahoma(c);
    if (fileExists(c.file)) return c;
    c.shear = false;
    family = Sans;
  }

  std::string dir = kDejaVuDir;
  std::string base;
  const char* slant = "Oblique";
  const char* regular = "";
  switch (family) {
    case Arial:
      dir = kLiberationDir;
      base = "LiberationSans";
      c.family = "Liberation Sans";
      c.pitchAndFamily = FF_SWISS | TMPF_FIXED_PITCH;
      slant = "Italic";
      regular = "-Regular";
      break;
    case Mono:
      base = "DejaVuSansMono";
      c.family = "DejaVu Sans Mono";
      c.pitchAndFamily = FF_MODERN;
      break;
    case Serif:
      base = "DejaVuSerif";
      c.family = "DejaVu Serif";
      c.pitchAndFamily = FF_ROMAN | TMPF_FIXED_PITCH;
      slant = "Italic";
      break;
    default:
      base = "DejaVuSans";
      c.family = "DejaVu Sans";
      c.pitchAndFamily = FF_SWISS | TMPF_FIXED_PITCH;
      break;
  }
  c.pitchAndFamily |= TMPF_VECTOR | TMPF_TRUETYPE;
  std::string style;
  if (c.bold) style += "Bold";
  if (c.italic) style += slant;
  std::string file = dir + base + (style.empty() ? regular : "-" + style) + ".ttf";
  if (!fileExists(file) && c.italic) {
    c.shear = true;
    file = dir + base + (c.bold ? "-Bold" : regular) + ".ttf";
  }
  if (!fileExists(file)) {
    c.shear = c.italic;
    c.family = "DejaVu Sans";
    file = std::string(kDejaVuDir) + (c.bold ? "DejaVuSans-Bold.ttf" : "DejaVuSans.ttf");
  }
  if (!fileExists(file)) file = std::string(kDejaVuDir) + "DejaVuSans.ttf";
  c.file = file;
  return c;
}

int emForHeight(LONG lfHeight, int ascentUnits, int descentUnits, int unitsPerEm) {
  const long long cellUnits = std::max(1, ascentUnits + descentUnits);
  long long em;
  if (lfHeight < 0)
    em = -static_cast<long long>(lfHeight);
  else
    em = roundDiv(std::min<long long>(lfHeight == 0 ? 16 : lfHeight, 1 << 20) * unitsPerEm, cellUnits);
  return static_cast<int>(std::clamp<long long>(em, 1, kMaxEm));
}

struct RealizedFont::FaceHandle {
  FT_Face face = nullptr;
  ~FaceHandle() {
    if (face) FT_Done_Face(face);
  }
};

RealizedFont::~RealizedFont() = default;

bool RealizedFont::open(const LOGFONTA& lf) {
  logFont_ = lf;
  faceName_ = faceNameOf(lf);
  face_ = mapFace(lf);
  FT_Library lib = library();
  if (!lib) return false;
  ft_ = std::make_unique<FaceHandle>();
  if (FT_New_Face(lib, face_.file.c_str(), 0, &ft_->face) != 0) {
    ft_->face = nullptr;
    return false;
  }
  FT_Select_Charmap(ft_->face, FT_ENCODING_UNICODE);
  if (face_.strike >= 0 && face_.strike < ft_->face->num_fixed_sizes &&
      FT_Select_Size(ft_->face, face_.strike) == 0)
    openRaster();
  else
    openScalable(lf);

  TEXTMETRICA& tm = metrics_;
  tm.tmWeight = face_.bold ? FW_BOLD : FW_NORMAL;
  tm.tmDigitizedAspectX = 96;
  tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = lf.lfItalic ? 255 : 0;
  tm.tmUnderlined = lf.lfUnderline ? 255 : 0;
  tm.tmStruckOut = lf.lfStrikeOut ? 255 : 0;
  tm.tmPitchAndFamily = face_.pitchAndFamily;
  tm.tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
  return true;
}

void RealizedFont::openRaster() {
  FT_Face f = ft_->face;
  TEXTMETRICA& tm = metrics_;
  tm.tmAscent = static_cast<LONG>((f->size->metrics.ascender + 32) >> 6);
  tm.tmDescent = static_cast<LONG>((-f->size->metrics.descender + 32) >> 6);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - face_.strikeEm);
  tm.tmExternalLeading = 0;
  // A raster face knows its widths only glyph by glyph.
  int widest = 1;
  for (int c = 0x20; c <= 0xFF; ++c) widest = std::max(widest, rasterWidth(static_cast<unsigned char>(c)));
  tm.tmMaxCharWidth = widest;
  tm.tmAveCharWidth = std::max(1, charWidth('x'));
  tm.tmOverhang = face_.embolden ? 1 : 0;

  // The raster face's own line measures are not the strikes': its lines
  // are one pixel, the underline just below the baseline, the strike-out
  // at two fifths of the character height.
  underlineThickness_ = 1;
  underlineOffset_ = 1;
  strikeOutThickness_ = 1;
  strikeOutOffset_ = -std::max(1, roundDiv(static_cast<long long>(tm.tmAscent - tm.tmInternalLeading) * 2, 5));
}

void RealizedFont::openScalable(const LOGFONTA& lf) {
  FT_Face f = ft_->face;
  const int upem = f->units_per_EM ? f->units_per_EM : 2048;
  int ascU = f->ascender, descU = -f->descender;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    ascU = os2->usWinAscent;
    descU = os2->usWinDescent;
  }
  const int em = emForHeight(lf.lfHeight, ascU, descU, upem);
  FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(em));

  TEXTMETRICA& tm = metrics_;
  tm.tmHeight = roundDiv(static_cast<long long>(em) * (ascU + descU), upem);
  tm.tmAscent = roundDiv(static_cast<long long>(em) * ascU, upem);
  tm.tmDescent = tm.tmHeight - tm.tmAscent;
  tm.tmInternalLeading = tm.tmHeight - em;
  int ext = 0;
  if (hhea) ext = std::max(0, hhea->Line_Gap - ((ascU + descU) - (hhea->Ascender - hhea->Descender)));
  tm.tmExternalLeading = roundDiv(static_cast<long long>(em) * ext, upem);
  int avgU = os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : 0;
  tm.tmAveCharWidth = avgU ? std::max(1, roundDiv(static_cast<long long>(em) * avgU, upem)) : charWidth('x');
  tm.tmMaxCharWidth = std::max<LONG>(1, roundDiv(static_cast<long long>(em) * f->max_advance_width, upem));
  tm.tmOverhang = 0;

  underlineThickness_ = std::max(1, roundDiv(static_cast<long long>(em) * f->underline_thickness, upem));
  underlineOffset_ = std::max(1, roundDiv(-static_cast<long long>(em) * f->underline_position, upem));
  if (underlineOffset_ + underlineThickness_ > tm.tmDescent)
    underlineOffset_ = std::max(1, static_cast<int>(tm.tmDescent) - underlineThickness_);
  int soPos = os2 && os2->version != 0xFFFF && os2->yStrikeoutPosition > 0 ? os2->yStrikeoutPosition : upem * 26 / 100;
  int soSize = os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0 ? os2->yStrikeoutSize : f->underline_thickness;
  strikeOutThickness_ = std::max(1, roundDiv(static_cast<long long>(em) * soSize, upem));
  strikeOutOffset_ = -std::max(1, roundDiv(static_cast<long long>(em) * soPos, upem));
}

const Glyph& RealizedFont::glyph(std::uint32_t cp) {
  auto it = glyphs_.find(cp);
  if (it != glyphs_.end()) return it->second;
  Glyph& g = glyphs_[cp];
  FT_Face f = ft_ ? ft_->face : nullptr;
  if (!f) return g;
  FT_UInt index = FT_Get_Char_Index(f, cp);
  if (FT_Load_Glyph(f, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) return g;
  FT_GlyphSlot slot = f->glyph;
  g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return g;
  const FT_Bitmap& bm = slot->bitmap;
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  const int w = static_cast<int>(bm.width), h = static_cast<int>(bm.rows);
  // Embedded bitmaps may come in grey levels; the screen draws them at half.
  const bool gray = bm.pixel_mode == FT_PIXEL_MODE_GRAY;
  // The synthetic styles: the slant moves each row by its height above the
  // baseline (rows below it lean left), the overstrike adds a column.
  auto shiftOf = [&](int y) { return face_.shear ? floorDiv((g.top - y) * kShearNum, kShearDen) : 0; };
  const int minShift = h > 0 ? std::min(shiftOf(0), shiftOf(h - 1)) : 0;
  const int maxShift = h > 0 ? std::max(shiftOf(0), shiftOf(h - 1)) : 0;
  const int bold = face_.embolden ? 1 : 0;
  g.left += minShift;
  g.width = w > 0 ? w + (maxShift - minShift) + bold : 0;
  g.height = h;
  g.mask.assign(static_cast<size_t>(g.width) * g.height, 0);
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = bm.buffer + static_cast<long>(y) * bm.pitch;
    uint8_t* out = g.mask.data() + static_cast<size_t>(y) * g.width + (shiftOf(y) - minShift);
    for (int x = 0; x < w; ++x) {
      const bool on = gray ? row[x] >= 128 : (row[x >> 3] & (0x80 >> (x & 7))) != 0;
      if (!on) continue;
      out[x] = 255;
      if (bold) out[x + 1] = 255;
    }
  }
  if (face_.embolden) ++g.advance;
  return g;
}

// A raster face's character width without making its mask: opening the
// face asks for every character's width, and most of them are never drawn.
// The glyph is loaded as glyph() loads it, so the width is the same.
int RealizedFont::rasterWidth(unsigned char c) {
  if (widthsKnown_[c]) return widths_[c];
  const std::uint32_t cp = codepointOf(c);
  FT_Face f = ft_ ? ft_->face : nullptr;
  if (!f || glyphs_.count(cp)) return charWidth(c);
  if (FT_Load_Glyph(f, FT_Get_Char_Index(f, cp), FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) != 0) return charWidth(c);
  // Only a glyph that is a bitmap already is sure to render, which the
  // overstrike's extra column depends on.
  if (f->glyph->format != FT_GLYPH_FORMAT_BITMAP) return charWidth(c);
  widths_[c] = static_cast<int>((f->glyph->advance.x + 32) >> 6) + (face_.embolden ? 1 : 0);
  widthsKnown_[c] = true;
  return widths_[c];
}

int RealizedFont::charWidth(unsigned char c) {
  if (!widthsKnown_[c]) {
    widths_[c] = glyph(codepointOf(c)).advance;
    widthsKnown_[c] = true;
  }
  return widths_[c];
}

int RealizedFont::textWidth(std::string_view text) {
  int w = 0;
  for (unsigned char c : text) w += charWidth(c);
  return w;
}

std::shared_ptr<RealizedFont> RealizedFont::get(const LOGFONTA& lf) {
  // Realised fonts are shared by every handle asking for the same look; the
  // cache keeps them for the life of the process, as the platform's font
  // cache does, because the system asks for the same handful of fonts.
  using Key = std::tuple<LONG, LONG, LONG, BYTE, BYTE, BYTE, BYTE, BYTE, std::string>;
  static std::map<Key, std::shared_ptr<RealizedFont>> cache;
  Key key{lf.lfHeight,
          lf.lfWidth,
          lf.lfWeight >= FW_SEMIBOLD ? 1 : 0,
          lf.lfItalic ? BYTE(1) : BYTE(0),
          lf.lfUnderline ? BYTE(1) : BYTE(0),
          lf.lfStrikeOut ? BYTE(1) : BYTE(0),
          lf.lfCharSet,
          lf.lfPitchAndFamily,
          lower(faceNameOf(lf))};
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  std::shared_ptr<RealizedFont> font(new RealizedFont());
  font->open(lf);
  cache.emplace(key, font);
  return font;
}

}  // namespace qv::os::gdi
