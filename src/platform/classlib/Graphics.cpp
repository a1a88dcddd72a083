#include "platform/classlib/Graphics.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/classlib/Filer.h"
#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/Bmp.h"
#include "platform/os/gdi/Brush.h"
#include "platform/os/gdi/Clip.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/gdi/DrawText.h"
#include "platform/os/gdi/FocusRect.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Ico.h"
#include "platform/os/gdi/Icon.h"
#include "platform/os/gdi/MulDiv.h"
#include "platform/os/gdi/Pen.h"
#include "platform/os/gdi/Raster.h"
#include "platform/os/gdi/Text.h"
#include "platform/os/kernel/Resource.h"
#include "platform/os/user/SysColors.h"

namespace gdi = qv::os::gdi;

// ---------------------------------------------------------------------------
// Colours and cursors.

namespace {

const TIdentMapEntry kColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

const TIdentMapEntry kCursors[] = {
    {crDefault, "crDefault"},     {crArrow, "crArrow"},       {crCross, "crCross"},
    {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"},
    {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},     {crUpArrow, "crUpArrow"},
    {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},         {crNoDrop, "crNoDrop"},
    {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},     {crMultiDrag, "crMultiDrag"},
    {crSQLWait, "crSQLWait"},     {crNo, "crNo"},             {crAppStart, "crAppStart"},
    {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
    {crNone, "crNone"},
};

// Streaming learns the identifiers of TColor and TCursor properties as soon
// as this unit is part of a program.
const bool kIdentsRegistered = [] {
  RegisterIntegerConsts(qv::classlib::namedIntegerType("TColor"), IdentToColor, ColorToIdent);
  RegisterIntegerConsts(qv::classlib::namedIntegerType("TCursor"), IdentToCursor, CursorToIdent);
  return true;
}();

}  // namespace

COLORREF ColorToRGB(TColor Color) {
  if (Color < 0) return GetSysColor(Color & 0xFF);
  return static_cast<COLORREF>(Color);
}

bool ColorToIdent(int Color, std::string& Ident) {
  return IntToIdent(Color, Ident, kColors, std::size(kColors));
}

bool IdentToColor(const std::string& Ident, int& Color) {
  return IdentToInt(Ident, Color, kColors, std::size(kColors));
}

std::string ColorToString(TColor Color) {
  std::string s;
  if (ColorToIdent(Color, s)) return s;
  return "$" + IntToHex(static_cast<std::uint32_t>(Color), 8);
}

TColor StringToColor(const std::string& S) {
  int c = 0;
  if (IdentToColor(S, c)) return c;
  return static_cast<TColor>(StrToInt(S));
}

void GetColorValues(const std::function<void(const std::string& S)>& Proc) {
  for (const auto& e : kColors) Proc(e.Name);
}

bool CursorToIdent(int Cursor, std::string& Ident) {
  return IntToIdent(Cursor, Ident, kCursors, std::size(kCursors));
}

bool IdentToCursor(const std::string& Ident, int& Cursor) {
  return IdentToInt(Ident, Cursor, kCursors, std::size(kCursors));
}

std::string CursorToString(TCursor Cursor) {
  std::string s;
  if (CursorToIdent(Cursor, s)) return s;
  return IntToStr(Cursor);
}

TCursor StringToCursor(const std::string& S) {
  int c = 0;
  if (IdentToCursor(S, c)) return c;
  return StrToInt(S);
}

// ---------------------------------------------------------------------------
// Graphics objects.

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

template <class Handle>
void TGraphicsObject::ChangedDroppingHandle(Handle& handle) {
  Handle old = handle;
  handle = nullptr;
  Changed();
  if (old) DeleteObject(old);
}
template void TGraphicsObject::ChangedDroppingHandle(HFONT&);
template void TGraphicsObject::ChangedDroppingHandle(HBRUSH&);

TFont::TFont() { (void)kIdentsRegistered; }

TFont::~TFont() {
  if (FHandle) DeleteObject(FHandle);
}

void TFont::changed() { ChangedDroppingHandle(FHandle); }

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONTA lf{};
    lf.lfHeight = FHeight;
    lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = FCharset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
    FHandle = CreateFontIndirect(&lf);
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  LOGFONTA lf{};
  if (!Value || GetObject(Value, sizeof lf, &lf) == 0) return;
  FHeight = lf.lfHeight;
  TFontStyles s;
  if (lf.lfWeight >= FW_BOLD) s.Include(fsBold);
  if (lf.lfItalic) s.Include(fsItalic);
  if (lf.lfUnderline) s.Include(fsUnderline);
  if (lf.lfStrikeOut) s.Include(fsStrikeOut);
  FStyle = s;
  FCharset = lf.lfCharSet;
  int pitch = lf.lfPitchAndFamily & 3;
  FPitch = pitch == FIXED_PITCH ? fpFixed : pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  FName.assign(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
  changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();  // the colour is the canvas's text colour, not part of the handle
}

void TFont::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetName(const std::string& Value) {
  if (Value.empty() || Value == FName) return;
  FName = Value;
  changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  changed();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    FColor = f->FColor;
    // Heights are kept in pixels of this font's resolution, as the sizes are
    // what the source means.
    FHeight = f->FPixelsPerInch == FPixelsPerInch ? f->FHeight : -MulDiv(f->Size(), FPixelsPerInch, 72);
    FName = f->FName;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    changed();
    return;
  }
  inherited::Assign(Source);
}

TPen::~TPen() {
  if (FHandle) DeleteObject(FHandle);
}

void TPen::changed(bool handle) {
  HPEN old = handle ? FHandle : nullptr;
  if (handle) FHandle = nullptr;
  Changed();
  if (old) DeleteObject(old);
}

HPEN TPen::Handle() {
  if (!FHandle) {
    static const UINT styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    LOGPEN lp{styles[FStyle], {FWidth, 0}, ColorToRGB(FColor)};
    FHandle = CreatePenIndirect(&lp);
  }
  return FHandle;
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  changed(true);
}

void TPen::SetWidth(int Value) {
  if (Value < 0 || Value == FWidth) return;
  FWidth = Value;
  changed(true);
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  changed(true);
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  changed(false);
}

void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    changed(true);
    return;
  }
  inherited::Assign(Source);
}

