// Text output and measurement on a DC with its selected font: TextOut,
// ExtTextOut, GetTextMetrics, GetTextExtentPoint32 and friends. Text is
// Windows-1252; glyphs are looked up by its Unicode code points.
#pragma once

#include <memory>

#include "platform/os/Types.h"
#include "platform/os/gdi/Font.h"

// Not among the basic types; an alias may be declared again elsewhere.
using LPINT = int*;
using PINT = int*;

// Text alignment (SetTextAlign, declared with the DC).
#define TA_NOUPDATECP 0u
#define TA_UPDATECP 1u
#define TA_LEFT 0u
#define TA_RIGHT 2u
#define TA_CENTER 6u
#define TA_TOP 0u
#define TA_BOTTOM 8u
#define TA_BASELINE 24u
#define TA_RTLREADING 256u
#define TA_MASK (TA_BASELINE | TA_CENTER | TA_UPDATECP | TA_RTLREADING)

// ExtTextOut options.
#define ETO_OPAQUE 0x0002u
#define ETO_CLIPPED 0x0004u
#define ETO_GLYPH_INDEX 0x0010u
#define ETO_RTLREADING 0x0080u
#define ETO_IGNORELANGUAGE 0x1000u

BOOL GetTextMetrics(HDC dc, LPTEXTMETRICA tm);
BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int count, LPSIZE size);
BOOL GetTextExtentPoint(HDC dc, LPCSTR text, int count, LPSIZE size);
// Fit: how many characters fit into maxExtent; dx: the extent after each
// character. Either may be null.
BOOL GetTextExtentExPoint(HDC dc, LPCSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size);
BOOL GetCharWidth32(HDC dc, UINT first, UINT last, LPINT widths);
BOOL GetCharWidth(HDC dc, UINT first, UINT last, LPINT widths);
// Copies the selected font's face name; with a null buffer answers the size
// needed. Returns the characters copied, the terminating zero included.
int GetTextFace(HDC dc, int count, LPSTR name);

BOOL TextOut(HDC dc, int x, int y, LPCSTR text, int count);
// rect: the clipping (ETO_CLIPPED) and/or background (ETO_OPAQUE) rectangle;
// dx: distances from each character's origin to the next, or null.
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count, const INT* dx);

namespace qv::os::gdi {

class RealizedFont;
// The realised font selected into a DC (the system font when none is), or
// nullptr for a bad DC.
std::shared_ptr<RealizedFont> realizedFontOf(HDC dc);

}  // namespace qv::os::gdi
