#include "platform/os/gdi/Pen.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace qv::os::gdi {

int Pen::getObject(int size, void* out) const {
  if (type() == OBJ_EXTPEN) {
    int needed = static_cast<int>(offsetof(EXTLOGPEN, elpStyleEntry) + userStyle.size() * sizeof(DWORD));
    if (needed < static_cast<int>(sizeof(EXTLOGPEN))) needed = sizeof(EXTLOGPEN);
    if (out == nullptr) return needed;
    if (size < needed) return 0;
    auto* e = static_cast<EXTLOGPEN*>(out);
    e->elpPenStyle = style;
    e->elpWidth = static_cast<DWORD>(width);
    e->elpBrushStyle = brushStyle;
    e->elpColor = color;
    e->elpHatch = 0;
    e->elpNumEntries = static_cast<DWORD>(userStyle.size());
    if (!userStyle.empty()) std::memcpy(e->elpStyleEntry, userStyle.data(), userStyle.size() * sizeof(DWORD));
    return needed;
  }
  if (out == nullptr) return sizeof(LOGPEN);
  if (size < static_cast<int>(sizeof(LOGPEN))) return 0;
  LOGPEN lp{style, {width, 0}, color};
  std::memcpy(out, &lp, sizeof lp);
  return sizeof(LOGPEN);
}

namespace {

// Pens wider than this draw as wide as this: no surface is that large.
int clampWidth(long long width) {
  width = width < 0 ? -width : width;
  return static_cast<int>(std::clamp<long long>(width, 1, 1 << 16));
}

}  // namespace

Pen* penOf(HPEN h) {
  GdiObject* o = lookup(h);
  if (o == nullptr || (o->type() != OBJ_PEN && o->type() != OBJ_EXTPEN)) return nullptr;
  return static_cast<Pen*>(o);
}

}  // namespace qv::os::gdi

using namespace qv::os::gdi;

HPEN CreatePen(int style, int width, COLORREF c) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) return nullptr;
  auto p = std::make_unique<Pen>();
  p->style = static_cast<DWORD>(style);
  // Styled pens are cosmetic: wider ones draw solid on the platform too.
  p->width = clampWidth(width);
  p->color = c & 0xFFFFFFu;
  return addObjectAs<HPEN>(std::move(p));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
  return lp == nullptr ? nullptr : CreatePen(static_cast<int>(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD styleCount, const DWORD* styles) {
  if (lb == nullptr) return nullptr;
  DWORD kind = style & PS_TYPE_MASK;
  int line = static_cast<int>(style & PS_STYLE_MASK);
  if (kind != PS_COSMETIC && kind != PS_GEOMETRIC) return nullptr;
  if (line > PS_ALTERNATE) return nullptr;
  if (kind == PS_COSMETIC && width != 1) return nullptr;
  if (line == PS_ALTERNATE && kind != PS_COSMETIC) return nullptr;
  if (line == PS_USERSTYLE ? (styleCount == 0 || styleCount > 16 || styles == nullptr) : styleCount != 0)
    return nullptr;
  if (lb->lbStyle != BS_SOLID && lb->lbStyle != BS_NULL && lb->lbStyle != BS_HATCHED) return nullptr;
  auto p = std::make_unique<Pen>(OBJ_EXTPEN);
  p->style = style;
  p->width = clampWidth(static_cast<long long>(width));
  p->color = lb->lbColor & 0xFFFFFFu;
  p->brushStyle = lb->lbStyle;
  if (lb->lbStyle == BS_NULL) p->style = (style & ~PS_STYLE_MASK) | PS_NULL;
  if (line == PS_USERSTYLE) p->userStyle.assign(styles, styles + styleCount);
  return addObjectAs<HPEN>(std::move(p));
}
