// Brushes: solid, null, hatched and pattern brushes. A pattern repeats from
// the DC's brush origin; a monochrome pattern takes the DC's text colour for
// its 0 bits and the background colour for its 1 bits when drawn.
#pragma once

#include <memory>

#include "platform/os/Types.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/GdiObject.h"

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_HATCHED 2
#define BS_PATTERN 3
#define BS_INDEXED 4
#define BS_DIBPATTERN 5
#define BS_DIBPATTERNPT 6
#define BS_PATTERN8X8 7
#define BS_DIBPATTERN8X8 8

#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5

struct LOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
};
using LPLOGBRUSH = LOGBRUSH*;

HBRUSH CreateSolidBrush(COLORREF c);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HBRUSH CreatePatternBrush(HBITMAP bmp);
HBRUSH CreateHatchBrush(int hatch, COLORREF c);

namespace qv::os::gdi {

class Brush : public GdiObject {
 public:
  Brush() : GdiObject(OBJ_BRUSH) {}
  int getObject(int size, void* out) const override;

  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  HBITMAP patternSource = nullptr;  // as LOGBRUSH reports it
  // The pattern's own copy, so that the source bitmap may be deleted.
  std::shared_ptr<Surface> pattern;
  bool dcBrush = false;  // DC_BRUSH: the DC's brush colour
};

Brush* brushOf(HBRUSH h);

// How a brush paints one DC, resolved once per drawing call.
struct Paint {
  bool none = true;           // null brush: nothing is drawn
  bool solid = true;          // one pixel value everywhere
  std::uint32_t pixel = 0;    // the solid value
  const Surface* pattern = nullptr;
  std::uint32_t fore = 0;     // monochrome patterns: value for 0 bits
  std::uint32_t back = 0;     // ... and for 1 bits
  bool monoPattern = false;
  bool toMono = false;        // a colour pattern on a monochrome surface
  int orgX = 0;               // brush origin in surface coordinates
  int orgY = 0;
  std::shared_ptr<Surface> hatchSurface;  // a hatch as a 8 x 8 mono pattern
  // Hatches drawn in TRANSPARENT mode leave their background pixels alone.
  bool transparentBack = false;
  // The brush's value at surface pixel (x, y).
  std::uint32_t at(int x, int y) const;
  // Whether the brush paints surface pixel (x, y) at all.
  bool covers(int x, int y) const;
};

class Dc;
// Resolves the brush for drawing on `dc` (its colours, brush origin and
// the destination's monochrome conversion).
Paint paintOf(Dc& dc, HBRUSH brush);
Paint solidPaint(Dc& dc, COLORREF c);

}  // namespace qv::os::gdi
