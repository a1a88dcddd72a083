// The class library's Forms unit: the application object, forms and the
// screen object.
//
// Application (one per program) owns a hidden top-level window, runs the
// message loop, and is where exceptions that escape event handlers end up:
// HandleException gives them to OnException, or shows their message in a
// message box.
//
// A form is a top-level TWinControl owned by the hidden application window.
// Its form resource (named by its class name) is read after the whole C++
// object exists, because a base constructor cannot see the derived class
// whose properties, components and handlers the resource names: forms are
// made with Application->CreateForm or qv::classlib::newForm<T>(AOwner),
// which construct, then call AfterConstruction (resource, then OnCreate).
// A form made with plain `new` catches up on AfterConstruction when its
// window is first needed. TForm::CreateNew makes a form without a resource.
//
// Screen (one per program) lists the forms, knows the active form and the
// cursor table, and describes the screen and its work area.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Dialogs.h"  // TModalResult and the mr* values
#include "platform/classlib/Graphics.h"
#include "platform/classlib/SysUtils.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/Types.h"

class TCustomForm;
class TForm;

// The orientation of a scroll bar.
enum TScrollBarKind { sbHorizontal, sbVertical };
QV_ENUM_TYPE(TScrollBarKind, sbHorizontal, sbVertical)

using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;

// What a control and OnShowHint may change before a hint shows. CursorRect is
// in the hint control's client coordinates: the hint stays while the pointer
// is in it. HintPos is the screen point of the hint window's top-left corner.
struct THintInfo {
  TControl* HintControl = nullptr;
  TClass HintWindowClass = nullptr;
  TPoint HintPos{0, 0};
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect{0, 0, 0, 0};
  TPoint CursorPos{0, 0};
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  std::string HintStr;
  void* HintData = nullptr;
};
using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;

class TApplication : public TComponent {
  QV_CLASS(TApplication, TComponent)
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // Loads the language module that the locale key chooses for the program
  // (qv::classlib::LoadResourceModule).
  void Initialize();
  // Handles messages until Terminated; exceptions escaping a message go to
  // HandleException and the loop goes on.
  void Run();
  // Asks the loop to end (posts WM_QUIT); Terminated turns true when the
  // loop takes the quit message.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles everything waiting, then returns.
  void ProcessMessages();
  // One message, or else the idle handling and a wait for the next one.
  void HandleMessage();
  // The exception being handled (call from within a catch block): EAbort is
  // silent; others go to OnException when set, else to ShowException.
  void HandleException(TObject* Sender);
  // Its message, with a full stop added when it ends in a character above
  // '.', in an MB_ICONSTOP box captioned with the Title.
  void ShowException(Exception& E);
  int MessageBox(const std::string& Text, const std::string& Caption, int Flags = 0);

  // The program's name without extension unless set.
  std::string Title() const;
  void SetTitle(const std::string& Value);
  // The hidden window, made on first use.
  HWND Handle();
  std::string ExeName() const;
  bool Running() const { return FRunning; }
  // One of the program's windows is the active window.
  bool Active() const;
  // The program's icon, shown by its window (the task bar button).
  TIcon* Icon();
  void SetIcon(TIcon* Value);
  // Brings the program's last active window to the foreground.
  void BringToFront();

