#include "platform/classlib/Controls.h"

#include <algorithm>
#include <unordered_map>

#include "platform/classlib/ActnList.h"
#include "platform/classlib/DragManager.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Menus.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/User.h"

namespace {

// The control whose window is being made: its window procedure binds the
// first message's window to it.
TWinControl* creationControl = nullptr;
// A graphic control that holds the capture through its parent's window.
TControl* captureControl = nullptr;
TControl* mouseCtl = nullptr;
std::unordered_map<HWND, TWinControl*>& windowMap() {
  static std::unordered_map<HWND, TWinControl*> map;
  return map;
}

qv::classlib::CursorResolver& resolver() {
  static qv::classlib::CursorResolver r;
  return r;
}

void setMouseControl(TControl* Control) {
  if (Control == mouseCtl) return;
  TControl* old = mouseCtl;
  mouseCtl = Control;
  if (old) old->Perform(CM_MOUSELEAVE);
  if (Control && Control == mouseCtl) Control->Perform(CM_MOUSEENTER);
}

LPARAM pointParam(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

bool isMouseMsg(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST; }

}  // namespace

TShiftState KeysToShiftState(WORD Keys) {
  TShiftState s;
  if (Keys & MK_SHIFT) s.Include(ssShift);
  if (Keys & MK_CONTROL) s.Include(ssCtrl);
  if (Keys & MK_LBUTTON) s.Include(ssLeft);
  if (Keys & MK_RBUTTON) s.Include(ssRight);
  if (Keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LONG KeyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (KeyData & 0x20000000) s.Include(ssAlt);
  return s;
}

TWinControl* FindControl(HWND Handle) {
  auto it = windowMap().find(Handle);
  return it == windowMap().end() ? nullptr : it->second;
}

TControl* GetCaptureControl() {
  TControl* result = FindControl(GetCapture());
  if (result && captureControl && captureControl->Parent() == result) result = captureControl;
  return result;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  captureControl = nullptr;
  if (!Control) return;
  auto* win = dynamic_cast<TWinControl*>(Control);
  if (!win) {
    if (!Control->Parent()) return;
    captureControl = Control;
    win = Control->Parent();
  }
  SetCapture(win->Handle());
}

TControl* FindDragTarget(const POINT& Pos, bool AllowDisabled) {
  TWinControl* win = FindControl(WindowFromPoint(Pos));
  if (!win) return nullptr;
  TControl* child = win->ControlAtPos(win->ScreenToClient(Pos), AllowDisabled);
  return child ? child : win;
}

namespace qv::classlib {

void setCursorResolver(CursorResolver Resolver) { resolver() = std::move(Resolver); }

HCURSOR cursorHandle(TCursor Cursor) {
  if (resolver()) return resolver()(Cursor);
  LPCSTR id = nullptr;
  switch (Cursor) {
    case crNone:
      return nullptr;
    case crArrow:
      id = IDC_ARROW;
      break;
    case crCross:
      id = IDC_CROSS;
      break;
    case crIBeam:
      id = IDC_IBEAM;
      break;
    case crSizeNESW:
      id = IDC_SIZENESW;
      break;
    case crSizeNS:
      id = IDC_SIZENS;
      break;
    case crSizeNWSE:
      id = IDC_SIZENWSE;
      break;
    case crSizeWE:
      id = IDC_SIZEWE;
      break;
    case crUpArrow:
      id = IDC_UPARROW;
      break;
    case crHourGlass:
      id = IDC_WAIT;
      break;
    case crNo:
      id = IDC_NO;
      break;
    case crAppStart:
      id = IDC_APPSTARTING;
      break;
    case crHelp:
      id = IDC_HELP;
      break;
    case crHandPoint:
      id = IDC_HAND;
      break;
    case crSizeAll:
      id = IDC_SIZEALL;
      break;
    default:
      id = IDC_ARROW;
      break;
  }
  return LoadCursor(nullptr, id);
}

TControl* mouseControl() { return mouseCtl; }

LRESULT controlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* control = FindControl(hwnd);
  if (!control && creationControl) {
    control = creationControl;
    creationControl = nullptr;
    control->FHandle = hwnd;
    windowMap()[hwnd] = control;
  }
  if (!control) return DefWindowProc(hwnd, msg, wParam, lParam);
  TMessage m{msg, wParam, lParam, 0};
  try {
    if (control->WindowProc)
      control->WindowProc(m);
    else
      control->WndProc(m);
  } catch (...) {
    if (Application) Application->HandleException(control);
  }
  return m.Result;
}

}  // namespace qv::classlib

// ---------------------------------------------------------------------------
void TSizeConstraints::SetMaxHeight(int Value) {
  if (Value == FMaxHeight) return;
  FMaxHeight = Value;
  if (Value > 0 && Value < FMinHeight) FMinHeight = Value;
  Change();
}
void TSizeConstraints::SetMaxWidth(int Value) {
  if (Value == FMaxWidth) return;
  FMaxWidth = Value;
  if (Value > 0 && Value < FMinWidth) FMinWidth = Value;
  Change();
}
void TSizeConstraints::SetMinHeight(int Value) {
  if (Value == FMinHeight) return;
  FMinHeight = Value;
  if (FMaxHeight > 0 && Value > FMaxHeight) FMaxHeight = Value;
  Change();
}
void TSizeConstraints::SetMinWidth(int Value) {
  if (Value == FMinWidth) return;
  FMinWidth = Value;
  if (FMaxWidth > 0 && Value > FMaxWidth) FMaxWidth = Value;
  Change();
}
void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
    FMaxHeight = s->FMaxHeight;
    FMaxWidth = s->FMaxWidth;
    FMinHeight = s->FMinHeight;
    FMinWidth = s->FMinWidth;
    Change();
    return;
  }
  inherited::Assign(Source);
}
void TSizeConstraints::Change() {
  // The control applies the new limits to its current size.
  if (FControl && !FControl->ComponentState().Contains(csLoading))
    FControl->SetBounds(FControl->FLeft, FControl->FTop, FControl->FWidth, FControl->FHeight);
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  WindowProc = [this](TMessage& Message) { WndProc(Message); };
  FFont = new TFont();
  FFont->OnChange = [this](TObject*) { fontChanged(); };
  FConstraints = new TSizeConstraints(this);
}

