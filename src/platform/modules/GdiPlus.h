// The stand-in for gdiplus.dll: its flat entry points, present unless the
// profile says `gdiplus = false`. Drawing is aliased (smoothing modes are
// kept but not applied) and samples at pixel centres:
// - a graphics from a DC draws in the DC's logical coordinates through its
//   window and viewport origins, inside its clip and visible region, read
//   at each call; the DC's pixels count as opaque, so a source-over pixel
//   is src * a + dst * (1 - a) and the destination's alpha byte is kept,
//   as GDI's own drawing leaves it;
// - a graphics from an image composes straight ARGB source-over onto it;
// - bitmaps keep straight ARGB pixels whatever their format; a premultiplied
//   format is converted on the way in and out (Scan0, LockBits, HBITMAP);
// - GdipCreateBitmapFromScan0 copies the caller's bits when it is given
//   them, so later changes of those bits are not seen;
// - line gradients interpolate the straight ARGB channels; the four
//   LinearGradientModes run colour 1 to colour 2 left to right, top to
//   bottom, top-left to bottom-right and top-right to bottom-left (the
//   diagonals as the sum of the two relative coordinates, halved).
// Objects may only be made between GdiplusStartup and GdiplusShutdown
// (GdiplusNotInitialized otherwise), where the platform's behaviour would
// be undefined.
#pragma once

#include <string>

#include "platform/com/Guid.h"
#include "platform/modules/ComStream.h"
#include "platform/os/Types.h"
#include "platform/os/gdi/Dib.h"

enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
};
using GpStatus = Status;

using ARGB = DWORD;
using REAL = float;
using PixelFormat = INT;
using GraphicsState = UINT;

#define PixelFormat24bppRGB 0x00021808
#define PixelFormat32bppRGB 0x00022009
#define PixelFormat32bppARGB 0x0026200A
#define PixelFormat32bppPARGB 0x000E200B

enum GpBrushType {
  BrushTypeSolidColor = 0,
  BrushTypeHatchFill = 1,
  BrushTypeTextureFill = 2,
  BrushTypePathGradient = 3,
  BrushTypeLinearGradient = 4
};
enum GpWrapMode { WrapModeTile = 0, WrapModeTileFlipX = 1, WrapModeTileFlipY = 2, WrapModeTileFlipXY = 3, WrapModeClamp = 4 };
// Callers may pass any number here and are answered InvalidParameter, so
// every int must be a value of the type.
enum LinearGradientMode : int {
  LinearGradientModeHorizontal = 0,
  LinearGradientModeVertical = 1,
  LinearGradientModeForwardDiagonal = 2,
  LinearGradientModeBackwardDiagonal = 3
};
enum GpUnit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2, UnitPoint = 3, UnitInch = 4, UnitDocument = 5, UnitMillimeter = 6 };
enum GpPenAlignment { PenAlignmentCenter = 0, PenAlignmentInset = 1 };
enum GpPenType {
  PenTypeSolidColor = BrushTypeSolidColor,
  PenTypeHatchFill = BrushTypeHatchFill,
  PenTypeTextureFill = BrushTypeTextureFill,
  PenTypePathGradient = BrushTypePathGradient,
  PenTypeLinearGradient = BrushTypeLinearGradient,
  PenTypeUnknown = -1
};
enum GpHatchStyle {
  HatchStyleHorizontal = 0,
  HatchStyleVertical = 1,
  HatchStyleForwardDiagonal = 2,
  HatchStyleBackwardDiagonal = 3,
  HatchStyleCross = 4,
  HatchStyleDiagonalCross = 5,
  HatchStyleMax = 52
};
enum InterpolationMode {
  InterpolationModeInvalid = -1,
  InterpolationModeDefault = 0,
  InterpolationModeLowQuality = 1,
  InterpolationModeHighQuality = 2,
  InterpolationModeBilinear = 3,
  InterpolationModeBicubic = 4,
  InterpolationModeNearestNeighbor = 5,
  InterpolationModeHighQualityBilinear = 6,
  InterpolationModeHighQualityBicubic = 7
};
enum CompositingMode { CompositingModeSourceOver = 0, CompositingModeSourceCopy = 1 };
enum CompositingQuality {
  CompositingQualityInvalid = -1,
  CompositingQualityDefault = 0,
  CompositingQualityHighSpeed = 1,
  CompositingQualityHighQuality = 2,
  CompositingQualityGammaCorrected = 3,
  CompositingQualityAssumeLinear = 4
};
enum SmoothingMode {
  SmoothingModeInvalid = -1,
  SmoothingModeDefault = 0,
  SmoothingModeHighSpeed = 1,
  SmoothingModeHighQuality = 2,
  SmoothingModeNone = 3,
  SmoothingModeAntiAlias = 4
};
enum ImageLockMode { ImageLockModeRead = 1, ImageLockModeWrite = 2, ImageLockModeUserInputBuf = 4 };

struct GpRect {
  INT X;
  INT Y;
  INT Width;
  INT Height;
};
struct GpRectF {
  REAL X;
  REAL Y;
  REAL Width;
  REAL Height;
};
struct GpPoint {
  INT X;
  INT Y;
};
struct GpPointF {
  REAL X;
  REAL Y;
};

