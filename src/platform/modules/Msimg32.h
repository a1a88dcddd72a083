// The stand-in for msimg32.dll: alpha blending, gradient fills and
// transparent blits. Present when the desktop profile says so; programs
// bind its entry points by name (LoadLibrary + GetProcAddress), and the
// functions may also be called directly.
#pragma once

#include "platform/os/Types.h"

using COLOR16 = USHORT;

struct TRIVERTEX {
  LONG x;
  LONG y;
  COLOR16 Red;
  COLOR16 Green;
  COLOR16 Blue;
  COLOR16 Alpha;
};
using PTRIVERTEX = TRIVERTEX*;

struct GRADIENT_RECT {
  ULONG UpperLeft;
  ULONG LowerRight;
};

struct GRADIENT_TRIANGLE {
  ULONG Vertex1;
  ULONG Vertex2;
  ULONG Vertex3;
};

struct BLENDFUNCTION {
  BYTE BlendOp;
  BYTE BlendFlags;
  BYTE SourceConstantAlpha;
  BYTE AlphaFormat;
};

#define AC_SRC_OVER 0x00
#define AC_SRC_ALPHA 0x01

#define GRADIENT_FILL_RECT_H 0x00000000u
#define GRADIENT_FILL_RECT_V 0x00000001u
#define GRADIENT_FILL_TRIANGLE 0x00000002u
#define GRADIENT_FILL_OP_FLAG 0x000000FFu

// Blends the source rectangle over the destination rectangle (stretched to
// the nearest pixel when the sizes differ). With AC_SRC_ALPHA the source
// is 32-bit premultiplied: dst = src' + dst * (255 - alpha') / 255, where
// src' is the source scaled by SourceConstantAlpha. FALSE with
// ERROR_INVALID_PARAMETER for negative sizes, a source rectangle outside
// its bitmap or an unknown operation.
BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                int srcHeight, BLENDFUNCTION blend);
// Rectangles shaded horizontally or vertically between their two vertices'
// colours, or triangles shaded between three; 16-bit colour components,
// whose high bytes are drawn.
BOOL GradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount, ULONG mode);
// Copies the source rectangle to the destination (stretched to the nearest
// pixel), leaving the destination where the source has `transparent`.
BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, int srcWidth,
                    int srcHeight, UINT transparent);

namespace qv::modules {

// Registers the module under "msimg32.dll"; done at start-up by this
// library, callable again after a test unregistered it.
void registerMsimg32();

}  // namespace qv::modules
