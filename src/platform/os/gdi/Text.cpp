#include "platform/os/gdi/Text.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/FontEngine.h"

namespace qv::os::gdi {

std::shared_ptr<RealizedFont> realizedFontOf(HDC dc) {
  Dc* d = dcOf(dc);
  if (!d) return nullptr;
  if (auto f = realizedFont(d->state.font)) return f;
  // A DC without a font of its own draws with the system font.
  return realizedFont(stockFont(SYSTEM_FONT));
}

namespace {

bool intersect(RECT& r, const RECT& with) {
  r.left = std::max(r.left, with.left);
  r.top = std::max(r.top, with.top);
  r.right = std::min(r.right, with.right);
  r.bottom = std::min(r.bottom, with.bottom);
  return r.left < r.right && r.top < r.bottom;
}

RECT normalized(const RECT& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right), std::max(r.top, r.bottom)};
}

void fillLogical(HDC dc, Dc* d, RECT r, const RECT* clip, COLORREF colour) {
  if (clip && !intersect(r, *clip)) return;
  if (r.left >= r.right || r.top >= r.bottom) return;
  fillDeviceRect(dc, d->toDevice(r), colour);
}

}  // namespace

}  // namespace qv::os::gdi

using namespace qv::os::gdi;

BOOL GetTextMetrics(HDC dc, LPTEXTMETRICA tm) {
  auto f = realizedFontOf(dc);
  if (!f || !tm) return FALSE;
  *tm = f->metrics();
  return TRUE;
}

BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int count, LPSIZE size) {
  auto f = realizedFontOf(dc);
  if (!f || !size || count < 0 || (count > 0 && !text)) return FALSE;
  size->cx = f->textWidth(std::string_view(text ? text : "", static_cast<size_t>(count)));
  size->cy = f->metrics().tmHeight;
  return TRUE;
}

BOOL GetTextExtentPoint(HDC dc, LPCSTR text, int count, LPSIZE size) {
  return GetTextExtentPoint32(dc, text, count, size);
}

BOOL GetTextExtentExPoint(HDC dc, LPCSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size) {
  auto f = realizedFontOf(dc);
  if (!f || count < 0 || (count > 0 && !text)) return FALSE;
  int x = 0, fitted = 0;
  bool fitting = true;
  for (int i = 0; i < count; ++i) {
    x += f->charWidth(static_cast<unsigned char>(text[i]));
    if (dx) dx[i] = x;
    if (fitting && x <= maxExtent)
      fitted = i + 1;
    else
      fitting = false;
  }
  if (fit) *fit = fitted;
  if (size) {
    size->cx = x;
    size->cy = f->metrics().tmHeight;
  }
  return TRUE;
}

BOOL GetCharWidth32(HDC dc, UINT first, UINT last, LPINT widths) {
  auto f = realizedFontOf(dc);
  if (!f || !widths || last < first) return FALSE;
  for (UINT c = first; c <= last; ++c) {
    widths[c - first] = c <= 0xFF ? f->charWidth(static_cast<unsigned char>(c)) : f->glyph(c).advance;
    if (c == last) break;  // last may be UINT_MAX
  }
  return TRUE;
}

BOOL GetCharWidth(HDC dc, UINT first, UINT last, LPINT widths) { return GetCharWidth32(dc, first, last, widths); }

int GetTextFace(HDC dc, int count, LPSTR name) {
  auto f = realizedFontOf(dc);
  if (!f) return 0;
  std::string face = f->faceName().empty() ? f->face().family : f->faceName();
  if (!name) return static_cast<int>(face.size()) + 1;
  if (count <= 0) return 0;
  size_t n = std::min(face.size(), static_cast<size_t>(count - 1));
  std::memcpy(name, face.data(), n);
  name[n] = 0;
  return static_cast<int>(n) + 1;
}

BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int count) {
  if (count < 0) return FALSE;
  return ExtTextOut(dc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count, const INT* dx) {
  Dc* d = dcOf(dc);
  auto font = realizedFontOf(dc);
  if (!d || !font) return FALSE;
  if (count > 0 && !text) return FALSE;
  if (count > 0x7FFFFFFFu) return FALSE;
  const TEXTMETRICA& tm = font->metrics();
  const DcState& st = d->state;

  std::vector<int> advances(count);
  long long total = 0;
  for (UINT i = 0; i < count; ++i) {
    advances[i] = dx ? dx[i] : font->charWidth(static_cast<unsigned char>(text[i]));
    total += advances[i];
  }
  const int width = static_cast<int>(std::clamp<long long>(total, -0x3FFFFFFF, 0x3FFFFFFF));

  const UINT align = st.textAlign;
  const bool updateCp = (align & TA_UPDATECP) != 0;
  if (updateCp) {
    x = st.pos.x;
    y = st.pos.y;
  }
  int left = x;
  switch (align & TA_CENTER) {
    case TA_RIGHT:
      left = x - width;
      break;
    case TA_CENTER:
      left = x - width / 2;
      break;
    default:
      break;
  }
  int baseline = y + tm.tmAscent;
  switch (align & TA_BASELINE) {
    case TA_BOTTOM:
      baseline = y - tm.tmDescent;
      break;
    case TA_BASELINE:
      baseline = y;
      break;
    default:
      break;
  }

  RECT clipRect{};
  const RECT* clip = nullptr;
  if (rect && (options & ETO_CLIPPED)) {
    clipRect = normalized(*rect);
    clip = &clipRect;
  }
  if (rect && (options & ETO_OPAQUE)) fillLogical(dc, d, normalized(*rect), nullptr, st.bkColor);
  if (st.bkMode == OPAQUE && count > 0) {
    RECT cell{left, baseline - tm.tmAscent, left + width, baseline + tm.tmDescent};
    fillLogical(dc, d, normalized(cell), clip, st.bkColor);
  }

  RECT deviceClip{};
  if (clip) deviceClip = d->toDevice(*clip);
  int penX = left;
  for (UINT i = 0; i < count; ++i) {
    const Glyph& g = font->glyph(codepointOf(static_cast<unsigned char>(text[i])));
    if (g.width > 0 && g.height > 0) {
      int gx = d->toDeviceX(penX + g.left), gy = d->toDeviceY(baseline - g.top);
      int x0 = 0, y0 = 0, x1 = g.width, y1 = g.height;
      if (clip) {
        x0 = std::max(0, deviceClip.left - gx);
        y0 = std::max(0, deviceClip.top - gy);
        x1 = std::min(g.width, deviceClip.right - gx);
        y1 = std::min(g.height, deviceClip.bottom - gy);
      }
      if (x0 < x1 && y0 < y1)
        drawMask(dc, gx + x0, gy + y0, g.mask.data() + static_cast<size_t>(y0) * g.width + x0, x1 - x0, y1 - y0,
                 g.width, st.textColor);
    }
    penX += advances[i];
  }

  if (count > 0 && (tm.tmUnderlined || tm.tmStruckOut)) {
    if (tm.tmUnderlined) {
      int top = baseline + font->underlineOffset();
      fillLogical(dc, d, normalized(RECT{left, top, left + width, top + font->underlineThickness()}), clip,
                  st.textColor);
    }
    if (tm.tmStruckOut) {
      int top = baseline + font->strikeOutOffset();
      fillLogical(dc, d, normalized(RECT{left, top, left + width, top + font->strikeOutThickness()}), clip,
                  st.textColor);
    }
  }

  if (updateCp) {
    switch (align & TA_CENTER) {
      case TA_RIGHT:
        d->state.pos.x = x - width;
        break;
      case TA_CENTER:
        break;
      default:
        d->state.pos.x = x + width;
        break;
    }
  }
  return TRUE;
}
