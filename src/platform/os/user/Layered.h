// Layered windows: a constant alpha and a colour key that the composed
// screen applies to a WS_EX_LAYERED top-level window.
#pragma once

#include "platform/os/Types.h"

#define LWA_COLORKEY 0x00000001
#define LWA_ALPHA 0x00000002

#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);

namespace qv::os {

struct LayeredAttributes {
  COLORREF key = 0;
  BYTE alpha = 255;
  DWORD flags = 0;  // LWA_ALPHA, LWA_COLORKEY
};
// What the screen applies to a window: set attributes when the window is
// layered, else none (flags 0).
LayeredAttributes layeredAttributes(HWND hwnd);
void dropLayered(HWND hwnd);
void dropAllLayered();

}  // namespace qv::os
