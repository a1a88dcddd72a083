// Window classes and windows: creation and destruction, the parent, owner and
// z-order tree under the desktop window, styles and window words, text,
// visibility, bounds with the non-client frame, hit testing, enabling, focus,
// activation and the foreground window.
#pragma once

#include <functional>

#include "platform/os/Types.h"
#include "platform/os/kernel/Atom.h"
#include "platform/os/kernel/Process.h"
#include "platform/os/user/Message.h"

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define CS_NOCLOSE 0x0200
#define CS_SAVEBITS 0x0800
#define CS_BYTEALIGNCLIENT 0x1000
#define CS_BYTEALIGNWINDOW 0x2000
#define CS_GLOBALCLASS 0x4000
#define CS_DROPSHADOW 0x00020000

// Window styles.
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_TILED WS_OVERLAPPED
#define WS_ICONIC WS_MINIMIZE
#define WS_SIZEBOX WS_THICKFRAME
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_TILEDWINDOW WS_OVERLAPPEDWINDOW
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)
#define WS_CHILDWINDOW WS_CHILD

// Extended styles.
#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_NOPARENTNOTIFY 0x00000004L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_ACCEPTFILES 0x00000010L
#define WS_EX_TRANSPARENT 0x00000020L
#define WS_EX_MDICHILD 0x00000040L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_RIGHT 0x00001000L
#define WS_EX_LEFT 0x00000000L
#define WS_EX_RTLREADING 0x00002000L
#define WS_EX_LEFTSCROLLBAR 0x00004000L
#define WS_EX_CONTROLPARENT 0x00010000L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_APPWINDOW 0x00040000L
#define WS_EX_OVERLAPPEDWINDOW (WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE)
#define WS_EX_PALETTEWINDOW (WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST)
#define WS_EX_LAYERED 0x00080000L
#define WS_EX_NOINHERITLAYOUT 0x00100000L
#define WS_EX_LAYOUTRTL 0x00400000L
#define WS_EX_COMPOSITED 0x02000000L
#define WS_EX_NOACTIVATE 0x08000000L

#define CW_USEDEFAULT (static_cast<int>(0x80000000))

// Special parents and z-order positions.
#define HWND_DESKTOP (static_cast<HWND>(nullptr))
#define HWND_MESSAGE (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-3)))
#define HWND_TOP (static_cast<HWND>(nullptr))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<LONG_PTR>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2)))

// Window words. Pointer-sized words exist only as GWLP_*: GetWindowLong
// refuses them (ERROR_INVALID_INDEX) as it does on 64-bit builds.
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWL_ID (-12)
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWLP_USERDATA (-21)
#define GWLP_ID (-12)

// Class words.
#define GCLP_MENUNAME (-8)
#define GCLP_HBRBACKGROUND (-10)
#define GCLP_HCURSOR (-12)
#define GCLP_HICON (-14)
#define GCLP_HMODULE (-16)
#define GCL_CBWNDEXTRA (-18)
#define GCL_CBCLSEXTRA (-20)
#define GCLP_WNDPROC (-24)
#define GCL_STYLE (-26)
#define GCW_ATOM (-32)
#define GCLP_HICONSM (-34)

// GetWindow.
#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5
#define GW_ENABLEDPOPUP 6

// GetAncestor.
#define GA_PARENT 1
#define GA_ROOT 2
#define GA_ROOTOWNER 3

// ShowWindow: SW_HIDE ... SW_SHOWDEFAULT come with the kernel's process start-up.
#define SW_FORCEMINIMIZE 11

// SetWindowPos.
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_DRAWFRAME SWP_FRAMECHANGED
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOCOPYBITS 0x0100
#define SWP_NOOWNERZORDER 0x0200
#define SWP_NOREPOSITION SWP_NOOWNERZORDER
#define SWP_NOSENDCHANGING 0x0400
#define SWP_NOCLIENTSIZE 0x0800
#define SWP_NOCLIENTMOVE 0x1000
#define SWP_DEFERERASE 0x2000
#define SWP_ASYNCWINDOWPOS 0x4000

