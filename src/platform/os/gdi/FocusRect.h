// The focus rectangle: a dotted frame drawn by inverting every other pixel
// of the rectangle's outline, counted from its top-left corner, so drawing
// it twice gives back the pixels under it.
#pragma once

#include "platform/os/Types.h"

BOOL DrawFocusRect(HDC dc, const RECT* rect);
