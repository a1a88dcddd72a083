// The classic non-client frame: borders by style, the caption bar with its
// small icon, text and buttons, and the client edge, all in the sizes that
// GetSystemMetrics and AdjustWindowRectEx give so that the client area is
// left untouched where GetClientRect puts it.
#pragma once

#include "platform/os/Types.h"

namespace qv::os {

// Draws the frame of `hwnd` on a DC whose origin is the window's top-left
// corner (GetWindowDC); `active` picks the active caption colours.
void drawClassicFrame(HWND hwnd, HDC windowDC, bool active);

}  // namespace qv::os
