// Mouse capture, the cursor, the keyboard state, and the injection of input
// that the tests and the desktop driver use in place of a person at the
// screen. Injected input goes through the same hit testing, capture,
// activation and double-click rules as real input and is queued as input
// messages for the window's thread.
#pragma once

#include "platform/os/Types.h"

// Virtual keys.
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_CANCEL 0x03
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SELECT 0x29
#define VK_PRINT 0x2A
#define VK_EXECUTE 0x2B
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_HELP 0x2F
#define VK_LWIN 0x5B
#define VK_RWIN 0x5C
#define VK_APPS 0x5D
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#define VK_LSHIFT 0xA0
#define VK_RSHIFT 0xA1
#define VK_LCONTROL 0xA2
#define VK_RCONTROL 0xA3
#define VK_LMENU 0xA4
#define VK_RMENU 0xA5
#define VK_BROWSER_BACK 0xA6
#define VK_BROWSER_FORWARD 0xA7
#define VK_OEM_1 0xBA
#define VK_OEM_PLUS 0xBB
#define VK_OEM_COMMA 0xBC
#define VK_OEM_MINUS 0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2 0xBF
#define VK_OEM_3 0xC0
#define VK_OEM_4 0xDB
#define VK_OEM_5 0xDC
#define VK_OEM_6 0xDD
#define VK_OEM_7 0xDE

// TrackMouseEvent.
#define TME_HOVER 0x00000001
#define TME_LEAVE 0x00000002
#define TME_NONCLIENT 0x00000010
#define TME_QUERY 0x40000000
#define TME_CANCEL 0x80000000
#define HOVER_DEFAULT 0xFFFFFFFF
struct TRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
};
using LPTRACKMOUSEEVENT = TRACKMOUSEEVENT*;

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL show);
BOOL ClipCursor(const RECT* rect);
BOOL GetClipCursor(LPRECT rect);
// The state as of the last input message taken from the queue: high bit
// set while down, low bit for toggled keys (Caps Lock ...).
SHORT GetKeyState(int vk);
// The state right now: high bit while down.
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state256);
BOOL SetKeyboardState(const BYTE* state256);
UINT MapVirtualKey(UINT code, UINT mapType);
#define MapVirtualKeyA MapVirtualKey
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT track);
BOOL SwapMouseButton(BOOL swap);
BOOL DragDetect(HWND hwnd, POINT point);

namespace qv::os {

// Queues a mouse event at a screen point: message is WM_MOUSEMOVE,
// WM_LBUTTONDOWN/UP, WM_RBUTTONDOWN/UP, WM_MBUTTONDOWN/UP or WM_MOUSEWHEEL
// (wheel delta in the high word of keyFlags); keyFlags may add MK_SHIFT and
// MK_CONTROL. The cursor moves there first. The window is found by hit
// testing (WM_NCHITTEST) unless a window has the capture; hits outside the
// client area become WM_NC* messages, button presses within the double-click
// time and rectangle become WM_*DBLCLK for CS_DBLCLKS classes. Answers the
// window that will receive it (null when the event goes nowhere).
HWND injectMouse(UINT message, POINT screen, WPARAM keyFlags = 0);
// A click (down and up) at a screen point.
HWND injectClick(POINT screen, bool right = false);
// A key press or release to the focus window (or the active window when none
// has the focus): WM_KEYDOWN/UP, or WM_SYSKEYDOWN/UP while Alt is down or
// for Alt and F10 themselves.
void injectKey(UINT vk, bool down);
// A character as a keyboard layout would produce it, straight as WM_CHAR.
void injectChar(char ch);

}  // namespace qv::os
