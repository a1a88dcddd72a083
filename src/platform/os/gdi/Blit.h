// Block transfers with ternary raster operations. Any rop 0x00XX0000 works:
// XX is the truth table over pattern (0xF0), source (0xCC) and destination
// (0xAA). Monochrome sources drawn on colour take the destination DC's text
// colour for 0 and background colour for 1; colour sources drawn on
// monochrome give 1 where they equal the source DC's background colour.
// SRCCOPY copies all 32 bits; every other operation writes alpha 0.
#pragma once

#include "platform/os/Types.h"
#include "platform/os/gdi/Raster.h"

#define SRCCOPY 0x00CC0020u
#define SRCPAINT 0x00EE0086u
#define SRCAND 0x008800C6u
#define SRCINVERT 0x00660046u
#define SRCERASE 0x00440328u
#define NOTSRCCOPY 0x00330008u
#define NOTSRCERASE 0x001100A6u
#define MERGECOPY 0x00C000CAu
#define MERGEPAINT 0x00BB0226u
#define NOMIRRORBITMAP 0x80000000u
#define CAPTUREBLT 0x40000000u
// The four-operation code of MaskBlt: foreground rop for mask 1 bits,
// background rop for 0 bits.
constexpr DWORD MAKEROP4(DWORD fore, DWORD back) { return ((back << 8) & 0xFF000000u) | fore; }

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, DWORD rop);
BOOL MaskBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, HBITMAP mask,
             int maskX, int maskY, DWORD rop4);
