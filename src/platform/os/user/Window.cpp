#include "platform/os/user/Window.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/desktop/Profile.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/gdi/Region.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Menu.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/Paint.h"
#include "platform/os/user/UserState.h"

using namespace qv::os::user;

namespace {

std::string upper(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

bool sameText(const std::string& a, const std::string& b) { return upper(a) == upper(b); }

std::shared_ptr<WndClass> findClass(LPCSTR name) {
  if (name == nullptr) return nullptr;
  auto& cls = state().classes;
  if (IS_INTRESOURCE(name)) {
    ATOM a = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    for (auto& c : cls)
      if (c->atom == a) return c;
    return nullptr;
  }
  for (auto& c : cls)
    if (sameText(c->name, name)) return c;
  return nullptr;
}

ATOM addClass(const WNDCLASSEXA& wc) {
  if (wc.lpszClassName == nullptr || wc.cbClsExtra < 0 || wc.cbWndExtra < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string name = IS_INTRESOURCE(wc.lpszClassName)
                         ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(wc.lpszClassName))
                         : std::string(wc.lpszClassName);
  for (auto& c : state().classes)
    if (sameText(c->name, name)) {
      SetLastError(ERROR_CLASS_ALREADY_EXISTS);
      return 0;
    }
  auto c = std::make_shared<WndClass>();
  c->name = name;
  c->atom = state().nextAtom++;
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->clsExtra = wc.cbClsExtra;
  c->wndExtra = wc.cbWndExtra;
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->iconSmall = wc.hIconSm;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  if (wc.lpszMenuName != nullptr && !IS_INTRESOURCE(wc.lpszMenuName)) c->menuName = wc.lpszMenuName;
  c->extra.assign(static_cast<size_t>(wc.cbClsExtra), 0);
  state().classes.push_back(c);
  return c->atom;
}

void unlink(Wnd* w) {
  if (w->parent == nullptr) return;
  auto& v = w->parent->children;
  v.erase(std::remove(v.begin(), v.end(), w), v.end());
}

// Puts `w` into its parent's z-order relative to `after`, keeping topmost
// top-level windows above the others.
void placeInZ(Wnd* w, HWND after) {
  Wnd* p = w->parent;
  if (p == nullptr) return;
  bool topLevel = p->isDesktop && !p->messageOnly;
  if (topLevel) {
    if (after == HWND_TOPMOST) w->exStyle |= WS_EX_TOPMOST;
    else if (after == HWND_NOTOPMOST) w->exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
    else if (after == HWND_BOTTOM) w->exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
  }
  unlink(w);
  auto& v = p->children;
  size_t firstNormal = 0;
  if (topLevel)
    while (firstNormal < v.size() && (v[firstNormal]->exStyle & WS_EX_TOPMOST)) ++firstNormal;
  size_t at;
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    at = (topLevel && !(w->exStyle & WS_EX_TOPMOST)) ? firstNormal : 0;
  } else if (after == HWND_BOTTOM) {
    at = v.size();
  } else {
    Wnd* a = find(after);
    auto it = a ? std::find(v.begin(), v.end(), a) : v.end();
    at = it == v.end() ? 0 : static_cast<size_t>(it - v.begin()) + 1;
    if (topLevel) {
      if (w->exStyle & WS_EX_TOPMOST) at = std::min(at, firstNormal);
      else at = std::max(at, firstNormal);
    }
  }
  v.insert(v.begin() + static_cast<std::ptrdiff_t>(std::min(at, v.size())), w);
}

// Owned windows stay above their owner when it comes to the top.
void raiseOwned(Wnd* owner) {
  if (!isTopLevel(owner)) return;
  std::vector<Wnd*> owned;
  for (Wnd* c : owner->parent->children)
    if (c->owner == owner) owned.push_back(c);
  for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
    unlink(*it);
    auto& v = owner->parent->children;
    auto pos = std::find(v.begin(), v.end(), owner);
    if (((*it)->exStyle & WS_EX_TOPMOST) && !(owner->exStyle & WS_EX_TOPMOST)) {
      placeInZ(*it, HWND_TOP);
      continue;
    }
    v.insert(pos, *it);
  }
  for (Wnd* o : owned) raiseOwned(o);
}

bool hasMenuBar(const Wnd* w) {
  return !(w->style & WS_CHILD) && w->id != 0 && IsMenu(reinterpret_cast<HMENU>(w->id));
}

void recalcClient(Wnd* w, bool sized, const RECT& oldWindow, const RECT& oldClient, WINDOWPOS* pos) {
  if (!w->created) {
    RECT c = frameOf(w->style, w->exStyle, hasMenuBar(w));
    w->client = {c.left, c.top, std::max(c.left, w->rect.right - w->rect.left - c.right),
                 std::max(c.top, w->rect.bottom - w->rect.top - c.bottom)};
    return;
  }
  RECT rc = w->rect;
  if (sized) {
    NCCALCSIZE_PARAMS p{};
    p.rgrc[0] = w->rect;
    p.rgrc[1] = oldWindow;
    p.rgrc[2] = {oldWindow.left + oldClient.left, oldWindow.top + oldClient.top, oldWindow.left + oldClient.right,
                 oldWindow.top + oldClient.bottom};
    p.lppos = pos;
    send(w->handle, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
    rc = p.rgrc[0];
  } else {
    send(w->handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc));
  }
  if (find(w->handle) == nullptr) return;
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  w->client = {rc.left - w->rect.left, rc.top - w->rect.top, rc.right - w->rect.left, rc.bottom - w->rect.top};
}

// The window the platform activates when the active one goes away.
HWND nextToActivate(Wnd* leaving) {
  auto usable = [&](Wnd* c) {
    return c != leaving && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED) && !(c->exStyle & WS_EX_NOACTIVATE) &&
           !c->destroying && c->thread == currentThread();
  };
  if (leaving->owner && usable(leaving->owner)) return leaving->owner->handle;
  for (Wnd* c : state().desktop->children)
    if (usable(c) && !(c->style & WS_MINIMIZE) && !(c->exStyle & WS_EX_TOOLWINDOW)) return c->handle;
  for (Wnd* c : state().desktop->children)
    if (usable(c)) return c->handle;
  return nullptr;
}

bool isDescendantOrSelf(HWND h, const Wnd* anc) {
  for (Wnd* w = find(h); w != nullptr; w = w->parent)
    if (w == anc) return true;
  return false;
}

void destroyPass1(Wnd* w) {
  WndPtr keep = hold(w->handle);
  w->destroying = true;
  send(w->handle, WM_DESTROY, 0, 0);
  std::vector<HWND> kids;
  for (Wnd* c : w->children) kids.push_back(c->handle);
  for (HWND k : kids)
    if (Wnd* c = find(k); c && !c->destroying) destroyPass1(c);
    else if (c) c->destroying = true;
}

