#include "platform/os/user/UserState.h"

#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/Window.h"

namespace qv::os::user {
namespace {

void resetAll();

State* makeState() {
  auto* s = new State;  // kept for the whole process: windows may be touched during static destruction
  qv::desktop::onReset(resetAll);
  // The drawing layer's edges and controls take their colours from here.
  qv::os::gdi::setSysColorSource(&GetSysColor);
  // FillRect takes (HBRUSH)(COLOR_x + 1) for a system colour's brush.
  qv::os::gdi::setSysColorBrushResolver(&GetSysColorBrush);
  return s;
}

void resetAll() {
  State& s = state();
  resetTimers();
  resetMenus();
  resetInput();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  s.windows.clear();
  s.classes.clear();
  s.nextAtom = 0xC000;
  s.queues.clear();
  s.registeredMessages.clear();
  s.nextRegistered = 0xC000;
  s.idleHook = nullptr;
  s.desktop.reset();
  s.messageRoot.reset();
  s.foreign.reset();
  s.focus = s.active = s.capture = s.foreground = nullptr;
  s.attachedTo.clear();
  s.foregroundLockTimeout = 200000;
  s.changeListener = nullptr;
}

}  // namespace

State& state() {
  static State* s = makeState();
  return *s;
}

DWORD currentThread() { return ::GetCurrentThreadId(); }
DWORD currentProcess() { return ::GetCurrentProcessId(); }

void ensureDesktop() {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  if (s.desktop) return;
  auto d = std::make_shared<Wnd>();
  d->isDesktop = true;
  d->style = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  const auto& p = qv::desktop::profile();
  d->rect = {0, 0, p.screenWidth, p.screenHeight};
  d->client = d->rect;
  d->thread = 0;
  newHandle(d);
  s.desktop = d;
  auto m = std::make_shared<Wnd>();
  m->isDesktop = true;
  m->messageOnly = true;
  m->style = WS_CHILD | WS_VISIBLE;
  newHandle(m);
  s.messageRoot = m;
  auto it = p.extra.find("foreground.other");
  if (it != p.extra.end() && it->second == "1") {
    auto f = std::make_shared<Wnd>();
    f->foreign = true;
    f->style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    f->rect = {0, 0, p.screenWidth, p.screenHeight};
    f->thread = kForeignThread;
    f->text = "Other program";
    newHandle(f);
    s.foreign = f;
    s.foreground = f->handle;
  }
}

Wnd* find(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  auto it = s.windows.find(reinterpret_cast<ULONG_PTR>(hwnd));
  if (it == s.windows.end() || it->second->destroyed) return nullptr;
  return it->second.get();
}

WndPtr hold(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  auto it = s.windows.find(reinterpret_cast<ULONG_PTR>(hwnd));
  if (it == s.windows.end() || it->second->destroyed) return nullptr;
  return it->second;
}

Wnd* findOrFail(HWND hwnd) {
  Wnd* w = find(hwnd);
  if (w == nullptr || w->isDesktop) {
    if (w != nullptr && hwnd == state().desktop->handle) return w;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return w;
}

HWND newHandle(const WndPtr& w) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  ULONG_PTR h = s.nextHandle;
  s.nextHandle += 4;
  w->handle = reinterpret_cast<HWND>(h);
  s.windows[h] = w;
  return w->handle;
}

void dropHandle(HWND hwnd) {
  State& s = state();
  std::lock_guard<std::recursive_mutex> lock(s.m);
  s.windows.erase(reinterpret_cast<ULONG_PTR>(hwnd));
}

Queue& queue(DWORD thread) { return state().queues[thread]; }

void wake() { state().cv.notify_all(); }

// Message-only windows sit under a root of their own and are no top-level
// windows of the desktop: they take no activation and no broadcasts.
bool isTopLevel(const Wnd* w) {
  return w != nullptr && w->parent != nullptr && w->parent->isDesktop && !w->parent->messageOnly;
}

RECT screenRect(const Wnd* w) {
  if (w == nullptr) return {};
  if (w->parent == nullptr || w->isDesktop) return w->rect;
  POINT o = clientOrigin(w->parent);
  return {w->rect.left + o.x, w->rect.top + o.y, w->rect.right + o.x, w->rect.bottom + o.y};
}

POINT clientOrigin(const Wnd* w) {
  if (w == nullptr) return {0, 0};
  if (w->isDesktop) return {0, 0};
  RECT r = screenRect(w);
  return {r.left + w->client.left, r.top + w->client.top};
}

bool visibleChain(const Wnd* w) {
  for (; w != nullptr && !w->isDesktop; w = w->parent)
    if (!(w->style & WS_VISIBLE)) return false;
  return w != nullptr;
}

Wnd* rootOf(Wnd* w) {
  while (w != nullptr && w->parent != nullptr && !w->parent->isDesktop) w = w->parent;
  return w;
}

RECT frameOf(DWORD style, DWORD exStyle, bool menu) {
  int f = 0;
  if (style & WS_THICKFRAME)
    f = GetSystemMetrics(SM_CXFRAME);
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    f = GetSystemMetrics(SM_CXDLGFRAME);
  else if (style & WS_BORDER)
    f = GetSystemMetrics(SM_CXBORDER);
  RECT r{f, f, f, f};
  if ((style & WS_CAPTION) == WS_CAPTION)
    r.top += (exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
  if (menu) r.top += GetSystemMetrics(SM_CYMENU);
  int edge = 0;
  if (exStyle & WS_EX_CLIENTEDGE) edge += GetSystemMetrics(SM_CXEDGE);
  if (exStyle & WS_EX_STATICEDGE) edge += GetSystemMetrics(SM_CXBORDER);
  r.left += edge;
  r.top += edge;
  r.right += edge;
  r.bottom += edge;
  return r;
}

void notifyChange(HWND hwnd, int change) {
  auto l = state().changeListener;
  if (l) l(hwnd, change);
}

}  // namespace qv::os::user