TControl::~TControl() {
  Destroying();
  if (mouseCtl == this) mouseCtl = nullptr;
  if (captureControl == this) SetCaptureControl(nullptr);
  qv::classlib::DragAccess::controlGone(this);
  if (FParent) FParent->RemoveControl(this);
  if (Application) Application->controlGone(this);
  delete FActionLink;
  FActionLink = nullptr;
  delete FConstraints;
  FFont->OnChange = nullptr;
  delete FFont;
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (static_cast<TControl*>(AParent) == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

void TControl::checkNewSize(int& NewWidth, int& NewHeight) {
  int w = NewWidth, h = NewHeight;
  if (!CanResize(w, h)) {
    NewWidth = FWidth;
    NewHeight = FHeight;
    return;
  }
  int minW = FConstraints->MinWidth(), minH = FConstraints->MinHeight();
  int maxW = FConstraints->MaxWidth(), maxH = FConstraints->MaxHeight();
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && w > maxW) w = maxW;
  if (minW > 0 && w < minW) w = minW;
  if (maxH > 0 && h > maxH) h = maxH;
  if (minH > 0 && h < minH) h = minH;
  NewWidth = w;
  NewHeight = h;
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
  bool result = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, result);
  return result;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  checkNewSize(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  bool sized = AWidth != FWidth || AHeight != FHeight;
  InvalidateControl(FVisible, false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  Invalidate();
  UpdateAnchorRules();
  RequestAlign();
  if (sized && !ComponentState().Contains(csLoading)) Resize();
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

TRect TControl::ClientRect() { return {0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int AWidth, int AHeight) {
  TRect r = ClientRect();
  SetBounds(FLeft, FTop, FWidth - r.right + AWidth, FHeight - r.bottom + AHeight);
}

TPoint TControl::ClientOrigin() {
  if (!FParent) throw EInvalidOperation("Control '%s' has no parent window", {Name()});
  TPoint p = FParent->ClientOrigin();
  return {p.x + FLeft, p.y + FTop};
}

TPoint TControl::ClientToScreen(const TPoint& Point) {
  TPoint o = ClientOrigin();
  return {Point.x + o.x, Point.y + o.y};
}

TPoint TControl::ScreenToClient(const TPoint& Point) {
  TPoint o = ClientOrigin();
  return {Point.x - o.x, Point.y - o.y};
}

// The anchors an alignment implies: the edges it keeps the control at.
static TAnchors anchorAlign(TAlign Align) {
  switch (Align) {
    case alTop:
      return {akLeft, akTop, akRight};
    case alBottom:
      return {akLeft, akRight, akBottom};
    case alLeft:
      return {akLeft, akTop, akBottom};
    case alRight:
      return {akRight, akTop, akBottom};
    case alClient:
      return {akLeft, akTop, akRight, akBottom};
    default:
      return {akLeft, akTop};
  }
}

void TControl::SetAlign(TAlign Value) {
  if (Value != FAlign) {
    TAlign old = FAlign;
    FAlign = Value;
    SetAnchors(anchorAlign(Value));
    // Turning between a row and a column alignment turns the control too.
    auto row = [](TAlign a) { return a == alTop || a == alBottom; };
    auto column = [](TAlign a) { return a == alLeft || a == alRight; };
    if (!ComponentState().Contains(csLoading) && ((row(old) && column(Value)) || (column(old) && row(Value))))
      SetBounds(FLeft, FTop, FHeight, FWidth);
  }
  RequestAlign();
}

bool TControl::IsAnchorsStored() const { return !(FAnchors == anchorAlign(FAlign)); }

void TControl::SetAnchors(TAnchors Value) {
  if (Value == FAnchors) return;
  FAnchors = Value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FAnchorMove || ComponentState().Contains(csLoading)) return;
  if (FAnchors == TAnchors{akLeft, akTop}) {
    FOriginalParentSize = {0, 0};
    return;
  }
  if (FAnchors.Contains(akRight))
    FAnchorRules.x = FAnchors.Contains(akLeft) ? FWidth : FLeft;
  else
    FAnchorRules.x = FLeft + FWidth / 2;
  if (FAnchors.Contains(akBottom))
    FAnchorRules.y = FAnchors.Contains(akTop) ? FHeight : FTop;
  else
    FAnchorRules.y = FTop + FHeight / 2;
  if (FParent) {
    TRect r = FParent->ClientRect();
    FOriginalParentSize = {r.right, r.bottom};
  }
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
  RequestAlign();
}

void TControl::Show() { SetVisible(true); }

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const std::string& Value) {
  if (Value == GetText()) return;
  FText = Value;
  if (auto* win = dynamic_cast<TWinControl*>(this); win && win->HandleAllocated())
    SetWindowText(win->FHandle, Value.c_str());
  Perform(CM_TEXTCHANGED);
}

int TControl::GetTextLen() const { return static_cast<int>(GetText().size()); }

int TControl::GetTextBuf(char* Buffer, int BufSize) const {
  if (!Buffer || BufSize <= 0) return 0;
  std::string text = GetText();
  int n = std::min(static_cast<int>(text.size()), BufSize - 1);
  std::copy_n(text.data(), n, Buffer);
  Buffer[n] = '\0';
  return n;
}

void TControl::SetTextBuf(const char* Buffer) { SetText(Buffer ? Buffer : ""); }

void TControl::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::fontChanged() {
  FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool Value) {
  if (Value == FShowHint && !FParentShowHint) return;
  FShowHint = Value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value) {
  if (Value == FParentShowHint) return;
  FParentShowHint = Value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED);
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

std::string TControl::GetShortHint(const std::string& Hint) {
  auto bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(0, bar);
}

std::string TControl::GetLongHint(const std::string& Hint) {
  auto bar = Hint.find('|');
  return bar == std::string::npos ? Hint : Hint.substr(bar + 1);
}

// --- pop-up menu and action -------------------------------------------------
void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (Value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

TComponent* TControl::popupMenuRef() const { return FPopupMenu; }
void TControl::setPopupMenuRef(TComponent* Value) { SetPopupMenu(dynamic_cast<TPopupMenu*>(Value)); }
TComponent* TControl::actionRef() const { return Action(); }
void TControl::setActionRef(TComponent* Value) { SetAction(dynamic_cast<TBasicAction*>(Value)); }

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

TControlActionLink* TControl::CreateActionLink() { return new TControlActionLink(this); }

void TControl::SetAction(TBasicAction* Value) {
  if (!Value) {
    delete FActionLink;
    FActionLink = nullptr;
    return;
  }
  if (!FActionLink) FActionLink = CreateActionLink();
  FActionLink->SetAction(Value);
  ActionChange(Value, ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(Sender);
  if (!action) return;
  if (!CheckDefaults || Caption().empty() || Caption() == Name()) SetCaption(action->Caption());
  if (!CheckDefaults || Enabled()) SetEnabled(action->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(action->Hint());
  if (!CheckDefaults || Visible()) SetVisible(action->Visible());
}

void TControl::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
  if (FActionLink && AComponent == FActionLink->Action()) SetAction(nullptr);
}

void TControl::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  TPoint screen{static_cast<SHORT>(Message.LParamLo()), static_cast<SHORT>(Message.LParamHi())};
  bool fromKeyboard = screen.x == -1 && screen.y == -1;
  TPoint local = fromKeyboard ? TPoint{-1, -1} : ScreenToClient(screen);
  bool handled = false;
  DoContextPopup(local, handled);
  if (handled) {
    Message.Result = 1;
    return;
  }
  TPopupMenu* menu = GetPopupMenu();
  if (menu && menu->AutoPopup()) {
    if (fromKeyboard) screen = ClientToScreen({0, 0});
    menu->SetPopupComponent(this);
    menu->Popup(screen.x, screen.y);
    Message.Result = 1;
  }
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  if (FParent->ComponentState().Contains(csDestroying)) return;
  TRect r = BoundsRect();
  InvalidateRect(FParent->FHandle, &r, !(IsOpaque || FParent->FControlStyle.Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::SetZOrder(bool TopMost) {
  if (!FParent) return;
  auto& list = FParent->FControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  Invalidate();
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& Message) {
  // A key, a click or the pointer leaving takes the hint away; moves start
  // its pause.
  if (Application) {
    switch (Message.Msg) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDOWN:
      case WM_MBUTTONDBLCLK:
        Application->CancelHint();
        break;
      case CM_MOUSELEAVE:
        Application->HintMouseLeave(this);
        break;
      case WM_MOUSEMOVE:
        Application->HintMouseMessage(this, Message);
        break;
    }
  }
  // During a drag the keyboard steers the drag (Escape cancels it).
  if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST && qv::classlib::DragAccess::keyMessage(Message))
    return;
  if (isMouseMsg(Message.Msg)) {
    if (!FControlStyle.Contains(csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
          Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
          break;
      }
    }
    switch (Message.Msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (FDragMode == dmAutomatic) {
          BeginAutoDrag();
          return;
        }
        FControlState.Include(csLButtonDown);
        break;
      case WM_LBUTTONUP:
        FControlState.Exclude(csLButtonDown);
        break;
    }
  }
  Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
  auto mouse = [&](void (TControl::*handler)(TWMMouse&)) {
    TWMMouse m(Message);
    (this->*handler)(m);
    Message.Result = m.Result;
  };
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      mouse(&TControl::WMLButtonDown);
      break;
    case WM_LBUTTONDBLCLK:
      mouse(&TControl::WMLButtonDblClk);
      break;
    case WM_LBUTTONUP:
      mouse(&TControl::WMLButtonUp);
      break;
    case WM_RBUTTONDOWN:
      mouse(&TControl::WMRButtonDown);
      break;
    case WM_RBUTTONDBLCLK:
      mouse(&TControl::WMRButtonDblClk);
      break;
    case WM_RBUTTONUP:
      mouse(&TControl::WMRButtonUp);
      break;
    case WM_MBUTTONDOWN:
      mouse(&TControl::WMMButtonDown);
      break;
    case WM_MBUTTONDBLCLK:
      mouse(&TControl::WMMButtonDblClk);
      break;
    case WM_MBUTTONUP:
      mouse(&TControl::WMMButtonUp);
      break;
    case WM_MOUSEMOVE:
      mouse(&TControl::WMMouseMove);
      break;
    case WM_CANCELMODE:
      WMCancelMode(Message);
      break;
    case CM_MOUSEENTER:
      CMMouseEnter(Message);
      break;
    case CM_MOUSELEAVE:
      CMMouseLeave(Message);
      break;
    case CM_ENABLEDCHANGED:
      CMEnabledChanged(Message);
      break;
    case CM_VISIBLECHANGED:
      CMVisibleChanged(Message);
      break;
    case CM_TEXTCHANGED:
      CMTextChanged(Message);
      break;
    case CM_COLORCHANGED:
      CMColorChanged(Message);
      break;
    case CM_PARENTCOLORCHANGED:
      CMParentColorChanged(Message);
      break;
    case CM_FONTCHANGED:
      CMFontChanged(Message);
      break;
    case CM_PARENTFONTCHANGED:
      CMParentFontChanged(Message);
      break;
    case CM_SHOWHINTCHANGED:
      CMShowHintChanged(Message);
      break;
    case CM_PARENTSHOWHINTCHANGED:
      CMParentShowHintChanged(Message);
      break;
    case CM_SYSCOLORCHANGE:
      CMSysColorChange(Message);
      break;
    case CM_CURSORCHANGED:
      CMCursorChanged(Message);
      break;
    case CM_HITTEST:
      CMHitTest(Message);
      break;
    case CM_HINTSHOW:
      CMHintShow(Message);
      break;
    case WM_CONTEXTMENU:
      WMContextMenu(Message);
      break;
    case CM_DRAG:
      CMDrag(Message);
      break;
    default:
      DefaultHandler(Message);
      break;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXTLENGTH:
      Message.Result = GetTextLen();
      break;
    case WM_GETTEXT:
      Message.Result = GetTextBuf(reinterpret_cast<char*>(Message.LParam), static_cast<int>(Message.WParam));
      break;
    case WM_SETTEXT:
      FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
      Message.Result = 1;
      break;
    default:
      break;
  }
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (Value == MouseCapture()) return;
  SetCaptureControl(Value ? this : nullptr);
}

void TControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (FActionLink && !ComponentState().Contains(csDesigning))
    FActionLink->Execute(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::doMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseDown(Button, KeysToShiftState(static_cast<WORD>(Message.Keys)) + Shift, Message.XPos, Message.YPos);
}

void TControl::doMouseUp(TWMMouse& Message, TMouseButton Button) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseUp(Button, KeysToShiftState(static_cast<WORD>(Message.Keys)), Message.XPos, Message.YPos);
}

void TControl::WMLButtonDown(TWMMouse& Message) {
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
  doMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonDblClk(TWMMouse& Message) {
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (FControlStyle.Contains(csClickEvents)) DblClick();
  doMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMLButtonUp(TWMMouse& Message) {
  if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (FControlState.Contains(csClicked)) {
    FControlState.Exclude(csClicked);
    TRect r = ClientRect();
    if (PtInRect(&r, Message.Pos())) Click();
  }
  doMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TWMMouse& Message) { doMouseDown(Message, mbRight, {}); }
void TControl::WMRButtonDblClk(TWMMouse& Message) { doMouseDown(Message, mbRight, {ssDouble}); }
// The default handling of the release asks for the context menu.
void TControl::WMRButtonUp(TWMMouse& Message) {
  doMouseUp(Message, mbRight);
  TMessage m{Message.Msg, static_cast<WPARAM>(Message.Keys),
             MAKELPARAM(static_cast<WORD>(Message.XPos), static_cast<WORD>(Message.YPos)), 0};
  DefaultHandler(m);
  Message.Result = m.Result;
}
void TControl::WMMButtonDown(TWMMouse& Message) { doMouseDown(Message, mbMiddle, {}); }
void TControl::WMMButtonDblClk(TWMMouse& Message) { doMouseDown(Message, mbMiddle, {ssDouble}); }
void TControl::WMMButtonUp(TWMMouse& Message) { doMouseUp(Message, mbMiddle); }

void TControl::WMMouseMove(TWMMouse& Message) {
  if (FControlStyle.Contains(csNoStdEvents)) return;
  MouseMove(KeysToShiftState(static_cast<WORD>(Message.Keys)), Message.XPos, Message.YPos);
}

void TControl::WMCancelMode(TMessage& Message) {
  (void)Message;
  if (MouseCapture()) {
    SetMouseCapture(false);
    FControlState.Exclude(csClicked);
  }
}

void TControl::CMEnabledChanged(TMessage& Message) {
  (void)Message;
  Invalidate();
}

void TControl::CMVisibleChanged(TMessage& Message) {
  (void)Message;
  InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::CMColorChanged(TMessage& Message) {
  (void)Message;
  Invalidate();
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!FParentColor) return;
  if (Message.WParam != 0)
    SetColor(static_cast<TColor>(Message.LParam));
  else if (FParent)
    SetColor(FParent->FColor);
  FParentColor = true;
}

void TControl::CMFontChanged(TMessage& Message) {
  (void)Message;
  Invalidate();
}

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!FParentFont) return;
  if (Message.WParam != 0)
    SetFont(reinterpret_cast<TFont*>(Message.LParam));
  else if (FParent)
    SetFont(FParent->FFont);
  FParentFont = true;
}

void TControl::CMParentShowHintChanged(TMessage& Message) {
  (void)Message;
  if (!FParentShowHint || !FParent) return;
  SetShowHint(FParent->FShowHint);
  FParentShowHint = true;
}

void TControl::Loaded() {
  inherited::Loaded();
  if (TBasicAction* action = Action()) ActionChange(action, true);
  if (FParent) {
    // Reading skipped what the parent hands down; take it now.
    Perform(CM_PARENTCOLORCHANGED);
    Perform(CM_PARENTFONTCHANGED);
    Perform(CM_PARENTSHOWHINTCHANGED);
  }
  UpdateAnchorRules();
  RequestAlign();
}

// BeginDrag, EndDrag, Dragging and CMDrag belong to the drag manager
// (DragManager.cpp).
void TControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = static_cast<bool>(OnDragOver);
  if (OnDragOver) OnDragOver(this, Source, X, Y, State, Accept);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

// ---------------------------------------------------------------------------
TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  FBrush = new TBrush();
  FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
  Destroying();
  if (mouseCtl == this) mouseCtl = nullptr;
  if (FHandle) DestroyWindowHandle();
  // Children go with their parent.
  while (!FControls.empty() || !FWinControls.empty()) {
    TControl* child = !FWinControls.empty() ? static_cast<TControl*>(FWinControls.back()) : FControls.back();
    if (auto* w = dynamic_cast<TWinControl*>(child)) {
      FWinControls.pop_back();
      FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
    } else {
      FControls.pop_back();
    }
    child->FParent = nullptr;
    delete child;
  }
  if (FParent) FParent->RemoveControl(this);
  delete FBrush;
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || Value == FParentWindow) return;
  FParentWindow = Value;
  if (FHandle) {
    if (Value)
      ::SetParent(FHandle, Value);
    else
      DestroyHandle();
  }
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams{};
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (FVisible) Params.Style |= WS_VISIBLE;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->Handle() : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProc;
  Params.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  Params.WindowClass.hInstance = GetModuleHandle(nullptr);
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, LPCSTR ControlClassName) {
  WNDCLASSA wc{};
  if (GetClassInfo(nullptr, ControlClassName, &wc) ||
      GetClassInfo(Params.WindowClass.hInstance, ControlClassName, &wc)) {
    HINSTANCE inst = Params.WindowClass.hInstance;
    Params.WindowClass = wc;
    Params.WindowClass.hInstance = inst;
    Params.WindowClass.style &= ~CS_GLOBALCLASS;
  }
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent)
    throw EInvalidOperation("Control '%s' has no parent window", {Name()});
  FDefWndProc = params.WindowClass.lpfnWndProc ? params.WindowClass.lpfnWndProc : DefWindowProc;
  WNDCLASSA existing{};
  HINSTANCE inst = params.WindowClass.hInstance;
  bool registered = GetClassInfo(inst, params.WinClassName.c_str(), &existing) != FALSE;
  if (!registered || existing.lpfnWndProc != &qv::classlib::controlWndProc) {
    if (registered) UnregisterClass(params.WinClassName.c_str(), inst);
    WNDCLASSA wc = params.WindowClass;
    wc.lpfnWndProc = &qv::classlib::controlWndProc;
    wc.lpszClassName = params.WinClassName.c_str();
    if (!RegisterClass(&wc)) throw Exception("Error creating window class");
  }
  creationControl = this;
  try {
    CreateWindowHandle(params);
  } catch (...) {
    creationControl = nullptr;
    throw;
  }
  creationControl = nullptr;
  if (!FHandle) throw Exception("Error creating window");
  if (FFont) SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND h = CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style, Params.X,
                          Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                          Params.WindowClass.hInstance, Params.Param);
  if (h) {
    FHandle = h;
    windowMap()[h] = this;
  }
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  FControlState.Include(csCreating);
  try {
    CreateWnd();
  } catch (...) {
    FControlState.Exclude(csCreating);
    throw;
  }
  FControlState.Exclude(csCreating);
  Realign();
  createChildHandles();
  FShowing = Showing();
}

