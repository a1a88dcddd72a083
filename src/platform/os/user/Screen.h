// The composed screen: the desktop background, then the visible top-level
// windows from the bottom of the z-order to the top (topmost ones last),
// each through its window region, its layered alpha and colour key, with a
// soft shadow beside windows of CS_DROPSHADOW classes. Screenshots save it,
// or one window, as PNG.
#pragma once

#include <memory>
#include <string>

#include "platform/os/Types.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Image.h"

namespace qv::os {

// The screen's surface, which brings itself up to date before anything
// reads or draws on it: only where windows came, went, moved, changed or
// were handed a DC since it was last brought up to date. Drawing on the
// screen DC stays until windows change there, as on the platform. The screen
// DC is a DC over this surface; a DC over it composes nothing until it is
// read.
std::shared_ptr<gdi::Surface> liveScreenSurface();
// The screen as it looks now, opaque (alpha 255), of the profile's size.
gdi::Image composeScreen();
// Window DCs tell the screen which top-level windows they may draw on.
void windowDcOpened(HWND root);
void windowDcClosed(HWND root);
// The next look composes the whole screen.
void forgetScreen();
// A window as drawn on its own surface (a child window: its part of its
// top-level window's surface), opaque; false for a bad handle.
bool windowImage(HWND hwnd, gdi::Image& out);
// Write PNG files; false when the file cannot be written or the window is
// gone.
bool saveScreenshot(const std::string& hostPath);
bool saveWindowShot(HWND hwnd, const std::string& hostPath);

}  // namespace qv::os