void destroyPass2(Wnd* w) {
  WndPtr keep = hold(w->handle);
  std::vector<HWND> kids;
  for (Wnd* c : w->children) kids.push_back(c->handle);
  for (HWND k : kids)
    if (Wnd* c = find(k)) destroyPass2(c);
  HWND h = w->handle;
  State& s = state();
  if (s.focus == h) s.focus = nullptr;
  if (s.capture == h) s.capture = nullptr;
  if (s.active == h) s.active = nullptr;
  if (s.foreground == h) s.foreground = nullptr;
  killWindowTimers(h);
  send(h, WM_NCDESTROY, 0, 0);
  if (w->region) DeleteObject(w->region);
  w->region = nullptr;
  destroyMenuOfWindow(w);
  onWindowGone(h);
  unlink(w);
  for (Wnd* c : w->children) c->parent = nullptr;
  w->children.clear();
  w->destroyed = true;
  if (w->cls) w->cls->windows--;
  {
    std::lock_guard<std::recursive_mutex> lock(s.m);
    auto it = s.queues.find(w->thread);
    if (it != s.queues.end()) {
      auto& q = it->second;
      auto gone = [h](const MSG& m) { return m.hwnd == h; };
      q.posted.erase(std::remove_if(q.posted.begin(), q.posted.end(), gone), q.posted.end());
      q.input.erase(std::remove_if(q.input.begin(), q.input.end(), gone), q.input.end());
    }
  }
  dropHandle(h);
  notifyChange(h, static_cast<int>(qv::os::WindowChange::Destroyed));
}

