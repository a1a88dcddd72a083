// The runtime's picture control: shows a picture like TImage and cuts its
// parent window to the picture's shape (every run of pixels in the picture's
// key colour, the colour of its bottom-left pixel, is left out), and lets the
// user drag the parent window by the picture. The main window's skin, the
// start splash and the About box are made with it.
#pragma once

#include <string>

#include "platform/classlib/Controls.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/Types.h"

class TImageShape : public TGraphicControl {
  QV_CLASS(TImageShape, TGraphicControl)
  explicit TImageShape(TComponent* AOwner);
  ~TImageShape() override;

  TPicture* Picture() const { return FPicture; }
  // Copies the picture.
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool IncrementalDisplay() const { return FIncrementalDisplay; }
  void SetIncrementalDisplay(bool Value) { FIncrementalDisplay = Value; }
  // Whether pressing and moving the mouse on the picture drags the parent.
  bool Movable() const { return FMovable; }
  void SetMovable(bool Value) { FMovable = Value; }

  // Where the picture goes in the client area.
  TRect DestRect();
  // The picture changed: size, transparency, repaint and the parent's shape.
  void PictureChanged(TObject* Sender);
  // The size AutoSize gives: the picture's width unless the control is
  // aligned to the top or bottom, its height unless aligned left or right.
  // False when nothing is to change.
  bool CanAutoSize(int& NewWidth, int& NewHeight);

  TProgressEvent OnProgress;

  // AutoSize before Picture, so that a streamed picture finds it set.
  QV_PUBLISHED(TImageShape) {
    P.Prop("AutoSize", &TImageShape::AutoSize, &TImageShape::SetAutoSize).Default(false);
    P.Prop("Center", &TImageShape::Center, &TImageShape::SetCenter).Default(false);
    P.Prop("IncrementalDisplay", &TImageShape::IncrementalDisplay, &TImageShape::SetIncrementalDisplay)
        .Default(false);
    P.Prop("Movable", &TImageShape::Movable, &TImageShape::SetMovable).Default(true);
    P.Prop("Proportional", &TImageShape::Proportional, &TImageShape::SetProportional).Default(false);
    P.Prop("Stretch", &TImageShape::Stretch, &TImageShape::SetStretch).Default(false);
    P.Prop("Transparent", &TImageShape::Transparent, &TImageShape::SetTransparent).Default(false);
    P.Prop("Picture", &TImageShape::Picture, &TImageShape::SetPicture);
    P.Event("OnProgress", &TImageShape::OnProgress);
  }

 protected:
  void Paint() override;
  void Loaded() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Progress(TObject* Sender, TProgressStage Stage, BYTE PercentDone, bool RedrawNow, const TRect& R,
                const std::string& Msg);

 private:
  void applyWindowRegion();

  TPicture* FPicture;
  bool FAutoSize = false;
  bool FCenter = false;
  bool FStretch = false;
  bool FTransparent = false;
  bool FProportional = false;
  bool FIncrementalDisplay = false;
  bool FMovable = true;
  bool FDragging = false;
  TPoint FLastPos{0, 0};
  bool FDrawing = false;
  // The part of the parent's shape that this control applied last, in the
  // parent's window coordinates.
  HRGN FLastRegion;
};

// The shape of a picture: the source's key colour is its pixel at the left
// of the bottom row of its clip box. The source is copied, stretched, to
// `dest` within an area of `area`'s size; the result is the part of `dest`
// inside that area, without every run of key-coloured pixels. The caller
// owns the region.
HRGN CreateRegionFromBitmap(HDC source, const RECT& area, const RECT& dest);

namespace qv::runtime {
// The process environment variable that records, with the value "set", that
// a TImageShape of this process has already shaped a window.
inline constexpr const char* kImageShapeRegionVariable = "QV_IMAGESHAPE_REGION";
}  // namespace qv::runtime
