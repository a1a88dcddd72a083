#include "lookandfeel/uiGDIPlusClasses.h"

#include <climits>
#include <memory>

#include "platform/com/Stream.h"
#include "platform/os/gdi/Dib.h"
#include "platform/os/kernel/Memory.h"
#include "platform/os/user/Paint.h"

namespace {

const uiGDIPlusAPI::TGdiPlusEntryPoints& GP() { return uiGDIPlusAPI::EntryPoints(); }

int StartCount = 0;
TClass ImageClass = TuiGPNullImage::StaticClass();

// The size of a bitmap file's header: a PNG is told from a bitmap by it.
constexpr int kFileHeaderSize = 14;
constexpr WORD kBitmapSignature = 0x4D42;  // "BM"

void RegisterPNG() {
  ImageClass = TuiGPNullImage::StaticClass();
  if (!uiIsGDIPlusAvailable()) return;
  uiPNGEncoderID();
  ImageClass = TuiGPImage::StaticClass();
  RegisterClass(TuiPNGImage::StaticClass());
  TPicture::RegisterFileFormat("PNG", "PNG Image File", TuiPNGImage::StaticClass());
}

void UnregisterPNG() {
  TPicture::UnregisterGraphicClass(TuiPNGImage::StaticClass());
  UnRegisterClass(TuiPNGImage::StaticClass());
}

}  // namespace

TClass uiGPImageClass() { return ImageClass; }

// ---------------------------------------------------------------------------
void* TuiGPBase::operator new(std::size_t Size) {
  void* p = GP().GdipAlloc ? GP().GdipAlloc(Size) : nullptr;
  if (p == nullptr) throw EOutOfMemory("Out of memory");
  return p;
}

void TuiGPBase::operator delete(void* P) noexcept {
  // Without GDI+ the block's allocator is gone with it; leaving the block is
  // all that is safe then.
  if (P != nullptr && GP().GdipFree) GP().GdipFree(P);
}

// ---------------------------------------------------------------------------
TuiGPBrush::~TuiGPBrush() {
  if (FNativeBrush != nullptr && GP().GdipDeleteBrush) GP().GdipDeleteBrush(FNativeBrush);
}

GpStatus TuiGPBrush::SetStatus(GpStatus Status) {
  if (Status != Ok && Status != FLastStatus) FLastStatus = Status;
  return Status;
}

TuiGPBrush* TuiGPBrush::Clone() {
  GpBrush* clone = nullptr;
  if (GP().GdipCloneBrush) SetStatus(GP().GdipCloneBrush(FNativeBrush, &clone));
  try {
    return new TuiGPBrush(clone, FLastStatus);
  } catch (...) {
    if (clone != nullptr && GP().GdipDeleteBrush) GP().GdipDeleteBrush(clone);
    throw;
  }
}

TuiGPLinearGradientBrush::TuiGPLinearGradientBrush(const RECT& Rect, ARGB Color1, ARGB Color2,
                                                   LinearGradientMode Mode) {
  const GpRect r = uiRectToGPRect(Rect);
  GpLineGradient* brush = nullptr;
  if (GP().GdipCreateLineBrushFromRectI) {
    SetStatus(GP().GdipCreateLineBrushFromRectI(&r, Color1, Color2, Mode, WrapModeTile, &brush));
    FNativeBrush = reinterpret_cast<GpBrush*>(brush);
  }
}

// ---------------------------------------------------------------------------
TuiGPGraphics::TuiGPGraphics(HDC DC) {
  if (GP().GdipCreateFromHDC) FLastStatus = GP().GdipCreateFromHDC(DC, &FNativeGraphics);
}

TuiGPGraphics::~TuiGPGraphics() {
  if (FNativeGraphics != nullptr && GP().GdipDeleteGraphics) GP().GdipDeleteGraphics(FNativeGraphics);
}

void TuiGPGraphics::FillRectangle(TuiGPBrush* Brush, const GpRect& Rect) {
  if (!GP().GdipFillRectangleI) return;
  const GpStatus status = GP().GdipFillRectangleI(FNativeGraphics, Brush ? Brush->NativeBrush() : nullptr, Rect.X,
                                                  Rect.Y, Rect.Width, Rect.Height);
  if (status != Ok) FLastStatus = status;
}

// ---------------------------------------------------------------------------
TuiGPImage::~TuiGPImage() { FreeImage(); }

void TuiGPImage::FreeImage() {
  if (FNativeImage != nullptr && GP().GdipDisposeImage) GP().GdipDisposeImage(FNativeImage);
  FNativeImage = nullptr;
  FBits.clear();
  FBits.shrink_to_fit();
}

