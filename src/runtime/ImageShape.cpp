#include "runtime/ImageShape.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/SysUtils.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/SysInfo.h"
#include "platform/os/user/User.h"

namespace {

bool regionAppliedInProcess() {
  char value[8] = {};
  DWORD n = GetEnvironmentVariable(qv::runtime::kImageShapeRegionVariable, value, sizeof value);
  return n > 0 && n < sizeof value && std::strcmp(value, "set") == 0;
}

void markRegionApplied() { SetEnvironmentVariable(qv::runtime::kImageShapeRegionVariable, "set"); }

struct UnitStart {
  UnitStart() {
    RegisterClass(TImageShape::StaticClass());
    // A fresh desktop (a test starting afresh) is a process that has shaped
    // nothing yet.
    qv::desktop::onReset([] { SetEnvironmentVariable(qv::runtime::kImageShapeRegionVariable, nullptr); });
  }
} unitStart;

}  // namespace

// ---------------------------------------------------------------------------
HRGN CreateRegionFromBitmap(HDC source, const RECT& area, const RECT& dest) {
  RECT clip{};
  GetClipBox(source, &clip);
  COLORREF key = GetPixel(source, clip.left, clip.bottom - 1);

  int width = area.right - area.left;
  int height = area.bottom - area.top;
  HDC copyDC = CreateCompatibleDC(source);
  HBITMAP copyBitmap = CreateCompatibleBitmap(source, width > 0 ? width : 0, height > 0 ? height : 0);
  HGDIOBJ oldBitmap = SelectObject(copyDC, copyBitmap);
  // Shrinking must not blend the key colour into its neighbours.
  SetStretchBltMode(copyDC, COLORONCOLOR);
  StretchBlt(copyDC, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source, clip.left, clip.top,
             clip.right - clip.left, clip.bottom - clip.top, SRCCOPY);

  RECT copyClip{};
  GetClipBox(copyDC, &copyClip);

  // The copy's pixels in one read; GetPixel stays the way when that fails.
  std::vector<std::uint32_t> pixels;
  if (width > 0 && height > 0) {
    SelectObject(copyDC, oldBitmap);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (GetDIBits(copyDC, copyBitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) != height)
      pixels.clear();
    oldBitmap = SelectObject(copyDC, copyBitmap);
  }
  const std::uint32_t keyPixel = (static_cast<std::uint32_t>(GetRValue(key)) << 16) |
                                 (static_cast<std::uint32_t>(GetGValue(key)) << 8) | GetBValue(key);
  auto isKey = [&](int x, int y) {
    if (pixels.empty()) return GetPixel(copyDC, x, y) == key;
    return (pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] &
            0xFFFFFFu) == keyPixel;
  };

  // The key-coloured runs, one-pixel-high rectangles row by row, make one
  // region in a single step rather than one union per run.
  std::vector<RECT> runs;
  for (int y = 0; y < height; ++y) {
    int x = 0;
    while (x < width) {
      if (!isKey(x, y)) {
        ++x;
        continue;
      }
      int start = x;
      while (x < width && isKey(x, y)) ++x;
      runs.push_back(RECT{start, y, x, y + 1});
    }
  }
  std::vector<std::uint8_t> buffer(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(runs.size());
  data->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
  data->rdh.rcBound = RECT{0, 0, width, height};
  if (!runs.empty()) std::memcpy(buffer.data() + sizeof(RGNDATAHEADER), runs.data(), runs.size() * sizeof(RECT));
  HRGN transparent = ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);

  HRGN result = CreateRectRgnIndirect(&copyClip);
  HRGN destRegion = CreateRectRgnIndirect(&dest);
  CombineRgn(result, result, destRegion, RGN_AND);
  if (transparent) CombineRgn(result, result, transparent, RGN_DIFF);

  DeleteObject(destRegion);
  if (transparent) DeleteObject(transparent);
  SelectObject(copyDC, oldBitmap);
  DeleteObject(copyBitmap);
  DeleteDC(copyDC);
  return result;
}

// ---------------------------------------------------------------------------
TImageShape::TImageShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPicture(new TPicture()), FLastRegion(CreateRectRgn(0, 0, 0, 0)) {
  FControlStyle.Include(csReplicatable);
  FWidth = 105;
  FHeight = 105;
  FPicture->OnChange = [this](TObject* Sender) { PictureChanged(Sender); };
  FPicture->OnProgress = [this](TObject* Sender, TProgressStage Stage, BYTE PercentDone, bool RedrawNow,
                                const TRect& R, const std::string& Msg) {
    Progress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
  };
}

TImageShape::~TImageShape() {
  FPicture->OnChange = nullptr;
  FPicture->OnProgress = nullptr;
  delete FPicture;
  DeleteObject(FLastRegion);
}

void TImageShape::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  int w = FWidth, h = FHeight;
  if (FAutoSize && CanAutoSize(w, h)) SetBounds(FLeft, FTop, w, h);
}

void TImageShape::SetCenter(bool Value) {
  if (Value == FCenter) return;
  FCenter = Value;
  PictureChanged(this);
}

