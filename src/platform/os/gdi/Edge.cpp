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

// Fills as FillRect does, a rectangle that has run backwards included: the
// edge of a rectangle too small for its borders keeps the pixels FillRect
// gives the lines and the middle that are left.
void fillAsFillRect(HDC dc, int left, int top, int right, int bottom, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// One ring of the edge: the top-left lines first, then the bottom-right
// ones over them, so the bottom-right colour owns the top-right and
// bottom-left corners as in the classic look.
void drawRing(HDC dc, const RECT& r, UINT sides, const Border& b) {
  if (!b.present) return;
  if (sides & BF_LEFT) fillAsFillRect(dc, r.left, r.top, r.left + 1, r.bottom, b.topLeft);
  if (sides & BF_TOP) fillAsFillRect(dc, r.left, r.top, r.right, r.top + 1, b.topLeft);
  if (sides & BF_RIGHT) fillAsFillRect(dc, r.right - 1, r.top, r.right, r.bottom, b.bottomRight);
  if (sides & BF_BOTTOM) fillAsFillRect(dc, r.left, r.bottom - 1, r.right, r.bottom, b.bottomRight);
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

// A diagonal edge runs corner to corner across the square of the
// rectangle's shorter side, anchored at its left side: falling from the
// top-left corner for the ends top-left and bottom-right, rising from the
// bottom-left corner otherwise. The end names the colours (the top-left ones
// for the top ends and a plain diagonal, the bottom-right ones for the
// bottom ends) and the side of the diagonal that the inner line and
// BF_MIDDLE's fill take: right of it for the top ends, left of it for the
// others. A lone border, outer or inner, lies on the diagonal itself.
void drawDiagonal(HDC dc, const RECT& r, UINT flags, const Border& outer, const Border& inner) {
  const int n = std::min(r.right - r.left, r.bottom - r.top);
  if (n <= 0) return;
  const UINT ends = flags & BF_RECT;
  const bool falling = ends == (BF_TOP | BF_LEFT) || ends == (BF_BOTTOM | BF_RIGHT);
  const bool bottom = ends == (BF_BOTTOM | BF_LEFT) || ends == (BF_BOTTOM | BF_RIGHT);
  const bool right = ends == (BF_TOP | BF_RIGHT) || ends == (BF_TOP | BF_LEFT);
  const int top = falling ? r.top : r.bottom - n;
  // Pixel i of a line `shift` lines off the diagonal.
  auto at = [&](int i, int shift) {
    POINT p{r.left + i, falling ? r.top + i : r.bottom - 1 - i};
    if (shift == 0) return p;
    if (right) p.x += 1;
    else p.y += falling ? 1 : -1;
    return p;
  };
  int drawn = 0;
  for (const Border* b : {&outer, &inner}) {
    if (!b->present) continue;
    const COLORREF c = bottom ? b->bottomRight : b->topLeft;
    for (int i = 0; i + drawn < n; ++i) {
      POINT p = at(i, drawn);
      SetPixelV(dc, p.x, p.y, c);
    }
    ++drawn;
  }
  if (!(flags & BF_MIDDLE)) return;
  // The fill is the part of the square past the lines drawn: for a rising
  // diagonal the pixels whose x + y is beyond it, for a falling one x - y.
  const COLORREF face = sysColor((flags & BF_MONO) ? kColorWindow : kColorBtnFace);
  const int diagonal = falling ? r.left - r.top : r.left + r.bottom - 1;
  const int edge = right ? diagonal + drawn : diagonal - drawn;
  for (int y = top; y < top + n; ++y) {
    const int x = falling ? edge + y : edge - y;  // where the row meets the edge
    const int lo = right ? std::max(r.left, x) : r.left;
    const int hi = right ? r.left + n : std::min(r.left + n, x + 1);
    fillSolid(dc, lo, y, hi, y + 1, face);
  }
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
  const UINT sides = flags & BF_RECT;
  if (flags & BF_DIAGONAL) {
    drawDiagonal(dc, *rect, flags, outer, inner);
    // BF_ADJUST moves the named sides in by the borders drawn, as for a
    // rectangle.
    if (flags & BF_ADJUST) {
      if (outer.present) shrink(*rect, sides);
      if (inner.present) shrink(*rect, sides);
    }
    return TRUE;
  }
  RECT r = *rect;
  drawRing(dc, r, sides, outer);
  if (outer.present) shrink(r, sides);
  drawRing(dc, r, sides, inner);
  if (inner.present) shrink(r, sides);
  if (flags & BF_MIDDLE)
    fillAsFillRect(dc, r.left, r.top, r.right, r.bottom, sysColor((flags & BF_MONO) ? kColorWindow : kColorBtnFace));
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}