struct BitmapData {
  UINT Width;
  UINT Height;
  INT Stride;
  ::PixelFormat PixelFormat;
  void* Scan0;
  UINT_PTR Reserved;
};

using DebugEventProc = void (*)(int level, CHAR* message);
using NotificationHookProc = Status (*)(ULONG_PTR* token);
using NotificationUnhookProc = void (*)(ULONG_PTR token);

struct GdiplusStartupInput {
  UINT GdiplusVersion;
  DebugEventProc DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;
};
struct GdiplusStartupOutput {
  NotificationHookProc NotificationHook;
  NotificationUnhookProc NotificationUnhook;
};

struct ImageCodecInfo {
  CLSID Clsid;
  GUID FormatID;
  const WCHAR* CodecName;
  const WCHAR* DllName;
  const WCHAR* FormatDescription;
  const WCHAR* FilenameExtension;
  const WCHAR* MimeType;
  DWORD Flags;
  DWORD Version;
  DWORD SigCount;
  DWORD SigSize;
  const BYTE* SigPattern;
  const BYTE* SigMask;
};
struct EncoderParameter {
  GUID Guid;
  ULONG NumberOfValues;
  ULONG Type;
  void* Value;
};
struct EncoderParameters {
  UINT Count;
  EncoderParameter Parameter[1];
};

// {557CF406-1A04-11D3-9A73-0000F81EF32E}
inline constexpr CLSID kPngEncoderClsid = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
// {B96B3CAF-0728-11D3-9D7B-0000F81EF32E}
inline constexpr GUID ImageFormatPNG = {0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// The library's objects, opaque to callers.
struct GpBrush;
struct GpSolidFill;
struct GpLineGradient;
struct GpHatch;
struct GpPen;
struct GpGraphics;
struct GpImage;
struct GpBitmap;
struct GpCachedBitmap;
struct GpImageAttributes;
using DrawImageAbort = BOOL (*)(void*);
using GpTestControlEnum = int;

void* GdipAlloc(size_t size);
void GdipFree(void* ptr);
Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);

GpStatus GdipCloneBrush(GpBrush* brush, GpBrush** clone);
GpStatus GdipDeleteBrush(GpBrush* brush);
GpStatus GdipGetBrushType(GpBrush* brush, GpBrushType* type);
GpStatus GdipCreateSolidFill(ARGB color, GpSolidFill** brush);
GpStatus GdipSetSolidFillColor(GpSolidFill* brush, ARGB color);
GpStatus GdipGetSolidFillColor(GpSolidFill* brush, ARGB* color);
GpStatus GdipCreateLineBrushFromRectI(const GpRect* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                      GpWrapMode wrap, GpLineGradient** brush);
GpStatus GdipGetLineRectI(GpLineGradient* brush, GpRect* rect);
GpStatus GdipSetLineColors(GpLineGradient* brush, ARGB color1, ARGB color2);
GpStatus GdipGetLineColors(GpLineGradient* brush, ARGB* colors);
GpStatus GdipSetLineWrapMode(GpLineGradient* brush, GpWrapMode wrap);
GpStatus GdipGetLineWrapMode(GpLineGradient* brush, GpWrapMode* wrap);
GpStatus GdipCreateHatchBrush(GpHatchStyle style, ARGB fore, ARGB back, GpHatch** brush);
GpStatus GdipGetHatchStyle(GpHatch* brush, GpHatchStyle* style);
GpStatus GdipGetHatchForegroundColor(GpHatch* brush, ARGB* color);
GpStatus GdipGetHatchBackgroundColor(GpHatch* brush, ARGB* color);

GpStatus GdipCreatePen1(ARGB color, REAL width, GpUnit unit, GpPen** pen);
GpStatus GdipCreatePen2(GpBrush* brush, REAL width, GpUnit unit, GpPen** pen);
GpStatus GdipClonePen(GpPen* pen, GpPen** clone);
GpStatus GdipDeletePen(GpPen* pen);
GpStatus GdipGetPenFillType(GpPen* pen, GpPenType* type);
GpStatus GdipSetPenBrushFill(GpPen* pen, GpBrush* brush);
GpStatus GdipGetPenBrushFill(GpPen* pen, GpBrush** brush);
GpStatus GdipSetPenColor(GpPen* pen, ARGB color);
GpStatus GdipGetPenColor(GpPen* pen, ARGB* color);
GpStatus GdipSetPenMode(GpPen* pen, GpPenAlignment mode);
GpStatus GdipGetPenMode(GpPen* pen, GpPenAlignment* mode);
GpStatus GdipSetPenWidth(GpPen* pen, REAL width);
GpStatus GdipGetPenWidth(GpPen* pen, REAL* width);

