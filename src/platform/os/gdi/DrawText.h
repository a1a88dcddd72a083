// DrawText: the user interface library's text layout in a rectangle (line
// breaks, word wrapping, alignment, tabs, "&" prefixes, ellipses) over the
// DC's selected font. The layout itself is a pure function over a measuring
// callback, so that its rules can be pinned without pixels.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os/Types.h"

#define DT_TOP 0x00000000u
#define DT_LEFT 0x00000000u
#define DT_CENTER 0x00000001u
#define DT_RIGHT 0x00000002u
#define DT_VCENTER 0x00000004u
#define DT_BOTTOM 0x00000008u
#define DT_WORDBREAK 0x00000010u
#define DT_SINGLELINE 0x00000020u
#define DT_EXPANDTABS 0x00000040u
#define DT_TABSTOP 0x00000080u
#define DT_NOCLIP 0x00000100u
#define DT_EXTERNALLEADING 0x00000200u
#define DT_CALCRECT 0x00000400u
#define DT_NOPREFIX 0x00000800u
#define DT_INTERNAL 0x00001000u
#define DT_EDITCONTROL 0x00002000u
#define DT_PATH_ELLIPSIS 0x00004000u
#define DT_END_ELLIPSIS 0x00008000u
#define DT_MODIFYSTRING 0x00010000u
#define DT_RTLREADING 0x00020000u
#define DT_WORD_ELLIPSIS 0x00040000u
#define DT_NOFULLWIDTHCHARBREAK 0x00080000u
#define DT_HIDEPREFIX 0x00100000u
#define DT_PREFIXONLY 0x00200000u

struct DRAWTEXTPARAMS {
  UINT cbSize;
  int iTabLength;  // in average character widths
  int iLeftMargin;
  int iRightMargin;
  UINT uiLengthDrawn;
};
using LPDRAWTEXTPARAMS = DRAWTEXTPARAMS*;

// Draws (or with DT_CALCRECT measures) `count` bytes of text (-1: up to the
// terminating zero) in `rect`, in logical coordinates. Returns the text's
// height; with DT_VCENTER or DT_BOTTOM (single line) the offset from the top
// of the rectangle to the bottom of the text; 0 on failure. With
// DT_MODIFYSTRING and an ellipsis, the text is rewritten to what was shown:
// the buffer must then hold count + 4 bytes, as the platform requires.
int DrawText(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format);
int DrawTextEx(HDC dc, LPSTR text, int count, LPRECT rect, UINT format, LPDRAWTEXTPARAMS params);

namespace qv::os::gdi {

struct TextMeasure {
  std::function<int(unsigned char)> charWidth;  // advance of one character
  int lineHeight = 0;                           // tmHeight, plus leading with DT_EXTERNALLEADING
  int aveCharWidth = 0;                         // tmAveCharWidth, for tab stops
  int tabLength = 8;                            // tab stops every this many average widths
};

// A run of one line drawn at `x` from the line's start: lines split at tabs.
struct TextRun {
  std::string text;
  int x = 0;
};

struct TextLine {
  std::vector<TextRun> runs;
  std::string text;  // the shown characters of the line (tabs kept)
  int width = 0;
  // The "&"-marked character, relative to the line's start; -1: none.
  int underlineX = -1;
  int underlineWidth = 0;
};

struct TextLayout {
  std::vector<TextLine> lines;
  int width = 0;   // widest line
  int height = 0;  // lines * line height
  bool ellipsized = false;
};

// Lays out text for DrawText's format flags in a rectangle `width` pixels
// wide.
TextLayout layoutText(std::string_view text, UINT format, int width, const TextMeasure& measure);

}  // namespace qv::os::gdi