void TWinControl::createChildHandles() {
  for (TWinControl* child : std::vector<TWinControl*>(FWinControls))
    if (child->FVisible && !child->FHandle && !child->FControlState.Contains(csCreating)) child->CreateHandle();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* child : FWinControls) child->DestroyHandle();
  DestroyWnd();
}

void TWinControl::DestroyWnd() {
  // The text lives in the window while there is one; keep it.
  FText = GetText();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState.Include(csDestroyingHandle);
  HWND h = FHandle;
  if (h) DestroyWindow(h);
  if (h) windowMap().erase(h);
  FHandle = nullptr;
  FTrackingLeave = false;
  FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  bool wasFocused = Focused();
  // A child's new window is visible by its style; a shown top-level window
  // must be shown again, or recreating it (a class style change) hides it.
  const bool shownTopLevel = !FParent && IsWindowVisible(FHandle);
  DestroyHandle();
  if (FParent ? FParent->HandleAllocated() : true) HandleNeeded();
  if (shownTopLevel && FHandle) ShowWindow(FHandle, SW_SHOWNA);
  if (wasFocused && FHandle) ::SetFocus(FHandle);
}

std::string TWinControl::GetText() const {
  if (!FHandle) return FText;
  int n = GetWindowTextLength(FHandle);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  int got = GetWindowText(FHandle, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(std::max(got, 0)));
  return s;
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* w = dynamic_cast<TWinControl*>(Value)) SetParent(w);
}

