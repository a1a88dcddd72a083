// Three-dimensional edges of the classic look (DrawEdge), and the system
// colours that user32's drawing services paint with. The colours belong to
// the user library, which stands on this one, so they are read through a
// source that the user library installs at its start-up; until then the
// classic scheme's values answer.
#pragma once

#include "platform/os/Types.h"

// Border kinds: an outer and an inner line, each raised or sunken.
#define BDR_RAISEDOUTER 0x0001u
#define BDR_SUNKENOUTER 0x0002u
#define BDR_RAISEDINNER 0x0004u
#define BDR_SUNKENINNER 0x0008u
#define BDR_OUTER (BDR_RAISEDOUTER | BDR_SUNKENOUTER)
#define BDR_INNER (BDR_RAISEDINNER | BDR_SUNKENINNER)
#define BDR_RAISED (BDR_RAISEDOUTER | BDR_RAISEDINNER)
#define BDR_SUNKEN (BDR_SUNKENOUTER | BDR_SUNKENINNER)
#define EDGE_RAISED (BDR_RAISEDOUTER | BDR_RAISEDINNER)
#define EDGE_SUNKEN (BDR_SUNKENOUTER | BDR_SUNKENINNER)
#define EDGE_ETCHED (BDR_SUNKENOUTER | BDR_RAISEDINNER)
#define EDGE_BUMP (BDR_RAISEDOUTER | BDR_SUNKENINNER)

#define BF_LEFT 0x0001u
#define BF_TOP 0x0002u
#define BF_RIGHT 0x0004u
#define BF_BOTTOM 0x0008u
#define BF_TOPLEFT (BF_TOP | BF_LEFT)
#define BF_TOPRIGHT (BF_TOP | BF_RIGHT)
#define BF_BOTTOMLEFT (BF_BOTTOM | BF_LEFT)
#define BF_BOTTOMRIGHT (BF_BOTTOM | BF_RIGHT)
#define BF_RECT (BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM)
#define BF_DIAGONAL 0x0010u
#define BF_DIAGONAL_ENDTOPRIGHT (BF_DIAGONAL | BF_TOP | BF_RIGHT)
#define BF_DIAGONAL_ENDTOPLEFT (BF_DIAGONAL | BF_TOP | BF_LEFT)
#define BF_DIAGONAL_ENDBOTTOMLEFT (BF_DIAGONAL | BF_BOTTOM | BF_LEFT)
#define BF_DIAGONAL_ENDBOTTOMRIGHT (BF_DIAGONAL | BF_BOTTOM | BF_RIGHT)
#define BF_MIDDLE 0x0800u
#define BF_SOFT 0x1000u
#define BF_ADJUST 0x2000u
#define BF_FLAT 0x4000u
#define BF_MONO 0x8000u

// Draws the edge inside `rect`; with BF_ADJUST the rectangle shrinks by the
// width of the borders drawn on each named side. FALSE for a bad DC or a
// null rectangle.
BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags);

namespace qv::os::gdi {

// The system colour indices the drawing services use (the user library's
// COLOR_* constants have the same values).
enum SysColorIndex : int {
  kColorWindow = 5,
  kColorWindowFrame = 6,
  kColorWindowText = 8,
  kColorHighlight = 13,
  kColorHighlightText = 14,
  kColorBtnFace = 15,
  kColorBtnShadow = 16,
  kColorGrayText = 17,
  kColorBtnText = 18,
  kColorBtnHighlight = 20,
  kColor3DDkShadow = 21,
  kColor3DLight = 22,
};

// The user library calls this once at start-up with its GetSysColor.
void setSysColorSource(DWORD (*source)(int index));
// The current value of a system colour: the installed source's answer, or
// the classic scheme's value.
COLORREF sysColor(int index);
// The classic scheme ("Windows Standard"), indices 0 to 30; 0 outside.
COLORREF classicSysColor(int index);

// Small painting helpers shared by the drawing services, in logical
// coordinates of `dc` (so they follow its origins and clip). Empty
// rectangles draw nothing.
void fillSolid(HDC dc, int left, int top, int right, int bottom, COLORREF c);
inline void fillSolid(HDC dc, const RECT& r, COLORREF c) { fillSolid(dc, r.left, r.top, r.right, r.bottom, c); }

}  // namespace qv::os::gdi