RECT workArea() {
  RECT r{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

// Where a minimised or maximised window goes, with WM_GETMINMAXINFO asked.
RECT maximizedRect(Wnd* w) {
  RECT area = isTopLevel(w) ? workArea() : RECT{0, 0, w->parent->client.right - w->parent->client.left,
                                                   w->parent->client.bottom - w->parent->client.top};
  RECT f = frameOf(w->style, w->exStyle, false);
  MINMAXINFO mmi{};
  mmi.ptMaxSize = {area.right - area.left + f.left + f.right, area.bottom - area.top + f.left + f.right};
  mmi.ptMaxPosition = {area.left - f.left, area.top - f.left};
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  send(w->handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  return {mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
          mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
}

RECT minimizedRect() {
  return {-32000, -32000, -32000 + GetSystemMetrics(SM_CXMINIMIZED), -32000 + GetSystemMetrics(SM_CYMINIMIZED)};
}

int nextCascade = 0;

}  // namespace

// ---------------------------------------------------------------------------
// Classes.

ATOM RegisterClass(const WNDCLASSA* wc) {
  if (wc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA ex{sizeof(WNDCLASSEXA), wc->style,   wc->lpfnWndProc,   wc->cbClsExtra,   wc->cbWndExtra,   wc->hInstance,
                 wc->hIcon,           wc->hCursor, wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName, nullptr};
  return addClass(ex);
}

ATOM RegisterClassEx(const WNDCLASSEXA* wc) {
  if (wc == nullptr || wc->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return addClass(*wc);
}

BOOL UnregisterClass(LPCSTR className, HINSTANCE) {
  auto c = findClass(className);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (c->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  auto& v = state().classes;
  v.erase(std::remove(v.begin(), v.end(), c), v.end());
  return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE, LPCSTR className, LPWNDCLASSEX out) {
  auto c = findClass(className);
  if (!c || out == nullptr) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  out->style = c->style;
  out->lpfnWndProc = c->proc;
  out->cbClsExtra = c->clsExtra;
  out->cbWndExtra = c->wndExtra;
  out->hInstance = c->instance;
  out->hIcon = c->icon;
  out->hIconSm = c->iconSmall;
  out->hCursor = c->cursor;
  out->hbrBackground = c->background;
  out->lpszMenuName = c->menuName.empty() ? nullptr : c->menuName.c_str();
  out->lpszClassName = c->name.c_str();
  return c->atom;
}

BOOL GetClassInfo(HINSTANCE instance, LPCSTR className, LPWNDCLASS out) {
  WNDCLASSEXA ex{};
  ex.cbSize = sizeof ex;
  BOOL ok = GetClassInfoEx(instance, className, &ex);
  if (!ok || out == nullptr) return FALSE;
  *out = {ex.style,   ex.lpfnWndProc,   ex.cbClsExtra,   ex.cbWndExtra,   ex.hInstance,
          ex.hIcon,   ex.hCursor,       ex.hbrBackground, ex.lpszMenuName, ex.lpszClassName};
  return ok;
}

int GetClassName(HWND hwnd, LPSTR buffer, int maxCount) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || buffer == nullptr || maxCount <= 0) return 0;
  std::string n = w->isDesktop ? "#32769" : (w->cls ? w->cls->name : std::string());
  int len = std::min<int>(static_cast<int>(n.size()), maxCount - 1);
  std::memcpy(buffer, n.data(), static_cast<size_t>(len));
  buffer[len] = 0;
  return len;
}

ULONG_PTR GetClassLongPtr(HWND hwnd, int index) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || !w->cls) return 0;
  WndClass& c = *w->cls;
  if (index >= 0) {
    if (static_cast<size_t>(index) + sizeof(ULONG_PTR) > c.extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    ULONG_PTR v;
    std::memcpy(&v, c.extra.data() + index, sizeof v);
    return v;
  }
  switch (index) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(c.iconSmall);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(c.instance);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_STYLE: return c.style;
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(c.wndExtra);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(c.clsExtra);
    case GCW_ATOM: return c.atom;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || !w->cls) return 0;
  WndClass& c = *w->cls;
  ULONG_PTR old = GetClassLongPtr(hwnd, index);
  if (index >= 0) {
    if (static_cast<size_t>(index) + sizeof(LONG_PTR) > c.extra.size()) return 0;
    std::memcpy(c.extra.data() + index, &value, sizeof value);
    return old;
  }
  switch (index) {
    case GCLP_HBRBACKGROUND: c.background = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HCURSOR: c.cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HICON: c.icon = reinterpret_cast<HICON>(value); break;
    case GCLP_HICONSM: c.iconSmall = reinterpret_cast<HICON>(value); break;
    case GCLP_WNDPROC: c.proc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_STYLE: c.style = static_cast<UINT>(value); break;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
  return old;
}

DWORD GetClassLong(HWND hwnd, int index) { return static_cast<DWORD>(GetClassLongPtr(hwnd, index)); }
DWORD SetClassLong(HWND hwnd, int index, LONG value) { return static_cast<DWORD>(SetClassLongPtr(hwnd, index, value)); }

// ---------------------------------------------------------------------------
// Creation and destruction.

HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  ensureDesktop();
  State& s = state();
  auto cls = findClass(className);
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  Wnd* parentW = s.desktop.get();
  Wnd* owner = nullptr;
  if (parent == HWND_MESSAGE) {
    parentW = s.messageRoot.get();
  } else if (parent != nullptr) {
    Wnd* pw = findOrFail(parent);
    if (pw == nullptr) return nullptr;
    if ((style & WS_CHILD) && !pw->isDesktop) parentW = pw;
    else if (!pw->isDesktop) owner = rootOf(pw);
  } else if (style & WS_CHILD) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  bool topLevel = parentW == s.desktop.get();
  if (topLevel || parentW->messageOnly) {
    style |= WS_CLIPSIBLINGS;
    if (!(style & (WS_POPUP | WS_CHILD))) {
      style |= WS_CAPTION;
      exStyle |= WS_EX_WINDOWEDGE;
    }
  }
  if (exStyle & WS_EX_DLGMODALFRAME) exStyle |= WS_EX_WINDOWEDGE;

  // Default positions cascade over the work area for overlapped windows.
  bool overlapped = topLevel && !(style & WS_POPUP);
  RECT area = workArea();
  if (x == CW_USEDEFAULT) {
    if (overlapped) {
      int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
      x = y = area.left + step * (nextCascade++ % 8);
    } else {
      x = y = 0;
    }
  }
  if (width == CW_USEDEFAULT) {
    if (overlapped) {
      width = (area.right - area.left) * 3 / 4;
      height = (area.bottom - area.top) * 3 / 4;
    } else {
      width = height = 0;
    }
  }
  if (width < 0) width = 0;
  if (height < 0) height = 0;

  auto w = std::make_shared<Wnd>();
  w->cls = cls;
  w->text = windowName ? windowName : "";
  w->style = style & ~static_cast<DWORD>(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
  w->exStyle = exStyle;
  w->proc = cls->proc;
  w->instance = instance;
  w->id = reinterpret_cast<LONG_PTR>(menu);
  w->parent = parentW;
  w->owner = owner;
  w->rect = {x, y, x + width, y + height};
  w->normalRect = w->rect;
  w->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
  w->thread = currentThread();
  w->messageOnly = parentW->messageOnly;
  HWND h = newHandle(w);
  cls->windows++;
  if (topLevel) placeInZ(w.get(), HWND_TOP);
  else parentW->children.push_back(w.get());
  recalcClient(w.get(), false, {}, {}, nullptr);
  {
    std::lock_guard<std::recursive_mutex> lock(s.m);
    queue(w->thread);
  }
  notifyChange(h, static_cast<int>(qv::os::WindowChange::Created));

  CREATESTRUCTA cs{param,  instance, menu, parent == HWND_MESSAGE ? HWND_MESSAGE : (parentW->isDesktop ? (owner ? owner->handle : nullptr) : parentW->handle),
                   height, width,    y,    x,
                   static_cast<LONG>(style), windowName, className, exStyle};
  if (!send(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (Wnd* ww = find(h)) {
      destroyPass2(ww);
    }
    return nullptr;
  }
  if (find(h) == nullptr) return nullptr;
  w->created = true;
  recalcClient(w.get(), false, {}, {}, nullptr);
  if (send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(h);
    return nullptr;
  }
  if (find(h) == nullptr) return nullptr;
  send(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(w->client.right - w->client.left),
                                             static_cast<WORD>(w->client.bottom - w->client.top)));
  send(h, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(w->rect.left + w->client.left),
                                 static_cast<WORD>(w->rect.top + w->client.top)));
  if (find(h) == nullptr) return nullptr;
  if ((style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY)) {
    for (Wnd* p = w->parent; p != nullptr && !p->isDesktop; p = p->parent) {
      send(p->handle, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, static_cast<WORD>(w->id)), reinterpret_cast<LPARAM>(h));
      if (p->exStyle & WS_EX_NOPARENTNOTIFY || !(p->style & WS_CHILD)) break;
    }
  }
  if (find(h) == nullptr) return nullptr;
  if (style & WS_VISIBLE) {
    int cmd = (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW;
    ShowWindow(h, cmd);
  } else if (style & (WS_MAXIMIZE | WS_MINIMIZE)) {
    Wnd* ww = find(h);
    if (ww) {
      ww->normalRect = ww->rect;
      ww->style |= (style & WS_MAXIMIZE) ? WS_MAXIMIZE : WS_MINIMIZE;
      RECT r = (style & WS_MAXIMIZE) ? maximizedRect(ww) : minimizedRect();
      SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
  }
  return find(h) ? h : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  if (w->isDesktop || w->foreign || w->thread != currentThread()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (w->destroying) return TRUE;
  WndPtr keep = hold(hwnd);
  State& s = state();
  if ((w->style & WS_CHILD) && !(w->exStyle & WS_EX_NOPARENTNOTIFY)) {
    for (Wnd* p = w->parent; p != nullptr && !p->isDesktop; p = p->parent) {
      send(p->handle, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, static_cast<WORD>(w->id)), reinterpret_cast<LPARAM>(hwnd));
      if (p->exStyle & WS_EX_NOPARENTNOTIFY || !(p->style & WS_CHILD)) break;
    }
    if (find(hwnd) == nullptr) return TRUE;
  }
  w->destroying = true;
  if (w->style & WS_VISIBLE) {
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if (find(hwnd) == nullptr) return TRUE;
  }
  if (s.active == hwnd) activate(nextToActivate(w), WA_ACTIVE, false);
  if (s.capture && isDescendantOrSelf(s.capture, w)) ReleaseCapture();
  // A child that goes with the focus hands it to its parent.
  if (s.focus && isDescendantOrSelf(s.focus, w)) {
    if ((w->style & WS_CHILD) && w->parent && !w->parent->isDesktop) SetFocus(w->parent->handle);
    else s.focus = nullptr;
    if ((w = find(hwnd)) == nullptr) return TRUE;
  }
  // Owned windows go first, as the platform does.
  if (isTopLevel(w)) {
    std::vector<HWND> owned;
    for (Wnd* c : s.desktop->children)
      if (c->owner == w) owned.push_back(c->handle);
    for (HWND o : owned) DestroyWindow(o);
    for (Wnd* c : s.desktop->children)
      if (c->owner == w) c->owner = nullptr;
  }
  w->destroying = false;
  destroyPass1(w);
  if (find(hwnd)) destroyPass2(w);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) {
  Wnd* w = find(hwnd);
  return w != nullptr && (!w->isDesktop || hwnd == (state().desktop ? state().desktop->handle : nullptr)) ? TRUE
                                                                                                          : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  Wnd* p = find(parent);
  Wnd* w = find(hwnd);
  if (p == nullptr || w == nullptr) return FALSE;
  for (Wnd* a = w; a != nullptr && (a->style & WS_CHILD); a = a->parent)
    if (a->parent == p) return TRUE;
  return FALSE;
}

BOOL IsWindowUnicode(HWND) { return FALSE; }

HWND GetDesktopWindow() {
  ensureDesktop();
  return state().desktop->handle;
}

// ---------------------------------------------------------------------------
// Window words.

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return 0;
  if (index >= 0) {
    if (static_cast<size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG_PTR v;
    std::memcpy(&v, w->extra.data() + index, sizeof v);
    return v;
  }
  switch (index) {
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->owner ? w->owner->handle : nullptr);
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return 0;
  if (w->isDesktop) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  if (index >= 0) {
    if (static_cast<size_t>(index) + sizeof(LONG_PTR) > w->extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG_PTR old;
    std::memcpy(&old, w->extra.data() + index, sizeof old);
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return old;
  }
  LONG_PTR old = GetWindowLongPtr(hwnd, index);
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      STYLESTRUCT ss{static_cast<DWORD>(old), static_cast<DWORD>(value)};
      send(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
      if ((w = find(hwnd)) == nullptr) return 0;
      if (index == GWL_STYLE) w->style = ss.styleNew;
      else w->exStyle = ss.styleNew;
      send(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
      break;
    }
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWLP_HWNDPARENT: {
      Wnd* o = find(reinterpret_cast<HWND>(value));
      if (isTopLevel(w)) w->owner = o && !o->isDesktop ? rootOf(o) : nullptr;
      break;
    }
    case GWLP_USERDATA: w->userData = value; break;
    case GWLP_ID: w->id = value; break;
    default: return 0;
  }
  return old;
}

namespace {

// The 32-bit forms refuse the indices that hold pointers, as on 64-bit.
bool refusedLongIndex(int index) {
  if (index != GWLP_WNDPROC && index != GWLP_HINSTANCE && index != GWLP_HWNDPARENT) return false;
  SetLastError(ERROR_INVALID_INDEX);
  return true;
}

// The 32-bit slot at a non-negative index of a window's extra bytes, or null
// with the error set.
BYTE* extraLongSlot(HWND hwnd, int index) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return nullptr;
  if (static_cast<size_t>(index) + sizeof(LONG) > w->extra.size()) {
    SetLastError(ERROR_INVALID_INDEX);
    return nullptr;
  }
  return w->extra.data() + index;
}

}  // namespace

LONG GetWindowLong(HWND hwnd, int index) {
  if (refusedLongIndex(index)) return 0;
  if (index >= 0) {
    BYTE* slot = extraLongSlot(hwnd, index);
    if (slot == nullptr) return 0;
    LONG v;
    std::memcpy(&v, slot, sizeof v);
    return v;
  }
  return static_cast<LONG>(GetWindowLongPtr(hwnd, index));
}

LONG SetWindowLong(HWND hwnd, int index, LONG value) {
  if (refusedLongIndex(index)) return 0;
  if (index >= 0) {
    BYTE* slot = extraLongSlot(hwnd, index);
    if (slot == nullptr) return 0;
    LONG old;
    std::memcpy(&old, slot, sizeof old);
    std::memcpy(slot, &value, sizeof value);
    return old;
  }
  LONG_PTR v = (index == GWL_STYLE || index == GWL_EXSTYLE) ? static_cast<LONG_PTR>(static_cast<DWORD>(value)) : value;
  return static_cast<LONG>(SetWindowLongPtr(hwnd, index, v));
}

WORD GetWindowWord(HWND hwnd, int index) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return 0;
  if (index < 0 || static_cast<size_t>(index) + 2 > w->extra.size()) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  WORD v;
  std::memcpy(&v, w->extra.data() + index, 2);
  return v;
}

WORD SetWindowWord(HWND hwnd, int index, WORD value) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return 0;
  if (index < 0 || static_cast<size_t>(index) + 2 > w->extra.size()) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  WORD old;
  std::memcpy(&old, w->extra.data() + index, 2);
  std::memcpy(w->extra.data() + index, &value, 2);
  return old;
}

int GetDlgCtrlID(HWND hwnd) {
  Wnd* w = findOrFail(hwnd);
  return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

HWND GetDlgItem(HWND dialog, int id) {
  Wnd* w = findOrFail(dialog);
  if (w == nullptr) return nullptr;
  for (Wnd* c : w->children)
    if (c->id == id) return c->handle;
  return nullptr;
}

BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE data) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || name == nullptr) return FALSE;
  std::string key = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : upper(name);
  w->props[key] = data;
  return TRUE;
}