// ChildWindowFromPointEx.
#define CWP_ALL 0x0000
#define CWP_SKIPINVISIBLE 0x0001
#define CWP_SKIPDISABLED 0x0002
#define CWP_SKIPTRANSPARENT 0x0004

// FlashWindowEx.
#define FLASHW_STOP 0
#define FLASHW_CAPTION 0x00000001
#define FLASHW_TRAY 0x00000002
#define FLASHW_ALL (FLASHW_CAPTION | FLASHW_TRAY)
#define FLASHW_TIMER 0x00000004
#define FLASHW_TIMERNOFG 0x0000000C

// WM_SETICON / WM_GETICON.
#define ICON_SMALL 0
#define ICON_BIG 1
#define ICON_SMALL2 2

// WM_NCCALCSIZE results.
#define WVR_ALIGNTOP 0x0010
#define WVR_REDRAW 0x0300

#ifndef ERROR_INVALID_INDEX
#define ERROR_INVALID_INDEX 1413L
#endif
#ifndef ERROR_CLASS_DOES_NOT_EXIST
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#endif
#ifndef ERROR_CLASS_HAS_WINDOWS
#define ERROR_CLASS_HAS_WINDOWS 1412L
#endif
#ifndef ERROR_TLW_WITH_WSCHILD
#define ERROR_TLW_WITH_WSCHILD 1406L
#endif
#ifndef ERROR_ACCESS_DENIED
#define ERROR_ACCESS_DENIED 5L
#endif

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};
using WNDCLASS = WNDCLASSA;
using LPWNDCLASS = WNDCLASSA*;

struct WNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
};
using WNDCLASSEX = WNDCLASSEXA;
using LPWNDCLASSEX = WNDCLASSEXA*;

struct CREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};
using CREATESTRUCT = CREATESTRUCTA;
using LPCREATESTRUCT = CREATESTRUCTA*;

struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
};
using LPWINDOWPOS = WINDOWPOS*;

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos;
};
using LPNCCALCSIZE_PARAMS = NCCALCSIZE_PARAMS*;

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};
using LPMINMAXINFO = MINMAXINFO*;

struct STYLESTRUCT {
  DWORD styleOld;
  DWORD styleNew;
};
using LPSTYLESTRUCT = STYLESTRUCT*;

struct WINDOWPLACEMENT {
  UINT length;
  UINT flags;
  UINT showCmd;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;
};
using LPWINDOWPLACEMENT = WINDOWPLACEMENT*;

struct FLASHWINFO {
  UINT cbSize;
  HWND hwnd;
  DWORD dwFlags;
  UINT uCount;
  DWORD dwTimeout;
};
using PFLASHWINFO = FLASHWINFO*;

using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

// Classes.
ATOM RegisterClass(const WNDCLASSA* wc);
#define RegisterClassA RegisterClass
ATOM RegisterClassEx(const WNDCLASSEXA* wc);
#define RegisterClassExA RegisterClassEx
BOOL UnregisterClass(LPCSTR className, HINSTANCE instance);
#define UnregisterClassA UnregisterClass
BOOL GetClassInfo(HINSTANCE instance, LPCSTR className, LPWNDCLASS out);
#define GetClassInfoA GetClassInfo
BOOL GetClassInfoEx(HINSTANCE instance, LPCSTR className, LPWNDCLASSEX out);
int GetClassName(HWND hwnd, LPSTR buffer, int maxCount);
#define GetClassNameA GetClassName
ULONG_PTR GetClassLongPtr(HWND hwnd, int index);
ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value);
DWORD GetClassLong(HWND hwnd, int index);
DWORD SetClassLong(HWND hwnd, int index, LONG value);

