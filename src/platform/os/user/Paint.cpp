#include "platform/os/user/Paint.h"

#include <algorithm>

#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"
#include "platform/os/user/WindowDc.h"

using namespace qv::os::user;

namespace {

RECT clientBox(const Wnd* w) { return {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top}; }

bool needsPaint(const Wnd* w) { return w->hasUpdate || w->internalPaint; }

Wnd* searchPaint(Wnd* w, DWORD thread, HWND filter) {
  if (!(w->style & WS_VISIBLE) || w->destroyed) return nullptr;
  if (w->thread == thread && needsPaint(w) && (filter == nullptr || w->handle == filter || IsChild(filter, w->handle)))
    return w;
  if (w->style & WS_MINIMIZE) return nullptr;
  for (Wnd* c : w->children)
    if (Wnd* got = searchPaint(c, thread, filter)) return got;
  return nullptr;
}

void validateAll(Wnd* w) {
  w->hasUpdate = false;
  w->update = {};
  w->erasePending = false;
  w->framePending = false;
  w->internalPaint = false;
}

// Paints a window now, and then its children, as UpdateWindow does.
void paintNow(HWND hwnd, bool children) {
  Wnd* w = find(hwnd);
  if (w == nullptr || !visibleChain(w)) return;
  if (w->framePending && !needsPaint(w)) {
    w->framePending = false;
    send(hwnd, WM_NCPAINT, 1, 0);
    if ((w = find(hwnd)) == nullptr) return;
  }
  if (needsPaint(w)) {
    int before = w->paintCalls;
    send(hwnd, WM_PAINT, 0, 0);
    w = find(hwnd);
    if (w == nullptr) return;
    if (w->paintCalls == before) validateAll(w);
  }
  if (!children) return;
  std::vector<HWND> kids;
  for (Wnd* c : w->children) kids.push_back(c->handle);
  for (HWND k : kids) paintNow(k, true);
}

}  // namespace

namespace qv::os::user {

void invalidate(Wnd* w, const RECT* rect, UINT flags) {
  if (w == nullptr || w->destroyed) return;
  RECT box = clientBox(w);
  RECT r = box;
  if (rect) IntersectRect(&r, rect, &box);
  if (flags & RDW_INVALIDATE) {
    if (!IsRectEmpty(&r)) {
      if (w->hasUpdate) UnionRect(&w->update, &w->update, &r);
      else w->update = r;
      w->hasUpdate = true;
      if (flags & RDW_ERASE) w->erasePending = true;
    }
  }
  if ((flags & RDW_FRAME) && !(flags & RDW_VALIDATE)) w->framePending = true;
  if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
  if (flags & RDW_VALIDATE) {
    if (rect == nullptr) {
      w->hasUpdate = false;
      w->update = {};
    } else if (w->hasUpdate) {
      RECT rest;
      if (!SubtractRect(&rest, &w->update, &r) || IsRectEmpty(&rest)) {
        w->hasUpdate = false;
        w->update = {};
      } else {
        w->update = rest;
      }
    }
    if (!w->hasUpdate || (flags & RDW_NOERASE)) w->erasePending = false;
    if (flags & RDW_NOFRAME) w->framePending = false;
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
  }
  bool kids = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
  if (!kids) return;
  for (Wnd* c : w->children) {
    if (!(c->style & WS_VISIBLE)) continue;
    RECT inChild = r;
    OffsetRect(&inChild, -(c->rect.left + c->client.left), -(c->rect.top + c->client.top));
    RECT cr = c->rect;
    OffsetRect(&cr, -(c->rect.left + c->client.left), -(c->rect.top + c->client.top));
    RECT hit;
    if (!IntersectRect(&hit, &inChild, &cr)) continue;
    UINT childFlags = flags & ~static_cast<UINT>(RDW_FRAME | RDW_NOFRAME);
    if (flags & RDW_FRAME) childFlags |= RDW_FRAME;
    invalidate(c, (rect == nullptr) ? nullptr : &inChild, childFlags);
  }
  wake();
}

void collectFrames(Wnd* w, DWORD thread, std::vector<HWND>& out) {
  if (!(w->style & WS_VISIBLE) || w->destroyed) return;
  if (w->thread == thread && w->framePending && !needsPaint(w)) out.push_back(w->handle);
  for (Wnd* c : w->children) collectFrames(c, thread, out);
}

void paintFrames(DWORD thread) {
  ensureDesktop();
  std::vector<HWND> frames;
  for (Wnd* t : state().desktop->children) collectFrames(t, thread, frames);
  for (HWND h : frames) {
    Wnd* w = find(h);
    if (w == nullptr || !w->framePending) continue;
    w->framePending = false;
    send(h, WM_NCPAINT, 1, 0);
  }
}

void redrawFrame(Wnd* w) {
  auto& hooks = qv::os::paintHooks();
  if (!hooks.drawFrame || !visibleChain(w)) return;
  HDC dc = GetWindowDC(w->handle);
  if (dc == nullptr) return;
  hooks.drawFrame(w->handle, dc, state().active == w->handle);
  ReleaseDC(w->handle, dc);
}

Wnd* paintCandidate(DWORD thread, HWND filter) {
  ensureDesktop();
  for (Wnd* t : state().desktop->children)
    if (Wnd* got = searchPaint(t, thread, filter)) return got;
  return nullptr;
}

}  // namespace qv::os::user

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (hwnd == nullptr) {
    ensureDesktop();
    for (Wnd* t : state().desktop->children)
      invalidate(t, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
  }
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  // The update area is clipped to what is visible: hidden windows gain none.
  if (!visibleChain(w)) return TRUE;
  invalidate(w, rect, RDW_INVALIDATE | (erase ? RDW_ERASE : 0u));
  return TRUE;
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  if (rgn == nullptr) return InvalidateRect(hwnd, nullptr, erase);
  RECT box;
  if (GetRgnBox(rgn, &box) == ERROR) return FALSE;
  if (IsRectEmpty(&box)) return TRUE;
  return InvalidateRect(hwnd, &box, erase);
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  if (hwnd == nullptr) return InvalidateRect(nullptr, nullptr, TRUE);
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  w->paintCalls++;
  invalidate(w, rect, RDW_VALIDATE | RDW_NOCHILDREN | (rect ? 0u : static_cast<UINT>(RDW_NOINTERNALPAINT)));
  return TRUE;
}

