// Cursors: the standard ones drawn by us as 32 x 32 masks with their hot
// spots, and cursors of modules (RT_GROUP_CURSOR/RT_CURSOR) and of .cur
// files. A cursor is an icon whose hot spot is its own (Icon.h). Which
// cursor is shown (SetCursor, ShowCursor) is the user library's business.
#pragma once

#include "platform/os/Types.h"
#include "platform/os/gdi/Icon.h"

#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_UPARROW MAKEINTRESOURCE(32516)
#define IDC_SIZE MAKEINTRESOURCE(32640)
#define IDC_ICON MAKEINTRESOURCE(32641)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)
#define IDC_APPSTARTING MAKEINTRESOURCE(32650)
#define IDC_HELP MAKEINTRESOURCE(32651)

// NULL instance: a standard cursor (shared, the same handle every time);
// otherwise the module's cursor resource.
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name);
// A .cur file, in the platform's form or a host path.
HCURSOR LoadCursorFromFile(LPCSTR fileName);
BOOL DestroyCursor(HCURSOR cursor);
inline HCURSOR CopyCursor(HCURSOR cursor) { return CopyIcon(cursor); }
