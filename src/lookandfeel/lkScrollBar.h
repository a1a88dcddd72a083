// A scroll bar drawn by the painter of its own look and feel. It does not
// use the platform's scroll bar window: it lays out its five areas (two
// arrows, the thumb and the page areas before and after it) itself, asks the
// painter to draw each into an off-screen bitmap that reaches the screen in
// one copy, and turns the left button into scroll steps (OnScroll) and
// position changes (OnChange). Holding an arrow or a page area repeats the
// step after 400 ms and then every 60 ms while the pointer stays on it.
#pragma once

#include "lookandfeel/lkControls.h"
#include "lookandfeel/lkGraphics.h"
#include "lookandfeel/lkLookAndFeelPainters.h"
#include "lookandfeel/lkLookAndFeels.h"
#include "lookandfeel/uiThemeManager.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/TypInfo.h"

// The unit's start-up registers the scroll bar for form streaming. Uses
// lkLookAndFeels and lkControls.
extern const qv::classlib::TUnitInfo lkScrollBarUnit;

class TlkScrollBar;

// ---------------------------------------------------------------------------
// Where the areas of a scroll bar lie, in its client coordinates.
class TlkScrollBarViewInfo : public TObject {
  QV_CLASS(TlkScrollBarViewInfo, TObject)
  explicit TlkScrollBarViewInfo(TlkScrollBar* AScrollBar) : FScrollBar(AScrollBar) {}

  // Arrows, thumb and page areas from the control's size, kind and values.
  virtual void CalculateRects();
  virtual void Recalculate() { CalculateRects(); }
  // The thumb from the position (and the page areas with it); empty when
  // the control is disabled or the track has no room for it.
  void CalculateThumbRect();
  // The page areas either side of the thumb; both empty without a thumb.
  void CalculatePageRects();
  // Where the position puts the thumb along the bar; false for no thumb.
  bool ThumbPlace(int& AStart, int& ALength) const;
  // The minimal thumb length, asked of the painter now.
  void ReadMinThumbSize();

  TlkScrollBar* ScrollBar() const { return FScrollBar; }
  const TRect& TopLeftArrowRect() const { return FTopLeftArrowRect; }
  const TRect& BottomRightArrowRect() const { return FBottomRightArrowRect; }
  const TRect& ThumbRect() const { return FThumbRect; }
  const TRect& PageBeforeRect() const { return FPageBeforeRect; }
  const TRect& PageAfterRect() const { return FPageAfterRect; }
  int MinThumbSize() const { return FMinThumbSize; }

  // The span between the arrows along the bar: its start and length.
  int TrackStart() const;
  int TrackLength() const;
  // The thumb's start and length along the bar.
  int ThumbStart() const;
  int ThumbLength() const;
  // Puts the thumb at AStart along the bar, its length kept (the drag).
  void MoveThumb(int AStart);

 private:
  bool Horizontal() const;

  TlkScrollBar* FScrollBar;
  TRect FTopLeftArrowRect{};
  TRect FBottomRightArrowRect{};
  TRect FThumbRect{};
  TRect FPageBeforeRect{};
  TRect FPageAfterRect{};
  int FMinThumbSize = 0;
};

// Makes the view info of a scroll bar.
using TlkScrollBarViewInfoClass = TlkScrollBarViewInfo* (*)(TlkScrollBar* AScrollBar);

// ---------------------------------------------------------------------------
class TlkScrollBar : public TCustomControl {
  QV_CLASS(TlkScrollBar, TCustomControl)
  // 121 pixels wide and as high as the platform's horizontal scroll bar;
  // range 0 to 100 at 0, steps of 1.
  explicit TlkScrollBar(TComponent* AOwner);
  ~TlkScrollBar() override;
  TlkScrollBar(const TlkScrollBar&) = delete;
  TlkScrollBar& operator=(const TlkScrollBar&) = delete;