BOOL ValidateRgn(HWND hwnd, HRGN rgn) {
  if (rgn == nullptr) return ValidateRect(hwnd, nullptr);
  RECT box;
  if (GetRgnBox(rgn, &box) == ERROR) return FALSE;
  return ValidateRect(hwnd, &box);
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  if (erase && w->erasePending && w->hasUpdate) {
    HDC dc = GetDC(hwnd);
    LRESULT done = send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (dc) ReleaseDC(hwnd, dc);
    if ((w = find(hwnd)) == nullptr) return FALSE;
    if (done) w->erasePending = false;
  }
  if (rect) *rect = w->hasUpdate ? w->update : RECT{0, 0, 0, 0};
  return w->hasUpdate ? TRUE : FALSE;
}

int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
  RECT r;
  if (!IsWindow(hwnd)) return ERROR;
  BOOL any = GetUpdateRect(hwnd, &r, erase);
  if (!SetRectRgn(rgn, r.left, r.top, r.right, r.bottom)) return ERROR;
  return any ? SIMPLEREGION : NULLREGION;
}

BOOL UpdateWindow(HWND hwnd) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  paintNow(hwnd, true);
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* update, HRGN updateRgn, UINT flags) {
  ensureDesktop();
  std::vector<Wnd*> targets;
  if (hwnd == nullptr) {
    targets = state().desktop->children;
    flags |= RDW_ALLCHILDREN;
  } else {
    Wnd* w = findOrFail(hwnd);
    if (w == nullptr) return FALSE;
    targets.push_back(w);
  }
  RECT box;
  const RECT* area = update;
  if (updateRgn != nullptr) {
    if (GetRgnBox(updateRgn, &box) == ERROR) return FALSE;
    area = &box;
  }
  for (Wnd* w : targets) {
    if ((flags & (RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_FRAME)) && !(flags & RDW_VALIDATE) && !visibleChain(w))
      continue;
    if (flags & RDW_VALIDATE) w->paintCalls++;
    invalidate(w, area, flags);
    if (flags & RDW_UPDATENOW) paintNow(w->handle, !(flags & RDW_NOCHILDREN));
    else if (flags & RDW_ERASENOW) {
      if (w->erasePending) {
        HDC dc = GetDC(w->handle);
        if (send(w->handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) && find(w->handle)) w->erasePending = false;
        if (dc) ReleaseDC(w->handle, dc);
      }
    }
  }
  return TRUE;
}

BOOL LockWindowUpdate(HWND) { return TRUE; }

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || ps == nullptr) return nullptr;
  WndPtr keep = hold(hwnd);
  w->paintCalls++;
  if (w->framePending) {
    w->framePending = false;
    send(hwnd, WM_NCPAINT, 1, 0);
    if ((w = find(hwnd)) == nullptr) return nullptr;
  }
  RECT rc = w->hasUpdate ? w->update : RECT{0, 0, 0, 0};
  bool erase = w->erasePending;
  w->hasUpdate = false;
  w->update = {};
  w->erasePending = false;
  w->internalPaint = false;
  *ps = PAINTSTRUCT{};
  HDC dc = GetDCEx(hwnd, nullptr, DCX_VALIDATE);
  if (dc) IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
  ps->hdc = dc;
  ps->rcPaint = rc;
  ps->fErase = FALSE;
  if (erase) ps->fErase = send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (ps && ps->hdc) ReleaseDC(hwnd, ps->hdc);
  return TRUE;
}

HDC GetDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, 0); }
HDC GetWindowDC(HWND hwnd) { return GetDCEx(hwnd, nullptr, DCX_WINDOW); }

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
  if (hwnd != nullptr && !IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  auto& hooks = qv::os::paintHooks();
  HDC dc = hooks.getDC ? hooks.getDC(hwnd, flags) : nullptr;
  if (dc && clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) qv::os::clipWindowDC(dc, clip, flags);
  return dc;
}

int ReleaseDC(HWND hwnd, HDC dc) {
  auto& hooks = qv::os::paintHooks();
  if (dc == nullptr) return 0;
  return hooks.releaseDC ? hooks.releaseDC(hwnd, dc) : 0;
}

namespace qv::os {

PaintHooks& paintHooks() {
  static PaintHooks h = [] {
    PaintHooks d;
    d.fillRect = [](HDC dc, const RECT& r, HBRUSH b) { FillRect(dc, &r, b); };
    installWindowDcs(d);
    return d;
  }();
  return h;
}

}  // namespace qv::os
