// Icons and the image store they share with cursors. An icon is a colour
// image and an AND mask: drawing ANDs the destination with the mask and
// XORs the colour over it, so mask 1 with colour black leaves the
// destination, mask 1 with white inverts it. Images with an alpha channel
// are blended instead. Icons of modules come from RT_GROUP_ICON/RT_ICON
// resources, the best size picked from the group's directory.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/os/Types.h"

struct ICONINFO {
  BOOL fIcon;
  DWORD xHotspot;
  DWORD yHotspot;
  HBITMAP hbmMask;
  HBITMAP hbmColor;
};
using PICONINFO = ICONINFO*;

#define DI_MASK 0x0001u
#define DI_IMAGE 0x0002u
#define DI_NORMAL 0x0003u
#define DI_COMPAT 0x0004u
#define DI_DEFAULTSIZE 0x0008u
#define DI_NOMIRROR 0x0010u

#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
#define IDI_WINLOGO MAKEINTRESOURCE(32517)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK

#ifndef ERROR_INVALID_CURSOR_HANDLE
#define ERROR_INVALID_CURSOR_HANDLE 1402L
#endif
#ifndef ERROR_INVALID_ICON_HANDLE
#define ERROR_INVALID_ICON_HANDLE 1414L
#endif

// The mask is required; without a colour bitmap the mask is twice as high,
// its lower half the XOR image of a monochrome icon. The bitmaps are copied.
HICON CreateIconIndirect(PICONINFO info);
// New bitmaps that the caller deletes.
BOOL GetIconInfo(HICON icon, PICONINFO info);
// Icons shared by the system (LoadIcon, LoadCursor of standard ids and of
// resources) stay valid: destroying them answers TRUE and does nothing.
BOOL DestroyIcon(HICON icon);
HICON CopyIcon(HICON icon);
// NULL instance: the standard icons (IDI_*); otherwise the module's icon
// resource at the standard icon size (32 x 32).
HICON LoadIcon(HINSTANCE instance, LPCSTR name);
// At the standard icon size.
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// Width or height 0: the icon's own, or the standard size with
// DI_DEFAULTSIZE. A flicker-free brush fills the area first.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFreeBrush,
                UINT flags);

// One RT_ICON or RT_CURSOR resource (a cursor's starts with its hot spot).
HICON CreateIconFromResource(BYTE* bits, DWORD size, BOOL icon, DWORD version);
HICON CreateIconFromResourceEx(BYTE* bits, DWORD size, BOOL icon, DWORD version, int width, int height, UINT flags);
// The id of the image in an RT_GROUP_ICON/RT_GROUP_CURSOR directory that
// fits the size best (0: the standard size), the deepest among equals.
int LookupIconIdFromDirectory(BYTE* dir, BOOL icon);
int LookupIconIdFromDirectoryEx(BYTE* dir, BOOL icon, int width, int height, UINT flags);
// Icons, cursors and bitmaps; width and height 0 keep the size.
// LR_COPYDELETEORG destroys the original.
HANDLE CopyImage(HANDLE image, UINT type, int width, int height, UINT flags);

namespace qv::os::gdi {

// What an icon or cursor handle stands for.
struct IconData {
  bool icon = true;
  int width = 0;
  int height = 0;
  int hotX = 0;
  int hotY = 0;
  // Top-down, width x height each. Colour 0x00RRGGBB, or 0xAARRGGBB with
  // `alpha`; mask 1 where the AND mask is set.
  std::vector<std::uint32_t> colour;
  std::vector<std::uint8_t> mask;
  bool alpha = false;
  bool monochrome = false;  // made from a mask only
  bool shared = false;      // never freed
};

HICON addIcon(IconData data);
std::shared_ptr<const IconData> iconOf(HICON h);
// The same picture at another size (nearest pixel).
IconData scaledIcon(const IconData& d, int width, int height);

// LoadImage's work for IMAGE_ICON and IMAGE_CURSOR: LR_LOADFROMFILE (.ico,
// .cur), a module's resources, or the standard ones (OIC_* and OCR_* are the
// IDI_* and IDC_* values) with a NULL instance. The image loader of this
// library hands these types over to it.
HANDLE loadIconImage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);
// A shared icon or cursor from a module's group resource.
HICON loadGroupResource(HINSTANCE instance, LPCSTR name, bool icon, int width, int height, UINT flags,
                        bool shared);

}  // namespace qv::os::gdi