GpStatus GdipCreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipGetDC(GpGraphics* graphics, HDC* dc);
GpStatus GdipReleaseDC(GpGraphics* graphics, HDC dc);
GpStatus GdipGraphicsClear(GpGraphics* graphics, ARGB color);
GpStatus GdipDrawLineI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2);
GpStatus GdipFillRectangleI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
GpStatus GdipDrawArcI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL start, REAL sweep);
GpStatus GdipDrawBezierI(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3, INT x4,
                         INT y4);
GpStatus GdipDrawRectangleI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
GpStatus GdipDrawEllipseI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
GpStatus GdipDrawPieI(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height, REAL start, REAL sweep);
GpStatus GdipDrawPolygonI(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count);
GpStatus GdipDrawCurve2I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, REAL tension);
GpStatus GdipDrawClosedCurve2I(GpGraphics* graphics, GpPen* pen, const GpPoint* points, INT count, REAL tension);
GpStatus GdipFillPolygonI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count, INT fillMode);
GpStatus GdipFillEllipseI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
GpStatus GdipFillPieI(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height, REAL start,
                      REAL sweep);
GpStatus GdipFillClosedCurveI(GpGraphics* graphics, GpBrush* brush, const GpPoint* points, INT count);

GpStatus GdipLoadImageFromStream(IStream* stream, GpImage** image);
GpStatus GdipCreateBitmapFromFile(const WCHAR* fileName, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap);
GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* hbm, ARGB background);
GpStatus GdipLoadImageFromFile(const WCHAR* fileName, GpImage** image);
GpStatus GdipGetImageDimension(GpImage* image, REAL* width, REAL* height);
GpStatus GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
GpStatus GdipDisposeImage(GpImage* image);
GpStatus GdipGetImageEncodersSize(UINT* count, UINT* size);
GpStatus GdipGetImageEncoders(UINT count, UINT size, ImageCodecInfo* encoders);
GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* encoder,
                               const EncoderParameters* params);
GpStatus GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE palette, GpBitmap** bitmap);
GpStatus GdipGetEncoderParameterListSize(GpImage* image, const CLSID* encoder, UINT* size);
GpStatus GdipGetEncoderParameterList(GpImage* image, const CLSID* encoder, UINT size, EncoderParameters* buffer);
GpStatus GdipCreateBitmapFromGdiDib(const BITMAPINFO* info, void* bits, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                   GpBitmap** bitmap);
GpStatus GdipBitmapLockBits(GpBitmap* bitmap, const GpRect* rect, UINT flags, PixelFormat format, BitmapData* data);
GpStatus GdipBitmapUnlockBits(GpBitmap* bitmap, BitmapData* data);
GpStatus GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, INT dstX, INT dstY, INT dstWidth,
                                INT dstHeight, INT srcX, INT srcY, INT srcWidth, INT srcHeight, GpUnit srcUnit,
                                const GpImageAttributes* attributes, DrawImageAbort callback, void* callbackData);
GpStatus GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, REAL dstX, REAL dstY, REAL dstWidth,
                               REAL dstHeight, REAL srcX, REAL srcY, REAL srcWidth, REAL srcHeight, GpUnit srcUnit,
                               const GpImageAttributes* attributes, DrawImageAbort callback, void* callbackData);
GpStatus GdipDrawImagePointRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL srcX, REAL srcY,
                                REAL srcWidth, REAL srcHeight, GpUnit srcUnit);
GpStatus GdipCloneImage(GpImage* image, GpImage** clone);
GpStatus GdipSetInterpolationMode(GpGraphics* graphics, InterpolationMode mode);
GpStatus GdipGetInterpolationMode(GpGraphics* graphics, InterpolationMode* mode);
GpStatus GdipCreateCachedBitmap(GpBitmap* bitmap, GpGraphics* graphics, GpCachedBitmap** cached);
GpStatus GdipDeleteCachedBitmap(GpCachedBitmap* cached);
GpStatus GdipDrawCachedBitmap(GpGraphics* graphics, GpCachedBitmap* cached, INT x, INT y);
GpStatus GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* graphics, GpBitmap** bitmap);
GpStatus GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
GpStatus GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus GdipSetCompositingMode(GpGraphics* graphics, CompositingMode mode);
GpStatus GdipGetCompositingMode(GpGraphics* graphics, CompositingMode* mode);
GpStatus GdipSetCompositingQuality(GpGraphics* graphics, CompositingQuality quality);
GpStatus GdipGetCompositingQuality(GpGraphics* graphics, CompositingQuality* quality);
GpStatus GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
GpStatus GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode);
GpStatus GdipCloneBitmapAreaI(INT x, INT y, INT width, INT height, PixelFormat format, GpBitmap* src,
                              GpBitmap** dst);

namespace qv::modules {

// The flat entry points the stand-in exports, in the order callers bind them.
const std::vector<std::string>& gdiplusExportNames();

// Registers "gdiplus.dll" from the current profile: it is absent while
// profile().gdiplus is false, and a name listed in
// profile().extra["gdiplus.missing"] (comma or semicolon separated) is left
// out of its exports. Done at start-up; call again after changing the list.
void registerGdiPlus();

// How many GdiplusStartup calls are not yet shut down, for tests.
int gdiplusStartupCount();

}  // namespace qv::modules
