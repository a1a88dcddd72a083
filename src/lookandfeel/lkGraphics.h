// The drawing layer under every painter of the library and of the
// navigation bar: a canvas with the fills, frames, edges, text and clip
// arithmetic that painters need, the process-wide screen canvas, bitmaps
// with their own canvas (rotation, 32-bit pixel filters), and the colour,
// image-list and text-output routines around them.
//
// Colours are the class library's TColor: clNone paints nothing, and
// clDefault leaves the brush in its current colour.
#pragma once

#include <string>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/ImgList.h"
#include "platform/modules/Msimg32.h"
#include "platform/os/Types.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/gdi/Region.h"

class TlkCanvas;

// ---------------------------------------------------------------------------
// The library's text flags. Painters pass these, never the platform's DT_
// flags; TextFlagsToDrawTextFlags converts them. Several names are also
// those of the class library's TTextFormats, so they live in the unit's
// namespace and are written qualified: lkGraphics::tfHCenter.
using TlkTextFlags = DWORD;

namespace lkGraphics {

constexpr TlkTextFlags tfLeft = 1;  // the default
constexpr TlkTextFlags tfRight = 2;
constexpr TlkTextFlags tfHCenter = 4;
constexpr TlkTextFlags tfTop = 8;  // the default
constexpr TlkTextFlags tfBottom = 16;
constexpr TlkTextFlags tfVCenter = 32;
constexpr TlkTextFlags tfSingleLine = 64;
constexpr TlkTextFlags tfDontClip = 128;
constexpr TlkTextFlags tfExpandTabs = 256;
constexpr TlkTextFlags tfShowPrefix = 512;  // "&" underlines the next character
constexpr TlkTextFlags tfWordBreak = 1024;
constexpr TlkTextFlags tfEndEllipsis = 2048;
constexpr TlkTextFlags tfCalcRect = 4096;
constexpr TlkTextFlags tfPathEllipsis = 8192;
constexpr TlkTextFlags tfNoCharBreak = 16384;  // with tfWordBreak: never break inside a word

}  // namespace lkGraphics

// Prefixes are off unless tfShowPrefix asks for them; a word break also
// breaks a word too long for a line unless tfNoCharBreak is given.
UINT TextFlagsToDrawTextFlags(TlkTextFlags Flags);

// ---------------------------------------------------------------------------
// Side sets: which sides of a rectangle a frame or an edge covers.
using TlkBorders = DWORD;
constexpr TlkBorders lkbLeft = 1;
constexpr TlkBorders lkbTop = 2;
constexpr TlkBorders lkbRight = 4;
constexpr TlkBorders lkbBottom = 8;
constexpr TlkBorders lkAllBorders = lkbLeft | lkbTop | lkbRight | lkbBottom;

// A background: tiled with Bitmap when it has one, else filled with Color.
struct TlkViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clDefault;
};

// ---------------------------------------------------------------------------
enum TlkRegionOperation { roSet = 0, roAdd = 1, roSubtract = 2, roIntersect = 3 };

// A region that owns its platform handle.
class TlkRegion : public TObject {
  QV_CLASS(TlkRegion, TObject)
  // Takes ownership of the handle.
  explicit TlkRegion(HRGN AHandle);
  explicit TlkRegion(const TRect& R);
  TlkRegion(int Left, int Top, int Right, int Bottom);
  // Empty: the rectangle (0, 0, 0, 0).
  TlkRegion();
  ~TlkRegion() override;
  TlkRegion(const TlkRegion&) = delete;
  TlkRegion& operator=(const TlkRegion&) = delete;

  HRGN Handle() const { return FHandle; }
  // roSet makes this region a copy of ARegion; the others combine this
  // region with ARegion in place. ARegion is freed afterwards when
  // ADestroyRegion is true, unless it is this region itself.
  void Combine(TlkRegion* ARegion, TlkRegionOperation Operation, bool ADestroyRegion = true);
  void Offset(int DeltaX, int DeltaY);

 private:
  HRGN FHandle;
};

// ---------------------------------------------------------------------------
// A class-library canvas (not owned) with the painters' operations.
class TlkCanvas : public TObject {
  QV_CLASS(TlkCanvas, TObject)
  explicit TlkCanvas(TCanvas* ACanvas);
  TlkCanvas(const TlkCanvas&) = delete;
  TlkCanvas& operator=(const TlkCanvas&) = delete;

