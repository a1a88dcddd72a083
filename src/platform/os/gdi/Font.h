// Logical fonts: LOGFONT, CreateFontIndirect and CreateFont, and the text
// metrics record. A font handle is a GDI object; selecting it into a DC makes
// text drawing and measuring use it. The faces behind the logical names are
// the DejaVu fonts (see FontEngine.h for the mapping and the metric rule).
#pragma once

#include "platform/os/Types.h"

#define LF_FACESIZE 32

// The ANSI and wide records differ only in their character type.
template <class Char>
struct LogFontRecord {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  Char lfFaceName[LF_FACESIZE];
};
using LOGFONTA = LogFontRecord<CHAR>;
using LOGFONTW = LogFontRecord<WCHAR>;
using LPLOGFONTW = LOGFONTW*;
using LOGFONT = LOGFONTA;
using PLOGFONTA = LOGFONTA*;
using LPLOGFONTA = LOGFONTA*;
using LPLOGFONT = LOGFONTA*;

template <class Char>
struct TextMetricRecord {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  Char tmFirstChar;
  Char tmLastChar;
  Char tmDefaultChar;
  Char tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
using TEXTMETRICA = TextMetricRecord<BYTE>;
using TEXTMETRICW = TextMetricRecord<WCHAR>;
using LPTEXTMETRICW = TEXTMETRICW*;
// The platform's record sizes, which structures embedding them rely on
// (NONCLIENTMETRICS holds five LOGFONTs).
static_assert(sizeof(LOGFONTA) == 60);
static_assert(sizeof(TEXTMETRICA) == 56);
static_assert(sizeof(LOGFONTW) == 92);
using TEXTMETRIC = TEXTMETRICA;
using LPTEXTMETRICA = TEXTMETRICA*;
using LPTEXTMETRIC = TEXTMETRICA*;

// Weights.
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_EXTRALIGHT 200
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_REGULAR 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_DEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_HEAVY 900

// Character sets.
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define OEM_CHARSET 255

// Precisions and qualities (accepted and stored; rendering is always the
// aliased monochrome one).
#define OUT_DEFAULT_PRECIS 0
#define OUT_STRING_PRECIS 1
#define OUT_CHARACTER_PRECIS 2
#define OUT_STROKE_PRECIS 3
#define OUT_TT_PRECIS 4
#define OUT_DEVICE_PRECIS 5
#define OUT_RASTER_PRECIS 6
#define OUT_TT_ONLY_PRECIS 7
#define OUT_OUTLINE_PRECIS 8
#define CLIP_DEFAULT_PRECIS 0
#define CLIP_CHARACTER_PRECIS 1
#define CLIP_STROKE_PRECIS 2
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define PROOF_QUALITY 2
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5

// Pitch and family.
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define FF_SCRIPT 0x40
#define FF_DECORATIVE 0x50

// tmPitchAndFamily bits. TMPF_FIXED_PITCH set means a VARIABLE-pitch font:
// the platform's long-standing inverted meaning.
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04
#define TMPF_DEVICE 0x08

// A new logical font; NULL for a NULL record. The handle is deleted with
// DeleteObject and answers GetObject with its LOGFONT.
HFONT CreateFontIndirect(const LOGFONTA* lf);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                 DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                 DWORD pitchAndFamily, LPCSTR faceName);

namespace qv::os::gdi {

// The logical font behind a font handle, or nullptr when `font` is not one.
// Gives the object table the makers of the stock fonts; the table calls it
// before it makes its first stock object, so every program that draws has them.
void registerStockFontMakers();

const LOGFONTA* logFontOf(HFONT font);

// The stock fonts (DEFAULT_GUI_FONT, SYSTEM_FONT, ANSI_VAR_FONT, ...),
// created on first use and never deleted. nullptr for other indices.
HFONT stockFont(int index);

}  // namespace qv::os::gdi