void TImageShape::SetStretch(bool Value) {
  if (Value == FStretch) return;
  FStretch = Value;
  PictureChanged(this);
}

void TImageShape::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  PictureChanged(this);
}

void TImageShape::SetProportional(bool Value) {
  if (Value == FProportional) return;
  FProportional = Value;
  PictureChanged(this);
}

bool TImageShape::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (ComponentState().Contains(csDesigning) && FPicture->Width() <= 0 && FPicture->Height() <= 0) return false;
  if (FAlign == alNone || FAlign == alLeft || FAlign == alRight) NewWidth = FPicture->Width();
  if (FAlign == alNone || FAlign == alTop || FAlign == alBottom) NewHeight = FPicture->Height();
  return true;
}

TRect TImageShape::DestRect() {
  return qv::classlib::pictureDestRect(FPicture->Width(), FPicture->Height(), ClientWidth(), ClientHeight(), FStretch,
                                       FProportional, FCenter);
}

void TImageShape::Paint() { qv::classlib::paintPicture(this, Canvas(), FPicture->Graphic(), DestRect(), FDrawing); }

void TImageShape::Loaded() {
  inherited::Loaded();
  // A picture streamed with the form shapes the parent once the whole form
  // (its size and border) has been read.
  if (FPicture->Graphic()) PictureChanged(this);
}

void TImageShape::PictureChanged(TObject* Sender) {
  (void)Sender;
  if (ComponentState().Contains(csLoading)) return;
  TGraphic* g = FPicture->Graphic();
  if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0) SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
  if (g) {
    if (!dynamic_cast<TMetafile*>(g) && !dynamic_cast<TIcon*>(g)) g->SetTransparent(FTransparent);
    if (!g->Transparent() && FStretch && !FProportional)
      FControlStyle.Include(csOpaque);
    else
      FControlStyle.Exclude(csOpaque);
  } else {
    FControlStyle.Exclude(csOpaque);
  }
  if (!FDrawing) Invalidate();
  if (g && !g->Empty() && !ComponentState().Contains(csDesigning)) applyWindowRegion();
}

void TImageShape::applyWindowRegion() {
  // Only a window can take a shape.
  TWinControl* parent = Parent();
  if (!parent) return;
  TGraphic* g = FPicture->Graphic();

  HDC screen = GetDC(nullptr);
  HDC memDC = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, g->Width(), g->Height());
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(memDC, bitmap);
  HRGN region = nullptr;
  try {
    TCanvas canvas;
    canvas.SetHandle(memDC);
    canvas.Draw(0, 0, g);
    canvas.SetHandle(nullptr);
    region = CreateRegionFromBitmap(memDC, ClientRect(), DestRect());
  } catch (...) {
    SelectObject(memDC, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memDC);
    throw;
  }
  SelectObject(memDC, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memDC);

  // From the control's client coordinates to the parent's window
  // coordinates: the frame is taken as equal on the left, right and bottom,
  // the caption making up the rest at the top.
  HWND wnd = parent->Handle();
  RECT windowRect{}, clientRect{};
  GetWindowRect(wnd, &windowRect);
  GetClientRect(wnd, &clientRect);
  int windowWidth = windowRect.right - windowRect.left, windowHeight = windowRect.bottom - windowRect.top;
  int border = (windowWidth - clientRect.right) / 2;
  int dx = border + FLeft;
  int dy = (windowHeight - clientRect.bottom) - border + FTop;
  OffsetRgn(region, dx, dy);

  if (!regionAppliedInProcess()) {
    CombineRgn(FLastRegion, region, nullptr, RGN_COPY);
    markRegionApplied();
  } else {
    // What the parent shows of other shapes stays; this control's own last
    // part is replaced by the new one.
    HRGN rest = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(wnd, rest);
    CombineRgn(rest, rest, FLastRegion, RGN_DIFF);
    CombineRgn(FLastRegion, region, nullptr, RGN_COPY);
    CombineRgn(region, rest, region, RGN_OR);
    DeleteObject(rest);
  }
  // The window owns the region from here on.
  SetWindowRgn(wnd, region, TRUE);
}

void TImageShape::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseDown(Button, Shift, X, Y);
  FDragging = true;
  GetCursorPos(&FLastPos);
}

void TImageShape::MouseMove(TShiftState Shift, int X, int Y) {
  inherited::MouseMove(Shift, X, Y);
  if (FDragging && FMovable && Parent()) {
    TPoint pos{};
    GetCursorPos(&pos);
    TWinControl* parent = Parent();
    parent->SetBounds(parent->Left() + pos.x - FLastPos.x, parent->Top() + pos.y - FLastPos.y, parent->Width(),
                      parent->Height());
    FLastPos = pos;
  }
}

void TImageShape::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  inherited::MouseUp(Button, Shift, X, Y);
  FDragging = false;
}

void TImageShape::Progress(TObject* Sender, TProgressStage Stage, BYTE PercentDone, bool RedrawNow, const TRect& R,
                           const std::string& Msg) {
  if (RedrawNow && FIncrementalDisplay) Repaint();
  if (OnProgress) OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}