  TCanvas* Canvas() const { return FCanvas; }
  TBrush* Brush() const { return FCanvas->Brush(); }
  TFont* Font() const { return FCanvas->Font(); }
  TPen* Pen() const { return FCanvas->Pen(); }
  HDC Handle() const { return FCanvas->Handle(); }
  void SetFont(TFont* Value) { FCanvas->SetFont(Value); }
  TPoint WindowOrg() const;
  void SetWindowOrg(const TPoint& Value);
  TPoint ViewportOrg() const;
  void SetViewportOrg(const TPoint& Value);
  // Where logical (0, 0) lies in device coordinates: ViewportOrg - WindowOrg.
  TPoint DCOrigin() const;

  // Leaves an equal colour alone, so the canvas keeps its brush handle.
  void SetBrushColor(TColor Value);
  // clNone paints nothing; clDefault fills with the current brush.
  void FillRectColor(const TRect& R, TColor Color);
  // Tiles R with a non-empty bitmap, the tiles aligned to logical (0, 0);
  // otherwise fills it with the current brush. With ExcludeRect, R then
  // leaves the clip region so that later drawing spares it.
  void FillRect(const TRect& R, TBitmap* Bitmap = nullptr, bool ExcludeRect = false);
  // Strips LineWidth wide along the sides in Borders: left, right, top,
  // bottom. clDefault frames with the current brush; clNone draws nothing.
  void FrameRect(const TRect& R, TColor Color, int LineWidth = 1, TlkBorders Borders = lkAllBorders,
                 bool ExcludeRect = false);
  // The frame, then the inside (R less LineWidth on each framed side) from
  // Background.
  void FillFramedRect(const TRect& R, const TlkViewParams& Background, TlkBorders Borders = lkAllBorders,
                      TColor FrameColor = clDefault, int LineWidth = 1, bool ExcludeRect = false);
  // Left and top in LeftTopColor, right and bottom in RightBottomColor,
  // painted in the order left, top, right, bottom.
  void DrawBorders(const TRect& R, TColor LeftTopColor, TColor RightBottomColor, TlkBorders Borders = lkAllBorders,
                   int LineWidth = 1);
  // One-pixel edge in the system colours of a raised or sunken, inner or
  // outer edge.
  void DrawEdge3D(const TRect& R, bool Sunken, bool Outer, TlkBorders Borders = lkAllBorders);
  void InvertRect(const TRect& R);

  // Draws the text in R. Disabled text is embossed: once one pixel right
  // and down in clBtnHighlight, then in place in clBtnShadow, both with a
  // clear brush. The brush style and the font colour are kept.
  void DrawText(const std::string& Text, const TRect& R, TlkTextFlags Flags, bool Enabled = true);
  // Measures the text laid out by Flags and places the measured rectangle
  // inside R's former size by the flags' alignment. A failed measurement
  // leaves the empty rectangle at R's top-left.
  void MeasureTextRect(const std::string& Text, TRect& R, TlkTextFlags Flags);
  // (0, 0) when the platform cannot measure.
  SIZE TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }

  void ExcludeClipRect(const TRect& R);
  // A new region (the caller's) with the clip region, or (0, 0, 30000,
  // 30000) when there is none; with ConsiderOrigin in logical coordinates.
  TlkRegion* GetClipRegion(bool ConsiderOrigin = true);
  // roSet selects ARegion as the clip; the other operations combine the
  // current clip with it. ARegion is freed when DestroyRegion is true and
  // otherwise handed back unchanged. With ConsiderOrigin, ARegion is in
  // logical coordinates.
  void SetClipRegion(TlkRegion* ARegion, TlkRegionOperation Operation, bool DestroyRegion = true,
                     bool ConsiderOrigin = true);

  void CopyRect(const TRect& Dest, TCanvas* ACanvas, const TRect& Source) { FCanvas->CopyRect(Dest, ACanvas, Source); }
  void Draw(int X, int Y, TGraphic* Graphic) { FCanvas->Draw(X, Y, Graphic); }
  void SetPixel(int X, int Y, TColor Color) { FCanvas->SetPixels(X, Y, Color); }
  void MoveTo(int X, int Y) { FCanvas->MoveTo(X, Y); }
  void LineTo(int X, int Y) { FCanvas->LineTo(X, Y); }
  void Polygon(const std::vector<TPoint>& Points) { FCanvas->Polygon(Points); }
  void Polyline(const std::vector<TPoint>& Points) { FCanvas->Polyline(Points); }

 private:
  TCanvas* FCanvas;
};

// ---------------------------------------------------------------------------
// The screen: a control whose device context is the desktop window's.
class TlkScreenControl : public TControl {
  QV_CLASS(TlkScreenControl, TControl)
  explicit TlkScreenControl(TComponent* AOwner = nullptr) : TControl(AOwner) {}
};

