#include "platform/classlib/ImgList.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Blit.h"
#include "platform/os/gdi/Dc.h"
#include "platform/os/gdi/GdiObject.h"
#include "platform/os/gdi/Icon.h"
#include "platform/os/user/SysColors.h"

namespace gdi = qv::os::gdi;

// ---------------------------------------------------------------------------
// HIMAGELIST.

namespace {

struct ListImage {
  std::vector<std::uint32_t> pixels;  // cx * cy, 0x00RRGGBB
  std::vector<std::uint8_t> mask;     // 1 = background
};

struct ImageList {
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
  COLORREF bk = CLR_NONE;
  std::vector<ListImage> images;
  bool masked() const { return (flags & ILC_MASK) != 0; }
};

// Handles are keys into this table, so a stale or foreign handle is refused
// instead of being followed.
std::unordered_map<HIMAGELIST, std::unique_ptr<ImageList>>& lists() {
  static std::unordered_map<HIMAGELIST, std::unique_ptr<ImageList>> table;
  return table;
}

ImageList* listOf(HIMAGELIST h) {
  auto it = lists().find(h);
  return it == lists().end() ? nullptr : it->second.get();
}

// The bitmap's pixels, 0x00RRGGBB top-down; false for a handle that is no bitmap.
bool readBitmap(HBITMAP bitmap, int& width, int& height, std::vector<std::uint32_t>& pixels, bool& mono) {
  gdi::Surface* s = gdi::surfaceOf(bitmap);
  if (!s) return false;
  gdi::SurfaceUse use(s, false);
  width = s->width;
  height = s->height;
  mono = s->mono;
  pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = s->row(y)[x] & 0xFFFFFFu;
  return true;
}

// Cuts a strip into images of the list's size: whole images only, at least
// one; pixels beyond the bitmap are black and opaque.
std::vector<ListImage> cut(const ImageList& list, HBITMAP image, HBITMAP mask, bool byColour, COLORREF colour) {
  std::vector<ListImage> out;
  int w = 0, h = 0, mw = 0, mh = 0;
  bool mono = false, maskMono = false;
  std::vector<std::uint32_t> pixels, maskPixels;
  if (!readBitmap(image, w, h, pixels, mono)) return out;
  bool haveMask = !byColour && mask && readBitmap(mask, mw, mh, maskPixels, maskMono);
  std::uint32_t key = gdi::pixelOf(colour & 0xFFFFFFu);
  int count = std::max(1, w / list.cx);
  for (int i = 0; i < count; ++i) {
    ListImage li;
    li.pixels.assign(static_cast<size_t>(list.cx) * list.cy, 0);
    li.mask.assign(li.pixels.size(), 0);
    for (int y = 0; y < list.cy && y < h; ++y)
      for (int x = 0; x < list.cx && i * list.cx + x < w; ++x) {
        int sx = i * list.cx + x;
        std::uint32_t p = pixels[static_cast<size_t>(y) * w + sx];
        size_t at = static_cast<size_t>(y) * list.cx + x;
        bool back = false;
        if (byColour)
          back = p == key;
        else if (haveMask && sx < mw && y < mh)
          back = gdi::monoPixelOf(gdi::colorOf(maskPixels[static_cast<size_t>(y) * mw + sx])) != 0;
        if (!list.masked()) back = false;
        li.mask[at] = back ? 1 : 0;
        li.pixels[at] = byColour && back ? 0 : p;
      }
    out.push_back(std::move(li));
  }
  return out;
}

class BitmapDC {
 public:
  explicit BitmapDC(HBITMAP bitmap) : bitmap_(bitmap), dc_(CreateCompatibleDC(nullptr)) {
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~BitmapDC() {
    if (old_) SelectObject(dc_, old_);
    if (dc_) DeleteDC(dc_);
    if (bitmap_) DeleteObject(bitmap_);
  }
  BitmapDC(const BitmapDC&) = delete;
  BitmapDC& operator=(const BitmapDC&) = delete;
  HDC dc() const { return dc_; }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

std::uint32_t blend(std::uint32_t p, std::uint32_t q, int percentOfQ) {
  auto ch = [&](int shift) {
    int a = static_cast<int>((p >> shift) & 0xFF), b = static_cast<int>((q >> shift) & 0xFF);
    return static_cast<std::uint32_t>((a * (100 - percentOfQ) + b * percentOfQ) / 100) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  (void)initial;
  (void)grow;
  if (cx < 1 || cy < 1 || cx > gdi::kMaxImageSide || cy > gdi::kMaxImageSide) return nullptr;
  auto list = std::make_unique<ImageList>();
  list->cx = cx;
  list->cy = cy;
  list->flags = flags;
  auto h = reinterpret_cast<HIMAGELIST>(list.get());
  lists().emplace(h, std::move(list));
  return h;
}

BOOL ImageList_Destroy(HIMAGELIST list) { return lists().erase(list) ? TRUE : FALSE; }

int ImageList_GetImageCount(HIMAGELIST list) {
  ImageList* l = listOf(list);
  return l ? static_cast<int>(l->images.size()) : -1;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  ImageList* l = listOf(list);
  if (!l || !cx || !cy) return FALSE;
  *cx = l->cx;
  *cy = l->cy;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy) {
  ImageList* l = listOf(list);
  if (!l || cx < 1 || cy < 1 || cx > gdi::kMaxImageSide || cy > gdi::kMaxImageSide) return FALSE;
  l->cx = cx;
  l->cy = cy;
  l->images.clear();
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  ImageList* l = listOf(list);
  if (!l) return -1;
  std::vector<ListImage> added = cut(*l, image, mask, false, 0);
  if (added.empty()) return -1;
  int first = static_cast<int>(l->images.size());
  for (auto& i : added) l->images.push_back(std::move(i));
  return first;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColour) {
  ImageList* l = listOf(list);
  if (!l) return -1;
  std::vector<ListImage> added = cut(*l, image, nullptr, true, maskColour);
  if (added.empty()) return -1;
  int first = static_cast<int>(l->images.size());
  for (auto& i : added) l->images.push_back(std::move(i));
  return first;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
  ImageList* l = listOf(list);
  auto data = icon ? gdi::iconOf(icon) : nullptr;
  if (!l || !data || index < -1 || index >= static_cast<int>(l->images.size())) return -1;
  gdi::IconData d = data->width == l->cx && data->height == l->cy ? *data : gdi::scaledIcon(*data, l->cx, l->cy);
  ListImage li;
  li.pixels.resize(static_cast<size_t>(l->cx) * l->cy);
  li.mask.resize(li.pixels.size());
  for (size_t i = 0; i < li.pixels.size(); ++i) {
    std::uint32_t c = i < d.colour.size() ? d.colour[i] : 0;
    bool back = d.alpha ? (c >> 24) < 128 : (i < d.mask.size() && d.mask[i]);
    if (!l->masked()) back = false;
    li.mask[i] = back ? 1 : 0;
    li.pixels[i] = back ? 0 : (c & 0xFFFFFFu);
  }
  if (index == -1) {
    l->images.push_back(std::move(li));
    return static_cast<int>(l->images.size()) - 1;
  }
  l->images[static_cast<size_t>(index)] = std::move(li);
  return index;
}

BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask) {
  ImageList* l = listOf(list);
  if (!l || index < 0 || index >= static_cast<int>(l->images.size())) return FALSE;
  std::vector<ListImage> added = cut(*l, image, mask, false, 0);
  if (added.empty()) return FALSE;
  l->images[static_cast<size_t>(index)] = std::move(added.front());
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
  ImageList* l = listOf(list);
  if (!l || index < -1 || index >= static_cast<int>(l->images.size())) return FALSE;
  if (index == -1)
    l->images.clear();
  else
    l->images.erase(l->images.begin() + index);
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour) {
  ImageList* l = listOf(list);
  if (!l) return CLR_NONE;
  COLORREF old = l->bk;
  l->bk = colour;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
  ImageList* l = listOf(list);
  return l ? l->bk : CLR_NONE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height, COLORREF background,
                      COLORREF foreground, UINT style) {
  ImageList* l = listOf(list);
  if (!l || index < 0 || index >= static_cast<int>(l->images.size()) || !dc) return FALSE;
  const ListImage& li = l->images[static_cast<size_t>(index)];
  int w = width > 0 ? std::min(width, l->cx) : l->cx;
  int h = height > 0 ? std::min(height, l->cy) : l->cy;
  if (background == CLR_DEFAULT) background = l->bk;
  bool transparent = l->masked() && ((style & ILD_TRANSPARENT) || background == CLR_NONE);

  std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h);
  std::vector<std::uint8_t> mask(pixels.size());
  int percent = (style & ILD_BLEND50) ? 50 : (style & ILD_BLEND25) ? 25 : 0;
  if (foreground == CLR_NONE) percent = 0;
  COLORREF blendColour = foreground == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : foreground;
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      size_t from = static_cast<size_t>(yy) * l->cx + xx, to = static_cast<size_t>(yy) * w + xx;
      bool back = l->masked() && li.mask[from];
      std::uint32_t p = li.pixels[from];
      if (percent && !back) p = blend(p, gdi::pixelOf(blendColour), percent);
      if (back) p = transparent ? 0 : gdi::pixelOf(background & 0xFFFFFFu);
      pixels[to] = p;
      mask[to] = back ? 1 : 0;
    }

  COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
  COLORREF bk = SetBkColor(dc, RGB(255, 255, 255));
  if (style & ILD_MASK) {
    BitmapDC m(gdi::createMonoBitmapFromMask(w, h, mask.data()));
    BitBlt(dc, x, y, w, h, m.dc(), 0, 0, SRCCOPY);
  } else if (transparent) {
    BitmapDC m(gdi::createMonoBitmapFromMask(w, h, mask.data()));
    BitmapDC i(gdi::createBitmapFromPixels(w, h, pixels.data()));
    BitBlt(dc, x, y, w, h, m.dc(), 0, 0, SRCAND);
    BitBlt(dc, x, y, w, h, i.dc(), 0, 0, SRCPAINT);
  } else {
    BitmapDC i(gdi::createBitmapFromPixels(w, h, pixels.data()));
    BitBlt(dc, x, y, w, h, i.dc(), 0, 0, SRCCOPY);
  }
  SetTextColor(dc, text);
  SetBkColor(dc, bk);
  return TRUE;
}

bool qv::classlib::imageListPixels(HIMAGELIST list, int index, std::vector<std::uint32_t>& pixels,
                                   std::vector<std::uint8_t>& mask) {
  ImageList* l = listOf(list);
  if (!l || index < 0 || index >= static_cast<int>(l->images.size())) return false;
  pixels = l->images[static_cast<size_t>(index)].pixels;
  mask = l->images[static_cast<size_t>(index)].mask;
  return true;
}

// ---------------------------------------------------------------------------
// TChangeLink and TCustomImageList.

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(int AWidth, int AHeight) : TComponent(nullptr) {
  FWidth = AWidth;
  FHeight = AHeight;
}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : FClients) link->SetSender(nullptr);
  FClients.clear();
  freeHandle();
}

