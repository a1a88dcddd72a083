// The class library's Controls unit: TControl (bounds, alignment, the
// properties that flow from parent to child, messages to handler methods,
// mouse and key events), TWinControl (a control with its own window: handle
// on first need, child lists, focus, painting of its graphic children),
// TGraphicControl (drawn by its parent), TCustomControl (a window with a
// canvas) and TControlCanvas.
//
// Messages reach a control through Perform or its window procedure, go to the
// virtual WndProc and from there to Dispatch, which calls the handler method
// for the message (WMLButtonDown, CMMouseEnter ...) or DefaultHandler. A
// handler that overrides one of these calls inherited:: to keep the class
// library's behaviour. Mouse messages of a windowed control that fall on one
// of its graphic children go to that child (IsControlMouseMsg), with the
// position in the child's coordinates.
//
// CM_MOUSEENTER and CM_MOUSELEAVE come from the windowed controls' tracking of
// the pointer: the control under it (a graphic child or the window itself;
// the control holding the mouse capture while it does) gets CM_MOUSEENTER,
// the one it left CM_MOUSELEAVE, also when the pointer leaves the window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/Messages.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/Types.h"
#include "platform/os/user/Window.h"

class TControl;
class TWinControl;
class TDragObject;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;
namespace qv::classlib {
// The drag manager's way into the controls' drag hooks (DragManager.cpp).
struct DragAccess;
}  // namespace qv::classlib

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
QV_ENUM_TYPE(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
QV_ENUM_TYPE(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind>;

enum TControlStyleItem {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents,
  csDisplayDragImage,
  csReflector,
  csActionClient,
  csMenuEvents
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
  csLButtonDown,
  csClicked,
  csPalette,
  csReadingState,
  csAlignmentNeeded,
  csFocusing,
  csCreating,
  csPaintCopy,
  csCustomPaint,
  csDestroyingHandle,
  csDocking
};
using TControlState = TSet<TControlStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TDragMode { dmManual, dmAutomatic };
QV_ENUM_TYPE(TDragMode, dmManual, dmAutomatic)
enum TDragKind { dkDrag, dkDock };
QV_ENUM_TYPE(TDragKind, dkDrag, dkDock)
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
// MousePos is in the control's client coordinates, (-1, -1) when the menu
// was asked for from the keyboard. Handled stops the pop-up menu.
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// The mouse-key flags of a message as a shift state (Alt from the keyboard).
TShiftState KeysToShiftState(WORD Keys);
// The shift state of a key message's key data (Alt from bit 29).
TShiftState KeyDataToShiftState(LONG KeyData);

// The control that gets the mouse messages now (a graphic control captures
// through its parent's window); null when none of ours has the capture.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The windowed control of a window handle, or null.
TWinControl* FindControl(HWND Handle);
// The control at a screen point: the deepest windowed control there, or its
// graphic child at that point.
TControl* FindDragTarget(const POINT& Pos, bool AllowDisabled);

namespace qv::classlib {
// Turns a TCursor into a cursor handle for WM_SETCURSOR. The default knows
// the platform's standard cursors; the screen object installs its table.
using CursorResolver = std::function<HCURSOR(TCursor)>;
void setCursorResolver(CursorResolver Resolver);
HCURSOR cursorHandle(TCursor Cursor);
// The control under the pointer as the mouse tracking last saw it.
TControl* mouseControl();
// The window procedure of every control's window class: it binds a new
// window to the control being created and hands messages to its WndProc.
LRESULT controlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace qv::classlib

// ---------------------------------------------------------------------------
// Limits of a control's size; 0 is no limit.
class TSizeConstraints : public TPersistent {
  QV_CLASS(TSizeConstraints, TPersistent)
  explicit TSizeConstraints(TControl* Control = nullptr) : FControl(Control) {}
  int MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int Value);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int Value);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int Value);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value);
  void Assign(TPersistent* Source) override;
  TNotifyEvent OnChange;

  QV_PUBLISHED(TSizeConstraints) {
    P.Prop("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
    P.Prop("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
    P.Prop("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
    P.Prop("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
  }

 protected:
  virtual void Change();

 private:
  TControl* FControl;
  int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

// ---------------------------------------------------------------------------
// What CreateParams gives CreateWnd: the window's class, text, styles, place
// and parent.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  std::string WinClassName;
};

// ---------------------------------------------------------------------------
class TControl : public TComponent {
  QV_CLASS(TControl, TComponent)
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  // --- tree
  TWinControl* Parent() const { return FParent; }
  // EInvalidOperation "A control cannot have itself as its parent".
  virtual void SetParent(TWinControl* AParent);
  // The parent protocol of form streaming: a control read inside another
  // becomes its child.
  bool HasParent() const override { return FParent != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

  // --- bounds (in the parent's client coordinates)
  int Left() const { return FLeft; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  int Top() const { return FTop; }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  int Width() const { return FWidth; }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  int Height() const { return FHeight; }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().right; }
  void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
  int ClientHeight() { return ClientRect().bottom; }
  void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
  // The screen point of the client area's top-left corner.
  virtual TPoint ClientOrigin();
  TPoint ClientToScreen(const TPoint& Point);
  TPoint ScreenToClient(const TPoint& Point);

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* Constraints() const { return FConstraints; }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }

  // --- appearance and state
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show();
  void Hide() { SetVisible(false); }
  virtual bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& Value) { SetText(Value); }
  std::string Text() const { return GetText(); }
  void SetText(const std::string& Value);
  int GetTextLen() const;
  // Copies at most BufSize - 1 characters and a terminating zero; returns the
  // number copied.
  int GetTextBuf(char* Buffer, int BufSize) const;
  void SetTextBuf(const char* Buffer);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }
  // Visible, and every parent shows.
  virtual bool Showing() const;

  // --- drawing
  virtual void Invalidate();
  // Paints now what is invalid.
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }

  // --- messages
  // Through WindowProc, as the control's window procedure does.
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  // Where every message of the control enters: WndProc unless replaced. A
  // control or its user puts its own procedure in front by saving this and
  // assigning a new one that passes on to the saved one.
  std::function<void(TMessage& Message)> WindowProc;
  virtual void WndProc(TMessage& Message);
  // Calls the handler of Message.Msg, or DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // --- dragging (the drag manager: DragManager.h)
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }
  virtual void BeginDrag(bool Immediate, int Threshold = -1);
  virtual void EndDrag(bool Drop);
  bool Dragging() const;
  virtual void DragDrop(TObject* Source, int X, int Y);

  // --- pop-up menu and action
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  TBasicAction* Action() const;
  // Links the control to the action (null unlinks); the action's Caption,
  // Enabled, Hint and Visible go to the control, and a click executes it.
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return FActionLink; }
  // Asks the linked action to update itself (its OnUpdate).
  virtual void InitiateAction();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TContextPopupEvent OnContextPopup;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;

  QV_PUBLISHED(TControl) {
    P.Prop("Left", &TControl::Left, &TControl::SetLeft).NoDefault();
    P.Prop("Top", &TControl::Top, &TControl::SetTop).NoDefault();
    P.Prop("Width", &TControl::Width, &TControl::SetWidth).NoDefault();
    P.Prop("Height", &TControl::Height, &TControl::SetHeight).NoDefault();
    P.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
    P.Prop("Action", &TControl::actionRef, &TControl::setActionRef);
    P.Prop("Anchors", &TControl::Anchors, &TControl::SetAnchors).Stored(&TControl::IsAnchorsStored);
    P.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    P.Prop("Color", &TControl::Color, &TControl::SetColor).Ident("TColor").Stored(&TControl::IsColorStored);
    P.Prop("Constraints", &TControl::Constraints, &TControl::SetConstraints);
    P.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Ident("TCursor").Default(crDefault);
    P.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Ident("TCursor").Default(crDrag);
    P.Prop("DragKind", &TControl::DragKind, &TControl::SetDragKind).Default(dkDrag);
    P.Prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
    P.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
    P.Prop("Font", &TControl::Font, &TControl::SetFont).Stored(&TControl::IsFontStored);
    P.Prop("Hint", &TControl::Hint, &TControl::SetHint);
    P.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(true);
    P.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    P.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
    P.Prop("PopupMenu", &TControl::popupMenuRef, &TControl::setPopupMenuRef);
    P.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored(&TControl::IsShowHintStored);
    P.Prop("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
    P.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
    P.Event("OnClick", &TControl::OnClick);
    P.Event("OnDblClick", &TControl::OnDblClick);
    P.Event("OnContextPopup", &TControl::OnContextPopup);
    P.Event("OnMouseDown", &TControl::OnMouseDown);
    P.Event("OnMouseMove", &TControl::OnMouseMove);
    P.Event("OnMouseUp", &TControl::OnMouseUp);
    P.Event("OnResize", &TControl::OnResize);
    P.Event("OnDragOver", &TControl::OnDragOver);
    P.Event("OnDragDrop", &TControl::OnDragDrop);
    P.Event("OnStartDrag", &TControl::OnStartDrag);
    P.Event("OnEndDrag", &TControl::OnEndDrag);
  }

  // The parts of Hint: before and after the first "|" (all of it when none).
  static std::string GetShortHint(const std::string& Hint);
  static std::string GetLongHint(const std::string& Hint);

 protected:
  virtual std::string GetText() const { return FText; }
  virtual void SetClientSize(int AWidth, int AHeight);
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
    (void)MinWidth;
    (void)MinHeight;
    (void)MaxWidth;
    (void)MaxHeight;
  }
  virtual void Resize();
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void SetZOrder(bool TopMost);
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The linked action changed (Sender); CheckDefaults keeps the values the
  // control already has that differ from its defaults (while loading).
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual TControlActionLink* CreateActionLink();
  virtual void DoContextPopup(const TPoint& MousePos, bool& Handled);
  virtual TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
  // Asks the parent to realign when this control is aligned or anchored.
  void RequestAlign();
  // Remembers the distances that the anchors keep when the parent resizes.
  void UpdateAnchorRules();
  void InvalidateControl(bool IsVisible, bool IsOpaque);

  // Drag hooks; the base does what a control without a drag manager can.
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  virtual void BeginAutoDrag() { BeginDrag(false); }

  // Handlers.
  virtual void WMLButtonDown(TWMMouse& Message);
  virtual void WMLButtonDblClk(TWMMouse& Message);
  virtual void WMLButtonUp(TWMMouse& Message);
  virtual void WMRButtonDown(TWMMouse& Message);
  virtual void WMRButtonDblClk(TWMMouse& Message);
  virtual void WMRButtonUp(TWMMouse& Message);
  virtual void WMMButtonDown(TWMMouse& Message);
  virtual void WMMButtonDblClk(TWMMouse& Message);
  virtual void WMMButtonUp(TWMMouse& Message);
  virtual void WMMouseMove(TWMMouse& Message);
  virtual void WMCancelMode(TMessage& Message);
  virtual void CMMouseEnter(TCMMouseEnter& Message) { (void)Message; }
  virtual void CMMouseLeave(TCMMouseLeave& Message) { (void)Message; }
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message) { (void)Message; }
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMShowHintChanged(TMessage& Message) { (void)Message; }
  virtual void CMParentShowHintChanged(TMessage& Message);
  virtual void CMSysColorChange(TMessage& Message) { (void)Message; }
  virtual void CMCursorChanged(TMessage& Message) { (void)Message; }
  virtual void CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }
  virtual void CMHintShow(TMessage& Message) { (void)Message; }
  // OnContextPopup, then the PopupMenu when it pops up by itself.
  virtual void WMContextMenu(TMessage& Message);
  // Hands the drag manager's questions to DragOver and DragDrop.
  virtual void CMDrag(TMessage& Message);

  bool IsAnchorsStored() const;
  bool IsColorStored() const { return !FParentColor; }
  bool IsFontStored() const { return !FParentFont; }
  bool IsShowHintStored() const { return !FParentShowHint; }

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TPoint FAnchorRules{0, 0};
  TPoint FOriginalParentSize{0, 0};
  TSizeConstraints* FConstraints;
  bool FVisible = true;
  bool FEnabled = true;
  std::string FText;
  TColor FColor = clWindow;
  bool FParentColor = true;
  TFont* FFont;
  bool FParentFont = true;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState FControlState;
  TDragMode FDragMode = dmManual;
  TCursor FDragCursor = crDrag;
  TDragKind FDragKind = dkDrag;
  // Set while the parent's alignment moves the control, so that the move
  // does not count as the anchored place.
  bool FAnchorMove = false;
  TPopupMenu* FPopupMenu = nullptr;
  TControlActionLink* FActionLink = nullptr;

 private:
  TComponent* popupMenuRef() const;
  void setPopupMenuRef(TComponent* Value);
  TComponent* actionRef() const;
  void setActionRef(TComponent* Value);
  void fontChanged();
  void doMouseDown(TWMMouse& Message, TMouseButton Button, TShiftState Shift);
  void doMouseUp(TWMMouse& Message, TMouseButton Button);
  void checkNewSize(int& NewWidth, int& NewHeight);

  friend class TWinControl;
  friend class TSizeConstraints;
  friend struct qv::classlib::DragAccess;
};