HANDLE GetProp(HWND hwnd, LPCSTR name) {
  Wnd* w = find(hwnd);
  if (w == nullptr || name == nullptr) return nullptr;
  std::string key = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : upper(name);
  auto it = w->props.find(key);
  return it == w->props.end() ? nullptr : it->second;
}

HANDLE RemoveProp(HWND hwnd, LPCSTR name) {
  Wnd* w = find(hwnd);
  if (w == nullptr || name == nullptr) return nullptr;
  std::string key = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : upper(name);
  auto it = w->props.find(key);
  if (it == w->props.end()) return nullptr;
  HANDLE d = it->second;
  w->props.erase(it);
  return d;
}

// ---------------------------------------------------------------------------
// Text.

BOOL SetWindowText(HWND hwnd, LPCSTR text) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  if (w->foreign) return FALSE;
  return send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowText(HWND hwnd, LPSTR buffer, int maxCount) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || buffer == nullptr || maxCount <= 0) return 0;
  if (w->foreign) {
    int len = std::min<int>(static_cast<int>(w->text.size()), maxCount - 1);
    std::memcpy(buffer, w->text.data(), static_cast<size_t>(len));
    buffer[len] = 0;
    return len;
  }
  buffer[0] = 0;
  return static_cast<int>(send(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return 0;
  if (w->foreign) return static_cast<int>(w->text.size());
  return static_cast<int>(send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

// ---------------------------------------------------------------------------
// The tree.

HWND SetParent(HWND child, HWND newParent) {
  Wnd* w = findOrFail(child);
  if (w == nullptr || w->isDesktop) return nullptr;
  ensureDesktop();
  State& s = state();
  Wnd* np = newParent == HWND_MESSAGE ? s.messageRoot.get()
            : newParent ? findOrFail(newParent)
                        : s.desktop.get();
  if (np == nullptr) return nullptr;
  for (Wnd* a = np; a != nullptr; a = a->parent)
    if (a == w) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  Wnd* old = w->parent;
  HWND oldH = old ? old->handle : nullptr;
  bool wasVisible = visibleChain(w);
  if (wasVisible && old) invalidate(old, &w->rect, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  unlink(w);
  w->parent = np;
  w->messageOnly = np->messageOnly;
  if (np->isDesktop) w->owner = nullptr;
  placeInZ(w, HWND_TOP);
  if (visibleChain(w)) invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  notifyChange(child, static_cast<int>(qv::os::WindowChange::ZOrder));
  return oldH;
}

HWND GetParent(HWND hwnd) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return nullptr;
  if (w->style & WS_CHILD) return w->parent && !w->parent->isDesktop ? w->parent->handle : nullptr;
  if ((w->style & WS_POPUP) && w->owner) return w->owner->handle;
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || w->isDesktop) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->parent ? w->parent->handle : nullptr;
    case GA_ROOT: return rootOf(w)->handle;
    case GA_ROOTOWNER: {
      Wnd* r = rootOf(w);
      while (r->owner) r = r->owner;
      return r->handle;
    }
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return nullptr;
  auto siblings = [&]() -> const std::vector<Wnd*>* { return w->parent ? &w->parent->children : nullptr; };
  switch (cmd) {
    case GW_HWNDFIRST: {
      auto* v = siblings();
      return v && !v->empty() ? v->front()->handle : nullptr;
    }
    case GW_HWNDLAST: {
      auto* v = siblings();
      return v && !v->empty() ? v->back()->handle : nullptr;
    }
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
      auto* v = siblings();
      if (!v) return nullptr;
      auto it = std::find(v->begin(), v->end(), w);
      if (it == v->end()) return nullptr;
      if (cmd == GW_HWNDNEXT) return (it + 1) == v->end() ? nullptr : (*(it + 1))->handle;
      return it == v->begin() ? nullptr : (*(it - 1))->handle;
    }
    case GW_OWNER: return w->owner ? w->owner->handle : nullptr;
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front()->handle;
    case GW_ENABLEDPOPUP: {
      if (!state().desktop) return nullptr;
      for (Wnd* c : state().desktop->children)
        if (c->owner == w && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED)) return c->handle;
      return nullptr;
    }
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd) {
  if (hwnd == nullptr) hwnd = GetDesktopWindow();
  return GetWindow(hwnd, GW_CHILD);
}

HWND GetLastActivePopup(HWND hwnd) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return nullptr;
  Wnd* a = find(state().active);
  if (a && a->owner == w) return a->handle;
  return hwnd;
}

