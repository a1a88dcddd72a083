#include "platform/os/gdi/Clip.h"

#include <algorithm>

#include "platform/os/gdi/Dc.h"

namespace qv::os::gdi {
namespace {

// What a DC without a clip may draw on, in device coordinates.
RegionData wholeDevice(Dc& dc) {
  if (dc.visible) return *dc.visible;
  int w = dc.surface ? dc.surface->width : 0, h = dc.surface ? dc.surface->height : 0;
  return RegionData(-dc.origin.x, -dc.origin.y, w - dc.origin.x, h - dc.origin.y);
}

// The complexity of what the DC can now draw, as the clip calls answer.
int drawableComplexity(Dc& dc) {
  dc.invalidate();
  int n = pixman_region32_n_rects(dc.drawable());
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Replaces the clip with a fresh region (saved states may share the old one).
int setClip(Dc& dc, RegionData clip) {
  dc.state.clip = std::make_shared<RegionData>(std::move(clip));
  return drawableComplexity(dc);
}

RegionData currentClip(Dc& dc) { return dc.state.clip ? *dc.state.clip : wholeDevice(dc); }

RECT logicalToDevice(Dc& dc, int left, int top, int right, int bottom) {
  RECT r = dc.toDevice(RECT{left, top, right, bottom});
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

}  // namespace
}  // namespace qv::os::gdi

using namespace qv::os::gdi;

int SelectClipRgn(HDC dc, HRGN rgn) { return ExtSelectClipRgn(dc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (rgn == nullptr) {
    if (mode != RGN_COPY) return ERROR;
    dc->state.clip.reset();
    return drawableComplexity(*dc);
  }
  Region* r = regionOf(rgn);
  if (r == nullptr) return ERROR;
  RegionData result = currentClip(*dc);
  switch (mode) {
    case RGN_AND: result.intersect(r->data); break;
    case RGN_OR: result.unite(r->data); break;
    case RGN_XOR: result.exclusiveOr(r->data); break;
    case RGN_DIFF: result.subtract(r->data); break;
    default: result = r->data; break;
  }
  return setClip(*dc, std::move(result));
}

int GetClipRgn(HDC hdc, HRGN rgn) {
  Dc* dc = dcOf(hdc);
  Region* r = regionOf(rgn);
  if (dc == nullptr || r == nullptr) return -1;
  if (!dc->state.clip) return 0;
  r->data = *dc->state.clip;
  return 1;
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return ERROR;
  RECT d = logicalToDevice(*dc, left, top, right, bottom);
  RegionData clip = currentClip(*dc);
  clip.subtract(RegionData(d.left, d.top, d.right, d.bottom));
  return setClip(*dc, std::move(clip));
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return ERROR;
  RECT d = logicalToDevice(*dc, left, top, right, bottom);
  RegionData clip = currentClip(*dc);
  clip.intersect(RegionData(d.left, d.top, d.right, d.bottom));
  return setClip(*dc, std::move(clip));
}

int OffsetClipRgn(HDC hdc, int x, int y) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return ERROR;
  if (!dc->state.clip) return drawableComplexity(*dc);
  RegionData clip = *dc->state.clip;
  clip.offset(x, y);
  return setClip(*dc, std::move(clip));
}

int GetClipBox(HDC hdc, LPRECT box) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || box == nullptr) return ERROR;
  const pixman_region32_t* d = dc->drawable();
  int n = pixman_region32_n_rects(d);
  if (n == 0) {
    *box = {0, 0, 0, 0};
    return NULLREGION;
  }
  const pixman_box32_t* e = pixman_region32_extents(d);
  POINT pts[2] = {{e->x1 - dc->origin.x, e->y1 - dc->origin.y}, {e->x2 - dc->origin.x, e->y2 - dc->origin.y}};
  DPtoLP(hdc, pts, 2);
  *box = {pts[0].x, pts[0].y, pts[1].x, pts[1].y};
  return n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

BOOL RectVisible(HDC hdc, const RECT* r) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr || r == nullptr) return FALSE;
  RECT d = logicalToDevice(*dc, r->left, r->top, r->right, r->bottom);
  if (d.left == d.right || d.top == d.bottom) return FALSE;
  pixman_box32_t b{d.left + dc->origin.x, d.top + dc->origin.y, d.right + dc->origin.x, d.bottom + dc->origin.y};
  return pixman_region32_contains_rectangle(dc->drawable(), &b) != PIXMAN_REGION_OUT;
}

BOOL PtVisible(HDC hdc, int x, int y) {
  Dc* dc = dcOf(hdc);
  if (dc == nullptr) return FALSE;
  POINT d = dc->toDevice(POINT{x, y});
  return pixman_region32_contains_point(dc->drawable(), d.x + dc->origin.x,
                                        d.y + dc->origin.y, nullptr) != 0;
}
