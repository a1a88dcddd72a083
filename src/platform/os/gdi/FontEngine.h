// The font engine: FreeType faces from Debian's font packages standing in
// for the platform's fonts, realised at a pixel size and rendered
// monochrome, as the classic platform draws text without smoothing.
//
// Face mapping. The forms were laid out for the platform's dialog fonts, so
// their stand-ins are faces made to those fonts' widths (a wider face cuts
// fixed-width captions):
// - "MS Sans Serif" and "MS Shell Dlg": the raster face "MS Sans Serif" of
//   fonts-wine (ms_sans_serif.ttf, bitmap strikes only) at its three sizes,
//   cells of 13, 16 and 20 pixels for character heights 11, 13 and 16 (8,
//   10 and 12 points at 96 DPI). Bold is made by overstriking one pixel to
//   the right (each advance one wider, tmOverhang 1), italic by shearing
//   the rows, as the platform synthesises them for raster fonts. Other
//   sizes are realised with the Tahoma stand-in at the size asked for.
// - "Tahoma" and "MS Shell Dlg 2": Tahoma of fonts-wine (tahoma.ttf and
//   tahomabd.ttf), whose hand-made bitmaps at 8 to 16 pixels per em carry
//   Tahoma's own widths; italic shears the upright face.
// - "Arial": Liberation Sans of fonts-liberation2, made to Arial's metrics.
// - "Courier New", "Courier" and fixed-pitch requests: DejaVu Sans Mono;
//   "Times New Roman": DejaVu Serif; every other face ("Verdana", "Segoe
//   UI", "System", unknown names): DejaVu Sans (fonts-dejavu-core).
// A face whose file is missing falls back to DejaVu Sans. A weight of 600
// or more picks the bold face; italic picks the oblique/italic face, or
// shears the upright one when there is none.
//
// Metric rule (scalable faces). With A and D the face's Windows ascent and
// descent and U its units per em, a character height h (lfHeight = -h) sets
// the FreeType pixel size (em) to h, and
//   tmHeight  = round(h * (A + D) / U)
//   tmAscent  = round(h * A / U),  tmDescent = tmHeight - tmAscent
//   tmInternalLeading = tmHeight - h
// A cell height c (lfHeight = c > 0) first gives h = round(c * U / (A + D)).
// lfHeight 0 asks for the default cell height of 16 pixels; h is capped at
// 1024 pixels. A raster strike has its own cell: ascent and descent are the
// strike's, the internal leading is the cell less the character height.
// lfHeight -11 gives tmHeight 13 (ascent 11, descent 2) for the dialog
// faces, the value the platform's 8-point dialog fonts have at 96 DPI.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/os/Types.h"
#include "platform/os/gdi/Font.h"

namespace qv::os::gdi {

// One rendered glyph: a coverage mask of 0 or 255 per pixel, placed with its
// top-left corner at (originX + left, baselineY - top).
struct Glyph {
  int advance = 0;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> mask;  // width * height, row-major
};

struct FaceChoice {
  std::string file;    // host path of the font file
  std::string family;  // "MS Sans Serif", "Tahoma", "DejaVu Sans", ...
  bool bold = false;
  bool italic = false;
  bool shear = false;       // oblique made by shearing the upright face
  bool embolden = false;    // bold made by overstriking the regular face
  int strike = -1;          // the bitmap strike of a raster face, else -1
  int strikeEm = 0;         // that strike's character height
  BYTE pitchAndFamily = 0;  // tmPitchAndFamily
};

// Which face a logical font is realised with (the size matters for the
// raster face).
FaceChoice mapFace(const LOGFONTA& lf);

// Character height (em in pixels) that a logical font's lfHeight asks for,
// by the metric rule above.
int emForHeight(LONG lfHeight, int ascentUnits, int descentUnits, int unitsPerEm);

class RealizedFont {
 public:
  ~RealizedFont();
  RealizedFont(const RealizedFont&) = delete;
  RealizedFont& operator=(const RealizedFont&) = delete;

  const TEXTMETRICA& metrics() const { return metrics_; }
  const LOGFONTA& logFont() const { return logFont_; }
  const FaceChoice& face() const { return face_; }
  // The face name GetTextFace reports: the requested name, as the platform
  // reports the name the font was asked for when it maps it to a substitute.
  const std::string& faceName() const { return faceName_; }

  // Glyph of a Unicode code point (the .notdef box when the face lacks it).
  const Glyph& glyph(std::uint32_t codepoint);
  // Advance of one Windows-1252 character.
  int charWidth(unsigned char c);
  // Sum of advances of Windows-1252 text.
  int textWidth(std::string_view text);

  // Underline and strike-out lines: offsets below the baseline (negative is
  // above it) and thickness, all in pixels, at least 1 thick.
  int underlineOffset() const { return underlineOffset_; }
  int underlineThickness() const { return underlineThickness_; }
  int strikeOutOffset() const { return strikeOutOffset_; }
  int strikeOutThickness() const { return strikeOutThickness_; }

  // Realises (or finds in the cache) the font for a logical font. Never null
  // while DejaVu Sans is installed.
  static std::shared_ptr<RealizedFont> get(const LOGFONTA& lf);

 private:
  RealizedFont() = default;
  bool open(const LOGFONTA& lf);
  void openRaster();
  void openScalable(const LOGFONTA& lf);
  int rasterWidth(unsigned char c);

  struct FaceHandle;
  std::unique_ptr<FaceHandle> ft_;
  LOGFONTA logFont_{};
  FaceChoice face_;
  std::string faceName_;
  TEXTMETRICA metrics_{};
  int underlineOffset_ = 1, underlineThickness_ = 1;
  int strikeOutOffset_ = -3, strikeOutThickness_ = 1;
  std::unordered_map<std::uint32_t, Glyph> glyphs_;
  int widths_[256];
  bool widthsKnown_[256] = {};
};

// The realised font of a font handle (kept with the handle), or nullptr when
// `font` is not a font.
std::shared_ptr<RealizedFont> realizedFont(HFONT font);

// Windows-1252 byte to Unicode code point.
std::uint32_t codepointOf(unsigned char c);

}  // namespace qv::os::gdi
