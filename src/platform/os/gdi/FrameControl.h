// Frame controls of the classic look: scroll-bar arrows and the size grip,
// check boxes, radio buttons (also as mask and image for composing glyphs),
// push buttons, caption buttons and menu glyphs, each scaled to the
// rectangle it is drawn in.
#pragma once

#include "platform/os/Types.h"

#define DFC_CAPTION 1u
#define DFC_MENU 2u
#define DFC_SCROLL 3u
#define DFC_BUTTON 4u
#define DFC_POPUPMENU 5u

#define DFCS_CAPTIONCLOSE 0x0000u
#define DFCS_CAPTIONMIN 0x0001u
#define DFCS_CAPTIONMAX 0x0002u
#define DFCS_CAPTIONRESTORE 0x0003u
#define DFCS_CAPTIONHELP 0x0004u

#define DFCS_MENUARROW 0x0000u
#define DFCS_MENUCHECK 0x0001u
#define DFCS_MENUBULLET 0x0002u
#define DFCS_MENUARROWRIGHT 0x0004u

#define DFCS_SCROLLUP 0x0000u
#define DFCS_SCROLLDOWN 0x0001u
#define DFCS_SCROLLLEFT 0x0002u
#define DFCS_SCROLLRIGHT 0x0003u
#define DFCS_SCROLLCOMBOBOX 0x0005u
#define DFCS_SCROLLSIZEGRIP 0x0008u
#define DFCS_SCROLLSIZEGRIPRIGHT 0x0010u

#define DFCS_BUTTONCHECK 0x0000u
#define DFCS_BUTTONRADIOIMAGE 0x0001u
#define DFCS_BUTTONRADIOMASK 0x0002u
#define DFCS_BUTTONRADIO 0x0004u
#define DFCS_BUTTON3STATE 0x0008u
#define DFCS_BUTTONPUSH 0x0010u

#define DFCS_INACTIVE 0x0100u
#define DFCS_PUSHED 0x0200u
#define DFCS_CHECKED 0x0400u
#define DFCS_TRANSPARENT 0x0800u
#define DFCS_HOT 0x1000u
#define DFCS_ADJUSTRECT 0x2000u
#define DFCS_FLAT 0x4000u
#define DFCS_MONO 0x8000u

// FALSE for a bad DC, a null rectangle or an unknown type.
BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state);

namespace qv::os::gdi {

// The classic glyph shapes, shared with the predefined bitmaps so that both
// draw the same pixels. A check box and a radio button in a square cell;
// `cell` is the glyph's square.
void drawCheckGlyph(HDC dc, const RECT& cell, UINT state);
void drawRadioGlyph(HDC dc, const RECT& cell, UINT state);
// A solid arrow (DFCS_SCROLLUP ... DFCS_SCROLLRIGHT) centred in `r`, sized
// for it, in colour `c`.
void drawArrowGlyph(HDC dc, const RECT& r, UINT direction, COLORREF c);

}  // namespace qv::os::gdi
