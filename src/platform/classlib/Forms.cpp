#include "platform/classlib/Forms.h"

#include <algorithm>

#include "platform/classlib/ActnList.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/gdi/Cursor.h"
#include "platform/os/gdi/Rect.h"
#include "platform/os/user/Layered.h"
#include "platform/os/user/User.h"

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

namespace {
constexpr const char* kAppClass = "TApplication";

// A button with a modal result closes its form: the buttons' unit sits
// below the forms' and is told how to reach a form.
const bool modalResultHooked = [] {
  qv::classlib::setModalResultSetter([](TWinControl* Form, TModalResult Result) {
    if (auto* form = dynamic_cast<TCustomForm*>(Form)) form->SetModalResult(Result);
  });
  return true;
}();
}  // namespace

// A fresh desktop (each test) takes the windows away; the application
// forgets its window and state with them.
struct ApplicationReset {
  static void run() {
    if (Application == nullptr) return;
    Application->FHandle = nullptr;
    Application->FTerminated = false;
    Application->FRunning = false;
    Application->FTitle.clear();
    Application->FTitleSet = false;
    delete Application->FIcon;
    Application->FIcon = nullptr;
    Application->FMainForm = nullptr;
    Application->FCloseMainForm = nullptr;
    Application->OnMessage = nullptr;
    Application->OnIdle = nullptr;
    Application->OnException = nullptr;
    Application->OnActivate = nullptr;
    Application->OnDeactivate = nullptr;
    delete Application->FHintWindow;
    Application->FHintWindow = nullptr;
    Application->FHintControl = nullptr;
    Application->FHintActive = false;
    Application->FHintTimerRunning = false;
    Application->FShowHint = true;
    Application->FHintPause = 500;
    Application->FHintShortPause = 50;
    Application->FHintHidePause = 2500;
    Application->FHintColor = clInfoBk;
    Application->FHint.clear();
    Application->FHintWindowClass = THintWindow::StaticClass();
    Application->OnHint = nullptr;
    Application->OnShowHint = nullptr;
  }
};

namespace {
constexpr UINT_PTR kHintTimer = 0x4854;
}  // namespace

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  qv::desktop::onReset(&ApplicationReset::run);
}

TApplication::~TApplication() {
  delete FIcon;
  if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
  if (Application == this) Application = nullptr;
}

TIcon* TApplication::Icon() {
  if (!FIcon) FIcon = new TIcon();
  return FIcon;
}