void TWinControl::GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == Root) Proc(c);
  }
  // The root also writes what it owns that no control holds.
  TComponent::GetChildren(Proc, Root);
}

TControl* TWinControl::Controls(int Index) const {
  int n = static_cast<int>(FControls.size());
  if (Index < 0 || Index >= ControlCount()) throw EListError("List index out of bounds (%d)", {Index});
  return Index < n ? FControls[Index] : FWinControls[Index - n];
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  AControl->ValidateContainer(this);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    FWinControls.push_back(w);
    FTabList.push_back(w);
  } else {
    FControls.push_back(AControl);
  }
  AControl->FParent = this;
  if (!AControl->ComponentState().Contains(csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED);
    AControl->Perform(CM_PARENTFONTCHANGED);
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
      if (FHandle && w->FVisible) w->HandleNeeded();
    } else if (FHandle) {
      AControl->Invalidate();
    }
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 1);
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (!AControl || AControl->FParent != this) return;
  bool dying = ComponentState().Contains(csDestroying);
  if (!dying) Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
  if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
    w->DestroyHandle();
    FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), w), FWinControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
  } else {
    AControl->InvalidateControl(AControl->FVisible, false);
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
  }
  AControl->FParent = nullptr;
  if (!dying) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), 0);
    Realign();
  }
}

