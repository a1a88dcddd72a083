// Device-independent bitmaps: sections whose bits the caller shares with
// drawing, and conversions between DIB rows (top-down or bottom-up; 1, 4, 8,
// 16, 24 and 32 bits; palettes) and bitmaps.
#pragma once

#include "platform/os/Types.h"
#include "platform/os/gdi/Bitmap.h"

#define BI_RGB 0
#define BI_RLE8 1
#define BI_RLE4 2
#define BI_BITFIELDS 3
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1
#define CBM_INIT 0x04

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};
struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // negative: top-down rows
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
using LPBITMAPINFOHEADER = BITMAPINFOHEADER*;
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
using LPBITMAPINFO = BITMAPINFO*;
#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
};
#pragma pack(pop)
struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3];
  HANDLE dshSection;
  DWORD dsOffset;
};

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section, DWORD offset);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT usage);
// With bits == nullptr and biBitCount == 0 fills in the header only.
int GetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO bmi, UINT usage);
int SetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int srcX, int srcY, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage);
int StretchDIBits(HDC dc, int x, int y, int width, int height, int srcX, int srcY, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop);

namespace qv::os::gdi {

// Bytes per DIB row: rows are padded to 32 bits.
constexpr int dibStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

}  // namespace qv::os::gdi
