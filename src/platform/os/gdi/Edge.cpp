#include "platform/os/gdi/Edge.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <iterator>

#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Raster.h"

namespace qv::os::gdi {

namespace {

std::atomic<DWORD (*)(int)> g_source{nullptr};

// The classic scheme, indices 0 to 30.
constexpr COLORREF kClassic[31] = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128), RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(181, 181, 181), RGB(0, 0, 128),     RGB(166, 202, 240), RGB(192, 192, 192), RGB(10, 36, 106),
    RGB(212, 208, 200)};

struct Border {
  bool present = false;
  COLORREF topLeft = 0;
  COLORREF bottomRight = 0;
};

// One ring of the edge: the top-left lines first, then the bottom-right
// ones over them, so the bottom-right colour owns the top-right and
// bottom-left corners as in the classic look.
void drawRing(HDC dc, const RECT& r, UINT sides, const Border& b) {
  if (!b.present || r.right <= r.left || r.bottom <= r.top) return;
  if (sides & BF_LEFT) fillSolid(dc, r.left, r.top, r.left + 1, r.bottom, b.topLeft);
  if (sides & BF_TOP) fillSolid(dc, r.left, r.top, r.right, r.top + 1, b.topLeft);
  if (sides & BF_RIGHT) fillSolid(dc, r.right - 1, r.top, r.right, r.bottom, b.bottomRight);
  if (sides & BF_BOTTOM) fillSolid(dc, r.left, r.bottom - 1, r.right, r.bottom, b.bottomRight);
}

// Stops at the ends of the coordinate range rather than wrapping.
void shrink(RECT& r, UINT sides) {
  if ((sides & BF_LEFT) && r.left < INT32_MAX) ++r.left;
  if ((sides & BF_TOP) && r.top < INT32_MAX) ++r.top;
  if ((sides & BF_RIGHT) && r.right > INT32_MIN) --r.right;
  if ((sides & BF_BOTTOM) && r.bottom > INT32_MIN) --r.bottom;
}

void borders(UINT edge, UINT flags, Border& outer, Border& inner) {
  outer.present = (edge & BDR_OUTER) != 0;
  inner.present = (edge & BDR_INNER) != 0;
  if (flags & BF_MONO) {
    outer.topLeft = outer.bottomRight = sysColor(kColorWindowFrame);
    inner.topLeft = inner.bottomRight = sysColor(kColorWindow);
    return;
  }
  if (flags & BF_FLAT) {
    outer.topLeft = outer.bottomRight = sysColor(kColorBtnShadow);
    inner.topLeft = inner.bottomRight = sysColor(kColorBtnFace);
    return;
  }
  const bool soft = (flags & BF_SOFT) != 0;
  // Soft edges swap the top-left colours of the two rings, which lightens
  // a raised and deepens a sunken top-left.
  if (edge & BDR_RAISEDOUTER) {
    outer.topLeft = sysColor(soft ? kColorBtnHighlight : kColor3DLight);
    outer.bottomRight = sysColor(kColor3DDkShadow);
  } else {
    outer.topLeft = sysColor(soft ? kColor3DDkShadow : kColorBtnShadow);
    outer.bottomRight = sysColor(kColorBtnHighlight);
  }
  if (edge & BDR_RAISEDINNER) {
    inner.topLeft = sysColor(soft ? kColor3DLight : kColorBtnHighlight);
    inner.bottomRight = sysColor(kColorBtnShadow);
  } else {
    inner.topLeft = sysColor(soft ? kColorBtnShadow : kColor3DDkShadow);
    inner.bottomRight = sysColor(kColor3DLight);
  }
}

// A diagonal from one corner of the rectangle's square to the opposite one,
// named by the end it runs to; the inner line runs one pixel inside.
void drawDiagonal(HDC dc, const RECT& r, UINT flags, const Border& outer, const Border& inner) {
  const int n = std::min(r.right - r.left, r.bottom - r.top);
  if (n <= 0) return;
  const bool endTop = (flags & BF_TOP) != 0;
  const bool endRight = (flags & BF_RIGHT) != 0 || !(flags & BF_LEFT);
  // Start at the corner opposite the end.
  const int x0 = endRight ? r.left : r.right - 1;
  const int y0 = endTop ? r.bottom - 1 : r.top;
  const int sx = endRight ? 1 : -1;
  const int sy = endTop ? -1 : 1;
  auto line = [&](const Border& b, int shift) {
    if (!b.present) return;
    const COLORREF c = endTop ? b.topLeft : b.bottomRight;
    for (int i = 0; i + shift < n; ++i)
      SetPixelV(dc, x0 + (i + shift) * sx, y0 + i * sy, c);
  };
  line(outer, 0);
  line(inner, 1);
}

}  // namespace

void setSysColorSource(DWORD (*source)(int index)) { g_source.store(source); }

COLORREF classicSysColor(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kClassic))) return 0;
  return kClassic[index];
}

COLORREF sysColor(int index) {
  auto source = g_source.load();
  return source != nullptr ? source(index) : classicSysColor(index);
}

void fillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF c) {
  if (right <= left || bottom <= top) return;
  HBRUSH b = CreateSolidBrush(c);
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, b);
  DeleteObject(b);
}

}  // namespace qv::os::gdi

using namespace qv::os::gdi;

BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags) {
  if (rect == nullptr || dcOf(dc) == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Border outer, inner;
  borders(edge, flags, outer, inner);
  if (flags & BF_DIAGONAL) {
    drawDiagonal(dc, *rect, flags, outer, inner);
    return TRUE;
  }
  const UINT sides = flags & BF_RECT;
  RECT r = *rect;
  drawRing(dc, r, sides, outer);
  if (outer.present) shrink(r, sides);
  drawRing(dc, r, sides, inner);
  if (inner.present) shrink(r, sides);
  if (flags & BF_MIDDLE) fillSolid(dc, r, sysColor((flags & BF_MONO) ? kColorWindow : kColorBtnFace));
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}