TBrush::~TBrush() {
  if (FHandle) DeleteObject(FHandle);
}

void TBrush::changed() { ChangedDroppingHandle(FHandle); }

HBRUSH TBrush::Handle() {
  if (!FHandle) {
    if (FBitmap && FBitmap->HandleAllocated()) {
      FHandle = CreatePatternBrush(FBitmap->Handle());
    } else {
      LOGBRUSH lb{BS_SOLID, ColorToRGB(FColor), 0};
      if (FStyle == bsClear) {
        lb.lbStyle = BS_NULL;
      } else if (FStyle != bsSolid) {
        lb.lbStyle = BS_HATCHED;
        lb.lbHatch = static_cast<ULONG_PTR>(FStyle - bsHorizontal);  // HS_HORIZONTAL ... HS_DIAGCROSS
      }
      FHandle = CreateBrushIndirect(&lb);
    }
  }
  return FHandle;
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle && !FBitmap) return;
  FStyle = Value;
  if (FStyle == bsClear) FColor = clWhite;
  FBitmap = nullptr;
  changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Value == FBitmap) return;
  FBitmap = Value;
  changed();
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    changed();
    return;
  }
  inherited::Assign(Source);
}

// ---------------------------------------------------------------------------
// The canvas.

UINT TextFormatFlags(TTextFormat Format) {
  static const UINT flags[] = {DT_BOTTOM,       DT_CALCRECT,       DT_CENTER,    DT_EDITCONTROL, DT_END_ELLIPSIS,
                               DT_PATH_ELLIPSIS, DT_EXPANDTABS,    DT_EXTERNALLEADING, DT_LEFT, DT_MODIFYSTRING,
                               DT_NOCLIP,        DT_NOPREFIX,       DT_RIGHT,     DT_RTLREADING,  DT_SINGLELINE,
                               DT_TOP,           DT_VCENTER,        DT_WORDBREAK};
  UINT result = 0;
  for (int i = tfBottom; i <= tfWordBreak; ++i)
    if (Format.Contains(static_cast<TTextFormats>(i))) result |= flags[i];
  return result;
}

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush) {
  FFont->OnChange = [this](TObject*) { fontChanged(); };
  FPen->OnChange = [this](TObject*) { penChanged(); };
  FBrush->OnChange = [this](TObject*) { brushChanged(); };
}

TCanvas::~TCanvas() {
  DeselectHandles();
  delete FFont;
  delete FPen;
  delete FBrush;
}

HDC TCanvas::Handle() {
  // Code that draws on the handle directly (DrawText, DrawEdge) gets the
  // canvas's font, pen and brush selected, as the class library gives them.
  RequiredState({csHandleValid, csFontValid, csPenValid, csBrushValid});
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (Value == FHandle) return;
  DeselectHandles();
  FHandle = Value;
  FState = Value ? TCanvasState{csHandleValid} : TCanvasState{};
}

void TCanvas::DeselectHandles() {
  if (!FHandle) return;
  if (FState.Contains(csFontValid)) SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  if (FState.Contains(csPenValid)) SelectObject(FHandle, GetStockObject(BLACK_PEN));
  if (FState.Contains(csBrushValid)) SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  FState = FState - TCanvasState{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState needed = ReqState - FState;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
    FState.Include(csHandleValid);
  }
  if (needed.Contains(csFontValid)) createFont();
  if (needed.Contains(csPenValid)) createPen();
  if (needed.Contains(csBrushValid)) createBrush();
  FState = FState + needed;
}

void TCanvas::createFont() {
  SelectObject(FHandle, FFont->Handle());
  SetTextColor(FHandle, ColorToRGB(FFont->Color()));
}

void TCanvas::createPen() {
  static const int modes[] = {R2_BLACK,      R2_WHITE,      R2_NOP,        R2_NOT,         R2_COPYPEN,  R2_NOTCOPYPEN,
                              R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                              R2_MASKPEN,    R2_NOTMASKPEN, R2_XORPEN,     R2_NOTXORPEN};
  SelectObject(FHandle, FPen->Handle());
  SetROP2(FHandle, modes[FPen->Mode()]);
}

void TCanvas::createBrush() {
  SelectObject(FHandle, FBrush->Handle());
  COLORREF c = ColorToRGB(FBrush->Color());
  if (FBrush->Style() == bsSolid) {
    SetBkColor(FHandle, c);
    SetBkMode(FHandle, OPAQUE);
  } else {
    SetBkColor(FHandle, ~c & 0xFFFFFFu);
    SetBkMode(FHandle, TRANSPARENT);
  }
}

void TCanvas::fontChanged() {
  if (FHandle && FState.Contains(csFontValid)) {
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
    FState.Exclude(csFontValid);
  }
}

void TCanvas::penChanged() {
  if (FHandle && FState.Contains(csPenValid)) {
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    FState.Exclude(csPenValid);
  }
}

