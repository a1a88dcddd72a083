// The class library's Buttons unit: TSpeedButton, a graphic control with a
// glyph and a caption that can stay down within a group.
//
// The glyph bitmap holds NumGlyphs images side by side: up, disabled,
// clicked, down. Its transparent colour (normally the bottom-left pixel)
// shows the button face; without a disabled image the up image is drawn
// greyed.
#pragma once

#include <string>

#include "platform/classlib/Controls.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/TypInfo.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
QV_ENUM_TYPE(TButtonLayout, blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom)
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
QV_ENUM_TYPE(TButtonState, bsUp, bsDisabled, bsDown, bsExclusive)
using TNumGlyphs = int;

class TSpeedButton : public TGraphicControl {
  QV_CLASS(TSpeedButton, TGraphicControl)
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;

  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  // 1 to 4; other values are ignored.
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TNumGlyphs Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  // The glyph's distance from the edge on its side; -1 centres glyph and
  // caption together.
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  // Between glyph and caption; -1 centres the caption in the space left.
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // Buttons of one parent with the same non-zero GroupIndex are exclusive:
  // one going down raises the others.
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  // Only a grouped button stays down; setting it in code fires nothing.
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  // A click on the down button of the group raises it again.
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  TButtonState State() const { return FState; }
  bool MouseInControl() const { return FMouseInControl; }

  // A grouped button goes down (or, with AllowAllUp, up), then OnClick.
  void Click() override;

  QV_PUBLISHED(TSpeedButton) {
    P.Prop("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
    P.Prop("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
    P.Prop("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
    P.Prop("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    P.Prop("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
    P.Prop("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
    P.Prop("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
    P.Prop("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
    P.Prop("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
    P.Prop("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).Default(true);
  }

 protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TCMMouseEnter& Message) override;
  void CMMouseLeave(TCMMouseLeave& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

 private:
  void glyphChanged();
  void raiseOthers();
  void updateState();

  TBitmap* FGlyph;
  TCustomImageList* FGlyphList = nullptr;  // the glyph's images, made when drawn
  TNumGlyphs FNumGlyphs = 1;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1, FSpacing = 4;
  bool FFlat = false, FTransparent = true, FDown = false, FAllowAllUp = false;
  int FGroupIndex = 0;
  TButtonState FState = bsUp;
  bool FDragging = false;
  bool FMouseInControl = false;
};