bool TWinControl::ContainsControl(TControl* Control) const {
  for (TControl* c = Control; c; c = c->FParent)
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
  auto hit = [&](TControl* c) {
    TPoint p{Pos.x - c->FLeft, Pos.y - c->FTop};
    TRect r = c->ClientRect();
    return PtInRect(&r, p) && c->FVisible && (c->Enabled() || AllowDisabled) &&
           c->Perform(CM_HITTEST, 0, pointParam(p.x, p.y)) != 0;
  };
  if (AllowWinControls)
    for (auto it = FWinControls.rbegin(); it != FWinControls.rend(); ++it)
      if (hit(*it)) return *it;
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
    if (hit(*it)) return *it;
  return nullptr;
}

TControl* TWinControl::FindChildControl(const std::string& ControlName) const {
  for (int i = 0; i < ControlCount(); ++i)
    if (SameText(Controls(i)->Name(), ControlName)) return Controls(i);
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (child->WindowProc)
      child->WindowProc(Message);
    else
      child->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  Broadcast(m);
}

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (--FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  if (!FHandle || ComponentState().Contains(csDestroying)) return;
  if (FAlignLevel != 0 || ComponentState().Contains(csLoading)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  try {
    TRect r = ClientRect();
    AlignControls(AControl, r);
  } catch (...) {
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
    throw;
  }
  FControlState.Exclude(csAlignmentNeeded);
  --FAlignLevel;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  AdjustClientRect(Rect);
  for (TAlign a : {alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom}) doAlign(a, AControl, Rect);
}

void TWinControl::doAlign(TAlign AAlign, TControl* AControl, TRect& Rect) {
  auto takesPart = [&](TControl* c) {
    if (c->FAlign != AAlign || !(c->FVisible || c->ComponentState().Contains(csDesigning))) return false;
    // Anchored controls take part in the first pass only when they moved
    // away from the default anchors and know their parent's old size.
    if (AAlign == alNone)
      return !(c->FAnchors == TAnchors{akLeft, akTop}) &&
             (c->FOriginalParentSize.x != 0 || c->FOriginalParentSize.y != 0);
    return true;
  };
  auto insertBefore = [&](TControl* c1, TControl* c2) {
    switch (AAlign) {
      case alTop:
        return c1->FTop < c2->FTop;
      case alBottom:
        return c1->FTop + c1->FHeight >= c2->FTop + c2->FHeight;
      case alLeft:
        return c1->FLeft < c2->FLeft;
      case alRight:
        return c1->FLeft + c1->FWidth >= c2->FLeft + c2->FWidth;
      case alCustom:
        return CustomAlignInsertBefore(c1, c2);
      default:
        return false;
    }
  };
  std::vector<TControl*> list;
  if (AControl && AControl->FParent == this && takesPart(AControl)) list.push_back(AControl);
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c == AControl || !takesPart(c)) continue;
    std::size_t j = 0;
    while (j < list.size() && !insertBefore(c, list[j])) ++j;
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
  }
  TRect parentClient = ClientRect();
  for (TControl* c : list) {
    int newLeft = Rect.left, newTop = Rect.top;
    int newWidth = Rect.right - Rect.left, newHeight = Rect.bottom - Rect.top;
    switch (AAlign) {
      case alNone: {
        newLeft = c->FLeft;
        newTop = c->FTop;
        newWidth = c->FWidth;
        newHeight = c->FHeight;
        TAnchors an = c->FAnchors;
        TPoint orig = c->FOriginalParentSize;
        int pw = parentClient.right, ph = parentClient.bottom;
        if (orig.x != 0) {
          if (an.Contains(akRight)) {
            if (an.Contains(akLeft))
              newWidth = pw - (orig.x - c->FAnchorRules.x);
            else
              newLeft = c->FAnchorRules.x + (pw - orig.x);
          } else if (!an.Contains(akLeft)) {
            newLeft = MulDiv(c->FAnchorRules.x, pw, orig.x) - newWidth / 2;
          }
        }
        if (orig.y != 0) {
          if (an.Contains(akBottom)) {
            if (an.Contains(akTop))
              newHeight = ph - (orig.y - c->FAnchorRules.y);
            else
              newTop = c->FAnchorRules.y + (ph - orig.y);
          } else if (!an.Contains(akTop)) {
            newTop = MulDiv(c->FAnchorRules.y, ph, orig.y) - newHeight / 2;
          }
        }
        break;
      }
      case alTop:
        newHeight = c->FHeight;
        Rect.top += newHeight;
        break;
      case alBottom:
        newHeight = c->FHeight;
        Rect.bottom -= newHeight;
        newTop = Rect.bottom;
        break;
      case alLeft:
        newWidth = c->FWidth;
        Rect.left += newWidth;
        break;
      case alRight:
        newWidth = c->FWidth;
        Rect.right -= newWidth;
        newLeft = Rect.right;
        break;
      case alCustom:
        newLeft = c->FLeft;
        newTop = c->FTop;
        newWidth = c->FWidth;
        newHeight = c->FHeight;
        CustomAlignPosition(c, newLeft, newTop, newWidth, newHeight, Rect);
        break;
      default:
        break;
    }
    c->FAnchorMove = true;
    try {
      c->SetBounds(newLeft, newTop, newWidth, newHeight);
    } catch (...) {
      c->FAnchorMove = false;
      throw;
    }
    c->FAnchorMove = false;
    // A control that did not take the size it was given (constraints) hands
    // the rest back to those that follow.
    if (c->FWidth != newWidth || c->FHeight != newHeight) {
      switch (AAlign) {
        case alTop:
          Rect.top -= newHeight - c->FHeight;
          break;
        case alBottom:
          Rect.bottom += newHeight - c->FHeight;
          break;
        case alLeft:
          Rect.left -= newWidth - c->FWidth;
          break;
        case alRight:
          Rect.right += newWidth - c->FWidth;
          break;
        default:
          break;
      }
    }
  }
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  auto& list = FParent->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!FParent) return;
  auto& list = FParent->FTabList;
  int cur = TabOrder();
  int count = static_cast<int>(list.size());
  if (cur < 0 || count < 2) return;
  if (Value < 0 || Value >= count) Value = count - 1;
  if (Value == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + Value, this);
}

