// The font engine: FreeType faces of the DejaVu family standing in for the
// platform's fonts, realised at a pixel size and rendered monochrome, as the
// classic platform draws text without smoothing.
//
// Face mapping: "Courier New", "Courier" and fixed-pitch requests give DejaVu
// Sans Mono; "Times New Roman" gives DejaVu Serif; every other face ("MS Sans
// Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "Arial", "Verdana",
// "Segoe UI", "System", unknown names) gives DejaVu Sans. A weight of 600 or
// more picks the bold face; italic picks the oblique/italic face, or shears
// the upright one when that file is missing.
//
// Metric rule. With A and D the face's Windows ascent and descent and U its
// units per em, a character height h (lfHeight = -h) sets the FreeType pixel
// size (em) to h, and
//   tmHeight  = round(h * (A + D) / U)
//   tmAscent  = round(h * A / U),  tmDescent = tmHeight - tmAscent
//   tmInternalLeading = tmHeight - h
// A cell height c (lfHeight = c > 0) first gives h = round(c * U / (A + D)).
// lfHeight 0 asks for the default cell height of 16 pixels; h is capped at
// 1024 pixels. For the DejaVu faces, lfHeight -11 gives tmHeight 13 (ascent
// 10, descent 3), the value the platform's 8-point dialog fonts have at 96 DPI.
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
  std::string family;  // "DejaVu Sans", ...
  bool bold = false;
  bool italic = false;
  bool shear = false;       // oblique made by shearing the upright face
  BYTE pitchAndFamily = 0;  // tmPitchAndFamily
};

// Which face a logical font is realised with.
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
  // while any DejaVu face is installed.
  static std::shared_ptr<RealizedFont> get(const LOGFONTA& lf);

 private:
  RealizedFont() = default;
  bool open(const LOGFONTA& lf);

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
