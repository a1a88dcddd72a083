#include "platform/os/user/WindowSurface.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/os/user/Metrics.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"

namespace qv::os {
namespace {

using gdi::RegionData;
using user::Wnd;

std::map<HWND, std::shared_ptr<gdi::Surface>>& surfaces() {
  static auto* m = new std::map<HWND, std::shared_ptr<gdi::Surface>>;
  return *m;
}

// Takes the memory of a fresh surface in one step. Page by page, each first
// touch costs a fault of its own, which on a virtual machine costs as much as
// drawing the page many times over.
void takeMemory(const gdi::Surface& s) {
#ifdef MADV_POPULATE_WRITE
  // A window larger than the screen is never all on view.
  if (!s.own || static_cast<long long>(s.width) * s.height >
                    static_cast<long long>(GetSystemMetrics(SM_CXSCREEN)) * GetSystemMetrics(SM_CYSCREEN))
    return;
  static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(s.own.get());
  const std::uintptr_t end = begin + static_cast<std::uintptr_t>(s.width) * static_cast<std::uintptr_t>(s.height) *
                                         sizeof(std::uint32_t);
  // Only the whole pages inside the pixels: the pages at the ends may be
  // shared with other memory. A kernel without the advice faults the pages
  // in as they are drawn.
  const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
  const std::uintptr_t last = end & ~(page - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
  (void)s;
#endif
}

RECT windowBox(const Wnd* w) { return {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top}; }

// A window's top-left corner in its top-level window's coordinates.
POINT offsetInRoot(Wnd* w) {
  Wnd* root = user::rootOf(w);
  RECT a = user::screenRect(w);
  RECT b = user::screenRect(root);
  return {a.left - b.left, a.top - b.top};
}

// The window's rectangle cut by its own region, in root coordinates.
RegionData shapedWindow(Wnd* w) {
  POINT o = offsetInRoot(w);
  RECT box = windowBox(w);
  RegionData r(box.left, box.top, box.right, box.bottom);
  if (w->region) r.intersect(gdi::regionData(w->region));
  r.offset(o.x, o.y);
  return r;
}

RegionData clientOf(Wnd* w) {
  POINT o = offsetInRoot(w);
  return RegionData(o.x + w->client.left, o.y + w->client.top, o.x + w->client.right, o.y + w->client.bottom);
}

// Top-level windows each have their own surface: their siblings overlap
// them only on the composed screen.
void subtractSiblingsAbove(Wnd* w, RegionData& area) {
  if (w->parent == nullptr || w->parent->isDesktop) return;
  for (Wnd* s : w->parent->children) {
    if (s == w) break;
    if ((s->style & WS_VISIBLE) && !s->destroyed) area.subtract(shapedWindow(s));
  }
}

}  // namespace

std::shared_ptr<gdi::Surface> windowSurface(HWND hwnd) {
  Wnd* w = user::find(hwnd);
  if (w == nullptr || w->isDesktop || w->destroyed) return nullptr;
  Wnd* root = user::rootOf(w);
  if (root == nullptr || root->isDesktop) return nullptr;
  int width = std::max(0, static_cast<int>(root->rect.right - root->rect.left));
  int height = std::max(0, static_cast<int>(root->rect.bottom - root->rect.top));
  auto& s = surfaces()[root->handle];
  if (s && s->width == width && s->height == height) return s;
  auto fresh = gdi::makeSurface(width, height);
  // A window's surface is made when the window is first drawn, and then it
  // is drawn on whole: its frame, its children and its client area.
  takeMemory(*fresh);
  if (s) {
    int cw = std::min(width, s->width), ch = std::min(height, s->height);
    for (int y = 0; y < ch; ++y)
      std::memcpy(fresh->row(y), s->row(y), static_cast<size_t>(cw) * sizeof(std::uint32_t));
  }
  s = fresh;
  return s;
}

POINT surfaceOrigin(HWND hwnd, bool wholeWindow) {
  Wnd* w = user::find(hwnd);
  if (w == nullptr || w->isDesktop) return {0, 0};
  POINT o = offsetInRoot(w);
  if (!wholeWindow) {
    o.x += w->client.left;
    o.y += w->client.top;
  }
  return o;
}

RegionData visibleArea(HWND hwnd, DWORD flags) {
  Wnd* w = user::find(hwnd);
  if (w == nullptr || w->isDesktop || w->destroyed || !user::visibleChain(w)) return RegionData();
  RegionData area = (flags & DCX_WINDOW) ? shapedWindow(w) : clientOf(w);
  if (!(flags & DCX_WINDOW)) {
    if (w->region) {
      RegionData shape = gdi::regionData(w->region);
      POINT o = offsetInRoot(w);
      shape.offset(o.x, o.y);
      area.intersect(shape);
    }
  }
  if ((flags & DCX_CLIPSIBLINGS) || (w->style & WS_CLIPSIBLINGS)) subtractSiblingsAbove(w, area);
  // Children never draw outside their parents' client areas; ancestors with
  // WS_CLIPSIBLINGS keep their descendants out from under their siblings.
  for (Wnd* a = w; a->parent != nullptr && !a->parent->isDesktop; a = a->parent) {
    Wnd* p = a->parent;
    area.intersect(clientOf(p));
    if (p->region) area.intersect(shapedWindow(p));
    if ((p->style & WS_CLIPSIBLINGS) && p->parent != nullptr && !p->parent->isDesktop) subtractSiblingsAbove(p, area);
  }
  if ((flags & DCX_CLIPCHILDREN) || (w->style & WS_CLIPCHILDREN)) {
    for (Wnd* c : w->children)
      if ((c->style & WS_VISIBLE) && !c->destroyed) area.subtract(shapedWindow(c));
  }
  return area;
}

const RegionData* windowShape(HWND hwnd) {
  Wnd* w = user::find(hwnd);
  if (w == nullptr || w->region == nullptr) return nullptr;
  gdi::Region* r = gdi::regionOf(w->region);
  return r ? &r->data : nullptr;
}

void dropWindowSurface(HWND hwnd) { surfaces().erase(hwnd); }
void dropAllWindowSurfaces() { surfaces().clear(); }

}  // namespace qv::os