void TWinControl::SetTabStop(bool Value) {
  if (Value == FTabStop) return;
  FTabStop = Value;
  if (FHandle) {
    LONG style = GetWindowLong(FHandle, GWL_STYLE);
    SetWindowLong(FHandle, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

bool TWinControl::Showing() const { return FHandle && IsWindowVisible(FHandle); }

void TWinControl::updateShowing() {
  if (FVisible && !FHandle && (FParent ? FParent->HandleAllocated() : FParentWindow != nullptr)) HandleNeeded();
  if (FHandle) ShowWindow(FHandle, FVisible ? SW_SHOWNA : SW_HIDE);
  bool showing = Showing();
  if (showing != FShowing) {
    FShowing = showing;
    Perform(CM_SHOWINGCHANGED);
  }
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  checkNewSize(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  bool sized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  // With a window, WM_SIZE realigns and resizes; the window's own place may
  // differ from the fields only while it is being set here.
  if (FHandle) SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateAnchorRules();
  RequestAlign();
  if (!FHandle && sized && !ComponentState().Contains(csLoading)) Resize();
}

TRect TWinControl::ClientRect() {
  if (!FHandle) return {0, 0, FWidth, FHeight};
  TRect r{};
  ::GetClientRect(FHandle, &r);
  return r;
}

TPoint TWinControl::ClientOrigin() {
  POINT p{0, 0};
  ::ClientToScreen(Handle(), &p);
  return p;
}

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  RECT r{};
  GetWindowRect(FHandle, &r);
  HWND parent = ::GetParent(FHandle);
  if (GetWindowLong(FHandle, GWL_STYLE) & WS_CHILD) {
    POINT tl{r.left, r.top}, br{r.right, r.bottom};
    ::ScreenToClient(parent, &tl);
    ::ScreenToClient(parent, &br);
    r = {tl.x, tl.y, br.x, br.y};
  }
  FLeft = r.left;
  FTop = r.top;
  FWidth = r.right - r.left;
  FHeight = r.bottom - r.top;
  UpdateAnchorRules();
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::SetZOrder(bool TopMost) {
  if (!FParent) {
    if (FHandle)
      SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return;
  }
  auto& list = FParent->FWinControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  if (TopMost)
    list.push_back(this);
  else
    list.insert(list.begin(), this);
  if (FHandle)
    SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::Loaded() {
  inherited::Loaded();
  Realign();
}

void TWinControl::trackMouse(const TMessage& Message) {
  TControl* target = GetCaptureControl();
  if (!target) {
    TWMMouse m(Message);
    target = ControlAtPos(m.Pos(), true);
    if (!target) target = this;
  }
  if (!FTrackingLeave && FHandle) {
    TRACKMOUSEEVENT t{sizeof(TRACKMOUSEEVENT), TME_LEAVE, FHandle, 0};
    FTrackingLeave = TrackMouseEvent(&t) != FALSE;
  }
  setMouseControl(target);
}

bool TWinControl::isControlMouseMsg(TMessage& Message) {
  TControl* control = nullptr;
  TWMMouse m(Message);
  if (FHandle && GetCapture() == FHandle) {
    if (captureControl && captureControl->FParent == this) control = captureControl;
  } else {
    control = ControlAtPos(m.Pos(), false);
  }
  if (!control) return false;
  Message.Result =
      control->Perform(Message.Msg, Message.WParam, pointParam(m.XPos - control->FLeft, m.YPos - control->FTop));
  return true;
}

void TWinControl::WndProc(TMessage& Message) {
  if (isMouseMsg(Message.Msg)) {
    if (Message.Msg == WM_MOUSEMOVE) trackMouse(Message);
    if (isControlMouseMsg(Message)) {
      if (Message.Result == 0 && FHandle) DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
      return;
    }
  }
  inherited::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    // The application's loop reflects every key message to the control
    // before dispatching it. The class library's own key handling (the
    // form's key preview, KeyDown and the rest) happens on the dispatched
    // message, so the reflected copy answers 0: not taken. Controls that
    // hold windows of others (OLE controls) take keys here.
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
    case CN_DEADCHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSKEYUP:
    case CN_SYSCHAR:
    case CN_SYSDEADCHAR:
      Message.Result = 0;
      return;
    case WM_PAINT: {
      TWMPaint m(Message);
      WMPaint(m);
      Message.Result = m.Result;
      return;
    }
    case WM_ERASEBKGND: {
      TWMEraseBkgnd m(Message);
      WMEraseBkgnd(m);
      Message.Result = m.Result;
      return;
    }
    case WM_SETCURSOR: {
      TWMSetCursor m(Message);
      WMSetCursor(m);
      Message.Result = m.Result;
      return;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR: {
      TWMKey m(Message);
      if (Message.Msg == WM_CHAR)
        WMChar(m);
      else if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN)
        WMKeyDown(m);
      else
        WMKeyUp(m);
      Message.Result = m.Result;
      return;
    }
    case WM_SIZE:
      WMSize(Message);
      return;
    case WM_MOVE:
      WMMove(Message);
      return;
    case WM_SYSCOLORCHANGE:
      WMSysColorChange(Message);
      return;
    case WM_MOUSELEAVE:
      WMMouseLeave(Message);
      return;
    case WM_NCDESTROY:
      WMNCDestroy(Message);
      return;
    case CM_SHOWINGCHANGED:
      CMShowingChanged(Message);
      return;
    case CM_CONTROLCHANGE:
      CMControlChange(Message);
      return;
    case CM_CONTROLLISTCHANGE:
      CMControlListChange(Message);
      return;
    default:
      inherited::Dispatch(Message);
      return;
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    inherited::DefaultHandler(Message);
    return;
  }
  Message.Result =
      CallWindowProc(FDefWndProc ? FDefWndProc : DefWindowProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::PaintWindow(HDC DC) {
  // A window of our own class has nothing to paint by default; a subclassed
  // standard control paints through its own window procedure.
  if (FDefWndProc == nullptr || FDefWndProc == DefWindowProc) return;
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  std::size_t i = 0;
  if (First) {
    auto it = std::find(FControls.begin(), FControls.end(), First);
    if (it != FControls.end()) i = static_cast<std::size_t>(it - FControls.begin());
  }
  for (; i < FControls.size(); ++i) {
    TControl* c = FControls[i];
    if (!(c->FVisible || c->ComponentState().Contains(csDesigning))) continue;
    TRect r = c->BoundsRect();
    if (!RectVisible(DC, &r)) continue;
    if (FControlState.Contains(csPaintCopy)) c->FControlState.Include(csPaintCopy);
    int saved = SaveDC(DC);
    OffsetWindowOrgEx(DC, -c->FLeft, -c->FTop, nullptr);
    IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, saved);
    c->FControlState.Exclude(csPaintCopy);
  }
}

void TWinControl::PaintHandler(TWMPaint& Message) {
  HDC dc = Message.DC;
  PAINTSTRUCT ps{};
  if (!dc) dc = BeginPaint(FHandle, &ps);
  if (dc) {
    if (FControls.empty()) {
      PaintWindow(dc);
    } else {
      int saved = SaveDC(dc);
      int clip = SIMPLEREGION;
      for (TControl* c : FControls) {
        if ((c->FVisible || c->ComponentState().Contains(csDesigning)) && c->FControlStyle.Contains(csOpaque)) {
          clip = ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
          if (clip == NULLREGION) break;
        }
      }
      if (clip != NULLREGION) PaintWindow(dc);
      RestoreDC(dc, saved);
    }
    PaintControls(dc, nullptr);
  }
  if (!Message.DC) EndPaint(FHandle, &ps);
}

void TWinControl::WMPaint(TWMPaint& Message) {
  if (!FDoubleBuffered || Message.DC) {
    if (!FControlState.Contains(csCustomPaint) && FControls.empty()) {
      TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(Message.DC), 0, 0};
      DefaultHandler(m);
      Message.Result = m.Result;
    } else {
      PaintHandler(Message);
    }
    return;
  }
  // Double buffering: erase and paint into a memory bitmap of the client
  // area, then copy it to the window in one go.
  TRect client = ClientRect();
  if (client.right <= 0 || client.bottom <= 0) {
    PAINTSTRUCT ps{};
    BeginPaint(FHandle, &ps);
    EndPaint(FHandle, &ps);
    return;
  }
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  ReleaseDC(nullptr, screen);
  HDC memDC = CreateCompatibleDC(nullptr);
  HGDIOBJ oldBitmap = SelectObject(memDC, bitmap);
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(FHandle, &ps);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memDC), reinterpret_cast<LPARAM>(memDC));
  Message.DC = memDC;
  WMPaint(Message);
  Message.DC = nullptr;
  if (dc) BitBlt(dc, 0, 0, client.right, client.bottom, memDC, 0, 0, SRCCOPY);
  EndPaint(FHandle, &ps);
  SelectObject(memDC, oldBitmap);
  DeleteDC(memDC);
  DeleteObject(bitmap);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& Message) {
  // A double-buffered control erases only into its memory bitmap, where
  // the message's two parameters are the same DC.
  if (!FDoubleBuffered || reinterpret_cast<LPARAM>(Message.DC) == Message.Unused) {
    TRect r = ClientRect();
    FillRect(Message.DC, &r, FBrush->Handle());
  }
  Message.Result = 1;
}

void TWinControl::WMSize(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  TPoint screen{static_cast<SHORT>(Message.LParamLo()), static_cast<SHORT>(Message.LParamHi())};
  if (!(screen.x == -1 && screen.y == -1)) {
    TControl* child = ControlAtPos(ScreenToClient(screen), false);
    if (child) {
      Message.Result = child->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
      if (Message.Result != 0) return;
    }
  }
  inherited::WMContextMenu(Message);
  if (Message.Result == 0) DefaultHandler(Message);
}

void TWinControl::WMMove(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::WMSetCursor(TWMSetCursor& Message) {
  if (Message.CursorWnd == FHandle && Message.HitTest == HTCLIENT) {
    TCursor cursor = crDefault;
    POINT p{};
    GetCursorPos(&p);
    ::ScreenToClient(FHandle, &p);
    // A screen cursor (an hourglass while busy) wins over the controls'.
    if (Screen) cursor = Screen->Cursor();
    TControl* control = ControlAtPos(p, false);
    if (cursor == crDefault && control && !control->ComponentState().Contains(csDesigning)) cursor = control->FCursor;
    if (cursor == crDefault) cursor = FCursor;
    if (cursor != crDefault) {
      ::SetCursor(qv::classlib::cursorHandle(cursor));
      Message.Result = 1;
      return;
    }
  }
  TMessage m{Message.Msg, reinterpret_cast<WPARAM>(Message.CursorWnd),
             MAKELPARAM(static_cast<WORD>(Message.HitTest), Message.MouseMsg), 0};
  DefaultHandler(m);
  Message.Result = m.Result;
}

void TWinControl::WMSysColorChange(TMessage& Message) {
  Perform(CM_SYSCOLORCHANGE);
  DefaultHandler(Message);
}

void TWinControl::CMSysColorChange(TMessage& Message) {
  // Brushes of system colours keep the old value in their handle.
  FBrush->SetColor(clNone);
  FBrush->SetColor(FColor);
  Broadcast(Message);
}

void TWinControl::WMMouseLeave(TMessage& Message) {
  FTrackingLeave = false;
  if (mouseCtl == this || (mouseCtl && mouseCtl->FParent == this && !dynamic_cast<TWinControl*>(mouseCtl)))
    setMouseControl(nullptr);
  DefaultHandler(Message);
}

void TWinControl::WMNCDestroy(TMessage& Message) {
  DefaultHandler(Message);
  if (FHandle) windowMap().erase(FHandle);
  FHandle = nullptr;
  FTrackingLeave = false;
}

bool TWinControl::DoKeyDown(TWMKey& Message) {
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  WORD key = Message.CharCode;
  KeyDown(key, KeyDataToShiftState(Message.KeyData));
  Message.CharCode = key;
  return key == 0;
}

bool TWinControl::DoKeyPress(TWMKey& Message) {
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  char ch = static_cast<char>(Message.CharCode);
  KeyPress(ch);
  Message.CharCode = static_cast<BYTE>(ch);
  return ch == 0;
}

bool TWinControl::DoKeyUp(TWMKey& Message) {
  if (FControlStyle.Contains(csNoStdEvents)) return false;
  WORD key = Message.CharCode;
  KeyUp(key, KeyDataToShiftState(Message.KeyData));
  Message.CharCode = key;
  return key == 0;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::WMKeyDown(TWMKey& Message) {
  if (DoKeyDown(Message)) return;
  TMessage m{Message.Msg, Message.CharCode, Message.KeyData, 0};
  DefaultHandler(m);
  Message.Result = m.Result;
}

void TWinControl::WMKeyUp(TWMKey& Message) {
  if (DoKeyUp(Message)) return;
  TMessage m{Message.Msg, Message.CharCode, Message.KeyData, 0};
  DefaultHandler(m);
  Message.Result = m.Result;
}

void TWinControl::WMChar(TWMKey& Message) {
  if (DoKeyPress(Message)) return;
  TMessage m{Message.Msg, Message.CharCode, Message.KeyData, 0};
  DefaultHandler(m);
  Message.Result = m.Result;
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
  (void)Message;
  if (FHandle && !ComponentState().Contains(csDesigning)) EnableWindow(FHandle, FEnabled);
}

void TWinControl::CMVisibleChanged(TMessage& Message) {
  (void)Message;
  if (!ComponentState().Contains(csDesigning)) updateShowing();
}

void TWinControl::CMShowingChanged(TMessage& Message) { (void)Message; }

void TWinControl::CMColorChanged(TMessage& Message) {
  inherited::CMColorChanged(Message);
  FBrush->SetColor(FColor);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
  inherited::CMFontChanged(Message);
  if (FHandle) SendMessage(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage& Message) {
  inherited::CMShowHintChanged(Message);
  NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TWinControl::CMTextChanged(TMessage& Message) { inherited::CMTextChanged(Message); }

// ---------------------------------------------------------------------------
TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (Value == FControl) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  HDC dc = FDeviceContext;
  FDeviceContext = nullptr;
  SetHandle(nullptr);
  ReleaseDC(FWindowHandle, dc);
  FWindowHandle = nullptr;
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  FreeHandle();
  if (auto* win = dynamic_cast<TWinControl*>(FControl)) {
    FWindowHandle = win->Handle();
    FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  } else {
    TWinControl* parent = FControl->Parent();
    if (!parent) return;
    FWindowHandle = parent->Handle();
    FDeviceContext = GetDCEx(FWindowHandle, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (FDeviceContext) {
      SetViewportOrgEx(FDeviceContext, FControl->Left(), FControl->Top(), nullptr);
      IntersectClipRect(FDeviceContext, 0, 0, FControl->Width(), FControl->Height());
    }
  }
  if (FDeviceContext) SetHandle(FDeviceContext);
}

// ---------------------------------------------------------------------------
TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  auto* canvas = new TControlCanvas();
  canvas->SetControl(this);
  FCanvas = canvas;
}

TGraphicControl::~TGraphicControl() { delete FCanvas; }

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    TWMPaint m(Message);
    WMPaint(m);
    Message.Result = m.Result;
    return;
  }
  inherited::Dispatch(Message);
}

void TGraphicControl::WMPaint(TWMPaint& Message) {
  if (!Message.DC || ComponentState().Contains(csDestroying)) return;
  auto* canvas = static_cast<TControlCanvas*>(FCanvas);
  canvas->FreeHandle();
  canvas->Lock();
  canvas->SetHandle(Message.DC);
  try {
    Paint();
  } catch (...) {
    canvas->SetHandle(nullptr);
    canvas->Unlock();
    throw;
  }
  canvas->SetHandle(nullptr);
  canvas->Unlock();
}

// ---------------------------------------------------------------------------
TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  auto* canvas = new TControlCanvas();
  canvas->SetControl(this);
  FCanvas = canvas;
}

TCustomControl::~TCustomControl() {
  delete FCanvas;
  FCanvas = nullptr;
}

void TControlCanvas::PaintOn(HDC DC, const std::function<void()>& Paint) {
  FreeHandle();
  Lock();
  SetHandle(DC);
  try {
    Paint();
  } catch (...) {
    SetHandle(nullptr);
    Unlock();
    throw;
  }
  SetHandle(nullptr);
  Unlock();
}

void TCustomControl::PaintWindow(HDC DC) {
  static_cast<TControlCanvas*>(FCanvas)->PaintOn(DC, [this] { Paint(); });
}

void TCustomControl::WMPaint(TWMPaint& Message) {
  FControlState.Include(csCustomPaint);
  inherited::WMPaint(Message);
  FControlState.Exclude(csCustomPaint);
}

// ---------------------------------------------------------------------------
THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  SetColor(clInfoBk);
  if (Screen) Font()->Assign(Screen->HintFont());
  Canvas()->Font()->Assign(Font());
}

void THintWindow::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style = (Params.Style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
  Params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void THintWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  inherited::WndProc(Message);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
  (void)AData;
  Canvas()->Font()->Assign(Font());
  RECT r{0, 0, MaxWidth, 0};
  DrawText(Canvas()->Handle(), AHint.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  // The border and a margin around the text.
  return {0, 0, r.right + 6, r.bottom + 4};
}

void THintWindow::ActivateHint(const TRect& Rect, const std::string& AHint) {
  SetCaption(AHint);
  TRect r = Rect;
  // Kept on the screen: moved left or up rather than cut off.
  int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  if (r.right > screenW) OffsetRect(&r, screenW - r.right, 0);
  if (r.left < 0) OffsetRect(&r, -r.left, 0);
  if (r.bottom > screenH) OffsetRect(&r, 0, screenH - r.bottom);
  if (r.top < 0) OffsetRect(&r, 0, -r.top);
  SetBoundsRect(r);
  SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated()) ShowWindow(FHandle, SW_HIDE);
}

bool THintWindow::IsHintShowing() { return HandleAllocated() && IsWindowVisible(FHandle); }

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  c->Brush()->SetColor(clBlack);
  c->FrameRect(r);
  c->Font()->Assign(Font());
  c->Font()->SetColor(clInfoText);
  SetBkMode(c->Handle(), TRANSPARENT);
  RECT t{r.left + 3, r.top + 2, r.right - 3, r.bottom - 2};
  std::string text = Caption();
  DrawText(c->Handle(), text.c_str(), -1, &t, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
