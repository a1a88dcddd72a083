#include "platform/classlib/Jpeg.h"

#include <algorithm>
#include <string>

#include "platform/os/gdi/Bitmap.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Jpeg.h"

namespace gdi = qv::os::gdi;

namespace qv::classlib {
void registerJpegFormats() {
  TPicture::RegisterFileFormat("jpeg", "JPEG Image File", TJPEGImage::StaticClass());
  TPicture::RegisterFileFormat("jpg", "JPEG Image File", TJPEGImage::StaticClass());
}
}  // namespace qv::classlib

namespace {

int divisor(TJPEGScale Scale) { return 1 << static_cast<int>(Scale); }

// Each target pixel is the average of the block of source pixels it covers.
gdi::Image shrink(const gdi::Image& In, int Div) {
  if (Div == 1) return In;
  gdi::Image out;
  int w = (In.width + Div - 1) / Div, h = (In.height + Div - 1) / Div;
  if (!out.allocate(w, h)) return out;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned r = 0, g = 0, b = 0, n = 0;
      for (int sy = y * Div; sy < std::min(In.height, (y + 1) * Div); ++sy)
        for (int sx = x * Div; sx < std::min(In.width, (x + 1) * Div); ++sx) {
          std::uint32_t p = In.at(sx, sy);
          r += (p >> 16) & 0xFF;
          g += (p >> 8) & 0xFF;
          b += p & 0xFF;
          ++n;
        }
      out.at(x, y) = ((r / n) << 16) | ((g / n) << 8) | (b / n);
    }
  out.bitDepth = In.bitDepth;
  return out;
}

}  // namespace

TJPEGImage::~TJPEGImage() { freeBitmap(); }

void TJPEGImage::freeBitmap() { FreeAndNil(FBitmap); }

int TJPEGImage::Width() const { return (FFullWidth + divisor(FScale) - 1) / divisor(FScale); }

int TJPEGImage::Height() const { return (FFullHeight + divisor(FScale) - 1) / divisor(FScale); }

void TJPEGImage::SetScale(TJPEGScale Value) {
  if (Value == FScale) return;
  FScale = Value;
  freeBitmap();
  Changed(this);
}

void TJPEGImage::SetCompressionQuality(TJPEGQuality Value) { FQuality = std::clamp(Value, 1, 100); }

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData.empty()) return;
  gdi::Image image;
  std::string error;
  Progress(this, psStarting, 0, false, RECT{0, 0, 0, 0}, "");
  if (!gdi::decodeJpeg(FData.data(), FData.size(), image, &error)) throw EJPEG("JPEG error: %s", {error});
  gdi::Image scaled = shrink(image, divisor(FScale));
  HBITMAP h = gdi::createBitmapFromImage(scaled);
  if (!h) throw EJPEG("JPEG error: %s", {std::string("out of memory")});
  auto* bitmap = new TBitmap;
  bitmap->SetHandle(h);
  bitmap->SetPixelFormat(pf24bit);
  FBitmap = bitmap;
  Progress(this, psEnding, 100, false, RECT{0, 0, Width(), Height()}, "");
}

TBitmap* TJPEGImage::Bitmap() {
  DIBNeeded();
  return FBitmap;
}

void TJPEGImage::setData(std::vector<std::uint8_t> Data) {
  gdi::Image image;
  std::string error;
  if (!gdi::decodeJpeg(Data.data(), Data.size(), image, &error)) throw EJPEG("JPEG error: %s", {error});
  freeBitmap();
  FData = std::move(Data);
  FFullWidth = image.width;
  FFullHeight = image.height;
  Changed(this);
}

void TJPEGImage::LoadFromStream(TStream* Stream) { setData(readAll(Stream)); }

void TJPEGImage::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<int>(FData.size()));
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (!Source) {
    freeBitmap();
    FData.clear();
    FFullWidth = FFullHeight = 0;
    Changed(this);
    return;
  }
  if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
    if (j == this) return;
    freeBitmap();
    FData = j->FData;
    FFullWidth = j->FFullWidth;
    FFullHeight = j->FFullHeight;
    FScale = j->FScale;
    FQuality = j->FQuality;
    Changed(this);
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    gdi::Image image;
    if (b->Empty() || !gdi::imageFromBitmap(b->Handle(), image)) {
      Assign(nullptr);
      return;
    }
    for (auto& p : image.pixels) p &= 0xFFFFFFu;
    std::vector<std::uint8_t> bytes = gdi::encodeJpeg(image, FQuality);
    if (bytes.empty()) throw EJPEG("JPEG error: %s", {std::string("cannot compress the bitmap")});
    FScale = jsFullSize;
    setData(std::move(bytes));
    return;
  }
  inherited::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    b->Assign(Bitmap());
    return;
  }
  inherited::AssignTo(Dest);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  TBitmap* b = Bitmap();
  if (b) ACanvas->StretchDraw(Rect, b);
}