class TScreenCanvas : public TControlCanvas {
  QV_CLASS(TScreenCanvas, TControlCanvas)
  TScreenCanvas();
  ~TScreenCanvas() override;
  TScreenCanvas(const TScreenCanvas&) = delete;
  TScreenCanvas& operator=(const TScreenCanvas&) = delete;

 protected:
  void CreateHandle() override;

 private:
  TlkScreenControl* FScreenControl;
  HDC FScreenDC = nullptr;
};

class TlkScreenCanvas : public TlkCanvas {
  QV_CLASS(TlkScreenCanvas, TlkCanvas)
  TlkScreenCanvas();
  ~TlkScreenCanvas() override;
};

// The process-wide screen canvas, made on first use and freed at the
// unit's shut-down. Text and bitmap bits are measured on it.
TlkScreenCanvas* lkScreenCanvas();

// ---------------------------------------------------------------------------
enum TlkRotationAngle {
  raNone = 0,
  raPlus90 = 1,   // a quarter turn anticlockwise
  raMinus90 = 2,  // a quarter turn clockwise
  ra180 = 3
};

// A bitmap with a TlkCanvas of its own whose change notifications can be
// held back while it is updated.
class TlkCustomBitmap : public TBitmap {
  QV_CLASS(TlkCustomBitmap, TBitmap)
  // 24-bit pixels: empty, the size of R, or Width x Height.
  TlkCustomBitmap();
  explicit TlkCustomBitmap(const TRect& R);
  TlkCustomBitmap(int AWidth, int AHeight);
  TlkCustomBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat);
  ~TlkCustomBitmap() override;

  TlkCanvas* lkCanvas() const { return FlkCanvas; }
  TRect ClientRect() const { return TRect{0, 0, Width(), Height()}; }

  void BeginUpdate() { ++FUpdateCount; }
  // Sends the change held back during the update, or with Force always,
  // when the last bracket closes.
  void EndUpdate(bool Force = false);
  void SetSize(int AWidth, int AHeight) override;
  void Rotate(TlkRotationAngle Mode, bool Flip = false);

 protected:
  // Makes the canvas and sets size and format, announcing one change.
  virtual void Initialize(int AWidth, int AHeight, TPixelFormat APixelFormat);
  // Runs after each change that is sent.
  virtual void Update() {}
  void Changed(TObject* Sender) override;

 private:
  TlkCanvas* FlkCanvas = nullptr;
  int FUpdateCount = 0;
  bool FChangedWhileUpdating = false;
};

// Further transparent colours of a TlkBitmap, compared by their RGB value.
class TlkColorList : public TObject {
  QV_CLASS(TlkColorList, TObject)
  TlkColorList() = default;
  int Add(TColor Color);
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TColor Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
  int IndexOf(TColor Color) const;

 private:
  std::vector<TColor> FItems;
};

// The pixel operations of TlkBitmap::Filter.
enum TlkBitmapFilter {
  bfLighten = 0,       // every byte 30% towards 255
  bfDisable = 1,       // grey, then shaded with clBtnShadow
  bfGrayMean = 2,      // grey as the mean of red, green and blue
  bfFullAlpha = 3,     // alpha 255 everywhere, transparent pixels too
  bfMask = 4,          // transparent pixels white (0xFFFFFFFF), others 0
  bfGray = 5,          // grey weighted 0.299, 0.587, 0.114
  bfGrayAlt = 6,       // grey weighted 0.0729, 0.7146, 0.2125
  bfOpaque = 7,        // alpha 0 becomes 255 on non-transparent pixels
  bfChecker = 8,       // blended with the two checker colours by cell
  bfTransparent = 9,   // every pixel the transparent pixel
};

// A 32-bit bitmap whose pixels the filters work on directly. Pixels are
// 0xAARRGGBB (blue in the lowest byte, as stored).
class TlkBitmap : public TlkCustomBitmap {
  QV_CLASS(TlkBitmap, TlkCustomBitmap)
  TlkBitmap();
  explicit TlkBitmap(const TRect& R);
  TlkBitmap(int AWidth, int AHeight);
  ~TlkBitmap() override;

  // What Clear fills with when its alpha byte is not 0; pixels equal to it
  // count as transparent.
  DWORD TransparentPixel() const { return FTransparentPixel; }
  void SetTransparentPixel(DWORD Value) { FTransparentPixel = Value; }
  TlkColorList* TransparentColors() const { return FTransparentColors; }
  // The checkerboard of bfChecker: cells CheckerSize pixels square counted
  // from the bottom-left pixel, even cells in colour 1, odd ones in colour 2.
  void SetCheckerColors(TColor Color1, BYTE Alpha1, TColor Color2, BYTE Alpha2);
  BYTE CheckerSize() const { return FCheckerSize; }
  void SetCheckerSize(BYTE Value) { FCheckerSize = Value; }

