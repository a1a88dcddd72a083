#include "platform/os/user/ScrollInfo.h"

#include <algorithm>

#include "platform/os/kernel/LastError.h"
#include "platform/os/user/UserState.h"

using namespace qv::os::user;

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL) {
  Wnd* w = findOrFail(hwnd);
  if (!w || !info || (bar != SB_HORZ && bar != SB_VERT)) return 0;
  SCROLLINFO& s = w->scroll[bar];
  if (info->fMask & SIF_RANGE) {
    s.nMin = info->nMin;
    s.nMax = info->nMax;
  }
  if (info->fMask & SIF_PAGE) s.nPage = info->nPage;
  if (info->fMask & SIF_POS) s.nPos = info->nPos;
  if (info->fMask & SIF_TRACKPOS) s.nTrackPos = info->nTrackPos;
  // The position stays within what the page leaves of the range.
  const int top = std::max(s.nMin, s.nMax - std::max(0, static_cast<int>(s.nPage) - 1));
  s.nPos = std::clamp(s.nPos, s.nMin, top);
  w->scrollSet[bar] = true;
  return s.nPos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
  Wnd* w = findOrFail(hwnd);
  if (!w || !info || (bar != SB_HORZ && bar != SB_VERT) || !w->scrollSet[bar]) return FALSE;
  const SCROLLINFO& s = w->scroll[bar];
  if (info->fMask & SIF_RANGE) {
    info->nMin = s.nMin;
    info->nMax = s.nMax;
  }
  if (info->fMask & SIF_PAGE) info->nPage = s.nPage;
  if (info->fMask & SIF_POS) info->nPos = s.nPos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s.nTrackPos;
  return TRUE;
}