namespace {
std::vector<HWND> handlesOf(const std::vector<Wnd*>& v) {
  std::vector<HWND> r;
  for (Wnd* c : v)
    if (!c->destroyed) r.push_back(c->handle);
  return r;
}

bool enumTree(Wnd* w, WNDENUMPROC proc, LPARAM lp) {
  for (HWND h : handlesOf(w->children)) {
    if (!IsWindow(h)) continue;
    if (!proc(h, lp)) return false;
    if (Wnd* c = find(h))
      if (!enumTree(c, proc, lp)) return false;
  }
  return true;
}
}  // namespace

BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
  if (proc == nullptr) return FALSE;
  ensureDesktop();
  for (HWND h : handlesOf(state().desktop->children))
    if (IsWindow(h) && !proc(h, lParam)) return FALSE;
  return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  if (proc == nullptr) return FALSE;
  if (parent == nullptr) return EnumWindows(proc, lParam);
  Wnd* w = findOrFail(parent);
  if (w == nullptr) return FALSE;
  return enumTree(w, proc, lParam) ? TRUE : FALSE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam) {
  if (proc == nullptr) return FALSE;
  ensureDesktop();
  bool any = false;
  for (HWND h : handlesOf(state().desktop->children)) {
    Wnd* w = find(h);
    if (w == nullptr || w->thread != threadId) continue;
    any = true;
    if (!proc(h, lParam)) return FALSE;
  }
  return any ? TRUE : FALSE;
}

HWND FindWindowEx(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName) {
  ensureDesktop();
  Wnd* p = parent == HWND_MESSAGE ? state().messageRoot.get() : parent ? findOrFail(parent) : state().desktop.get();
  if (p == nullptr) return nullptr;
  std::shared_ptr<WndClass> cls;
  if (className != nullptr) {
    cls = findClass(className);
    if (!cls) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
  }
  bool started = childAfter == nullptr;
  for (Wnd* c : p->children) {
    if (!started) {
      started = c->handle == childAfter;
      continue;
    }
    if (cls && c->cls != cls) continue;
    if (windowName != nullptr && !sameText(c->text, windowName)) continue;
    return c->handle;
  }
  return nullptr;
}

HWND FindWindow(LPCSTR className, LPCSTR windowName) { return FindWindowEx(nullptr, nullptr, className, windowName); }

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