void TApplication::SetIcon(TIcon* Value) {
  Icon()->Assign(Value);
  SendMessage(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
}

void TApplication::BringToFront() {
  HWND window = GetLastActivePopup(Handle());
  if (window && IsWindowVisible(window) && IsWindowEnabled(window)) SetForegroundWindow(window);
}

LRESULT TApplication::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TApplication*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (self != nullptr) {
    switch (msg) {
      case WM_CLOSE:
        if (self->FCloseMainForm) self->FCloseMainForm();
        return 0;
      case WM_ACTIVATEAPP: {
        TNotifyEvent& e = wParam ? self->OnActivate : self->OnDeactivate;
        if (e) e(self);
        return 0;
      }
      case WM_TIMER:
        if (wParam == kHintTimer) {
          self->hintTimerExpired();
          return 0;
        }
        break;
      case WM_ENDSESSION:
        if (wParam) self->Terminate();
        return 0;
      default: break;
    }
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND TApplication::Handle() {
  if (FHandle && IsWindow(FHandle)) return FHandle;
  WNDCLASSA wc{};
  if (!GetClassInfo(nullptr, kAppClass, &wc)) {
    wc = WNDCLASSA{};
    wc.lpfnWndProc = &TApplication::WndProc;
    wc.lpszClassName = kAppClass;
    RegisterClass(&wc);
  }
  FHandle = CreateWindowEx(0, kAppClass, Title().c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr, nullptr,
                           nullptr, nullptr);
  if (FHandle) SetWindowLongPtr(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return FHandle;
}

std::string TApplication::ExeName() const { return ParamStr(0); }

std::string TApplication::Title() const {
  if (FTitleSet) return FTitle;
  return ChangeFileExt(ExtractFileName(ExeName()), "");
}

void TApplication::SetTitle(const std::string& Value) {
  FTitle = Value;
  FTitleSet = true;
  if (FHandle && IsWindow(FHandle)) SetWindowText(FHandle, Value.c_str());
}

void TApplication::SetMainForm(TComponent* Form, std::function<void()> close) {
  if (FMainForm) FMainForm->RemoveFreeNotification(this);
  FMainForm = Form;
  FCloseMainForm = Form ? std::move(close) : nullptr;
  if (Form) Form->FreeNotification(this);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FMainForm) {
    FMainForm = nullptr;
    FCloseMainForm = nullptr;
  }
}

void TApplication::CreateForm(TClass InstanceClass, TCustomForm*& Reference) {
  TObject* obj = InstanceClass ? InstanceClass->Create(this) : nullptr;
  auto* form = dynamic_cast<TCustomForm*>(obj);
  if (!form) {
    delete obj;
    throw EInvalidOperation("Cannot create form of class %s", {InstanceClass ? InstanceClass->ClassName() : "nil"});
  }
  Reference = form;
  try {
    adoptForm(form);
  } catch (...) {
    Reference = nullptr;
    throw;
  }
}

void TApplication::CreateForm(const std::function<TCustomForm*(TComponent* AOwner)>& Factory,
                              TCustomForm*& Reference) {
  TCustomForm* form = Factory ? Factory(this) : nullptr;
  if (!form) throw EInvalidOperation("Cannot create form");
  Reference = form;
  try {
    adoptForm(form);
  } catch (...) {
    Reference = nullptr;
    throw;
  }
}

void TApplication::adoptForm(TCustomForm* Form) {
  try {
    Form->AfterConstruction();
  } catch (...) {
    delete Form;
    throw;
  }
  if (FMainForm == nullptr) {
    Form->HandleNeeded();
    SetMainForm(Form, [Form] { Form->Close(); });
  }
}

bool TApplication::previewKey(MSG& Msg) {
  switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
      break;
    default:
      return false;
  }
  TWinControl* control = FindControl(Msg.hwnd);
  if (!control) return false;
  TCustomForm* form = qv::classlib::GetParentForm(control);
  if (!form || form == control || !form->FKeyPreview) return false;
  return form->previewKey(Msg);
}

bool TApplication::isKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  TWinControl* control = nullptr;
  for (HWND h = Msg.hwnd; h && !control; h = GetParent(h)) control = FindControl(h);
  if (!control || !control->HandleAllocated()) return false;
  return SendMessage(control->Handle(), CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  bool handled = false;
  if (OnMessage) OnMessage(Msg, handled);
  if (!handled) handled = isKeyMsg(Msg);
  if (!handled) handled = previewKey(Msg);
  if (!handled) {
    TranslateMessage(&Msg);
    DispatchMessage(&Msg);
  }
  return true;
}

void TApplication::Idle() {
  bool done = true;
  try {
    qv::classlib::updateActionsIdle();
    if (OnIdle) OnIdle(this, done);
  } catch (...) {
    HandleException(this);
  }
  if (done) WaitMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  bool got;
  try {
    got = ProcessMessage(msg);
  } catch (...) {
    HandleException(this);
    return;
  }
  if (!got) Idle();
}

void TApplication::ProcessMessages() {
  MSG msg;
  for (;;) {
    try {
      if (!ProcessMessage(msg)) break;
    } catch (...) {
      HandleException(this);
    }
    if (FTerminated) break;
  }
}

void TApplication::Initialize() {
  if (FindResourceHInstance(nullptr) != nullptr) return;
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileName(nullptr, path, MAX_PATH);
  if (length > 0 && length < MAX_PATH) qv::classlib::LoadResourceModule(path);
}

void TApplication::Run() {
  FRunning = true;
  Handle();
  if (auto* form = dynamic_cast<TCustomForm*>(FMainForm); form && FShowMainForm) {
    if (form->WindowState() == wsMinimized)
      ShowWindow(form->Handle(), SW_SHOWMINNOACTIVE);
    else
      form->SetVisible(true);
  }
  do {
    HandleMessage();
  } while (!FTerminated);
  FRunning = false;
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::HandleException(TObject* Sender) {
  std::exception_ptr p = std::current_exception();
  if (!p) return;
  try {
    std::rethrow_exception(p);
  } catch (EAbort&) {
  } catch (Exception& E) {
    if (OnException) OnException(Sender, E);
    else ShowException(E);
  } catch (std::exception& e) {
    Exception E(e.what());
    if (OnException) OnException(Sender, E);
    else ShowException(E);
  } catch (...) {
  }
}

void TApplication::ShowException(Exception& E) {
  std::string msg = E.Message();
  if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += '.';
  MessageBox(msg, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, int Flags) {
  HWND owner = GetActiveWindow();
  if (owner == nullptr) owner = Handle();
  return ::MessageBox(owner, Text.c_str(), Caption.c_str(), static_cast<UINT>(Flags));
}

// ---------------------------------------------------------------------------
// TCustomForm

namespace qv::classlib {
TCustomForm* GetParentForm(TControl* Control) {
  if (!Control) return nullptr;
  while (Control->Parent()) Control = Control->Parent();
  return dynamic_cast<TCustomForm*>(Control);
}
}  // namespace qv::classlib

namespace {

// Window styles of a top-level form of this border style and these icons.
void formStyles(TFormBorderStyle Border, TBorderIcons Icons, TFormStyle Style, bool Layered, DWORD& WS, DWORD& Ex) {
  switch (Border) {
    case bsNone: WS |= WS_POPUP; break;
    case bsSingle:
    case bsToolWindow: WS |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: WS |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      WS |= WS_POPUP | WS_CAPTION;
      Ex |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
  }
  if (Border == bsToolWindow || Border == bsSizeToolWin) Ex |= WS_EX_TOOLWINDOW;
  if (Border != bsNone) {
    if (Icons.Contains(biSystemMenu)) WS |= WS_SYSMENU;
    bool boxes = Border != bsDialog && Border != bsToolWindow && Border != bsSizeToolWin;
    if (boxes && Icons.Contains(biMinimize)) WS |= WS_MINIMIZEBOX;
    if (boxes && Icons.Contains(biMaximize)) WS |= WS_MAXIMIZEBOX;
    // The caption has room for the help button only without the boxes.
    if (Icons.Contains(biHelp) && (Border == bsDialog || !(WS & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))))
      Ex |= WS_EX_CONTEXTHELP;
  }
  if (Style == fsStayOnTop) Ex |= WS_EX_TOPMOST;
  if (Layered) Ex |= WS_EX_LAYERED;
}

int showCommand(TWindowState State) {
  switch (State) {
    case wsMinimized: return SW_SHOWMINIMIZED;
    case wsMaximized: return SW_SHOWMAXIMIZED;
    default: return SW_SHOWNORMAL;
  }
}

struct DisabledWindows {
  HWND keep;
  std::vector<HWND> list;
};

BOOL disableWindow(HWND hwnd, LPARAM lParam) {
  auto* d = reinterpret_cast<DisabledWindows*>(lParam);
  if (hwnd != d->keep && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    EnableWindow(hwnd, FALSE);
    d->list.push_back(hwnd);
  }
  return TRUE;
}

}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) { init(); }

TCustomForm::TCustomForm(TComponent* AOwner, TCreateNew) : TWinControl(AOwner) {
  FReadResource = false;
  init();
}

void TCustomForm::init() {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FColor = clBtnFace;
  FBrush->SetColor(clBtnFace);
  FWidth = 320;
  FHeight = 240;
  FIcon = new TIcon();
  FIcon->OnChange = [this](TObject*) {
    if (FHandle) SendMessage(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
  };
  auto* canvas = new TControlCanvas();
  canvas->SetControl(this);
  FCanvas = canvas;
  if (Screen) Screen->addForm(this);
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (FHandle && IsWindowVisible(FHandle)) ShowWindow(FHandle, SW_HIDE);
  BeforeDestruction();
  if (Screen) Screen->removeForm(this);
  // Freeing the main form ends the program.
  if (Application && Application->MainForm() == this) {
    Application->SetMainForm(nullptr);
    Application->Terminate();
  }
  // The window goes while the object is still a form, with its children's.
  DestroyHandle();
  delete FCanvas;
  FCanvas = nullptr;
  delete FIcon;
  FIcon = nullptr;
}

TForm* TForm::CreateNew(TComponent* AOwner) {
  auto* form = new TForm(AOwner, TCreateNew{});
  form->AfterConstruction();
  return form;
}

void TCustomForm::AfterConstruction() {
  if (FConstructed) return;
  FConstructed = true;
  TClass root = InheritsFrom(TForm::StaticClass()) ? TForm::StaticClass() : TCustomForm::StaticClass();
  if (FReadResource && ClassType() != root) {
    FFormState.Include(fsCreating);
    bool found = false;
    try {
      found = InitInheritedComponent(this, root);
    } catch (...) {
      FFormState.Exclude(fsCreating);
      throw;
    }
    FFormState.Exclude(fsCreating);
    if (!found) throw EResNotFound("Resource %s not found", {ClassName()});
  }
  DoCreate();
  // A resource that says Visible shows the form once it is complete.
  if (FVisible) Perform(CM_VISIBLECHANGED, 1);
}

void TCustomForm::Loaded() {
  inherited::Loaded();
  applyClientSize();
  adjustToControls();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  recreate();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == FBorderIcons) return;
  FBorderIcons = Value;
  recreate();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (Value == FFormStyle) return;
  FFormStyle = Value;
  if (FHandle && !FParent)
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (Value == FWindowState) return;
  FWindowState = Value;
  if (FHandle && IsWindowVisible(FHandle) && !ComponentState().Contains(csDesigning)) {
    static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ShowWindow(FHandle, commands[Value]);
  }
}

void TCustomForm::SetAlphaBlend(bool Value) {
  if (Value == FAlphaBlend) return;
  FAlphaBlend = Value;
  applyLayered();
}

void TCustomForm::SetAlphaBlendValue(BYTE Value) {
  if (Value == FAlphaBlendValue) return;
  FAlphaBlendValue = Value;
  applyLayered();
}

void TCustomForm::applyLayered() {
  if (!FHandle || FParent) return;
  LONG ex = GetWindowLong(FHandle, GWL_EXSTYLE);
  if (FAlphaBlend) {
    SetWindowLong(FHandle, GWL_EXSTYLE, ex | static_cast<LONG>(WS_EX_LAYERED));
    SetLayeredWindowAttributes(FHandle, 0, FAlphaBlendValue, LWA_ALPHA);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLong(FHandle, GWL_EXSTYLE, ex & ~static_cast<LONG>(WS_EX_LAYERED));
  }
}

void TCustomForm::recreate() { RecreateWnd(); }

void TCustomForm::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  adjustToControls();
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  inherited::AlignControls(AControl, Rect);
  adjustToControls();
}

