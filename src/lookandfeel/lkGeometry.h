// A rectangle that a component can publish and stream and that reports its
// changes, and the small rectangle routines the painters and the navigation
// bar's layout use.
#pragma once

#include "platform/classlib/Classes.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/TypInfo.h"

class TlkRect : public TPersistent {
  QV_CLASS(TlkRect, TPersistent)
  // Starts as (0, 0, 0, 0). The owner is what streaming paths name it by.
  explicit TlkRect(TPersistent* AOwner = nullptr);

  int Left() const { return GetValue(0); }
  void SetLeft(int Value) { SetValue(0, Value); }
  int Top() const { return GetValue(1); }
  void SetTop(int Value) { SetValue(1, Value); }
  int Right() const { return GetValue(2); }
  void SetRight(int Value) { SetValue(2, Value); }
  int Bottom() const { return GetValue(3); }
  void SetBottom(int Value) { SetValue(3, Value); }
  const TRect& Rect() const { return FRect; }
  // Stores a different rectangle and fires OnChange; an equal one changes
  // nothing.
  void SetRect(const TRect& Value);

  // From another TlkRect; any other source (or none) is ignored.
  void Assign(TPersistent* Source) override;
  bool IsEqual(const TRect& R) const;

  TNotifyEvent OnChange;

  QV_PUBLISHED(TlkRect) {
    P.Prop("Left", &TlkRect::Left, &TlkRect::SetLeft);
    P.Prop("Top", &TlkRect::Top, &TlkRect::SetTop);
    P.Prop("Right", &TlkRect::Right, &TlkRect::SetRight);
    P.Prop("Bottom", &TlkRect::Bottom, &TlkRect::SetBottom);
    P.Event("OnChange", &TlkRect::OnChange);
  }

 protected:
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  // 0 Left, 1 Top, 2 Right, anything else Bottom.
  int GetValue(int Index) const;
  void SetValue(int Index, int Value);

  TPersistent* FOwner;
  TRect FRect{0, 0, 0, 0};
};

int lkGetRectWidth(const TRect& R);
int lkGetRectHeight(const TRect& R);
// R with each side moved outwards by its amount; negative amounts shrink it.
TRect lkGrowRect(const TRect& R, int GrowLeft, int GrowTop, int GrowRight, int GrowBottom);
// R with Left set and Right at Left + Width; Top and Bottom unchanged.
TRect lkRectSetLeftWidth(const TRect& R, int Left, int Width);
bool RectsEqual(const TRect& A, const TRect& B);

// The unit in the program's start-up order (uses lkClasses).
extern const qv::classlib::TUnitInfo lkGeometryUnit;

namespace lkGeometry {

// Unit start-up and shut-down: TlkRect is found by name for streaming while
// the unit runs. Counted: only the first Initialize and the matching last
// Finalize act.
void Initialize();
void Finalize();

}  // namespace lkGeometry
