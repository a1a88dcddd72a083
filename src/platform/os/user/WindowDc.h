// Window and screen device contexts over the window surfaces: GetDC,
// GetDCEx, GetWindowDC, BeginPaint's DC and GetDC(NULL) all come from here,
// through the paint hooks, and the default WM_NCPAINT draws the classic
// frame. The user library installs them itself the first time the hooks are
// asked for, so every program that links it gets them.
#pragma once

#include "platform/os/Types.h"
#include "platform/os/user/Paint.h"

namespace qv::os {

// Fills in getDC, releaseDC and drawFrame, and starts following windows
// (surfaces, layered attributes, the `window` log lines).
void installWindowDcs(PaintHooks& hooks);
// Combines GetDCEx's region (screen coordinates) with a window DC's visible
// area: DCX_INTERSECTRGN keeps only what lies in it, DCX_EXCLUDERGN leaves it
// out. The region becomes the system's, as the platform documents: it is
// deleted when the DC is released.
void clipWindowDC(HDC dc, HRGN rgn, DWORD dcxFlags);
// Whether a DC is one of the window DCs handed out and not yet released.
bool isWindowDC(HDC dc);

}  // namespace qv::os
