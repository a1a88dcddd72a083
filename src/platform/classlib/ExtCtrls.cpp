#include "platform/classlib/ExtCtrls.h"

#include "platform/classlib/Forms.h"
#include "platform/os/user/User.h"

namespace {
constexpr const char* kTimerClass = "TTimerWindow";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  if (FWindowHandle && IsWindow(FWindowHandle)) {
    KillTimer(FWindowHandle, kTimerId);
    DestroyWindow(FWindowHandle);
  }
}

LRESULT TTimer::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    auto* self = reinterpret_cast<TTimer*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    if (self) {
      try {
        self->Timer();
      } catch (...) {
        if (Application) Application->HandleException(self);
      }
    }
    return 0;
  }
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

void TTimer::UpdateTimer() {
  bool alive = FWindowHandle && IsWindow(FWindowHandle);
  if (alive && FArmed) KillTimer(FWindowHandle, kTimerId);
  FArmed = false;
  if (!(FEnabled && FInterval != 0 && OnTimer)) return;
  if (!alive) {
    WNDCLASSA wc{};
    if (!GetClassInfo(nullptr, kTimerClass, &wc)) {
      wc = WNDCLASSA{};
      wc.lpfnWndProc = &TTimer::WndProc;
      wc.lpszClassName = kTimerClass;
      RegisterClass(&wc);
    }
    FWindowHandle = CreateWindowEx(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (FWindowHandle == nullptr) return;
    SetWindowLongPtr(FWindowHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  FArmed = SetTimer(FWindowHandle, kTimerId, FInterval, nullptr) != 0;
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(UINT Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  OnTimer = std::move(Value);
  UpdateTimer();
}

void TTimer::Timer() {
  if (FEnabled && OnTimer) OnTimer(this);
}
