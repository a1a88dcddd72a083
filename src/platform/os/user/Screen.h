// The composed screen: the desktop background, then the visible top-level
// windows from the bottom of the z-order to the top (topmost ones last),
// each through its window region, its layered alpha and colour key, with a
// soft shadow beside windows of CS_DROPSHADOW classes. Screenshots save it,
// or one window, as PNG.
#pragma once

#include <string>

#include "platform/os/Types.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Image.h"

namespace qv::os {

// The screen as it looks now, opaque (alpha 255), of the profile's size.
gdi::Image composeScreen();
// The same into a surface of the screen's size (alpha bytes 0, as GDI
// leaves them); the screen DC shows this.
void composeScreenInto(gdi::Surface& surface);
// A window as drawn on its own surface (a child window: its part of its
// top-level window's surface), opaque; false for a bad handle.
bool windowImage(HWND hwnd, gdi::Image& out);
// Write PNG files; false when the file cannot be written or the window is
// gone.
bool saveScreenshot(const std::string& hostPath);
bool saveWindowShot(HWND hwnd, const std::string& hostPath);

}  // namespace qv::os