void TCanvas::brushChanged() {
  if (FHandle && FState.Contains(csBrushValid)) {
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    FState.Exclude(csBrushValid);
  }
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::Refresh() { DeselectHandles(); }

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  POINT p{0, 0};
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

TColor TCanvas::Pixels(int X, int Y) {
  RequiredState({csHandleValid});
  return static_cast<TColor>(GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixel(FHandle, X, Y, ColorToRGB(Value));
  Changed();
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  RECT r{0, 0, 0, 0};
  GetClipBox(FHandle, &r);
  return r;
}

void TCanvas::MoveTo(int X, int Y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(FHandle, X, Y);
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FillRect(FHandle, &Rect, FBrush->Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::FrameRect(FHandle, &Rect, FBrush->Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(FHandle, &Rect);
  Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  ::TextOut(FHandle, X, Y, Text.data(), static_cast<int>(Text.size()));
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = ETO_CLIPPED;
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOut(FHandle, X, Y, options, &Rect, Text.data(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}

void TCanvas::TextRect(TRect& Rect, std::string& Text, TTextFormat TextFormat) {
  UINT flags = TextFormatFlags(TextFormat);
  bool calc = TextFormat.Contains(tfCalcRect);
  if (!calc) Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  std::vector<char> buffer(Text.begin(), Text.end());
  // DT_MODIFYSTRING may write an ellipsis and four more characters.
  buffer.resize(Text.size() + 5, '\0');
  DrawTextEx(FHandle, buffer.data(), static_cast<int>(Text.size()), &Rect, flags, nullptr);
  if (TextFormat.Contains(tfModifyString)) Text.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
  if (!calc) Changed();
}

SIZE TCanvas::TextExtent(const std::string& Text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE s{0, 0};
  if (!GetTextExtentPoint32(FHandle, Text.data(), static_cast<int>(Text.size()), &s)) s = {0, 0};
  return s;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
  SetTextColor(FHandle, ColorToRGB(FFont->Color()));
  Graphic->Draw(this, RECT{X, Y, X + Graphic->Width(), Y + Graphic->Height()});
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (!Canvas) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  Canvas->RequiredState({csHandleValid, csBrushValid});
  StretchBlt(FHandle, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, Canvas->FHandle,
             Source.left, Source.top, Source.right - Source.left, Source.bottom - Source.top,
             static_cast<DWORD>(FCopyMode));
  Changed();
}

namespace {

// The raster operation "S ? P : D": a monochrome mask expanded with a black
// text colour and a white background picks the brush where it is white.
constexpr DWORD kRopPatternWhereSource = 0x00E20746u;

// A monochrome bitmap the size of the rectangle of `bitmap`: white where
// the pixel is `colour`.
HBITMAP colourMask(HBITMAP bitmap, COLORREF colour) {
  gdi::Surface* s = gdi::surfaceOf(bitmap);
  if (!s) return nullptr;
  gdi::SurfaceUse use(s, false);
  std::vector<std::uint8_t> mask(static_cast<size_t>(s->width) * s->height);
  std::uint32_t want = s->mono ? gdi::monoPixelOf(colour) : gdi::pixelOf(colour & 0xFFFFFFu);
  for (int y = 0; y < s->height; ++y)
    for (int x = 0; x < s->width; ++x)
      mask[static_cast<size_t>(y) * s->width + x] = (s->row(y)[x] & 0xFFFFFFu) == want ? 1 : 0;
  return gdi::createMonoBitmapFromMask(s->width, s->height, mask.data());
}

// A memory DC holding `bitmap` for the length of a scope.
class BitmapDC {
 public:
  explicit BitmapDC(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_ && bitmap) old_ = SelectObject(dc_, bitmap);
  }
  ~BitmapDC() {
    if (old_) SelectObject(dc_, old_);
    if (dc_) DeleteDC(dc_);
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (!Bitmap || Bitmap->Empty()) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  int dw = Dest.right - Dest.left, dh = Dest.bottom - Dest.top;
  int sw = Source.right - Source.left, sh = Source.bottom - Source.top;
  HDC src = Bitmap->Canvas()->Handle();
  StretchBlt(FHandle, Dest.left, Dest.top, dw, dh, src, Source.left, Source.top, sw, sh, SRCCOPY);
  HBITMAP mask = colourMask(Bitmap->Handle(), ColorToRGB(Color));
  if (mask) {
    BitmapDC m(mask);
    COLORREF text = SetTextColor(FHandle, RGB(0, 0, 0));
    COLORREF back = SetBkColor(FHandle, RGB(255, 255, 255));
    StretchBlt(FHandle, Dest.left, Dest.top, dw, dh, m.dc(), Source.left, Source.top, sw, sh,
               kRopPatternWhereSource);
    SetTextColor(FHandle, text);
    SetBkColor(FHandle, back);
  }
  DeleteObject(mask);
  Changed();
}

// ---------------------------------------------------------------------------
// Graphics.

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value) {
    Changed(this);
  } else {
    FModified = false;
  }
}

void TGraphic::Changed(TObject* Sender) {
  (void)Sender;
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::Progress(TObject* Sender, TProgressStage Stage, BYTE PercentDone, bool RedrawNow, const TRect& R,
                        const std::string& Msg) {
  if (OnProgress) OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

std::vector<std::uint8_t> TGraphic::readAll(TStream* Stream) {
  std::vector<std::uint8_t> bytes;
  if (!Stream) return bytes;
  std::int64_t size = Stream->Size() - Stream->Position();
  if (size <= 0) return bytes;
  bytes.resize(static_cast<size_t>(size));
  int got = Stream->Read(bytes.data(), static_cast<int>(bytes.size()));
  bytes.resize(static_cast<size_t>(std::max(got, 0)));
  return bytes;
}

// ---------------------------------------------------------------------------
// TBitmap.

namespace {

std::vector<std::uint32_t> standardPalette(TPixelFormat Format) {
  if (Format == pf1bit) return {0x000000, 0xFFFFFF};
  if (Format == pf4bit)
    return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
            0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  // The 6 x 6 x 6 cube of web colours, then a ramp of greys.
  std::vector<std::uint32_t> p;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        p.push_back(std::uint32_t(r * 51) << 16 | std::uint32_t(g * 51) << 8 | std::uint32_t(b * 51));
  for (int i = 0; p.size() < 256; ++i) {
    std::uint32_t v = static_cast<std::uint32_t>(8 + i * 6);
    p.push_back(v << 16 | v << 8 | v);
  }
  return p;
}

int bitCountOf(TPixelFormat Format) {
  switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

TPixelFormat formatOfBitCount(int BitCount) {
  switch (BitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf15bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfDevice;
  }
}

// Copies the pixels both bitmaps have; a monochrome target takes the
// brightness rule of the platform's colour-to-monochrome conversion.
void copyPixels(HBITMAP From, HBITMAP To) {
  gdi::Surface* s = gdi::surfaceOf(From);
  gdi::Surface* d = gdi::surfaceOf(To);
  if (!s || !d) return;
  gdi::SurfaceUse in(s, false);
  gdi::SurfaceUse out(d, true);
  int w = std::min(s->width, d->width), h = std::min(s->height, d->height);
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* a = s->row(y);
    std::uint32_t* b = d->row(y);
    for (int x = 0; x < w; ++x) b[x] = d->mono ? gdi::monoPixelOf(gdi::colorOf(a[x] & 0xFFFFFFu)) : a[x];
  }
}

}  // namespace

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
  if (FDC || !FBitmap) return;
  FDC = CreateCompatibleDC(nullptr);
  if (!FDC) return;
  if (FBitmap->FHandle) FOldBitmap = SelectObject(FDC, FBitmap->FHandle);
  SetHandle(FDC);
}

void TBitmapCanvas::FreeContext() {
  if (!FDC) return;
  HDC dc = FDC;
  SetHandle(nullptr);
  if (FOldBitmap) SelectObject(dc, FOldBitmap);
  FOldBitmap = nullptr;
  DeleteDC(dc);
  FDC = nullptr;
}

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  delete FCanvas;
  freeMask();
  if (FHandle) DeleteObject(FHandle);
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = new TBitmapCanvas(this);
    FCanvas->OnChange = [this](TObject*) { Changed(this); };
  }
  return FCanvas;
}

void TBitmap::freeMask() {
  if (FMaskHandle) DeleteObject(FMaskHandle);
  FMaskHandle = nullptr;
}

HBITMAP TBitmap::makeBitmap(TPixelFormat Format, int AWidth, int AHeight,
                            const std::vector<std::uint32_t>* Palette) const {
  if (AWidth <= 0 || AHeight <= 0) return nullptr;
  if (Format == pfDevice || Format == pfCustom) return gdi::createBitmapFromPixels(AWidth, AHeight, nullptr);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = AWidth;
  info.header.biHeight = AHeight;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bitCountOf(Format));
  info.header.biCompression = BI_RGB;
  if (Format == pf16bit) {
    info.header.biCompression = BI_BITFIELDS;
    DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(info.colours, masks, sizeof masks);
  } else if (Format <= pf8bit) {
    std::vector<std::uint32_t> p = Palette && !Palette->empty() ? *Palette : standardPalette(Format);
    p.resize(std::min<size_t>(p.size(), size_t{1} << info.header.biBitCount));
    info.header.biClrUsed = static_cast<DWORD>(p.size());
    for (size_t i = 0; i < p.size(); ++i)
      info.colours[i] = {static_cast<BYTE>(p[i]), static_cast<BYTE>(p[i] >> 8), static_cast<BYTE>(p[i] >> 16), 0};
  }
  void* bits = nullptr;
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
}

void TBitmap::replaceHandle(HBITMAP Value, TPixelFormat Format, int AWidth, int AHeight) {
  if (FCanvas) FCanvas->FreeContext();
  freeMask();
  if (FHandle && FHandle != Value) DeleteObject(FHandle);
  FHandle = Value;
  FPixelFormat = Format;
  // An empty bitmap still remembers a size with one side 0, so that Width
  // and Height can be set one after the other.
  FWidth = AWidth;
  FHeight = AHeight;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == FHandle) return;
  TPixelFormat format = pfDevice;
  int w = 0, h = 0;
  if (Value) {
    DIBSECTION ds{};
    int n = GetObject(Value, sizeof ds, &ds);
    if (n == 0) throw EInvalidGraphic("Bitmap image is not valid");
    w = ds.dsBm.bmWidth;
    h = ds.dsBm.bmHeight;
    if (n == static_cast<int>(sizeof(DIBSECTION))) {
      format = formatOfBitCount(ds.dsBmih.biBitCount);
      if (format == pf15bit && ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[1] == 0x07E0)
        format = pf16bit;
    } else if (ds.dsBm.bmBitsPixel == 1) {
      format = pf1bit;
    }
  }
  replaceHandle(Value, format, w, h);
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  if (FCanvas) FCanvas->FreeContext();
  HBITMAP h = FHandle;
  FHandle = nullptr;
  replaceHandle(nullptr, FPixelFormat, 0, 0);
  return h;
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  HBITMAP h = makeBitmap(FPixelFormat, AWidth, AHeight, &FPalette);
  if (h && FHandle) {
    if (FCanvas) FCanvas->FreeContext();
    copyPixels(FHandle, h);
  }
  replaceHandle(h, FPixelFormat, AWidth, AHeight);
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == FPixelFormat || Value == pfCustom) return;
  HBITMAP h = makeBitmap(Value, FWidth, FHeight, nullptr);
  if (h && FHandle) {
    if (FCanvas) FCanvas->FreeContext();
    copyPixels(FHandle, h);
  }
  replaceHandle(h, Value, FWidth, FHeight);
  FPalette.clear();
  Changed(this);
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
  if (Value == HandleType()) return;
  SetPixelFormat(Value == bmDDB ? pfDevice : pf24bit);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == Monochrome()) return;
  SetPixelFormat(Value ? pf1bit : pfDevice);
}