void TCustomImageList::createHandle() {
  if (FHandle) return;
  FHandle = ImageList_Create(FWidth, FHeight, ILC_COLORDDB | (FMasked ? ILC_MASK : 0u), FAllocBy, FAllocBy);
  if (!FHandle) throw EInvalidOperation("Invalid image size");
  ImageList_SetBkColor(FHandle, FBkColor == clNone ? CLR_NONE : ColorToRGB(FBkColor));
}

void TCustomImageList::freeHandle() {
  if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

HIMAGELIST TCustomImageList::Handle() {
  createHandle();
  return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
  if (Value == FHandle) return;
  freeHandle();
  FHandle = Value;
  int cx = 0, cy = 0;
  if (FHandle && ImageList_GetIconSize(FHandle, &cx, &cy)) {
    FWidth = cx;
    FHeight = cy;
  }
  Change();
}

void TCustomImageList::SetWidth(int Value) {
  if (Value == FWidth) return;
  FWidth = Value;
  freeHandle();
  Change();
}

void TCustomImageList::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  freeHandle();
  Change();
}

void TCustomImageList::SetMasked(bool Value) {
  if (Value == FMasked) return;
  FMasked = Value;
  freeHandle();
  Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  if (FHandle) ImageList_SetBkColor(FHandle, Value == clNone ? CLR_NONE : ColorToRGB(Value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == FBlendColor) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == FDrawingStyle) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == FImageType) return;
  FImageType = Value;
  Change();
}

int TCustomImageList::Count() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::checkIndex(int Index) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->Empty()) return -1;
  int result = ImageList_Add(Handle(), Image->Handle(), Mask ? Mask->Handle() : nullptr);
  Change();
  return result;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  int result = FMasked && MaskColor != clNone
                   ? ImageList_AddMasked(Handle(), Image->Handle(), ColorToRGB(MaskColor))
                   : ImageList_Add(Handle(), Image->Handle(), nullptr);
  Change();
  return result;
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || Image->Empty()) return -1;
  int result = ImageList_AddIcon(Handle(), Image->Handle());
  Change();
  return result;
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  if (!Image || !ImageList_Replace(Handle(), Index, Image->Handle(), Mask ? Mask->Handle() : nullptr))
    throw EInvalidOperation("Unable to Replace Image");
  Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
  if (!NewImage || Index < 0 || Index >= Count()) throw EInvalidOperation("Unable to Replace Image");
  // Through a scratch list, so that the masked colour rule is the same as AddMasked's.
  HIMAGELIST scratch = ImageList_Create(FWidth, FHeight, ILC_COLORDDB | ILC_MASK, 1, 1);
  bool ok = scratch && ImageList_AddMasked(scratch, NewImage->Handle(), ColorToRGB(MaskColor)) == 0;
  if (ok) {
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint8_t> mask;
    qv::classlib::imageListPixels(scratch, 0, pixels, mask);
    HBITMAP image = gdi::createBitmapFromPixels(FWidth, FHeight, pixels.data());
    HBITMAP maskBitmap = gdi::createMonoBitmapFromMask(FWidth, FHeight, mask.data());
    ok = ImageList_Replace(Handle(), Index, image, maskBitmap);
    DeleteObject(image);
    DeleteObject(maskBitmap);
  }
  ImageList_Destroy(scratch);
  if (!ok) throw EInvalidOperation("Unable to Replace Image");
  Change();
}

