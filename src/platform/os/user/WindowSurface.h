// The pixels behind windows. Every top-level window owns a 32-bit surface of
// its window size; child windows draw into their top-level window's surface
// through their offset and what of them is visible.
#pragma once

#include <memory>

#include "platform/os/Types.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Region.h"

namespace qv::os {

// The surface of a window's top-level window (made or resized on demand:
// what overlaps the old size is kept); null for a stale handle or the
// desktop.
std::shared_ptr<gdi::Surface> windowSurface(HWND hwnd);
// Where a window's top-left corner (DCX_WINDOW) or its client area's sits on
// its top-level window's surface.
POINT surfaceOrigin(HWND hwnd, bool wholeWindow);
// What a DC of the window may draw, in surface coordinates: the window (or
// its client area) cut by the parents' client areas, the window regions of
// the window and its ancestors, and the children (DCX_CLIPCHILDREN or
// WS_CLIPCHILDREN) and siblings above (DCX_CLIPSIBLINGS or WS_CLIPSIBLINGS)
// that are visible. Empty for hidden windows.
gdi::RegionData visibleArea(HWND hwnd, DWORD dcxFlags);
// The window region in window coordinates, or null when it has none.
const gdi::RegionData* windowShape(HWND hwnd);
// Forgets the surface of a destroyed window.
void dropWindowSurface(HWND hwnd);
void dropAllWindowSurfaces();

}  // namespace qv::os