TColor TBitmap::TransparentColor() {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return static_cast<TColor>(ColorToRGB(FTransparentColor));
  if (Monochrome()) return clWhite;
  if (Empty()) return clDefault;
  return Canvas()->Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  if (Value == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(TransparentColor());
}

void* TBitmap::ScanLine(int Row) {
  DIBSECTION ds{};
  if (!FHandle || Row < 0 || Row >= FHeight ||
      GetObject(FHandle, sizeof ds, &ds) != static_cast<int>(sizeof(DIBSECTION)) || !ds.dsBm.bmBits)
    throw EInvalidGraphicOperation("Scan line index out of range");
  GdiFlush();
  // Drawing since the last look has to reach the bits; DIB memory is
  // bottom-up.
  gdi::Surface* s = gdi::surfaceOf(FHandle);
  if (s && s->push) s->push();
  Changed(this);
  return static_cast<std::uint8_t*>(ds.dsBm.bmBits) + static_cast<std::ptrdiff_t>(FHeight - 1 - Row) * ds.dsBm.bmWidthBytes;
}

HBITMAP TBitmap::MaskHandle() {
  TColor c = TransparentColor();
  if (!FMaskHandle || FMaskColor != c) Mask(c);
  return FMaskHandle;
}

void TBitmap::Mask(TColor TransparentColor) {
  freeMask();
  if (!FHandle) return;
  FMaskColor = TransparentColor;
  FMaskHandle = colourMask(FHandle, ColorToRGB(TransparentColor));
}

HBITMAP TBitmap::ReleaseMaskHandle() {
  HBITMAP h = MaskHandle();
  FMaskHandle = nullptr;
  return h;
}

void TBitmap::loadImage(const gdi::Image& Image) {
  TPixelFormat format = formatOfBitCount(Image.bitDepth);
  if (format == pfDevice) format = pf24bit;
  const std::vector<std::uint32_t>* palette = format <= pf8bit && !Image.palette.empty() ? &Image.palette : nullptr;
  HBITMAP h = makeBitmap(format, Image.width, Image.height, palette);
  if (!h) throw EInvalidGraphic("Bitmap image is not valid");
  gdi::Surface* d = gdi::surfaceOf(h);
  {
    gdi::SurfaceUse out(d, true);
    for (int y = 0; y < Image.height; ++y)
      std::memcpy(d->row(y), &Image.pixels[static_cast<size_t>(y) * Image.width],
                  sizeof(std::uint32_t) * static_cast<size_t>(Image.width));
  }
  replaceHandle(h, format, Image.width, Image.height);
  FPalette = palette ? *palette : std::vector<std::uint32_t>{};
  Changed(this);
}

void TBitmap::LoadFromStream(TStream* Stream) {
  std::vector<std::uint8_t> bytes = readAll(Stream);
  gdi::Image image;
  if (bytes.empty() || !gdi::decodeBmp(bytes.data(), bytes.size(), image))
    throw EInvalidGraphic("Bitmap image is not valid");
  loadImage(image);
}

void TBitmap::SaveToStream(TStream* Stream) {
  gdi::Image image;
  if (!FHandle || !gdi::imageFromBitmap(FHandle, image)) {
    // An empty bitmap writes nothing, as the class library's does.
    return;
  }
  int bits = 24;
  if (FPixelFormat <= pf8bit && FPixelFormat != pfDevice) {
    bits = bitCountOf(FPixelFormat);
    // The section's palette: every pixel has been mapped into it.
    image.palette = FPalette.empty() ? standardPalette(FPixelFormat) : FPalette;
    image.palette.resize(std::min<size_t>(image.palette.size(), size_t{1} << bits));
    for (auto& p : image.pixels) p &= 0xFFFFFFu;
  } else if (FPixelFormat == pf32bit) {
    bits = 32;
  }
  std::vector<std::uint8_t> bytes = gdi::encodeBmp(image, bits);
  if (bytes.empty()) throw EInvalidGraphic("Bitmap image is not valid");
  Stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE Instance, const std::string& ResName) {
  HRSRC res = FindResource(Instance, ResName.c_str(), RT_BITMAP);
  if (!res) throw EInvalidGraphic("Resource %s not found", {ResName});
  HGLOBAL data = LoadResource(Instance, res);
  DWORD size = SizeofResource(Instance, res);
  const auto* bytes = static_cast<const std::uint8_t*>(LockResource(data));
  gdi::Image image;
  if (!bytes || !gdi::decodeDib(bytes, size, image)) throw EInvalidGraphic("Bitmap image is not valid");
  loadImage(image);
}

void TBitmap::LoadFromResourceID(HINSTANCE Instance, int ResID) {
  HRSRC res = FindResource(Instance, MAKEINTRESOURCE(ResID), RT_BITMAP);
  if (!res) throw EInvalidGraphic("Resource %s not found", {IntToStr(ResID)});
  HGLOBAL data = LoadResource(Instance, res);
  DWORD size = SizeofResource(Instance, res);
  const auto* bytes = static_cast<const std::uint8_t*>(LockResource(data));
  gdi::Image image;
  if (!bytes || !gdi::decodeDib(bytes, size, image)) throw EInvalidGraphic("Bitmap image is not valid");
  loadImage(image);
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    replaceHandle(nullptr, FPixelFormat, 0, 0);
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    if (b == this) return;
    HBITMAP h = makeBitmap(b->FPixelFormat, b->FWidth, b->FHeight, &b->FPalette);
    if (h && b->FHandle) copyPixels(b->FHandle, h);
    replaceHandle(h, b->FPixelFormat, b->FWidth, b->FHeight);
    FPalette = b->FPalette;
    FTransparent = b->FTransparent;
    FTransparentColor = b->FTransparentColor;
    FTransparentMode = b->FTransparentMode;
    Changed(this);
    return;
  }
  if (Is<TIcon>(Source) || Is<TMetafile>(Source)) {
    auto* g = static_cast<TGraphic*>(Source);
    // Drawn onto a white bitmap of its size; other graphics (a JPEG image)
    // know best how to become a bitmap and are asked through AssignTo.
    HBITMAP h = makeBitmap(pfDevice, g->Width(), g->Height(), nullptr);
    replaceHandle(h, pfDevice, g->Width(), g->Height());
    if (h) {
      TCanvas* c = Canvas();
      c->Brush()->SetColor(clWhite);
      c->FillRect(RECT{0, 0, FWidth, FHeight});
      c->Draw(0, 0, g);
    }
    Changed(this);
    return;
  }
  inherited::Assign(Source);
}