void TCustomImageList::Delete(int Index) {
  checkIndex(Index);
  ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_RemoveAll(FHandle);
  Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!FHandle || !Canvas) return;
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  UINT style = styles[ADrawingStyle];
  if (AImageType == itMask) style |= ILD_MASK;
  DoDraw(Index, Canvas, X, Y, style, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
  auto rgb = [](TColor c) -> COLORREF {
    if (c == clNone) return CLR_NONE;
    if (c == clDefault) return CLR_DEFAULT;
    return ColorToRGB(c);
  };
  if (Enabled) {
    ImageList_DrawEx(FHandle, Index, Canvas->Handle(), X, Y, 0, 0, rgb(FBkColor), rgb(FBlendColor), Style);
    return;
  }
  std::vector<std::uint32_t> pixels;
  std::vector<std::uint8_t> mask;
  if (!qv::classlib::imageListPixels(FHandle, Index, pixels, mask)) return;
  // The monochrome picture of the image: white where the background shows
  // or the image is white, black for everything else.
  std::vector<std::uint8_t> mono(mask.size());
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = (mask[i] && FMasked) || pixels[i] == 0xFFFFFFu ? 1 : 0;
  BitmapDC src(gdi::createMonoBitmapFromMask(FWidth, FHeight, mono.data()));
  // "S ? P : D" with black bits expanded to all ones: the brush paints where
  // the picture is black.
  constexpr DWORD kRopDSPDxax = 0x00E20746u;
  HDC dc = Canvas->Handle();
  COLORREF text = SetTextColor(dc, RGB(255, 255, 255));
  COLORREF bk = ::SetBkColor(dc, RGB(0, 0, 0));
  const struct {
    int offset;
    int sysColor;
  } passes[] = {{1, COLOR_BTNHIGHLIGHT}, {0, COLOR_BTNSHADOW}};
  for (const auto& pass : passes) {
    HBRUSH brush = CreateSolidBrush(GetSysColor(pass.sysColor));
    HGDIOBJ old = SelectObject(dc, brush);
    BitBlt(dc, X + pass.offset, Y + pass.offset, FWidth, FHeight, src.dc(), 0, 0, kRopDSPDxax);
    SelectObject(dc, old);
    DeleteObject(brush);
  }
  SetTextColor(dc, text);
  ::SetBkColor(dc, bk);
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || !FHandle || Index < 0 || Index >= Count()) return false;
  Image->SetHeight(FHeight);
  Image->SetWidth(FWidth);
  Draw(Image->Canvas(), 0, 0, Index);
  return true;
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value) return;
  Value->SetSender(this);
  if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  (*it)->SetSender(nullptr);
  FClients.erase(it);
}

void TCustomImageList::Change() {
  // A copy: a link's handler may unregister it.
  std::vector<TChangeLink*> clients = FClients;
  for (TChangeLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TCustomImageList*>(Source);
  if (!other) {
    inherited::Assign(Source);
    return;
  }
  freeHandle();
  FWidth = other->FWidth;
  FHeight = other->FHeight;
  FMasked = other->FMasked;
  FBkColor = other->FBkColor;
  FBlendColor = other->FBlendColor;
  FDrawingStyle = other->FDrawingStyle;
  FImageType = other->FImageType;
  if (other->FHandle) {
    createHandle();
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint8_t> mask;
    for (int i = 0; qv::classlib::imageListPixels(other->FHandle, i, pixels, mask); ++i) {
      HBITMAP image = gdi::createBitmapFromPixels(FWidth, FHeight, pixels.data());
      HBITMAP maskBitmap = gdi::createMonoBitmapFromMask(FWidth, FHeight, mask.data());
      ImageList_Add(FHandle, image, maskBitmap);
      DeleteObject(image);
      DeleteObject(maskBitmap);
    }
  }
  Change();
}
