// Image lists: the common controls' HIMAGELIST functions (ImageList_...)
// and the class library's ImgList unit (TCustomImageList, TImageList,
// TChangeLink) over them.
//
// An image list keeps Count images of one size, each with a mask in which
// 1 lets the background through. Drawing a masked image with ILD_TRANSPARENT
// (or with no background colour) leaves the destination where the mask is
// set; with a background colour that colour fills those pixels.
#pragma once

#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Graphics.h"
#include "platform/os/Types.h"

#define ILC_MASK 0x00000001u
#define ILC_COLOR 0x00000000u
#define ILC_COLORDDB 0x000000FEu
#define ILC_COLOR4 0x00000004u
#define ILC_COLOR8 0x00000008u
#define ILC_COLOR16 0x00000010u
#define ILC_COLOR24 0x00000018u
#define ILC_COLOR32 0x00000020u

#define ILD_NORMAL 0x00000000u
#define ILD_TRANSPARENT 0x00000001u
#define ILD_BLEND25 0x00000002u
#define ILD_FOCUS ILD_BLEND25
#define ILD_BLEND50 0x00000004u
#define ILD_SELECTED ILD_BLEND50
#define ILD_BLEND ILD_BLEND50
#define ILD_MASK 0x00000010u
#define ILD_IMAGE 0x00000020u

#ifndef CLR_NONE
#define CLR_NONE 0xFFFFFFFFu
#endif
#ifndef CLR_DEFAULT
#define CLR_DEFAULT 0xFF000000u
#endif

// Null for a size below 1.
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
// -1 for a handle that is no image list.
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Removes every image.
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);
// As many images as the bitmap's width holds whole (at least one; a
// narrower bitmap fills the left of one image); the index of the first, -1
// on failure. The mask bitmap (white = background) may be null: opaque.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// The mask is 1 where the pixel has the mask colour; those pixels of the
// stored image become black. The caller's bitmap is left as it is.
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColour);
// index -1 adds; the icon is scaled to the list's size.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
// index -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST list, int index);
inline BOOL ImageList_RemoveAll(HIMAGELIST list) { return ImageList_Remove(list, -1); }
// CLR_NONE: masked images are drawn transparent. Answers the old colour.
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// width/height 0: the whole image, else that much of it from its top-left.
// background: CLR_DEFAULT the list's colour, CLR_NONE transparent.
// foreground: the blend colour of ILD_BLEND25/50 (CLR_DEFAULT the
// highlight colour, CLR_NONE no blending).
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int width, int height, COLORREF background,
                      COLORREF foreground, UINT style);

namespace qv::classlib {
// The stored pixels (0x00RRGGBB, top-down) and mask (1 = background) of one
// image, for callers that need them as they are; false for a bad index.
bool imageListPixels(HIMAGELIST list, int index, std::vector<std::uint32_t>& pixels,
                     std::vector<std::uint8_t>& mask);
}  // namespace qv::classlib

class TCustomImageList;

// Tells its owner about every change of the image list it is registered with.
class TChangeLink : public TObject {
  QV_CLASS(TChangeLink, TObject)
  TChangeLink() = default;
  // Unregisters from its list.
  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  void SetSender(TCustomImageList* Value) { FSender = Value; }
  virtual void Change();
  TNotifyEvent OnChange;

 private:
  TCustomImageList* FSender = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
QV_ENUM_TYPE(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
enum TImageType { itImage, itMask };
QV_ENUM_TYPE(TImageType, itImage, itMask)

class TCustomImageList : public TComponent {
  QV_CLASS(TCustomImageList, TComponent)
  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(int AWidth, int AHeight);  // CreateSize
  ~TCustomImageList() override;

  // Created on first use with the list's size and Masked.
  HIMAGELIST Handle();
  // Takes the list over (destroyed with this object unless ShareImages).
  void SetHandle(HIMAGELIST Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  int Width() const { return FWidth; }
  // A new size clears the list.
  void SetWidth(int Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  int Count();
  bool Masked() const { return FMasked; }
  // Recreates the list: the images are lost, as with a new size.
  void SetMasked(bool Value);
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType Value);
  int AllocBy() const { return FAllocBy; }
  void SetAllocBy(int Value) { FAllocBy = Value; }
  bool ShareImages() const { return FShareImages; }
  void SetShareImages(bool Value) { FShareImages = Value; }

  // A bitmap wider than Width becomes several images. The index of the
  // first image added, -1 when nothing could be added.
  int Add(TBitmap* Image, TBitmap* Mask);
  int AddMasked(TBitmap* Image, TColor MaskColor);
  int AddIcon(TIcon* Image);
  // EInvalidOperation "Unable to Replace Image".
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
  // EInvalidOperation "Invalid ImageList Index" for an index out of range.
  void Delete(int Index);
  void Clear();

  // Disabled images are drawn greyed: dark pixels in clBtnHighlight offset
  // by (1, 1), then in clBtnShadow in place; white and masked pixels leave
  // the background.
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  // Image becomes Width x Height with the image drawn on it; false for a
  // bad index.
  bool GetBitmap(int Index, TBitmap* Image);

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  void Assign(TPersistent* Source) override;

  TNotifyEvent OnChange;

  QV_PUBLISHED(TCustomImageList) {
    P.Prop("AllocBy", &TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy).Default(4);
    P.Prop("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor)
        .Ident("TColor")
        .Default(clNone);
    P.Prop("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor).Ident("TColor").Default(clNone);
    P.Prop("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle).Default(dsNormal);
    P.Prop("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
    P.Prop("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType).Default(itImage);
    P.Prop("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
    P.Prop("ShareImages", &TCustomImageList::ShareImages, &TCustomImageList::SetShareImages).Default(false);
    P.Prop("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
    P.Event("OnChange", &TCustomImageList::OnChange);
  }

 protected:
  virtual void Change();
  virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);

 private:
  void createHandle();
  void freeHandle();
  void checkIndex(int Index);

  HIMAGELIST FHandle = nullptr;
  int FWidth = 16;
  int FHeight = 16;
  bool FMasked = true;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  int FAllocBy = 4;
  bool FShareImages = false;
  std::vector<TChangeLink*> FClients;
};

class TImageList : public TCustomImageList {
  QV_CLASS(TImageList, TCustomImageList)
  using TCustomImageList::TCustomImageList;
};
