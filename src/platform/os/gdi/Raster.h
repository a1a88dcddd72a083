// Pens, brushes and shapes on a DC, with GDI's aliased rules: filled areas
// exclude their right and bottom edges, lines leave out their last point.
#pragma once

#include <pixman.h>

#include <cstdint>

#include "platform/os/Types.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Dc.h"

#define PATCOPY 0x00F00021u
#define PATPAINT 0x00FB0A09u
#define PATINVERT 0x005A0049u
#define DSTINVERT 0x00550009u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* pts, int count);
BOOL PolylineTo(HDC dc, const POINT* pts, DWORD count);
BOOL PolyPolyline(HDC dc, const POINT* pts, const DWORD* counts, DWORD polylines);
BOOL Polygon(HDC dc, const POINT* pts, int count);
BOOL PolyPolygon(HDC dc, const POINT* pts, const INT* counts, int polygons);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
// Counterclockwise from the radial through (xs, ys) to the one through
// (xe, ye); Chord and Pie close and fill the shape.
BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
BOOL Chord(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
int FillRect(HDC dc, const RECT* r, HBRUSH brush);
int FrameRect(HDC dc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* r);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height);
BOOL PaintRgn(HDC dc, HRGN rgn);
BOOL InvertRgn(HDC dc, HRGN rgn);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF c);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF c);
COLORREF GetPixel(HDC dc, int x, int y);

namespace qv::os::gdi {

// A ternary raster operation (the XX of 0x00XX0000) on 32-bit values.
std::uint32_t rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d);
// The ternary code that applies a pen's binary raster operation (R2_*).
std::uint8_t rop3OfRop2(int rop2);
constexpr bool ropUsesSource(std::uint8_t code) { return (((code >> 2) ^ code) & 0x33) != 0; }
constexpr bool ropUsesPattern(std::uint8_t code) { return (((code >> 4) ^ code) & 0x0F) != 0; }

// Paints an area of surface coordinates with a paint through a ternary code
// that uses no source, within what the DC may draw. Alpha becomes 0.
void paintArea(Dc& dc, const pixman_region32_t* area, const Paint& paint, std::uint8_t code);
void paintRect(Dc& dc, int left, int top, int right, int bottom, const Paint& paint, std::uint8_t code);

// Brushes given as a system colour index plus one (FillRect's convention)
// are resolved by whoever owns the system colours.
void setSysColorBrushResolver(HBRUSH (*resolve)(int index));
HBRUSH resolveBrush(HBRUSH brush);

}  // namespace qv::os::gdi
