// The class library's ExtCtrls unit: TTimer, panels, images, bevels,
// shapes, notebooks and the colour box.
#pragma once

#include <string>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/os/Types.h"

// A timer component on its own hidden message window. It runs while Enabled,
// Interval is not 0 and OnTimer is set; changing any of them re-arms it, so
// that a new interval counts from the change.
class TTimer : public TComponent {
  QV_CLASS(TTimer, TComponent)
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  UINT Interval() const { return FInterval; }
  void SetInterval(UINT Value);
  // Assign through SetOnTimer so that the timer is armed or stopped with it.
  void SetOnTimer(TNotifyEvent Value);

  TNotifyEvent OnTimer;

  QV_PUBLISHED(TTimer) {
    P.Prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    P.Prop("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000u);
    P.Event("OnTimer", &TTimer::OnTimer);
  }

 protected:
  virtual void Timer();
  // A form resource binds OnTimer without the setter: arm the timer now.
  void Loaded() override;

 private:
  void UpdateTimer();
  static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  bool FEnabled = true;
  UINT FInterval = 1000;
  HWND FWindowHandle = nullptr;
  bool FArmed = false;
};

// ---------------------------------------------------------------------------
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
QV_ENUM_TYPE(TPanelBevel, bvNone, bvLowered, bvRaised, bvSpace)
using TBevelWidth = int;
// TBorderStyle's values (bsNone 0, bsSingle 1) without its identifiers,
// which the forms unit declares with the form border styles; streaming knows
// them through the integer type "TBorderStyle".
using TPanelBorderStyle = int;

namespace qv::classlib {
// Draws Width nested frames inside Rect, TopColor on the top and left edges,
// BottomColor on the bottom and right ones (which own the top-right and
// bottom-left corners), and shrinks Rect by them.
void frame3D(HDC DC, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);
// Where an image control draws a picture of PictureWidth x PictureHeight in
// a client area of ClientWidth x ClientHeight: stretched, shrunk keeping its
// proportions, centred.
TRect pictureDestRect(int PictureWidth, int PictureHeight, int ClientWidth, int ClientHeight, bool Stretch,
                      bool Proportional, bool Center);
// An image control's painting: a dashed frame at design time, then the
// graphic stretched into Dest with Drawing set meanwhile.
void paintPicture(TGraphicControl* Control, TCanvas* Canvas, TGraphic* Graphic, const TRect& Dest, bool& Drawing);
}  // namespace qv::classlib

class TCustomPanel : public TCustomControl {
  QV_CLASS(TCustomPanel, TCustomControl)
  explicit TCustomPanel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel Value);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel Value);
  TBevelWidth BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(TBevelWidth Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  TPanelBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TPanelBorderStyle Value);
  bool ParentBackground() const { return FParentBackground; }
  void SetParentBackground(bool Value);
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }

  QV_PUBLISHED(TCustomPanel) {
    P.Prop("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment).Default(taCenter);
    P.Prop("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner).Default(bvNone);
    P.Prop("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter).Default(bvRaised);
    P.Prop("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
    P.Prop("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth).Default(0);
    P.Prop("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle).Ident("TBorderStyle").Default(0);
    P.Prop("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(true);
    P.Prop("ParentBackground", &TCustomPanel::ParentBackground, &TCustomPanel::SetParentBackground).Default(true);
  }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void CMTextChanged(TMessage& Message) override;

 private:
  void bordersChanged();

  TAlignment FAlignment = taCenter;
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  TPanelBorderStyle FBorderStyle = 0;
  bool FParentBackground = true;
  bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
  QV_CLASS(TPanel, TCustomPanel)
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------------------
class TImage : public TGraphicControl {
  QV_CLASS(TImage, TGraphicControl)
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* Picture() const { return FPicture; }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  // The picture's bitmap to draw on (one of the image's size when the
  // picture is empty); EInvalidOperation when the picture holds another
  // kind of graphic.
  TCanvas* Canvas();
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // Where the picture goes in the client area.
  TRect DestRect();

  QV_PUBLISHED(TImage) {
    P.Prop("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
    P.Prop("Center", &TImage::Center, &TImage::SetCenter).Default(false);
    P.Prop("Picture", &TImage::Picture, &TImage::SetPicture);
    P.Prop("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
    P.Prop("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
    P.Prop("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
  }

 protected:
  void Paint() override;
  void pictureChanged();

 private:
  TPicture* FPicture;
  bool FAutoSize = false;
  bool FCenter = false;
  bool FStretch = false;
  bool FProportional = false;
  bool FTransparent = false;
  bool FDrawing = false;
};

// ---------------------------------------------------------------------------
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
QV_ENUM_TYPE(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
enum TBevelStyle { bsLowered, bsRaised };
QV_ENUM_TYPE(TBevelStyle, bsLowered, bsRaised)

class TBevel : public TGraphicControl {
  QV_CLASS(TBevel, TGraphicControl)
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

  QV_PUBLISHED(TBevel) {
    P.Prop("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
    P.Prop("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
  }

 protected:
  void Paint() override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// ---------------------------------------------------------------------------
enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
QV_ENUM_TYPE(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle)

class TShape : public TGraphicControl {
  QV_CLASS(TShape, TGraphicControl)
  explicit TShape(TComponent* AOwner);
  ~TShape() override;
  TBrush* Brush() const { return FBrush; }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TPen* Pen() const { return FPen; }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType Value);

  QV_PUBLISHED(TShape) {
    P.Prop("Brush", &TShape::Brush, &TShape::SetBrush);
    P.Prop("Pen", &TShape::Pen, &TShape::SetPen);
    P.Prop("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
  }

 protected:
  void Paint() override;

 private:
  TBrush* FBrush;
  TPen* FPen;
  TShapeType FShape = stRectangle;
};

// ---------------------------------------------------------------------------
class TNotebook;

// A page of a notebook: its Caption is the page's name. In a form resource
// the pages are unnamed objects inside the notebook ("object TPage"), each
// holding the controls on it; the notebook owns them, the form owns those
// controls.
class TPage : public TCustomControl {
  QV_CLASS(TPage, TCustomControl)
  explicit TPage(TComponent* AOwner);

 protected:
  void Paint() override;
  // A page read inside a notebook joins its pages, in the order read.
  void ReadState(TReader* Reader) override;
};

class TNotebook : public TCustomControl {
  QV_CLASS(TNotebook, TCustomControl)
  explicit TNotebook(TComponent* AOwner);
  ~TNotebook() override;

  // The page names; adding, inserting and deleting names makes and frees
  // the pages (Objects(i) is the TPage).
  TStrings* Pages() const { return FAccess; }
  void SetPages(TStrings* Value) { FAccess->Assign(Value); }
  int PageIndex() const { return FPageIndex; }
  // Shows that page and hides the others; out of range is ignored.
  void SetPageIndex(int Value);
  // The active page's name; setting an unknown name is ignored.
  std::string ActivePage() const;
  void SetActivePage(const std::string& Value);
  TPage* Page(int Index) const;
  int PageCount() const { return static_cast<int>(FPageList.size()); }

  TNotifyEvent OnPageChanged;

  // Pages read from a form resource replace the default page; they are
  // owned by the notebook (see TPage).
  TComponent* GetChildOwner() override { return this; }
  void ReadState(TReader* Reader) override;

  QV_PUBLISHED(TNotebook) {
    P.Prop("ActivePage", &TNotebook::ActivePage, &TNotebook::SetActivePage).Stored(false);
    P.Prop("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex).Default(0);
    P.Prop("Pages", &TNotebook::Pages, &TNotebook::SetPages);
    P.Event("OnPageChanged", &TNotebook::OnPageChanged);
  }

 protected:
  void Paint() override {}
  void Loaded() override;

 private:
  class TPageAccess;
  friend class TPageAccess;
  friend class TPage;
  void insertPage(int Index, const std::string& Name);
  void adoptPage(TPage* Page);
  void deletePage(int Index);

  TStrings* FAccess;
  std::vector<TPage*> FPageList;
  int FPageIndex = -1;
  int FPendingIndex = -1;
  // The pages came from a form resource: reading one again (a language
  // module's) updates them instead of replacing them.
  bool FPagesRead = false;
};

// ---------------------------------------------------------------------------
enum TColorBoxStyles {
  cbStandardColors,
  cbExtendedColors,
  cbSystemColors,
  cbIncludeNone,
  cbIncludeDefault,
  cbCustomColor,
  cbPrettyNames
};
QV_ENUM_TYPE(TColorBoxStyles, cbStandardColors, cbExtendedColors, cbSystemColors, cbIncludeNone, cbIncludeDefault,
             cbCustomColor, cbPrettyNames)
using TColorBoxStyle = TSet<TColorBoxStyles>;

// A drop-down list of colours with a swatch before each name; Items'
// Objects hold the colours. A selected colour that the list does not have
// is kept as an extra item, so that Selected gives back what was set.
class TCustomColorBox : public TCustomComboBox {
  QV_CLASS(TCustomColorBox, TCustomComboBox)
  explicit TCustomColorBox(TComponent* AOwner);

  TColorBoxStyle Style() const { return FColorStyle; }
  // Lists the colours again, keeping the selected colour.
  void SetStyle(TColorBoxStyle Value);
  TColor Selected() const;
  void SetSelected(TColor Value);
  TColor DefaultColorColor() const { return FDefaultColorColor; }
  void SetDefaultColorColor(TColor Value);
  TColor NoneColorColor() const { return FNoneColorColor; }
  void SetNoneColorColor(TColor Value);
  TColor Colors(int Index) const;
  std::string ColorNames(int Index) const { return Items()->Strings(Index); }

  QV_PUBLISHED(TCustomColorBox) {
    P.Prop("DefaultColorColor", &TCustomColorBox::DefaultColorColor, &TCustomColorBox::SetDefaultColorColor)
        .Ident("TColor")
        .Default(clBlack);
    P.Prop("NoneColorColor", &TCustomColorBox::NoneColorColor, &TCustomColorBox::SetNoneColorColor)
        .Ident("TColor")
        .Default(clBlack);
    P.Prop("Selected", &TCustomColorBox::Selected, &TCustomColorBox::SetSelected).Ident("TColor").Default(clBlack);
    P.Prop("Style", &TCustomColorBox::Style, &TCustomColorBox::SetStyle)
        .Default(TColorBoxStyle{cbStandardColors, cbExtendedColors, cbSystemColors});
  }

 protected:
  void DrawItem(HDC DC, int Index, TRect R, bool Selected) override;
  void Loaded() override;
  void populate();

 private:
  int indexOfColor(TColor Value) const;

  TColorBoxStyle FColorStyle{cbStandardColors, cbExtendedColors, cbSystemColors};
  TColor FDefaultColorColor = clBlack;
  TColor FNoneColorColor = clBlack;
  TColor FPendingSelected = clBlack;
  int FExtraIndex = -1;
};

class TColorBox : public TCustomColorBox {
  QV_CLASS(TColorBox, TCustomColorBox)
  explicit TColorBox(TComponent* AOwner) : TCustomColorBox(AOwner) {}
};