void TuiGPImage::LoadFromStream(TStream* Stream) {
  FreeImage();
  if (Stream == nullptr || !GP().GdipLoadImageFromStream) return;
  const std::int64_t size = Stream->Size() - Stream->Position();
  if (size < 0 || size > INT_MAX) return;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size));
  if (memory == nullptr) return;
  try {
    Stream->ReadBuffer(GlobalLock(memory), static_cast<int>(size));
    GlobalUnlock(memory);
  } catch (...) {
    GlobalUnlock(memory);
    GlobalFree(memory);
    throw;
  }
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return;
  }
  if (GP().GdipLoadImageFromStream(stream, &FNativeImage) != Ok) FNativeImage = nullptr;
  stream->Release();
}

void TuiGPImage::CreateFromBitmap(TBitmap* ABitmap) {
  FreeImage();
  if (ABitmap == nullptr || ABitmap->Empty()) return;
  const int width = ABitmap->Width(), height = ABitmap->Height();
  std::vector<std::uint32_t> bits(static_cast<size_t>(width) * static_cast<size_t>(height));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int lines = GetDIBits(screen, ABitmap->Handle(), 0, static_cast<UINT>(height), bits.data(), &info,
                              DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (lines != height) return;
  CreateFromBits(width, height, bits, ABitmap->PixelFormat() == pf32bit);
}

void TuiGPImage::CreateFromBits(int AWidth, int AHeight, const std::vector<std::uint32_t>& ABits,
                                bool AHasAlphaChannel) {
  FreeImage();
  if (AWidth <= 0 || AHeight <= 0 || AWidth > INT_MAX / 4 || !GP().GdipCreateBitmapFromScan0) return;
  // Fewer bits than pixels would let GDI+ read past them.
  if (ABits.size() / static_cast<size_t>(AWidth) < static_cast<size_t>(AHeight)) return;
  FBits.assign(ABits.begin(), ABits.begin() + static_cast<std::ptrdiff_t>(AWidth) * AHeight);
  if (!AHasAlphaChannel)
    for (auto& pixel : FBits) pixel |= 0xFF000000u;
  GpBitmap* bitmap = nullptr;
  if (GP().GdipCreateBitmapFromScan0(AWidth, AHeight, AWidth * 4, PixelFormat32bppPARGB,
                                     reinterpret_cast<BYTE*>(FBits.data()), &bitmap) != Ok) {
    FBits.clear();
    return;
  }
  FNativeImage = reinterpret_cast<GpImage*>(bitmap);
}

void TuiGPImage::CreateFromStream(TStream* Stream) {
  FreeImage();
  if (Stream == nullptr || !uiIsGDIPlusAvailable()) return;
  if (Stream->Size() - Stream->Position() < kFileHeaderSize) return;
  BYTE header[kFileHeaderSize];
  Stream->ReadBuffer(header, kFileHeaderSize);
  Stream->Seek(-kFileHeaderSize, soCurrent);
  if (static_cast<WORD>(header[0] | (header[1] << 8)) == kBitmapSignature) {
    // GDI+ would read such a bitmap without the class library's rules for
    // its formats, so the class library reads it.
    std::unique_ptr<TBitmap> bitmap(new TBitmap);
    bitmap->LoadFromStream(Stream);
    CreateFromBitmap(bitmap.get());
  } else {
    LoadFromStream(Stream);
  }
}

GpStatus TuiGPImage::SaveToStream(TStream* Stream) {
  if (FNativeImage == nullptr || Stream == nullptr || !GP().GdipSaveImageToStream) return InvalidParameter;
  const CLSID encoder = uiPNGEncoderID();
  qv::com::ComPtr<IStream> adapter(new TStreamAdapter(Stream));
  return GP().GdipSaveImageToStream(FNativeImage, adapter.get(), &encoder, nullptr);
}

TuiGPImage* TuiGPImage::Clone() const {
  auto* copy = static_cast<TuiGPImage*>(ClassType()->Create());
  if (FNativeImage != nullptr && GP().GdipCloneImage) {
    copy->FBits = FBits;
    if (GP().GdipCloneImage(FNativeImage, &copy->FNativeImage) != Ok) {
      copy->FNativeImage = nullptr;
      copy->FBits.clear();
    }
  }
  return copy;
}

// ---------------------------------------------------------------------------
TuiPNGImage::TuiPNGImage() { FTransparent = true; }

TuiPNGImage::~TuiPNGImage() { delete FImage; }

int TuiPNGImage::Width() const {
  REAL width = 0, height = 0;
  if (FImage == nullptr || FImage->NativeImage() == nullptr) return 0;
  if (GP().GdipGetImageDimension(FImage->NativeImage(), &width, &height) != Ok) return 0;
  return static_cast<int>(width);
}

int TuiPNGImage::Height() const {
  REAL width = 0, height = 0;
  if (FImage == nullptr || FImage->NativeImage() == nullptr) return 0;
  if (GP().GdipGetImageDimension(FImage->NativeImage(), &width, &height) != Ok) return 0;
  return static_cast<int>(height);
}

void TuiPNGImage::SetImage(TuiGPImage* Value) {
  if (Value == FImage) return;
  delete FImage;
  FImage = Value;
  Changed(this);
}

void TuiPNGImage::LoadFromStream(TStream* Stream) {
  if (Stream->Size() - Stream->Position() <= 0) {
    SetImage(nullptr);
    return;
  }
  std::unique_ptr<TuiGPImage> image(static_cast<TuiGPImage*>(ImageClass->Create()));
  image->CreateFromStream(Stream);
  SetImage(image.release());
}

void TuiPNGImage::SaveToStream(TStream* Stream) {
  if (FImage == nullptr || FImage->NativeImage() == nullptr) return;
  // Written whole or not at all, so a failed save leaves no half file.
  std::unique_ptr<TMemoryStream> png(new TMemoryStream);
  if (FImage->SaveToStream(png.get()) != Ok) throw EInvalidGraphic("Cannot save the PNG image");
  Stream->CopyFrom(png.get(), 0);
}

void TuiPNGImage::Assign(TPersistent* Source) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
    std::unique_ptr<TuiGPImage> image(static_cast<TuiGPImage*>(ImageClass->Create()));
    image->CreateFromBitmap(bitmap);
    SetImage(image.release());
  } else if (auto* png = dynamic_cast<TuiPNGImage*>(Source)) {
    if (png == this) return;
    // An empty source empties this picture; handing it on to AssignTo would
    // come straight back here.
    SetImage(png->FImage ? png->FImage->Clone() : nullptr);
  } else {
    TGraphic::Assign(Source);
  }
}

