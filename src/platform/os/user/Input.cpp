#include "platform/os/user/Input.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/desktop/Clock.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"

using namespace qv::os::user;

namespace {

struct InputState {
  POINT cursor{-1, -1};  // placed in the screen's middle on first use
  BYTE async[256]{};
  BYTE sync[256]{};
  HCURSOR cursorShape = nullptr;
  int showCount = 0;
  bool clipped = false;
  RECT clip{};
  bool swapped = false;
  // The last button press, for double clicks.
  UINT lastDownMsg = 0;
  HWND lastDownWnd = nullptr;
  std::uint64_t lastDownTime = 0;
  POINT lastDownPt{};
  // TrackMouseEvent.
  HWND tracked = nullptr;
  DWORD trackFlags = 0;
};

InputState& in() {
  static InputState* s = new InputState;
  return *s;
}

POINT& cursor() {
  InputState& s = in();
  if (s.cursor.x == -1 && s.cursor.y == -1) {
    const auto& p = qv::desktop::profile();
    s.cursor = {p.screenWidth / 2, p.screenHeight / 2};
  }
  return s.cursor;
}

bool down(const BYTE* st, int vk) { return (st[vk & 0xFF] & 0x80) != 0; }

void setKey(BYTE* st, int vk, bool isDown) {
  BYTE& b = st[vk & 0xFF];
  if (isDown) {
    if (!(b & 0x80)) b ^= 0x01;  // toggled on each fresh press
    b |= 0x80;
  } else {
    b &= static_cast<BYTE>(~0x80);
  }
  auto generic = [&](int l, int r, int g) {
    if (vk == l || vk == r || vk == g) {
      if (vk != g) st[g] = static_cast<BYTE>((st[g] & 0x01) | ((down(st, l) || down(st, r) || (isDown && vk == g)) ? 0x80 : 0));
      else {
        if (!isDown) {
          st[l] &= static_cast<BYTE>(~0x80);
          st[r] &= static_cast<BYTE>(~0x80);
        } else if (!down(st, l) && !down(st, r)) {
          st[l] |= 0x80;
        }
      }
    }
  };
  generic(VK_LSHIFT, VK_RSHIFT, VK_SHIFT);
  generic(VK_LCONTROL, VK_RCONTROL, VK_CONTROL);
  generic(VK_LMENU, VK_RMENU, VK_MENU);
}

WPARAM buttonFlags(const BYTE* st) {
  WPARAM f = 0;
  if (down(st, VK_LBUTTON)) f |= MK_LBUTTON;
  if (down(st, VK_RBUTTON)) f |= MK_RBUTTON;
  if (down(st, VK_MBUTTON)) f |= MK_MBUTTON;
  if (down(st, VK_SHIFT)) f |= MK_SHIFT;
  if (down(st, VK_CONTROL)) f |= MK_CONTROL;
  return f;
}

bool isDownMsg(UINT m) { return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN; }

int buttonVk(UINT m) {
  switch (m) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONUP: case WM_NCLBUTTONDBLCLK: return VK_LBUTTON;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN: case WM_NCRBUTTONUP: case WM_NCRBUTTONDBLCLK: return VK_RBUTTON;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN: case WM_NCMBUTTONUP: case WM_NCMBUTTONDBLCLK: return VK_MBUTTON;
    default: return 0;
  }
}

bool isPress(UINT m) {
  switch (m) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: return true;
    default: return false;
  }
}

bool isMouseMsg(UINT m) { return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK); }

void queueInput(HWND target, const MSG& m, bool coalesce) {
  State& s = state();
  Wnd* w = find(target);
  if (w == nullptr) return;
  {
    std::lock_guard<std::recursive_mutex> lock(s.m);
    Queue& q = queue(w->thread);
    // A newer move replaces the queued one that nothing has followed yet.
    if (coalesce && !q.input.empty() && q.input.back().message == m.message && q.input.back().hwnd == m.hwnd)
      q.input.back() = m;
    else
      q.input.push_back(m);
  }
  wake();
}