void TCustomForm::adjustToControls() {
  if (!FAutoSize || FAutoSizing || ComponentState().Contains(csLoading)) return;
  int width = 0, height = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible() || c->Align() != alNone) continue;
    width = std::max(width, c->Left() + c->Width());
    height = std::max(height, c->Top() + c->Height());
  }
  if (width <= 0 || height <= 0) return;
  FAutoSizing = true;
  try {
    SetClientWidth(width);
    SetClientHeight(height);
  } catch (...) {
    FAutoSizing = false;
    throw;
  }
  FAutoSizing = false;
}

TWinControl* TCustomForm::ActiveControl() const {
  if (FHandle) {
    TWinControl* focused = FindControl(GetFocus());
    if (focused && focused != this && qv::classlib::GetParentForm(focused) == this) return focused;
  }
  return FActiveControl;
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (Control == FActiveControl) return;
  if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
  FActiveControl = Control;
  if (Control) Control->FreeNotification(this);
  if (ComponentState().Contains(csLoading)) return;
  if (FActive && Control && Control->CanFocus()) ::SetFocus(Control->Handle());
  if (Screen && Screen->FActiveForm == this) Screen->activeControlChanged();
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActiveControl) FActiveControl = nullptr;
}

void TCustomForm::FocusControl(TWinControl* Control) {
  SetActiveControl(Control);
  if (Control && Control->CanFocus()) ::SetFocus(Control->Handle());
  if (Screen && Screen->FActiveForm == this) Screen->activeControlChanged();
}

