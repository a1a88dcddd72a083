// The class library's JPEG unit: TJPEGImage keeps a JPEG file's bytes and
// decodes them (through the drawing layer's libjpeg decoder) into a bitmap
// when it is drawn or assigned to one. It is registered with TPicture for
// the extensions "jpg" and "jpeg".
#pragma once

#include <cstdint>
#include <vector>

#include "platform/classlib/Graphics.h"

QV_EXCEPTION(EJPEG, EInvalidGraphic);

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
using TJPEGQuality = int;  // 1 .. 100

class TJPEGImage : public TGraphic {
  QV_CLASS(TJPEGImage, TGraphic)
  TJPEGImage() = default;
  ~TJPEGImage() override;

  // The size at Scale: the full size divided by 1, 2, 4 or 8, rounded up.
  int Width() const override;
  int Height() const override;
  // A JPEG image cannot be resized; these do nothing, as the class library's.
  void SetWidth(int Value) override { (void)Value; }
  void SetHeight(int Value) override { (void)Value; }
  bool Empty() const override { return FData.empty(); }

  TJPEGScale Scale() const { return FScale; }
  void SetScale(TJPEGScale Value);
  // Used when a bitmap is compressed into this image (Assign of a TBitmap).
  TJPEGQuality CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(TJPEGQuality Value);

  // Decodes the image now; EJPEG "JPEG error: ..." when it cannot.
  void DIBNeeded();
  // The decoded image at Scale (owned by this object).
  TBitmap* Bitmap();

  // The bytes are checked by decoding them: EJPEG for a corrupt file.
  void LoadFromStream(TStream* Stream) override;
  // The bytes as loaded, or as compressed from an assigned bitmap.
  void SaveToStream(TStream* Stream) override;
  // From a TJPEGImage (the bytes) or a TBitmap (compressed at
  // CompressionQuality).
  void Assign(TPersistent* Source) override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // To a TBitmap: the decoded image.
  void AssignTo(TPersistent* Dest) override;

 private:
  void setData(std::vector<std::uint8_t> Data);
  void freeBitmap();
  std::vector<std::uint8_t> FData;
  int FFullWidth = 0;
  int FFullHeight = 0;
  TJPEGScale FScale = jsFullSize;
  TJPEGQuality FQuality = 90;
  TBitmap* FBitmap = nullptr;
};