// ---------------------------------------------------------------------------
class TWinControl : public TControl {
  QV_CLASS(TWinControl, TControl)
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // The window, created (with the parents' windows first) on first need.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // A window outside the class library to be the parent when Parent is null.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND Value);
  // Destroys the window (keeping the state in the control) and makes it again
  // at once when it had one.
  void RecreateWnd();

  // Writes the controls the root owns, in Controls order, then, for the
  // root itself, the owned components without a parent.
  void GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) override;

  int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
  // Graphic controls first, then windowed ones, each in z-order (bottom
  // first), as the class library lists them.
  TControl* Controls(int Index) const;
  const std::vector<TControl*>& GraphicControls() const { return FControls; }
  const std::vector<TWinControl*>& WinControls() const { return FWinControls; }
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The child at a point of the client area; the topmost one. Windowed
  // children are searched first when AllowWinControls.
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
  // The direct child named ControlName (case-insensitive), or null.
  TControl* FindChildControl(const std::string& ControlName) const;
  // Sends the message to every child; stops at the first non-zero Result.
  void Broadcast(TMessage& Message);
  // Performs the message on every child.
  void NotifyControls(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

  void DisableAlign();
  void EnableAlign();
  void Realign();
  bool AlignDisabled() const { return FAlignLevel > 0; }

  int TabOrder() const;
  void SetTabOrder(int Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  bool CanFocus() const;
  bool Focused() const;
  // EInvalidOperation "Cannot focus a disabled or invisible window".
  virtual void SetFocus();

  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  TBrush* Brush() const { return FBrush; }

  bool Showing() const override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TRect ClientRect() override;
  TPoint ClientOrigin() override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  // Paints the graphic children from First on (all when First is null) into
  // DC, each in its bounds, in z-order.
  void PaintControls(HDC DC, TControl* First);

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  QV_PUBLISHED(TWinControl) {
    P.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    P.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
    P.Event("OnKeyDown", &TWinControl::OnKeyDown);
    P.Event("OnKeyPress", &TWinControl::OnKeyPress);
    P.Event("OnKeyUp", &TWinControl::OnKeyUp);
  }

 protected:
  virtual void CreateParams(TCreateParams& Params);
  // Takes the default window procedure of a registered class (a standard
  // control that this one subclasses).
  void CreateSubClass(TCreateParams& Params, LPCSTR ControlClassName);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void CreateHandle();
  virtual void DestroyHandle();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  // Lays the children out; Rect is the area they share (the client area).
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect) { (void)Rect; }
  // Where an alCustom child goes; the base leaves it where it is.
  virtual void CustomAlignPosition(TControl* Control, int& NewLeft, int& NewTop, int& NewWidth, int& NewHeight,
                                   TRect& AlignRect) {
    (void)Control;
    (void)NewLeft;
    (void)NewTop;
    (void)NewWidth;
    (void)NewHeight;
    (void)AlignRect;
  }
  // Whether alCustom child C2 goes before C1 in the custom pass.
  virtual bool CustomAlignInsertBefore(TControl* C1, TControl* C2) {
    (void)C1;
    (void)C2;
    return false;
  }
  void AlignControl(TControl* AControl);
  virtual void PaintWindow(HDC DC);
  void PaintHandler(TWMPaint& Message);
  // Reads the window's place back into Left/Top/Width/Height.
  void UpdateBounds();
  void SetZOrder(bool TopMost) override;
  void Loaded() override;
  std::string GetText() const override;
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  // True when the handler swallowed the key (set it to 0).
  bool DoKeyDown(TWMKey& Message);
  bool DoKeyPress(TWMKey& Message);
  bool DoKeyUp(TWMKey& Message);

  virtual void WMPaint(TWMPaint& Message);
  virtual void WMEraseBkgnd(TWMEraseBkgnd& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMMove(TMessage& Message);
  virtual void WMSetCursor(TWMSetCursor& Message);
  // A graphic child at the point gets the menu first.
  void WMContextMenu(TMessage& Message) override;
  virtual void WMSysColorChange(TMessage& Message);
  virtual void WMKeyDown(TWMKey& Message);
  virtual void WMKeyUp(TWMKey& Message);
  virtual void WMChar(TWMKey& Message);
  virtual void WMMouseLeave(TMessage& Message);
  virtual void WMNCDestroy(TMessage& Message);
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMShowHintChanged(TMessage& Message) override;
  void CMSysColorChange(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  virtual void CMShowingChanged(TMessage& Message);
  virtual void CMControlChange(TMessage& Message) { (void)Message; }
  virtual void CMControlListChange(TMessage& Message) { (void)Message; }

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  TBrush* FBrush;

 private:
  bool isControlMouseMsg(TMessage& Message);
  void trackMouse(const TMessage& Message);
  void doAlign(TAlign AAlign, TControl* AControl, TRect& Rect);
  void createChildHandles();
  void updateShowing();

  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FWinControls;
  std::vector<TWinControl*> FTabList;
  HWND FParentWindow = nullptr;
  int FAlignLevel = 0;
  bool FTabStop = false;
  bool FDoubleBuffered = false;
  bool FShowing = false;
  bool FTrackingLeave = false;

  friend class TControl;
  friend LRESULT qv::classlib::controlWndProc(HWND, UINT, WPARAM, LPARAM);
};

// ---------------------------------------------------------------------------
// The canvas of a control: a DC of the control's window, or for a graphic
// control one of its parent's window, with the origin at the control's
// top-left corner and the clip at its bounds.
class TControlCanvas : public TCanvas {
  QV_CLASS(TControlCanvas, TCanvas)
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value);
  // Gives the DC back (the canvas gets a new one on its next drawing call).
  void FreeHandle();
  void UpdateTextFlags() {}
  // Runs Paint with the canvas on the DC of a WM_PAINT, locked, and gives
  // the DC back afterwards, also when Paint raises.
  void PaintOn(HDC DC, const std::function<void()>& Paint);

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

// ---------------------------------------------------------------------------
class TGraphicControl : public TControl {
  QV_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return FCanvas; }
  void Dispatch(TMessage& Message) override;

 protected:
  virtual void Paint() {}
  virtual void WMPaint(TWMPaint& Message);

 private:
  TCanvas* FCanvas;
};

// ---------------------------------------------------------------------------
class TCustomControl : public TWinControl {
  QV_CLASS(TCustomControl, TWinControl)
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return FCanvas; }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;
  void WMPaint(TWMPaint& Message) override;

 private:
  TCanvas* FCanvas;
};

// ---------------------------------------------------------------------------
// The small top-level window that shows a control's hint: pale yellow with a
// black border and the text in the info text colour, never activated, and
// transparent to the mouse so that the control under it keeps the pointer.
class THintWindow : public TCustomControl {
  QV_CLASS(THintWindow, TCustomControl)
  explicit THintWindow(TComponent* AOwner);

  // Shows the hint text in Rect (screen coordinates) without activating.
  virtual void ActivateHint(const TRect& Rect, const std::string& AHint);
  // The rectangle (from 0, 0) that shows AHint wrapped at MaxWidth.
  virtual TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
  void ReleaseHandle();
  // Whether the window is on the screen now.
  bool IsHintShowing();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
};