void TCustomForm::SetFocus() {
  if (!FVisible || !FEnabled) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  SetActiveWindow(Handle());
  if (FActiveControl && FActiveControl->CanFocus())
    ::SetFocus(FActiveControl->Handle());
  else if (GetFocus() != FHandle && !ActiveControl())
    ::SetFocus(FHandle);
}

void TCustomForm::frameSize(int& FrameWidth, int& FrameHeight) const {
  FrameWidth = FrameHeight = 0;
  if (FParent || ParentWindow()) return;
  DWORD ws = 0, ex = 0;
  formStyles(FBorderStyle, FBorderIcons, FFormStyle, FAlphaBlend, ws, ex);
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, ws, FALSE, ex);
  FrameWidth = r.right - r.left;
  FrameHeight = r.bottom - r.top;
}

TRect TCustomForm::ClientRect() {
  if (FHandle) return inherited::ClientRect();
  int fw, fh;
  frameSize(fw, fh);
  return {0, 0, std::max(FWidth - fw, 0), std::max(FHeight - fh, 0)};
}

void TCustomForm::SetClientSize(int AWidth, int AHeight) {
  if (FHandle) {
    inherited::SetClientSize(AWidth, AHeight);
    return;
  }
  int fw, fh;
  frameSize(fw, fh);
  SetBounds(FLeft, FTop, AWidth + fw, AHeight + fh);
}

void TCustomForm::SetClientWidth(int Value) {
  if (ComponentState().Contains(csLoading)) FPendingClientWidth = Value;
  SetClientSize(Value, ClientHeight());
}

void TCustomForm::SetClientHeight(int Value) {
  if (ComponentState().Contains(csLoading)) FPendingClientHeight = Value;
  SetClientSize(ClientWidth(), Value);
}

void TCustomForm::applyClientSize() {
  // The border style may come after the client size in the resource.
  if (FPendingClientWidth < 0 && FPendingClientHeight < 0) return;
  int w = FPendingClientWidth >= 0 ? FPendingClientWidth : ClientWidth();
  int h = FPendingClientHeight >= 0 ? FPendingClientHeight : ClientHeight();
  FPendingClientWidth = FPendingClientHeight = -1;
  SetClientSize(w, h);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  inherited::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(WS_VISIBLE);
  if (FParent || ParentWindow()) return;
  Params.Style &= ~static_cast<DWORD>(WS_CHILD | WS_GROUP | WS_TABSTOP);
  formStyles(FBorderStyle, FBorderIcons, FFormStyle, FAlphaBlend, Params.Style, Params.ExStyle);
  Params.WndParent = Application ? Application->Handle() : nullptr;
  Params.WindowClass.style |= CS_DBLCLKS;
  if (FPosition == poDefault || FPosition == poDefaultPosOnly) Params.X = Params.Y = CW_USEDEFAULT;
  if (FPosition == poDefault || FPosition == poDefaultSizeOnly) Params.Width = Params.Height = CW_USEDEFAULT;
}