  // At run time a new kind exchanges width and height; while the control
  // is read from a form only the layout follows.
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  // Steps of a page and of an arrow, kept within 1 to 32767.
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int Value);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int Value);
  // Each setter goes through SetScrollParams with the other three values.
  int Min() const { return FMin; }
  void SetMin(int Value) { setParam(Value, FMax, FPageSize, FPosition); }
  int Max() const { return FMax; }
  void SetMax(int Value) { setParam(FMin, Value, FPageSize, FPosition); }
  // The visible extent; 0 gives a thumb of the platform's fixed size.
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value) { setParam(FMin, FMax, Value, FPosition); }
  int Position() const { return FPosition; }
  void SetPosition(int Value) { setParam(FMin, FMax, FPageSize, Value); }
  // The thumb follows the pointer however far it leaves the control.
  bool UnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(bool Value) { FUnlimitedTracking = Value; }
  // The owned look and feel; assigning copies into it.
  TlkLookAndFeel* LookAndFeel() const { return FLookAndFeel; }
  void SetLookAndFeel(TlkLookAndFeel* Value);

  // The one way the four values change. EInvalidOperation
  // (SScrollBarRange), nothing changed, for AMax below AMin or APageSize,
  // a negative page or a page above AMax - AMin. APosition is clamped
  // into [AMin, AMax]; a new position enables the control and fires
  // OnChange. ARedraw repaints (when the window exists).
  void SetScrollParams(int AMin, int AMax, int APageSize, int APosition, bool ARedraw);

  // The area at a client point: an arrow, the thumb, a page area, or
  // sbaNone outside the control and between the arrows when there is no
  // thumb.
  TlkScrollBarArea AreaAtPoint(const TPoint& P) const;
  // The state each area is drawn in now.
  TlkPartDrawState AreaState(TlkScrollBarArea AArea) const;
  TlkScrollBarArea PressedArea() const { return FPressedArea; }
  TlkScrollBarArea HotArea() const { return FHotArea; }
  TlkScrollBarViewInfo* ViewInfo() const { return FViewInfo; }
  // The position the thumb's place stands for. A thumb that cannot move
  // (it fills the track) or lies where the position puts it stands for the
  // position as it is; a dragged thumb back at its place of the press for
  // the position of the press.
  int PositionFromThumb() const;

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  // Position changed through the parameters.
  TNotifyEvent OnChange;
  // Every scroll step, with the position it leads to; the handler may move
  // it (kept within [Min, Max]).
  TScrollEvent OnScroll;

  QV_PUBLISHED(TlkScrollBar) {
    P.Prop("Kind", &TlkScrollBar::Kind, &TlkScrollBar::SetKind).Default(sbHorizontal);
    P.Prop("LargeChange", &TlkScrollBar::LargeChange, &TlkScrollBar::SetLargeChange).Default(1);
    P.Prop("SmallChange", &TlkScrollBar::SmallChange, &TlkScrollBar::SetSmallChange).Default(1);
    P.Prop("Min", &TlkScrollBar::Min, &TlkScrollBar::SetMin).Default(0);
    P.Prop("Max", &TlkScrollBar::Max, &TlkScrollBar::SetMax).Default(100);
    P.Prop("PageSize", &TlkScrollBar::PageSize, &TlkScrollBar::SetPageSize);
    P.Prop("Position", &TlkScrollBar::Position, &TlkScrollBar::SetPosition).Default(0);
    P.Prop("UnlimitedTracking", &TlkScrollBar::UnlimitedTracking, &TlkScrollBar::SetUnlimitedTracking)
        .Default(false);
    P.Prop("LookAndFeel", &TlkScrollBar::LookAndFeel, &TlkScrollBar::SetLookAndFeel);
    P.Event("OnChange", &TlkScrollBar::OnChange);
    P.Event("OnScroll", &TlkScrollBar::OnScroll);
  }

 protected:
  // CM_CHANGED, then OnChange.
  virtual void Changed();
  // The constructor makes this class's own view info: C++ calls no
  // override from a base constructor.
  virtual TlkScrollBarViewInfoClass GetViewInfoClass() const;
  // Every area into ACanvas: the thumb (or, without one, the whole control
  // as one page area), the arrows, then the page areas that are not empty.
  virtual void DrawParts(TlkCanvas* ACanvas);
  virtual void DrawPart(TlkCanvas* ACanvas, const TRect& R, TlkScrollBarArea AArea, TlkPartDrawState AState);
  // OnScroll.
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);

  // One scroll step: the new position goes through Scroll and is clamped;
  // a drag (scTrack) moves the position without OnChange.
  void DoScroll(TScrollCode ACode);
  // Ends a press of any area: a dragged thumb settles (scPosition), the
  // repeat stops, scEndScroll, and the thumb goes where the position is.
  void EndPress();

  void Paint() override;
  void Loaded() override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(TCMMouseEnter& Message) override;
  void CMMouseLeave(TCMMouseLeave& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMSysColorChange(TMessage& Message) override;
  void WMCancelMode(TMessage& Message) override;
  void WMEraseBkgnd(TWMEraseBkgnd& Message) override;

 private:
  friend class TlkScrollBarViewInfo;
  TlkLookAndFeelPainterClass Painter() const { return FLookAndFeel->Painter(); }
  bool Horizontal() const { return FKind == sbHorizontal; }
  // A setter's values: checked and applied at once, or at the end of
  // reading a form, whose properties come one at a time.
  void setParam(int AMin, int AMax, int APageSize, int APosition);
  void LookAndFeelChanged();
  void ThemeChanged();
  void RepeatTimerTick();
  static TScrollCode ScrollByArea(TlkScrollBarArea AArea);
  static bool IsRepeatArea(TlkScrollBarArea AArea);
  bool HoverRepaints() const;

  TBitmap* FBitmap = nullptr;
  TlkCanvas* FBitmapCanvas = nullptr;
  TlkLookAndFeel* FLookAndFeel = nullptr;
  TlkScrollBarViewInfo* FViewInfo = nullptr;
  TuiThemeChangedNotificator* FThemeNotificator = nullptr;
  TlkTimer* FRepeatTimer = nullptr;

  TScrollBarKind FKind = sbHorizontal;
  int FLargeChange = 1;
  int FSmallChange = 1;
  int FMin = 0;
  int FMax = 100;
  int FPageSize = 0;
  int FPosition = 0;
  bool FUnlimitedTracking = false;

  TlkScrollBarArea FPressedArea = sbaNone;
  TlkScrollBarArea FHotArea = sbaNone;
  // The thumb press: pointer, position and thumb corner then.
  TPoint FDownPoint{};
  int FSavedPosition = 0;
  TPoint FSavedThumbTopLeft{};
};