  // Every pixel the transparent pixel when its alpha byte is not 0, else 0.
  void Clear();
  void SetSize(int AWidth, int AHeight) override;
  void Filter(TlkBitmapFilter Kind);

 protected:
  void Update() override;

 private:
  void construct();
  bool IsTransparent(DWORD Pixel) const;
  std::vector<DWORD> ReadPixels();
  void WritePixels(const std::vector<DWORD>& Pixels);

  BITMAPINFOHEADER FBitmapInfo{};
  HDC FDC = nullptr;
  DWORD FTransparentPixel = 0;
  TlkColorList* FTransparentColors = nullptr;
  int FCurrentX = 0;
  int FCurrentY = 0;
  DWORD FCheckerColor1 = 0;  // ARGB
  DWORD FCheckerColor2 = 0;
  BYTE FCheckerSize = 0;
  // RGB parts of the transparent colours during a filter pass.
  std::vector<DWORD> FTransparentRGB;
};

// ---------------------------------------------------------------------------
// Image lists and glyphs.

// Moves Field to NewList: the old list forgets Notifier and ChangeLink, the
// new one learns them, and ChangeLink hears of the change (also when
// NewList is null). Nothing when NewList is already in Field.
void lkSetImageList(TCustomImageList* NewList, TCustomImageList*& Field, TChangeLink* ChangeLink,
                    TComponent* Notifier);
bool GlyphIsSet(TBitmap* Bitmap);
bool lkIsValidImageIndex(TCustomImageList* ImageList, int Index);

// ---------------------------------------------------------------------------
// Colours.

// The nearest colour the screen shows.
TColor NearestScreenColor(TColor Color);
// Button face, highlight and window colours mixed 14/44/40 and -2/30/72
// percent; the plain highlight colour when the button face is black or
// white.
TColor SystemMixColor1();
TColor SystemMixColor2();
// The colour resolved to RGB as 0xAARRGGBB.
DWORD ColorToARGB(TColor Color, BYTE Alpha = 255);
// Blends an ARGB colour over a pixel (0xAARRGGBB) at Opacity.
void BlendPixel(DWORD ARGB, DWORD& Pixel, BYTE Opacity);
// A CSS colour keyword (any case): a named colour, or a system-colour
// keyword as its system colour. False for an unknown name.
bool lkWebColorNameToColor(const std::string& Name, TColor& Color);

// ---------------------------------------------------------------------------
// Bitmaps.

// A new bitmap (the caller's) of the format and size.
TBitmap* lkCreateBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat = pf24bit);
// GetObject's BITMAP of the handle; false when it is no bitmap.
bool GetBitmapInfo(HBITMAP Handle, BITMAP& Info);
// Turns or mirrors the bitmap's pixels; raPlus90 and raMinus90 swap its
// width and height. Flip mirrors the result top to bottom.
void RotateBitmap(TBitmap* Bitmap, TlkRotationAngle Mode, bool Flip = false);

// ---------------------------------------------------------------------------
// Text output on a device context. Length -1 means the whole text; a
// length beyond the text is cut to it.
bool MeasureTextExtent(HDC DC, const std::string& Text, SIZE& Size, int Length = -1);
int lkDrawText(HDC DC, const std::string& Text, TRect& R, UINT DrawTextFlags, int Length = -1);
// At R's top-left, clipped to ClipRect when Options hold ETO_CLIPPED.
bool OutputTextExt(HDC DC, const std::string& Text, const TRect& R, const TRect& ClipRect, UINT Options,
                   int Length = -1);

// ---------------------------------------------------------------------------
// The unit in the program's start-up order (uses lkClasses, lkGeometry and uiOffice11,
// which starts the theme units before it).
extern const qv::classlib::TUnitInfo lkGraphicsUnit;

namespace lkGraphics {

// Unit start-up and shut-down. Counted: only the first Initialize and the
// matching last Finalize act. Start-up makes the halftone brush and the
// system colour brushes and binds msimg32.dll's AlphaBlend when present;
// shut-down frees them and the screen canvas.
void Initialize();
void Finalize();

// An 8 x 8 pattern brush of alternating pixels (null outside start-up).
HBRUSH HalftoneBrush();
// The brush of system colour Index (0 to 30), null outside start-up.
HBRUSH SystemColorBrush(int Index);
using TAlphaBlendFunc = BOOL (*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
// msimg32.dll's AlphaBlend, or null when the library or the entry point is
// missing.
TAlphaBlendFunc AlphaBlendFunc();

}  // namespace lkGraphics