// Creation and destruction.
HWND CreateWindowEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
#define CreateWindowExA CreateWindowEx
inline HWND CreateWindow(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width, int height,
                         HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return CreateWindowEx(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
#define CreateWindowA CreateWindow
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
BOOL IsWindowUnicode(HWND hwnd);
HWND GetDesktopWindow();

// Window words.
LONG GetWindowLong(HWND hwnd, int index);
#define GetWindowLongA GetWindowLong
LONG SetWindowLong(HWND hwnd, int index, LONG value);
#define SetWindowLongA SetWindowLong
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
#define GetWindowLongPtrA GetWindowLongPtr
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
#define SetWindowLongPtrA SetWindowLongPtr
WORD GetWindowWord(HWND hwnd, int index);
WORD SetWindowWord(HWND hwnd, int index, WORD value);
int GetDlgCtrlID(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);

// Properties (SetProp/GetProp/RemoveProp).
BOOL SetProp(HWND hwnd, LPCSTR name, HANDLE data);
#define SetPropA SetProp
HANDLE GetProp(HWND hwnd, LPCSTR name);
#define GetPropA GetProp
HANDLE RemoveProp(HWND hwnd, LPCSTR name);
#define RemovePropA RemoveProp

// Text.
BOOL SetWindowText(HWND hwnd, LPCSTR text);
#define SetWindowTextA SetWindowText
int GetWindowText(HWND hwnd, LPSTR buffer, int maxCount);
#define GetWindowTextA GetWindowText
int GetWindowTextLength(HWND hwnd);
#define GetWindowTextLengthA GetWindowTextLength

// The tree and z-order.
HWND SetParent(HWND child, HWND newParent);
HWND GetParent(HWND hwnd);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
#define GetNextWindow GetWindow
HWND GetTopWindow(HWND hwnd);
HWND GetLastActivePopup(HWND hwnd);
BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam);
HWND FindWindow(LPCSTR className, LPCSTR windowName);
#define FindWindowA FindWindow
HWND FindWindowEx(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
#define FindWindowExA FindWindowEx
BOOL BringWindowToTop(HWND hwnd);

// Visibility, state and bounds.
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL ShowWindowAsync(HWND hwnd, int cmd);
BOOL ShowOwnedPopups(HWND owner, BOOL show);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL OpenIcon(HWND hwnd);
BOOL CloseWindow(HWND hwnd);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL GetWindowRect(HWND hwnd, LPRECT rect);
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);
BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
BOOL ClientToScreen(HWND hwnd, LPPOINT point);
BOOL ScreenToClient(HWND hwnd, LPPOINT point);
// Answers the offset added (x in the low word, y in the high word).
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
HWND WindowFromPoint(POINT point);
HWND ChildWindowFromPoint(HWND parent, POINT point);
HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags);
HWND RealChildWindowFromPoint(HWND parent, POINT point);

// Enabling, focus, activation, foreground.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd);
BOOL LockSetForegroundWindow(UINT code);
BOOL AllowSetForegroundWindow(DWORD processId);
BOOL AttachThreadInput(DWORD attach, DWORD attachTo, BOOL doAttach);
DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId);
BOOL FlashWindow(HWND hwnd, BOOL invert);

// Window shapes. The region is in window coordinates and belongs to the
// window from then on (it is deleted when replaced or with the window).
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
// Copies the shape into `rgn`; ERROR when the window has none.
int GetWindowRgn(HWND hwnd, HRGN rgn);
BOOL FlashWindowEx(PFLASHWINFO info);

namespace qv::os {

// Windows with a shape (SetWindowRgn in the drawing layer) answer here
// whether a point, relative to the window's top-left corner, lies inside.
// Hit testing asks it before WM_NCHITTEST; an empty function is the whole
// rectangle.
void setWindowShapeTest(HWND hwnd, std::function<bool(POINT windowPoint)> inside);

// A window of another program that holds the foreground; it answers
// GetForegroundWindow and GetWindowThreadProcessId but takes no messages.
// It exists when the profile value "foreground.other" is 1 as the desktop
// starts. While it holds the foreground, SetForegroundWindow fails (and
// flashes the window) unless the caller's thread has attached its input to
// the foreground thread (AttachThreadInput) or the foreground lock time-out
// is 0; profile value "foreground.attach" = 0 makes attaching not help.
HWND foreignForegroundWindow();

// Called whenever a window is created, destroyed, shown, hidden, moved or
// resized, so that the desktop can keep surfaces and the screen up to date.
enum class WindowChange { Created, Destroyed, Shown, Hidden, Moved, Sized, ZOrder, Text, Shape };
void setWindowChangeListener(std::function<void(HWND, WindowChange)> listener);

}  // namespace qv::os
