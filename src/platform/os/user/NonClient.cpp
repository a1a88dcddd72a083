#include "platform/os/user/NonClient.h"

#include <algorithm>
#include <cstring>

#include "platform/desktop/Profile.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/gdi/FrameControl.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Icon.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/user/Metrics.h"
#include "platform/os/user/SysColors.h"
#include "platform/os/user/UserState.h"
#include "platform/os/user/Window.h"

namespace qv::os {
namespace {

void fill(HDC dc, const RECT& r, COLORREF c) {
  if (IsRectEmpty(&r)) return;
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

// A band of `width` pixels inside `r` on every side, then `r` shrinks by it.
void band(HDC dc, RECT& r, int width, COLORREF c) {
  for (int i = 0; i < width; ++i) {
    HBRUSH b = CreateSolidBrush(c);
    FrameRect(dc, &r, b);
    DeleteObject(b);
    InflateRect(&r, -1, -1);
  }
}

COLORREF mix(COLORREF a, COLORREF b, int num, int den) {
  auto ch = [&](int x, int y) { return static_cast<BYTE>(x + (y - x) * num / den); };
  return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

void captionBackground(HDC dc, const RECT& r, bool active) {
  COLORREF from = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  BOOL gradient = FALSE;
  SystemParametersInfo(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
  if (!gradient) {
    fill(dc, r, from);
    return;
  }
  COLORREF to = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
  // Neighbouring columns mostly share a colour (a caption is wider than the
  // colours' distance), so each run of one colour is filled at once.
  const int w = r.right - r.left;
  const int den = std::max(1, w - 1);
  for (int x = 0; x < w;) {
    const COLORREF c = mix(from, to, x, den);
    int end = x + 1;
    while (end < w && mix(from, to, end, den) == c) ++end;
    fill(dc, RECT{r.left + x, r.top, r.left + end, r.bottom}, c);
    x = end;
  }
}

HICON smallIcon(user::Wnd* w) {
  if (w->iconSmall) return w->iconSmall;
  if (w->cls && w->cls->iconSmall) return w->cls->iconSmall;
  if (w->iconBig) return w->iconBig;
  return w->cls ? w->cls->icon : nullptr;
}

void captionText(HDC dc, user::Wnd* w, RECT r, bool active) {
  if (w->text.empty() || IsRectEmpty(&r)) return;
  LOGFONTA lf{};
  lf.lfHeight = -11;
  lf.lfWeight = FW_BOLD;
  const char* face = qv::desktop::profile().osMajor >= 5 ? "Tahoma" : "MS Sans Serif";
  std::strncpy(lf.lfFaceName, face, sizeof(lf.lfFaceName) - 1);
  HFONT font = CreateFontIndirect(&lf);
  HGDIOBJ oldFont = SelectObject(dc, font);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColour =
      SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  DrawText(dc, w->text.c_str(), static_cast<int>(w->text.size()), &r,
           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_LEFT);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

// The caption buttons from the right; answers the left edge they leave.
int captionButtons(HDC dc, user::Wnd* w, const RECT& bar) {
  bool tool = (w->exStyle & WS_EX_TOOLWINDOW) != 0;
  int bw = (tool ? GetSystemMetrics(SM_CXSMSIZE) : GetSystemMetrics(SM_CXSIZE)) - 2;
  int bh = (tool ? GetSystemMetrics(SM_CYSMSIZE) : GetSystemMetrics(SM_CYSIZE)) - 4;
  int top = bar.top + (bar.bottom - bar.top - bh) / 2;
  int right = bar.right - 2;
  auto button = [&](UINT state, int gapAfter) {
    RECT b{right - bw, top, right, top + bh};
    DrawFrameControl(dc, &b, DFC_CAPTION, state);
    right = b.left - gapAfter;
  };
  if (!(w->style & WS_SYSMENU)) return right;
  bool noClose = w->cls && (w->cls->style & CS_NOCLOSE);
  button(DFCS_CAPTIONCLOSE | (noClose ? DFCS_INACTIVE : 0u), 2);
  if (!tool && (w->style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
    UINT max = (w->style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX;
    button(max | ((w->style & WS_MAXIMIZEBOX) ? 0u : DFCS_INACTIVE), 0);
    UINT min = (w->style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN;
    button(min | ((w->style & WS_MINIMIZEBOX) ? 0u : DFCS_INACTIVE), 2);
  } else if (w->exStyle & WS_EX_CONTEXTHELP) {
    button(DFCS_CAPTIONHELP, 2);
  }
  return right;
}

}  // namespace

void drawClassicFrame(HWND hwnd, HDC dc, bool active) {
  user::Wnd* w = user::find(hwnd);
  if (w == nullptr || dc == nullptr || w->isDesktop) return;
  RECT r{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  DWORD style = w->style, ex = w->exStyle;
  if (style & WS_THICKFRAME) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    band(dc, r, GetSystemMetrics(SM_CXFRAME) - 2, GetSysColor(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER));
  } else if ((style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME)) {
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    band(dc, r, GetSystemMetrics(SM_CXDLGFRAME) - 2, GetSysColor(COLOR_3DFACE));
  } else if (style & WS_BORDER) {
    band(dc, r, GetSystemMetrics(SM_CXBORDER), GetSysColor(COLOR_WINDOWFRAME));
  }
  if ((style & WS_CAPTION) == WS_CAPTION) {
    bool tool = (ex & WS_EX_TOOLWINDOW) != 0;
    int h = tool ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
    RECT bar{r.left, r.top, r.right, r.top + h - 1};
    captionBackground(dc, bar, active);
    fill(dc, RECT{r.left, bar.bottom, r.right, bar.bottom + 1}, GetSysColor(COLOR_3DFACE));
    int textLeft = bar.left + 2;
    if ((style & WS_SYSMENU) && !tool) {
      if (HICON icon = smallIcon(w)) {
        int size = GetSystemMetrics(SM_CXSMICON);
        DrawIconEx(dc, bar.left + 2, bar.top + (bar.bottom - bar.top - size) / 2, icon, size, size, 0, nullptr,
                   DI_NORMAL);
        textLeft = bar.left + 2 + size + 2;
      }
    }
    int buttonsLeft = captionButtons(dc, w, bar);
    captionText(dc, w, RECT{textLeft, bar.top, buttonsLeft - 2, bar.bottom}, active);
    r.top += h;
  }
  // The menu bar's band belongs to the menu; the edges lie inside it.
  if (!(style & WS_CHILD) && w->id != 0) r.top += GetSystemMetrics(SM_CYMENU);
  if (ex & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  if (ex & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
}

}  // namespace qv::os
