// The class library's drag manager: dragging a control's content onto
// another control of the program.
//
// BeginDrag starts a drag at the cursor: the source's OnStartDrag may hand
// over a drag object, else a TDragControlObject for the source is made. A
// hidden window takes the mouse capture for the whole drag, so every mouse
// message of the drag reaches the manager wherever the cursor is. Once the
// mouse has moved beyond the threshold (or at once for an immediate drag) the
// control under the cursor is asked with CM_DRAG: dsDragEnter when the cursor
// comes to it, dsDragMove on every move, dsDragLeave when it goes; its
// DragOver answers whether it would accept the drop, and the drag object
// turns that into the cursor (DragCursor of the source, or crNoDrop).
// Releasing the button drops: the target is asked once more (dsDragLeave);
// if it accepts, its DragDrop runs, then the source's EndDrag with the target
// and the drop point in the target's client coordinates (either button's
// release drops, so a drag begun with the right button works the same).
// Pressing or releasing Ctrl or Shift asks the target again where the cursor
// is. Escape, a lost capture, or EndDrag(false) cancel: EndDrag with no
// target.
//
// Sources passed to DragOver and DragDrop: the source control for a drag
// object the manager made, else the drag object itself.
#pragma once

#include "platform/classlib/Controls.h"

enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

// CM_DRAG: WParam is the TDragMessage, LParam points at this record.
struct TDragRec {
  TPoint Pos;  // screen
  TDragObject* Source;
  TControl* Target;
  bool Docking;
};

class TDragObject : public TObject {
  QV_CLASS(TDragObject, TObject)
  TDragObject() = default;
  ~TDragObject() override;

  // crDrag when the target would accept the drop, else crNoDrop.
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
  // The drag has ended; Target is null unless it was dropped and accepted.
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted);

  // The cursor's last screen point, the control under it and the point in
  // that control's client coordinates.
  TPoint DragPos() const { return FDragPos; }
  TControl* DragTarget() const { return FDragTarget; }
  TPoint DragTargetPos() const { return FDragTargetPos; }
  // The window that holds the capture during the drag.
  HWND DragHandle() const { return FDragHandle; }
  bool Dropped() const { return FDropped; }
  bool Cancelling() const { return FCancelling; }

 private:
  TPoint FDragPos{0, 0};
  TControl* FDragTarget = nullptr;
  TPoint FDragTargetPos{0, 0};
  HWND FDragHandle = nullptr;
  bool FDropped = false;
  bool FCancelling = false;
  friend struct qv::classlib::DragAccess;
};

class TDragControlObject : public TDragObject {
  QV_CLASS(TDragControlObject, TDragObject)
  explicit TDragControlObject(TControl* AControl) : FControl(AControl) {}

  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value) { FControl = Value; }
  // The control's DragCursor when accepted, else crNoDrop.
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  // Hands the end to the control's DoEndDrag (its OnEndDrag).
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;

 private:
  TControl* FControl;
};

// Ends the drag in progress without a drop.
void CancelDrag();

namespace qv::classlib {

// The drag in progress and its source (null when none).
TDragObject* activeDragObject();
TControl* activeDragControl();
// Whether the drag has passed its threshold and targets are being asked.
bool dragActivated();
// The cursor the drag shows now (crDefault when no drag runs).
TCursor dragCursor();
// The distance the mouse must move before a drag that is not immediate
// begins (the class library's Mouse.DragThreshold).
int& dragThreshold();

// What the controls tell the drag manager.
struct DragAccess {
  // A control is being destroyed: a drag from it is cancelled, and it stops
  // being the target.
  static void controlGone(TControl* Control);
  // A key message reached a control; true when the drag took it.
  static bool keyMessage(TMessage& Message);
  // The hooks of TControl the manager calls.
  static void startDrag(TControl* Control, TDragObject*& Object) { Control->DoStartDrag(Object); }
  static void endDrag(TControl* Control, TObject* Target, int X, int Y) { Control->DoEndDrag(Target, X, Y); }
  // The drag object's state, kept by the manager.
  static void setTarget(TDragObject* Object, TControl* Target);
  static void setPos(TDragObject* Object, const TPoint& Pos);
  static void setCancelling(TDragObject* Object, bool Value);
  static void setDropped(TDragObject* Object, bool Value);
  static void setHandle(TDragObject* Object, HWND Handle);
};

}  // namespace qv::classlib
