// Rectangle geometry of the user interface library. Rectangles exclude their
// right and bottom edges; an empty rectangle has right <= left or
// bottom <= top.
#pragma once

#include "platform/os/Types.h"

BOOL SetRect(LPRECT r, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT r);
BOOL CopyRect(LPRECT dst, const RECT* src);
BOOL InflateRect(LPRECT r, int x, int y);
BOOL OffsetRect(LPRECT r, int x, int y);
// Empty results are set to (0, 0, 0, 0) and answer FALSE.
BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL IsRectEmpty(const RECT* r);
BOOL PtInRect(const RECT* r, POINT p);