  // Forms register the main form here (the first form created); the
  // application window's WM_CLOSE then asks `close` to close it.
  TComponent* MainForm() const { return FMainForm; }
  void SetMainForm(TComponent* Form, std::function<void()> close = {});
  // Makes a form owned by the application (Reference is set before its
  // resource is read, so that OnCreate can use it); the first form made so
  // becomes the main form. A class that cannot be made from its class
  // reference raises EInvalidOperation.
  void CreateForm(TClass InstanceClass, TCustomForm*& Reference);
  void CreateForm(const std::function<TCustomForm*(TComponent* AOwner)>& Factory, TCustomForm*& Reference);
  template <class T>
  void CreateForm(T*& Reference);
  // Run shows the main form first unless this is false.
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }

  // --- hints
  // Hints show only while this is set (the default); clearing it hides one.
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  // Milliseconds: before a hint shows, before the next one shows while one
  // is up, and before a hint hides by itself.
  int HintPause() const { return FHintPause; }
  void SetHintPause(int Value) { FHintPause = Value; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int Value) { FHintShortPause = Value; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int Value) { FHintHidePause = Value; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor Value);
  // The long hint of the control under the pointer; setting it fires OnHint.
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  // The class of the hint window (THintWindow or a descendant).
  TClass HintWindowClass() const { return FHintWindowClass; }
  void SetHintWindowClass(TClass Value);
  // Hides the hint and forgets its control, so that it shows again only
  // after a new pause.
  void CancelHint();
  // Hides the hint window; the hint control stays.
  void HideHint();
  // Shows the hint of the control at a screen point now.
  void ActivateHint(const TPoint& CursorPos);
  // Controls report mouse moves here; the hint timer starts when the
  // pointer comes to a control with a hint.
  void HintMouseMessage(TControl* Control, TMessage& Message);
  // The pointer left Control: its hint hides, and the next control's hint
  // still comes after the short pause.
  void HintMouseLeave(TControl* Control);
  THintWindow* HintWindow() const { return FHintWindow; }
  TControl* hintControl() const { return FHintControl; }
  // A control being destroyed stops being the hint control.
  void controlGone(TControl* Control);

  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;
  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TExceptionEvent OnException;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  bool ProcessMessage(MSG& Msg);
  // Reflects a key message to the class library control that holds its
  // window (the window itself or its nearest ancestor that is one) as
  // CN_BASE + message; true when the control took it (a nonzero answer).
  bool isKeyMsg(MSG& Msg);
  // Gives a key message of a control to its form first when the form has
  // KeyPreview; true when the form swallowed the key.
  bool previewKey(MSG& Msg);
  // Reads the resource of a new form (freeing it when that fails) and makes
  // it the main form when it is the first.
  void adoptForm(TCustomForm* Form);
  void Idle();
  void startHintTimer(int Pause, bool Show);
  void stopHintTimer();
  void hintTimerExpired();
  static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  friend struct ApplicationReset;

  HWND FHandle = nullptr;
  std::string FTitle;
  bool FTitleSet = false;
  TIcon* FIcon = nullptr;
  bool FTerminated = false;
  bool FRunning = false;
  bool FShowMainForm = true;
  TComponent* FMainForm = nullptr;
  std::function<void()> FCloseMainForm;

  bool FShowHint = true;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  TColor FHintColor = clInfoBk;
  std::string FHint;
  TClass FHintWindowClass = THintWindow::StaticClass();
  THintWindow* FHintWindow = nullptr;
  TControl* FHintControl = nullptr;
  // The rectangle (screen) in which the pointer keeps the hint shown.
  TRect FHintCursorRect{0, 0, 0, 0};
  bool FHintActive = false;
  // The running hint timer shows a hint (true) or hides it.
  bool FHintTimerShows = false;
  bool FHintTimerRunning = false;
};

// The program's application object.
extern TApplication* Application;

// ---------------------------------------------------------------------------
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
QV_ENUM_TYPE(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin)
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
QV_ENUM_TYPE(TBorderIcon, biSystemMenu, biMinimize, biMaximize, biHelp)
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
QV_ENUM_TYPE(TPosition, poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
             poMainFormCenter, poOwnerFormCenter)