// ---------------------------------------------------------------------------
// Visibility, state and bounds.

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  if (w->isDesktop || w->foreign) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  WndPtr keep = hold(hwnd);
  State& s = state();
  if (!(flags & SWP_NOZORDER) && insertAfter == hwnd) flags |= SWP_NOZORDER;
  if ((flags & SWP_SHOWWINDOW) && (w->style & WS_VISIBLE)) flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
  if ((flags & SWP_HIDEWINDOW) && !(w->style & WS_VISIBLE)) flags &= ~static_cast<UINT>(SWP_HIDEWINDOW);
  WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
  if (flags & SWP_NOMOVE) {
    wp.x = w->rect.left;
    wp.y = w->rect.top;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = w->rect.right - w->rect.left;
    wp.cy = w->rect.bottom - w->rect.top;
  }
  if (!(flags & SWP_NOSENDCHANGING)) {
    send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if ((w = find(hwnd)) == nullptr) return FALSE;
  }
  flags = wp.flags;
  if (wp.cx < 0) wp.cx = 0;
  if (wp.cy < 0) wp.cy = 0;
  RECT oldRect = w->rect;
  RECT oldClient = w->client;
  bool wasVisible = visibleChain(w);
  RECT newRect = (flags & SWP_NOMOVE) && (flags & SWP_NOSIZE) ? oldRect : RECT{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
  if (flags & SWP_NOMOVE) OffsetRect(&newRect, oldRect.left - newRect.left, oldRect.top - newRect.top);
  bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
  bool sized = (newRect.right - newRect.left) != (oldRect.right - oldRect.left) ||
               (newRect.bottom - newRect.top) != (oldRect.bottom - oldRect.top);
  if (!moved) flags |= SWP_NOMOVE;
  if (!sized) flags |= SWP_NOSIZE;
  w->rect = newRect;
  if (sized || (flags & SWP_FRAMECHANGED)) {
    recalcClient(w, true, oldRect, oldClient, &wp);
    if ((w = find(hwnd)) == nullptr) return FALSE;
  }
  bool clientSized = (w->client.right - w->client.left) != (oldClient.right - oldClient.left) ||
                     (w->client.bottom - w->client.top) != (oldClient.bottom - oldClient.top);
  bool clientMoved = (w->rect.left + w->client.left) != (oldRect.left + oldClient.left) ||
                     (w->rect.top + w->client.top) != (oldRect.top + oldClient.top);
  if (!clientSized) flags |= SWP_NOCLIENTSIZE;
  if (!clientMoved) flags |= SWP_NOCLIENTMOVE;
  if (!(flags & SWP_NOZORDER)) {
    placeInZ(w, insertAfter);
    if (!(flags & SWP_NOOWNERZORDER) && (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST)) raiseOwned(w);
  }
  if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) w->style &= ~static_cast<DWORD>(WS_VISIBLE);
  bool nowVisible = visibleChain(w);
  if (!(flags & SWP_NOREDRAW)) {
    if (nowVisible && (!wasVisible || (flags & SWP_FRAMECHANGED))) {
      invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else if (nowVisible && clientSized) {
      UINT cs = w->cls ? w->cls->style : 0;
      bool all = ((cs & CS_HREDRAW) && (w->client.right - w->client.left) != (oldClient.right - oldClient.left)) ||
                 ((cs & CS_VREDRAW) && (w->client.bottom - w->client.top) != (oldClient.bottom - oldClient.top));
      if (all) {
        invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      } else {
        int ow = oldClient.right - oldClient.left, oh = oldClient.bottom - oldClient.top;
        int nw = w->client.right - w->client.left, nh = w->client.bottom - w->client.top;
        if (nw > ow) {
          RECT r{ow, 0, nw, nh};
          invalidate(w, &r, RDW_INVALIDATE | RDW_ERASE);
        }
        if (nh > oh) {
          RECT r{0, oh, nw, nh};
          invalidate(w, &r, RDW_INVALIDATE | RDW_ERASE);
        }
        invalidate(w, nullptr, RDW_FRAME | RDW_NOCHILDREN);
      }
    }
    if (wasVisible && (moved || sized || !nowVisible) && w->parent && !isTopLevel(w) && !w->parent->isDesktop)
      invalidate(w->parent, &oldRect, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  if (!nowVisible && wasVisible) {
    if (s.active == hwnd) activate(nextToActivate(w), WA_ACTIVE, false);
  } else if (!(flags & SWP_NOACTIVATE) && isTopLevel(w) && nowVisible && s.active != hwnd) {
    activate(hwnd, WA_ACTIVE, false);
  }
  if ((w = find(hwnd)) == nullptr) return TRUE;
  wp.flags = flags;
  wp.x = w->rect.left;
  wp.y = w->rect.top;
  wp.cx = w->rect.right - w->rect.left;
  wp.cy = w->rect.bottom - w->rect.top;
  send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  using qv::os::WindowChange;
  if (flags & SWP_SHOWWINDOW) notifyChange(hwnd, static_cast<int>(WindowChange::Shown));
  if (flags & SWP_HIDEWINDOW) notifyChange(hwnd, static_cast<int>(WindowChange::Hidden));
  if (moved) notifyChange(hwnd, static_cast<int>(WindowChange::Moved));
  if (sized) notifyChange(hwnd, static_cast<int>(WindowChange::Sized));
  if (!(flags & SWP_NOZORDER)) notifyChange(hwnd, static_cast<int>(WindowChange::ZOrder));
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : static_cast<UINT>(SWP_NOREDRAW)));
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  if (w->isDesktop || w->foreign) return FALSE;
  WndPtr keep = hold(hwnd);
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  bool show = cmd != SW_HIDE;
  bool activateIt = !(cmd == SW_SHOWNOACTIVATE || cmd == SW_SHOWNA || cmd == SW_SHOWMINNOACTIVE ||
                      cmd == SW_MINIMIZE || cmd == SW_FORCEMINIMIZE || cmd == SW_HIDE);
  enum { Keep, Min, Max, Restore } target = Keep;
  switch (cmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: target = Min; break;
    case SW_SHOWMAXIMIZED: target = Max; break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
    case SW_SHOWNOACTIVATE:
      if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) target = Restore;
      break;
    case SW_HIDE:
    case SW_SHOW:
    case SW_SHOWNA: break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  if (show != wasVisible) {
    send(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if ((w = find(hwnd)) == nullptr) return wasVisible;
  }
  UINT flags = show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  if (!activateIt || (w->style & WS_CHILD)) flags |= SWP_NOACTIVATE;
  if (!show) flags |= SWP_NOZORDER;
  RECT r = w->rect;
  if (target == Min && !(w->style & WS_MINIMIZE)) {
    if (!(w->style & WS_MAXIMIZE)) w->normalRect = w->rect;
    w->style = (w->style & ~static_cast<DWORD>(WS_MAXIMIZE)) | WS_MINIMIZE;
    r = minimizedRect();
    flags |= SWP_FRAMECHANGED;
  } else if (target == Max && !(w->style & WS_MAXIMIZE)) {
    if (!(w->style & WS_MINIMIZE)) w->normalRect = w->rect;
    w->style = (w->style & ~static_cast<DWORD>(WS_MINIMIZE)) | WS_MAXIMIZE;
    r = maximizedRect(w);
    flags |= SWP_FRAMECHANGED;
  } else if (target == Restore) {
    w->style &= ~static_cast<DWORD>(WS_MINIMIZE | WS_MAXIMIZE);
    r = w->normalRect;
    flags |= SWP_FRAMECHANGED;
  } else {
    flags |= SWP_NOMOVE | SWP_NOSIZE;
  }
  if ((w = find(hwnd)) == nullptr) return wasVisible;
  SetWindowPos(hwnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
  // Minimising hands the activation on.
  if (target == Min && state().active == hwnd && (w = find(hwnd)) != nullptr && cmd != SW_SHOWMINIMIZED)
    activate(nextToActivate(w), WA_ACTIVE, false);
  return wasVisible ? TRUE : FALSE;
}

BOOL ShowWindowAsync(HWND hwnd, int cmd) { return ShowWindow(hwnd, cmd); }

BOOL ShowOwnedPopups(HWND owner, BOOL show) {
  Wnd* o = findOrFail(owner);
  if (o == nullptr) return FALSE;
  for (HWND h : handlesOf(state().desktop->children)) {
    Wnd* c = find(h);
    if (c && c->owner == o && (c->style & WS_POPUP)) ShowWindow(h, show ? SW_SHOWNOACTIVATE : SW_HIDE);
  }
  return TRUE;
}

BOOL IsWindowVisible(HWND hwnd) {
  Wnd* w = find(hwnd);
  return w && visibleChain(w) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
  Wnd* w = find(hwnd);
  return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
  Wnd* w = find(hwnd);
  return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL OpenIcon(HWND hwnd) { return IsWindow(hwnd) ? (ShowWindow(hwnd, SW_SHOWNORMAL), TRUE) : FALSE; }
BOOL CloseWindow(HWND hwnd) { return IsWindow(hwnd) ? (ShowWindow(hwnd, SW_MINIMIZE), TRUE) : FALSE; }

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || rect == nullptr) return FALSE;
  *rect = screenRect(w);
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || rect == nullptr) return FALSE;
  *rect = {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  return TRUE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* p) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || p == nullptr) return FALSE;
  p->flags = 0;
  p->showCmd = (w->style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (w->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  p->ptMinPosition = {-1, -1};
  p->ptMaxPosition = {-1, -1};
  p->rcNormalPosition = (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) ? w->normalRect : w->rect;
  return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* p) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || p == nullptr) return FALSE;
  if (w->style & (WS_MINIMIZE | WS_MAXIMIZE)) {
    w->normalRect = p->rcNormalPosition;
  } else {
    const RECT& r = p->rcNormalPosition;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if ((w = find(hwnd)) == nullptr) return FALSE;
    w->normalRect = r;
  }
  ShowWindow(hwnd, static_cast<int>(p->showCmd));
  return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (rect == nullptr) return FALSE;
  RECT f = frameOf(style, exStyle, menu != FALSE);
  rect->left -= f.left;
  rect->top -= f.top;
  rect->right += f.right;
  rect->bottom += f.bottom;
  return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || point == nullptr) return FALSE;
  POINT o = clientOrigin(w);
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || point == nullptr) return FALSE;
  POINT o = clientOrigin(w);
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  POINT a{0, 0}, b{0, 0};
  if (from != nullptr) {
    Wnd* w = findOrFail(from);
    if (w == nullptr) return 0;
    a = clientOrigin(w);
  }
  if (to != nullptr) {
    Wnd* w = findOrFail(to);
    if (w == nullptr) return 0;
    b = clientOrigin(w);
  }
  int dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points != nullptr && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