void TCustomForm::CreateHandle() {
  // A form made with plain `new` reads its resource now.
  if (!FConstructed) construct(false);
  inherited::CreateHandle();
}

void TCustomForm::construct(bool Strict) {
  if (Strict) {
    AfterConstruction();
    return;
  }
  try {
    AfterConstruction();
  } catch (EResNotFound&) {
  }
}

void TCustomForm::CreateWnd() {
  inherited::CreateWnd();
  if (FParent || ParentWindow()) return;
  // Default places and sizes are the window's; take them over.
  if (FPosition != poDesigned) UpdateBounds();
  applyLayered();
  if (FIcon->Handle()) SendMessage(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon->Handle()));
}

void TCustomForm::applyPosition() {
  TCustomForm* center = nullptr;
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
      break;
    case poOwnerFormCenter:
      center = dynamic_cast<TCustomForm*>(Owner());
      if (!center && Application) center = dynamic_cast<TCustomForm*>(Application->MainForm());
      break;
    case poMainFormCenter:
      if (Application) center = dynamic_cast<TCustomForm*>(Application->MainForm());
      break;
    default:
      return;
  }
  if (center == this || (center && !center->HandleAllocated())) center = nullptr;
  TRect area = FPosition == poDesktopCenter ? Screen->DesktopRect()
                                            : TRect{0, 0, Screen->Width(), Screen->Height()};
  if (center) area = center->BoundsRect();
  int x = area.left + (area.right - area.left - FWidth) / 2;
  int y = area.top + (area.bottom - area.top - FHeight) / 2;
  TRect desk = Screen->DesktopRect();
  if (x < desk.left) x = desk.left;
  if (y < desk.top) y = desk.top;
  SetBounds(x, y, FWidth, FHeight);
}

void TCustomForm::CMVisibleChanged(TMessage& Message) {
  if (FParent || ParentWindow()) {
    inherited::CMVisibleChanged(Message);
    return;
  }
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning)) return;
  if (ComponentState().Contains(csDestroying)) return;
  if (FVisible) {
    if (!FConstructed) {
      construct(false);
      if (!FVisible || (FHandle && IsWindowVisible(FHandle))) return;
    }
    HandleNeeded();
    applyPosition();
    FFormState.Include(fsShowing);
    DoShow();
    FFormState.Exclude(fsShowing);
    if (!FVisible || !FHandle) return;
    ShowWindow(FHandle, showCommand(FWindowState));
    if (FWindowState != wsMinimized && GetActiveWindow() != FHandle) SetActiveWindow(FHandle);
  } else {
    DoHide();
    if (FHandle) {
      bool wasActive = GetActiveWindow() == FHandle;
      ShowWindow(FHandle, SW_HIDE);
      if (wasActive && FActive) setActive(false);
    }
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle && FVisible) BringWindowToTop(FHandle);
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
  if (FFormState.Contains(fsModal)) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() {
  if (FReleased) return;
  FReleased = true;
  PostMessage(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::closeModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone)
    FModalResult = mrNone;
  else if (action == caFree)
    Release();
}

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FFormState.Contains(fsModal))
    throw EInvalidOperation("Cannot make a visible window modal");
  if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState.Include(fsModal);
  HWND previous = GetActiveWindow();
  DisabledWindows disabled{Handle(), {}};
  EnumThreadWindows(GetWindowThreadProcessId(FHandle, nullptr), &disableWindow, reinterpret_cast<LPARAM>(&disabled));
  auto restore = [&] {
    for (HWND h : disabled.list)
      if (IsWindow(h)) EnableWindow(h, TRUE);
    FFormState.Exclude(fsModal);
    if (previous && previous != FHandle && IsWindow(previous) && IsWindowVisible(previous))
      SetActiveWindow(previous);
  };
  FModalResult = mrNone;
  try {
    Show();
    do {
      Application->HandleMessage();
      if (Application->Terminated())
        FModalResult = mrCancel;
      else if (FModalResult != mrNone)
        closeModal();
    } while (FModalResult == mrNone);
    Hide();
  } catch (...) {
    if (FVisible) SetVisible(false);
    restore();
    throw;
  }
  TModalResult result = FModalResult;
  restore();
  // A release asked for while the loop ran waits for the caller's loop: the
  // form outlives ShowModal's return.
  if (FReleased) PostMessage(FHandle, CM_RELEASE, 0, 0);
  return result;
}

void TCustomForm::setActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  if (Value) {
    FFormState.Include(fsActivated);
    if (Screen) Screen->setActiveForm(this);
    if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
    Activate();
    if (Screen) Screen->activeControlChanged();
  } else {
    Deactivate();
  }
}

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

