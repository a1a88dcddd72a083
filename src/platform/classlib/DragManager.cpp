#include "platform/classlib/DragManager.h"

#include <cstdlib>

#include "platform/desktop/Recorder.h"
#include "platform/os/user/User.h"

namespace qv::classlib {

void DragAccess::setTarget(TDragObject* o, TControl* t) {
  o->FDragTarget = t;
  if (!t) o->FDragTargetPos = {0, 0};
}
void DragAccess::setPos(TDragObject* o, const TPoint& p) {
  o->FDragPos = p;
  if (o->FDragTarget) o->FDragTargetPos = o->FDragTarget->ScreenToClient(p);
}
void DragAccess::setCancelling(TDragObject* o, bool v) { o->FCancelling = v; }
void DragAccess::setDropped(TDragObject* o, bool v) { o->FDropped = v; }
void DragAccess::setHandle(TDragObject* o, HWND h) { o->FDragHandle = h; }

}  // namespace qv::classlib

namespace {

struct DragState {
  TControl* control = nullptr;
  TDragObject* object = nullptr;
  bool ownsObject = false;
  bool activated = false;
  TPoint start{0, 0};
  int threshold = 5;
  HWND capture = nullptr;
  TCursor cursor = crDefault;
  bool ending = false;
};

DragState& drag() {
  static DragState s;
  static const bool reset = [] {
    qv::desktop::onReset([] {
      DragState& d = drag();
      if (d.ownsObject) delete d.object;
      d = DragState{};
      qv::classlib::dragThreshold() = 5;
    });
    return true;
  }();
  (void)reset;
  return s;
}

void finishDrag(bool drop);

TObject* sourceFor(TDragObject* Object) {
  DragState& s = drag();
  if (s.ownsObject && Object == s.object)
    if (auto* c = dynamic_cast<TDragControlObject*>(Object)) return c->Control();
  return Object;
}

// Asks the target through CM_DRAG; answers its accept.
bool dragMessage(TControl* Target, TDragMessage Msg, const TPoint& Pos) {
  if (!Target) return false;
  TDragRec rec{Pos, drag().object, Target, false};
  return Target->Perform(CM_DRAG, static_cast<WPARAM>(Msg), reinterpret_cast<LPARAM>(&rec)) != 0;
}

void showCursor(TCursor Cursor) {
  drag().cursor = Cursor;
  SetCursor(qv::classlib::cursorHandle(Cursor));
}

void dragTo(const TPoint& Pos) {
  DragState& s = drag();
  if (!s.object || s.ending) return;
  if (!s.activated) {
    if (std::abs(Pos.x - s.start.x) <= s.threshold && std::abs(Pos.y - s.start.y) <= s.threshold) return;
    s.activated = true;
  }
  TDragObject* obj = s.object;
  TControl* target = FindDragTarget(Pos, false);
  if (target != obj->DragTarget()) {
    // The old target hears of the leave at the point it knew last.
    TControl* old = obj->DragTarget();
    dragMessage(old, dmDragLeave, obj->DragPos());
    if (!s.object) return;
    qv::classlib::DragAccess::setTarget(obj, target);
    dragMessage(target, dmDragEnter, Pos);
    if (!s.object) return;
  }
  qv::classlib::DragAccess::setPos(obj, Pos);
  bool accepted = dragMessage(obj->DragTarget(), dmDragMove, Pos);
  if (!s.object) return;
  showCursor(obj->GetDragCursor(accepted, Pos.x, Pos.y));
}

LRESULT captureProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  DragState& s = drag();
  if (s.object && hwnd == s.capture) {
    switch (msg) {
      case WM_MOUSEMOVE: {
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ClientToScreen(hwnd, &p);
        dragTo({p.x, p.y});
        return 0;
      }
      case WM_LBUTTONUP:
      case WM_RBUTTONUP: {
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ClientToScreen(hwnd, &p);
        if (p.x != s.object->DragPos().x || p.y != s.object->DragPos().y) dragTo({p.x, p.y});
        finishDrag(true);
        return 0;
      }
      case WM_CANCELMODE:
        finishDrag(false);
        return 0;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (wp == VK_ESCAPE) finishDrag(false);
        return 0;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hwnd) finishDrag(false);
        return 0;
    }
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

HWND makeCaptureWindow() {
  // Registered every time: a desktop reset forgets the classes, and a
  // second registration merely fails.
  WNDCLASS wc{};
  wc.lpfnWndProc = &captureProc;
  wc.lpszClassName = "QvDragCapture";
  RegisterClass(&wc);
  // At the screen's origin, so that its client points are screen points.
  return CreateWindowEx(WS_EX_TOOLWINDOW, "QvDragCapture", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                        nullptr);
}

void finishDrag(bool drop) {
  DragState& s = drag();
  if (!s.object || s.ending) return;
  s.ending = true;
  TDragObject* obj = s.object;
  qv::classlib::DragAccess::setCancelling(obj, !drop);
  TControl* target = s.activated ? obj->DragTarget() : nullptr;
  TPoint pos = obj->DragPos();
  // The target hears that the cursor leaves; when dropping, its answer is
  // the final say on whether the drop is accepted.
  bool accepted = dragMessage(target, dmDragLeave, pos) && drop;
  TPoint local = accepted ? target->ScreenToClient(pos) : TPoint{0, 0};
  HWND capture = s.capture;
  s.capture = nullptr;
  if (GetCapture() == capture) ReleaseCapture();
  if (capture) DestroyWindow(capture);
  qv::classlib::DragAccess::setDropped(obj, accepted);
  if (accepted) dragMessage(target, dmDragDrop, pos);
  // The source may be gone by now (a drop that frees it).
  TControl* source = s.control;
  bool owns = s.ownsObject;
  s.object = nullptr;
  s.control = nullptr;
  s.ownsObject = false;
  s.activated = false;
  s.cursor = crDefault;
  SetCursor(qv::classlib::cursorHandle(crDefault));
  if (source || !owns) obj->Finished(accepted ? target : nullptr, local.x, local.y, accepted);
  if (owns) delete obj;
  s.ending = false;
}

}  // namespace

