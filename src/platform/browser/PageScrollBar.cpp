#include "platform/browser/PageScrollBar.h"

#include <algorithm>

#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/SysColors.h"

namespace qv::browser {

namespace {
constexpr int kMinThumb = 8;
}

PageScrollBar::PageScrollBar(const RECT& bar, int content, int view, int position)
    : bar_(bar), content_(std::max(0, content)), view_(std::max(0, view)), position_(std::max(0, position)) {}

int PageScrollBar::arrowHeight() const {
  // Arrows share a bar too short for both.
  return std::min<int>(GetSystemMetrics(SM_CYVSCROLL), (bar_.bottom - bar_.top) / 2);
}

RECT PageScrollBar::upArrow() const { return RECT{bar_.left, bar_.top, bar_.right, bar_.top + arrowHeight()}; }

RECT PageScrollBar::downArrow() const {
  return RECT{bar_.left, bar_.bottom - arrowHeight(), bar_.right, bar_.bottom};
}

RECT PageScrollBar::thumb() const {
  const int top = bar_.top + arrowHeight(), bottom = bar_.bottom - arrowHeight();
  const int track = bottom - top;
  if (!enabled() || track < kMinThumb) return RECT{0, 0, 0, 0};
  const int length = std::max(kMinThumb, static_cast<int>(static_cast<long long>(track) * view_ / content_));
  const int range = content_ - view_;
  const int offset =
      range > 0 ? static_cast<int>(static_cast<long long>(track - length) * std::min(position_, range) / range) : 0;
  return RECT{bar_.left, top + offset, bar_.right, top + offset + length};
}

ScrollPart PageScrollBar::partAt(POINT pt) const {
  if (!PtInRect(&bar_, pt) || !enabled()) return ScrollPart::None;
  const RECT up = upArrow(), down = downArrow(), t = thumb();
  if (PtInRect(&up, pt)) return ScrollPart::LineUp;
  if (PtInRect(&down, pt)) return ScrollPart::LineDown;
  if (t.bottom > t.top) {
    if (pt.y < t.top) return ScrollPart::PageUp;
    if (pt.y >= t.bottom) return ScrollPart::PageDown;
    return ScrollPart::Thumb;
  }
  return ScrollPart::None;
}

int PageScrollBar::positionForThumb(int thumbTop) const {
  const RECT t = thumb();
  const int top = bar_.top + arrowHeight(), bottom = bar_.bottom - arrowHeight();
  const int free = (bottom - top) - (t.bottom - t.top);
  if (free <= 0) return 0;
  const int offset = std::clamp(thumbTop - top, 0, free);
  return static_cast<int>(static_cast<long long>(content_ - view_) * offset / free);
}

void PageScrollBar::paint(HDC dc, bool flat, ScrollPart pressed) const {
  // The track: every other pixel in the highlight colour over the face.
  const COLORREF face = GetSysColor(COLOR_3DFACE), light = GetSysColor(COLOR_3DHIGHLIGHT);
  const int top = bar_.top + arrowHeight(), bottom = bar_.bottom - arrowHeight();
  const RECT t = thumb();
  HBRUSH faceBrush = CreateSolidBrush(face);
  RECT track{bar_.left, top, bar_.right, bottom};
  FillRect(dc, &track, faceBrush);
  DeleteObject(faceBrush);
  for (int y = top; y < bottom; ++y) {
    if (y >= t.top && y < t.bottom) continue;
    for (int x = bar_.left + ((bar_.left + y) & 1); x < bar_.right; x += 2) SetPixelV(dc, x, y, light);
  }
  const UINT look = (flat ? DFCS_FLAT : 0u) | (enabled() ? 0u : DFCS_INACTIVE);
  RECT up = upArrow(), down = downArrow();
  DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP | look | (pressed == ScrollPart::LineUp ? DFCS_PUSHED : 0u));
  DrawFrameControl(dc, &down, DFC_SCROLL,
                   DFCS_SCROLLDOWN | look | (pressed == ScrollPart::LineDown ? DFCS_PUSHED : 0u));
  if (t.bottom > t.top) {
    RECT thumbRect = t;
    DrawFrameControl(dc, &thumbRect, DFC_BUTTON, DFCS_BUTTONPUSH | (flat ? DFCS_FLAT : 0u));
  }
}

}  // namespace qv::browser
