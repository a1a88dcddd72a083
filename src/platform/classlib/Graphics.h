// The class library's Graphics unit: colours and cursors with their
// identifiers, the graphics objects (font, pen, brush), the canvas over a
// device context, and the graphics (bitmap, icon, metafile) with the picture
// that holds any of them by file format.
//
// Graphics objects create their platform handles lazily from their
// properties and drop them on every change; a canvas selects them into its
// device context only when a drawing call needs them, and deselects them as
// soon as they change.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/SysUtils.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/Types.h"
#include "platform/os/gdi/Font.h"
#include "platform/os/gdi/Image.h"

class TBitmap;
class TCanvas;
class TGraphic;

using TRect = RECT;
using TPoint = POINT;

// ---------------------------------------------------------------------------
// Colours: 0x00BBGGRR for RGB, clSystemColor | COLOR_x for a system colour.
using TColor = std::int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// A system colour becomes the current value of that system colour; any other
// value (clNone and clDefault too) is returned as it is.
COLORREF ColorToRGB(TColor Color);
// "clRed", else "$00BBGGRR".
std::string ColorToString(TColor Color);
// An identifier (any case) or a number ("$FF", "255"); EConvertError else.
TColor StringToColor(const std::string& S);
bool ColorToIdent(int Color, std::string& Ident);
bool IdentToColor(const std::string& Ident, int& Color);
// Every colour identifier in the class library's order.
void GetColorValues(const std::function<void(const std::string& S)>& Proc);

// ---------------------------------------------------------------------------
// Cursors.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = -22;

bool CursorToIdent(int Cursor, std::string& Ident);
bool IdentToCursor(const std::string& Ident, int& Cursor);
// "crHandPoint", else the number.
std::string CursorToString(TCursor Cursor);
TCursor StringToCursor(const std::string& S);

// ---------------------------------------------------------------------------
QV_EXCEPTION(EInvalidGraphic, Exception);
QV_EXCEPTION(EInvalidGraphicOperation, Exception);

