// The class library's ExtCtrls unit, first part: TTimer. The controls of the
// unit (panels, images, notebooks ...) come with the forms.
#pragma once

#include "platform/classlib/Classes.h"
#include "platform/os/Types.h"

// A timer component on its own hidden message window. It runs while Enabled,
// Interval is not 0 and OnTimer is set; changing any of them re-arms it, so
// that a new interval counts from the change.
class TTimer : public TComponent {
  QV_CLASS(TTimer, TComponent)
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  UINT Interval() const { return FInterval; }
  void SetInterval(UINT Value);
  // Assign through SetOnTimer so that the timer is armed or stopped with it.
  void SetOnTimer(TNotifyEvent Value);

  TNotifyEvent OnTimer;

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  bool FEnabled = true;
  UINT FInterval = 1000;
  HWND FWindowHandle = nullptr;
  bool FArmed = false;
};