// Exceptions of these go to the application and the form goes on.
void TCustomForm::DoCreate() {
  try {
    if (OnCreate) OnCreate(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TCustomForm::BeforeDestruction() {
  if (FDestroyDone) return;
  FDestroyDone = true;
  Destroying();
  DoDestroy();
}

void TCustomForm::DoDestroy() {
  try {
    if (OnDestroy) OnDestroy(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TCustomForm::DoShow() {
  try {
    if (OnShow) OnShow(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TCustomForm::DoHide() {
  try {
    if (OnHide) OnHide(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC) {
  static_cast<TControlCanvas*>(FCanvas)->PaintOn(DC, [this] { Paint(); });
}

void TCustomForm::WMPaint(TWMPaint& Message) {
  FControlState.Include(csCustomPaint);
  inherited::WMPaint(Message);
  FControlState.Exclude(csCustomPaint);
}

void TCustomForm::WMSize(TMessage& Message) {
  if (!FParent && !ParentWindow()) {
    if (Message.WParam == SIZE_MINIMIZED)
      FWindowState = wsMinimized;
    else if (Message.WParam == SIZE_MAXIMIZED)
      FWindowState = wsMaximized;
    else if (FHandle && IsWindowVisible(FHandle))
      FWindowState = wsNormal;
  }
  inherited::WMSize(Message);
}

bool TCustomForm::previewKey(MSG& Msg) {
  if (Msg.message == WM_CHAR) {
    char ch = static_cast<char>(Msg.wParam);
    KeyPress(ch);
    Msg.wParam = static_cast<BYTE>(ch);
    return ch == 0;
  }
  WORD key = static_cast<WORD>(Msg.wParam);
  TShiftState shift = KeyDataToShiftState(static_cast<LONG>(Msg.lParam));
  if (Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN)
    KeyDown(key, shift);
  else
    KeyUp(key, shift);
  Msg.wParam = key;
  return key == 0;
}

void TCustomForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE:
      Close();
      Message.Result = 0;
      return;
    case WM_SYSCOMMAND:
      if ((Message.WParam & 0xFFF0) == SC_CLOSE) {
        Close();
        Message.Result = 0;
        return;
      }
      break;
    case WM_QUERYENDSESSION:
      Message.Result = CloseQuery() ? TRUE : FALSE;
      return;
    case WM_ACTIVATE: {
      DefaultHandler(Message);
      setActive(LOWORD(Message.WParam) != WA_INACTIVE);
      return;
    }
    case CM_RELEASE:
      // Inside ShowModal the object must outlive the loop; ShowModal posts
      // the release again when it returns.
      if (FFormState.Contains(fsModal)) return;
      delete this;
      return;
    default:
      break;
  }
  inherited::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TScreen

namespace {

LPCSTR standardCursor(int Index) {
  switch (Index) {
    case crDefault:
    case crArrow:
    case crDrag:
    case crMultiDrag: return IDC_ARROW;
    case crCross: return IDC_CROSS;
    case crIBeam: return IDC_IBEAM;
    case crSizeNESW: return IDC_SIZENESW;
    case crSizeNS:
    case crVSplit: return IDC_SIZENS;
    case crSizeNWSE: return IDC_SIZENWSE;
    case crSizeWE:
    case crHSplit: return IDC_SIZEWE;
    case crUpArrow: return IDC_UPARROW;
    case crHourGlass:
    case crSQLWait: return IDC_WAIT;
    case crNoDrop:
    case crNo: return IDC_NO;
    case crAppStart: return IDC_APPSTARTING;
    case crHelp: return IDC_HELP;
    case crHandPoint: return IDC_HAND;
    case crSizeAll: return IDC_SIZEALL;
    default: return nullptr;
  }
}

}  // namespace

struct ScreenReset {
  static void run() {
    if (Screen) Screen->reset();
  }
};

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
  FHintFont = new TFont();
  FIconFont = new TFont();
  FMenuFont = new TFont();
  for (TFont* f : {FHintFont, FIconFont, FMenuFont}) {
    f->SetName("Tahoma");
    f->SetHeight(-11);
  }
  qv::classlib::setCursorResolver([](TCursor Cursor) { return Screen ? Screen->Cursors(Cursor) : nullptr; });
  qv::desktop::onReset(&ScreenReset::run);
}

TScreen::~TScreen() {
  if (Screen == this) {
    Screen = nullptr;
    qv::classlib::setCursorResolver(nullptr);
  }
  delete FHintFont;
  delete FIconFont;
  delete FMenuFont;
}

void TScreen::reset() {
  FCustomForms.clear();
  FActiveForm = nullptr;
  FLastActiveControl = nullptr;
  FCursor = crDefault;
  FCursors.clear();
  OnActiveFormChange = nullptr;
  OnActiveControlChange = nullptr;
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::DesktopRect() const {
  int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (w <= 0 || h <= 0) return {0, 0, Width(), Height()};
  int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + w, y + h};
}

TRect TScreen::WorkAreaRect() const {
  RECT r{};
  if (!SystemParametersInfo(SPI_GETWORKAREA, 0, &r, 0)) r = {0, 0, Width(), Height()};
  return r;
}

TForm* TScreen::Forms(int Index) const {
  // Only the forms' classes tell TForms from other forms (the list is made
  // while their base constructor runs), so they are picked out here.
  int n = 0;
  for (TCustomForm* f : FCustomForms)
    if (auto* form = dynamic_cast<TForm*>(f); form && n++ == Index) return form;
  throw EListError("List index out of bounds (%d)", {Index});
}

TCustomForm* TScreen::CustomForms(int Index) const {
  if (Index < 0 || Index >= CustomFormCount()) throw EListError("List index out of bounds (%d)", {Index});
  return FCustomForms[static_cast<std::size_t>(Index)];
}

TForm* TScreen::ActiveForm() const { return dynamic_cast<TForm*>(FActiveForm); }

TWinControl* TScreen::ActiveControl() const { return FActiveForm ? FActiveForm->ActiveControl() : nullptr; }

void TScreen::addForm(TCustomForm* Form) { FCustomForms.push_back(Form); }

int TScreen::FormCount() const {
  int n = 0;
  for (TCustomForm* f : FCustomForms)
    if (dynamic_cast<TForm*>(f)) ++n;
  return n;
}

void TScreen::removeForm(TCustomForm* Form) {
  FCustomForms.erase(std::remove(FCustomForms.begin(), FCustomForms.end(), Form), FCustomForms.end());
  // The last active control is only ever compared, never used: it may be gone.
  if (FActiveForm == Form) {
    FActiveForm = nullptr;
    FLastActiveControl = nullptr;
  }
}

void TScreen::moveToFront(TCustomForm* Form) {
  auto it = std::find(FCustomForms.begin(), FCustomForms.end(), Form);
  if (it != FCustomForms.end()) std::rotate(FCustomForms.begin(), it, it + 1);
}

void TScreen::setActiveForm(TCustomForm* Form) {
  if (Form) moveToFront(Form);
  if (Form == FActiveForm) return;
  FActiveForm = Form;
  if (OnActiveFormChange) OnActiveFormChange(this);
}

void TScreen::activeControlChanged() {
  TWinControl* now = ActiveControl();
  if (now == FLastActiveControl) return;
  FLastActiveControl = now;
  if (OnActiveControlChange) OnActiveControlChange(this);
}

void TScreen::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  FCursor = Value;
  if (Value != crDefault) {
    ::SetCursor(Cursors(Value));
    return;
  }
  // Back to the controls' own cursors: the window under the pointer sets it.
  POINT p{};
  GetCursorPos(&p);
  HWND h = WindowFromPoint(p);
  if (!h) {
    ::SetCursor(Cursors(crDefault));
    return;
  }
  LRESULT hit = SendMessage(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  SendMessage(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

HCURSOR TScreen::Cursors(int Index) const {
  auto it = FCursors.find(Index);
  if (it != FCursors.end()) return it->second;
  if (Index == crNone) return nullptr;
  LPCSTR id = standardCursor(Index);
  if (!id) return Cursors(crDefault);
  HCURSOR h = LoadCursor(nullptr, id);
  FCursors[Index] = h;
  return h;
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
  if (Handle == nullptr) {
    // Clearing an entry gives the standard cursor back (the default one for
    // custom ids).
    FCursors.erase(Index);
    return;
  }
  FCursors[Index] = Handle;
  if (Index == FCursor && FCursor != crDefault) ::SetCursor(Handle);
}

// --- hints ------------------------------------------------------------------
namespace {

// The control whose hint shows for Control: itself or the nearest parent
// with ShowHint.
TControl* hintControlOf(TControl* Control) {
  TControl* c = Control;
  while (c && !c->ShowHint()) c = c->Parent();
  if (c && c->ComponentState().Contains(csDesigning)) c = nullptr;
  return c;
}

// The first non-empty Hint from Control up its parents.
std::string hintOf(TControl* Control) {
  for (TControl* c = Control; c; c = c->Parent())
    if (!c->Hint().empty()) return c->Hint();
  return {};
}

}  // namespace

void TApplication::SetShowHint(bool Value) {
  if (Value == FShowHint) return;
  FShowHint = Value;
  if (!Value) {
    CancelHint();
    delete FHintWindow;
    FHintWindow = nullptr;
  }
}

void TApplication::SetHintColor(TColor Value) {
  FHintColor = Value;
  if (FHintWindow) FHintWindow->SetColor(Value);
}

void TApplication::SetHint(const std::string& Value) {
  if (Value == FHint) return;
  FHint = Value;
  if (OnHint) OnHint(this);
}

void TApplication::SetHintWindowClass(TClass Value) {
  if (!Value || !Value->InheritsFrom(THintWindow::StaticClass())) return;
  CancelHint();
  delete FHintWindow;
  FHintWindow = nullptr;
  FHintWindowClass = Value;
}

void TApplication::startHintTimer(int Pause, bool Show) {
  stopHintTimer();
  FHintTimerShows = Show;
  FHintTimerRunning = SetTimer(Handle(), kHintTimer, static_cast<UINT>(std::max(Pause, 1)), nullptr) != 0;
  // A zero pause acts at once rather than a tick later.
  if (Pause <= 0) hintTimerExpired();
}

void TApplication::stopHintTimer() {
  if (FHintTimerRunning && FHandle) KillTimer(FHandle, kHintTimer);
  FHintTimerRunning = false;
}

void TApplication::hintTimerExpired() {
  stopHintTimer();
  if (FHintTimerShows) {
    POINT p{};
    GetCursorPos(&p);
    ActivateHint({p.x, p.y});
  } else {
    HideHint();
  }
}

void TApplication::HideHint() {
  if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TApplication::CancelHint() {
  if (FHintControl) {
    HideHint();
    FHintControl = nullptr;
    FHintActive = false;
    FHintCursorRect = {0, 0, 0, 0};
  }
  stopHintTimer();
}

void TApplication::controlGone(TControl* Control) {
  if (Control == FHintWindow) {
    FHintWindow = nullptr;
    return;
  }
  if (Control == FHintControl) CancelHint();
}

void TApplication::HintMouseLeave(TControl* Control) {
  if (Control != FHintControl) return;
  stopHintTimer();
  HideHint();
  FHintControl = nullptr;
  FHintCursorRect = {0, 0, 0, 0};
}

void TApplication::HintMouseMessage(TControl* Control, TMessage& Message) {
  if (!FShowHint || dynamic_cast<THintWindow*>(Control)) return;
  TPoint p = Control->ClientToScreen({static_cast<SHORT>(Message.LParamLo()), static_cast<SHORT>(Message.LParamHi())});
  TControl* target = FindDragTarget(p, true);
  SetHint(TControl::GetLongHint(hintOf(target)));
  TControl* hintControl = hintControlOf(target);
  if (!hintControl) {
    CancelHint();
    return;
  }
  if (hintControl != FHintControl || !PtInRect(&FHintCursorRect, p)) {
    int pause = FHintActive ? FHintShortPause : FHintPause;
    hintControl->Perform(CM_HINTSHOWPAUSE, FHintActive ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
    FHintControl = hintControl;
    startHintTimer(pause, true);
  }
}

void TApplication::ActivateHint(const TPoint& CursorPos) {
  stopHintTimer();
  FHintControl = hintControlOf(FindDragTarget(CursorPos, false));
  THintInfo info;
  if (FHintControl && FShowHint && FHintControl->ShowHint()) {
    info.HintControl = FHintControl;
    info.HintWindowClass = FHintWindowClass;
    info.HintPos = {CursorPos.x, CursorPos.y + GetSystemMetrics(SM_CYCURSOR) * 5 / 8};
    info.HintMaxWidth = Screen ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
    info.HintColor = FHintColor;
    info.CursorRect = FHintControl->ClientRect();
    info.CursorPos = FHintControl->ScreenToClient(CursorPos);
    info.HintStr = TControl::GetShortHint(hintOf(FHintControl));
    info.HideTimeout = FHintHidePause;
    bool canShow = FHintControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
    FHintActive = canShow && FHintControl;
    if (FHintActive && !info.HintStr.empty()) {
      if (!FHintWindow || FHintWindow->ClassType() != info.HintWindowClass) {
        delete FHintWindow;
        FHintWindow = nullptr;
        TClass cls = info.HintWindowClass ? info.HintWindowClass : FHintWindowClass;
        TObject* made = cls->Create(this);
        FHintWindow = dynamic_cast<THintWindow*>(made);
        if (!FHintWindow) {
          delete made;
          FHintWindow = new THintWindow(this);
        }
      }
      TRect r = FHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
      OffsetRect(&r, info.HintPos.x, info.HintPos.y);
      FHintWindow->SetColor(info.HintColor);
      FHintWindow->ActivateHint(r, info.HintStr);
      qv::desktop::Recorder::record(
          "hint", {info.HintStr, std::to_string(FHintWindow->Left()), std::to_string(FHintWindow->Top())});
      TPoint origin = FHintControl->ClientOrigin();
      FHintCursorRect = info.CursorRect;
      OffsetRect(&FHintCursorRect, origin.x, origin.y);
      if (info.HideTimeout > 0) startHintTimer(info.HideTimeout, false);
      return;
    }
  }
  if (info.ReshowTimeout > 0)
    startHintTimer(info.ReshowTimeout, true);
  else
    CancelHint();
}

bool TApplication::Active() const { return GetActiveWindow() != nullptr; }