// ---------------------------------------------------------------------------
class TGraphicsObject : public TPersistent {
  QV_CLASS(TGraphicsObject, TPersistent)
  TGraphicsObject() = default;
  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
  // Drops the handle before the listeners run, so that those asking for it
  // get a new one; the old one is deleted after they have deselected it.
  template <class Handle>
  void ChangedDroppingHandle(Handle& handle);
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
QV_ENUM_TYPE(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
QV_ENUM_TYPE(TFontPitch, fpDefault, fpVariable, fpFixed)
using TFontCharset = BYTE;

class TFont : public TGraphicsObject {
  QV_CLASS(TFont, TGraphicsObject)
  TFont();
  ~TFont() override;

  // Created from the properties on first use; the font keeps it until a
  // property changes.
  HFONT Handle();
  // Takes over the font's description (the handle stays the caller's).
  void SetHandle(HFONT Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  // Points at PixelsPerInch: -MulDiv(Height, 72, PixelsPerInch).
  int Size() const;
  void SetSize(int Value);
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }

  void Assign(TPersistent* Source) override;

  QV_PUBLISHED(TFont) {
    P.Prop("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
    P.Prop("Color", &TFont::Color, &TFont::SetColor).Ident("TColor").Default(clWindowText);
    P.Prop("Height", &TFont::Height, &TFont::SetHeight).NoDefault();
    P.Prop("Name", &TFont::Name, &TFont::SetName);
    P.Prop("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
    P.Prop("Size", &TFont::Size, &TFont::SetSize).Stored(false);
    P.Prop("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
  }

 private:
  void changed();
  TColor FColor = clWindowText;
  int FHeight = -11;
  std::string FName = "MS Sans Serif";
  TFontStyles FStyle;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  int FPixelsPerInch = 96;
  HFONT FHandle = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
QV_ENUM_TYPE(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
QV_ENUM_TYPE(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
             pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)

class TPen : public TGraphicsObject {
  QV_CLASS(TPen, TGraphicsObject)
  TPen() = default;
  ~TPen() override;

  HPEN Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  // The raster operation the canvas sets with the pen (SetROP2).
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);

  void Assign(TPersistent* Source) override;

  QV_PUBLISHED(TPen) {
    P.Prop("Color", &TPen::Color, &TPen::SetColor).Ident("TColor").Default(clBlack);
    P.Prop("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
    P.Prop("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
    P.Prop("Width", &TPen::Width, &TPen::SetWidth).Default(1);
  }

 private:
  void changed(bool handle);
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
  HPEN FHandle = nullptr;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
QV_ENUM_TYPE(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
             bsDiagCross)

class TBrush : public TGraphicsObject {
  QV_CLASS(TBrush, TGraphicsObject)
  TBrush() = default;
  ~TBrush() override;

  HBRUSH Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  TColor Color() const { return FColor; }
  // A colour makes a clear brush solid again, as the class library does.
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A pattern brush from the bitmap, which stays the caller's and must live
  // as long as the brush uses it. Null returns to Style and Color.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);

  void Assign(TPersistent* Source) override;

  QV_PUBLISHED(TBrush) {
    P.Prop("Color", &TBrush::Color, &TBrush::SetColor).Ident("TColor").Default(clWhite);
    P.Prop("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
  }

 private:
  void changed();
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
  HBRUSH FHandle = nullptr;
};

// ---------------------------------------------------------------------------
enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates>;
using TCopyMode = LONG;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

enum TTextFormats {
  tfBottom,
  tfCalcRect,
  tfCenter,
  tfEditControl,
  tfEndEllipsis,
  tfPathEllipsis,
  tfExpandTabs,
  tfExternalLeading,
  tfLeft,
  tfModifyString,
  tfNoClip,
  tfNoPrefix,
  tfRight,
  tfRtlReading,
  tfSingleLine,
  tfTop,
  tfVerticalCenter,
  tfWordBreak
};
using TTextFormat = TSet<TTextFormats>;
// The DT_ flags of a text format.
UINT TextFormatFlags(TTextFormat Format);

class TCanvas : public TPersistent {
  QV_CLASS(TCanvas, TPersistent)
  TCanvas();
  ~TCanvas() override;

  // The device context, created by CreateHandle when the canvas has none;
  // EInvalidOperation "Canvas does not allow drawing" when it cannot.
  HDC Handle();
  // Deselects the objects from the old context; the context stays the caller's.
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TPen* Pen() const { return FPen; }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush; }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  TPoint PenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.x, Value.y); }
  // CLR_INVALID outside the bitmap or the clip region, as GetPixel says.
  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);
  // The clip box in logical coordinates.
  TRect ClipRect();
  int LockCount() const { return FLockCount; }
  TCanvasState State() const { return FState; }

  void MoveTo(int X, int Y);
  // Leaves out the end point, as the platform draws lines.
  void LineTo(int X, int Y);
  void Polyline(const std::vector<TPoint>& Points);
  void Polygon(const std::vector<TPoint>& Points);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.left, Rect.top, Rect.right, Rect.bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& Rect) { Ellipse(Rect.left, Rect.top, Rect.right, Rect.bottom); }
  // With the brush; the pen is not used.
  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  void DrawFocusRect(const TRect& Rect);

  void TextOut(int X, int Y, const std::string& Text);
  // The text at (X, Y), clipped to Rect; a solid brush fills Rect first.
  void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
  // Through DrawText with the format's flags; tfCalcRect only measures into Rect.
  void TextRect(TRect& Rect, std::string& Text, TTextFormat TextFormat);
  SIZE TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

  // The graphic at its own size; a transparent graphic leaves its
  // transparent pixels alone.
  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  // StretchBlt from another canvas with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies Source of the bitmap to Dest, with pixels of Color replaced by
  // the brush.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

  void Lock() { ++FLockCount; }
  void Unlock() {
    if (FLockCount > 0) --FLockCount;
  }
  bool TryLock() {
    if (FLockCount != 0) return false;
    Lock();
    return true;
  }
  // Deselects the objects, so that the next drawing selects them again.
  void Refresh();

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changing();
  virtual void Changed();
  virtual void CreateHandle() {}
  void RequiredState(TCanvasState ReqState);
  void DeselectHandles();

 private:
  void createFont();
  void createPen();
  void createBrush();
  void fontChanged();
  void penChanged();
  void brushChanged();

  HDC FHandle = nullptr;
  TCanvasState FState;
  TFont* FFont;
  TPen* FPen;
  TBrush* FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
  int FLockCount = 0;
};

// ---------------------------------------------------------------------------
enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, BYTE PercentDone, bool RedrawNow,
                                          const TRect& R, const std::string& Msg)>;

class TGraphic : public TPersistent {
  QV_CLASS(TGraphic, TPersistent)
  TGraphic() = default;

  virtual int Width() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual int Height() const = 0;
  virtual void SetHeight(int Value) = 0;
  virtual bool Empty() const = 0;
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  void SetModified(bool Value);

  // Files are read and written whole; EFOpenError/EFCreateError when the
  // file cannot be opened.
  virtual void LoadFromFile(const std::string& FileName);
  virtual void SaveToFile(const std::string& FileName);
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

 protected:
  friend class TCanvas;
  friend class TPicture;
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual void Changed(TObject* Sender);
  void Progress(TObject* Sender, TProgressStage Stage, BYTE PercentDone, bool RedrawNow, const TRect& R,
                const std::string& Msg);
  // The stream's bytes from its position to its end.
  static std::vector<std::uint8_t> readAll(TStream* Stream);

  bool FTransparent = false;
  bool FModified = false;
};
using TGraphicClass = TClass;

// ---------------------------------------------------------------------------
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

// The canvas of a bitmap: its own memory DC with the bitmap selected.
class TBitmapCanvas : public TCanvas {
  QV_CLASS(TBitmapCanvas, TCanvas)
  explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
  TBitmapCanvas() = default;
  ~TBitmapCanvas() override;
  // Deselects the bitmap and frees the DC; the next drawing makes a new one.
  void FreeContext();

 protected:
  void CreateHandle() override;

 private:
  TBitmap* FBitmap = nullptr;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
};

class TBitmap : public TGraphic {
  QV_CLASS(TBitmap, TGraphic)
  TBitmap();
  ~TBitmap() override;

  // The image as a bitmap handle; an empty bitmap has none (null).
  HBITMAP Handle() const { return FHandle; }
  // Takes the bitmap over; its format follows from the handle.
  void SetHandle(HBITMAP Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Gives the handle away: the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  TBitmapHandleType HandleType() const { return FPixelFormat == pfDevice ? bmDDB : bmDIB; }
  void SetHandleType(TBitmapHandleType Value);
  TCanvas* Canvas();

  int Width() const override { return FWidth; }
  void SetWidth(int Value) override { SetSize(Value, FHeight); }
  int Height() const override { return FHeight; }
  void SetHeight(int Value) override { SetSize(FWidth, Value); }
  // Keeps the pixels that still fit; new pixels are black. Virtual, so
  // that a descendant also sees the sizes set through SetWidth and SetHeight.
  virtual void SetSize(int AWidth, int AHeight);
  bool Empty() const override { return FHandle == nullptr; }
  // Converts the pixels: indexed formats map to the nearest colour of their
  // palette (black and white, the 16 standard colours, a 256-colour cube),
  // 15 and 16 bits drop the low bits of each channel.
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value);
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);

  // tmAuto: the bottom-left pixel (clWhite for a monochrome bitmap).
  TColor TransparentColor();
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  // Row Y from the top in the pixel format's layout (bottom-up DIB memory);
  // EInvalidGraphicOperation for a device bitmap or a row out of range.
  void* ScanLine(int Row);

  // A monochrome mask: 1 (white) where the pixel is TransparentColor.
  HBITMAP MaskHandle();
  void Mask(TColor TransparentColor);
  HBITMAP ReleaseMaskHandle();

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
  void LoadFromResourceID(HINSTANCE Instance, int ResID);
  void Assign(TPersistent* Source) override;
  // The class library frees the GDI handle and keeps the bits; here the
  // pixels are always our own memory, so both keep the image.
  void Dormant() {}
  void FreeImage() {}

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void Changed(TObject* Sender) override;
  void AssignTo(TPersistent* Dest) override;

 private:
  friend class TBitmapCanvas;
  void loadImage(const qv::os::gdi::Image& Image);
  void replaceHandle(HBITMAP Value, TPixelFormat Format, int AWidth, int AHeight);
  HBITMAP makeBitmap(TPixelFormat Format, int AWidth, int AHeight, const std::vector<std::uint32_t>* Palette) const;
  void freeMask();

  HBITMAP FHandle = nullptr;
  HBITMAP FMaskHandle = nullptr;
  TColor FMaskColor = clNone;
  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  TBitmapCanvas* FCanvas = nullptr;
  // Indexed formats: the colour table (a file's own or the standard one).
  std::vector<std::uint32_t> FPalette;
};

// ---------------------------------------------------------------------------
// An icon over the platform's icon handle: drawn with DrawIconEx, so its AND
// mask (or its alpha) lets the background through.
class TIcon : public TGraphic {
  QV_CLASS(TIcon, TGraphic)
  TIcon() = default;
  ~TIcon() override;

  HICON Handle() const { return FHandle; }
  // Takes the icon over (destroyed with this object).
  void SetHandle(HICON Value);
  HICON ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  int Width() const override;
  // EInvalidGraphicOperation "Cannot change the size of an icon".
  void SetWidth(int Value) override;
  int Height() const override;
  void SetHeight(int Value) override;
  bool Empty() const override { return FHandle == nullptr; }

  // The file's image nearest 32 x 32; EInvalidGraphic "Icon image is not
  // valid" for anything else.
  void LoadFromStream(TStream* Stream) override;
  // The bytes that were loaded, else the icon as a one-image 32-bit .ico;
  // EInvalidGraphic "Icon image is not valid" for an empty icon.
  void SaveToStream(TStream* Stream) override;
  void Assign(TPersistent* Source) override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  void replace(HICON Value);
  HICON FHandle = nullptr;
  std::vector<std::uint8_t> FData;
};

// ---------------------------------------------------------------------------
// Metafiles are kept as their bytes and streamed back; drawing them is not
// needed by anything here, so they draw nothing.
class TMetafile : public TGraphic {
  QV_CLASS(TMetafile, TGraphic)
  TMetafile() = default;

  int Width() const override { return FWidth; }
  void SetWidth(int Value) override;
  int Height() const override { return FHeight; }
  void SetHeight(int Value) override;
  bool Empty() const override { return FData.empty(); }
  // True for an enhanced metafile (EMF), false for a placeable WMF.
  bool Enhanced() const { return FEnhanced; }

  // EInvalidGraphic "Metafile is not valid" for bytes that are neither.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void Assign(TPersistent* Source) override;
  const std::vector<std::uint8_t>& Data() const { return FData; }

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  std::vector<std::uint8_t> FData;
  int FWidth = 0;
  int FHeight = 0;
  bool FEnhanced = true;
};

// ---------------------------------------------------------------------------
class TPicture : public TPersistent {
  QV_CLASS(TPicture, TPersistent)
  TPicture() = default;
  ~TPicture() override;

  TGraphic* Graphic() const { return FGraphic; }
  // A copy of Value (of its class); null empties the picture.
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap; another graphic is replaced by an empty bitmap.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  TIcon* Icon();
  void SetIcon(TIcon* Value) { SetGraphic(Value); }
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // The class registered for the file's extension reads it; EInvalidGraphic
  // "Unknown picture file extension (.%s)" for an extension nobody has.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
  void Assign(TPersistent* Source) override;

  // Extension without the dot; a later registration of the same extension
  // comes first.
  static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                 TGraphicClass AGraphicClass);
  static void UnregisterGraphicClass(TGraphicClass AClass);
  // Null for an unknown extension (with or without the dot, any case).
  static TGraphicClass FindGraphicClass(const std::string& Extension);
  // "*.bmp;*.ico" and "Bitmaps (*.bmp)|*.bmp|..." for the file dialogs.
  static std::string GraphicFileMask(TGraphicClass AClass);
  static std::string GraphicFilter(TGraphicClass AClass);

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;

 protected:
  virtual void Changed(TObject* Sender);
  void AssignTo(TPersistent* Dest) override;
  // Form resources keep a picture as "Data": the graphic's class name (a
  // length byte and the name), then the graphic's data; a bitmap's data is
  // its length (32 bits, little-endian) and the bitmap file.
  void DefineProperties(TFiler* Filer) override;

 private:
  void setNew(TGraphic* NewGraphic);
  void readData(TStream* Stream);
  void writeData(TStream* Stream);
  TGraphic* FGraphic = nullptr;
};