enum TFormStyle { fsNormal, fsStayOnTop };
QV_ENUM_TYPE(TFormStyle, fsNormal, fsStayOnTop)
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
QV_ENUM_TYPE(TWindowState, wsNormal, wsMinimized, wsMaximized)
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
  QV_CLASS(TCustomForm, TWinControl)
  // Reads the form resource later (see the top of this file).
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  // The form resources of the classes from TForm's descendants down to this
  // one (when the form was not made with CreateNew), then OnCreate. Runs
  // once; later calls do nothing.
  virtual void AfterConstruction();

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value);
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(BYTE Value);
  TIcon* Icon() const { return FIcon; }
  void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
  // The client area follows the extent of the visible unaligned controls.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  // The control that has (or gets, when the form is activated) the focus.
  TWinControl* ActiveControl() const;
  void SetActiveControl(TWinControl* Control);
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  TFormState FormState() const { return FFormState; }
  bool Active() const { return FActive; }
  TCanvas* Canvas() const { return FCanvas; }
  // Client size: without a window, from the frame that the border style
  // gives; set while reading, applied once the whole form is read.
  int ClientWidth() { return ClientRect().right; }
  void SetClientWidth(int Value);
  int ClientHeight() { return ClientRect().bottom; }
  void SetClientHeight(int Value);

  TRect ClientRect() override;
  void Show();
  void Hide() { SetVisible(false); }
  // A modal form sets ModalResult mrCancel; any other asks CloseQuery, then
  // OnClose with caHide (caFree ...) and does what the action says; closing
  // the main form ends the application.
  void Close();
  // Frees the form once the messages waiting for it have been handled, so
  // that it can be called from the form's own event handlers.
  void Release();
  // Shows the form, disables the program's other windows and handles
  // messages until ModalResult is set (and CloseQuery agrees), then hides it
  // and gives back ModalResult. EInvalidOperation "Cannot make a visible
  // window modal" for a form that already shows.
  virtual TModalResult ShowModal();
  // OnCloseQuery's answer.
  virtual bool CloseQuery();
  void SetFocus() override;
  // Moves the focus to Control (the form must show).
  void FocusControl(TWinControl* Control);

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnDestroy;
  // Runs OnDestroy, once. A descendant whose OnDestroy is one of its own
  // methods calls this first in its destructor: by the time the base
  // destructor runs, the descendant's part of the object is gone.
  void BeforeDestruction();
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  QV_PUBLISHED(TCustomForm) {
    P.Prop("ActiveControl", &TCustomForm::storedActiveControl, &TCustomForm::SetActiveControl);
    P.Prop("AlphaBlend", &TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend).Default(false);
    P.Prop("AlphaBlendValue", &TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue).Default(255);
    P.Prop("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
    P.Prop("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
    P.Prop("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight).NoDefault();
    P.Prop("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth).NoDefault();
    P.Prop("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(fsNormal);
    P.Prop("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon);
    P.Prop("AutoSize", &TCustomForm::AutoSize, &TCustomForm::SetAutoSize).Default(false);
    P.Prop("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
    P.Prop("Position", &TCustomForm::Position, &TCustomForm::SetPosition).Default(poDesigned);
    P.Prop("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState).Default(wsNormal);
    P.Event("OnActivate", &TCustomForm::OnActivate);
    P.Event("OnCanResize", &TCustomForm::OnCanResize);
    P.Event("OnClose", &TCustomForm::OnClose);
    P.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
    P.Event("OnCreate", &TCustomForm::OnCreate);
    P.Event("OnDeactivate", &TCustomForm::OnDeactivate);
    P.Event("OnDestroy", &TCustomForm::OnDestroy);
    P.Event("OnHide", &TCustomForm::OnHide);
    P.Event("OnPaint", &TCustomForm::OnPaint);
    P.Event("OnShow", &TCustomForm::OnShow);
  }

 protected:
  struct TCreateNew {};
  // CreateNew: no form resource.
  TCustomForm(TComponent* AOwner, TCreateNew);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateHandle() override;
  void Loaded() override;
  void SetClientSize(int AWidth, int AHeight) override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void PaintWindow(HDC DC) override;
  void WMPaint(TWMPaint& Message) override;
  void WMSize(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  virtual void Paint();
  virtual void Activate();
  virtual void Deactivate();
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);

 private:
  bool FDestroyDone = false;
  TWinControl* storedActiveControl() const { return FActiveControl; }
  void init();
  void construct(bool Strict);
  void recreate();
  void frameSize(int& FrameWidth, int& FrameHeight) const;
  bool previewKey(MSG& Msg);
  void applyPosition();
  void applyLayered();
  void applyClientSize();
  void adjustToControls();
  void closeModal();
  void setActive(bool Value);
  friend class TScreen;
  friend class TApplication;

  TFormBorderStyle FBorderStyle = bsSizeable;
  bool FAutoSize = false;
  bool FAutoSizing = false;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TFormStyle FFormStyle = fsNormal;
  TWindowState FWindowState = wsNormal;
  bool FAlphaBlend = false;
  BYTE FAlphaBlendValue = 255;
  TIcon* FIcon = nullptr;
  bool FKeyPreview = false;
  TWinControl* FActiveControl = nullptr;
  TModalResult FModalResult = mrNone;
  TFormState FFormState;
  bool FActive = false;
  bool FConstructed = false;
  bool FReadResource = true;
  bool FReleased = false;
  int FPendingClientWidth = -1;
  int FPendingClientHeight = -1;
  TCanvas* FCanvas = nullptr;
};

class TForm : public TCustomForm {
  QV_CLASS(TForm, TCustomForm)
  explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
  // A form without a form resource, ready to use (OnCreate has run).
  static TForm* CreateNew(TComponent* AOwner);

 protected:
  TForm(TComponent* AOwner, TCreateNew Tag) : TCustomForm(AOwner, Tag) {}
};

namespace qv::classlib {
// Makes a form of class T for AOwner and reads its resource (OnCreate runs).
template <class T>
T* newForm(TComponent* AOwner) {
  T* form = new T(AOwner);
  try {
    form->AfterConstruction();
  } catch (...) {
    delete form;
    throw;
  }
  return form;
}
// The form that Control is on (the top-most TCustomForm parent), or null.
TCustomForm* GetParentForm(TControl* Control);
}  // namespace qv::classlib

template <class T>
void TApplication::CreateForm(T*& Reference) {
  T* form = new T(this);
  Reference = form;
  try {
    adoptForm(form);
  } catch (...) {
    Reference = nullptr;
    throw;
  }
}

// ---------------------------------------------------------------------------
class TScreen : public TComponent {
  QV_CLASS(TScreen, TComponent)
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  int Width() const;
  int Height() const;
  TRect DesktopRect() const;
  int DesktopLeft() const { return DesktopRect().left; }
  int DesktopTop() const { return DesktopRect().top; }
  int DesktopWidth() const { return DesktopRect().right - DesktopRect().left; }
  int DesktopHeight() const { return DesktopRect().bottom - DesktopRect().top; }
  TRect WorkAreaRect() const;
  int WorkAreaLeft() const { return WorkAreaRect().left; }
  int WorkAreaTop() const { return WorkAreaRect().top; }
  int WorkAreaWidth() const { return WorkAreaRect().right - WorkAreaRect().left; }
  int WorkAreaHeight() const { return WorkAreaRect().bottom - WorkAreaRect().top; }
  int PixelsPerInch() const { return 96; }

  // The forms, the most recently activated first. EListError for a bad index.
  int FormCount() const;
  TForm* Forms(int Index) const;
  int CustomFormCount() const { return static_cast<int>(FCustomForms.size()); }
  TCustomForm* CustomForms(int Index) const;
  TForm* ActiveForm() const;
  TCustomForm* ActiveCustomForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const;

  // Setting it shows that cursor now (crDefault gives the controls' own
  // cursors back).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor table: the standard cursors under their ids, custom ones
  // added with SetCursors; an unknown id gives the default cursor.
  HCURSOR Cursors(int Index) const;
  void SetCursors(int Index, HCURSOR Handle);

  TFont* HintFont() const { return FHintFont; }
  void SetHintFont(TFont* Value) { FHintFont->Assign(Value); }
  TFont* IconFont() const { return FIconFont; }
  void SetIconFont(TFont* Value) { FIconFont->Assign(Value); }
  TFont* MenuFont() const { return FMenuFont; }
  void SetMenuFont(TFont* Value) { FMenuFont->Assign(Value); }

  TNotifyEvent OnActiveFormChange;
  TNotifyEvent OnActiveControlChange;

 private:
  void addForm(TCustomForm* Form);
  void removeForm(TCustomForm* Form);
  void setActiveForm(TCustomForm* Form);
  void moveToFront(TCustomForm* Form);
  void activeControlChanged();
  void loadCursors();
  void reset();
  friend class TCustomForm;
  friend struct ScreenReset;

  std::vector<TCustomForm*> FCustomForms;
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FLastActiveControl = nullptr;
  TCursor FCursor = crDefault;
  mutable std::map<int, HCURSOR> FCursors;
  TFont* FHintFont;
  TFont* FIconFont;
  TFont* FMenuFont;
};

// The program's screen object.
extern TScreen* Screen;