void TBitmap::AssignTo(TPersistent* Dest) { inherited::AssignTo(Dest); }

void TBitmap::Changed(TObject* Sender) {
  freeMask();
  inherited::Changed(Sender);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!FHandle) return;
  HDC dst = ACanvas->Handle();
  HDC src = Canvas()->Handle();
  int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
  int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
  if (!Transparent()) {
    StretchBlt(dst, Rect.left, Rect.top, w, h, src, 0, 0, FWidth, FHeight, static_cast<DWORD>(ACanvas->CopyMode()));
  } else {
    // dst ^ src, cleared where opaque, ^ src again: the source where opaque,
    // the destination where transparent.
    HBITMAP mask = colourMask(FHandle, ColorToRGB(TransparentColor()));
    BitmapDC m(mask);
    COLORREF text = SetTextColor(dst, RGB(0, 0, 0));
    COLORREF back = SetBkColor(dst, RGB(255, 255, 255));
    StretchBlt(dst, Rect.left, Rect.top, w, h, src, 0, 0, FWidth, FHeight, SRCINVERT);
    StretchBlt(dst, Rect.left, Rect.top, w, h, m.dc(), 0, 0, FWidth, FHeight, SRCAND);
    StretchBlt(dst, Rect.left, Rect.top, w, h, src, 0, 0, FWidth, FHeight, SRCINVERT);
    SetTextColor(dst, text);
    SetBkColor(dst, back);
    DeleteObject(mask);
  }
  SetStretchBltMode(dst, oldMode);
}

