// LoadBitmap: the predefined bitmaps of the classic look (OBM_*), drawn by
// us with the same glyphs as the frame controls, and bitmaps of a module's
// RT_BITMAP resources (packed device-independent bitmaps).
#pragma once

#include "platform/os/Types.h"

#define OBM_CLOSE 32754
#define OBM_UPARROW 32753
#define OBM_DNARROW 32752
#define OBM_RGARROW 32751
#define OBM_LFARROW 32750
#define OBM_REDUCE 32749
#define OBM_ZOOM 32748
#define OBM_RESTORE 32747
#define OBM_REDUCED 32746
#define OBM_ZOOMD 32745
#define OBM_RESTORED 32744
#define OBM_UPARROWD 32743
#define OBM_DNARROWD 32742
#define OBM_RGARROWD 32741
#define OBM_LFARROWD 32740
#define OBM_MNARROW 32739
#define OBM_COMBO 32738
#define OBM_UPARROWI 32737
#define OBM_DNARROWI 32736
#define OBM_RGARROWI 32735
#define OBM_LFARROWI 32734
#define OBM_SIZE 32766
#define OBM_BTSIZE 32761
#define OBM_CHECK 32760
#define OBM_CHECKBOXES 32759
#define OBM_BTNCORNERS 32758

// NULL instance: a predefined bitmap (MAKEINTRESOURCE(OBM_*)), a new one
// every call, which the caller deletes. Otherwise the module's bitmap
// resource by name or id. NULL with ERROR_RESOURCE_NAME_NOT_FOUND (or
// ERROR_BAD_FORMAT for a broken resource).
HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name);

namespace qv::os::gdi {

// LoadImage's work for IMAGE_BITMAP from a module's resources (and for the
// predefined ones with a NULL instance); LR_CREATEDIBSECTION gives a
// bottom-up DIB section. The image loader hands resource bitmaps over to it.
HBITMAP loadBitmapResource(HINSTANCE instance, LPCSTR name, UINT flags);

}  // namespace qv::os::gdi
