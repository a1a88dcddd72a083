// Update areas and WM_PAINT. Every window collects what needs painting in its
// update area; one WM_PAINT per window is produced when the queue has nothing
// else, and BeginPaint/EndPaint validate the area. The update area is kept as
// its bounding rectangle, which is what BeginPaint reports in rcPaint.
//
// Device contexts come from the drawing layer: the desktop sets the hooks
// below so that BeginPaint and GetDC hand out DCs over window surfaces.
#pragma once

#include <functional>

#include "platform/os/Types.h"

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// RedrawWindow.
#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOINTERNALPAINT 0x0010
#define RDW_NOERASE 0x0020
#define RDW_NOCHILDREN 0x0040
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400
#define RDW_NOFRAME 0x0800

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, const RECT* update, HRGN updateRgn, UINT flags);
BOOL LockWindowUpdate(HWND hwnd);
HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);

// DCs of windows; null until the desktop provides them.
#define DCX_WINDOW 0x00000001L
#define DCX_CACHE 0x00000002L
#define DCX_NORESETATTRS 0x00000004L
#define DCX_CLIPCHILDREN 0x00000008L
#define DCX_CLIPSIBLINGS 0x00000010L
#define DCX_PARENTCLIP 0x00000020L
#define DCX_EXCLUDERGN 0x00000040L
#define DCX_INTERSECTRGN 0x00000080L
#define DCX_LOCKWINDOWUPDATE 0x00000400L
#define DCX_VALIDATE 0x00200000L
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
int ReleaseDC(HWND hwnd, HDC dc);

namespace qv::os {

struct PaintHooks {
  // A DC for the window (client area, or the whole window with DCX_WINDOW),
  // and its release. Null window: the screen.
  std::function<HDC(HWND hwnd, DWORD dcxFlags)> getDC;
  std::function<int(HWND hwnd, HDC dc)> releaseDC;
  // Fills `rect` (client coordinates of the DC) with the brush, for the
  // default WM_ERASEBKGND.
  std::function<void(HDC dc, const RECT& rect, HBRUSH brush)> fillRect;
  // Draws the classic frame, caption and buttons for the default WM_NCPAINT.
  std::function<void(HWND hwnd, HDC windowDC, bool active)> drawFrame;
};
PaintHooks& paintHooks();

}  // namespace qv::os
