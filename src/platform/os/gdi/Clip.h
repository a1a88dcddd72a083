// The clip region of a DC. It is kept in device coordinates; the calls that
// take rectangles take logical ones and translate them.
#pragma once

#include "platform/os/Types.h"
#include "platform/os/gdi/Region.h"

int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
// 0 without a clip, 1 with (then copied into rgn), -1 on error.
int GetClipRgn(HDC dc, HRGN rgn);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int x, int y);
int GetClipBox(HDC dc, LPRECT box);
BOOL RectVisible(HDC dc, const RECT* r);
BOOL PtVisible(HDC dc, int x, int y);
