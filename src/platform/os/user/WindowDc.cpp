#include "platform/os/user/WindowDc.h"

#include <map>

#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/user/Layered.h"
#include "platform/os/user/NonClient.h"
#include "platform/os/user/Screen.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"
#include "platform/os/user/WindowSurface.h"

namespace qv::os {
namespace {

struct OpenDc {
  HWND hwnd = nullptr;
  HWND root = nullptr;  // the top-level window whose surface it draws on
  DWORD flags = 0;
  HRGN owned = nullptr;  // GetDCEx's region, deleted on release
};

std::map<HDC, OpenDc>& openDcs() {
  static auto* m = new std::map<HDC, OpenDc>;
  return *m;
}

gdi::RegionData areaFor(HWND hwnd, DWORD flags) {
  user::Wnd* w = user::find(hwnd);
  bool parentClip = (flags & DCX_PARENTCLIP) || (w && w->cls && (w->cls->style & CS_PARENTDC));
  if (parentClip && w && w->parent && !w->parent->isDesktop) return visibleArea(w->parent->handle, 0);
  return visibleArea(hwnd, flags);
}

HDC getDC(HWND hwnd, DWORD flags) {
  if (hwnd == nullptr || hwnd == GetDesktopWindow()) {
    // The screen DC shows what the screen shows when it is read; taking
    // one composes nothing.
    HDC dc = gdi::createSurfaceDC(liveScreenSurface(), POINT{0, 0}, nullptr);
    if (dc) openDcs()[dc] = {nullptr, nullptr, flags, nullptr};
    return dc;
  }
  auto surface = windowSurface(hwnd);
  if (!surface) return nullptr;
  bool whole = (flags & DCX_WINDOW) != 0;
  POINT origin = surfaceOrigin(hwnd, whole);
  gdi::RegionData area = areaFor(hwnd, flags);
  area.offset(-origin.x, -origin.y);
  HRGN visible = gdi::createRegion(area);
  HDC dc = gdi::createSurfaceDC(surface, origin, visible);
  DeleteObject(visible);
  if (dc) {
    HWND root = user::rootOf(user::find(hwnd))->handle;
    openDcs()[dc] = {hwnd, root, flags, nullptr};
    windowDcOpened(root);
  }
  return dc;
}

int releaseDC(HWND, HDC dc) {
  auto it = openDcs().find(dc);
  if (it == openDcs().end()) return 0;
  if (it->second.owned) DeleteObject(it->second.owned);
  if (it->second.root) windowDcClosed(it->second.root);
  openDcs().erase(it);
  DeleteDC(dc);
  return 1;
}

void recordShown(HWND hwnd) {
  user::Wnd* w = user::find(hwnd);
  if (w == nullptr || w->foreign || !user::isTopLevel(w) || !(w->style & WS_VISIBLE)) return;
  RECT r = user::screenRect(w);
  qv::desktop::Recorder::record("window", {w->text, std::to_string(r.left), std::to_string(r.top),
                                           std::to_string(r.right - r.left), std::to_string(r.bottom - r.top)});
}

void onChange(HWND hwnd, WindowChange change) {
  switch (change) {
    case WindowChange::Shown:
      recordShown(hwnd);
      break;
    case WindowChange::Destroyed:
      dropWindowSurface(hwnd);
      dropLayered(hwnd);
      break;
    default:
      break;
  }
}

void follow() {
  // A fresh desktop forgets everything; the window manager forgets its
  // listener then too, so take it up again.
  dropAllWindowSurfaces();
  dropAllLayered();
  for (auto& [dc, open] : openDcs()) {
    if (open.root) windowDcClosed(open.root);
    DeleteDC(dc);
  }
  openDcs().clear();
  forgetScreen();
  setWindowChangeListener(onChange);
}

// Registered before the window manager first makes its state, so that a
// reset (which runs hooks newest first) reaches here after the window
// manager has cleared its listener.
const bool registered = [] {
  qv::desktop::onReset(follow);
  return true;
}();

}  // namespace

void installWindowDcs(PaintHooks& hooks) {
  (void)registered;
  hooks.getDC = getDC;
  hooks.releaseDC = releaseDC;
  hooks.drawFrame = drawClassicFrame;
  setWindowChangeListener(onChange);
}

void clipWindowDC(HDC dc, HRGN rgn, DWORD flags) {
  auto it = openDcs().find(dc);
  if (it == openDcs().end() || rgn == nullptr || it->second.hwnd == nullptr) return;
  if (it->second.owned && it->second.owned != rgn) DeleteObject(it->second.owned);
  it->second.owned = rgn;
  HWND hwnd = it->second.hwnd;
  bool whole = (it->second.flags & DCX_WINDOW) != 0;
  POINT origin = surfaceOrigin(hwnd, whole);
  gdi::RegionData area = areaFor(hwnd, it->second.flags);
  // The region comes in screen coordinates; the area is in surface ones.
  user::Wnd* root = user::rootOf(user::find(hwnd));
  RECT rootRect = user::screenRect(root);
  gdi::RegionData cut = gdi::regionData(rgn);
  cut.offset(-rootRect.left, -rootRect.top);
  if (flags & DCX_INTERSECTRGN) area.intersect(cut);
  else if (flags & DCX_EXCLUDERGN) area.subtract(cut);
  area.offset(-origin.x, -origin.y);
  HRGN visible = gdi::createRegion(area);
  gdi::setSurfaceDC(dc, windowSurface(hwnd), origin, visible);
  DeleteObject(visible);
}

bool isWindowDC(HDC dc) { return openDcs().count(dc) != 0; }

}  // namespace qv::os