// ---------------------------------------------------------------------------
TDragObject::~TDragObject() {
  // A drag object freed while its drag runs ends the drag first.
  if (drag().object == this && !drag().ending) {
    drag().ownsObject = false;
    finishDrag(false);
  }
}

TCursor TDragObject::GetDragCursor(bool Accepted, int X, int Y) {
  (void)X;
  (void)Y;
  return Accepted ? crDrag : crNoDrop;
}

void TDragObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  (void)Target;
  (void)X;
  (void)Y;
  (void)Accepted;
}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  (void)X;
  (void)Y;
  return Accepted && FControl ? FControl->DragCursor() : crNoDrop;
}

void TDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  (void)Accepted;
  if (FControl) qv::classlib::DragAccess::endDrag(FControl, Target, X, Y);
}

void CancelDrag() { finishDrag(false); }

// ---------------------------------------------------------------------------
void TControl::BeginDrag(bool Immediate, int Threshold) {
  DragState& s = drag();
  if (s.object) return;  // one drag at a time
  TDragObject* obj = nullptr;
  s.control = this;
  qv::classlib::DragAccess::startDrag(this, obj);
  if (s.control != this || s.object) return;  // the start handler freed us or began another drag
  s.ownsObject = obj == nullptr;
  if (!obj) obj = new TDragControlObject(this);
  s.object = obj;
  s.activated = false;
  s.threshold = Threshold < 0 ? qv::classlib::dragThreshold() : Threshold;
  POINT p{0, 0};
  GetCursorPos(&p);
  s.start = {p.x, p.y};
  qv::classlib::DragAccess::setPos(obj, s.start);
  qv::classlib::DragAccess::setTarget(obj, nullptr);
  qv::classlib::DragAccess::setDropped(obj, false);
  qv::classlib::DragAccess::setCancelling(obj, false);
  s.capture = makeCaptureWindow();
  qv::classlib::DragAccess::setHandle(obj, s.capture);
  SetCapture(s.capture);
  if (Immediate) {
    s.activated = true;
    dragTo(s.start);
  }
}

void TControl::EndDrag(bool Drop) {
  if (Dragging()) finishDrag(Drop);
}

bool TControl::Dragging() const { return drag().object && drag().control == this; }

void TControl::CMDrag(TMessage& Message) {
  auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
  if (!rec) return;
  TPoint local = ScreenToClient(rec->Pos);
  TObject* source = sourceFor(rec->Source);
  switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      TDragState state = Message.WParam == dmDragEnter   ? dsDragEnter
                         : Message.WParam == dmDragLeave ? dsDragLeave
                                                         : dsDragMove;
      bool accept = true;
      DragOver(source, local.x, local.y, state, accept);
      Message.Result = accept ? 1 : 0;
      break;
    }
    case dmDragDrop:
      DragDrop(source, local.x, local.y);
      break;
    default:
      break;
  }
}

namespace qv::classlib {

TDragObject* activeDragObject() { return drag().object; }
TControl* activeDragControl() { return drag().object ? drag().control : nullptr; }
bool dragActivated() { return drag().object && drag().activated; }
TCursor dragCursor() { return drag().object ? drag().cursor : crDefault; }

int& dragThreshold() {
  static int threshold = 5;
  return threshold;
}

void DragAccess::controlGone(TControl* Control) {
  DragState& s = drag();
  if (!s.object) return;
  if (s.object->DragTarget() == Control) setTarget(s.object, nullptr);
  if (auto* c = dynamic_cast<TDragControlObject*>(s.object); c && c->Control() == Control) c->SetControl(nullptr);
  if (s.control == Control) {
    s.control = nullptr;
    finishDrag(false);
  }
}

bool DragAccess::keyMessage(TMessage& Message) {
  DragState& s = drag();
  if (!s.object) return false;
  bool down = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
  if (down && Message.WParam == VK_ESCAPE) {
    finishDrag(false);
    return true;
  }
  // Ctrl and Shift may change what a drop would do: the target is asked
  // again at the same point, and the cursor follows its answer.
  bool up = Message.Msg == WM_KEYUP || Message.Msg == WM_SYSKEYUP;
  if ((down || up) && (Message.WParam == VK_CONTROL || Message.WParam == VK_SHIFT)) {
    if (s.activated) dragTo(s.object->DragPos());
    return true;
  }
  return Message.Msg == WM_CHAR && Message.WParam == VK_ESCAPE;
}

}  // namespace qv::classlib
