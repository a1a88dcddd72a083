// Pens: cosmetic and geometric, solid, dotted and null, any width.
#pragma once

#include <vector>

#include "platform/os/Types.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/GdiObject.h"

#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6
#define PS_USERSTYLE 7
#define PS_ALTERNATE 8
#define PS_STYLE_MASK 0x0000000F
#define PS_ENDCAP_ROUND 0x00000000
#define PS_ENDCAP_SQUARE 0x00000100
#define PS_ENDCAP_FLAT 0x00000200
#define PS_ENDCAP_MASK 0x00000F00
#define PS_JOIN_ROUND 0x00000000
#define PS_JOIN_BEVEL 0x00001000
#define PS_JOIN_MITER 0x00002000
#define PS_JOIN_MASK 0x0000F000
#define PS_COSMETIC 0x00000000
#define PS_GEOMETRIC 0x00010000
#define PS_TYPE_MASK 0x000F0000

struct LOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;
  COLORREF lopnColor;
};
using LPLOGPEN = LOGPEN*;

struct EXTLOGPEN {
  DWORD elpPenStyle;
  DWORD elpWidth;
  UINT elpBrushStyle;
  COLORREF elpColor;
  ULONG_PTR elpHatch;
  DWORD elpNumEntries;
  DWORD elpStyleEntry[1];
};

HPEN CreatePen(int style, int width, COLORREF c);
HPEN CreatePenIndirect(const LOGPEN* lp);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD styleCount, const DWORD* styles);

namespace qv::os::gdi {

class Pen : public GdiObject {
 public:
  explicit Pen(DWORD type = OBJ_PEN) : GdiObject(type) {}
  int getObject(int size, void* out) const override;

  DWORD style = PS_SOLID;  // full style bits
  int width = 1;
  COLORREF color = 0;
  UINT brushStyle = BS_SOLID;
  bool dcPen = false;  // DC_PEN: the DC's pen colour
  std::vector<DWORD> userStyle;

  int lineStyle() const { return static_cast<int>(style & PS_STYLE_MASK); }
};

Pen* penOf(HPEN h);

}  // namespace qv::os::gdi
