#include "platform/os/gdi/Rect.h"

#include <algorithm>
#include <cstdint>

namespace {
// Coordinates add as the platform's 32-bit registers do: a sum past the
// range wraps round instead of being undefined.
LONG wrapAdd(LONG a, int b) {
  return static_cast<LONG>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
LONG wrapSub(LONG a, int b) {
  return static_cast<LONG>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
}  // namespace

BOOL SetRect(LPRECT r, int left, int top, int right, int bottom) {
  if (r == nullptr) return FALSE;
  *r = {left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT r) { return SetRect(r, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT dst, const RECT* src) {
  if (dst == nullptr || src == nullptr) return FALSE;
  *dst = *src;
  return TRUE;
}

BOOL InflateRect(LPRECT r, int x, int y) {
  if (r == nullptr) return FALSE;
  *r = {wrapSub(r->left, x), wrapSub(r->top, y), wrapAdd(r->right, x), wrapAdd(r->bottom, y)};
  return TRUE;
}

BOOL OffsetRect(LPRECT r, int x, int y) {
  if (r == nullptr) return FALSE;
  *r = {wrapAdd(r->left, x), wrapAdd(r->top, y), wrapAdd(r->right, x), wrapAdd(r->bottom, y)};
  return TRUE;
}

BOOL IsRectEmpty(const RECT* r) { return r == nullptr || r->right <= r->left || r->bottom <= r->top; }

BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (dst == nullptr || a == nullptr || b == nullptr) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    *dst = {0, 0, 0, 0};
    return FALSE;
  }
  *dst = r;
  return TRUE;
}

BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (dst == nullptr || a == nullptr || b == nullptr) return FALSE;
  bool emptyA = IsRectEmpty(a), emptyB = IsRectEmpty(b);
  if (emptyA && emptyB) {
    *dst = {0, 0, 0, 0};
    return FALSE;
  }
  if (emptyA) {
    *dst = *b;
  } else if (emptyB) {
    *dst = *a;
  } else {
    *dst = {std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
            std::max(a->bottom, b->bottom)};
  }
  return TRUE;
}

BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
  if (dst == nullptr || a == nullptr || b == nullptr) return FALSE;
  RECT r = *a;
  RECT cut;
  // Only a cut that spans the whole width or height shrinks the rectangle.
  if (IntersectRect(&cut, a, b)) {
    if (cut.left == r.left && cut.right == r.right) {
      if (cut.top == r.top) r.top = cut.bottom;
      else if (cut.bottom == r.bottom) r.bottom = cut.top;
    } else if (cut.top == r.top && cut.bottom == r.bottom) {
      if (cut.left == r.left) r.left = cut.right;
      else if (cut.right == r.right) r.right = cut.left;
    }
  }
  if (IsRectEmpty(&r)) {
    *dst = {0, 0, 0, 0};
    return FALSE;
  }
  *dst = r;
  return TRUE;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
  if (a == nullptr || b == nullptr) return FALSE;
  return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* r, POINT p) {
  return r != nullptr && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