void TuiPNGImage::AssignTo(TPersistent* Dest) {
  if (auto* png = dynamic_cast<TuiPNGImage*>(Dest)) {
    png->Assign(this);
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
    std::unique_ptr<TBitmap> converted(NewBitmap());
    bitmap->Assign(converted.get());
  } else {
    TGraphic::AssignTo(Dest);
  }
}

TBitmap* TuiPNGImage::NewBitmap() const {
  std::unique_ptr<TBitmap> bitmap(new TBitmap);
  bitmap->SetPixelFormat(pf32bit);
  if (FImage != nullptr && FImage->NativeImage() != nullptr) {
    HBITMAP handle = nullptr;
    if (GP().GdipCreateHBITMAPFromBitmap(reinterpret_cast<GpBitmap*>(FImage->NativeImage()), &handle, 0) == Ok)
      bitmap->SetHandle(handle);
  }
  return bitmap.release();
}

void TuiPNGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (FImage == nullptr || FImage->NativeImage() == nullptr) return;
  REAL srcWidth = 0, srcHeight = 0;
  GP().GdipGetImageDimension(FImage->NativeImage(), &srcWidth, &srcHeight);
  const REAL dstWidth = static_cast<REAL>(Rect.right - Rect.left);
  const REAL dstHeight = static_cast<REAL>(Rect.bottom - Rect.top);
  // Enlarging samples between pixels, and the last source row and column
  // would be blended with what lies beyond the image; leaving them out
  // keeps the edges clean.
  if (dstWidth > srcWidth && srcWidth > 1) srcWidth -= 1;
  if (dstHeight > srcHeight && srcHeight > 1) srcHeight -= 1;
  std::unique_ptr<TuiGPGraphics> graphics(new TuiGPGraphics(ACanvas->Handle()));
  GP().GdipDrawImageRectRect(graphics->NativeGraphics(), FImage->NativeImage(), static_cast<REAL>(Rect.left),
                             static_cast<REAL>(Rect.top), dstWidth, dstHeight, 0, 0, srcWidth, srcHeight, UnitPixel,
                             nullptr, nullptr, nullptr);
}

// ---------------------------------------------------------------------------
namespace uiGDIPlusClasses {

void Initialize() {
  if (StartCount++ > 0) return;
  uiGetUnitsLoader()->RegisterUnit(&RegisterPNG, &UnregisterPNG);
}

void Finalize() {
  if (StartCount == 0 || --StartCount > 0) return;
  uiGetUnitsLoader()->UnregisterUnit(&UnregisterPNG);
}

}  // namespace uiGDIPlusClasses

namespace {
const qv::classlib::TUnitInfo* const kGDIPlusClassesUses[] = {&uiGDIPlusAPIUnit};
}  // namespace

const qv::classlib::TUnitInfo uiGDIPlusClassesUnit{"uiGDIPlusClasses", kGDIPlusClassesUses,
                                                   &uiGDIPlusClasses::Initialize, &uiGDIPlusClasses::Finalize};
