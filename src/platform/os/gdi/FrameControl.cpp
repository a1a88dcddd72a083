#include "platform/os/gdi/FrameControl.h"

#include <algorithm>
#include <functional>

#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Edge.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Rect.h"

namespace qv::os::gdi {

namespace {

// A small picture as rows of characters, drawn scaled (nearest pixel) into
// w x h at (x, y); `colour` answers the colour of a character, or
// CLR_INVALID to leave the pixel alone.
template <class ColourOf>
void paintMap(HDC dc, int x, int y, int w, int h, const char* const* rows, int mapW, int mapH,
              ColourOf colour) {
  RECT box{};
  if (w <= 0 || h <= 0 || GetClipBox(dc, &box) == 0) return;
  const int j0 = std::max(0, box.top - y), j1 = std::min(h, box.bottom - y);
  const int i0 = std::max(0, box.left - x), i1 = std::min(w, box.right - x);
  for (int j = j0; j < j1; ++j) {
    const char* row = rows[static_cast<long long>(j) * mapH / h];
    for (int i = i0; i < i1; ++i) {
      const COLORREF c = colour(row[static_cast<long long>(i) * mapW / w]);
      if (c != CLR_INVALID) SetPixelV(dc, x + i, y + j, c);
    }
  }
}

// The check mark of the classic check box, in its 9 x 9 interior.
const char* const kCheckMark[9] = {
    ".........", ".......#.", "......##.", ".#...###.", ".##.###..",
    ".#####...", "..###....", "...#.....", ".........",
};

// The classic radio button on its 12 x 12 grid: 1 and 2 the outer ring's
// upper-left and lower-right halves, 3 and 4 the inner ring's, 5 the body,
// 6 the dot.
const char* const kRadio[12] = {
    "....1111....", "..11333311..", ".1335555332.", ".1355555542.",
    "135556655542", "135566665542", "135566665542", "135556655542",
    ".1355555542.", ".1345555442.", "..22444422..", "....2222....",
};

// Caption glyphs, drawn for a 16 x 14 button and scaled with it.
const char* const kClose[7] = {"##....##", ".##..##.", "..####..", "...##...", "..####..", ".##..##.", "##....##"};
const char* const kMinimise[9] = {"......", "......", "......", "......", "......",
                                   "......", "......", "######", "######"};
const char* const kMaximise[9] = {"#########", "#########", "#.......#", "#.......#", "#.......#",
                                   "#.......#", "#.......#", "#.......#", "#########"};
const char* const kRestore[9] = {"..######.", "..######.", "..#....#.", "######.#.", "######.#.",
                                  "#....###.", "#....#...", "#....#...", "######..."};
const char* const kHelp[9] = {"..####..", ".##..##.", ".....##.", "....##..", "...##...",
                               "...##...", "........", "...##...", "...##..."};

void embossed(UINT state, const std::function<void(int, COLORREF)>& glyph) {
  if (state & DFCS_INACTIVE) {
    glyph(1, sysColor(kColorBtnHighlight));
    glyph(0, sysColor(kColorBtnShadow));
  } else {
    glyph(0, sysColor(kColorBtnText));
  }
}

RECT square(const RECT& r) {
  const int n = std::min(r.right - r.left, r.bottom - r.top);
  const int x = r.left + (r.right - r.left - n) / 2;
  const int y = r.top + (r.bottom - r.top - n) / 2;
  return RECT{x, y, x + n, y + n};
}

// The button face that scroll arrows and caption buttons sit on; answers
// whether the glyph moves down and right by one (pressed).
// A pushed one is sunken softly, flat only when asked to be; an inactive
// one is raised softly.
bool drawButtonFrame(HDC dc, RECT r, UINT state) {
  UINT flags = BF_RECT | BF_MIDDLE;
  if (state & DFCS_MONO) {
    DrawEdge(dc, &r, EDGE_SUNKEN, flags | BF_MONO);
  } else if (state & DFCS_FLAT) {
    DrawEdge(dc, &r, EDGE_SUNKEN, flags | BF_FLAT);
  } else if (state & DFCS_PUSHED) {
    DrawEdge(dc, &r, EDGE_SUNKEN, flags | BF_SOFT);
  } else {
    DrawEdge(dc, &r, EDGE_RAISED, flags | ((state & DFCS_INACTIVE) ? BF_SOFT : 0));
  }
  return (state & DFCS_PUSHED) != 0;
}

// The size grip fills its cell with the button face and puts three ridges
// across the corner, each a diagonal band of two shadow lines under a
// highlight. The lines count from the corner along both axes; at the
// standard 16 pixels they are these, and other sizes scale them. Only the
// corner's part that the clip box can show is visited.
constexpr char kGripLines[] = "fsshfsshsshfffff";
void drawSizeGrip(HDC dc, const RECT& r, UINT state) {
  const int n = std::min(r.right - r.left, r.bottom - r.top);
  const bool mirrored = (state & DFCS_SCROLLSIZEGRIPRIGHT) != 0;
  const COLORREF light = sysColor(kColorBtnHighlight);
  const COLORREF dark = sysColor(kColorBtnShadow);
  fillSolid(dc, r, sysColor(kColorBtnFace));
  RECT box{};
  if (n <= 0 || GetClipBox(dc, &box) == 0) return;
  const int jMax = std::min(n, r.bottom - box.top);
  const int iMax = std::min(n, mirrored ? box.right - r.left : r.right - box.left);
  for (int j = std::max(0, r.bottom - box.bottom); j < jMax; ++j) {
    for (int i = std::max(0, mirrored ? box.left - r.left : r.right - box.right); i < iMax; ++i) {
      const long long d = static_cast<long long>(i + j) * 16 / n;  // the line on the 16-pixel grip
      if (d >= 16 || kGripLines[d] == 'f') continue;
      const int x = mirrored ? r.left + i : r.right - 1 - i;
      SetPixelV(dc, x, r.bottom - 1 - j, kGripLines[d] == 'h' ? light : dark);
    }
  }
}

BOOL drawScroll(HDC dc, LPRECT rect, UINT state) {
  const UINT kind = state & 0xFFu;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    drawSizeGrip(dc, *rect, state | (kind & DFCS_SCROLLSIZEGRIPRIGHT));
    return TRUE;
  }
  UINT direction = kind == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : kind;
  if (direction > DFCS_SCROLLRIGHT) return FALSE;
  const bool moved = drawButtonFrame(dc, *rect, state);
  embossed(state, [&](int offset, COLORREF c) {
    RECT r = *rect;
    OffsetRect(&r, offset + (moved ? 1 : 0), offset + (moved ? 1 : 0));
    drawArrowGlyph(dc, r, direction, c);
  });
  return TRUE;
}

BOOL drawButton(HDC dc, LPRECT rect, UINT state) {
  const UINT kind = state & 0xFFu;
  if (kind & DFCS_BUTTONPUSH) {
    RECT r = *rect;
    UINT flags = BF_RECT | BF_SOFT;
    UINT edge = (state & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED;
    if (state & DFCS_MONO) flags |= BF_MONO;
    else if (state & DFCS_FLAT) flags |= BF_FLAT;
    DrawEdge(dc, &r, edge, flags | BF_ADJUST);
    // The face is the button face in every style; a checked (latched)
    // button's is the highlight.
    fillSolid(dc, r, sysColor((state & DFCS_CHECKED) ? kColorBtnHighlight : kColorBtnFace));
    if (state & DFCS_ADJUSTRECT) *rect = r;
    return TRUE;
  }
  if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
    if (kind & DFCS_BUTTONRADIOMASK) fillSolid(dc, *rect, RGB(255, 255, 255));
    else if (kind & DFCS_BUTTONRADIOIMAGE) fillSolid(dc, *rect, RGB(0, 0, 0));
    drawRadioGlyph(dc, square(*rect), state);
    return TRUE;
  }
  drawCheckGlyph(dc, square(*rect), state);
  return TRUE;
}

BOOL drawCaption(HDC dc, LPRECT rect, UINT state) {
  const UINT kind = state & 0xFFu;
  const char* const* map = nullptr;
  int mapW = 0, mapH = 0;
  switch (kind) {
    case DFCS_CAPTIONCLOSE: map = kClose, mapW = 8, mapH = 7; break;
    case DFCS_CAPTIONMIN: map = kMinimise, mapW = 6, mapH = 9; break;
    case DFCS_CAPTIONMAX: map = kMaximise, mapW = 9, mapH = 9; break;
    case DFCS_CAPTIONRESTORE: map = kRestore, mapW = 9, mapH = 9; break;
    case DFCS_CAPTIONHELP: map = kHelp, mapW = 8, mapH = 9; break;
    default: return FALSE;
  }
  const RECT& r = *rect;
  RECT face = r;
  UINT flags = BF_RECT | BF_MIDDLE | BF_SOFT;
  if (state & DFCS_MONO) flags |= BF_MONO;
  else if (state & DFCS_FLAT) flags |= BF_FLAT;
  DrawEdge(dc, &face, (state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, flags);
  const int h = r.bottom - r.top;
  const int w = std::max(1, mapW * h / 14);
  const int gh = std::max(1, mapH * h / 14);
  const int x = r.left + (r.right - r.left - w) / 2 + ((state & DFCS_PUSHED) ? 1 : 0);
  const int y = r.top + (h - gh) / 2 + ((state & DFCS_PUSHED) ? 1 : 0);
  embossed(state, [&](int offset, COLORREF c) {
    paintMap(dc, x + offset, y + offset, w, gh, map, mapW, mapH,
             [c](char ch) { return ch == '#' ? c : CLR_INVALID; });
  });
  return TRUE;
}

// Menu glyphs are masks: black on white, for the caller to compose.
BOOL drawMenu(HDC dc, LPRECT rect, UINT state) {
  const UINT kind = state & 0xFFu;
  const RECT sq = square(*rect);
  const COLORREF black = RGB(0, 0, 0);
  fillSolid(dc, *rect, RGB(255, 255, 255));
  switch (kind) {
    case DFCS_MENUARROW: drawArrowGlyph(dc, *rect, DFCS_SCROLLRIGHT, black); return TRUE;
    case DFCS_MENUARROWRIGHT: drawArrowGlyph(dc, *rect, DFCS_SCROLLLEFT, black); return TRUE;
    case DFCS_MENUCHECK: {
      const int n = sq.right - sq.left;
      paintMap(dc, sq.left, sq.top, n, n, kCheckMark, 9, 9,
               [&](char ch) { return ch == '#' ? black : CLR_INVALID; });
      return TRUE;
    }
    case DFCS_MENUBULLET: {
      const int n = sq.right - sq.left;
      const int d = std::max(2, n / 3);
      const int x = sq.left + (n - d) / 2;
      const int y = sq.top + (n - d) / 2;
      paintMap(dc, x, y, d, d, kRadio + 4, 12, 4,
               [&](char ch) { return ch == '6' ? black : CLR_INVALID; });
      return TRUE;
    }
    default: return FALSE;
  }
}

}  // namespace

// The arrow grows by one row every 24/7 pixels of the square it sits in
// (a 16-pixel button holds a 7 x 4 arrow, never smaller than 5 x 3). Its
// apex lies a third into the square; one pointing down or right is the
// arrow pointing up or left turned about the square's middle, a pixel
// before the centre.
void drawArrowGlyph(HDC dc, const RECT& r, UINT direction, COLORREF c) {
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  const int n = std::min(w, h);
  const int k = std::max(2, (7 * n - 40) / 24);
  const int base = 2 * k + 1, depth = k + 1;
  const bool vertical = direction == DFCS_SCROLLUP || direction == DFCS_SCROLLDOWN;
  const bool towardStart = direction == DFCS_SCROLLUP || direction == DFCS_SCROLLLEFT;
  const int along = towardStart ? n / 3 : n - n / 3 - depth - 1;  // where the arrow starts in the square
  if (vertical) {
    const int x0 = r.left + (w - base) / 2;
    const int y0 = r.top + (h - n) / 2 + along;
    for (int i = 0; i < depth; ++i) {
      const int half = towardStart ? i : depth - 1 - i;
      fillSolid(dc, x0 + k - half, y0 + i, x0 + k + half + 1, y0 + i + 1, c);
    }
  } else {
    const int y0 = r.top + (h - base) / 2;
    const int x0 = r.left + (w - n) / 2 + along;
    for (int i = 0; i < depth; ++i) {
      const int half = towardStart ? i : depth - 1 - i;
      fillSolid(dc, x0 + i, y0 + k - half, x0 + i + 1, y0 + k + half + 1, c);
    }
  }
}

void drawCheckGlyph(HDC dc, const RECT& cell, UINT state) {
  const int n = cell.right - cell.left;
  if (n <= 0) return;
  const bool threeState = (state & DFCS_BUTTON3STATE) != 0;
  const bool dim = (state & (DFCS_PUSHED | DFCS_INACTIVE)) != 0;
  RECT r = cell;
  if (state & DFCS_MONO) {
    RECT frame = r;
    DrawEdge(dc, &frame, BDR_OUTER, BF_RECT | BF_MONO);
    InflateRect(&r, -1, -1);
    fillSolid(dc, r, sysColor(kColorWindow));
  } else {
    // A flat box is sunken flat: a shadow ring around a ring of face.
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | ((state & DFCS_FLAT) ? BF_FLAT : 0));
  }
  RECT inner = cell;
  InflateRect(&inner, -2, -2);
  // The indeterminate state shows its grey mark on the highlight.
  const COLORREF face = sysColor(dim                                        ? kColorBtnFace
                                 : (threeState && (state & DFCS_CHECKED)) ? kColorBtnHighlight
                                                                          : kColorWindow);
  fillSolid(dc, inner, face);
  if (!(state & DFCS_CHECKED)) return;
  const COLORREF mark = sysColor((state & DFCS_INACTIVE) || threeState ? kColorBtnShadow : kColorWindowText);
  paintMap(dc, inner.left, inner.top, inner.right - inner.left, inner.bottom - inner.top, kCheckMark, 9, 9,
           [mark](char ch) { return ch == '#' ? mark : CLR_INVALID; });
}