namespace {

bool inside(Wnd* w, POINT screen) {
  RECT r = screenRect(w);
  if (!PtInRect(&r, screen)) return false;
  if (w->shape && !w->shape(POINT{screen.x - r.left, screen.y - r.top})) return false;
  return true;
}

// The window under a screen point below `w` (inclusive), with its hit code;
// null when the point falls through (HTTRANSPARENT).
Wnd* hitIn(Wnd* w, POINT pt, int* hit) {
  HWND h = w->handle;
  RECT r = screenRect(w);
  POINT o = clientOrigin(w);
  RECT client{o.x, o.y, o.x + w->client.right - w->client.left, o.y + w->client.bottom - w->client.top};
  if (PtInRect(&client, pt) && !(w->style & WS_MINIMIZE)) {
    std::vector<HWND> kids = handlesOf(w->children);
    for (HWND k : kids) {
      Wnd* c = find(k);
      if (c == nullptr || !(c->style & WS_VISIBLE) || !inside(c, pt)) continue;
      if (c->style & WS_DISABLED) break;  // a disabled child's clicks go to its parent
      if (Wnd* got = hitIn(c, pt, hit)) return got;
    }
  }
  (void)r;
  if (find(h) == nullptr) return nullptr;
  int code = static_cast<int>(send(h, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y))));
  if (code == HTTRANSPARENT) return nullptr;
  if (hit) *hit = code;
  return find(h);
}

}  // namespace

namespace qv::os::user {

// Hit testing for input: the top-level windows of the desktop in z-order.
HWND hitTest(POINT screen, int* hit) {
  ensureDesktop();
  for (HWND h : handlesOf(state().desktop->children)) {
    Wnd* t = find(h);
    if (t == nullptr || t->foreign || !(t->style & WS_VISIBLE) || !inside(t, screen)) continue;
    if (Wnd* got = hitIn(t, screen, hit)) return got->handle;
  }
  if (hit) *hit = HTNOWHERE;
  return nullptr;
}

}  // namespace qv::os::user

HWND WindowFromPoint(POINT point) { return qv::os::user::hitTest(point, nullptr); }

HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags) {
  Wnd* p = findOrFail(parent);
  if (p == nullptr) return nullptr;
  RECT cr{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
  if (!PtInRect(&cr, point)) return nullptr;
  for (Wnd* c : p->children) {
    if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
    if (PtInRect(&c->rect, point)) return c->handle;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) { return ChildWindowFromPointEx(parent, point, CWP_ALL); }

HWND RealChildWindowFromPoint(HWND parent, POINT point) {
  return ChildWindowFromPointEx(parent, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
}

// ---------------------------------------------------------------------------
// Enabling, focus, activation, foreground.

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  WndPtr keep = hold(hwnd);
  bool wasDisabled = (w->style & WS_DISABLED) != 0;
  State& s = state();
  if (enable && wasDisabled) {
    w->style &= ~static_cast<DWORD>(WS_DISABLED);
    send(hwnd, WM_ENABLE, TRUE, 0);
  } else if (!enable && !wasDisabled) {
    if (s.capture && isDescendantOrSelf(s.capture, w)) send(hwnd, WM_CANCELMODE, 0, 0);
    if ((w = find(hwnd)) == nullptr) return FALSE;
    w->style |= WS_DISABLED;
    if (s.focus && isDescendantOrSelf(s.focus, w)) SetFocus(nullptr);
    send(hwnd, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  Wnd* w = find(hwnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

HWND SetFocus(HWND hwnd) {
  State& s = state();
  HWND old = s.focus;
  if (hwnd == nullptr) {
    s.focus = nullptr;
    if (old && IsWindow(old)) send(old, WM_KILLFOCUS, 0, 0);
    return old;
  }
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || w->isDesktop || w->foreign) return nullptr;
  if (w->thread != currentThread()) return nullptr;
  for (Wnd* a = w; a && !a->isDesktop; a = a->parent)
    if (a->style & WS_MINIMIZE) return nullptr;
  Wnd* root = rootOf(w);
  if (root->handle != s.active && isTopLevel(root)) {
    activate(root->handle, WA_ACTIVE, false);
    if (!IsWindow(hwnd)) return nullptr;
  }
  old = s.focus;
  if (old == hwnd) return old;
  s.focus = hwnd;
  if (old && IsWindow(old)) send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (s.focus == hwnd && IsWindow(hwnd)) send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() { return state().focus; }

HWND SetActiveWindow(HWND hwnd) {
  State& s = state();
  HWND old = s.active;
  if (hwnd != nullptr) {
    Wnd* w = findOrFail(hwnd);
    if (w == nullptr || w->foreign || w->thread != currentThread()) return nullptr;
    if (!isTopLevel(rootOf(w))) return nullptr;
    hwnd = rootOf(w)->handle;
  }
  activate(hwnd, WA_ACTIVE, false);
  return old;
}

HWND GetActiveWindow() { return state().active; }

HWND GetForegroundWindow() {
  ensureDesktop();
  return state().foreground;
}

namespace {
bool foreignHoldsForeground() {
  State& s = state();
  Wnd* f = find(s.foreground);
  return f != nullptr && f->foreign;
}
}  // namespace

BOOL SetForegroundWindow(HWND hwnd) {
  ensureDesktop();
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || w->isDesktop) return FALSE;
  State& s = state();
  if (w->foreign) {
    s.foreground = hwnd;
    return TRUE;
  }
  Wnd* root = rootOf(w);
  if (!isTopLevel(root)) return FALSE;
  if (foreignHoldsForeground()) {
    const auto& extra = qv::desktop::profile().extra;
    auto it = extra.find("foreground.attach");
    bool attachHelps = it == extra.end() || it->second != "0";
    auto at = s.attachedTo.find(currentThread());
    bool attached = at != s.attachedTo.end() && at->second == kForeignThread;
    if (!(s.foregroundLockTimeout == 0 || (attached && attachHelps))) {
      // The platform flashes the taskbar button instead.
      FlashWindow(root->handle, TRUE);
      return FALSE;
    }
  }
  s.foreground = root->handle;
  if (s.active != root->handle) activate(root->handle, WA_ACTIVE, true);
  return TRUE;
}

BOOL LockSetForegroundWindow(UINT) { return TRUE; }
BOOL AllowSetForegroundWindow(DWORD) { return TRUE; }

BOOL AttachThreadInput(DWORD attach, DWORD attachTo, BOOL doAttach) {
  ensureDesktop();
  State& s = state();
  auto known = [&](DWORD t) {
    if (t == kForeignThread) return s.foreign != nullptr;
    std::lock_guard<std::recursive_mutex> lock(s.m);
    return t == currentThread() || s.queues.count(t) > 0;
  };
  if (attach == attachTo || !known(attach) || !known(attachTo)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (doAttach) {
    s.attachedTo[attach] = attachTo;
  } else {
    auto it = s.attachedTo.find(attach);
    if (it == s.attachedTo.end() || it->second != attachTo) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    s.attachedTo.erase(it);
  }
  return TRUE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return 0;
  if (w->foreign) {
    if (processId) *processId = kForeignProcess;
    return kForeignThread;
  }
  if (processId) *processId = currentProcess();
  return w->isDesktop ? 0 : w->thread;
}

BOOL FlashWindow(HWND hwnd, BOOL) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr) return FALSE;
  return state().active == hwnd ? TRUE : FALSE;
}

int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || w->isDesktop || w->foreign) return 0;
  if (w->region && w->region != rgn) DeleteObject(w->region);
  w->region = rgn;
  if (rgn) w->shape = [rgn](POINT p) { return PtInRegion(rgn, p.x, p.y) != FALSE; };
  else w->shape = nullptr;
  if (redraw && visibleChain(w)) invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  notifyChange(hwnd, static_cast<int>(qv::os::WindowChange::Shape));
  return 1;
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
  Wnd* w = findOrFail(hwnd);
  if (w == nullptr || w->region == nullptr || rgn == nullptr) return ERROR;
  return CombineRgn(rgn, w->region, nullptr, RGN_COPY);
}

BOOL FlashWindowEx(PFLASHWINFO info) {
  if (info == nullptr) return FALSE;
  return FlashWindow(info->hwnd, TRUE);
}

namespace qv::os::user {

void activate(HWND hwnd, int how, bool foreground) {
  State& s = state();
  HWND old = s.active;
  if (foreground || !foreignHoldsForeground()) {
    if (hwnd) s.foreground = hwnd;
    else if (s.foreground == old) s.foreground = nullptr;
  }
  if (old == hwnd) return;
  if (old && IsWindow(old)) {
    send(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
    if (IsWindow(old))
      send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0), reinterpret_cast<LPARAM>(hwnd));
  }
  s.active = hwnd;
  bool appChange = (old == nullptr || !IsWindow(old)) != (hwnd == nullptr);
  if (appChange) {
    BOOL on = hwnd != nullptr;
    for (HWND h : handlesOf(s.desktop->children)) {
      Wnd* t = find(h);
      if (t && !t->foreign && t->thread == currentThread()) send(h, WM_ACTIVATEAPP, on, 0);
    }
  }
  if (hwnd == nullptr) {
    if (s.focus) SetFocus(nullptr);
    return;
  }
  Wnd* w = find(hwnd);
  if (w == nullptr || s.active != hwnd) return;
  if (!s.desktop->children.empty() && s.desktop->children.front() != w) {
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!IsWindow(hwnd) || s.active != hwnd) return;
  }
  send(hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
  if (IsWindow(hwnd) && s.active == hwnd)
    send(hwnd, WM_ACTIVATE, MAKEWPARAM(static_cast<WORD>(how), IsIconic(hwnd) ? 1 : 0), reinterpret_cast<LPARAM>(old));
}

}  // namespace qv::os::user

namespace qv::os {

void setWindowShapeTest(HWND hwnd, std::function<bool(POINT)> insideTest) {
  if (user::Wnd* w = user::find(hwnd)) w->shape = std::move(insideTest);
}

HWND foreignForegroundWindow() {
  user::ensureDesktop();
  return user::state().foreign ? user::state().foreign->handle : nullptr;
}

void setWindowChangeListener(std::function<void(HWND, WindowChange)> listener) {
  if (listener)
    user::state().changeListener = [l = std::move(listener)](HWND h, int c) { l(h, static_cast<WindowChange>(c)); };
  else
    user::state().changeListener = nullptr;
}

}  // namespace qv::os