// ---------------------------------------------------------------------------
// TIcon.

TIcon::~TIcon() {
  if (FHandle) DestroyIcon(FHandle);
}

void TIcon::replace(HICON Value) {
  if (FHandle && FHandle != Value) DestroyIcon(FHandle);
  FHandle = Value;
  Changed(this);
}

void TIcon::SetHandle(HICON Value) {
  FData.clear();
  replace(Value);
}

HICON TIcon::ReleaseHandle() {
  HICON h = FHandle;
  FHandle = nullptr;
  FData.clear();
  Changed(this);
  return h;
}

int TIcon::Width() const {
  auto d = FHandle ? gdi::iconOf(FHandle) : nullptr;
  return d ? d->width : 0;
}

int TIcon::Height() const {
  auto d = FHandle ? gdi::iconOf(FHandle) : nullptr;
  return d ? d->height : 0;
}

void TIcon::SetWidth(int Value) {
  if (Value != Width()) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHeight(int Value) {
  if (Value != Height()) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::LoadFromStream(TStream* Stream) {
  std::vector<std::uint8_t> bytes = readAll(Stream);
  gdi::IconImage icon;
  bool cursor = false;
  std::vector<gdi::IconEntry> entries;
  if (bytes.empty() || !gdi::readIconDirectory(bytes.data(), bytes.size(), entries, &cursor) || cursor ||
      !gdi::decodeIcon(bytes.data(), bytes.size(), icon, 32, 32))
    throw EInvalidGraphic("Icon image is not valid");
  gdi::IconData d;
  d.width = icon.image.width;
  d.height = icon.image.height;
  d.colour = icon.image.pixels;
  d.mask = icon.andMask;
  d.alpha = icon.image.hasAlpha && icon.image.bitDepth == 32;
  if (!d.alpha)
    for (auto& p : d.colour) p &= 0xFFFFFFu;
  d.mask.resize(d.colour.size(), 0);
  HICON h = gdi::addIcon(std::move(d));
  if (!h) throw EInvalidGraphic("Icon image is not valid");
  replace(h);
  FData = std::move(bytes);
}

void TIcon::SaveToStream(TStream* Stream) {
  if (!FData.empty()) {
    Stream->WriteBuffer(FData.data(), static_cast<int>(FData.size()));
    return;
  }
  auto d = FHandle ? gdi::iconOf(FHandle) : nullptr;
  if (!d || d->width <= 0) throw EInvalidGraphic("Icon image is not valid");
  // One 32-bit image with its AND mask.
  int w = d->width, h = d->height;
  size_t maskStride = static_cast<size_t>(((w + 31) / 32) * 4);
  size_t imageSize = 40 + static_cast<size_t>(w) * h * 4 + maskStride * h;
  std::vector<std::uint8_t> out(6 + 16 + imageSize, 0);
  auto p16 = [&](size_t at, unsigned v) {
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  auto p32 = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  p16(2, 1);
  p16(4, 1);
  out[6] = static_cast<std::uint8_t>(w >= 256 ? 0 : w);
  out[7] = static_cast<std::uint8_t>(h >= 256 ? 0 : h);
  p16(10, 1);
  p16(12, 32);
  p32(14, static_cast<std::uint32_t>(imageSize));
  p32(18, 22);
  size_t b = 22;
  p32(b, 40);
  p32(b + 4, static_cast<std::uint32_t>(w));
  p32(b + 8, static_cast<std::uint32_t>(h * 2));
  p16(b + 12, 1);
  p16(b + 14, 32);
  size_t px = b + 40;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint32_t c = d->colour[static_cast<size_t>(y) * w + x];
      if (!d->alpha) c = (c & 0xFFFFFFu) | (d->mask[static_cast<size_t>(y) * w + x] ? 0u : 0xFF000000u);
      p32(px + (static_cast<size_t>(h - 1 - y) * w + x) * 4, c);
    }
  size_t mk = px + static_cast<size_t>(w) * h * 4;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (d->mask[static_cast<size_t>(y) * w + x])
        out[mk + static_cast<size_t>(h - 1 - y) * maskStride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
  Stream->WriteBuffer(out.data(), static_cast<int>(out.size()));
}

void TIcon::Assign(TPersistent* Source) {
  if (!Source) {
    SetHandle(nullptr);
    return;
  }
  if (auto* i = dynamic_cast<TIcon*>(Source)) {
    if (i == this) return;
    HICON h = i->FHandle ? CopyIcon(i->FHandle) : nullptr;
    replace(h);
    FData = i->FData;
    return;
  }
  inherited::Assign(Source);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!FHandle) return;
  DrawIconEx(ACanvas->Handle(), Rect.left, Rect.top, FHandle, Rect.right - Rect.left, Rect.bottom - Rect.top, 0,
             nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------------------
// TMetafile.

namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
int le16s(const std::vector<std::uint8_t>& b, size_t at) {
  return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

void TMetafile::SetWidth(int Value) {
  if (Value == FWidth) return;
  FWidth = Value;
  Changed(this);
}

void TMetafile::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed(this);
}

void TMetafile::LoadFromStream(TStream* Stream) {
  std::vector<std::uint8_t> bytes = readAll(Stream);
  int w = 0, h = 0;
  bool enhanced = false;
  if (bytes.size() >= 88 && le32(bytes, 0) == 1 && le32(bytes, 40) == 0x464D4520u) {
    // EMR_HEADER: the frame in 0.01 mm, shown at the screen's 96 DPI.
    enhanced = true;
    auto frame = [&](size_t at) { return static_cast<std::int64_t>(static_cast<std::int32_t>(le32(bytes, at))); };
    // A damaged header's frame can span more than an int holds.
    auto extent = [&](size_t to, size_t from) {
      const std::int64_t d = std::clamp<std::int64_t>(frame(to) - frame(from), INT_MIN, INT_MAX);
      return MulDiv(static_cast<int>(d), 96, 2540);
    };
    w = extent(32, 24);
    h = extent(36, 28);
  } else if (bytes.size() >= 22 && le32(bytes, 0) == 0x9AC6CDD7u) {
    // A placeable metafile: its box in units of `inch` per inch.
    int inch = le16s(bytes, 14);
    if (inch <= 0) inch = 1440;
    w = MulDiv(le16s(bytes, 10) - le16s(bytes, 6), 96, inch);
    h = MulDiv(le16s(bytes, 12) - le16s(bytes, 8), 96, inch);
  } else if (bytes.size() >= 18 && (le16s(bytes, 0) == 1 || le16s(bytes, 0) == 2) && le16s(bytes, 2) == 9) {
    // A plain metafile knows no size.
  } else {
    throw EInvalidGraphic("Metafile is not valid");
  }
  FData = std::move(bytes);
  FWidth = w;
  FHeight = h;
  FEnhanced = enhanced;
  Changed(this);
}

void TMetafile::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<int>(FData.size()));
}

void TMetafile::Assign(TPersistent* Source) {
  if (!Source) {
    FData.clear();
    FWidth = FHeight = 0;
    Changed(this);
    return;
  }
  if (auto* m = dynamic_cast<TMetafile*>(Source)) {
    FData = m->FData;
    FWidth = m->FWidth;
    FHeight = m->FHeight;
    FEnhanced = m->FEnhanced;
    Changed(this);
    return;
  }
  inherited::Assign(Source);
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& Rect) {
  (void)ACanvas;
  (void)Rect;
}

// ---------------------------------------------------------------------------
// TPicture and the registered file formats.

namespace qv::classlib {
// Jpeg.cpp: adds "jpg" and "jpeg"; called here so that the unit is always
// linked with the picture that needs it.
void registerJpegFormats();
}  // namespace qv::classlib

namespace {

struct FileFormat {
  std::string extension;  // lower case, without the dot
  std::string description;
  TGraphicClass graphicClass;
};

std::vector<FileFormat>& fileFormats() {
  static std::vector<FileFormat> formats;
  static bool initialised = false;
  if (!initialised) {
    initialised = true;
    formats.push_back({"wmf", "Metafiles", TMetafile::StaticClass()});
    formats.push_back({"emf", "Enhanced Metafiles", TMetafile::StaticClass()});
    formats.push_back({"ico", "Icons", TIcon::StaticClass()});
    formats.push_back({"bmp", "Bitmaps", TBitmap::StaticClass()});
    qv::classlib::registerJpegFormats();
  }
  return formats;
}

std::string normalExtension(const std::string& Extension) {
  std::string e = Extension;
  if (!e.empty() && e[0] == '.') e.erase(0, 1);
  return AnsiLowerCase(e);
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                  TGraphicClass AGraphicClass) {
  fileFormats().push_back({normalExtension(Extension), Description, AGraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass AClass) {
  auto& f = fileFormats();
  f.erase(std::remove_if(f.begin(), f.end(), [&](const FileFormat& x) { return x.graphicClass == AClass; }), f.end());
}

TGraphicClass TPicture::FindGraphicClass(const std::string& Extension) {
  std::string e = normalExtension(Extension);
  auto& f = fileFormats();
  for (auto it = f.rbegin(); it != f.rend(); ++it)
    if (it->extension == e) return it->graphicClass;
  return nullptr;
}

std::string TPicture::GraphicFileMask(TGraphicClass AClass) {
  std::string mask;
  auto& f = fileFormats();
  for (auto it = f.rbegin(); it != f.rend(); ++it)
    if (!AClass || it->graphicClass->InheritsFrom(AClass)) mask += (mask.empty() ? "*." : ";*.") + it->extension;
  return mask;
}

std::string TPicture::GraphicFilter(TGraphicClass AClass) {
  std::string filter;
  auto& f = fileFormats();
  for (auto it = f.rbegin(); it != f.rend(); ++it)
    if (!AClass || it->graphicClass->InheritsFrom(AClass))
      filter += (filter.empty() ? "" : "|") + it->description + " (*." + it->extension + ")|*." + it->extension;
  return filter;
}

TPicture::~TPicture() { delete FGraphic; }

void TPicture::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* Stream) { readData(Stream); }, [this](TStream* Stream) { writeData(Stream); },
      FGraphic != nullptr && !FGraphic->Empty());
}

void TPicture::readData(TStream* Stream) {
  std::uint8_t nameLength = 0;
  Stream->ReadBuffer(&nameLength, 1);
  std::string name(nameLength, '\0');
  if (nameLength) Stream->ReadBuffer(name.data(), nameLength);
  TPersistentClass cls = GetClass(name);
  if (!cls || !cls->InheritsFrom(TGraphic::StaticClass())) throw EInvalidGraphic("Unknown picture format " + name);
  std::unique_ptr<TObject> obj(cls->Create());
  auto* graphic = dynamic_cast<TGraphic*>(obj.get());
  if (!graphic) throw EInvalidGraphic("Unknown picture format " + name);
  TMemoryStream data;
  std::int64_t rest = Stream->Size() - Stream->Position();
  if (dynamic_cast<TBitmap*>(graphic)) {
    std::uint8_t size[4] = {};
    Stream->ReadBuffer(size, 4);
    std::int64_t length = size[0] | size[1] << 8 | size[2] << 16 | static_cast<std::int64_t>(size[3]) << 24;
    if (length > rest - 4) throw EInvalidGraphic("Bitmap image is not valid");
    rest = length;
  }
  if (rest > 0) data.CopyFrom(Stream, rest);
  data.SetPosition(0);
  graphic->LoadFromStream(&data);
  SetGraphic(graphic);
}

void TPicture::writeData(TStream* Stream) {
  TGraphic* graphic = Graphic();
  std::string name = graphic->ClassName();
  auto nameLength = static_cast<std::uint8_t>(name.size());
  Stream->WriteBuffer(&nameLength, 1);
  Stream->WriteBuffer(name.data(), nameLength);
  TMemoryStream data;
  graphic->SaveToStream(&data);
  if (dynamic_cast<TBitmap*>(graphic)) {
    auto length = static_cast<std::uint32_t>(data.Size());
    std::uint8_t size[4] = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                            static_cast<std::uint8_t>(length >> 16), static_cast<std::uint8_t>(length >> 24)};
    Stream->WriteBuffer(size, 4);
  }
  data.SetPosition(0);
  Stream->CopyFrom(&data, data.Size());
}

void TPicture::Changed(TObject* Sender) {
  (void)Sender;
  if (OnChange) OnChange(this);
}

void TPicture::setNew(TGraphic* NewGraphic) {
  delete FGraphic;
  FGraphic = NewGraphic;
  if (FGraphic) {
    FGraphic->OnChange = [this](TObject* Sender) { Changed(Sender); };
    FGraphic->OnProgress = [this](TObject* Sender, TProgressStage Stage, BYTE Percent, bool Redraw, const TRect& R,
                                  const std::string& Msg) {
      if (OnProgress) OnProgress(Sender, Stage, Percent, Redraw, R, Msg);
    };
  }
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (!Value) {
    setNew(nullptr);
    return;
  }
  if (Value == FGraphic) return;
  TGraphic* copy = dynamic_cast<TGraphic*>(Value->ClassType()->Create());
  if (!copy) throw EInvalidGraphic("Cannot create a %s", {Value->ClassName()});
  try {
    copy->Assign(Value);
  } catch (...) {
    delete copy;
    throw;
  }
  setNew(copy);
}

TBitmap* TPicture::Bitmap() {
  if (!Is<TBitmap>(FGraphic)) setNew(new TBitmap);
  return static_cast<TBitmap*>(FGraphic);
}

TIcon* TPicture::Icon() {
  if (!Is<TIcon>(FGraphic)) setNew(new TIcon);
  return static_cast<TIcon*>(FGraphic);
}

void TPicture::LoadFromFile(const std::string& FileName) {
  std::string ext = normalExtension(ExtractFileExt(FileName));
  TGraphicClass cls = FindGraphicClass(ext);
  if (!cls) throw EInvalidGraphic("Unknown picture file extension (.%s)", {ext});
  TGraphic* g = dynamic_cast<TGraphic*>(cls->Create());
  if (!g) throw EInvalidGraphic("Unknown picture file extension (.%s)", {ext});
  g->OnProgress = OnProgress;
  try {
    g->LoadFromFile(FileName);
  } catch (...) {
    delete g;
    throw;
  }
  setNew(g);
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    if (p != this) SetGraphic(p->FGraphic);
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    inherited::Assign(Source);
  }
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (FGraphic && Is<TGraphic>(Dest)) {
    Dest->Assign(FGraphic);
    return;
  }
  inherited::AssignTo(Dest);
}