WORD scanCode(UINT vk) {
  static const char* row1 = "QWERTYUIOP";
  static const char* row2 = "ASDFGHJKL";
  static const char* row3 = "ZXCVBNM";
  if (vk >= 'A' && vk <= 'Z') {
    if (const char* p = std::strchr(row1, static_cast<int>(vk))) return static_cast<WORD>(0x10 + (p - row1));
    if (const char* p = std::strchr(row2, static_cast<int>(vk))) return static_cast<WORD>(0x1E + (p - row2));
    if (const char* p = std::strchr(row3, static_cast<int>(vk))) return static_cast<WORD>(0x2C + (p - row3));
  }
  if (vk >= '1' && vk <= '9') return static_cast<WORD>(0x02 + (vk - '1'));
  if (vk == '0') return 0x0B;
  if (vk >= VK_F1 && vk <= VK_F10) return static_cast<WORD>(0x3B + (vk - VK_F1));
  switch (vk) {
    case VK_ESCAPE: return 0x01;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_RETURN: return 0x1C;
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return 0x1D;
    case VK_SHIFT: case VK_LSHIFT: return 0x2A;
    case VK_RSHIFT: return 0x36;
    case VK_MENU: case VK_LMENU: case VK_RMENU: return 0x38;
    case VK_SPACE: return 0x39;
    case VK_CAPITAL: return 0x3A;
    case VK_F11: return 0x57;
    case VK_F12: return 0x58;
    case VK_HOME: return 0x47;
    case VK_UP: return 0x48;
    case VK_PRIOR: return 0x49;
    case VK_LEFT: return 0x4B;
    case VK_RIGHT: return 0x4D;
    case VK_END: return 0x4F;
    case VK_DOWN: return 0x50;
    case VK_NEXT: return 0x51;
    case VK_INSERT: return 0x52;
    case VK_DELETE: return 0x53;
    default: return 0;
  }
}

bool extendedKey(UINT vk) {
  switch (vk) {
    case VK_HOME: case VK_UP: case VK_PRIOR: case VK_LEFT: case VK_RIGHT: case VK_END: case VK_DOWN:
    case VK_NEXT: case VK_INSERT: case VK_DELETE: case VK_RCONTROL: case VK_RMENU: case VK_DIVIDE: return true;
    default: return false;
  }
}

}  // namespace

namespace qv::os::user {

POINT cursorPos() { return cursor(); }

int charForKey(UINT vk) {
  const BYTE* st = in().sync;
  bool shift = down(st, VK_SHIFT), ctrl = down(st, VK_CONTROL), alt = down(st, VK_MENU);
  bool caps = (st[VK_CAPITAL] & 0x01) != 0;
  if (ctrl && alt) return 0;
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return static_cast<int>(vk - 'A' + 1);
    return (shift != caps) ? static_cast<int>(vk) : static_cast<int>(vk - 'A' + 'a');
  }
  if (vk >= '0' && vk <= '9') {
    if (ctrl) return 0;
    static const char shifted[] = ")!@#$%^&*(";
    return shift ? shifted[vk - '0'] : static_cast<int>(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<int>('0' + (vk - VK_NUMPAD0));
  struct Oem { UINT vk; char plain, shifted; };
  static const Oem oem[] = {{VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'}, {VK_OEM_COMMA, ',', '<'},
                            {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
                            {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},    {VK_OEM_5, '\\', '|'},
                            {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'}};
  for (const Oem& o : oem)
    if (o.vk == vk) return ctrl ? 0 : (shift ? o.shifted : o.plain);
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return ctrl ? '\n' : '\r';
    case VK_BACK: return ctrl ? 0x7F : 0x08;
    case VK_TAB: return ctrl ? 0 : '\t';
    case VK_ESCAPE: return 0x1B;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    default: return 0;
  }
}

bool onInputTaken(MSG& m) {
  InputState& s = in();
  UINT msg = m.message;
  if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN) setKey(s.sync, static_cast<int>(m.wParam), true);
  else if (msg == WM_KEYUP || msg == WM_SYSKEYUP) setKey(s.sync, static_cast<int>(m.wParam), false);
  if (!isMouseMsg(msg)) return true;
  if (int vk = buttonVk(msg)) s.sync[vk] = isPress(msg) ? static_cast<BYTE>(s.sync[vk] | 0x80) : static_cast<BYTE>(s.sync[vk] & ~0x80);
  State& st = state();
  bool captured = st.capture != nullptr;
  bool client = msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST;
  int hit = client ? HTCLIENT : static_cast<int>(m.wParam);
  bool eaten = false;
  Wnd* w = find(m.hwnd);
  if (w == nullptr) return false;
  if (isPress(msg) && !captured) {
    Wnd* root = rootOf(w);
    if (root && isTopLevel(root) && root->handle != st.active && !(root->exStyle & WS_EX_NOACTIVATE)) {
      LRESULT r = send(m.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root->handle), MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msg)));
      if ((r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) && IsWindow(root->handle)) {
        activate(root->handle, WA_CLICKACTIVE, true);
      }
      eaten = r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT;
    }
  }
  if (!captured && IsWindow(m.hwnd) && msg != WM_MOUSEWHEEL)
    send(m.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(m.hwnd), MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msg)));
  return !eaten && IsWindow(m.hwnd);
}