void drawRadioGlyph(HDC dc, const RECT& cell, UINT state) {
  // The circle is symmetric only at an even size: a 13-pixel cell holds the
  // 12-pixel glyph in its top-left, as the classic look does.
  const int n = (cell.right - cell.left) & ~1;
  if (n <= 0) return;
  const bool dim = (state & (DFCS_PUSHED | DFCS_INACTIVE)) != 0;
  const bool checked = (state & DFCS_CHECKED) != 0;
  const bool mask = (state & DFCS_BUTTONRADIOMASK) != 0;
  const COLORREF body = sysColor(dim ? kColorBtnFace : kColorWindow);
  COLORREF colours[7] = {CLR_INVALID,
                         sysColor(kColorBtnShadow),
                         sysColor(kColorBtnHighlight),
                         sysColor(kColor3DDkShadow),
                         sysColor(kColor3DLight),
                         body,
                         checked ? sysColor((state & DFCS_INACTIVE) ? kColorGrayText : kColorWindowText) : body};
  if (state & (DFCS_MONO | DFCS_FLAT)) {
    colours[1] = colours[2] = sysColor((state & DFCS_MONO) ? kColorWindowFrame : kColorBtnShadow);
    colours[3] = colours[4] = body;
  }
  if (mask) {
    for (int i = 1; i < 7; ++i) colours[i] = RGB(0, 0, 0);
  }
  paintMap(dc, cell.left, cell.top, n, n, kRadio, 12, 12,
           [&colours](char ch) { return ch == '.' ? CLR_INVALID : colours[ch - '0']; });
}

}  // namespace qv::os::gdi

BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state) {
  using namespace qv::os::gdi;
  if (rect == nullptr || dcOf(dc) == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  switch (type) {
    case DFC_SCROLL: return drawScroll(dc, rect, state);
    case DFC_BUTTON: return drawButton(dc, rect, state);
    case DFC_CAPTION: return drawCaption(dc, rect, state);
    case DFC_MENU:
    case DFC_POPUPMENU: return drawMenu(dc, rect, state);
    default: return FALSE;
  }
}
