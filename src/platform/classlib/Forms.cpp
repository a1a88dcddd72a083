#include "platform/classlib/Forms.h"

#include "platform/desktop/Recorder.h"
#include "platform/os/user/User.h"

TApplication* Application = new TApplication(nullptr);

namespace {
constexpr const char* kAppClass = "TApplication";
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
    Application->FMainForm = nullptr;
    Application->FCloseMainForm = nullptr;
    Application->OnMessage = nullptr;
    Application->OnIdle = nullptr;
    Application->OnException = nullptr;
    Application->OnActivate = nullptr;
    Application->OnDeactivate = nullptr;
  }
};

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  qv::desktop::onReset(&ApplicationReset::run);
}

TApplication::~TApplication() {
  if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
  if (Application == this) Application = nullptr;
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

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessage(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  bool handled = false;
  if (OnMessage) OnMessage(Msg, handled);
  if (!handled) {
    TranslateMessage(&Msg);
    DispatchMessage(&Msg);
  }
  return true;
}

void TApplication::Idle() {
  bool done = true;
  try {
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

void TApplication::Run() {
  FRunning = true;
  Handle();
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
