#include "platform/os/gdi/FocusRect.h"

#include <algorithm>

#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Raster.h"

namespace {

// Inverts one outline pixel when it lies on the dot pattern; pixels outside
// the clip or the bitmap answer CLR_INVALID and stay as they are.
void invertDot(HDC dc, const RECT& r, int x, int y) {
  if (((static_cast<long long>(x) - r.left) + (static_cast<long long>(y) - r.top)) % 2 != 0) return;
  const COLORREF c = GetPixel(dc, x, y);
  if (c == CLR_INVALID) return;
  SetPixelV(dc, x, y, (~c) & 0x00FFFFFFu);
}

}  // namespace

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
  if (rect == nullptr || qv::os::gdi::dcOf(dc) == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const RECT r = *rect;
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  // Each outline pixel exactly once, also for rectangles one pixel thin,
  // where inverting twice would cancel out.
  // Only what can be seen is visited, however large the rectangle.
  RECT box{};
  if (GetClipBox(dc, &box) == 0) return TRUE;
  for (int x = std::max(r.left, box.left); x < std::min(r.right, box.right); ++x) {
    invertDot(dc, r, x, r.top);
    if (r.bottom - 1 > r.top) invertDot(dc, r, x, r.bottom - 1);
  }
  for (int y = std::max(r.top + 1, box.top); y < std::min(r.bottom - 1, box.bottom); ++y) {
    invertDot(dc, r, r.left, y);
    if (r.right - 1 > r.left) invertDot(dc, r, r.right - 1, y);
  }
  return TRUE;
}