void onWindowGone(HWND hwnd) {
  InputState& s = in();
  if (s.lastDownWnd == hwnd) s.lastDownWnd = nullptr;
  if (s.tracked == hwnd) s.tracked = nullptr;
  if (state().capture == hwnd) state().capture = nullptr;
}

void resetInput() { in() = InputState{}; }

}  // namespace qv::os::user

HWND SetCapture(HWND hwnd) {
  State& s = state();
  HWND old = s.capture;
  if (hwnd != nullptr && !IsWindow(hwnd)) return old;
  s.capture = hwnd;
  if (old && old != hwnd && IsWindow(old)) send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  State& s = state();
  HWND old = s.capture;
  s.capture = nullptr;
  if (old && IsWindow(old)) send(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() { return state().capture; }

BOOL GetCursorPos(LPPOINT point) {
  if (point == nullptr) return FALSE;
  *point = cursor();
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  const auto& p = qv::desktop::profile();
  InputState& s = in();
  x = std::clamp(x, 0, p.screenWidth - 1);
  y = std::clamp(y, 0, p.screenHeight - 1);
  if (s.clipped) {
    x = std::clamp<int>(x, s.clip.left, s.clip.right - 1);
    y = std::clamp<int>(y, s.clip.top, s.clip.bottom - 1);
  }
  POINT& c = cursor();
  if (c.x == x && c.y == y) return TRUE;
  // Moving the cursor makes a mouse move for the window under it.
  qv::os::injectMouse(WM_MOUSEMOVE, POINT{x, y});
  return TRUE;
}

HCURSOR SetCursor(HCURSOR c) {
  HCURSOR old = in().cursorShape;
  in().cursorShape = c;
  return old;
}

HCURSOR GetCursor() { return in().cursorShape; }

int ShowCursor(BOOL show) { return show ? ++in().showCount : --in().showCount; }

BOOL ClipCursor(const RECT* rect) {
  InputState& s = in();
  s.clipped = rect != nullptr;
  if (rect) s.clip = *rect;
  return TRUE;
}

BOOL GetClipCursor(LPRECT rect) {
  if (rect == nullptr) return FALSE;
  const auto& p = qv::desktop::profile();
  *rect = in().clipped ? in().clip : RECT{0, 0, p.screenWidth, p.screenHeight};
  return TRUE;
}

SHORT GetKeyState(int vk) {
  BYTE b = in().sync[vk & 0xFF];
  return static_cast<SHORT>(((b & 0x80) ? 0xFF80 : 0) | (b & 0x01));
}

SHORT GetAsyncKeyState(int vk) { return static_cast<SHORT>(down(in().async, vk) ? 0x8000 : 0); }

BOOL GetKeyboardState(BYTE* state256) {
  if (state256 == nullptr) return FALSE;
  std::memcpy(state256, in().sync, 256);
  return TRUE;
}

BOOL SetKeyboardState(const BYTE* state256) {
  if (state256 == nullptr) return FALSE;
  std::memcpy(in().sync, state256, 256);
  return TRUE;
}

UINT MapVirtualKey(UINT code, UINT mapType) {
  switch (mapType) {
    case 0: return scanCode(code);  // virtual key to scan code
    case 1:                         // scan code to virtual key
      for (UINT vk = 1; vk < 256; ++vk)
        if (scanCode(vk) == code && vk != VK_LSHIFT && vk != VK_LCONTROL && vk != VK_LMENU) return vk;
      return 0;
    case 2: {  // virtual key to unshifted character
      if (code >= 'A' && code <= 'Z') return code;
      if (code >= '0' && code <= '9') return code;
      if (code == VK_SPACE) return ' ';
      return 0;
    }
    default: return 0;
  }
}

BOOL TrackMouseEvent(LPTRACKMOUSEEVENT t) {
  if (t == nullptr || t->cbSize != sizeof(TRACKMOUSEEVENT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  InputState& s = in();
  if (t->dwFlags & TME_QUERY) {
    t->hwndTrack = s.tracked;
    t->dwFlags = s.tracked ? s.trackFlags : 0;
    return TRUE;
  }
  if (t->dwFlags & TME_CANCEL) {
    if (s.tracked == t->hwndTrack) s.tracked = nullptr;
    return TRUE;
  }
  if (!IsWindow(t->hwndTrack)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  int hit = HTNOWHERE;
  HWND under = hitTest(cursor(), &hit);
  bool nc = (t->dwFlags & TME_NONCLIENT) != 0;
  if (under != t->hwndTrack || (nc ? hit == HTCLIENT : hit != HTCLIENT)) {
    // Already outside: the leave comes at once.
    if (t->dwFlags & TME_LEAVE) PostMessage(t->hwndTrack, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  s.tracked = t->hwndTrack;
  s.trackFlags = t->dwFlags;
  return TRUE;
}

BOOL SwapMouseButton(BOOL swap) {
  BOOL old = in().swapped;
  in().swapped = swap != FALSE;
  return old;
}

BOOL DragDetect(HWND hwnd, POINT point) {
  // The press that started the drag is already taken; what follows is in
  // the queue: a move beyond the drag rectangle before the release is a drag.
  int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
  POINT start = point;
  ClientToScreen(hwnd, &start);
  MSG m;
  while (PeekMessage(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    if (m.message == WM_LBUTTONUP) return FALSE;
    if (m.message == WM_MOUSEMOVE && (std::abs(m.pt.x - start.x) > cx || std::abs(m.pt.y - start.y) > cy)) return TRUE;
  }
  return FALSE;
}

namespace qv::os {

HWND injectMouse(UINT message, POINT screen, WPARAM keyFlags) {
  ensureDesktop();
  InputState& s = in();
  State& st = state();
  cursor() = screen;
  if (int vk = buttonVk(message)) setKey(s.async, vk, isDownMsg(message));
  if (keyFlags & MK_SHIFT) s.async[VK_SHIFT] |= 0x80;
  if (keyFlags & MK_CONTROL) s.async[VK_CONTROL] |= 0x80;
  std::uint64_t now = qv::desktop::Clock::now();

  if (message == WM_MOUSEWHEEL) {
    HWND target = st.focus ? st.focus : st.active;
    if (target == nullptr) return nullptr;
    MSG m{target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(buttonFlags(s.async) | (keyFlags & 0xFFFF)), HIWORD(keyFlags)),
          MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)), static_cast<DWORD>(::GetTickCount()), screen};
    queueInput(target, m, false);
    return target;
  }

  int hit = HTCLIENT;
  HWND target = st.capture;
  if (target == nullptr) target = user::hitTest(screen, &hit);
  Wnd* w = find(target);
  if (w == nullptr) return nullptr;
  // Mouse input never reaches a disabled top-level window.
  if (!st.capture && (rootOf(w)->style & WS_DISABLED)) {
    if (isDownMsg(message)) send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(static_cast<WORD>(HTERROR), static_cast<WORD>(message)));
    return nullptr;
  }
  bool client = st.capture != nullptr || hit == HTCLIENT;
  UINT msg = message;
  if (isDownMsg(message)) {
    int dx = std::abs(screen.x - s.lastDownPt.x), dy = std::abs(screen.y - s.lastDownPt.y);
    bool dbl = s.lastDownMsg == message && s.lastDownWnd == target && now - s.lastDownTime <= GetDoubleClickTime() &&
               dx <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 && dy <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    bool classWants = !client || (w->cls && (w->cls->style & CS_DBLCLKS));
    if (dbl && classWants) {
      msg = message + 2;
      s.lastDownMsg = 0;
    } else {
      s.lastDownMsg = message;
      s.lastDownWnd = target;
      s.lastDownTime = now;
      s.lastDownPt = screen;
    }
  }
  // Leaving a tracked window.
  if (s.tracked && (s.tracked != target || ((s.trackFlags & TME_NONCLIENT) ? client : !client))) {
    PostMessage(s.tracked, (s.trackFlags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    s.tracked = nullptr;
  }
  MSG m{target, msg, 0, 0, static_cast<DWORD>(::GetTickCount()), screen};
  if (client) {
    POINT o = clientOrigin(w);
    m.lParam = MAKELPARAM(static_cast<WORD>(screen.x - o.x), static_cast<WORD>(screen.y - o.y));
    m.wParam = buttonFlags(s.async) | (keyFlags & (MK_SHIFT | MK_CONTROL));
  } else {
    m.message = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    m.wParam = static_cast<WPARAM>(hit);
    m.lParam = MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y));
  }
  queueInput(target, m, m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE);
  if (keyFlags & MK_SHIFT) s.async[VK_SHIFT] &= static_cast<BYTE>(~0x80);
  if (keyFlags & MK_CONTROL) s.async[VK_CONTROL] &= static_cast<BYTE>(~0x80);
  return target;
}

HWND injectClick(POINT screen, bool right) {
  HWND h = injectMouse(WM_MOUSEMOVE, screen);
  h = injectMouse(right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, screen);
  injectMouse(right ? WM_RBUTTONUP : WM_LBUTTONUP, screen);
  return h;
}

void injectKey(UINT vk, bool isDown) {
  ensureDesktop();
  InputState& s = in();
  State& st = state();
  bool wasDown = down(s.async, static_cast<int>(vk));
  setKey(s.async, static_cast<int>(vk), isDown);
  bool alt = down(s.async, VK_MENU) || ((vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU) && !isDown);
  bool ctrl = down(s.async, VK_CONTROL);
  HWND target = st.focus ? st.focus : st.active;
  if (target == nullptr) return;
  bool sys = (alt && !ctrl) || vk == VK_F10 || st.focus == nullptr;
  UINT msg = isDown ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  LPARAM lp = 1 | (static_cast<LPARAM>(scanCode(vk)) << 16);
  if (extendedKey(vk)) lp |= 1L << 24;
  if (alt && !ctrl) lp |= 1L << 29;
  if (wasDown) lp |= 1L << 30;
  if (!isDown) lp |= static_cast<LPARAM>(1UL << 31);
  MSG m{target, msg, static_cast<WPARAM>(vk), lp, static_cast<DWORD>(::GetTickCount()), cursor()};
  queueInput(target, m, false);
}

void injectChar(char ch) {
  State& st = state();
  HWND target = st.focus ? st.focus : st.active;
  if (target == nullptr) return;
  MSG m{target, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(ch)), 1, static_cast<DWORD>(::GetTickCount()),
        cursor()};
  queueInput(target, m, false);
}

}  // namespace qv::os
