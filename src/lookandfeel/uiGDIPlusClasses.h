// Thin owners of GDI+ objects (brushes, graphics, images) and the PNG
// picture class. The owners keep the status of the last failing GDI+ call
// and raise nothing: a caller that cares asks LastStatus. Their memory comes
// from GDI+'s own allocator, so they can only be made while GDI+ is
// available; TuiGPNullImage stands in for an image when it is not.
//
// TuiPNGImage is registered with the pictures for the extension "PNG" only
// while GDI+ is available (from this unit's start-up to its shut-down).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "lookandfeel/uiGDIPlusAPI.h"
#include "platform/classlib/Graphics.h"

class TuiGPBase : public TObject {
  QV_CLASS(TuiGPBase, TObject)
  TuiGPBase() = default;
  TuiGPBase(const TuiGPBase&) = delete;
  TuiGPBase& operator=(const TuiGPBase&) = delete;

  // GdipAlloc / GdipFree. EOutOfMemory when GDI+ is unavailable or out of
  // memory.
  static void* operator new(std::size_t Size);
  static void operator delete(void* P) noexcept;
};

class TuiGPBrush : public TuiGPBase {
  QV_CLASS(TuiGPBrush, TuiGPBase)
  TuiGPBrush() = default;
  // Takes the native brush over.
  TuiGPBrush(GpBrush* NativeBrush, GpStatus Status) : FNativeBrush(NativeBrush), FLastStatus(Status) {}
  ~TuiGPBrush() override;

  // A copy of the native brush in a new TuiGPBrush (of this base class, for
  // every kind of brush) that carries this brush's last status; the caller
  // frees it. A failed copy gives a brush without a native brush.
  virtual TuiGPBrush* Clone();

  GpBrush* NativeBrush() const { return FNativeBrush; }
  GpStatus LastStatus() const { return FLastStatus; }

 protected:
  // Keeps a failure as the last status; a success leaves it as it is.
  GpStatus SetStatus(GpStatus Status);

  GpBrush* FNativeBrush = nullptr;
  GpStatus FLastStatus = Ok;
};

class TuiGPLinearGradientBrush : public TuiGPBrush {
  QV_CLASS(TuiGPLinearGradientBrush, TuiGPBrush)
  // Colours run from Color1 to Color2 across Rect in the direction of Mode;
  // outside Rect the gradient repeats.
  TuiGPLinearGradientBrush(const RECT& Rect, ARGB Color1, ARGB Color2, LinearGradientMode Mode);
};

class TuiGPGraphics : public TuiGPBase {
  QV_CLASS(TuiGPGraphics, TuiGPBase)
  // Draws on the device context through its origins and inside its clip.
  explicit TuiGPGraphics(HDC DC);
  ~TuiGPGraphics() override;

  // Rect in GDI+'s form (uiRectToGPRect).
  void FillRectangle(TuiGPBrush* Brush, const GpRect& Rect);

  GpGraphics* NativeGraphics() const { return FNativeGraphics; }
  GpStatus LastStatus() const { return FLastStatus; }

 private:
  GpGraphics* FNativeGraphics = nullptr;
  GpStatus FLastStatus = Ok;
};

class TuiGPImage : public TuiGPBase {
  QV_CLASS(TuiGPImage, TuiGPBase)
  TuiGPImage() = default;
  ~TuiGPImage() override;

  // Each replaces the image this object holds; on failure it holds none.
  // The picture file from the stream's position, decoded by GDI+.
  virtual void LoadFromStream(TStream* Stream);
  // The bitmap's pixels; its alpha counts only for a 32-bit bitmap.
  virtual void CreateFromBitmap(TBitmap* ABitmap);
  // Width x Height pixels, top row first, as 0xAARRGGBB (premultiplied);
  // without AHasAlphaChannel every pixel is made opaque.
  virtual void CreateFromBits(int AWidth, int AHeight, const std::vector<std::uint32_t>& ABits,
                              bool AHasAlphaChannel);
  // At least 14 bytes are needed; a bitmap file is read by the class
  // library's bitmap, anything else by GDI+.
  virtual void CreateFromStream(TStream* Stream);

  // The image as PNG at the stream's position.
  GpStatus SaveToStream(TStream* Stream);
  // A new object of this one's class with a copy of its image.
  TuiGPImage* Clone() const;

  GpImage* NativeImage() const { return FNativeImage; }

 protected:
  void FreeImage();

  GpImage* FNativeImage = nullptr;
  // GDI+ may draw from these for as long as the image lives.
  std::vector<std::uint32_t> FBits;
};

// The image class while GDI+ is unavailable: it never holds an image.
class TuiGPNullImage : public TuiGPImage {
  QV_CLASS(TuiGPNullImage, TuiGPImage)
  TuiGPNullImage() = default;

  static void* operator new(std::size_t Size) { return ::operator new(Size); }
  static void operator delete(void* P) noexcept { ::operator delete(P); }

  void LoadFromStream(TStream*) override {}
  void CreateFromBitmap(TBitmap*) override {}
  void CreateFromBits(int, int, const std::vector<std::uint32_t>&, bool) override {}
  void CreateFromStream(TStream*) override {}
};

// The class that PNG pictures make their images of: TuiGPImage while GDI+ is
// available, else TuiGPNullImage.
TClass uiGPImageClass();

class TuiPNGImage : public TGraphic {
  QV_CLASS(TuiPNGImage, TGraphic)
  TuiPNGImage();
  ~TuiPNGImage() override;

  // The image's size; a PNG picture cannot be resized, so the setters do
  // nothing.
  int Width() const override;
  void SetWidth(int) override {}
  int Height() const override;
  void SetHeight(int) override {}
  bool Empty() const override { return Width() < 1 || Height() < 1; }
  // Always transparent: the image's own alpha decides.
  void SetTransparent(bool) override {}

  // An empty stream gives an empty picture; bytes GDI+ cannot decode give an
  // empty picture too.
  void LoadFromStream(TStream* Stream) override;
  // The picture as a PNG file; nothing for an empty picture. EInvalidGraphic
  // when GDI+ cannot write it.
  void SaveToStream(TStream* Stream) override;
  void Assign(TPersistent* Source) override;

  TuiGPImage* Image() const { return FImage; }
  // Takes Value over and frees the image held before.
  void SetImage(TuiGPImage* Value);

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  void AssignTo(TPersistent* Dest) override;
  // A new 32-bit bitmap of the image, owned by the caller.
  TBitmap* NewBitmap() const;

 private:
  TuiGPImage* FImage = nullptr;
};

// The unit in the program's start-up order (after uiGDIPlusAPI).
extern const qv::classlib::TUnitInfo uiGDIPlusClassesUnit;

namespace uiGDIPlusClasses {

// Unit start-up and shut-down. Counted: only the first Initialize and the
// matching last Finalize act.
void Initialize();
void Finalize();

}  // namespace uiGDIPlusClasses
